#include "stats/ui/chart_colours.h"

#include <array>
#include <cmath>

namespace {

const std::array<QColor, 7> OkabeIto{QColor(0x00, 0x72, 0xB2), QColor(0xE6, 0x9F, 0x00), QColor(0x00, 0x9E, 0x73),
                                     QColor(0xCC, 0x79, 0xA7), QColor(0x56, 0xB4, 0xE9), QColor(0xD5, 0x5E, 0x00),
                                     QColor(0xF0, 0xE4, 0x42)};
const QColor Blue = OkabeIto[0];
const QColor Orange = OkabeIto[1];
const QColor SkyBlue = OkabeIto[4];
const QColor Vermilion = OkabeIto[5];

// `share` parts of `over` laid on `under`.
QColor Mix(const QColor& under, const QColor& over, double share) {
    const auto channel = [share](int a, int b) { return static_cast<int>(std::lround(a + (b - a) * share)); };
    return {channel(under.red(), over.red()), channel(under.green(), over.green()), channel(under.blue(), over.blue())};
}

// The active group: a chart drawn while its window is inactive or disabled keeps its colours.
QColor Active(const QPalette& palette, QPalette::ColorRole role) {
    return palette.color(QPalette::Active, role);
}

} // namespace

QColor ChartColours::Slice(int index) {
    const auto size = static_cast<int>(OkabeIto.size());
    return OkabeIto[static_cast<std::size_t>(((index % size) + size) % size)];
}

bool IsDarkPalette(const QPalette& palette) {
    return Active(palette, QPalette::Window).lightness() < Active(palette, QPalette::WindowText).lightness();
}

ChartColours ColoursFor(ChartTheme theme, const QPalette& palette) {
    const bool dark = theme == ChartTheme::FollowPalette && IsDarkPalette(palette);
    ChartColours colours;
    if (theme == ChartTheme::Light) {
        colours.background = Qt::white;
        colours.text = QColor(0x20, 0x20, 0x20);
    } else {
        colours.background = Active(palette, QPalette::Base);
        colours.text = Active(palette, QPalette::Text);
        // Some palettes give the item views a Base that does not follow the window.
        if (IsDarkPalette(palette) != (colours.background.lightness() < colours.text.lightness())) {
            colours.background = Active(palette, QPalette::Window);
            colours.text = Active(palette, QPalette::WindowText);
        }
    }
    colours.axisLine = Mix(colours.background, colours.text, 0.55);
    colours.grid = Mix(colours.background, colours.text, 0.18);
    // A bar's value is written in the text colour, on the bar when it reaches the end of the axis:
    // the bars are light under dark text and dark under light text.
    colours.bar = dark ? Blue : SkyBlue;
    colours.selectedBar = dark ? Vermilion : Orange;
    colours.curve = dark ? SkyBlue : Blue;
    colours.marks = dark ? Orange : Vermilion;
    return colours;
}
