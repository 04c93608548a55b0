#pragma once

class QTableView;
class QWidget;

namespace ornexa {
class AnalysisSession;
}

// What an analysis window keeps from one showing to the next: the splitters, the column widths, the
// object list's order, the usage option, the cluster radius and the save dialogs' folders. The
// geometry is restored when the window is built, the columns once its lists are filled.
void RestoreAnalysisState(QWidget& window, ornexa::AnalysisSession& session, const QTableView& objects);
// Filled, each list fits its columns to their texts, unless the user's widths were kept.
void RestoreAnalysisColumns(QWidget& window);
void SaveAnalysisState(const QWidget& window, const ornexa::AnalysisSession& session, const QTableView& objects);
