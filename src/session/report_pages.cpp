#include "session/report_pages.h"

#include "report/pool_choice.h"
#include "session/cluster_page.h"
#include "session/object_info_page.h"
#include "session/pool_info_page.h"
#include "session/sim_graph_page.h"
#include "stats/pool_graph.h"

namespace ornexa {

namespace {

void Append(PrintedReport& to, std::optional<PrintedReport> pages) {
    if (pages) {
        to.pages.insert(to.pages.end(), std::make_move_iterator(pages->pages.begin()),
                        std::make_move_iterator(pages->pages.end()));
    }
}

// The pools to print, in the order asked (every pool, in list order, when none is named); names that
// match no pool go to `unknown`.
std::vector<int> PoolsToPrint(const Report& report, const std::vector<std::string>& names,
                              std::vector<std::string>& unknown) {
    std::vector<int> chosen;
    for (const std::string& name : names) {
        if (const int p = FirstPoolNamed(report, name); p != 0) {
            chosen.push_back(p);
        } else {
            unknown.push_back(name);
        }
    }
    if (names.empty()) {
        chosen = ChosenPools(report, {});
    }
    return chosen;
}

// The pool page with `graphType` (graph 1 when that is none of the pool's graphs) and the object page
// with graph 1 of the pool's first object in table order.
void AppendPoolPages(PrintedReport& to, const Report& report, const SimulationData& sim, int p, int graphType) {
    PoolInfoPage pool(report, sim, NumberStyle{});
    pool.SetPool(p);
    (void)pool.SelectGraphType(graphType >= 1 && graphType <= pool.GraphTypeCount() ? graphType : 1);
    Append(to, PoolGraphReport(report, p, pool.Graph()));
    ObjectInfoPage objects(report, NumberStyle{});
    objects.SetPool(p);
    (void)objects.SelectFromList();
    Append(to, ObjectGraphReport(report, p, objects.Graph()));
}

// The simulated pool's four simulation pages, as entering the tab draws them, and its cluster report
// (usage Random, the first simulated size, the radius a new page starts with).
void AppendSimulationPages(PrintedReport& to, const Report& report, const SimulationData& sim, int p,
                           const std::filesystem::path& thresholdFolder) {
    SimGraphPage charts(report, sim, NumberStyle{});
    charts.SetPool(p);
    (void)charts.Enter();
    for (int subTab = 0; subTab < SimSubTabCount; ++subTab) {
        Append(to, SimGraphReport(report, p, charts.Chart(subTab), SimSubTabCaption(subTab)));
    }
    ClusterPage clusters(report, sim, thresholdFolder);
    clusters.SetPool(p);
    clusters.SetPoolSizes(SimulatedPoolSizes(sim, p));
    (void)clusters.Enter(PoolUsage::Random);
    Append(to, ClusterReport(report, sim, p, clusters.LastRun(), clusters.Clusters(), PoolUsage::Random));
}

} // namespace

ReportPages AllReportPages(const Report& report, const SimulationData& sim, const ReportPagesRequest& request) {
    ReportPages result;
    Append(result.printed, SummaryReport(report));
    for (const int p : PoolsToPrint(report, request.pools, result.unknown)) {
        AppendPoolPages(result.printed, report, sim, p, request.graphType);
        if (sim.ShownPool() != 0 && p == sim.ShownPool()) {
            AppendSimulationPages(result.printed, report, sim, p, request.thresholdFolder);
        }
    }
    return result;
}

} // namespace ornexa
