#pragma once

#include <QColor>
#include <QPalette>

// Which colours a chart is drawn in: the window's palette on screen (dark windows give dark
// charts), or light whatever the screen shows, for paper and files.
enum class ChartTheme { FollowPalette, Light };

// The colours of one chart. The series colours are Okabe-Ito colours, told apart with every common
// form of colour blindness.
struct ChartColours {
    QColor background;
    QColor text;
    QColor axisLine;
    QColor grid;
    QColor bar;
    QColor selectedBar;
    QColor curve;
    QColor marks;

    // The colour of slice `index` of a share chart, any index.
    [[nodiscard]] static QColor Slice(int index);
};

// True for a palette whose window is darker than its text.
bool IsDarkPalette(const QPalette& palette);

ChartColours ColoursFor(ChartTheme theme, const QPalette& palette);
