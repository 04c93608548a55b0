#include "display/display_series.h"

#include <algorithm>
#include <map>
#include <set>

#include "display/display_time.h"

namespace ornexa {

bool IsCounter(PoolFigure figure) {
    return figure >= PoolFigure::RandomGetpages && figure < PoolFigure::Count && figure != PoolFigure::SeqChain;
}

bool IsCounter(GroupPoolFigure figure) {
    return figure >= GroupPoolFigure::ReadsDataReturned && figure < GroupPoolFigure::Count;
}

namespace {

// The "since" of a display and whether it counts cumulatively: its first pool that says.
struct Since {
    std::string text;
    bool cumulative = false;
};

Since SinceOf(const Db2Display& display) {
    for (const DisplayPool& pool : display.pools) {
        if (pool.incrementalSince) {
            return {*pool.incrementalSince, false};
        }
        if (pool.cumulativeSince) {
            return {*pool.cumulativeSince, true};
        }
    }
    return {};
}

std::string SinceText(const DisplayPool& pool) {
    return pool.cumulativeSince.value_or(pool.incrementalSince.value_or(""));
}

template <class Named> const Named* FindNamed(const std::vector<Named>& all, const std::string& name) {
    const auto it = std::find_if(all.begin(), all.end(), [&name](const Named& n) { return n.name == name; });
    return it == all.end() ? nullptr : &*it;
}

// Whether a counter of `now` is below the same counter of `before`.
template <class Figure, class Record> bool WentDown(const Record& now, const Record& before, std::size_t count) {
    for (std::size_t f = 0; f < count; ++f) {
        const auto figure = static_cast<Figure>(f);
        const auto a = now.Get(figure);
        const auto b = before.Get(figure);
        if (IsCounter(figure) && a && b && *a < *b) {
            return true;
        }
    }
    return false;
}

template <class Figure, class Record> void Subtract(Record& now, const Record& before, std::size_t count) {
    for (std::size_t f = 0; f < count; ++f) {
        const auto figure = static_cast<Figure>(f);
        const auto a = now.Get(figure);
        const auto b = before.Get(figure);
        if (IsCounter(figure) && a && b) {
            now.Set(figure, *a - *b);
        }
    }
}

void SubtractSimulated(SimulatedPoolFigures& now, const SimulatedPoolFigures& before) {
    const auto minus = [](std::optional<std::int64_t>& a, const std::optional<std::int64_t>& b) {
        if (a && b && *a >= *b) {
            *a -= *b;
        }
    };
    minus(now.avoidableSyncRandom, before.avoidableSyncRandom);
    minus(now.avoidableSyncSeq, before.avoidableSyncSeq);
    minus(now.avoidableAsync, before.avoidableAsync);
    minus(now.avoidableSyncDelayMs, before.avoidableSyncDelayMs);
    minus(now.pagesMovedIn, before.pagesMovedIn);
}

bool SameFigures(const Db2Display& a, const Db2Display& b) {
    if (a.pools.size() != b.pools.size()) {
        return false;
    }
    for (std::size_t p = 0; p < a.pools.size(); ++p) {
        if (a.pools[p].name != b.pools[p].name || a.pools[p].figures != b.pools[p].figures) {
            return false;
        }
    }
    return true;
}

// What is known of the displays of one subsystem read so far.
struct SubsystemState {
    const Db2Display* last = nullptr; // the last display kept
    Since lastSince;
    std::optional<std::size_t> openInterval; // an incremental interval still without its end
    std::set<std::string> times;             // the time stamps (or "since" texts) of the displays kept
    // The names and figures of the last display's pools when its pools went into its interval (an
    // incremental display): enough to tell a duplicate by.
    Db2Display lastFigures;
};

class SeriesBuilder {
public:
    DisplaySeries Build(std::vector<Db2Display>& displays) {
        series_.intervals.reserve(displays.size());
        for (Db2Display& display : displays) {
            Add(display);
        }
        return std::move(series_);
    }

private:
    void Add(Db2Display& display) {
        SubsystemState& state = states_[display.subsystem];
        const Since since = SinceOf(display);
        if (IsDuplicate(display, since, state)) {
            series_.notes.push_back({display.line, "DSNB401I",
                                     "a second display of " + display.subsystem + " at the same time (" +
                                         (display.displayedAt.empty() ? since.text : display.displayedAt) +
                                         ") is left out as a duplicate"});
            return;
        }
        DisplayInterval interval;
        interval.line = display.line;
        interval.system = display.system;
        interval.subsystem = display.subsystem;
        if (since.cumulative) {
            // The next cumulative display of the subsystem counts from this one's own figures.
            interval.pools = display.pools;
            interval.groupPools = display.groupPools;
        } else {
            // Nothing takes an incremental display's figures again but a duplicate's test: its
            // pools' names and figures are kept for that, their data sets move into the interval.
            state.lastFigures.pools.clear();
            state.lastFigures.pools.reserve(display.pools.size());
            for (const DisplayPool& pool : display.pools) {
                DisplayPool& kept = state.lastFigures.pools.emplace_back();
                kept.name = pool.name;
                kept.figures = pool.figures;
            }
            interval.pools = std::move(display.pools);
            interval.groupPools = std::move(display.groupPools);
        }
        const std::optional<std::int64_t> stamp = StampSeconds(display.displayedAt);
        interval.to = stamp;
        if (since.cumulative) {
            Cumulative(interval, display, since, state);
        } else {
            interval.from = SinceSeconds(since.text);
            if (state.openInterval && !state.lastSince.cumulative && interval.from) {
                DisplayInterval& open = series_.intervals[*state.openInterval];
                if (open.from && *interval.from > *open.from) {
                    open.to = interval.from;
                }
            }
        }
        state.openInterval.reset();
        if (!interval.to && !since.cumulative) {
            state.openInterval = series_.intervals.size();
        }
        state.last = since.cumulative ? &display : &state.lastFigures;
        state.lastSince = since;
        state.times.insert(display.displayedAt.empty() ? since.text : display.displayedAt);
        series_.intervals.push_back(std::move(interval));
    }

    static bool IsDuplicate(const Db2Display& display, const Since& since, const SubsystemState& state) {
        if (state.last == nullptr) {
            return false;
        }
        if (!display.displayedAt.empty()) {
            return state.times.contains(display.displayedAt);
        }
        if (!since.cumulative) {
            return !since.text.empty() && state.times.contains(since.text);
        }
        return since.text == state.lastSince.text && SameFigures(display, *state.last);
    }

    // A cumulative display: the difference from the last display of the subsystem, pool by pool,
    // where that display counts from the same start and no counter went down.
    void Cumulative(DisplayInterval& interval, const Db2Display& display, const Since& since,
                    const SubsystemState& state) {
        const Db2Display* before = state.last != nullptr && state.lastSince.cumulative ? state.last : nullptr;
        bool anyDifference = false;
        for (DisplayPool& pool : interval.pools) {
            const DisplayPool* old = before != nullptr ? FindNamed(before->pools, pool.name) : nullptr;
            if (old == nullptr) {
                continue;
            }
            if (SinceText(*old) != SinceText(pool) || WentDown<PoolFigure>(pool, *old, PoolFigureCount)) {
                series_.notes.push_back({pool.line, "DSNB410I",
                                         "the counters of " + pool.name + " of " + display.subsystem +
                                             " start again (since " + SinceText(pool) +
                                             "): Db2 restarted or reset them, so this display is a new baseline "
                                             "for the pool"});
                continue;
            }
            Subtract<PoolFigure>(pool, *old, PoolFigureCount);
            if (pool.simulated && old->simulated) {
                SubtractSimulated(*pool.simulated, *old->simulated);
            }
            anyDifference = true;
        }
        if (before != nullptr) {
            for (DisplayGroupPool& group : interval.groupPools) {
                const DisplayGroupPool* old = FindNamed(before->groupPools, group.name);
                if (old != nullptr && !WentDown<GroupPoolFigure>(group, *old, GroupPoolFigureCount)) {
                    Subtract<GroupPoolFigure>(group, *old, GroupPoolFigureCount);
                }
            }
        }
        interval.cumulative = !anyDifference;
        interval.from = anyDifference ? StampSeconds(before->displayedAt) : SinceSeconds(since.text);
        if (anyDifference && !interval.from) {
            interval.to.reset(); // two displays without time stamps: no length known
        }
    }

    DisplaySeries series_;
    std::map<std::string, SubsystemState> states_;
};

} // namespace

DisplaySeries IntervalsOf(std::vector<Db2Display> displays) {
    return SeriesBuilder().Build(displays);
}

} // namespace ornexa
