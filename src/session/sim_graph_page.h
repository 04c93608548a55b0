#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "report/messages.h"
#include "report/numbers.h"
#include "report/report_model.h"
#include "session/page_version.h"
#include "simulation/db2_simulation.h"
#include "simulation/sim_charts.h"
#include "simulation/sim_data.h"
#include "stats/chart_model.h"

namespace ornexa {

// The four sub-tabs of the simulation tab, numbered from 0.
enum SimSubTab : int { LargestWorkSetTab, SmallestWorkSetTab, OptimalPoolSizeTab, LargestImprovementTab };
inline constexpr int SimSubTabCount = 4;
std::string_view SimSubTabCaption(int subTab);

// Whether the simulation tab has something to show for pool p: the monitor's simulation of it, or
// else Db2's own simulated pool of it (two points of its size curve).
bool SimGraphAvailable(const Report& report, const SimulationData& sim, int p);

// What the object-level charts say for a pool that only Db2's simulated pool describes.
inline constexpr std::string_view NeedsMonitorSimulationText =
    "Objects' working sets and improvements need the monitor's Simulation report: Db2's simulated pool gives "
    "figures of the whole pool only.";

// The simulation tab of the current pool: its four charts, the measure choice and the simulation
// details panel that a click on a bar opens.
class SimGraphPage : public PageVersion {
public:
    SimGraphPage(const Report& report, const SimulationData& sim, NumberStyle style)
        : report_(report), sim_(sim), style_(style) {}

    // The pool the tab shows.
    void SetPool(int p) { pool_ = p; }

    // Entering the tab: the optimal-size sub-tab, both working-set charts, then measure 0.
    Messages Enter();
    void SelectSubTab(int subTab);
    // "Sys Hit Ratio" (0) or "I/O Rate" (1): the curve, then the largest improvement.
    Messages SelectMeasure(int measure);
    // A click on one of the three ranked charts (sub-tabs 0, 1 and 3).
    void ClickChart(int subTab, std::optional<int> point);
    void ShowSimObjectDetails(int object, const std::string& name);
    void CloseDetails();

    [[nodiscard]] int SubTab() const { return subTab_; }
    [[nodiscard]] int Measure() const { return measure_; }
    [[nodiscard]] const ChartModel& Chart(int subTab) const { return charts_.at(static_cast<std::size_t>(subTab)); }
    [[nodiscard]] bool CurveDrawn() const { return curveDrawn_; }
    [[nodiscard]] bool DetailsVisible() const { return detailsVisible_; }
    // The pool shown is drawn from Db2's simulated pool: the size curve has two points, current and
    // simulated size, and the object-level sub-tabs have nothing to show.
    [[nodiscard]] bool ShowsDb2Simulation() const { return db2Curve_.has_value(); }
    [[nodiscard]] const std::optional<Db2SizeCurve>& Db2Curve() const { return db2Curve_; }
    // The line above the charts: Db2SizeCurveCaption for Db2's simulated pool, else empty.
    [[nodiscard]] std::string_view Caption() const;
    [[nodiscard]] bool SubTabAvailable(int subTab) const;
    // "Object - " and the name of the object shown; before a bar is chosen, and again whenever the
    // chart the object came from changes, the panel holds no object and says how to fill it.
    [[nodiscard]] bool DetailsHoldObject() const { return detailsObject_ != 0; }
    [[nodiscard]] const std::string& DetailsTitle() const { return detailsTitle_; }
    [[nodiscard]] std::string_view DetailsHint() const;
    [[nodiscard]] const std::array<std::vector<std::string>, SimDetailRowCount>& DetailsCells() const {
        return detailsCells_;
    }

private:
    void ForgetDetails();
    void EnterDb2Simulation();

    const Report& report_;
    const SimulationData& sim_;
    int pool_ = 0;
    NumberStyle style_;
    int subTab_ = OptimalPoolSizeTab;
    int measure_ = 0;
    std::array<ChartModel, SimSubTabCount> charts_;
    std::optional<Db2SizeCurve> db2Curve_; // of the pool entered, when the monitor did not simulate it
    bool curveDrawn_ = false;
    bool detailsVisible_ = false;
    std::string detailsTitle_;
    int detailsObject_ = 0;
    int detailsChart_ = -1; // the sub-tab whose bar the object came from
    std::array<std::vector<std::string>, SimDetailRowCount> detailsCells_;
};

} // namespace ornexa
