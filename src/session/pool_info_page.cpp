#include "session/pool_info_page.h"

#include "report/latin1.h"
#include "report/number_format.h"
#include "stats/pool_graph.h"
#include "stats/share_figures.h"

namespace ornexa {

std::vector<DetailRow> PoolInfoPage::DetailRows() const {
    return ObjectDetailRows(report_, detailsObject_, style_);
}

int PoolInfoPage::GraphTypeCount() const {
    return PoolGraphTypes(report_);
}

void PoolInfoPage::ShowHeader() {
    if (!report_.HasPool(pool_)) {
        return;
    }
    header_ = MakePoolHeader(report_, pool_, style_);
    poolRows_ = PoolDb2Rows(report_, pool_, style_);
    const PoolSimulation& pool = sim_.Pools(pool_);
    simDetailsColumns_ = {"Pool Size"};
    for (const int k : sim_.Sizes()) {
        simDetailsColumns_.push_back(PlainText(static_cast<std::int64_t>(pool.SimPoolSize(k))));
    }
    Changed();
}

Messages PoolInfoPage::SelectGraphType(int type) {
    if (type < 1 || type > GraphTypeCount()) {
        return {};
    }
    graphType_ = type;
    return DrawGraph();
}

Messages PoolInfoPage::DrawGraph() {
    if (graphType_ == 0 || !report_.HasPool(pool_)) {
        return {};
    }
    CloseDetails(); // the figures of a bar of the chart drawn before
    ornexa::DrawPoolGraph(graph_, report_, pool_, graphType_, style_);
    Changed();
    return NoDataMessages(graph_.chart);
}

bool PoolInfoPage::ClickChart(std::optional<ChartHit> hit) {
    if (graph_.chart.kind != ChartKind::Ranked || !hit) {
        return false;
    }
    const int object = graph_.chart.ObjectAt(hit->point);
    if (!report_.HasObject(object) || hit->point < 0 || hit->point >= graph_.chart.PointCount()) {
        return false; // an empty rank
    }
    ShowObjectDetails(object);
    clickedBar_ = "Rank " + std::to_string(graph_.chart.PointCount() - hit->point) + " of " +
                  std::to_string(graph_.chart.PointCount()) + ": " +
                  Latin1ToUtf8(report_.Objects(object).ObjName.Trimmed());
    return true;
}

void PoolInfoPage::ShowObjectDetails(int object) {
    if (!report_.HasObject(object)) {
        return;
    }
    details_ = ObjectDetailFigures(report_, object, style_);
    detailsObject_ = object;
    detailsTitle_ = "Object - " + Latin1ToUtf8(report_.Objects(object).ObjName.Trimmed());
    detailsVisible_ = true;
    Changed();
}

void PoolInfoPage::CloseDetails() {
    if (detailsVisible_) {
        detailsVisible_ = false;
        Changed();
    }
}

} // namespace ornexa
