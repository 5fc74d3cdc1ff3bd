#include "memory/value_fit.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>

namespace vt2 {

namespace {

struct Kind {
    ValueType type;
    std::size_t width;
};
// "single" stands for the 4-byte float ("float" is the same bytes); "2byte" is written in a form
// of its own that no game reads back as a number.
constexpr Kind kNarrowKinds[] = {{ValueType::Byte, 1}, {ValueType::Integer, 2}, {ValueType::Long, 4}, {ValueType::Single, 4}};
constexpr Kind kWideKinds[] = {{ValueType::EightByte, 8}, {ValueType::Double, 8}};

double ValueAt(const std::uint8_t* bytes, ValueType type) {
    switch (type) {
        case ValueType::Byte: return bytes[0];
        case ValueType::Integer: {
            std::int16_t v;
            std::memcpy(&v, bytes, 2);
            return v;
        }
        case ValueType::Long: {
            std::int32_t v;
            std::memcpy(&v, bytes, 4);
            return v;
        }
        case ValueType::Single: {
            float v;
            std::memcpy(&v, bytes, 4);
            return v;
        }
        case ValueType::EightByte: {
            std::int64_t v;
            std::memcpy(&v, bytes, 8);
            return static_cast<double>(v);
        }
        case ValueType::Double: {
            double v;
            std::memcpy(&v, bytes, 8);
            return v;
        }
        default: return 0;
    }
}

// Whether every snapshot has stretch s where the first has it, as long.
bool SameStretch(const std::vector<MemorySnapshot>& snapshots, std::size_t s) {
    const MemoryStretch& first = snapshots[0][s];
    return std::all_of(snapshots.begin(), snapshots.end(), [&](const MemorySnapshot& m) {
        return s < m.size() && m[s].start == first.start && m[s].bytes.size() == first.bytes.size();
    });
}

// The least-squares line through (positions, values), rounded to the descriptor's whole numbers,
// and its worst miss as a fraction of the axis; none when the values do not move or the keys
// cannot hold the line.
std::optional<AxisCandidate> FitAxis(const std::vector<double>& positions, const std::vector<double>& values) {
    const double n = static_cast<double>(positions.size());
    double meanP = 0, meanV = 0;
    for (std::size_t i = 0; i < positions.size(); ++i) {
        if (!std::isfinite(values[i])) return std::nullopt;
        meanP += positions[i] / n;
        meanV += values[i] / n;
    }
    double covariance = 0, variance = 0;
    for (std::size_t i = 0; i < positions.size(); ++i) {
        covariance += (positions[i] - meanP) * (values[i] - meanV);
        variance += (positions[i] - meanP) * (positions[i] - meanP);
    }
    if (variance <= 0) return std::nullopt;
    const double slope = covariance / variance;
    const double intercept = meanV - slope * meanP;
    const double multi = std::round(slope), offset = std::round(intercept);
    if (multi == 0 || std::fabs(multi) > 32767 || std::fabs(offset) > 32768) return std::nullopt;
    double worst = 0;
    for (std::size_t i = 0; i < positions.size(); ++i) {
        worst = std::max(worst, std::fabs(values[i] - (multi * positions[i] + offset)));
    }
    AxisCandidate c;
    c.Multi = static_cast<std::int16_t>(multi);
    c.Offset = static_cast<std::int16_t>(offset);
    c.error = worst / std::fabs(multi);
    return c;
}

}  // namespace

std::vector<AxisCandidate> FindAxisCandidates(const std::vector<double>& positions, const std::vector<MemorySnapshot>& snapshots,
                                              bool wide, double maxError, std::size_t keep) {
    std::vector<AxisCandidate> found;
    if (positions.size() < 3 || snapshots.size() != positions.size()) return found;
    std::vector<Kind> kinds(std::begin(kNarrowKinds), std::end(kNarrowKinds));
    if (wide) kinds.insert(kinds.end(), std::begin(kWideKinds), std::end(kWideKinds));
    std::vector<double> values(positions.size());
    for (std::size_t s = 0; s < snapshots[0].size(); ++s) {
        if (!SameStretch(snapshots, s)) continue;
        const std::size_t size = snapshots[0][s].bytes.size();
        // Most of the memory does not move at all, and a value none of whose bytes moves is none
        // (the low bytes of a float may well stay). Whether each of the next eight bytes moves is
        // kept in one byte as the search slides along: no room of the stretch's size.
        auto moves = [&](std::size_t offset) {
            if (offset >= size) return false;
            const std::uint8_t first = snapshots[0][s].bytes[offset];
            return std::any_of(snapshots.begin() + 1, snapshots.end(), [&](const MemorySnapshot& m) { return m[s].bytes[offset] != first; });
        };
        unsigned window = 0;  // bit k: byte offset + k moves
        for (std::size_t k = 0; k < 8; ++k) window |= moves(k) ? 1u << k : 0u;
        for (std::size_t offset = 0; offset < size; ++offset, window = (window >> 1) | (moves(offset + 7) ? 0x80u : 0u)) {
            if (window == 0) continue;
            for (const Kind& kind : kinds) {
                if (offset + kind.width > size) continue;
                if ((window & ((1u << kind.width) - 1)) == 0) continue;
                for (std::size_t i = 0; i < snapshots.size(); ++i) values[i] = ValueAt(&snapshots[i][s].bytes[offset], kind.type);
                auto fit = FitAxis(positions, values);
                if (!fit || fit->error > maxError) continue;
                fit->address = snapshots[0][s].start + offset;
                fit->type = kind.type;
                found.push_back(*fit);
            }
        }
    }
    auto width = [](ValueType t) {
        return t == ValueType::Byte ? 1 : t == ValueType::Integer ? 2 : t == ValueType::EightByte || t == ValueType::Double ? 8 : 4;
    };
    std::stable_sort(found.begin(), found.end(), [&](const AxisCandidate& a, const AxisCandidate& b) {
        if (a.error != b.error) return a.error < b.error;
        return width(a.type) < width(b.type);
    });
    if (found.size() > keep) found.resize(keep);
    return found;
}

MemorySnapshot BitsThatChange(const std::vector<MemorySnapshot>& snapshots) {
    MemorySnapshot changed;
    if (snapshots.empty()) return changed;
    for (std::size_t s = 0; s < snapshots[0].size(); ++s) {
        MemoryStretch stretch{snapshots[0][s].start, {}};
        const std::vector<std::uint8_t>* reference = nullptr;  // the first copy that read this stretch
        for (const MemorySnapshot& snapshot : snapshots) {
            if (s >= snapshot.size() || snapshot[s].bytes.empty()) continue;
            const std::vector<std::uint8_t>& bytes = snapshot[s].bytes;
            if (!reference) {
                reference = &bytes;
                stretch.bytes.assign(bytes.size(), 0);
                continue;
            }
            const std::size_t common = std::min(bytes.size(), reference->size());
            for (std::size_t i = 0; i < common; ++i) stretch.bytes[i] |= static_cast<std::uint8_t>(bytes[i] ^ (*reference)[i]);
        }
        changed.push_back(std::move(stretch));
    }
    return changed;
}

bool BitStays(const ButtonCandidate& candidate, const MemorySnapshot& changedBits) {
    const int mask = candidate.BitMask < 0 ? -candidate.BitMask : candidate.BitMask;
    for (const MemoryStretch& s : changedBits) {
        if (candidate.address < s.start || candidate.address - s.start >= s.bytes.size()) continue;
        return (s.bytes[candidate.address - s.start] & mask) == 0;
    }
    return true;
}

std::vector<ButtonCandidate> FindButtonCandidates(const std::vector<bool>& pressed, const std::vector<MemorySnapshot>& snapshots,
                                                  const MemorySnapshot& changedElsewhere, std::size_t keep) {
    std::vector<ButtonCandidate> found;
    const bool bothStates = std::find(pressed.begin(), pressed.end(), true) != pressed.end() &&
                            std::find(pressed.begin(), pressed.end(), false) != pressed.end();
    if (!bothStates || snapshots.size() != pressed.size()) return found;
    for (std::size_t s = 0; s < snapshots[0].size() && found.size() < keep; ++s) {
        if (!SameStretch(snapshots, s)) continue;
        // The same stretch in what changed elsewhere, when it was read there.
        const std::vector<std::uint8_t>* elsewhere = nullptr;
        if (s < changedElsewhere.size() && changedElsewhere[s].start == snapshots[0][s].start &&
            changedElsewhere[s].bytes.size() == snapshots[0][s].bytes.size()) {
            elsewhere = &changedElsewhere[s].bytes;
        }
        for (std::size_t offset = 0; offset < snapshots[0][s].bytes.size() && found.size() < keep; ++offset) {
            const int unsteady = elsewhere ? (*elsewhere)[offset] : 0;
            for (int bit = 0; bit < 8 && found.size() < keep; ++bit) {
                if ((unsteady >> bit) & 1) continue;
                bool follows = true, opposes = true;
                for (std::size_t i = 0; i < snapshots.size(); ++i) {
                    const bool set = (snapshots[i][s].bytes[offset] >> bit) & 1;
                    follows = follows && set == pressed[i];
                    opposes = opposes && set != pressed[i];
                }
                const auto mask = static_cast<std::int16_t>(1 << bit);
                const GameAddress address = snapshots[0][s].start + offset;
                if (follows) found.push_back({address, mask});
                if (opposes) found.push_back({address, static_cast<std::int16_t>(-mask)});
            }
        }
    }
    return found;
}

}  // namespace vt2
