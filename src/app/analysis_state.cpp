#include "app/analysis_state.h"

#include <QSplitter>
#include <QTableView>

#include "app/list_columns.h"
#include "app/window_state.h"
#include "session/analysis_session.h"

void RestoreAnalysisState(QWidget& window, ornexa::AnalysisSession& session, const QTableView& objects) {
    for (QSplitter* splitter : window.findChildren<QSplitter*>()) {
        window_state::RestoreSplitter(*splitter);
    }
    if (const auto sort = window_state::ReadSort(objects, static_cast<int>(session.ObjectInfo().Captions().size()))) {
        session.RestoreObjectSort({sort->column, sort->descending});
    }
    if (const auto option = window_state::ReadUsageOption()) {
        session.SetUsage(ornexa::SelectPoolUsage(*option));
    }
    if (const auto radius = window_state::ReadRadius()) {
        session.Clusters().PresetRadius(*radius);
    }
    for (const ornexa::SaveKind kind :
         {ornexa::SaveKind::Chart, ornexa::SaveKind::Table, ornexa::SaveKind::ClusterFile, ornexa::SaveKind::Regroup}) {
        if (const auto folder = window_state::ReadSaveFolder(kind)) {
            session.Folders().Keep(kind, folder->toStdString());
        }
    }
}

void RestoreAnalysisColumns(QWidget& window) {
    for (QTableView* list : window.findChildren<QTableView*>()) {
        FitColumns(*list);
        window_state::RestoreColumns(*list);
    }
}

void SaveAnalysisState(const QWidget& window, const ornexa::AnalysisSession& session, const QTableView& objects) {
    window_state::SaveGeometry(window);
    for (const QSplitter* splitter : window.findChildren<QSplitter*>()) {
        window_state::SaveSplitter(*splitter);
    }
    for (const QTableView* list : window.findChildren<QTableView*>()) {
        if (list->model() != nullptr && list->model()->columnCount() > 0) {
            window_state::SaveColumns(*list);
        }
    }
    std::optional<window_state::SortState> sort;
    if (const auto order = session.ObjectInfo().SortOrder()) {
        sort = window_state::SortState{order->column, order->descending};
    }
    window_state::SaveSort(objects, sort);
    window_state::SaveUsageOption(session.Rules().UsageOption());
    window_state::SaveRadius(session.Clusters().RadiusText());
}
