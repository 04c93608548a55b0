#include "stats/ui/chart_view.h"
#include "stats/ui/display_text.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QHorizontalBarSeries>
#include <QKeyEvent>
#include <QLineSeries>
#include <QPieSeries>
#include <QPieSlice>
#include <QScatterSeries>
#include <QValueAxis>
#include <array>

namespace {

// Okabe-Ito colours: told apart with every common form of colour blindness, readable on light and
// dark backgrounds.
const std::array<QColor, 7> SeriesPalette{QColor(0x00, 0x72, 0xB2), QColor(0xE6, 0x9F, 0x00), QColor(0x00, 0x9E, 0x73),
                                          QColor(0xCC, 0x79, 0xA7), QColor(0x56, 0xB4, 0xE9), QColor(0xD5, 0x5E, 0x00),
                                          QColor(0xF0, 0xE4, 0x42)};

bool DarkPalette(const QPalette& palette) {
    return palette.color(QPalette::Window).lightness() < 128;
}

bool SameModel(const ornexa::ChartModel& a, const ornexa::ChartModel& b) {
    return a.kind == b.kind && a.visible == b.visible && a.title == b.title && a.subtitle == b.subtitle &&
           a.series == b.series && a.labels == b.labels && a.xValues == b.xValues && a.hiddenSeries == b.hiddenSeries &&
           a.axisMin == b.axisMin && a.axisMax == b.axisMax && a.xMin == b.xMin && a.xMax == b.xMax;
}

} // namespace

ChartView::ChartView(QWidget* parent) : QChartView(parent) {
    setRenderHint(QPainter::Antialiasing);
    setFocusPolicy(Qt::StrongFocus);
    chart()->setAnimationOptions(QChart::NoAnimation);
    chart()->legend()->hide();
}

void ChartView::ShowModel(const ornexa::ChartModel& model) {
    if (rendered_ && SameModel(model, model_)) {
        return;
    }
    model_ = model;
    rendered_ = true;
    current_ = -1;
    Render();
}

void ChartView::Render() {
    QChart* c = chart();
    c->removeAllSeries();
    for (QAbstractAxis* axis : c->axes()) {
        c->removeAxis(axis);
        delete axis; // NOLINT(cppcoreguidelines-owning-memory): the chart gives up the axis
    }
    bars_ = nullptr;
    c->setTheme(DarkPalette(palette()) ? QChart::ChartThemeDark : QChart::ChartThemeLight);
    QString title = ornexa::ui::DisplayText(model_.title).toHtmlEscaped();
    if (!model_.subtitle.empty()) {
        title += QStringLiteral("<br>") + ornexa::ui::DisplayText(model_.subtitle).toHtmlEscaped();
    }
    c->setTitle(title);
    setVisible(model_.visible);
    if (!model_.visible || !model_.HasData() || model_.series.empty()) {
        return;
    }
    const auto points = static_cast<std::size_t>(model_.PointCount());
    if (model_.kind == ornexa::ChartKind::Share) {
        auto* pie = new QPieSeries(c);
        for (std::size_t p = 0; p < points; ++p) {
            QPieSlice* slice = pie->append(ornexa::ui::DisplayText(model_.labels[p]), model_.series[0][p]);
            slice->setLabelVisible(true);
            slice->setColor(SeriesPalette[p % SeriesPalette.size()]);
        }
        c->addSeries(pie);
    } else if (model_.kind == ornexa::ChartKind::Ranked) {
        auto* series = new QHorizontalBarSeries(c);
        bars_ = new QBarSet(QString(), series);
        QStringList categories;
        for (std::size_t p = 0; p < points; ++p) {
            *bars_ << model_.series[0][p];
            // Two empty ranks must stay two categories.
            categories << ornexa::ui::DisplayText(model_.labels[p]) + QString(static_cast<int>(p), QChar(0x200B));
        }
        bars_->setColor(SeriesPalette[0]);
        bars_->setSelectedColor(SeriesPalette[1]);
        series->append(bars_);
        series->setLabelsVisible(true);
        c->addSeries(series);
        auto* names = new QBarCategoryAxis(c);
        names->append(categories);
        c->addAxis(names, Qt::AlignLeft);
        series->attachAxis(names);
        auto* values = new QValueAxis(c);
        if (model_.axisMin && model_.axisMax) {
            values->setRange(*model_.axisMin,
                             *model_.axisMax > *model_.axisMin ? *model_.axisMax : *model_.axisMin + 1);
        } else if (model_.axisMax) {
            values->setRange(0, *model_.axisMax > 0 ? *model_.axisMax : 1);
        }
        c->addAxis(values, Qt::AlignBottom);
        series->attachAxis(values);
        connect(bars_, &QBarSet::clicked, this, [this](int index) {
            SetCurrentPoint(index);
            emit PointActivated(index);
        });
    } else {
        auto* line = new QLineSeries(c);
        auto* marks = new QScatterSeries(c);
        for (std::size_t p = 0; p < points; ++p) {
            line->append(model_.xValues[p], model_.series[0][p]);
            marks->append(model_.xValues[p], model_.series[0][p]);
        }
        line->setColor(SeriesPalette[0]);
        marks->setColor(SeriesPalette[1]);
        marks->setMarkerSize(8);
        c->addSeries(line);
        c->addSeries(marks);
        auto* x = new QValueAxis(c);
        auto* y = new QValueAxis(c);
        const auto span = [](std::optional<double> lo, std::optional<double> hi, QValueAxis* axis) {
            if (lo && hi) {
                axis->setRange(*lo, *hi > *lo ? *hi : *lo + 1); // a single size still gets an axis
            }
        };
        span(model_.xMin, model_.xMax, x);
        span(model_.axisMin, model_.axisMax, y);
        x->setLabelFormat(QStringLiteral("%.0f"));
        c->addAxis(x, Qt::AlignBottom);
        c->addAxis(y, Qt::AlignLeft);
        for (QAbstractSeries* s : {static_cast<QAbstractSeries*>(line), static_cast<QAbstractSeries*>(marks)}) {
            s->attachAxis(x);
            s->attachAxis(y);
        }
    }
}

void ChartView::SetCurrentPoint(int point) {
    if (bars_ == nullptr || point < 0 || point >= model_.PointCount()) {
        return;
    }
    if (current_ >= 0) {
        bars_->deselectBar(current_);
    }
    current_ = point;
    bars_->selectBar(point);
}

void ChartView::keyPressEvent(QKeyEvent* event) {
    if (bars_ != nullptr && model_.PointCount() > 0) {
        const int last = model_.PointCount() - 1;
        switch (event->key()) {
        case Qt::Key_Up: // rank 1 is the top bar, the last point
            SetCurrentPoint(current_ < 0 ? last : std::min(current_ + 1, last));
            return;
        case Qt::Key_Down:
            SetCurrentPoint(current_ < 0 ? last : std::max(current_ - 1, 0));
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Space:
            if (current_ >= 0) {
                emit PointActivated(current_);
            }
            return;
        default:
            break;
        }
    }
    QChartView::keyPressEvent(event);
}

void ChartView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange && rendered_) {
        Render();
    }
    QChartView::changeEvent(event);
}
