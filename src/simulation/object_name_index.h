#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "report/report_model.h"

namespace ornexa {

// The objects of one pool by name, ignoring case, as an object simulation line looks for them:
// the object whose name equals the line's, else the first in the pool whose name (27 characters,
// blank-filled) contains it. Whole names are found at once. Parts of names are found in a large
// pool through the sorted ends of its names, so that a file whose names match none of the pool's
// whole names costs no walk along the pool per line.
class ObjectNameIndex {
public:
    ObjectNameIndex(const Report& report, int p);

    // The object, or 0 for none or a blank name.
    [[nodiscard]] int Find(std::string_view name);

private:
    [[nodiscard]] int WalkForPart(std::string_view upperName) const;
    [[nodiscard]] int FindPart(std::string_view upperName);
    void SortEnds();
    [[nodiscard]] unsigned KeyAt(std::uint32_t at, std::size_t depth) const;
    void SortPlaces(std::size_t from, std::size_t to, std::size_t depth, std::vector<std::uint32_t>& spare);
    [[nodiscard]] std::size_t FirstOwner(std::size_t from, std::size_t to) const;

    const Report& report_;
    int pool_;
    std::unordered_map<std::string, int> byName_;
    std::string key_; // kept so that a lookup does not allocate

    // Built at the first part looked for in a large pool: the pool's names upper-cased and
    // blank-filled one after the other, every place in them that is not a blank sorted by the text
    // from there to the end of its name, and the least owner (pool order) of each block of sorted places.
    bool sorted_ = false;
    std::size_t width_ = 0;
    std::string names_;
    std::vector<std::uint32_t> ends_;
    std::vector<std::vector<std::uint32_t>> blockFirst_; // [level][block]: least owner of 2^level blocks
};

} // namespace ornexa
