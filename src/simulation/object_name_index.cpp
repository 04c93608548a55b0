#include "simulation/object_name_index.h"

#include <algorithm>
#include <array>

#include "report/fixed_text.h"
#include "report/letter_case.h"

namespace ornexa {

namespace {

// Pools up to this size are walked for a part of a name; larger ones sort their names' ends.
constexpr int WalkedObjects = 4096;
constexpr std::size_t Block = 64;

bool ContainsUpper(std::string_view text, std::string_view upperPart) {
    return std::search(text.begin(), text.end(), upperPart.begin(), upperPart.end(),
                       [](char a, char b) { return UpperAscii(a) == b; }) != text.end();
}

} // namespace

ObjectNameIndex::ObjectNameIndex(const Report& report, int p) : report_(report), pool_(p) {
    if (!report.HasPool(p)) {
        return;
    }
    const ObjectRange range = PoolObjects(report, p);
    byName_.reserve(static_cast<std::size_t>(range.Count()));
    std::string upper;
    for (const int o : range) {
        upper.assign(report.Objects(o).ObjName.Trimmed());
        std::transform(upper.begin(), upper.end(), upper.begin(), UpperAscii);
        byName_.try_emplace(upper, o); // the first of a name
    }
}

int ObjectNameIndex::Find(std::string_view name) {
    name = TrimBlanks(name);
    if (name.empty() || !report_.HasPool(pool_)) {
        return 0;
    }
    key_.assign(name);
    std::transform(key_.begin(), key_.end(), key_.begin(), UpperAscii);
    if (const auto hit = byName_.find(key_); hit != byName_.end()) {
        return hit->second;
    }
    return PoolObjects(report_, pool_).Count() <= WalkedObjects ? WalkForPart(key_) : FindPart(key_);
}

int ObjectNameIndex::WalkForPart(std::string_view upperName) const {
    for (const int o : PoolObjects(report_, pool_)) {
        if (ContainsUpper(report_.Objects(o).ObjName.Padded(), upperName)) {
            return o;
        }
    }
    return 0;
}

void ObjectNameIndex::SortEnds() {
    sorted_ = true;
    const ObjectRange range = PoolObjects(report_, pool_);
    width_ = report_.Objects(range.first).ObjName.Padded().size();
    names_.reserve(static_cast<std::size_t>(range.Count()) * width_);
    for (const int o : range) {
        names_.append(report_.Objects(o).ObjName.Padded());
    }
    std::transform(names_.begin(), names_.end(), names_.begin(), UpperAscii);
    // Only places where a name has a character: a name looked for is trimmed, so it never begins
    // with a blank.
    ends_.clear();
    for (std::size_t at = 0; at < names_.size(); ++at) {
        if (names_[at] != ' ') {
            ends_.push_back(static_cast<std::uint32_t>(at));
        }
    }
    std::vector<std::uint32_t> spare(ends_.size());
    SortPlaces(0, ends_.size(), 0, spare);
    // The least owner of each block, then of each run of 2, 4, 8 ... blocks.
    std::vector<std::uint32_t> level((ends_.size() + Block - 1) / Block);
    for (std::size_t b = 0; b < level.size(); ++b) {
        const auto first = ends_.begin() + static_cast<std::ptrdiff_t>(b * Block);
        const auto last = ends_.begin() + static_cast<std::ptrdiff_t>(std::min(ends_.size(), (b + 1) * Block));
        level[b] = *std::min_element(first, last) / static_cast<std::uint32_t>(width_);
    }
    blockFirst_.push_back(std::move(level));
    for (std::size_t span = 1; 2 * span <= blockFirst_.front().size(); span *= 2) {
        const std::vector<std::uint32_t>& below = blockFirst_.back();
        std::vector<std::uint32_t> above(below.size() - span);
        for (std::size_t b = 0; b < above.size(); ++b) {
            above[b] = std::min(below[b], below[b + span]);
        }
        blockFirst_.push_back(std::move(above));
    }
}

// The character `depth` places after `at` in its name, one up, or 0 past the end of the name: a
// text that ends sorts before every longer one it begins.
unsigned ObjectNameIndex::KeyAt(std::uint32_t at, std::size_t depth) const {
    const std::size_t end = (at / width_ + 1) * width_;
    return at + depth < end ? static_cast<unsigned char>(names_[at + depth]) + 1U : 0U;
}

// Sorts ends_[from, to), whose texts agree in their first `depth` characters, by the text from
// there: a character at a time into its bucket (the work grows with the places, not with their
// logarithm), small runs by insertion.
void ObjectNameIndex::SortPlaces(std::size_t from, std::size_t to, std::size_t depth,
                                 std::vector<std::uint32_t>& spare) {
    constexpr std::size_t smallRun = 24;
    if (to - from <= smallRun) {
        const auto rest = [&](std::uint32_t at) {
            const std::size_t end = (at / width_ + 1) * width_;
            return std::string_view(names_).substr(at + depth, end - at - depth);
        };
        for (std::size_t i = from + 1; i < to; ++i) {
            const std::uint32_t moving = ends_[i];
            std::size_t j = i;
            for (; j > from && rest(moving) < rest(ends_[j - 1]); --j) {
                ends_[j] = ends_[j - 1];
            }
            ends_[j] = moving;
        }
        return;
    }
    constexpr std::size_t keyCount = 257;
    std::array<std::size_t, keyCount + 1> start{};
    for (std::size_t i = from; i < to; ++i) {
        ++start[KeyAt(ends_[i], depth) + 1];
    }
    for (std::size_t k = 1; k <= keyCount; ++k) {
        start[k] += start[k - 1];
    }
    std::array<std::size_t, keyCount> next{};
    std::copy_n(start.begin(), keyCount, next.begin());
    for (std::size_t i = from; i < to; ++i) {
        const std::uint32_t at = ends_[i];
        spare[from + next[KeyAt(at, depth)]++] = at;
    }
    std::copy(spare.begin() + static_cast<std::ptrdiff_t>(from), spare.begin() + static_cast<std::ptrdiff_t>(to),
              ends_.begin() + static_cast<std::ptrdiff_t>(from));
    // Bucket 0 holds texts that ended: all equal. The others go on a character further.
    for (std::size_t k = 1; k < keyCount; ++k) {
        if (start[k + 1] - start[k] > 1) {
            SortPlaces(from + start[k], from + start[k + 1], depth + 1, spare);
        }
    }
}

// The least owner among the sorted places from..to (to not included).
std::size_t ObjectNameIndex::FirstOwner(std::size_t from, std::size_t to) const {
    const auto width = static_cast<std::uint32_t>(width_);
    std::uint32_t least = UINT32_MAX;
    const std::size_t firstWhole = (from + Block - 1) / Block;
    const std::size_t lastWhole = to / Block; // blocks firstWhole..lastWhole-1 lie wholly inside
    if (firstWhole >= lastWhole) {
        for (std::size_t i = from; i < to; ++i) {
            least = std::min(least, ends_[i] / width);
        }
        return least;
    }
    for (std::size_t i = from; i < firstWhole * Block; ++i) {
        least = std::min(least, ends_[i] / width);
    }
    for (std::size_t i = lastWhole * Block; i < to; ++i) {
        least = std::min(least, ends_[i] / width);
    }
    const std::size_t blocks = lastWhole - firstWhole;
    std::size_t level = 0;
    while ((std::size_t{2} << level) <= blocks) {
        ++level;
    }
    const std::vector<std::uint32_t>& runs = blockFirst_[level];
    least = std::min({least, runs[firstWhole], runs[lastWhole - (std::size_t{1} << level)]});
    return least;
}

int ObjectNameIndex::FindPart(std::string_view upperName) {
    if (!sorted_) {
        SortEnds();
    }
    if (upperName.size() > width_) {
        return 0;
    }
    // The places whose text begins with the name stand together in the sorted order.
    const auto prefix = [&](std::uint32_t at) {
        const std::size_t end = (at / width_ + 1) * width_;
        return std::string_view(names_).substr(at, std::min(end - at, upperName.size()));
    };
    const auto first = std::lower_bound(ends_.begin(), ends_.end(), upperName,
                                        [&](std::uint32_t at, std::string_view name) { return prefix(at) < name; });
    const auto last = std::upper_bound(first, ends_.end(), upperName,
                                       [&](std::string_view name, std::uint32_t at) { return name < prefix(at); });
    if (first == last) {
        return 0;
    }
    const std::size_t owner =
        FirstOwner(static_cast<std::size_t>(first - ends_.begin()), static_cast<std::size_t>(last - ends_.begin()));
    return PoolObjects(report_, pool_).first + static_cast<int>(owner);
}

} // namespace ornexa
