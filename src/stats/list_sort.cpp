#include "stats/list_sort.h"

#include <array>
#include <bit>
#include <cstdint>
#include <utility>

namespace ornexa {

ListSort SortListByColumn(std::vector<std::string>& captions, int clicked) {
    ListSort sort;
    sort.column = clicked;
    const auto at = static_cast<std::size_t>(clicked);
    const auto endsWith = [](const std::string& text, std::string_view end) {
        return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
    };
    sort.descending = at < captions.size() && endsWith(captions[at], "(A)");
    for (std::string& caption : captions) {
        if (endsWith(caption, " (A)") || endsWith(caption, " (D)")) {
            caption.resize(caption.size() - 4);
        }
    }
    if (at < captions.size()) {
        captions[at] += sort.descending ? " (D)" : " (A)";
    }
    return sort;
}

namespace {

// Unsigned bits that order as the doubles do (-0 as 0; a read never gives NaN).
std::uint64_t OrderedBits(double value) {
    const auto bits = std::bit_cast<std::uint64_t>(value == 0 ? 0.0 : value);
    constexpr std::uint64_t sign = std::uint64_t{1} << 63;
    return (bits & sign) != 0 ? ~bits : bits | sign;
}

// Below this many keys a comparison sort is as quick.
constexpr std::size_t RadixFrom = 4096;

} // namespace

void SortNumberKeys(std::vector<std::pair<double, std::size_t>>& keys, bool descending) {
    if (keys.size() < RadixFrom) {
        std::stable_sort(keys.begin(), keys.end(), [descending](const auto& a, const auto& b) {
            return descending ? b.first < a.first : a.first < b.first;
        });
        return;
    }
    struct Entry {
        std::uint64_t bits;
        std::size_t at; // place in `keys`
    };
    std::vector<Entry> entries(keys.size());
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const std::uint64_t bits = OrderedBits(keys[i].first);
        entries[i] = {descending ? ~bits : bits, i};
    }
    // Least significant 16 bits first: each pass keeps the order of the one before among equals.
    std::vector<Entry> other(entries.size());
    std::vector<std::size_t> counts(std::size_t{1} << 16);
    for (int shift = 0; shift < 64; shift += 16) {
        std::fill(counts.begin(), counts.end(), 0);
        for (const Entry& e : entries) {
            ++counts[(e.bits >> shift) & 0xFFFF];
        }
        std::size_t total = 0;
        for (std::size_t& count : counts) {
            total += std::exchange(count, total);
        }
        for (const Entry& e : entries) {
            other[counts[(e.bits >> shift) & 0xFFFF]++] = e;
        }
        entries.swap(other);
    }
    std::vector<std::pair<double, std::size_t>> sorted;
    sorted.reserve(keys.size());
    for (const Entry& e : entries) {
        sorted.push_back(keys[e.at]);
    }
    keys = std::move(sorted);
}

} // namespace ornexa
