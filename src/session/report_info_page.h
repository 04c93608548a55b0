#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "report/numbers.h"
#include "report/report_model.h"
#include "session/page_version.h"
#include "stats/pool_list_figures.h"

namespace ornexa {

// What a figure shows that the input's interval has no length for (a rate of a display whose
// interval has no end).
inline constexpr std::string_view NotKnown = "not known";

struct PoolListEntry {
    int pool = 0; // the row's pool: rows of pools with the same name stay apart
    PoolListCells cells;
};

// The "Report Info" tab: the report's facts, its overall figures and the pool list with the row of
// the pool shown.
class ReportInfoPage : public PageVersion {
public:
    ReportInfoPage(const Report& report, NumberStyle style) : report_(report), style_(style) {}

    // The figures and the list of the report read.
    void Load();
    // Pool p is shown: its row is the one selected.
    void ShowPool(int p);

    // The header facts; for a report of Db2's display one the display does not give is "not in
    // this input", the elapsed time of an interval without end "not known".
    [[nodiscard]] const std::array<std::string, ReportDataCount>& Data() const { return data_; }
    // The kind of input for a report of Db2's display ("Db2 display, from ... to ...", "Db2
    // display, cumulative since ..."); empty for a monitor's report.
    [[nodiscard]] const std::string& InputKind() const { return inputKind_; }
    [[nodiscard]] const std::array<std::string, OverallFigureCount>& Totals() const { return totals_; }
    [[nodiscard]] const std::vector<PoolListEntry>& PoolList() const { return poolList_; }
    [[nodiscard]] std::optional<int> SelectedRow() const { return selectedRow_; }

private:
    const Report& report_;
    NumberStyle style_;
    void ShowDisplayFacts();

    std::array<std::string, ReportDataCount> data_;
    std::string inputKind_;
    std::array<std::string, OverallFigureCount> totals_;
    std::vector<PoolListEntry> poolList_;
    std::optional<int> selectedRow_;
};

} // namespace ornexa
