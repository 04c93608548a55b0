#include "stats/ui/chart_view.h"
#include "stats/ui/display_text.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QDateTimeAxis>
#include <QGraphicsLineItem>
#include <QGraphicsSimpleTextItem>
#include <QHelpEvent>
#include <QHorizontalBarSeries>
#include <QKeyEvent>
#include <QLineSeries>
#include <QPieSeries>
#include <QPieSlice>
#include <QScatterSeries>
#include <QTimeZone>
#include <QToolTip>
#include <algorithm>
#include <cmath>

#include "report/number_format.h"
#include "stats/axis_ticks.h"

namespace {

// The names beside the bars take at most this share of the chart's width, the bars the rest.
constexpr double NameColumnShare = 0.3;
constexpr int SmallestNamePixels = 7;
// The axis keeps this much room around each name, and its text boxes this margin around the line.
constexpr double LabelPadding = 4;
constexpr int TextMargin = 2;

bool SameModel(const ornexa::ChartModel& a, const ornexa::ChartModel& b) {
    return a.kind == b.kind && a.visible == b.visible && a.title == b.title && a.subtitle == b.subtitle &&
           a.series == b.series && a.labels == b.labels && a.xValues == b.xValues && a.hiddenSeries == b.hiddenSeries &&
           a.axisMin == b.axisMin && a.axisMax == b.axisMax && a.xMin == b.xMin && a.xMax == b.xMax &&
           a.axisEnds == b.axisEnds && a.stepSeries == b.stepSeries && a.toolTips == b.toolTips &&
           a.markers == b.markers;
}

// Collection times are the report's own clock, without a zone: stored as if UTC, shown as the
// same wall-clock time whatever zone the screen is in.
qreal AxisTime(double secondsUtc) {
    const QDateTime utc =
        QDateTime::fromSecsSinceEpoch(static_cast<qint64>(std::llround(secondsUtc)), QTimeZone::utc());
    return static_cast<qreal>(QDateTime(utc.date(), utc.time()).toMSecsSinceEpoch());
}

void StyleAxis(QAbstractAxis* axis, const ChartColours& colours) {
    axis->setLabelsBrush(colours.text);
    axis->setTitleBrush(colours.text);
    axis->setLinePenColor(colours.axisLine);
    axis->setGridLineColor(colours.grid);
}

// A value axis with a labelled tick at each of `ticks`, in `style`.
void SetTicks(QCategoryAxis* axis, const ornexa::AxisTicks& ticks, ornexa::NumberStyle style) {
    QStringList labels;
    for (const std::string& label : ornexa::TickLabels(ticks, style)) {
        labels << ornexa::ui::DisplayText(label);
    }
    if (axis->categoriesLabels() == labels && axis->min() == ticks.Min() && axis->max() == ticks.Max()) {
        return;
    }
    for (const QString& label : axis->categoriesLabels()) {
        axis->remove(label);
    }
    axis->setStartValue(ticks.Min());
    for (int i = 0; i < ticks.count; ++i) {
        axis->append(labels[i], ticks.Value(i));
    }
    axis->setRange(ticks.Min(), ticks.Max());
}

QCategoryAxis* NewTickAxis(const ChartColours& colours, QObject* parent) {
    auto* axis = new QCategoryAxis(parent);
    axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    StyleAxis(axis, colours);
    return axis;
}

// How many ticks fit along `length` pixels of an axis whose widest label is `labelWidth` wide
// and whose labels are `labelHeight` high.
int TicksThatFit(double length, bool across, int labelWidth, int labelHeight) {
    const double spacing = across ? labelWidth + labelHeight : labelHeight * 1.5;
    return std::clamp(static_cast<int>(length / spacing) + 1, 2, ornexa::MostTicks);
}

// A time point is found within this many pixels of the mouse.
constexpr double PointReach = 12;
// The date axis keeps this much room for each of its labels, and its ends this share of the
// span beyond the first and last points.
constexpr int TimeLabelPixels = 110;
constexpr double TimeMargin = 0.04;
constexpr double HourMs = 3600.0 * 1000.0;
constexpr double DayMs = 24 * HourMs;
// Markers close together write their texts on rows below each other.
constexpr int MarkerRows = 3;

// Two empty ranks, or two names shortened alike, must stay two categories.
QString Category(const QString& text, int point) {
    return text + QString(point, QChar(0x200B));
}

} // namespace

ChartView::ChartView(QWidget* parent) : QChartView(parent), numberStyle_(ornexa::ui::LocaleNumberStyle(QLocale())) {
    setRenderHint(QPainter::Antialiasing);
    setFocusPolicy(Qt::StrongFocus);
    chart()->setAnimationOptions(QChart::NoAnimation);
    chart()->legend()->hide();
    // Names and ticks fit the room the layout leaves; they are fitted again when it changes.
    connect(chart(), &QChart::plotAreaChanged, this, [this] { FitAxes(); });
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

void ChartView::SetTheme(ChartTheme theme) {
    theme_ = theme;
    if (rendered_) {
        Render();
    }
}

void ChartView::SetNumberStyle(ornexa::NumberStyle style) {
    numberStyle_ = style;
    if (rendered_) {
        Render();
    }
}

void ChartView::Render() {
    QChart* c = chart();
    c->removeAllSeries();
    for (QAbstractAxis* axis : c->axes()) {
        c->removeAxis(axis);
        delete axis; // NOLINT(cppcoreguidelines-owning-memory): the chart gives up the axis
    }
    bars_ = nullptr;
    barSeries_ = nullptr;
    names_ = nullptr;
    stepAxes_.clear();
    timeAxis_ = nullptr;
    timePoints_.clear();
    for (const MarkerItems& marker : markerItems_) {
        delete marker.line; // NOLINT(cppcoreguidelines-owning-memory): drawn on the chart, made here
        delete marker.text; // NOLINT(cppcoreguidelines-owning-memory)
    }
    markerItems_.clear();
    const ChartColours colours = ColoursFor(theme_, palette());
    c->setTheme(QChart::ChartThemeLight); // fonts and pens; the colours follow
    c->setBackgroundBrush(colours.background);
    c->setBackgroundPen(Qt::NoPen);
    c->setTitleBrush(colours.text);
    setBackgroundBrush(colours.background);
    QString title = ornexa::ui::DisplayText(model_.title).toHtmlEscaped();
    if (!model_.subtitle.empty()) {
        title += QStringLiteral("<br>") + ornexa::ui::DisplayText(model_.subtitle).toHtmlEscaped();
    }
    c->setTitle(title);
    setVisible(model_.visible);
    if (!model_.visible || !model_.HasData() || model_.series.empty()) {
        return;
    }
    if (model_.kind == ornexa::ChartKind::Share) {
        auto* pie = new QPieSeries(c);
        for (std::size_t p = 0; p < static_cast<std::size_t>(model_.PointCount()); ++p) {
            QPieSlice* slice = pie->append(ornexa::ui::DisplayText(model_.labels[p]), model_.series[0][p]);
            slice->setLabelVisible(true);
            slice->setLabelBrush(colours.text);
            slice->setColor(ChartColours::Slice(static_cast<int>(p)));
            slice->setBorderColor(colours.background);
        }
        c->addSeries(pie);
    } else if (model_.kind == ornexa::ChartKind::Ranked) {
        RenderBars(colours);
    } else if (model_.kind == ornexa::ChartKind::TimeLine) {
        RenderTimeLine(colours);
    } else {
        RenderCurve(colours);
    }
}

void ChartView::RenderBars(const ChartColours& colours) {
    QChart* c = chart();
    barSeries_ = new QHorizontalBarSeries(c);
    bars_ = new QBarSet(QString(), barSeries_);
    for (const double value : model_.series[0]) {
        *bars_ << value;
    }
    bars_->setColor(colours.bar);
    bars_->setBorderColor(colours.bar);
    bars_->setSelectedColor(colours.selectedBar);
    bars_->setLabelColor(colours.text);
    barSeries_->append(bars_);
    barSeries_->setLabelsVisible(true);
    barSeries_->setLabelsPosition(QAbstractBarSeries::LabelsOutsideEnd);
    c->addSeries(barSeries_);
    names_ = new QBarCategoryAxis(c);
    StyleAxis(names_, colours);
    names_->setGridLineVisible(false);
    c->addAxis(names_, Qt::AlignLeft);
    barSeries_->attachAxis(names_);
    QCategoryAxis* values = NewTickAxis(colours, c);
    stepAxes_.push_back({values, false, true});
    FitAxes();
    c->addAxis(values, Qt::AlignBottom);
    barSeries_->attachAxis(values);
    connect(bars_, &QBarSet::clicked, this, [this](int index) {
        SetCurrentPoint(index);
        emit PointActivated(index);
    });
}

void ChartView::RenderCurve(const ChartColours& colours) {
    QChart* c = chart();
    auto* line = new QLineSeries(c);
    auto* marks = new QScatterSeries(c);
    for (std::size_t p = 0; p < static_cast<std::size_t>(model_.PointCount()); ++p) {
        line->append(model_.xValues[p], model_.series[0][p]);
        marks->append(model_.xValues[p], model_.series[0][p]);
    }
    line->setColor(colours.curve);
    marks->setColor(colours.marks);
    marks->setBorderColor(colours.marks);
    marks->setMarkerSize(8);
    c->addSeries(line);
    c->addSeries(marks);
    QCategoryAxis* x = NewTickAxis(colours, c);
    QCategoryAxis* y = NewTickAxis(colours, c);
    stepAxes_.push_back({x, true, true});
    stepAxes_.push_back({y, false, false});
    FitAxes();
    c->addAxis(x, Qt::AlignBottom);
    c->addAxis(y, Qt::AlignLeft);
    for (QAbstractSeries* s : {static_cast<QAbstractSeries*>(line), static_cast<QAbstractSeries*>(marks)}) {
        s->attachAxis(x);
        s->attachAxis(y);
    }
}

void ChartView::RenderTimeLine(const ChartColours& colours) {
    QChart* c = chart();
    timeAxis_ = new QDateTimeAxis(c);
    StyleAxis(timeAxis_, colours);
    QCategoryAxis* y = NewTickAxis(colours, c);
    stepAxes_.push_back({y, false, false});
    c->addAxis(timeAxis_, Qt::AlignBottom);
    c->addAxis(y, Qt::AlignLeft);
    const auto points = static_cast<std::size_t>(model_.PointCount());
    std::vector<qreal> times(points);
    for (std::size_t p = 0; p < points && p < model_.xValues.size(); ++p) {
        times[p] = AxisTime(model_.xValues[p]);
    }
    timePoints_.assign(model_.series.size(), nullptr);
    for (std::size_t s = 0; s < model_.series.size(); ++s) {
        if (s < model_.hiddenSeries.size() && model_.hiddenSeries[s]) {
            continue;
        }
        const std::vector<double>& values = model_.series[s];
        const bool steps = s < model_.stepSeries.size() && model_.stepSeries[s];
        auto* line = new QLineSeries(c);
        auto* marks = new QScatterSeries(c);
        for (std::size_t p = 0; p < points; ++p) {
            if (steps && p > 0) { // the setting held until this report changed it
                line->append(times[p], values[p - 1]);
            }
            line->append(times[p], values[p]);
            marks->append(times[p], values[p]);
        }
        const QColor colour = s == 0 ? colours.curve : ChartColours::Slice(static_cast<int>(s));
        line->setColor(colour);
        marks->setColor(s == 0 ? colours.marks : colour);
        marks->setBorderColor(s == 0 ? colours.marks : colour);
        marks->setMarkerSize(7);
        for (QAbstractSeries* series : {static_cast<QAbstractSeries*>(line), static_cast<QAbstractSeries*>(marks)}) {
            c->addSeries(series);
            series->attachAxis(timeAxis_);
            series->attachAxis(y);
        }
        timePoints_[s] = marks;
    }
    if (!times.empty()) {
        const auto [first, last] = std::minmax_element(times.begin(), times.end());
        // One report, or several of one moment, still spans an hour either side.
        const double margin = *last > *first ? (*last - *first) * TimeMargin : HourMs;
        timeAxis_->setRange(QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(*first - margin)),
                            QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(*last + margin)));
        timeAxis_->setFormat(*last - *first > 2 * DayMs ? QStringLiteral("yyyy-MM-dd") : QStringLiteral("MM-dd hh:mm"));
    }
    QPen pen(colours.axisLine, 1, Qt::DashLine);
    for (const ornexa::ChartMarker& marker : model_.markers) {
        auto* line = new QGraphicsLineItem(c);
        line->setPen(pen);
        line->setZValue(-1); // behind the points
        auto* text = new QGraphicsSimpleTextItem(ornexa::ui::DisplayText(marker.text), c);
        text->setBrush(colours.text);
        markerItems_.push_back({line, text, AxisTime(marker.x)});
    }
    FitAxes();
}

void ChartView::FitTimeAxis(const QRectF& plot) {
    if (timeAxis_ == nullptr) {
        return;
    }
    const int ticks = std::clamp(static_cast<int>(plot.width() / TimeLabelPixels) + 1, 2, ornexa::MostTicks);
    if (timeAxis_->tickCount() != ticks) {
        timeAxis_->setTickCount(ticks);
    }
    QAbstractSeries* anchor = chart()->series().isEmpty() ? nullptr : chart()->series().front();
    const qreal lineHeight = QFontMetricsF(chart()->font()).height();
    int row = 0;
    double lastRight = -1e9;
    for (const MarkerItems& marker : markerItems_) {
        const bool inside = anchor != nullptr &&
                            marker.x >= static_cast<double>(timeAxis_->min().toMSecsSinceEpoch()) &&
                            marker.x <= static_cast<double>(timeAxis_->max().toMSecsSinceEpoch());
        marker.line->setVisible(inside && plot.width() > 0);
        marker.text->setVisible(inside && plot.width() > 0);
        if (!inside || plot.width() <= 0) {
            continue;
        }
        const qreal x = chart()->mapToPosition(QPointF(marker.x, 0), anchor).x();
        marker.line->setLine(x, plot.top(), x, plot.bottom());
        // A text that would run into the one before goes a row lower; one that would leave the
        // plot on the right stands left of its line.
        row = x < lastRight ? (row + 1) % MarkerRows : 0;
        const qreal width = marker.text->boundingRect().width();
        const qreal left = x + 3 + width > plot.right() ? x - 3 - width : x + 3;
        marker.text->setPos(left, plot.top() + 2 + row * lineHeight);
        lastRight = left + width + 6;
    }
}

void ChartView::FitAxes() {
    const QRectF plot = chart()->plotArea();
    FitBarLabels(plot);
    FitTimeAxis(plot);
    for (const StepAxis& step : stepAxes_) {
        const auto ticks = [&](int most) {
            return step.xValues ? ornexa::XAxisTicks(model_, most) : ornexa::ValueAxisTicks(model_, most);
        };
        ornexa::AxisTicks chosen = ticks(ornexa::MostTicks);
        const double length = step.across ? plot.width() : plot.height();
        if (length > 0) { // laid out: as many ticks as their labels leave room for
            const QFontMetrics metrics(step.axis->labelsFont());
            int widest = 0;
            for (const std::string& label : ornexa::TickLabels(chosen, numberStyle_)) {
                widest = std::max(widest, metrics.horizontalAdvance(ornexa::ui::DisplayText(label)));
            }
            const int fit = TicksThatFit(length, step.across, widest, metrics.height());
            if (fit < chosen.count) {
                chosen = ticks(fit);
            }
        }
        SetTicks(step.axis, chosen, numberStyle_);
    }
}

// Each name gets a row of the bars' pitch and at most its share of the width: the font shrinks to
// the row, the text is shortened in the middle, where names that share a database and a stem
// differ least. The tooltip tells the whole name.
void ChartView::FitBarLabels(const QRectF& plot) {
    if (names_ == nullptr) {
        return;
    }
    const int points = model_.PointCount();
    const double plotHeight = plot.height() > 0 ? plot.height() : height() * 0.7;
    // The axis gives each name the height between two bar borders less a padding above and below;
    // a name's box is its line and a margin.
    const double row = plotHeight / (points + 1) - 2 * LabelPadding;
    const auto boxHeight = [](const QFontMetrics& m) { return m.height() + 2 * TextMargin; };
    QFont font = chart()->font();
    QFontMetrics metrics(font);
    for (int pixels = QFontInfo(font).pixelSize() - 1; boxHeight(metrics) > row && pixels >= SmallestNamePixels;
         --pixels) {
        font.setPixelSize(pixels);
        metrics = QFontMetrics(font);
    }
    if (names_->labelsFont() != font) {
        names_->setLabelsFont(font);
    }
    const int room = std::max(metrics.averageCharWidth() * 4, static_cast<int>(width() * NameColumnShare));
    QStringList categories;
    for (int p = 0; p < points; ++p) {
        const QString name = ornexa::ui::DisplayText(model_.labels[static_cast<std::size_t>(p)]);
        categories << Category(metrics.elidedText(name, Qt::ElideMiddle, room), p);
    }
    if (names_->categories() != categories) {
        names_->clear();
        names_->append(categories);
    }
}

QStringList ChartView::BarLabels() const {
    QStringList labels;
    if (names_ != nullptr) {
        for (QString category : names_->categories()) {
            labels << category.remove(QChar(0x200B));
        }
    }
    return labels;
}

int ChartView::BarAt(QPointF position) const {
    if (barSeries_ == nullptr) {
        return -1;
    }
    const QPointF inChart = chart()->mapFromScene(mapToScene(position.toPoint()));
    const QRectF plot = chart()->plotArea();
    if (inChart.y() < plot.top() || inChart.y() > plot.bottom() || inChart.x() > plot.right()) {
        return -1;
    }
    // Each bar owns its row, the name beside it included.
    const double row = chart()->mapToValue(QPointF(plot.center().x(), inChart.y()), barSeries_).y();
    const auto point = static_cast<int>(std::lround(row));
    return point >= 0 && point < model_.PointCount() ? point : -1;
}

std::optional<QPointF> ChartView::PointPosition(int series, int point) const {
    if (series < 0 || static_cast<std::size_t>(series) >= timePoints_.size() || point < 0 ||
        point >= model_.PointCount()) {
        return std::nullopt;
    }
    QScatterSeries* marks = timePoints_[static_cast<std::size_t>(series)];
    if (marks == nullptr || point >= marks->count()) {
        return std::nullopt;
    }
    const QPointF inChart = chart()->mapToPosition(marks->at(point), marks);
    return QPointF(mapFromScene(chart()->mapToScene(inChart)));
}

int ChartView::TimePointAt(QPointF position) const {
    int found = -1;
    double nearest = PointReach;
    for (std::size_t s = 0; s < timePoints_.size(); ++s) {
        for (int p = 0; p < model_.PointCount(); ++p) {
            if (const auto at = PointPosition(static_cast<int>(s), p)) {
                const double distance = std::hypot(at->x() - position.x(), at->y() - position.y());
                if (distance <= nearest) {
                    nearest = distance;
                    found = p + static_cast<int>(s) * model_.PointCount();
                }
            }
        }
    }
    return found;
}

QStringList ChartView::MarkerTexts() const {
    QStringList texts;
    for (const MarkerItems& marker : markerItems_) {
        texts << marker.text->text();
    }
    return texts;
}

QString ChartView::ToolTipAt(QPointF position) const {
    if (model_.kind == ornexa::ChartKind::TimeLine) {
        const int found = TimePointAt(position);
        if (found < 0) {
            return {};
        }
        const auto s = static_cast<std::size_t>(found / model_.PointCount());
        const auto p = static_cast<std::size_t>(found % model_.PointCount());
        const QString value = ornexa::ui::DisplayText(ornexa::PlainText(model_.series[s][p], numberStyle_));
        const QString origin = p < model_.toolTips.size() ? ornexa::ui::DisplayText(model_.toolTips[p]) : QString();
        return origin.isEmpty() ? value : tr("%1\n%2").arg(origin, value);
    }
    const int point = BarAt(position);
    if (point < 0) {
        return {};
    }
    const auto p = static_cast<std::size_t>(point);
    return tr("%1: %2").arg(ornexa::ui::DisplayText(model_.labels[p]),
                            ornexa::ui::DisplayText(ornexa::PlainText(model_.series[0][p], numberStyle_)));
}

bool ChartView::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const QString text = ToolTipAt(help->pos());
        if (text.isEmpty()) {
            QToolTip::hideText();
            event->ignore();
        } else {
            QToolTip::showText(help->globalPos(), text, viewport());
        }
        return true;
    }
    return QChartView::viewportEvent(event);
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
        const int current = current_;
        Render();
        SetCurrentPoint(current);
    }
    QChartView::changeEvent(event);
}

void ChartView::resizeEvent(QResizeEvent* event) {
    QChartView::resizeEvent(event);
    FitAxes();
}
