#pragma once

#include <QString>
#include <array>
#include <string>
#include <vector>

#include "stats/graph_view.h"
#include "stats/share_figures.h"

class QFormLayout;
class QLabel;
class QLayout;
class QSplitter;
class QTableView;
class QWidget;

// What the page views share: figure labels, the figures beside a chart, a graph's legend.

// A figure the user can select and copy, wide enough for a long number.
QLabel* FigureLabel(QWidget* parent);

// The figures beside the chart, the border between them movable; the chart takes what is left.
QSplitter* SideBySide(QWidget* page, QLayout* side, QWidget* chart, const char* name);
// Widens the figures beside a chart so that `panel` among them shows its texts whole (a details panel
// opened with longer texts), taking the room from the chart: a splitter keeps its sizes when its
// sides' contents change.
void KeepFiguresWhole(QSplitter* splitter, const QWidget* panel);

// The legend of a graph: a caption and a figure a row, rows the graph does not use hidden.
class LegendLabels {
public:
    LegendLabels(QWidget* page, QFormLayout* into);
    void Paint(const ornexa::Legend& legend);

private:
    std::array<QLabel*, ornexa::LegendRows> captions_{};
    std::array<QLabel*, ornexa::LegendRows> values_{};
};

// A list of captioned figures (Db2's own figures of a pool or a data set): a caption and a figure a
// row, hidden while there are none, so that a monitor's report shows no empty list.
QTableView* FigureRowsView(QWidget* parent, const char* name);
void ShowFigureRows(QTableView* view, const std::vector<ornexa::FigureRow>& rows);
