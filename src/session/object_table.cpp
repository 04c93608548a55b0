#include "session/object_table.h"

#include <algorithm>
#include <numeric>
#include <string_view>
#include <utility>

#include "report/db2_figures.h"
#include "report/field_presence.h"
#include "report/latin1.h"
#include "simulation/sim_charts.h"
#include "stats/list_sort.h"
#include "stats/share_figures.h"

namespace ornexa {

namespace {

// Where the pages written stand among the figure columns: before the pages per write.
constexpr std::size_t PagesWrittenColumn = 11;

std::vector<ObjectTableColumn> Columns(const Report& report, bool simulated) {
    std::vector<ObjectTableColumn> columns;
    for (std::size_t i = 0; i < ObjectDetailCaptions.size(); ++i) {
        if (i == PagesWrittenColumn) {
            columns.push_back({"Pages Written", "Pages Written", 0});
        }
        columns.push_back({ObjectDetailCaptions[i], ObjectDetailCaptions[i], ObjectDetailDecimals[i]});
    }
    if (report.Db2Display) {
        for (std::size_t f = 0; f < DataSetFigureCount; ++f) {
            const FigureName name = NameOf(static_cast<DataSetFigure>(f));
            columns.push_back({std::string(name.key), std::string(name.label), 0});
        }
    }
    if (simulated) {
        const auto& captions = SimDetailsRows(); // "Avg Work Set", "Max Work Set"
        columns.push_back({captions[1], captions[1], 0});
        columns.push_back({captions[2], captions[2], 0});
    }
    return columns;
}

} // namespace

ObjectTable BuildObjectTable(const Report& report, const SimulationData& sim, int p) {
    ObjectTable table;
    table.pool = p;
    table.absentText = std::string(NotInThisInput); // as the details panel says it
    if (!report.HasPool(p)) {
        return table;
    }
    // The working sets of the pool's largest simulated size that had getpages, as its charts take them.
    const int workSetSize = sim.ShownPool() == p ? WorkSetSizeIndex(sim, p) : 0;
    table.columns = Columns(report, workSetSize > 0);
    const ObjectRange range = PoolObjects(report, p);
    table.rows.reserve(static_cast<std::size_t>(range.Count()));
    for (const int o : range) {
        const ObjectRecord& object = report.Objects(o);
        ObjectTableRow row{o, Latin1ToUtf8(object.ObjName.Trimmed()), IconOf(object), {}};
        row.values.reserve(table.columns.size());
        const std::array<std::optional<double>, 12> details = ObjectDetailValues(report, o);
        for (std::size_t i = 0; i < details.size(); ++i) {
            if (i == PagesWrittenColumn) {
                row.values.push_back(ObjectGives(report, o, "ObjPagesWritten")
                                         ? std::optional<double>(object.ObjPagesWritten)
                                         : std::nullopt);
            }
            row.values.push_back(details[i]);
        }
        if (report.Db2Display) {
            for (std::size_t f = 0; f < DataSetFigureCount; ++f) {
                const auto value = DataSetFigureValue(report, o, static_cast<DataSetFigure>(f));
                row.values.push_back(value ? std::optional<double>(static_cast<double>(*value)) : std::nullopt);
            }
        }
        if (workSetSize > 0) {
            const ObjectSimulation& simulated = sim.Objects(o);
            row.values.emplace_back(simulated.SimAvgWorkSet(workSetSize));
            row.values.emplace_back(simulated.SimMaxWorkSet(workSetSize));
        }
        table.rows.push_back(std::move(row));
    }
    return table;
}

std::vector<int> ObjectTableOrder(const ObjectTable& table, int column, bool descending) {
    std::vector<int> order(table.rows.size());
    std::iota(order.begin(), order.end(), 0);
    if (column <= 0 || static_cast<std::size_t>(column) > table.columns.size()) {
        // The names sorted beside their row numbers: the comparisons read one list in order
        // rather than jumping between rows, and the row number keeps equal names in table order.
        std::vector<std::pair<std::string_view, int>> names;
        names.reserve(table.rows.size());
        for (std::size_t r = 0; r < table.rows.size(); ++r) {
            names.emplace_back(table.rows[r].name, static_cast<int>(r));
        }
        std::sort(names.begin(), names.end(), [descending](const auto& a, const auto& b) {
            if (a.first != b.first) {
                return descending ? b.first < a.first : a.first < b.first;
            }
            return a.second < b.second;
        });
        for (std::size_t i = 0; i < names.size(); ++i) {
            order[i] = names[i].second;
        }
        return order;
    }
    const auto at = static_cast<std::size_t>(column - 1);
    std::vector<std::pair<double, std::size_t>> keys;
    std::vector<int> absent;
    keys.reserve(table.rows.size());
    for (std::size_t r = 0; r < table.rows.size(); ++r) {
        if (const std::optional<double>& value = table.rows[r].values[at]) {
            keys.emplace_back(*value, r);
        } else {
            absent.push_back(static_cast<int>(r));
        }
    }
    SortNumberKeys(keys, descending);
    order.clear();
    for (const auto& [value, r] : keys) {
        order.push_back(static_cast<int>(r));
    }
    order.insert(order.end(), absent.begin(), absent.end());
    return order;
}

} // namespace ornexa
