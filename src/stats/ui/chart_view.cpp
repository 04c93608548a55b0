#include "stats/ui/chart_view.h"
#include "stats/ui/display_text.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QDateTime>
#include <QGraphicsLineItem>
#include <QGraphicsPathItem>
#include <QGraphicsSimpleTextItem>
#include <QHelpEvent>
#include <QHorizontalBarSeries>
#include <QKeyEvent>
#include <QLineSeries>
#include <QLocale>
#include <QMouseEvent>
#include <QPainterPath>
#include <QPieSeries>
#include <QPieSlice>
#include <QScatterSeries>
#include <QTimeZone>
#include <QToolTip>
#include <QtMath>
#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

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
           a.markers == b.markers && a.absentText == b.absentText;
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
// The date axis reaches this share of the span beyond the first and last points.
constexpr double TimeMargin = 0.04;
constexpr double HourMs = 3600.0 * 1000.0;
// The steps a date axis may take, the finest first: whole hours, then whole days.
constexpr std::array<int, 6> HourSteps{1, 2, 3, 6, 12, 24};
constexpr std::array<int, 7> DaySteps{1, 2, 7, 14, 28, 91, 364};
// A pie's labels stand this far beyond its rim, and keep this margin from the chart's edges.
constexpr double LeaderLength = 14;
constexpr double PieMargin = 4;
// A pie keeps at least this share of the smaller side of its plot, its labels shortened if need be.
constexpr double SmallestPie = 0.35;
// The figure at the end of a bar keeps this distance from it, and is drawn over the series.
constexpr double BarValueGap = 4;
constexpr double BarValueZ = 1000;

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
    pie_ = nullptr;
    stepAxes_.clear();
    timeAxis_ = nullptr;
    markerRows_ = 0;
    timePoints_.clear();
    // The items drawn on the chart beside its series are made here and go with each drawing.
    for (const MarkerItems& marker : markerItems_) {
        delete marker.line; // NOLINT(cppcoreguidelines-owning-memory)
        delete marker.text; // NOLINT(cppcoreguidelines-owning-memory)
    }
    markerItems_.clear();
    for (QGraphicsSimpleTextItem* value : barValues_) {
        delete value; // NOLINT(cppcoreguidelines-owning-memory)
    }
    barValues_.clear();
    for (const SliceLabel& label : sliceLabels_) {
        delete label.text;   // NOLINT(cppcoreguidelines-owning-memory)
        delete label.leader; // NOLINT(cppcoreguidelines-owning-memory)
    }
    sliceLabels_.clear();
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
    if (!model_.absentText.empty()) { // a chart its input has no figures for says so where it would stand
        title += QStringLiteral("<br><br><i>") + ornexa::ui::DisplayText(model_.absentText).toHtmlEscaped() +
                 QStringLiteral("</i>");
    }
    c->setTitle(title);
    setVisible(model_.visible);
    if (!model_.visible || !model_.HasData() || model_.series.empty()) {
        return;
    }
    if (model_.kind == ornexa::ChartKind::Share) {
        pie_ = new QPieSeries(c);
        QPen leaderPen(colours.axisLine);
        leaderPen.setWidthF(1);
        for (std::size_t p = 0; p < static_cast<std::size_t>(model_.PointCount()); ++p) {
            const QString label = ornexa::ui::DisplayText(model_.labels[p]);
            QPieSlice* slice = pie_->append(label, model_.series[0][p]);
            slice->setLabelVisible(false); // drawn beside the pie, apart from each other
            slice->setColor(ChartColours::Slice(static_cast<int>(p)));
            slice->setBorderColor(colours.background);
            if (label.isEmpty()) {
                continue;
            }
            auto* text = new QGraphicsSimpleTextItem(label, c);
            text->setBrush(colours.text);
            auto* leader = new QGraphicsPathItem(c);
            leader->setPen(leaderPen);
            sliceLabels_.push_back({text, leader, label});
        }
        c->addSeries(pie_);
        FitAxes();
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
    barSeries_->append(bars_);
    // The figures at the bars' ends are the view's own, written in its number style.
    for (const double value : model_.series[0]) {
        auto* text = new QGraphicsSimpleTextItem(ornexa::ui::DisplayText(ornexa::BarValueText(value, numberStyle_)), c);
        text->setBrush(colours.text);
        text->setZValue(BarValueZ); // over the bars, whose figure may stand inside their end
        barValues_.push_back(text);
    }
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
    PlaceBarValues();
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
    timeAxis_ = NewTickAxis(colours, c);
    timeAxis_->setGridLineVisible(true);
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
        timeAxis_->setRange(*first - margin, *last + margin);
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

namespace {

// Ticks at whole hours or whole days from the midnight before `min`, the finest step whose labels
// fit `most` ticks into the span; the labels tell the date, and the time where the step is less
// than a day.
std::vector<std::pair<double, QString>> CalendarTicks(double min, double max, int most) {
    std::vector<std::pair<double, QString>> ticks;
    if (!(max > min)) {
        return ticks;
    }
    const QDateTime start = QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(min));
    const QDateTime midnight(start.date(), QTime(0, 0));
    const QLocale locale;
    const auto collect = [&](const auto& next) {
        std::vector<std::pair<double, QString>> found;
        for (QDateTime at = midnight; static_cast<double>(at.toMSecsSinceEpoch()) <= max; at = next(at)) {
            if (static_cast<double>(at.toMSecsSinceEpoch()) >= min) {
                found.emplace_back(static_cast<double>(at.toMSecsSinceEpoch()), QString());
            }
            if (found.size() > static_cast<std::size_t>(most)) {
                break;
            }
        }
        return found;
    };
    for (const int hours : HourSteps) {
        ticks = collect([hours](const QDateTime& at) { return at.addSecs(static_cast<qint64>(hours) * 3600); });
        if (ticks.size() <= static_cast<std::size_t>(most)) {
            for (auto& [at, label] : ticks) {
                const QDateTime moment = QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(at));
                label = hours < 24 ? locale.toString(moment, QLocale::ShortFormat)
                                   : locale.toString(moment.date(), QLocale::ShortFormat);
            }
            return ticks;
        }
    }
    for (const int days : DaySteps) {
        ticks = collect([days](const QDateTime& at) { return at.addDays(days); });
        if (ticks.size() <= static_cast<std::size_t>(most)) {
            break;
        }
    }
    for (auto& [at, label] : ticks) {
        label = locale.toString(QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(at)).date(), QLocale::ShortFormat);
    }
    return ticks;
}

} // namespace

double ChartView::MarkerLineHeight() const {
    return markerItems_.empty() ? 0 : QFontMetricsF(markerItems_.front().text->font()).height() + 2;
}

void ChartView::FitTimeAxis(const QRectF& plot) {
    if (timeAxis_ == nullptr) {
        return;
    }
    const QFontMetrics metrics(timeAxis_->labelsFont());
    const int labelWidth = metrics.horizontalAdvance(QLocale().toString(QDateTime(QDate(2026, 12, 28), QTime(23, 59)),
                                                                        QLocale::ShortFormat)) +
                           metrics.averageCharWidth() * 2;
    const double length = plot.width() > 0 ? plot.width() : width() * 0.8;
    const int most = std::clamp(static_cast<int>(length / labelWidth) + 1, 2, ornexa::MostTicks);
    const auto ticks = CalendarTicks(timeAxis_->min(), timeAxis_->max(), most);
    QStringList labels;
    for (const auto& tick : ticks) {
        labels << tick.second;
    }
    if (timeAxis_->categoriesLabels() != labels) {
        const double min = timeAxis_->min();
        const double max = timeAxis_->max();
        for (const QString& label : timeAxis_->categoriesLabels()) {
            timeAxis_->remove(label);
        }
        timeAxis_->setStartValue(min);
        for (const auto& [at, label] : ticks) {
            timeAxis_->append(label, at);
        }
        timeAxis_->setRange(min, max);
    }

    // Each marker's text stands beside its line in the first row, from the edge of the plot in,
    // where it runs into no other text; RoomForMarkers finds rows the values leave free.
    QAbstractSeries* anchor = chart()->series().isEmpty() ? nullptr : chart()->series().front();
    const qreal lineHeight = MarkerLineHeight();
    std::vector<double> rowEnds;
    for (MarkerItems& marker : markerItems_) {
        const bool inside =
            anchor != nullptr && plot.width() > 0 && marker.x >= timeAxis_->min() && marker.x <= timeAxis_->max();
        marker.line->setVisible(inside);
        marker.text->setVisible(inside);
        if (!inside) {
            continue;
        }
        const qreal x = chart()->mapToPosition(QPointF(marker.x, 0), anchor).x();
        marker.line->setLine(x, plot.top(), x, plot.bottom());
        // A text that would leave the plot on the right stands left of its line.
        const qreal textWidth = marker.text->boundingRect().width();
        const qreal left = x + 3 + textWidth > plot.right() ? x - 3 - textWidth : x + 3;
        std::size_t row = 0;
        while (row < rowEnds.size() && rowEnds[row] > left) {
            ++row;
        }
        if (row == rowEnds.size()) {
            rowEnds.push_back(0);
        }
        rowEnds[row] = left + textWidth + 6;
        marker.row = static_cast<int>(row);
        marker.text->setPos(left, plot.top() + 2 + static_cast<double>(row) * lineHeight);
    }
    markerRows_ = static_cast<int>(rowEnds.size());
}

const ornexa::ChartModel& ChartView::RoomForMarkers(const QRectF& plot, ornexa::ChartModel& roomy) {
    if (markerRows_ == 0 || plot.height() <= 0 || model_.series.empty()) {
        return model_;
    }
    const double lineHeight = MarkerLineHeight();
    const double room = std::min(0.6, (markerRows_ * lineHeight + 6) / plot.height());
    double low = std::numeric_limits<double>::infinity();
    double high = -std::numeric_limits<double>::infinity();
    for (std::size_t s = 0; s < model_.series.size(); ++s) {
        if (s < model_.hiddenSeries.size() && model_.hiddenSeries[s]) {
            continue;
        }
        for (const double value : model_.series[s]) {
            low = std::min(low, value);
            high = std::max(high, value);
        }
    }
    if (!std::isfinite(low) || !std::isfinite(high)) {
        return model_;
    }
    const ornexa::AxisTicks plain = ornexa::ValueAxisTicks(model_);
    const double span = plain.Max() - plain.Min();
    const bool top = span > 0 && (plain.Max() - high) / span >= room;
    const bool bottom = !top && span > 0 && (low - plain.Min()) / span >= room;
    for (const MarkerItems& marker : markerItems_) {
        const double y =
            bottom ? plot.bottom() - 2 - (marker.row + 1) * lineHeight : plot.top() + 2 + marker.row * lineHeight;
        marker.text->setPos(marker.text->pos().x(), y);
    }
    if (top || bottom) {
        return model_;
    }
    roomy = model_;
    roomy.axisMin = model_.axisMin.value_or(std::min(low, 0.0));
    roomy.axisMax = std::max(model_.axisMax.value_or(high), *roomy.axisMin + (high - *roomy.axisMin) / (1 - room));
    return roomy;
}

void ChartView::FitAxes() {
    const QRectF plot = chart()->plotArea();
    FitBarLabels(plot);
    FitTimeAxis(plot);
    FitPieLabels(plot);
    ornexa::ChartModel roomy;
    const ornexa::ChartModel* valued = &RoomForMarkers(plot, roomy);
    for (const StepAxis& step : stepAxes_) {
        const auto ticks = [&](int most) {
            return step.xValues ? ornexa::XAxisTicks(*valued, most) : ornexa::ValueAxisTicks(*valued, most);
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
    PlaceBarValues();
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

// Each figure stands just beyond the end of its bar, or inside the bar's end where the chart's
// edge leaves no room beyond it.
void ChartView::PlaceBarValues() {
    if (barSeries_ == nullptr || barValues_.size() != static_cast<std::size_t>(model_.PointCount())) {
        return;
    }
    const QRectF plot = chart()->plotArea();
    const double right = chart()->size().width() - TextMargin;
    const ChartColours colours = ColoursFor(theme_, palette());
    const QColor onBar = colours.bar.lightness() > 140 ? QColor(Qt::black) : QColor(Qt::white);
    for (std::size_t p = 0; p < barValues_.size(); ++p) {
        QGraphicsSimpleTextItem* text = barValues_[p];
        const double value = model_.series[0][p];
        const QPointF end = chart()->mapToPosition(QPointF(value, static_cast<double>(p)), barSeries_);
        const QPointF zero = chart()->mapToPosition(QPointF(0, static_cast<double>(p)), barSeries_);
        const QRectF box = text->boundingRect();
        const bool leftward = end.x() < zero.x();
        double x = leftward ? end.x() - BarValueGap - box.width() : end.x() + BarValueGap;
        bool inside = false;
        if (!leftward && x + box.width() > right && end.x() - zero.x() > box.width() + 2 * BarValueGap) {
            x = end.x() - BarValueGap - box.width();
            inside = true;
        } else if (leftward && x < plot.left() && zero.x() - end.x() > box.width() + 2 * BarValueGap) {
            x = end.x() + BarValueGap;
            inside = true;
        }
        text->setBrush(inside ? onBar : colours.text);
        text->setPos(x, end.y() - box.height() / 2);
        text->setVisible(plot.height() > 0);
    }
}

// The pie keeps room for the widest label on either side where it can; where it cannot, the pie
// keeps its smallest size and the labels are shortened to the room left. Labels of one side are
// stacked top to bottom in the order of their slices, each a line apart from the next.
void ChartView::FitPieLabels(const QRectF& plot) {
    if (pie_ == nullptr || plot.width() <= 0 || plot.height() <= 0) {
        for (const SliceLabel& label : sliceLabels_) {
            label.text->setVisible(false);
            label.leader->setVisible(false);
        }
        return;
    }
    const QFontMetricsF metrics(sliceLabels_.empty() ? chart()->font() : sliceLabels_.front().text->font());
    const double lineHeight = metrics.height() + 2;
    double widest = 0;
    for (const SliceLabel& label : sliceLabels_) {
        widest = std::max(widest, metrics.horizontalAdvance(label.whole));
    }
    const double shorter = std::min(plot.width(), plot.height());
    const double side = sliceLabels_.empty() ? 0 : widest + LeaderLength + PieMargin;
    const double radius =
        std::max(SmallestPie * shorter / 2, std::min(plot.height() / 2 - lineHeight, plot.width() / 2 - side));
    pie_->setPieSize(std::clamp(2 * radius / shorter, 0.05, 1.0));
    const QPointF centre = plot.center();
    const double room = plot.width() / 2 - radius - LeaderLength - PieMargin; // for the text of one side

    struct Placed {
        std::size_t label;
        QPointF rim;
        double y;
        bool right;
    };
    std::vector<Placed> placed;
    std::size_t next = 0;
    for (QPieSlice* slice : pie_->slices()) {
        if (slice->label().isEmpty() || next >= sliceLabels_.size()) {
            continue;
        }
        const double angle = qDegreesToRadians(slice->startAngle() + slice->angleSpan() / 2); // 0 at twelve, clockwise
        const QPointF rim(centre.x() + radius * std::sin(angle), centre.y() - radius * std::cos(angle));
        const double y = centre.y() - (radius + LeaderLength) * std::cos(angle);
        placed.push_back({next++, rim, y, std::sin(angle) >= -1e-9});
    }
    for (const bool right : {true, false}) {
        std::vector<Placed*> column;
        for (Placed& p : placed) {
            if (p.right == right) {
                column.push_back(&p);
            }
        }
        std::stable_sort(column.begin(), column.end(), [](const Placed* a, const Placed* b) { return a->y < b->y; });
        const double top = plot.top() + lineHeight / 2;
        const double bottom = plot.bottom() - lineHeight / 2;
        for (std::size_t i = 0; i < column.size(); ++i) { // apart, downwards
            column[i]->y = std::max(column[i]->y, i == 0 ? top : column[i - 1]->y + lineHeight);
        }
        for (std::size_t i = column.size(); i-- > 0;) { // back into the plot, upwards
            column[i]->y = std::min(column[i]->y, i + 1 == column.size() ? bottom : column[i + 1]->y - lineHeight);
        }
    }
    for (const Placed& p : placed) {
        const SliceLabel& label = sliceLabels_[p.label];
        const QString shown =
            metrics.horizontalAdvance(label.whole) <= room
                ? label.whole
                : metrics.elidedText(label.whole, Qt::ElideRight, std::max(room, metrics.averageCharWidth() * 4));
        if (label.text->text() != shown) {
            label.text->setText(shown);
        }
        const double width = label.text->boundingRect().width();
        const double elbow = p.right ? centre.x() + radius + LeaderLength / 2 : centre.x() - radius - LeaderLength / 2;
        const double x = p.right ? centre.x() + radius + LeaderLength : centre.x() - radius - LeaderLength - width;
        label.text->setPos(x, p.y - label.text->boundingRect().height() / 2);
        QPainterPath leader(p.rim);
        leader.lineTo(elbow, p.y);
        leader.lineTo(p.right ? x - 2 : x + width + 2, p.y);
        label.leader->setPath(leader);
        label.text->setVisible(true);
        label.leader->setVisible(true);
    }
}

QRectF ChartView::ToViewport(const QRectF& inChart) const {
    return viewportTransform().mapRect(chart()->mapRectToScene(inChart));
}

QStringList ChartView::BarValueTexts() const {
    QStringList texts;
    for (const QGraphicsSimpleTextItem* value : barValues_) {
        texts << value->text();
    }
    return texts;
}

std::vector<QRectF> ChartView::BarValueRects() const {
    std::vector<QRectF> rects;
    for (const QGraphicsSimpleTextItem* value : barValues_) {
        rects.push_back(ToViewport(value->mapRectToParent(value->boundingRect())));
    }
    return rects;
}

std::optional<QPointF> ChartView::BarEnd(int point) const {
    if (barSeries_ == nullptr || point < 0 || point >= model_.PointCount()) {
        return std::nullopt;
    }
    const QPointF end =
        chart()->mapToPosition(QPointF(model_.series[0][static_cast<std::size_t>(point)], point), barSeries_);
    return QPointF(mapFromScene(chart()->mapToScene(end)));
}

QStringList ChartView::SliceLabelTexts() const {
    QStringList texts;
    for (const SliceLabel& label : sliceLabels_) {
        texts << label.text->text();
    }
    return texts;
}

std::vector<QRectF> ChartView::SliceLabelRects() const {
    std::vector<QRectF> rects;
    for (const SliceLabel& label : sliceLabels_) {
        rects.push_back(ToViewport(label.text->mapRectToParent(label.text->boundingRect())));
    }
    return rects;
}

QRectF ChartView::PlotRect() const {
    return ToViewport(chart()->plotArea());
}

std::optional<std::pair<double, double>> ChartView::ValueAxisRange() const {
    for (const StepAxis& step : stepAxes_) {
        if (!step.xValues) {
            return std::pair{step.axis->min(), step.axis->max()};
        }
    }
    return std::nullopt;
}

QStringList ChartView::ValueAxisLabels() const {
    for (const StepAxis& step : stepAxes_) {
        if (!step.xValues) {
            return step.axis->categoriesLabels();
        }
    }
    return {};
}

std::vector<QRectF> ChartView::MarkerRects() const {
    std::vector<QRectF> rects;
    for (const MarkerItems& marker : markerItems_) {
        rects.push_back(ToViewport(marker.text->mapRectToParent(marker.text->boundingRect())));
    }
    return rects;
}

std::vector<std::pair<double, QString>> ChartView::TimeTicks() const {
    std::vector<std::pair<double, QString>> ticks;
    if (timeAxis_ != nullptr) {
        for (const QString& label : timeAxis_->categoriesLabels()) {
            ticks.emplace_back(timeAxis_->endValue(label), label);
        }
    }
    return ticks;
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

void ChartView::mousePressEvent(QMouseEvent* event) {
    // A bar is hit anywhere in its row, so that a bar of 0, or a short one, is clicked as easily
    // as a long one.
    if (bars_ != nullptr && event->button() == Qt::LeftButton) {
        if (const int point = BarAt(event->position()); point >= 0) {
            SetCurrentPoint(point);
            emit PointActivated(point);
            event->accept();
            return;
        }
    }
    QChartView::mousePressEvent(event);
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
