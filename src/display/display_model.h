#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "report/db2_figures.h"

namespace ornexa {

struct DisplayDataSet {
    std::int64_t line = 0;   // the line of its DSNB464I / DSNB465I
    bool indexSpace = false; // DSNB465I; a table space otherwise
    std::string database;    // "DSNDB06"
    std::string space;       // "SYSTSTAB"
    std::int64_t part = 0;   // partition or data set number; 0 when not shown
    DataSetFigureSet figures;

    [[nodiscard]] std::optional<std::int64_t> Get(DataSetFigure f) const { return figures.Get(f); }
    void Set(DataSetFigure f, std::int64_t v) { figures.Set(f, v); }
};

struct DisplayPool {
    std::int64_t line = 0; // the line of its DSNB401I
    std::string name;      // "BP0", "BP8K0"
    std::optional<int> id; // BUFFERPOOL ID
    PoolFigureSet figures;
    std::string autosize;                        // "YES", "NO"; empty when not shown
    std::string pgfix;                           // PGFIX attribute, current: "YES", "NO"
    std::string pgsteal;                         // page stealing method, current: "LRU", "FIFO", "NONE"
    std::string frameSize;                       // preferred frame size (DSNB546I): "4K", "1M", "2G"
    std::optional<std::string> cumulativeSince;  // DSNB410I: the counters run since this time ("hh:mm:ss mmm dd, yyyy")
    std::optional<std::string> incrementalSince; // DSNB409I: the counters run since this time
    std::optional<SimulatedPoolFigures> simulated;
    std::vector<DisplayDataSet> dataSets;
    bool complete = false; // every message of its section up to the next pool or the end was read

    [[nodiscard]] std::optional<std::int64_t> Get(PoolFigure f) const { return figures.Get(f); }
    void Set(PoolFigure f, std::int64_t v) { figures.Set(f, v); }
};

struct DisplayGroupPool {
    std::int64_t line = 0; // the line of its DSNB750I
    std::string name;      // "GBP0"
    GroupPoolFigureSet figures;

    [[nodiscard]] std::optional<std::int64_t> Get(GroupPoolFigure f) const { return figures.Get(f); }
    void Set(GroupPoolFigure f, std::int64_t v) { figures.Set(f, v); }
};

// One display of one subsystem as it stands in the file: every pool from one command's output (or a
// run of them that belong together, up to DSN9022I).
struct Db2Display {
    std::int64_t line = 0; // the line it starts at
    std::string system;    // the SYSLOG system name; empty in batch output or a screen copy
    std::string subsystem; // from the command prefix ("-DB2A" is "DB2A"), else the system name
    // When it was displayed: the SYSLOG time stamp of its first line, "yyyy-mm-dd hh:mm:ss"; empty when
    // the file has no time stamps.
    std::string displayedAt;
    std::vector<DisplayPool> pools;
    std::vector<DisplayGroupPool> groupPools;
};

} // namespace ornexa
