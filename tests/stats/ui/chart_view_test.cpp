#include <gtest/gtest.h>

#include <QApplication>
#include <QBarSet>
#include <QCategoryAxis>
#include <QGraphicsSimpleTextItem>
#include <QGraphicsTextItem>
#include <QHelpEvent>
#include <QHorizontalBarSeries>
#include <QLineSeries>
#include <QLocale>
#include <QPieSeries>
#include <QScatterSeries>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>
#include <QToolTip>
#include <cmath>
#include <limits>

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
        // A figure reads on what lies behind it: the bar where it stands inside its end, else the
        // ground.
        const QStringList figures = view.BarValueTexts();
        for (QGraphicsItem* item : view.scene()->items()) {
            const auto* figure = dynamic_cast<QGraphicsSimpleTextItem*>(item);
            if (figure == nullptr || !figures.contains(figure->text())) {
                continue;
            }
            const QPointF middle = view.mapFromScene(figure->sceneBoundingRect().center());
            const auto point = static_cast<int>(figures.indexOf(figure->text()));
            const bool onBar = middle.x() < view.BarEnd(point)->x();
            EXPECT_GE(Contrast(figure->brush().color(), onBar ? bar : background), onBar ? 3.0 : 4.5)
                << figure->text().toStdString() << (onBar ? " on its bar" : " beside its bar");
        }
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
    auto* time = qobject_cast<QCategoryAxis*>(across.front());
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
    EXPECT_LE(time->min(), static_cast<double>(QDateTime(QDate(2026, 11, 2), QTime(10, 0)).toMSecsSinceEpoch()));
    EXPECT_GE(time->max(), static_cast<double>(QDateTime(QDate(2026, 11, 9), QTime(10, 0)).toMSecsSinceEpoch()));
    // The ticks stand at whole days of the week the reports span, each written as a date.
    const auto ticks = view.TimeTicks();
    ASSERT_GE(ticks.size(), 2U);
    for (const auto& [at, label] : ticks) {
        const QDateTime moment = QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(at));
        EXPECT_EQ(moment.time(), QTime(0, 0)) << label.toStdString();
        EXPECT_EQ(label, QLocale().toString(moment.date(), QLocale::ShortFormat));
        EXPECT_GE(at, time->min());
        EXPECT_LE(at, time->max());
    }

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
    auto* time = qobject_cast<QCategoryAxis*>(view.chart()->axes(Qt::Horizontal).front());
    ASSERT_NE(time, nullptr);
    EXPECT_LT(time->min(), time->max()) << "one moment still spans some time";
    // Two hours round one report: ticks at whole hours, with their time.
    const auto ticks = view.TimeTicks();
    ASSERT_FALSE(ticks.empty());
    for (const auto& [at, label] : ticks) {
        const QDateTime moment = QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(at));
        EXPECT_EQ(moment.time().minute(), 0);
        EXPECT_EQ(label, QLocale().toString(moment, QLocale::ShortFormat));
    }
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

// Bars of figures a German reader must not misread, and a bar of 0.
ornexa::ChartModel MixedBars() {
    ornexa::ChartModel chart;
    chart.OpenData(ornexa::ChartKind::Ranked, 2, 5);
    chart.series[0] = {0, 12.4569, 14.5, 3459.8, 896242};
    chart.series[1] = {5, 4, 3, 2, 1};
    chart.labels = {"DB.ZERO", "DB.FINE", "DB.HALF", "DB.SOME", "DB.MOST"};
    chart.hiddenSeries[1] = true;
    return chart;
}

TEST(ChartView, EveryFigureOfABarChartIsWrittenInTheViewsNumberStyle) {
    struct Case {
        ornexa::NumberStyle style;
        QStringList figures;
        QString grouped; // a tick of the value axis
    };
    const std::vector<Case> cases{
        {{}, {"0", "12.457", "14.5", "3,459.8", "896,242"}, "200,000"},
        {{',', '.'}, {"0", "12,457", "14,5", "3.459,8", "896.242"}, "200.000"},
        {{'.', ornexa::Separator::FromUtf8("\u202F")},
         {"0", "12.457", "14.5", "3\u202F459.8", "896\u202F242"},
         "200\u202F000"},
    };
    for (const Case& c : cases) {
        ChartView view;
        view.resize(900, 600);
        view.SetNumberStyle(c.style);
        view.ShowModel(MixedBars());
        view.show();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        QApplication::processEvents();
        EXPECT_EQ(view.BarValueTexts(), c.figures);
        EXPECT_TRUE(view.ValueAxisLabels().contains(c.grouped)) << view.ValueAxisLabels().join(' ').toStdString();
        EXPECT_EQ(view.ToolTipAt(*view.BarEnd(3) - QPointF(5, 0)),
                  QStringLiteral("DB.SOME: 3459") + QString::fromStdString(std::string(c.style.decimal.Text())) + "8");
        // Each figure stands whole in the view, beside or on its own bar, and no two meet.
        const std::vector<QRectF> rects = view.BarValueRects();
        ASSERT_EQ(rects.size(), 5U);
        for (std::size_t i = 0; i < rects.size(); ++i) {
            EXPECT_TRUE(QRectF(view.viewport()->rect()).contains(rects[i])) << i;
            EXPECT_NEAR(rects[i].center().y(), view.BarEnd(static_cast<int>(i))->y(), 2.0) << i;
            for (std::size_t j = i + 1; j < rects.size(); ++j) {
                EXPECT_FALSE(rects[i].intersects(rects[j])) << i << " and " << j;
            }
        }
    }
}

TEST(ChartView, ABarOfZeroIsClickedLikeAnyOther) {
    ChartView view;
    Show(view, MixedBars(), {900, 600});
    QSignalSpy activated(&view, &ChartView::PointActivated);
    const QPointF zeroEnd = *view.BarEnd(0);
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, (zeroEnd + QPointF(30, 0)).toPoint());
    ASSERT_EQ(activated.size(), 1);
    EXPECT_EQ(activated.front().front().toInt(), 0);
    EXPECT_EQ(view.CurrentPoint(), 0);
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, (*view.BarEnd(4) - QPointF(20, 0)).toPoint());
    ASSERT_EQ(activated.size(), 2);
    EXPECT_EQ(activated.back().front().toInt(), 4);
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, QPoint(view.width() / 2, view.height() - 3));
    EXPECT_EQ(activated.size(), 2) << "below the axis is no bar";
}

ornexa::ChartModel Shares(std::vector<double> values, std::vector<std::string> labels) {
    ornexa::ChartModel chart;
    chart.title = "Buffer Pool - BP1";
    chart.subtitle = "Access Type";
    chart.OpenData(ornexa::ChartKind::Share, 1, static_cast<int>(values.size()));
    chart.series[0] = std::move(values);
    chart.labels = std::move(labels);
    return chart;
}

TEST(ChartView, SliceLabelsStandApartWholeWhereThereIsRoom) {
    const std::vector<ornexa::ChartModel> charts{
        Shares({22, 977, 0}, {"Seq (2.2%)", "Rnd (97.8%)", "RID (0.0%)"}),
        Shares({1, 0, 0, 999}, {"Sync (0.1%)", "SPref (0.0%)", "LPref (0.0%)", "DPref (99.9%)"}),
        Shares({30, 30, 20, 20}, {"Sync (30.0%)", "SPref (30.0%)", "LPref (20.0%)", "DPref (20.0%)"}),
        Shares({5, 0, 0}, {"Index (100.0%)", "", ""}),
    };
    for (const ornexa::ChartModel& model : charts) {
        for (const QSize size : {QSize(900, 600), QSize(1600, 1000), QSize(420, 300)}) {
            ChartView view;
            Show(view, model, size);
            QStringList wanted;
            for (const std::string& label : model.labels) {
                if (!label.empty()) {
                    wanted << QString::fromStdString(label);
                }
            }
            const std::vector<QRectF> rects = view.SliceLabelRects();
            ASSERT_EQ(rects.size(), static_cast<std::size_t>(wanted.size()));
            if (size.width() >= 900) {
                EXPECT_EQ(view.SliceLabelTexts(), wanted) << "shortened although there is room";
            }
            for (std::size_t i = 0; i < rects.size(); ++i) {
                EXPECT_TRUE(QRectF(view.viewport()->rect()).contains(rects[i])) << i;
                for (std::size_t j = i + 1; j < rects.size(); ++j) {
                    EXPECT_FALSE(rects[i].intersects(rects[j]))
                        << view.SliceLabelTexts()[static_cast<qsizetype>(i)].toStdString() << " meets "
                        << view.SliceLabelTexts()[static_cast<qsizetype>(j)].toStdString() << " at " << size.width();
                }
            }
        }
    }
}

TEST(ChartView, MarkerTextsStandApartAboveTheLine) {
    ornexa::ChartModel model = SizeOverTime();
    // Two changes a day apart: their texts would run into each other on one row.
    model.markers = {{Seconds(3, 10), "VPSIZE 20000 -> 25000"}, {Seconds(4, 10), "VPSIZE 25000 -> 30000"}};
    model.series[0] = {20000, 25000, 30000, 30000}; // the notes go below the line
    model.xValues = {Seconds(2, 10), Seconds(3, 10), Seconds(4, 10), Seconds(9, 10)};
    for (const QSize size : {QSize(720, 420), QSize(500, 300)}) {
        ChartView view;
        Show(view, model, size);
        const std::vector<QRectF> notes = view.MarkerRects();
        ASSERT_EQ(notes.size(), 2U);
        EXPECT_FALSE(notes[0].intersects(notes[1]));
        // The line runs wholly above or wholly below the texts: no point, and so no stretch of
        // the line between two points, meets one.
        double highest = std::numeric_limits<double>::infinity();
        double lowest = -std::numeric_limits<double>::infinity();
        for (int p = 0; p < 4; ++p) {
            highest = std::min(highest, view.PointPosition(0, p)->y());
            lowest = std::max(lowest, view.PointPosition(0, p)->y());
        }
        const QRectF band = notes[0].united(notes[1]);
        EXPECT_TRUE(highest > band.bottom() || lowest < band.top()) << size.width();
        for (const QRectF& note : notes) {
            EXPECT_TRUE(view.PlotRect().adjusted(-1, -1, 1, 1).contains(note));
        }
    }
    // Values from the bottom to the top of their axis: the axis reaches higher, to leave the
    // notes room above them.
    model.series[0] = {0, 15000, 30000, 30000};
    ChartView full;
    Show(full, model, {720, 420});
    const std::vector<QRectF> notes = full.MarkerRects();
    ASSERT_EQ(notes.size(), 2U);
    for (int p = 0; p < 4; ++p) {
        EXPECT_GT(full.PointPosition(0, p)->y(), notes[0].united(notes[1]).bottom()) << p;
    }
    EXPECT_GT(full.ValueAxisRange()->second, 30000);
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
