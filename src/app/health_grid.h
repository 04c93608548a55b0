#pragma once

#include <QAbstractScrollArea>
#include <QColor>
#include <QString>
#include <functional>
#include <optional>

#include "advice/health_overview.h"
#include "session/health_page.h"

// The colour of a cell: light green, amber, dark red and grey, so that they differ in lightness as
// well as in hue for a reader who tells red from green badly; an absent pool is left empty.
QColor HealthCellColour(ornexa::HealthCell cell);
// The letter a cell wide enough shows: "G", "W", "E", "–"; nothing for an absent pool.
QString HealthCellGlyph(ornexa::HealthCell cell);
// "Good", "Warning", "Exception", "Not applicable", "Not in the report".
QString HealthCellName(ornexa::HealthCell cell);

// The overview of a HealthPage, painted cell by cell: only the cells in view are drawn, so tens of
// thousands of reports scroll as fast as ten. The pools, their rank and their counts stay on the left,
// the reports' collection times across the top. Arrows, Home/End, PgUp/PgDn move the current cell;
// Enter or a click opens a cell; Ctrl+C asks for its text.
class HealthGrid : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit HealthGrid(QWidget* parent = nullptr);

    // The page shown; the grid paints it again when it changed.
    void Show(ornexa::HealthPage& page);
    // The text of a cell's tooltip.
    void SetToolTipText(std::function<QString(ornexa::HealthPlace)> text) { tipText_ = std::move(text); }

    // Geometry, also for tests: the cell under a point of the viewport, and a cell's rectangle.
    [[nodiscard]] std::optional<ornexa::HealthPlace> CellAt(const QPoint& point) const;
    [[nodiscard]] QRect CellRect(ornexa::HealthPlace place) const;
    [[nodiscard]] int CellWidth() const { return cellWidth_; }
    [[nodiscard]] int RowHeight() const { return rowHeight_; }
    // Scrolls so that the current cell is in view.
    void EnsureCurrentVisible();

signals:
    void CurrentMoved(ornexa::HealthPlace place);
    void Activated(ornexa::HealthPlace place);
    void CopyWanted(ornexa::HealthPlace place);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void Layout();
    [[nodiscard]] int VisibleRows() const;
    [[nodiscard]] int CellsLeft() const { return nameWidth_ + countWidth_ * 2; }
    void PaintHeader(QPainter& painter, int firstColumn, int lastColumn) const;
    void PaintPools(QPainter& painter, int firstRow, int lastRow) const;

    ornexa::HealthPage* page_ = nullptr;
    std::function<QString(ornexa::HealthPlace)> tipText_;
    std::optional<ornexa::HealthPlace> pressed_;
    int rowHeight_ = 16;
    int headerHeight_ = 32;
    int nameWidth_ = 120;
    int countWidth_ = 60;
    int cellWidth_ = 10;
};
