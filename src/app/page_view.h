#pragma once

#include <QString>
#include <array>
#include <string>

#include "stats/graph_view.h"

class QFormLayout;
class QLabel;
class QLayout;
class QSplitter;
class QWidget;

// What the page views share: figure labels, the figures beside a chart, a graph's legend.

// A figure the user can select and copy, wide enough for a long number.
QLabel* FigureLabel(QWidget* parent);

// The figures beside the chart, the border between them movable; the chart takes what is left.
QSplitter* SideBySide(QWidget* page, QLayout* side, QWidget* chart, const char* name);

// The legend of a graph: a caption and a figure a row, rows the graph does not use hidden.
class LegendLabels {
public:
    LegendLabels(QWidget* page, QFormLayout* into);
    void Paint(const ornexa::Legend& legend);

private:
    std::array<QLabel*, ornexa::LegendRows> captions_{};
    std::array<QLabel*, ornexa::LegendRows> values_{};
};
