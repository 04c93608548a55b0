#include "app/health_grid.h"

#include <QDate>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>
#include <algorithm>

#include "stats/ui/display_text.h"

using ornexa::HealthCell;
using ornexa::HealthPlace;

namespace {

// Cells are never narrower than this, so that a year of quarter hours still scrolls in a few screens.
constexpr int MinimumCellWidth = 6;

} // namespace

QColor HealthCellColour(ornexa::HealthCell cell) {
    switch (cell) {
    case HealthCell::Good:
        return {0x9C, 0xDB, 0xB4};
    case HealthCell::Warning:
        return {0xF0, 0xB0, 0x30};
    case HealthCell::Exception:
        return {0xA5, 0x1C, 0x1C};
    case HealthCell::NotApplicable:
        return {0xC4, 0xC4, 0xC4};
    case HealthCell::Absent:
        break;
    }
    return {};
}

QString HealthCellGlyph(ornexa::HealthCell cell) {
    switch (cell) {
    case HealthCell::Good:
        return HealthGrid::tr("G", "good cell");
    case HealthCell::Warning:
        return HealthGrid::tr("W", "warning cell");
    case HealthCell::Exception:
        return HealthGrid::tr("E", "exception cell");
    case HealthCell::NotApplicable:
        return QStringLiteral("-");
    case HealthCell::Absent:
        break;
    }
    return {};
}

QString HealthCellName(ornexa::HealthCell cell) {
    switch (cell) {
    case HealthCell::Good:
        return HealthGrid::tr("Good");
    case HealthCell::Warning:
        return HealthGrid::tr("Warning");
    case HealthCell::Exception:
        return HealthGrid::tr("Exception");
    case HealthCell::NotApplicable:
        return HealthGrid::tr("Not applicable");
    case HealthCell::Absent:
        break;
    }
    return HealthGrid::tr("Not in the report");
}

HealthGrid::HealthGrid(QWidget* parent) : QAbstractScrollArea(parent) {
    setObjectName(QStringLiteral("grdHealth"));
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

void HealthGrid::Show(ornexa::HealthPage& page) {
    page_ = &page;
    Layout();
    viewport()->update();
}

void HealthGrid::Layout() {
    const QFontMetrics metrics = fontMetrics();
    rowHeight_ = metrics.height() + 4;
    headerHeight_ = rowHeight_ * 2;
    countWidth_ =
        std::max(metrics.horizontalAdvance(tr("Exceptions")), metrics.horizontalAdvance(QStringLiteral("000000"))) + 12;
    int names = metrics.horizontalAdvance(tr("Pool")) + metrics.horizontalAdvance(QStringLiteral("000. "));
    const std::size_t rows = page_ != nullptr ? page_->RowCount() : 0;
    for (std::size_t r = 0; r < rows; ++r) {
        names = std::max(names, metrics.horizontalAdvance(QStringLiteral("000. ") +
                                                          ornexa::ui::DisplayText(page_->Overview().rows[r].poolName)));
    }
    nameWidth_ = names + 12;
    const int columns = page_ != nullptr ? static_cast<int>(page_->ColumnCount()) : 0;
    // A few reports fill the width, up to cells a label wide; many take the narrowest cells.
    const int room = std::max(0, viewport()->width() - CellsLeft());
    const int widest = metrics.horizontalAdvance(QStringLiteral("0000-00-00")) + 8;
    cellWidth_ = columns > 0 ? std::clamp(room / columns, MinimumCellWidth, widest) : widest;
    horizontalScrollBar()->setRange(0, std::max(0, columns * cellWidth_ - room));
    horizontalScrollBar()->setPageStep(std::max(1, room));
    horizontalScrollBar()->setSingleStep(cellWidth_);
    verticalScrollBar()->setRange(0, std::max(0, static_cast<int>(rows) - VisibleRows()));
    verticalScrollBar()->setPageStep(std::max(1, VisibleRows()));
}

int HealthGrid::VisibleRows() const {
    return std::max(1, (viewport()->height() - headerHeight_) / std::max(1, rowHeight_));
}

void HealthGrid::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    Layout();
}

void HealthGrid::scrollContentsBy(int /*dx*/, int /*dy*/) {
    viewport()->update();
}

std::optional<HealthPlace> HealthGrid::CellAt(const QPoint& point) const {
    if (page_ == nullptr || point.x() < CellsLeft() || point.y() < headerHeight_) {
        return std::nullopt;
    }
    const int column = (point.x() - CellsLeft() + horizontalScrollBar()->value()) / cellWidth_;
    const int row = (point.y() - headerHeight_) / rowHeight_ + verticalScrollBar()->value();
    if (column >= static_cast<int>(page_->ColumnCount()) || row >= static_cast<int>(page_->RowCount())) {
        return std::nullopt;
    }
    return HealthPlace{static_cast<std::size_t>(row), static_cast<std::size_t>(column)};
}

QRect HealthGrid::CellRect(HealthPlace place) const {
    return {CellsLeft() + static_cast<int>(place.column) * cellWidth_ - horizontalScrollBar()->value(),
            headerHeight_ + (static_cast<int>(place.row) - verticalScrollBar()->value()) * rowHeight_, cellWidth_,
            rowHeight_};
}

void HealthGrid::EnsureCurrentVisible() {
    const auto current = page_ != nullptr ? page_->Current() : std::nullopt;
    if (!current) {
        return;
    }
    const int row = static_cast<int>(current->row);
    QScrollBar* rows = verticalScrollBar();
    if (row < rows->value()) {
        rows->setValue(row);
    } else if (row >= rows->value() + VisibleRows()) {
        rows->setValue(row - VisibleRows() + 1);
    }
    const int left = static_cast<int>(current->column) * cellWidth_;
    const int room = viewport()->width() - CellsLeft();
    QScrollBar* columns = horizontalScrollBar();
    if (left < columns->value()) {
        columns->setValue(left);
    } else if (left + cellWidth_ > columns->value() + room) {
        columns->setValue(left + cellWidth_ - room);
    }
    viewport()->update();
}

void HealthGrid::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), palette().base());
    if (page_ == nullptr || page_->ColumnCount() == 0) {
        return;
    }
    const ornexa::HealthOverview& overview = page_->Overview();
    const int columns = static_cast<int>(page_->ColumnCount());
    const int rows = static_cast<int>(page_->RowCount());
    const int scrollX = horizontalScrollBar()->value();
    const int firstColumn = scrollX / cellWidth_;
    const int lastColumn = std::min(columns - 1, (scrollX + viewport()->width() - CellsLeft()) / cellWidth_);
    const int firstRow = verticalScrollBar()->value();
    const int lastRow = std::min(rows - 1, firstRow + VisibleRows());

    painter.save();
    painter.setClipRect(QRect(CellsLeft(), headerHeight_, viewport()->width(), viewport()->height()));
    const QFontMetrics metrics = fontMetrics();
    const bool lettered = cellWidth_ >= metrics.horizontalAdvance(QLatin1Char('W')) + 4;
    const QColor grid = palette().color(QPalette::Mid);
    for (int r = firstRow; r <= lastRow; ++r) {
        for (int c = firstColumn; c <= lastColumn; ++c) {
            const HealthPlace place{static_cast<std::size_t>(r), static_cast<std::size_t>(c)};
            const HealthCell cell = overview.Cell(place.row, place.column);
            if (cell == HealthCell::Absent) {
                continue;
            }
            const QRect rect = CellRect(place);
            const QColor colour = HealthCellColour(cell);
            painter.fillRect(rect.adjusted(0, 0, cellWidth_ > 8 ? -1 : 0, -1), colour);
            if (lettered) {
                painter.setPen(colour.lightness() < 110 ? Qt::white : Qt::black);
                painter.drawText(rect, Qt::AlignCenter, HealthCellGlyph(cell));
            }
        }
    }
    if (const auto current = page_->Current()) {
        const QRect rect = CellRect(*current);
        painter.setPen(QPen(palette().color(QPalette::Text), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect.adjusted(1, 1, -1, -1));
        if (hasFocus()) {
            painter.setPen(QPen(palette().color(QPalette::Base), 1, Qt::DotLine));
            painter.drawRect(rect.adjusted(2, 2, -3, -3));
        }
    }
    painter.setPen(grid);
    painter.restore();
    PaintHeader(painter, firstColumn, lastColumn);
    PaintPools(painter, firstRow, lastRow);
}

void HealthGrid::PaintHeader(QPainter& painter, int firstColumn, int lastColumn) const {
    const QFontMetrics metrics = fontMetrics();
    painter.save();
    painter.fillRect(QRect(0, 0, viewport()->width(), headerHeight_), palette().button());
    painter.setPen(palette().color(QPalette::ButtonText));
    const int counts = nameWidth_;
    painter.drawText(QRect(4, rowHeight_, nameWidth_ - 8, rowHeight_), Qt::AlignLeft | Qt::AlignVCenter, tr("Pool"));
    painter.drawText(QRect(counts, rowHeight_, countWidth_ - 6, rowHeight_), Qt::AlignRight | Qt::AlignVCenter,
                     tr("Warnings"));
    painter.drawText(QRect(counts + countWidth_, rowHeight_, countWidth_ - 6, rowHeight_),
                     Qt::AlignRight | Qt::AlignVCenter, tr("Exceptions"));
    painter.setClipRect(QRect(CellsLeft(), 0, viewport()->width(), headerHeight_));
    // A label every so many reports, as far apart as a label is wide: the day above, the time below.
    const int label = metrics.horizontalAdvance(QStringLiteral("0000-00-00")) + 10;
    const int step = std::max(1, (label + cellWidth_ - 1) / cellWidth_);
    const auto& columns = page_->Overview().columns;
    for (int c = firstColumn - firstColumn % step; c <= lastColumn; c += step) {
        const QRect rect = CellRect({0, static_cast<std::size_t>(c)});
        const std::string time = ornexa::HealthPage::ColumnTime(columns[static_cast<std::size_t>(c)]);
        const QString text = QString::fromStdString(time);
        const int x = rect.left();
        painter.drawLine(x, headerHeight_ - 4, x, headerHeight_);
        // The day as the user's desktop writes it; a collection time that is no date stays as it is.
        const QDate day = QDate::fromString(text.left(10), Qt::ISODate);
        const QString dayText = day.isValid() ? QLocale().toString(day, QLocale::ShortFormat) : text.left(10);
        painter.drawText(QRect(x + 2, 0, label, rowHeight_), Qt::AlignLeft | Qt::AlignVCenter, dayText);
        painter.drawText(QRect(x + 2, rowHeight_, label, rowHeight_), Qt::AlignLeft | Qt::AlignVCenter, text.mid(11));
    }
    painter.restore();
}

void HealthGrid::PaintPools(QPainter& painter, int firstRow, int lastRow) const {
    const QLocale locale;
    const auto& rows = page_->Overview().rows;
    const auto current = page_->Current();
    painter.save();
    painter.setClipRect(QRect(0, headerHeight_, CellsLeft(), viewport()->height()));
    painter.fillRect(QRect(0, headerHeight_, CellsLeft(), viewport()->height()), palette().window());
    painter.setPen(palette().color(QPalette::WindowText));
    for (int r = firstRow; r <= lastRow; ++r) {
        const ornexa::HealthRow& row = rows[static_cast<std::size_t>(r)];
        const QRect line = CellRect({static_cast<std::size_t>(r), 0});
        const int y = line.top();
        if (current && static_cast<int>(current->row) == r) {
            painter.fillRect(QRect(0, y, CellsLeft(), rowHeight_), palette().highlight());
            painter.setPen(palette().color(QPalette::HighlightedText));
        } else {
            painter.setPen(palette().color(QPalette::WindowText));
        }
        painter.drawText(QRect(4, y, nameWidth_ - 8, rowHeight_), Qt::AlignLeft | Qt::AlignVCenter,
                         QStringLiteral("%1. %2").arg(locale.toString(r + 1), ornexa::ui::DisplayText(row.poolName)));
        painter.drawText(QRect(nameWidth_, y, countWidth_ - 6, rowHeight_), Qt::AlignRight | Qt::AlignVCenter,
                         locale.toString(row.warnings));
        painter.drawText(QRect(nameWidth_ + countWidth_, y, countWidth_ - 6, rowHeight_),
                         Qt::AlignRight | Qt::AlignVCenter, locale.toString(row.exceptions));
    }
    painter.restore();
}

bool HealthGrid::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const auto place = CellAt(help->pos());
        if (place && tipText_) {
            QToolTip::showText(help->globalPos(), tipText_(*place), viewport(), CellRect(*place));
        } else {
            QToolTip::hideText();
            event->ignore();
        }
        return true;
    }
    return QAbstractScrollArea::viewportEvent(event);
}

void HealthGrid::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton ? CellAt(event->position().toPoint()) : std::nullopt;
    if (pressed_ && page_ != nullptr) {
        page_->SetCurrent(static_cast<std::ptrdiff_t>(pressed_->row), static_cast<std::ptrdiff_t>(pressed_->column));
        viewport()->update();
        emit CurrentMoved(*pressed_);
    }
    QAbstractScrollArea::mousePressEvent(event);
}

void HealthGrid::mouseReleaseEvent(QMouseEvent* event) {
    const auto released = event->button() == Qt::LeftButton ? CellAt(event->position().toPoint()) : std::nullopt;
    const bool clicked = released && pressed_ && *released == *pressed_;
    pressed_.reset();
    QAbstractScrollArea::mouseReleaseEvent(event);
    if (clicked) {
        emit Activated(*released);
    }
}

void HealthGrid::keyPressEvent(QKeyEvent* event) {
    const auto current = page_ != nullptr ? page_->Current() : std::nullopt;
    if (!current) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    if (event->matches(QKeySequence::Copy)) {
        emit CopyWanted(*current);
        return;
    }
    const bool control = (event->modifiers() & Qt::ControlModifier) != 0;
    const auto row = static_cast<std::ptrdiff_t>(current->row);
    const auto column = static_cast<std::ptrdiff_t>(current->column);
    const auto lastRow = static_cast<std::ptrdiff_t>(page_->RowCount()) - 1;
    const auto lastColumn = static_cast<std::ptrdiff_t>(page_->ColumnCount()) - 1;
    const std::ptrdiff_t pageRows = VisibleRows();
    switch (event->key()) {
    case Qt::Key_Left:
        page_->SetCurrent(row, column - 1);
        break;
    case Qt::Key_Right:
        page_->SetCurrent(row, column + 1);
        break;
    case Qt::Key_Up:
        page_->SetCurrent(row - 1, column);
        break;
    case Qt::Key_Down:
        page_->SetCurrent(row + 1, column);
        break;
    case Qt::Key_Home: // the first report; with Ctrl the first pool too
        page_->SetCurrent(control ? 0 : row, 0);
        break;
    case Qt::Key_End:
        page_->SetCurrent(control ? lastRow : row, lastColumn);
        break;
    case Qt::Key_PageUp:
        page_->SetCurrent(row - pageRows, column);
        break;
    case Qt::Key_PageDown:
        page_->SetCurrent(row + pageRows, column);
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        emit Activated(*current);
        return;
    default:
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    EnsureCurrentVisible();
    emit CurrentMoved(*page_->Current());
}
