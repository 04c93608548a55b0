#include <gtest/gtest.h>

#include <QApplication>
#include <QBarSet>
#include <QCategoryAxis>
#include <QDateTimeAxis>
#include <QGraphicsSimpleTextItem>
#include <QGraphicsTextItem>
#include <QHelpEvent>
#include <QHorizontalBarSeries>
#include <QLineSeries>
#include <QScatterSeries>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>
#include <QToolTip>
#include <cmath>

#include "stats/ui/chart_picture.h"
#include "stats/ui/chart_view.h"

namespace {

// Ten ranked objects whose names take all 27 characters and share their first 20, so that a
// shortened name still has to tell them apart.
ornexa::ChartModel LongNamedBars() {
    ornexa::ChartModel chart;
    chart.title = "Buffer Pool - BP2";
    chart.subtitle = "Top Get Page Requests";
    chart.OpenData(ornexa::ChartKind::Ranked, 2, 10);
    for (int p = 0; p < 10; ++p) {
        const auto i = static_cast<std::size_t>(p);
        chart.labels[i] = "PAYROLLDB.EMPLOYEEHISTORY" + std::to_string(10 + p);
        chart.series[0][i] = 167.79 * (p + 1);
        chart.series[1][i] = 10 - p;
    }
    chart.axisMin = 0;
    chart.axisMax = 1677.9;
    chart.hiddenSeries[1] = true;
    return chart;
}

// Shows `model` in a view of `size` and lays it out as the screen would.
void Show(ChartView& view, const ornexa::ChartModel& model, QSize size) {
    view.SetNumberStyle({});
    view.resize(size);
    view.ShowModel(model);
    view.show();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    QApplication::processEvents();
}

QCategoryAxis* ValueAxis(const ChartView& view, Qt::Alignment side) {
    const QList<QAbstractAxis*> axes = view.chart()->axes(side == Qt::AlignBottom ? Qt::Horizontal : Qt::Vertical);
    return axes.isEmpty() ? nullptr : qobject_cast<QCategoryAxis*>(axes.front());
}

TEST(ChartView, ValueAxesStepInRoundNumbers) {
    ChartView bars;
    Show(bars, LongNamedBars(), {640, 420});
    QCategoryAxis* values = ValueAxis(bars, Qt::AlignBottom);
    ASSERT_NE(values, nullptr);
    EXPECT_EQ(values->categoriesLabels(), (QStringList{"0", "250", "500", "750", "1,000", "1,250", "1,500", "1,750"}));
    EXPECT_EQ(values->min(), 0);
    EXPECT_EQ(values->max(), 1750);

    ornexa::ChartModel curve;
    curve.OpenData(ornexa::ChartKind::Curve, 1, 3);
    curve.xValues = {10000, 20000, 40000};
    curve.series[0] = {77.2, 86, 91.3};
    curve.labels = {"10000", "20000", "40000"};
    curve.xMin = 10000;
    curve.xMax = 40000;
    curve.axisMin = 77.2;
    curve.axisMax = 91.3;
    curve.axisEnds = ornexa::AxisEnds::Percent;
    ChartView view;
    Show(view, curve, {640, 420});
    ASSERT_NE(ValueAxis(view, Qt::AlignLeft), nullptr);
    EXPECT_EQ(ValueAxis(view, Qt::AlignLeft)->categoriesLabels(), (QStringList{"0", "20", "40", "60", "80", "100"}));
    EXPECT_EQ(ValueAxis(view, Qt::AlignBottom)->categoriesLabels().front(), "10,000");
    EXPECT_EQ(ValueAxis(view, Qt::AlignBottom)->max(), 40000);
}

TEST(ChartView, LongNamesAreShortenedAndNeverOverlapEachOtherOrTheBars) {
    const ornexa::ChartModel model = LongNamedBars();
    for (const QSize size : {QSize(640, 420), QSize(420, 330), QSize(1000, 700)}) {
        ChartView view;
        Show(view, model, size);
        const QStringList labels = view.BarLabels();
        ASSERT_EQ(labels.size(), 10);
        QStringList named = labels;
        QList<QRectF> drawn;
        for (QGraphicsItem* item : view.scene()->items()) {
            const auto* text = dynamic_cast<QGraphicsTextItem*>(item);
            const QString shown = text != nullptr ? text->toPlainText().remove(QChar(0x200B)) : QString();
            if (text != nullptr && text->isVisible() && !shown.isEmpty() && named.contains(shown)) {
                drawn << text->sceneBoundingRect();
            }
        }
        // Every name that is drawn is drawn whole, as shortened here.
        ASSERT_EQ(drawn.size(), named.size()) << size.width() << "x" << size.height();
        const QRectF plot = view.chart()->plotArea();
        for (qsizetype i = 0; i < drawn.size(); ++i) {
            EXPECT_LE(drawn[i].right(), plot.left() + 1) << "a name runs into the bars";
            for (qsizetype j = i + 1; j < drawn.size(); ++j) {
                // Text items carry a margin of their own: the glyphs stay apart even when the
                // boxes touch.
                EXPECT_LE(drawn[i].intersected(drawn[j]).height(), 2 * 4.0) << i << " and " << j;
            }
        }
        for (int p = 0; p < 10; ++p) {
            const QString name = QString::fromStdString(model.labels[static_cast<std::size_t>(p)]);
            const QStringList ends = labels[p].split(QChar(0x2026));
            EXPECT_TRUE(labels[p] == name || (ends.size() == 2 && name.startsWith(ends[0]) && name.endsWith(ends[1])))
                << labels[p].toStdString();
        }
        if (size == QSize(640, 420)) {
            EXPECT_LT(labels.back().size(), 27) << "no room for 27 characters";
        }
        EXPECT_EQ(named.removeDuplicates(), 0) << labels.join(QStringLiteral(" / ")).toStdString();
    }
}

TEST(ChartView, HoveringABarTellsItsWholeNameAndValue) {
    const ornexa::ChartModel model = LongNamedBars();
    ChartView view;
    Show(view, model, {640, 420});
    auto* series = qobject_cast<QHorizontalBarSeries*>(view.chart()->series().front());
    ASSERT_NE(series, nullptr);
    const auto at = [&](double value, double row) {
        const QPointF scene = view.chart()->mapToScene(view.chart()->mapToPosition(QPointF(value, row), series));
        return QPointF(view.mapFromScene(scene));
    };
    EXPECT_EQ(view.ToolTipAt(at(100, 3)), "PAYROLLDB.EMPLOYEEHISTORY13: 671.16");
    EXPECT_EQ(view.ToolTipAt(at(1677.9 / 2, 9)), "PAYROLLDB.EMPLOYEEHISTORY19: 1677.9");
    EXPECT_EQ(view.ToolTipAt(at(1600, 0.2)), "PAYROLLDB.EMPLOYEEHISTORY10: 167.79"); // right of a short bar
    EXPECT_EQ(view.ToolTipAt(QPointF(view.width() / 2.0, view.height() - 3.0)), ""); // below the axis

    // As the mouse asks for it.
    const QPoint position = at(500, 6).toPoint();
    QHelpEvent help(QEvent::ToolTip, position, view.viewport()->mapToGlobal(position));
    QApplication::sendEvent(view.viewport(), &help);
    EXPECT_EQ(QToolTip::text(), "PAYROLLDB.EMPLOYEEHISTORY16: 1174.53");
}

double Luminance(const QColor& colour) {
    const auto linear = [](double c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) + 0.0722 * linear(colour.blueF());
}

double Contrast(const QColor& a, const QColor& b) {
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QPalette DarkPalette() {
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(0x2B, 0x2B, 0x2B));
    dark.setColor(QPalette::WindowText, QColor(0xE8, 0xE8, 0xE8));
    dark.setColor(QPalette::Base, QColor(0x1E, 0x1E, 0x1E));
    dark.setColor(QPalette::Text, QColor(0xE8, 0xE8, 0xE8));
    return dark;
}

TEST(ChartView, TheChartFollowsADarkPaletteAndPaperStaysLight) {
    ChartView view;
    Show(view, LongNamedBars(), {640, 420});
    view.SetCurrentPoint(4);
    view.setPalette(DarkPalette());
    QChart* c = view.chart();
    const QColor ground = c->backgroundBrush().color();
    const QColor text = c->titleBrush().color();
    EXPECT_LT(ground.lightness(), text.lightness());
    EXPECT_LT(ground.lightness(), 64);
    const QColor labels = ValueAxis(view, Qt::AlignBottom)->labelsBrush().color();
    EXPECT_GE(Contrast(labels, ground), 7.0);
    EXPECT_EQ(view.CurrentPoint(), 4) << "a new palette keeps the chosen bar";

    for (const ChartTheme theme : {ChartTheme::FollowPalette, ChartTheme::Light}) {
        view.SetTheme(theme);
        auto* series = qobject_cast<QHorizontalBarSeries*>(c->series().front());
        ASSERT_NE(series, nullptr);
        const QColor bar = series->barSets().front()->color();
        const QColor background = c->backgroundBrush().color();
        EXPECT_GE(Contrast(bar, background), 1.9) << "bars stand out from the ground";
        EXPECT_GE(Contrast(series->barSets().front()->labelColor(), bar), 3.0) << "a value on its bar reads";
        EXPECT_GE(Contrast(c->titleBrush().color(), background), 7.0);
    }
    EXPECT_EQ(c->backgroundBrush().color(), QColor(Qt::white)) << "paper is light whatever the screen";
}

// Seconds since 1970 of a wall-clock time, as a time line holds collection times.
double Seconds(int day, int hour) {
    return static_cast<double>(QDateTime(QDate(2026, 11, day), QTime(hour, 0), QTimeZone::utc()).toSecsSinceEpoch());
}

// A pool size over four reports: a setting, drawn as steps, that changed once.
ornexa::ChartModel SizeOverTime() {
    ornexa::ChartModel chart;
    chart.title = "BP2 - VPSIZE";
    chart.OpenData(ornexa::ChartKind::TimeLine, 1, 4);
    chart.xValues = {Seconds(2, 10), Seconds(3, 10), Seconds(5, 10), Seconds(9, 10)};
    chart.series[0] = {20000, 20000, 30000, 30000};
    chart.labels = {"a", "b", "c", "d"};
    chart.toolTips = {"mon.sta, 2026-11-02 10:00", "tue.sta, 2026-11-03 10:00", "thu.sta, 2026-11-05 10:00",
                      "mon2.sta, 2026-11-09 10:00"};
    chart.stepSeries[0] = true;
    chart.markers = {{Seconds(5, 10), "VPSIZE 20000 -> 30000"}};
    return chart;
}

TEST(ChartView, ATimeLineRunsOverItsCollectionTimesWithStepsMarkersAndTooltips) {
    const ornexa::ChartModel model = SizeOverTime();
    ChartView view;
    Show(view, model, {720, 420});
    const QList<QAbstractAxis*> across = view.chart()->axes(Qt::Horizontal);
    ASSERT_EQ(across.size(), 1);
    auto* time = qobject_cast<QDateTimeAxis*>(across.front());
    ASSERT_NE(time, nullptr);
    ASSERT_NE(ValueAxis(view, Qt::AlignLeft), nullptr);

    // The setting holds until the report that changed it: a step, not a slope.
    QLineSeries* line = nullptr;
    for (QAbstractSeries* series : view.chart()->series()) {
        if (series->type() == QAbstractSeries::SeriesTypeLine) {
            line = static_cast<QLineSeries*>(series);
        }
    }
    ASSERT_NE(line, nullptr);
    ASSERT_EQ(line->count(), 7);
    EXPECT_EQ(line->at(3).x(), line->at(4).x());
    EXPECT_EQ(line->at(3).y(), 20000);
    EXPECT_EQ(line->at(4).y(), 30000);

    // A point stands at its report's wall-clock time, whatever zone the screen is in.
    const auto first = view.PointPosition(0, 0);
    ASSERT_TRUE(first.has_value());
    auto* marks = qobject_cast<QScatterSeries*>(view.chart()->series().back());
    ASSERT_NE(marks, nullptr);
    EXPECT_EQ(QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(marks->at(0).x())).toString("yyyy-MM-dd hh:mm"),
              "2026-11-02 10:00");
    EXPECT_LE(time->min(), QDateTime(QDate(2026, 11, 2), QTime(10, 0)));
    EXPECT_GE(time->max(), QDateTime(QDate(2026, 11, 9), QTime(10, 0)));

    for (int p = 0; p < 4; ++p) {
        const auto at = view.PointPosition(0, p);
        ASSERT_TRUE(at.has_value());
        EXPECT_EQ(view.ToolTipAt(*at + QPointF(3, -2)),
                  QString::fromStdString(model.toolTips[static_cast<std::size_t>(p)]) +
                      (p < 2 ? "\n20000" : "\n30000"));
    }
    EXPECT_EQ(view.ToolTipAt(QPointF(3, 3)), "") << "far from every point";
    const QPoint position = view.PointPosition(0, 2)->toPoint();
    QHelpEvent help(QEvent::ToolTip, position, view.viewport()->mapToGlobal(position));
    QApplication::sendEvent(view.viewport(), &help);
    EXPECT_EQ(QToolTip::text(), "thu.sta, 2026-11-05 10:00\n30000");

    // The marker's text is drawn inside the plot, beside its line at the third report.
    EXPECT_EQ(view.MarkerTexts(), QStringList{"VPSIZE 20000 -> 30000"});
    const QRectF plot = view.chart()->plotArea();
    bool drawn = false;
    for (QGraphicsItem* item : view.scene()->items()) {
        const auto* text = dynamic_cast<QGraphicsSimpleTextItem*>(item);
        if (text != nullptr && text->text() == "VPSIZE 20000 -> 30000" && text->isVisible()) {
            drawn = true;
            const QRectF box = text->mapRectToItem(view.chart(), text->boundingRect());
            EXPECT_TRUE(plot.contains(box)) << "the text stays in the plot";
            const double lineX = view.chart()->mapFromScene(view.mapToScene(position)).x();
            EXPECT_LT(std::min(std::abs(box.left() - lineX), std::abs(box.right() - lineX)), 10.0);
        }
    }
    EXPECT_TRUE(drawn);
}

TEST(ChartView, ATimeLineOfOneReportAndItsPictureAreDrawn) {
    ornexa::ChartModel one = SizeOverTime();
    one.OpenData(ornexa::ChartKind::TimeLine, 1, 1);
    one.xValues = {Seconds(2, 10)};
    one.series[0] = {85.5};
    one.labels = {"a"};
    one.axisEnds = ornexa::AxisEnds::Percent;
    ChartView view;
    Show(view, one, {500, 300});
    auto* time = qobject_cast<QDateTimeAxis*>(view.chart()->axes(Qt::Horizontal).front());
    ASSERT_NE(time, nullptr);
    EXPECT_LT(time->min(), time->max()) << "one moment still spans some time";
    EXPECT_EQ(ValueAxis(view, Qt::AlignLeft)->categoriesLabels().back(), "100");
    ASSERT_TRUE(view.PointPosition(0, 0).has_value());
    EXPECT_EQ(view.ToolTipAt(*view.PointPosition(0, 0)), "85.5");

    // Copy Chart and Save Chart draw the same model again: the points and the marker are on it.
    const QImage image = ChartImage(SizeOverTime(), {800, 500});
    int dark = 0;
    for (int y = 0; y < image.height(); y += 2) {
        for (int x = 0; x < image.width(); x += 2) {
            dark += qGray(image.pixel(x, y)) < 128 ? 1 : 0;
        }
    }
    EXPECT_GT(dark, 200);
    QTemporaryDir folder;
    const QString path = folder.filePath("trend.svg");
    EXPECT_EQ(WriteChartPicture(SizeOverTime(), path, PictureFormat::Svg), std::nullopt);
    QFile svg(path);
    ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
    EXPECT_TRUE(svg.readAll().contains("VPSIZE 20000 -&gt; 30000"));
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
