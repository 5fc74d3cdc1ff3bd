#include <gtest/gtest.h>

#include "common/command_line.h"
#include "common/numbers.h"
#include "common/text.h"
#include "common/value_text.h"

namespace vt2 {
namespace {

TEST(WholeNumberText, DecimalWithSignAndBlanks) {
    EXPECT_EQ(ParseWholeNumber("0"), 0);
    EXPECT_EQ(ParseWholeNumber("-1"), -1);
    EXPECT_EQ(ParseWholeNumber(" 42 "), 42);
    EXPECT_EQ(ParseWholeNumber("+7"), 7);
    EXPECT_EQ(ParseWholeNumber("4294967295"), 4294967295LL);
}

TEST(WholeNumberText, HexadecimalWithEitherCaseOfH) {
    EXPECT_EQ(ParseWholeNumber("&H90"), 0x90);
    EXPECT_EQ(ParseWholeNumber("&h90"), 0x90);
    EXPECT_EQ(ParseWholeNumber("&H5A3B00"), 0x5A3B00);
    EXPECT_EQ(ParseWholeNumber("&Hffffffff"), 0xFFFFFFFFLL);  // the bit pattern, not -1
}

TEST(WholeNumberText, RejectsWhatIsNotAWholeNumber) {
    for (const char* text : {"", " ", "abc", "12abc", "1.5", "&H", "&HXYZ", "&H123456789", "0x10", "--1", "1 2", "+-5", "-+5", "++5"}) {
        EXPECT_FALSE(ParseWholeNumber(text).has_value()) << text;
    }
}

TEST(NumberText, AcceptsFractionsAndHexRejectsTheRest) {
    EXPECT_EQ(ParseNumber("1"), 1.0);
    EXPECT_EQ(ParseNumber("0.5"), 0.5);
    EXPECT_EQ(ParseNumber("-.25"), -0.25);
    EXPECT_EQ(ParseNumber("&H10"), 16.0);
    for (const char* text : {"", "abc", "1e3", "inf", "nan", ".", "-", "1.2.3", "1-", "+-5", "+-.5", "-+1"}) {
        EXPECT_FALSE(ParseNumber(text).has_value()) << text;
    }
}

TEST(Text, SplitKeepsEmptyFields) {
    EXPECT_EQ(SplitText("a|b|c", '|'), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(SplitText("||&H100", '|'), (std::vector<std::string>{"", "", "&H100"}));
    EXPECT_EQ(SplitText("", '|'), (std::vector<std::string>{""}));
    EXPECT_EQ(SplitText("a|", '|'), (std::vector<std::string>{"a", ""}));
}

TEST(Text, CaseAndNulHelpers) {
    EXPECT_EQ(ToLowerAscii("LightGun"), "lightgun");
    EXPECT_TRUE(EqualsIgnoreCase("Emulator.EXE", "emulator.exe"));
    EXPECT_FALSE(EqualsIgnoreCase("emulator.exe", "emulator.ex"));
    EXPECT_EQ(RemoveNulCharacters(std::string("a\0b\0", 4)), "ab");
    EXPECT_EQ(TrimBlanks(" \t x y \t"), "x y");
}

TEST(CommandLine, ArgumentsAreEverythingAfterTheProgramNameAsOneText) {
    EXPECT_EQ(CommandLineArguments("VT2.exe"), "");
    EXPECT_EQ(CommandLineArguments("VT2.exe   "), "");
    EXPECT_EQ(CommandLineArguments("VT2.exe demo"), "demo");
    EXPECT_EQ(CommandLineArguments("\"C:\\Program Files\\VT2\\VT2.exe\" house of the dead"), "house of the dead");
    EXPECT_EQ(CommandLineArguments("C:\\VT2\\VT2.exe  two  blanks "), "two  blanks ");
    EXPECT_EQ(CommandLineArguments("\"VT2.exe\""), "");
    EXPECT_EQ(CommandLineArguments(""), "");
}

}  // namespace
}  // namespace vt2

namespace vt2 {
namespace {

TEST(FieldConversions, SixteenBitFields) {
    EXPECT_EQ(ToInt16Field("32767"), 32767);
    EXPECT_EQ(ToInt16Field("-32768"), -32768);
    EXPECT_FALSE(ToInt16Field("32768").has_value());
    EXPECT_FALSE(ToInt16Field("-32769").has_value());
    EXPECT_EQ(ToInt16Field("&HFFFF"), -1);  // a 16-bit pattern
    EXPECT_EQ(ToInt16Field("&H8000"), -32768);
    EXPECT_EQ(ToInt16Field("&H7F"), 127);
    EXPECT_FALSE(ToInt16Field("&H10000").has_value());
    EXPECT_FALSE(ToInt16Field("").has_value());
    EXPECT_FALSE(ToInt16Field("1.5").has_value());
}

TEST(FieldConversions, SixteenBitFieldsWithAFractionRoundHalvesToEven) {
    EXPECT_EQ(ToInt16Rounded("18.5"), 18);
    EXPECT_EQ(ToInt16Rounded("19.5"), 20);
    EXPECT_EQ(ToInt16Rounded("1.0"), 1);
    EXPECT_EQ(ToInt16Rounded("-0.5"), 0);
    EXPECT_EQ(ToInt16Rounded("-1.6"), -2);
    EXPECT_EQ(ToInt16Rounded("&HFFFF"), -1);  // whole numbers as the 16-bit fields read them
    EXPECT_EQ(ToInt16Rounded("32767.4"), 32767);
    EXPECT_FALSE(ToInt16Rounded("32767.5").has_value());  // 32768 is out of range
    EXPECT_FALSE(ToInt16Rounded("-32768.6").has_value());
    for (const char* text : {"", "abc", "1.5x", "+-1.5", "1e2"}) EXPECT_FALSE(ToInt16Rounded(text).has_value()) << text;
}

TEST(FieldConversions, ThirtyTwoBitFieldsAndAddresses) {
    EXPECT_EQ(ToInt32Field("&HFFFFFFFF"), -1);
    EXPECT_EQ(ToInt32Field("2147483647"), 2147483647);
    EXPECT_FALSE(ToInt32Field("2147483648").has_value());
    EXPECT_EQ(ToAddress("&H5A3B00"), 0x5A3B00u);
    EXPECT_EQ(ToAddress("5913344"), 0x5A3B00u);
    EXPECT_EQ(ToAddress("&h80001000"), 0x80001000u);
    EXPECT_EQ(ToAddress("-2147479552"), 0x80001000u);  // the same bit pattern
    EXPECT_EQ(ToAddress("4294967295"), 0xFFFFFFFFu);
    EXPECT_FALSE(ToAddress("4294967296").has_value());
    EXPECT_FALSE(ToAddress("0x1000").has_value());
}

TEST(FieldConversions, AddressesOfA64BitGame) {
    constexpr AddressWidth k64 = AddressWidth::Bits64;
    struct Case {
        const char* text;
        std::optional<std::uint64_t> address;
    };
    const Case cases[] = {
        {"&H80001000", 0x80001000u},                  // 8 digits, as in a 32-bit game
        {"&H140023064", 0x140023064u},                // above 4 GB
        {"&HFFFFFFFFFFFFFFFF", UINT64_MAX},           // 16 digits
        {"&H1FFFFFFFFFFFFFFFF", std::nullopt},        // 17: too long
        {"4294967296", 0x100000000u},                 // 2^32
        {"18446744073709551615", UINT64_MAX},         // 2^64 - 1
        {"18446744073709551616", std::nullopt},       // 2^64
        {"-1", UINT64_MAX},                           // a negative one keeps its 64-bit pattern
        {" +5368709120 ", 0x140000000u},
        {"+-1", std::nullopt}, {"&H", std::nullopt}, {"0x1000", std::nullopt}, {"&H12G", std::nullopt}, {"", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(ToAddress(c.text, k64), c.address) << c.text;
    // The same texts in a 32-bit game, as always.
    EXPECT_EQ(ToAddress("&H140023064"), std::nullopt);
    EXPECT_EQ(ToAddress("4294967296"), std::nullopt);
    EXPECT_EQ(ToAddress("-1"), 0xFFFFFFFFu);
}

TEST(FieldConversions, ByteValues) {
    EXPECT_EQ(ToByteField("&H8B"), 0x8B);
    EXPECT_EQ(ToByteField("255"), 255);
    EXPECT_FALSE(ToByteField("256").has_value());
    EXPECT_FALSE(ToByteField("-1").has_value());
    EXPECT_FALSE(ToByteField("&H100").has_value());
}

TEST(Rounding, HalfToEven) {
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(3.5), 4);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(RoundHalfEven(-3.5), -4);
    EXPECT_EQ(RoundHalfEven(0.5), 0);
    EXPECT_EQ(RoundHalfEven(1.4999), 1);
    EXPECT_EQ(RoundHalfEven(-0.6), -1);
    EXPECT_EQ(RoundHalfEven(7), 7);
}

}  // namespace
}  // namespace vt2

namespace vt2 {
namespace {

TEST(ValueText, WholeNumbersAndFloats) {
    EXPECT_EQ(WholeNumberText(0), "0");
    EXPECT_EQ(WholeNumberText(-5), "-5");
    EXPECT_EQ(WholeNumberText(2147483647.0), "2147483647");
    EXPECT_EQ(FloatText(0.0f, '.'), "0");
    EXPECT_EQ(FloatText(-0.0f, '.'), "0");
    EXPECT_EQ(FloatText(1.0f, '.'), "1");
    EXPECT_EQ(FloatText(0.5f, ','), "0,5");
    EXPECT_EQ(FloatText(1.0f / 3.0f, '.'), "0.3333333");
    EXPECT_EQ(FloatText(1234567.0f, '.'), "1234567");
    EXPECT_EQ(FloatText(12345678.0f, '.'), "1.234568E+07");
    EXPECT_EQ(FloatText(0.000015f, '.'), "1.5E-05");
    EXPECT_EQ(FloatText(-2.75f, '.'), "-2.75");
    EXPECT_EQ(FloatText(-1e300, '.'), "-1E+300");  // a 64-bit float beyond a 32-bit one's range
    EXPECT_EQ(FloatText(1.0 / 3.0, '.'), "0.3333333");
}

}  // namespace
}  // namespace vt2
