#include "app/analysis_exports.h"

#include <QListWidget>
#include <QTableView>

#include "app/analysis_window.h"
#include "app/chart_actions.h"
#include "app/cluster_widget.h"
#include "app/sim_graph_widget.h"
#include "app/table_export.h"
#include "stats/ui/chart_view.h"

void AttachAnalysisExports(AnalysisWindow& window, UiServices& ui) {
    for (ChartView* chart : window.findChildren<ChartView*>()) {
        // NOLINTNEXTLINE(cppcoreguidelines-owning-memory): the chart owns them
        new ChartActions(chart, ui, window.Session().Folders());
    }
    // Every list copies its rows (Ctrl+C) and exports itself as CSV, from its context menu.
    ornexa::SaveFolders& folders = window.Session().Folders();
    AttachTableExport(window.PoolList(), ui, folders, QStringLiteral("pools.csv"));
    AttachTableExport(window.ObjectList(), ui, folders, QStringLiteral("objects.csv"));
    AttachTableExport(window.ObjectTable(), ui, folders, QStringLiteral("object-table.csv"));
    AttachTableExport(window.Rules(), ui, folders, QStringLiteral("rules.csv"), {AnalysisWindow::tr("Rule")});
    AttachTableExport(window.SimGraphs()->DetailsTable(), ui, folders, QStringLiteral("simulation-details.csv"));
    AttachTableExport(window.Clusters()->Clusters(), ui, folders, QStringLiteral("clusters.csv"));
    AttachTableExport(window.Clusters()->Members(), ui, folders, QStringLiteral("cluster-objects.csv"));
}
