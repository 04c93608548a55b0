#include "session/sim_graph_page.h"

#include <stdexcept>

#include "report/fixed_text.h"

namespace ornexa {

std::string_view SimSubTabCaption(int subTab) {
    static constexpr std::array<std::string_view, SimSubTabCount> captions{
        "Largest Max WorkSet", "Smallest Max WorkSet", "Optimal Pool Sizes", "Largest Improvement Objects"};
    if (subTab < 0 || subTab >= SimSubTabCount) {
        throw std::out_of_range("simulation sub-tabs are 0 to 3");
    }
    return captions[static_cast<std::size_t>(subTab)];
}

bool SimGraphAvailable(const Report& report, const SimulationData& sim, int p) {
    return (sim.ShownPool() != 0 && sim.ShownPool() == p) || Db2SizeCurveOf(report, p).has_value();
}

Messages SimGraphPage::Enter() {
    const int p = pool_;
    if (!report_.HasPool(p)) {
        return {};
    }
    subTab_ = OptimalPoolSizeTab;
    ForgetDetails(); // the charts are drawn anew, maybe of another pool
    db2Curve_ = sim_.ShownPool() == p ? std::nullopt : Db2SizeCurveOf(report_, p);
    if (db2Curve_) {
        EnterDb2Simulation();
        return SelectMeasure(SysHitRatioMeasure);
    }
    for (const int t : {LargestWorkSetTab, SmallestWorkSetTab, LargestImprovementTab}) {
        charts_[static_cast<std::size_t>(t)].noData.clear(); // what Db2's simulated pool of another pool said
    }
    DrawLargestWorkSets(charts_[LargestWorkSetTab], report_, sim_, p);
    DrawSmallestWorkSets(charts_[SmallestWorkSetTab], report_, sim_, p);
    Changed();
    return SelectMeasure(SysHitRatioMeasure);
}

void SimGraphPage::EnterDb2Simulation() {
    detailsVisible_ = false;
    for (const int t : {LargestWorkSetTab, SmallestWorkSetTab, LargestImprovementTab}) {
        ChartModel& chart = charts_[static_cast<std::size_t>(t)];
        chart.OpenData(ChartKind::Ranked, 2, 0);
        chart.title.clear();
        chart.subtitle.clear();
        chart.noData.assign(1, std::string(NeedsMonitorSimulationText));
        chart.visible = false;
    }
    Changed();
}

std::string_view SimGraphPage::Caption() const {
    return db2Curve_ ? Db2SizeCurveCaption : std::string_view{};
}

bool SimGraphPage::SubTabAvailable(int subTab) const {
    return subTab >= 0 && subTab < SimSubTabCount && (!db2Curve_ || subTab == OptimalPoolSizeTab);
}

void SimGraphPage::SelectSubTab(int subTab) {
    if (db2Curve_) {
        return; // one chart only, and no object to show details of
    }
    if (subTab >= 0 && subTab < SimSubTabCount) {
        if (subTab != subTab_) {
            ForgetDetails(); // an object of another chart must not stand under this one
        }
        subTab_ = subTab;
        detailsVisible_ = true;
        Changed();
    }
}

void SimGraphPage::ForgetDetails() {
    detailsObject_ = 0;
    detailsChart_ = -1;
    detailsTitle_.clear();
    for (auto& cells : detailsCells_) {
        cells.clear();
    }
    Changed();
}

std::string_view SimGraphPage::DetailsHint() const {
    if (db2Curve_) {
        return NeedsMonitorSimulationText;
    }
    if (subTab_ == OptimalPoolSizeTab) {
        return "An object's figures at every simulated size show here when a bar of Largest Max WorkSet, Smallest "
               "Max WorkSet or Largest Improvement Objects is clicked.";
    }
    return "Click a bar, or choose one with the arrow keys and press Enter, to see the object's figures at every "
           "simulated size.";
}

void SimGraphPage::CloseDetails() {
    if (detailsVisible_) {
        detailsVisible_ = false;
        Changed();
    }
}

Messages SimGraphPage::SelectMeasure(int measure) {
    const int p = pool_;
    if ((measure != SysHitRatioMeasure && measure != IORateMeasure) || !report_.HasPool(p)) {
        return {};
    }
    measure_ = measure;
    if (db2Curve_) {
        curveDrawn_ = DrawDb2SizeCurve(charts_[OptimalPoolSizeTab], *db2Curve_, measure);
        Changed();
        return NoDataMessages(charts_[OptimalPoolSizeTab]);
    }
    curveDrawn_ = DrawPoolSizeCurve(charts_[OptimalPoolSizeTab], sim_, p, measure);
    DrawLargestImprovement(charts_[LargestImprovementTab], report_, sim_, p, measure);
    if (detailsChart_ == LargestImprovementTab) {
        ForgetDetails(); // that chart ranks by the other measure now
    }
    Changed();
    return NoDataMessages(charts_[OptimalPoolSizeTab]);
}

void SimGraphPage::ClickChart(int subTab, std::optional<int> point) {
    if (subTab == OptimalPoolSizeTab || !SubTabAvailable(subTab) || !point) {
        return;
    }
    const ChartModel& chart = charts_[static_cast<std::size_t>(subTab)];
    if (*point < 0 || *point >= chart.PointCount()) {
        return;
    }
    ShowSimObjectDetails(chart.ObjectAt(*point), chart.labels[static_cast<std::size_t>(*point)]);
    if (detailsObject_ != 0) {
        detailsChart_ = subTab;
    }
}

void SimGraphPage::ShowSimObjectDetails(int object, const std::string& name) {
    detailsVisible_ = true;
    if (report_.HasObject(object)) { // an empty rank leaves the panel as it was
        detailsTitle_ = "Object - " + std::string(TrimBlanks(name));
        detailsCells_ = SimObjectDetailCells(sim_, object, style_);
        detailsObject_ = object;
    }
    Changed();
}

} // namespace ornexa
