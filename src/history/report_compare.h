#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "report/report_model.h"

namespace ornexa {

// Which way a figure should move for the pool to be better off.
enum class GoodDirection { Higher, Lower, Neither };
enum class ChangeVerdict { Better, Worse, Same, Unrated };

// One figure of both reports; difference and percent are absent when a side is.
struct FigureChange {
    std::optional<double> before;
    std::optional<double> after;
    std::optional<double> difference; // after - before
    std::optional<double> percent;    // difference / before x 100; absent when before is 0
    ChangeVerdict verdict = ChangeVerdict::Unrated;
};

// One figure of two sides: difference, percent and whether it moved the `good` way.
FigureChange CompareFigure(std::optional<double> before, std::optional<double> after, GoodDirection good);

// The pool list's figures: I/O, Get Pages, Updates, Hit Ratio, I/O Sec, Pages/Write.
inline constexpr int ComparedPoolFigureCount = 6;
struct ComparedFigure {
    const char* key;     // "ios", "getpages", "updates", "hit_ratio", "ios_per_second", "pages_per_write"
    const char* caption; // the pool list's caption
    GoodDirection good;
};
const std::array<ComparedFigure, ComparedPoolFigureCount>& ComparedPoolFigures();

struct PoolComparison {
    std::string poolName;
    bool inBefore = false;
    bool inAfter = false;
    std::array<FigureChange, ComparedPoolFigureCount> figures;
};

enum class ObjectMoveKind { Appeared, Disappeared, Moved };
struct ObjectMove {
    ObjectMoveKind kind = ObjectMoveKind::Moved;
    std::string objectName;
    std::string objectType;
    std::string poolBefore; // empty for an object that appeared
    std::string poolAfter;  // empty for one that disappeared
};

// An object held by both reports, with a per-second figure of each.
struct ObjectChange {
    std::string objectName;
    std::string objectType;
    std::string poolName; // of the newer report
    double before = 0;
    double after = 0;
    [[nodiscard]] double Change() const { return after - before; }
};

struct ReportComparison {
    std::vector<PoolComparison> pools;         // the older report's order, then pools only the newer has
    std::vector<ObjectMove> objectMoves;       // appeared, disappeared, moved; each in name order
    std::vector<ObjectChange> getPageChanges;  // the 10 largest changes of getpages per second
    std::vector<ObjectChange> syncReadChanges; // the 10 largest changes of synchronous read I/Os per second
    std::vector<std::string> notes;            // e.g. a report without an interval length
};

inline constexpr int ComparedTopCount = 10;

// Compares two reports: `before` is the older. Names are compared trimmed; an object is its name
// and type.
ReportComparison CompareReports(const Report& before, const Report& after);

// "better", "worse", "same", "unrated"; "appeared", "disappeared", "moved".
const char* ChangeVerdictKey(ChangeVerdict verdict);
const char* MoveKindKey(ObjectMoveKind kind);

} // namespace ornexa
