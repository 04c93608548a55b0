#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "report/messages.h"
#include "report/numbers.h"
#include "report/report_model.h"
#include "session/page_version.h"
#include "simulation/sim_data.h"
#include "stats/graph_view.h"
#include "stats/pool_header.h"
#include "stats/share_figures.h"

namespace ornexa {

// One row of the object details panel: its caption and the figure of the object shown (empty before
// an object was shown).
using DetailRow = FigureRow;

// Where a click on a chart landed: the series and point hit.
struct ChartHit {
    int series = 0;
    int point = 0;
};

// The "Pool Info" tab: the header of the pool shown, the graph chosen with its legend, and the details
// panel of the object whose bar was clicked.
class PoolInfoPage : public PageVersion {
public:
    PoolInfoPage(const Report& report, const SimulationData& sim, NumberStyle style)
        : report_(report), sim_(sim), style_(style) {}

    // The pool the tab shows (0 for none); nothing is drawn until asked.
    void SetPool(int p) { pool_ = p; }
    // The header of the pool and the columns of its simulation details.
    void ShowHeader();
    // Graph 1..22 of the pool (1..24 for a report of Db2's display); no graph is drawn before one was
    // chosen.
    Messages SelectGraphType(int type);
    Messages DrawGraph();
    // A click on the chart: true when it hit a bar of a ranked chart that stands for an object,
    // whose figures then show. A new drawing of the chart closes them.
    bool ClickChart(std::optional<ChartHit> hit);
    void ShowObjectDetails(int object);
    void CloseDetails();

    [[nodiscard]] const PoolHeader& Header() const { return header_; }
    [[nodiscard]] int GraphType() const { return graphType_; }
    [[nodiscard]] const GraphView& Graph() const { return graph_; }
    [[nodiscard]] bool DetailsVisible() const { return detailsVisible_; }
    // The figures of the object shown, in the order of the panel's rows.
    [[nodiscard]] const std::array<std::string, 12>& Details() const { return details_; }
    // Every row of the details panel with its caption, in the order the panel shows them; the
    // figures are empty before an object was shown. For a report of Db2's display the data set's
    // own figures follow the twelve; a figure the input does not give is "not in this input".
    [[nodiscard]] std::vector<DetailRow> DetailRows() const;
    // What Db2's display tells of the pool beyond its header (PoolDb2Rows); none for a monitor's
    // report.
    [[nodiscard]] const std::vector<FigureRow>& PoolRows() const { return poolRows_; }
    // The graphs the list offers: 22, or 24 for a report of Db2's display.
    [[nodiscard]] int GraphTypeCount() const;
    // "Object - " and the name of the object whose figures the details panel shows.
    [[nodiscard]] const std::string& DetailsTitle() const { return detailsTitle_; }
    [[nodiscard]] int DetailsObject() const { return detailsObject_; }
    // What the user was told of the bar clicked last: its rank and object.
    [[nodiscard]] const std::string& ClickedBarText() const { return clickedBar_; }
    [[nodiscard]] const std::vector<std::string>& SimDetailsColumns() const { return simDetailsColumns_; }

private:
    const Report& report_;
    const SimulationData& sim_;
    NumberStyle style_;
    int pool_ = 0;
    PoolHeader header_;
    int graphType_ = 0;
    GraphView graph_;
    bool detailsVisible_ = false;
    std::array<std::string, 12> details_;
    int detailsObject_ = 0; // the object whose figures the panel shows; 0 before one was shown
    std::vector<FigureRow> poolRows_;
    std::string detailsTitle_;
    std::string clickedBar_;
    std::vector<std::string> simDetailsColumns_;
};

} // namespace ornexa
