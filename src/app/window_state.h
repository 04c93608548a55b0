#pragma once

#include <QString>
#include <optional>
#include <string>

#include "session/file_dialogs.h"

class QSplitter;
class QTableView;
class QWidget;

// What the windows keep between runs in the settings. Every value is checked when it is read back:
// one that is missing or makes no sense (a width of -5, a radius of "abc") leaves the default.
namespace window_state {

// The window's size and place, under its object name.
void SaveGeometry(const QWidget& window);
void RestoreGeometry(QWidget& window);

// Where the border of a splitter stands, under its window's and its own object names.
void SaveSplitter(const QSplitter& splitter);
void RestoreSplitter(QSplitter& splitter);

// The column widths of a list, under its window's and its own object names; the last column, when it
// takes the room left, keeps taking it.
void SaveColumns(const QTableView& list);
void RestoreColumns(QTableView& list);

// The column a list was sorted by last, and whether descending.
struct SortState {
    int column = 0;
    bool descending = false;
};
void SaveSort(const QTableView& list, std::optional<SortState> sort);
// Nothing unless the column is one of the `columns` the list has.
std::optional<SortState> ReadSort(const QTableView& list, int columns);

// The "Pool Usage Intent" option chosen last: 0 or 1.
void SaveUsageOption(int option);
std::optional<int> ReadUsageOption();

// The cluster radius shown last: a finite number from 0.4 to 7.6.
void SaveRadius(const std::string& text);
std::optional<std::string> ReadRadius();

// The folder a file dialog chose from last; dialogs are told apart by `dialog`.
void SaveFolder(const QString& dialog, const QString& folder);
std::optional<QString> ReadFolder(const QString& dialog);
// The folder the save dialog of `kind` chose from last, as the file dialogs keep it.
std::optional<QString> ReadSaveFolder(ornexa::SaveKind kind);

} // namespace window_state
