#include "history/report_compare.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

#include "report/field_presence.h"
#include "report/latin1.h"
#include "report/record_catalogue.h"
#include "report/shown_text.h"

namespace ornexa {

const std::array<ComparedFigure, ComparedPoolFigureCount>& ComparedPoolFigures() {
    static const std::array<ComparedFigure, ComparedPoolFigureCount> figures{{
        {"ios", "I/O", GoodDirection::Lower},
        {"getpages", "Get Pages", GoodDirection::Neither},
        {"updates", "Updates", GoodDirection::Neither},
        {"hit_ratio", "Hit Ratio", GoodDirection::Higher},
        {"ios_per_second", "I/O Sec", GoodDirection::Lower},
        {"pages_per_write", "Pages/Write", GoodDirection::Higher},
    }};
    return figures;
}

const char* ChangeVerdictKey(ChangeVerdict verdict) {
    switch (verdict) {
    case ChangeVerdict::Better:
        return "better";
    case ChangeVerdict::Worse:
        return "worse";
    case ChangeVerdict::Same:
        return "same";
    case ChangeVerdict::Unrated:
        break;
    }
    return "unrated";
}

const char* MoveKindKey(ObjectMoveKind kind) {
    switch (kind) {
    case ObjectMoveKind::Appeared:
        return "appeared";
    case ObjectMoveKind::Disappeared:
        return "disappeared";
    case ObjectMoveKind::Moved:
        break;
    }
    return "moved";
}

namespace {

// The pool list's six figures of pool `p` as numbers: what the list shows before it formats them. A
// figure made of a field the input does not give (a pool of Db2's display cut short) is absent.
std::array<std::optional<double>, ComparedPoolFigureCount> PoolFigures(const Report& report, int p) {
    static const auto field = [](std::string_view name) { return FieldIndex<PoolRecord>(PoolCatalogue(), name); };
    static const std::size_t readIOs = field("PoolReadIOs");
    static const std::size_t writeIOs = field("PoolWriteIOs");
    static const std::size_t getPages = field("PoolGetPages");
    static const std::size_t updates = field("PoolUpdates");
    static const std::size_t hitRatio = field("PoolHitRatio");
    static const std::size_t pagesWritten = field("PoolPagesWritten");
    const auto given = [&report, p](std::initializer_list<std::size_t> fields) {
        return std::all_of(fields.begin(), fields.end(),
                           [&report, p](std::size_t f) { return PoolFieldGiven(report, p, f); });
    };
    const PoolRecord& pool = report.Pools(p);
    const double ios = static_cast<double>(pool.PoolReadIOs) + static_cast<double>(pool.PoolWriteIOs);
    std::array<std::optional<double>, ComparedPoolFigureCount> figures;
    const bool iosGiven = given({readIOs, writeIOs});
    if (iosGiven) {
        figures[0] = ios;
    }
    if (given({getPages})) {
        figures[1] = pool.PoolGetPages;
    }
    if (given({updates})) {
        figures[2] = pool.PoolUpdates;
    }
    if (given({hitRatio})) {
        figures[3] = pool.PoolHitRatio;
    }
    if (report.ElapsedSeconds != 0 && iosGiven) {
        figures[4] = ios / report.ElapsedSeconds;
    }
    if (given({pagesWritten, writeIOs})) {
        figures[5] = pool.PoolWriteIOs < 1 ? 0.0 : static_cast<double>(pool.PoolPagesWritten) / pool.PoolWriteIOs;
    }
    return figures;
}

FigureChange Change(std::optional<double> before, std::optional<double> after, GoodDirection good) {
    FigureChange change{before, after, std::nullopt, std::nullopt, ChangeVerdict::Unrated};
    if (!before || !after) {
        return change;
    }
    change.difference = *after - *before;
    if (*before != 0) {
        change.percent = *change.difference / std::abs(*before) * 100;
    }
    if (*change.difference == 0) {
        change.verdict = ChangeVerdict::Same;
    } else if (good != GoodDirection::Neither) {
        const bool up = *change.difference > 0;
        change.verdict = up == (good == GoodDirection::Higher) ? ChangeVerdict::Better : ChangeVerdict::Worse;
    }
    return change;
}

using ObjectKey = std::pair<std::string, std::string>; // name, type

struct ObjectFacts {
    std::string pool;
    double getPagesPerSecond = 0;
    double syncReadsPerSecond = 0;
};

// The first object of each name and type (a name held twice keeps its first line), with its
// figures per second; a report without an interval length gives the counts themselves.
std::map<ObjectKey, ObjectFacts> ObjectsOf(const Report& report) {
    const double seconds = report.ElapsedSeconds > 0 ? report.ElapsedSeconds : 1.0;
    std::map<ObjectKey, ObjectFacts> objects;
    for (int o = 1; o <= report.ObjectCount(); ++o) {
        const ObjectRecord& object = report.Objects(o);
        objects.try_emplace({ShownText(object.ObjName), ShownText(object.ObjType)},
                            ObjectFacts{ShownText(object.ObjPoolName), object.ObjGetPages / seconds,
                                        object.ReadIOsByType(1) / seconds});
    }
    return objects;
}

void KeepLargest(std::vector<ObjectChange>& changes) {
    // Largest change either way first; equal changes by name so the list is stable.
    std::sort(changes.begin(), changes.end(), [](const ObjectChange& a, const ObjectChange& b) {
        const double da = std::abs(a.Change());
        const double db = std::abs(b.Change());
        return std::tie(db, a.objectName, a.objectType) < std::tie(da, b.objectName, b.objectType);
    });
    std::erase_if(changes, [](const ObjectChange& c) { return c.Change() == 0; });
    if (changes.size() > static_cast<std::size_t>(ComparedTopCount)) {
        changes.resize(static_cast<std::size_t>(ComparedTopCount));
    }
}

} // namespace

FigureChange CompareFigure(std::optional<double> before, std::optional<double> after, GoodDirection good) {
    return Change(before, after, good);
}

ReportComparison CompareReports(const Report& before, const Report& after) {
    ReportComparison comparison;
    const auto& figures = ComparedPoolFigures();

    std::map<std::string, int> afterPools;
    for (int p = 1; p <= after.PoolCount(); ++p) {
        afterPools.try_emplace(ShownText(after.Pools(p).PoolName), p);
    }
    std::map<std::string, bool> seen;
    // Pool numbers in each report; 0 where the pool is not in it.
    auto addPool = [&](const std::string& name, int old, int now) {
        PoolComparison row;
        row.poolName = name;
        row.inBefore = old != 0;
        row.inAfter = now != 0;
        const auto oldFigures = old != 0 ? PoolFigures(before, old) : decltype(PoolFigures(before, old)){};
        const auto newFigures = now != 0 ? PoolFigures(after, now) : decltype(PoolFigures(after, now)){};
        for (int f = 0; f < ComparedPoolFigureCount; ++f) {
            const auto i = static_cast<std::size_t>(f);
            row.figures[i] = Change(oldFigures[i], newFigures[i], figures[i].good);
        }
        comparison.pools.push_back(std::move(row));
    };
    for (int p = 1; p <= before.PoolCount(); ++p) {
        const std::string name = ShownText(before.Pools(p).PoolName);
        if (!seen.try_emplace(name, true).second) {
            continue;
        }
        const auto found = afterPools.find(name);
        addPool(name, p, found != afterPools.end() ? found->second : 0);
    }
    for (int p = 1; p <= after.PoolCount(); ++p) {
        const std::string name = ShownText(after.Pools(p).PoolName);
        if (seen.try_emplace(name, true).second) {
            addPool(name, 0, p);
        }
    }

    const auto oldObjects = ObjectsOf(before);
    const auto newObjects = ObjectsOf(after);
    std::vector<ObjectMove> appeared;
    std::vector<ObjectMove> disappeared;
    std::vector<ObjectMove> moved;
    for (const auto& [key, facts] : newObjects) {
        const auto old = oldObjects.find(key);
        if (old == oldObjects.end()) {
            appeared.push_back({ObjectMoveKind::Appeared, key.first, key.second, {}, facts.pool});
            continue;
        }
        if (old->second.pool != facts.pool) {
            moved.push_back({ObjectMoveKind::Moved, key.first, key.second, old->second.pool, facts.pool});
        }
        comparison.getPageChanges.push_back(
            {key.first, key.second, facts.pool, old->second.getPagesPerSecond, facts.getPagesPerSecond});
        comparison.syncReadChanges.push_back(
            {key.first, key.second, facts.pool, old->second.syncReadsPerSecond, facts.syncReadsPerSecond});
    }
    for (const auto& [key, facts] : oldObjects) {
        if (!newObjects.contains(key)) {
            disappeared.push_back({ObjectMoveKind::Disappeared, key.first, key.second, facts.pool, {}});
        }
    }
    comparison.objectMoves = std::move(appeared);
    comparison.objectMoves.insert(comparison.objectMoves.end(), disappeared.begin(), disappeared.end());
    comparison.objectMoves.insert(comparison.objectMoves.end(), moved.begin(), moved.end());
    KeepLargest(comparison.getPageChanges);
    KeepLargest(comparison.syncReadChanges);
    // Db2's display gives no per-object getpages or reads: the changes would compare zeros.
    if (!HasObjectActivity(before) || !HasObjectActivity(after)) {
        comparison.getPageChanges.clear();
        comparison.syncReadChanges.clear();
        comparison.notes.push_back("The objects' getpages and synchronous read I/Os are " +
                                   std::string(NotInDb2Display) + ": they are not compared.");
    }

    for (const Report* report : {&before, &after}) {
        if (report->ElapsedSeconds <= 0) {
            comparison.notes.push_back(std::string(report == &before ? "The older" : "The newer") +
                                       " report has no interval length: its objects' figures are counts, not rates, "
                                       "and its I/O Sec is absent.");
        }
    }
    return comparison;
}

} // namespace ornexa
