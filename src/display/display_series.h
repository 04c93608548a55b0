#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "display/display_model.h"
#include "display/display_parse.h"

namespace ornexa {

// One interval of one subsystem, made from its displays: the figures counted within it.
struct DisplayInterval {
    std::int64_t line = 0; // the line its display starts at
    std::string system;
    std::string subsystem;
    std::optional<std::int64_t> from; // seconds (see display_time.h); nothing when not known
    std::optional<std::int64_t> to;   // nothing when the input gives no end: the rates are not known
    // The counters run from Db2's own start of counting (DSNB410I, or the first display of a series),
    // not from the previous display.
    bool cumulative = false;
    std::vector<DisplayPool> pools;
    std::vector<DisplayGroupPool> groupPools;
};

struct DisplaySeries {
    std::vector<DisplayInterval> intervals; // in file order
    std::vector<DisplayNote> notes;         // duplicates left out, new baselines
};

// The intervals of the displays in `displays` (in file order), per subsystem:
// - an incremental display (DSNB409I) counts from its "since" to its own time stamp, else to the
//   "since" of the next incremental display of its subsystem, else to a time not known;
// - a cumulative display (DSNB410I) counts from the previous display of its subsystem when that one
//   has the same "since" and no counter went down: the difference; otherwise (the first display, a
//   restart of Db2, a new "since") it is a new baseline, counted from its "since", and said in a note;
// - a second display of a subsystem at the same time is left out and named as a duplicate.
// The displays' pools move into the intervals: pass them as an rvalue where they are not needed after.
DisplaySeries IntervalsOf(std::vector<Db2Display> displays);

// Whether the figure counts events (and so a difference of two cumulative displays is its count
// within the interval), rather than telling a setting or a state.
bool IsCounter(PoolFigure figure);
bool IsCounter(GroupPoolFigure figure);

} // namespace ornexa
