#pragma once

#include <bitset>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "report/db2_figures.h"
#include "report/report_model.h"

namespace ornexa {

// What the history keeps of a report made of Db2's display output beyond its records: the Db2Facts as
// one text, a line per part (the interval, then each pool, data set and group buffer pool in order).
// A figure the display did not give stays absent, so a report read back shows "not in this input"
// where it did when it was read.
std::string StoredDb2Facts(const Db2Facts& facts);

// The text back into facts for a report of `pools` pools and `objects` objects. A history is a file
// anyone can edit: a text that is not such facts, or facts of another number of pools or objects,
// throws SqlError saying what is wrong, never reads as other figures.
Db2Facts Db2FactsFromStored(std::string_view text, std::size_t pools, std::size_t objects);

// A pool's given fields as its row in the history keeps them ("0110...", by catalogue place, the
// last field first), and back: nothing for a text that is not such a set.
std::string StoredPoolFieldsGiven(const Db2PoolFacts& pool);
std::optional<std::bitset<PoolFieldCount>> PoolFieldsGivenFromStored(std::string_view text);

// What tells an interval of a display again: every figure of its report as the history stores them,
// whichever file (or form of the display output) it came in. Two imports of the same interval give
// the same text; two different intervals of one file never do, as their collection times differ.
std::string DisplayIntervalContent(const Report& report);

} // namespace ornexa
