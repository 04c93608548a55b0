#include "session/report_pages.h"

#include <algorithm>

#include "session/analysis_session.h"

namespace ornexa {

namespace {

void Append(PrintedReport& to, std::optional<PrintedReport> pages) {
    if (pages) {
        to.pages.insert(to.pages.end(), std::make_move_iterator(pages->pages.begin()),
                        std::make_move_iterator(pages->pages.end()));
    }
}

} // namespace

ReportPages AllReportPages(const Report& report, const SimulationData& sim, const ReportPagesRequest& request) {
    ReportPages result;
    AnalysisSession session(report, sim, request.thresholdFolder);
    session.Load();
    (void)session.Activate(); // what a chart could not draw leaves its page's chart empty
    Append(result.printed, session.PrintedTab());

    std::vector<int> rows;
    for (const std::string& name : request.pools) {
        const auto& pools = session.ReportInfo().PoolList();
        const auto found = std::find_if(pools.begin(), pools.end(), [&](const PoolListEntry& entry) {
            return SamePoolName(entry.cells[0].value_or(std::string{}), name);
        });
        if (found == pools.end()) {
            result.unknown.push_back(name);
        } else {
            rows.push_back(static_cast<int>(found - pools.begin()));
        }
    }
    if (request.pools.empty()) {
        for (int row = 0; row < static_cast<int>(session.ReportInfo().PoolList().size()); ++row) {
            rows.push_back(row);
        }
    }
    for (const int row : rows) {
        (void)session.SelectTab(ReportInfoTab);
        (void)session.SelectPoolFromList(row);
        (void)session.SelectPoolGraphType(request.graphType);
        for (const int tab : {PoolInfoTab, ObjectInfoTab}) {
            (void)session.SelectTab(tab);
            Append(result.printed, session.PrintedTab());
        }
        if (session.Tabs()[SimGraphTab].enabled) {
            (void)session.SelectTab(SimGraphTab);
            for (int subTab = 0; subTab < SimSubTabCount; ++subTab) {
                session.SimGraphs().SelectSubTab(subTab);
                Append(result.printed, session.PrintedTab());
            }
            (void)session.SelectTab(SimClusterTab);
            Append(result.printed, session.PrintedTab());
        }
    }
    return result;
}

} // namespace ornexa
