#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "common/numbers.h"
#include "memory/typed_values.h"
#include "support/fake_platform.h"

namespace vt2::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

class TypedValues : public ::testing::Test {
protected:
    void SetUp() override {
        process = &sys.hookProcess();
        process->map(0x2000, 16);
    }
    MemoryManager& memory() { return *sys.engine.state.memory; }
    double read(const std::string& type, const std::string& mask = "", GameAddress at = 0x2000) {
        return ReadMemValue(memory(), at, type, mask).number;
    }
    void write(const std::string& type, double value, std::int16_t mask = 0, GameAddress at = 0x2000) {
        WriteMemValue(memory(), at, type, value, mask);
    }
    void setByte(std::uint8_t b) { process->put(0x2000, {b}); }
    std::uint8_t byte() const { return process->bytes.at(0x2000); }
    FakeSystem sys;
    FakeGameProcess* process = nullptr;
};

TEST_F(TypedValues, ReadsByTypeName) {
    process->put(0x2000, {0xFE, 0xFF, 0xFF, 0xFF});
    EXPECT_EQ(read("byte"), 254);
    EXPECT_EQ(read("integer"), -2);
    EXPECT_EQ(read("long"), -2);
    process->put(0x2004, {0x00, 0x00, 0xC0, 0x3F});
    const MemValue single = ReadMemValue(memory(), 0x2004, "single", "");
    EXPECT_EQ(single, (MemValue{1.5, true}));
    EXPECT_EQ(ReadMemValue(memory(), 0x2004, "float", ""), single);
    EXPECT_FALSE(ReadMemValue(memory(), 0x2000, "long", "").isFloat);
}

TEST_F(TypedValues, UnknownNamesAndTheWriteOnly2byteReadZero) {
    setByte(0xFF);
    for (const char* type : {"2byte", "Byte", "word", "", "swd"}) EXPECT_EQ(read(type), 0) << type;
}

TEST_F(TypedValues, AddressTextIsDecimalOrHex) {
    setByte(77);
    for (const char* text : {"&H2000", "8192"}) EXPECT_EQ(ReadMemValue(memory(), ToAddress(text).value_or(0), "byte", "").number, 77);
    EXPECT_EQ(ReadMemValue(memory(), ToAddress("nonsense").value_or(0), "byte", "").number, 0);
}

TEST_F(TypedValues, BitTestsWithPositiveAndNegativeMasks) {
    setByte(0x0C);
    EXPECT_EQ(read("byte", "4"), 1);
    EXPECT_EQ(read("byte", "-4"), 0);
    setByte(0x08);
    EXPECT_EQ(read("byte", "4"), 0);
    EXPECT_EQ(read("byte", "-4"), 1);
    setByte(0x06);
    EXPECT_EQ(read("byte", "6"), 1);  // all the bits of the mask
    setByte(0x02);
    EXPECT_EQ(read("byte", "6"), 0);
    EXPECT_EQ(read("byte", "-6"), 1);
    EXPECT_EQ(read("byte", "&H2"), 1);
}

TEST_F(TypedValues, WiderTypesTestOnlyTheByteAtTheAddress) {
    process->putLong(0x2000, 0x00000100);
    EXPECT_EQ(read("long", "1"), 0);
    EXPECT_EQ(read("integer", "256"), 0);  // a mask wider than the byte never holds
    process->putLong(0x2000, 0x00000101);
    EXPECT_EQ(read("single", "1"), 1);
    EXPECT_EQ(read("2byte", "1"), 0);  // still not a read type
}

TEST_F(TypedValues, AMaskThatIsNoNumberCountsAsNoMask) {
    setByte(0x0C);
    EXPECT_EQ(read("byte", "abc"), 12);
    EXPECT_EQ(read("byte", "40000"), 12);
}

TEST_F(TypedValues, RangeFormSwd) {
    const std::pair<std::uint8_t, int> cases[] = {{15, -1}, {35, 1}, {10, 0}, {20, 0}, {25, 0}, {0, 0}, {39, 1}};
    for (const auto& [b, expected] : cases) {
        setByte(b);
        EXPECT_EQ(read("byte", "swd|10|20|30|40"), expected) << int(b);
        EXPECT_EQ(read("anything", "swd|10|20|30|40"), expected) << "the type name plays no part";
    }
    setByte(15);
    EXPECT_EQ(read("byte", "swd|10|20|12|18"), 1);  // both ranges hold: the second wins
}

TEST_F(TypedValues, RangeFormSwp) {
    const std::pair<std::uint8_t, int> cases[] = {{15, 5}, {35, 5}, {5, 0}, {11, 1}, {40, 0}};
    for (const auto& [b, expected] : cases) {
        setByte(b);
        EXPECT_EQ(read("byte", "swp|10|20|30|40"), expected) << int(b);
    }
}

TEST_F(TypedValues, MalformedRangeFormsReadZero) {
    setByte(15);
    EXPECT_EQ(read("byte", "swd|10|20"), 0);
    EXPECT_EQ(read("byte", "swd|10|20|30|x"), 0);
    EXPECT_EQ(read("byte", "sw|10|20|30|40"), 0);
    EXPECT_EQ(read("byte", "SWD|10|20|30|40"), 0);
    EXPECT_EQ(read("byte", "|"), 0);
}

TEST_F(TypedValues, ByteWritesRoundAndStayInRange) {
    write("byte", 200.5);
    EXPECT_EQ(byte(), 200);
    write("byte", 201.5);
    EXPECT_EQ(byte(), 202);
    write("byte", 300);
    EXPECT_EQ(byte(), 255);
    write("byte", -5);
    EXPECT_EQ(byte(), 0);
}

TEST_F(TypedValues, MaskedByteWritesSetAndClearOnlyThoseBits) {
    setByte(0x01);
    write("byte", 1, 8);
    EXPECT_EQ(byte(), 0x09);
    write("byte", 1, 8);
    EXPECT_EQ(byte(), 0x09);
    write("byte", 0, 8);
    EXPECT_EQ(byte(), 0x01);
    setByte(0x09);
    write("byte", 1, -8);  // active low
    EXPECT_EQ(byte(), 0x01);
    write("byte", 0, -8);
    EXPECT_EQ(byte(), 0x09);
    write("byte", 2, 8);  // neither 0 nor 1
    EXPECT_EQ(byte(), 0x09);
}

TEST_F(TypedValues, AMultiBitMaskIsSetOrClearedWhole) {
    setByte(0x01);
    write("byte", 1, 3);
    EXPECT_EQ(byte(), 0x03);
    setByte(0x05);
    write("byte", 0, 3);
    EXPECT_EQ(byte(), 0x04);
}

TEST_F(TypedValues, MaskBitsAboveTheByteAreNotWritten) {
    setByte(0x01);
    const auto writes = process->writes.size();
    write("byte", 1, 0x100);
    EXPECT_EQ(byte(), 0x01);
    EXPECT_EQ(process->writes.size(), writes);
}

TEST_F(TypedValues, IntegerWritesRoundHalfToEvenAndClamp) {
    const std::pair<double, std::int16_t> cases[] = {{2.5, 2}, {3.5, 4}, {-2.5, -2}, {320.4, 320},
                                                     {40000, 32767}, {-40000, -32768}};
    for (const auto& [value, expected] : cases) {
        write("integer", value);
        EXPECT_EQ(static_cast<std::int16_t>(process->at(0x2000, 2)[0] | process->at(0x2000, 2)[1] << 8), expected)
            << value;
    }
}

TEST_F(TypedValues, TwoByteWritesUseTheirOwnEncoding) {
    write("2byte", -1);
    EXPECT_EQ(process->at(0x2000, 2), (Bytes{0x02, 0x80}));
    write("2byte", -40000);
    EXPECT_EQ(process->at(0x2000, 2), (Bytes{0x01, 0x00}));
}

TEST_F(TypedValues, LongWritesCoverTheFullSignedRange) {
    write("long", -1);
    EXPECT_EQ(process->at(0x2000, 4), (Bytes{0xFF, 0xFF, 0xFF, 0xFF}));
    write("long", 40000);
    EXPECT_EQ(process->at(0x2000, 4), (Bytes{0x40, 0x9C, 0x00, 0x00}));
    write("long", 1e12);
    EXPECT_EQ(process->at(0x2000, 4), (Bytes{0xFF, 0xFF, 0xFF, 0x7F}));
    write("long", 100);
    EXPECT_EQ(process->at(0x2000, 4), (Bytes{0x64, 0x00, 0x00, 0x00}));
}

TEST_F(TypedValues, SingleAndFloatWriteThe32BitFloat) {
    write("single", 0.5);
    EXPECT_EQ(process->at(0x2000, 4), (Bytes{0x00, 0x00, 0x00, 0x3F}));
    write("float", -2);
    EXPECT_EQ(process->at(0x2000, 4), (Bytes{0x00, 0x00, 0x00, 0xC0}));
}

TEST_F(TypedValues, EightByteAndDoubleRoundTripTheir64Bits) {
    struct Case {
        const char* type;
        double written;
        Bytes bytes;
        double read;
    };
    const Case cases[] = {
        {"8byte", -1, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, -1},
        {"8byte", 4294967296.5, {0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00}, 4294967296},  // 2^32, half to even
        {"8byte", 1e30, {0x00, 0xFC, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}, 0x1.fffffffffffffp62},  // the top, not wrapped
        {"8byte", -1e30, {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x80}, -0x1p63},
        {"double", 0.1, {0x9A, 0x99, 0x99, 0x99, 0x99, 0x99, 0xB9, 0x3F}, 0.1},  // all 64 bits, no float between
        {"double", -1e300, {0x9C, 0x75, 0x00, 0x88, 0x3C, 0xE4, 0x37, 0xFE}, -1e300},
    };
    process->map(0x2000, 16);
    for (const Case& c : cases) {
        write(c.type, c.written);
        EXPECT_EQ(process->at(0x2000, 8), c.bytes) << c.type << " " << c.written;
        EXPECT_EQ(ReadMemValue(memory(), 0x2000, c.type, ""), (MemValue{c.read, std::string(c.type) == "double"}))
            << c.type << " " << c.written;
        EXPECT_EQ(ReadWidth(c.type, ""), 8u);
    }
    write("8byte", 5, 1);  // no mask on a wider type
    EXPECT_EQ(process->at(0x2000, 8), cases[5].bytes);
}

TEST_F(TypedValues, WritesThatMustNotHappen) {
    write("integer", 5, 1);      // a mask on a wider type
    write("long", 5, -2);
    write("single", 5, 4);
    write("2byte", 5, 1);
    write("word", 5);            // no such type
    write("Byte", 5);
    write("long", std::numeric_limits<double>::quiet_NaN());
    write("single", std::numeric_limits<double>::infinity());
    process->map(0, 4);
    write("byte", 5, 0, 0);      // address 0 is never written
    EXPECT_TRUE(process->writes.empty());
}

TEST(MergeMaskedBits, SetsClearsOrKeeps) {
    EXPECT_EQ(MergeMaskedBits(0x01, 8, 1), 0x09);
    EXPECT_EQ(MergeMaskedBits(0x09, 8, 0), 0x01);
    EXPECT_EQ(MergeMaskedBits(0x09, 8, 1), 0x09);
    EXPECT_EQ(MergeMaskedBits(0x01, 8, 0), 0x01);
    EXPECT_EQ(MergeMaskedBits(0x09, -8, 1), 0x01);
    EXPECT_EQ(MergeMaskedBits(0x01, -8, 0), 0x09);
    EXPECT_EQ(MergeMaskedBits(0x01, 8, 7), 0x01);
    EXPECT_EQ(MergeMaskedBits(0x01, -32768, 1), 0x01);
}

}  // namespace
}  // namespace vt2::test
