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

Messages SimGraphPage::Enter() {
    const int p = pool_;
    if (!report_.HasPool(p)) {
        return {};
    }
    subTab_ = OptimalPoolSizeTab;
    DrawLargestWorkSets(charts_[LargestWorkSetTab], report_, sim_, p);
    DrawSmallestWorkSets(charts_[SmallestWorkSetTab], report_, sim_, p);
    Changed();
    return SelectMeasure(SysHitRatioMeasure);
}

void SimGraphPage::SelectSubTab(int subTab) {
    if (subTab >= 0 && subTab < SimSubTabCount) {
        subTab_ = subTab;
        detailsVisible_ = true;
        Changed();
    }
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
    curveDrawn_ = DrawPoolSizeCurve(charts_[OptimalPoolSizeTab], sim_, p, measure);
    DrawLargestImprovement(charts_[LargestImprovementTab], report_, sim_, p, measure);
    Changed();
    return NoDataMessages(charts_[OptimalPoolSizeTab]);
}

void SimGraphPage::ClickChart(int subTab, std::optional<int> point) {
    if (subTab == OptimalPoolSizeTab || subTab < 0 || subTab >= SimSubTabCount || !point) {
        return;
    }
    const ChartModel& chart = charts_[static_cast<std::size_t>(subTab)];
    if (*point < 0 || *point >= chart.PointCount()) {
        return;
    }
    ShowSimObjectDetails(chart.ObjectAt(*point), chart.labels[static_cast<std::size_t>(*point)]);
}

void SimGraphPage::ShowSimObjectDetails(int object, const std::string& name) {
    detailsVisible_ = true;
    detailsTitle_ = "Object - " + std::string(TrimBlanks(name));
    if (report_.HasObject(object)) {
        detailsCells_ = SimObjectDetailCells(sim_, object, style_);
    }
    Changed();
}

} // namespace ornexa
