#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <filesystem>

#include "report/table_text.h"
#include "session/file_dialogs.h"

class QAbstractItemView;
class QAction;
class QTableView;
class QWidget;
class UiServices;

// What every list of the window offers, from its context menu and the keyboard: "Copy" (Ctrl+C,
// the selected rows, or all of them when none is, as tab-separated text with the header line) and
// "Export as CSV..." (every row shown). Both read the list as the view shows it, so a filtered or
// sorted list gives what is on the screen; figures are written with "." and no grouping, whatever
// the locale. The save dialog starts where the window's `folders` say a list goes.
class TableExport : public QObject {
    Q_OBJECT
public:
    // `captions` stand in for the header of a view whose model has none (a plain list).
    TableExport(QAbstractItemView* view, UiServices& ui, ornexa::SaveFolders& folders, QString defaultFileName,
                QStringList captions = {});

    void Copy() const;
    void ExportAsCsv();

    [[nodiscard]] QAction* CopyAction() const { return copy_; }
    [[nodiscard]] QAction* ExportAction() const { return export_; }

private:
    QAbstractItemView* view_;
    UiServices& ui_;
    QString defaultFileName_;
    QStringList captions_;
    ornexa::SaveFolders& folders_;
    QAction* copy_;
    QAction* export_;
};

// Gives `view` its TableExport, owned by the view.
void AttachTableExport(QAbstractItemView* view, UiServices& ui, ornexa::SaveFolders& folders, QString defaultFileName,
                       QStringList captions = {});

// The rows of `view` as it shows them: all of them, or only the selected ones (all when none is).
ornexa::TextTable ShownTable(const QAbstractItemView& view, const QStringList& captions, bool selectedOnly);

// A list of the windows: whole rows chosen one at a time, no editing, no row numbers, the last
// column taking the room left.
QTableView* MakeListView(QWidget* parent);
