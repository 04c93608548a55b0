// Every chart the analysis draws, for the bundled samples and for generated reports, drawn in a real
// ChartView: the bars and curves fit their value axis and fill a fair part of it, the labels of a
// pie stand apart, whole and inside the view, and every figure reads right in a German locale.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCategoryAxis>
#include <QChart>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "report/stat_reader.h"
#include "sample_report.h"
#include "sim_writer.h"
#include "simulation/sim_charts.h"
#include "simulation/sim_reader.h"
#include "stats/axis_ticks.h"
#include "stats/object_graph.h"
#include "stats/pool_graph.h"
#include "stats/ui/chart_view.h"
#include "stats/ui/display_text.h"

namespace {

using ornexa::ChartKind;
using ornexa::ChartModel;
using ornexa::NumberStyle;
using ornexa::Report;
using ornexa::SimulationData;

constexpr NumberStyle German{',', '.'};
constexpr QSize Small(900, 600);
constexpr QSize Large(1600, 1000);
// Objects of each pool whose share charts are drawn: the first, some between and the last.
constexpr int SampledObjects = 4;

// A Statistics report with the simulation of one of its pools, and how many of its pools are drawn:
// every one, or every n-th of a large report (the simulated pool and those holding the most and the
// fewest objects always).
struct Source {
    Report report;
    SimulationData sim;
    int simulatedPool = 0;
    int poolStride = 1;
};

Source Generated(Report report, std::string_view pool, std::uint64_t seed, int poolStride = 1) {
    ornexa::samplegen::SimSample sample = ornexa::samplegen::BuildSimulation(std::move(report), pool, seed);
    return {std::move(sample.report), std::move(sample.sim), sample.pool, poolStride};
}

// The bundled samples, read as the program reads them.
Source BundledSamples() {
    Source source;
    const std::string folder = ORNEXA_SAMPLES_DIR;
    const auto stat = ornexa::ReadStatisticsFile(source.report, folder + "/statistics-usa.sta");
    EXPECT_TRUE(stat.Loaded());
    const auto sim = ornexa::ReadSimulationFile(source.report, source.sim, folder + "/simulation-bp1.sim");
    EXPECT_TRUE(sim.Loaded());
    source.simulatedPool = source.sim.ShownPool();
    EXPECT_GT(source.simulatedPool, 0);
    return source;
}

// A site whose objects find few of their pages in the pool: every hit ratio below 20, the lowest
// near 0.
Report LowHitRatios(std::uint64_t seed) {
    Report report = ornexa::samplegen::BuildSampleReport(seed);
    for (int o = 1; o <= report.ObjectCount(); ++o) {
        ornexa::ObjectRecord& object = report.Objects(o);
        object.AppHitRatio *= 0.2;
        object.SysHitRatio *= 0.15;
    }
    return report;
}

struct SourceCase {
    const char* name;
    std::function<Source()> build;
};

void PrintTo(const SourceCase& source, std::ostream* out) {
    *out << source.name;
}

const std::vector<SourceCase>& SourceCases() {
    static const std::vector<SourceCase> cases{
        {"BundledSamples", BundledSamples},
        {"Seed7SimulatingBP2", [] { return Generated(ornexa::samplegen::BuildSampleReport(7), "BP2", 7); }},
        {"Seed424242SimulatingBP4", [] { return Generated(ornexa::samplegen::BuildSampleReport(424242), "BP4", 5); }},
        {"LowHitRatiosSimulatingBP3", [] { return Generated(LowHitRatios(99), "BP3", 99); }},
        {"LargestReportSimulatingBP32K",
         [] { return Generated(ornexa::samplegen::BuildLargestReport(), "BP32K", 11, 3); }},
    };
    return cases;
}

// One chart as a core function drew it, and what it is for the messages.
struct Drawn {
    std::string what;
    ChartModel chart;
};

std::vector<int> PoolsToDraw(const Source& source) {
    const Report& report = source.report;
    int most = 1;
    int fewest = 1;
    for (int p = 1; p <= report.PoolCount(); ++p) {
        const int objects = ornexa::PoolObjects(report, p).Count();
        most = objects > ornexa::PoolObjects(report, most).Count() ? p : most;
        fewest = objects < ornexa::PoolObjects(report, fewest).Count() ? p : fewest;
    }
    std::vector<int> pools;
    for (int p = 1; p <= report.PoolCount(); ++p) {
        if ((p - 1) % source.poolStride == 0 || p == source.simulatedPool || p == most || p == fewest) {
            pools.push_back(p);
        }
    }
    return pools;
}

// Every chart of `source` that the core draws with data, its figures in `style`.
std::vector<Drawn> DrawEveryChart(const Source& source, NumberStyle style) {
    std::vector<Drawn> drawn;
    const Report& report = source.report;
    for (const int p : PoolsToDraw(source)) {
        const std::string pool(report.Pools(p).PoolName.Trimmed());
        ornexa::GraphView view;
        for (int type = 1; type <= ornexa::PoolGraphTypeCount; ++type) {
            if (ornexa::DrawPoolGraph(view, report, p, type, style) && view.chart.HasData()) {
                drawn.push_back({pool + " \"" + std::string(ornexa::PoolGraphName(type)) + "\"", view.chart});
            }
        }
        const ornexa::ObjectRange objects = ornexa::PoolObjects(report, p);
        if (objects.empty()) {
            continue;
        }
        std::vector<int> sampled;
        for (int i = 0; i < SampledObjects; ++i) {
            const int o = objects.first + (objects.Count() - 1) * i / (SampledObjects - 1);
            if (std::find(sampled.begin(), sampled.end(), o) == sampled.end()) {
                sampled.push_back(o);
            }
        }
        for (const int o : sampled) {
            ornexa::GraphView objectView;
            for (int type = 1; type <= ornexa::ObjectGraphTypeCount; ++type) {
                if (ornexa::ShowObjectGraph(objectView, report, o, type, std::nullopt, style) &&
                    objectView.chart.HasData()) {
                    drawn.push_back({pool + " object " + std::to_string(o) + " \"" +
                                         std::string(ornexa::ObjectGraphName(type)) + "\"",
                                     objectView.chart});
                }
            }
        }
    }
    const int p = source.simulatedPool;
    const std::string pool(report.Pools(p).PoolName.Trimmed());
    for (const int measure : {ornexa::SysHitRatioMeasure, ornexa::IORateMeasure}) {
        const std::string by = measure == ornexa::SysHitRatioMeasure ? " by hit ratio" : " by I/O rate";
        ChartModel curve;
        if (ornexa::DrawPoolSizeCurve(curve, source.sim, p, measure) && curve.HasData()) {
            drawn.push_back({pool + " pool-size curve" += by, curve});
        }
        ChartModel improvement;
        ornexa::DrawLargestImprovement(improvement, report, source.sim, p, measure);
        drawn.push_back({pool + " largest improvement" += by, improvement});
    }
    ChartModel largest;
    ornexa::DrawLargestWorkSets(largest, report, source.sim, p);
    drawn.push_back({pool + " largest work sets", largest});
    ChartModel smallest;
    ornexa::DrawSmallestWorkSets(smallest, report, source.sim, p);
    drawn.push_back({pool + " smallest work sets", smallest});
    std::erase_if(drawn, [](const Drawn& d) { return !d.chart.visible || !d.chart.HasData(); });
    return drawn;
}

std::string Text(const QString& text) {
    return text.toStdString();
}

// The axis along the bottom of a curve: its simulated sizes.
QCategoryAxis* AxisAlongTheBottom(const ChartView& view) {
    const QList<QAbstractAxis*> axes = view.chart()->axes(Qt::Horizontal);
    return axes.isEmpty() ? nullptr : qobject_cast<QCategoryAxis*>(axes.front());
}

// Tick texts read back in `style`: each a number, rising, from the axis's start to its end.
void ExpectTicksRead(const QStringList& labels, std::pair<double, double> range, NumberStyle style,
                     const std::string& what) {
    ASSERT_GE(labels.size(), 2) << what;
    std::vector<double> values;
    for (const QString& label : labels) {
        const auto read = ornexa::TextToDouble(Text(label), style);
        ASSERT_TRUE(read.Ok()) << what << ": tick \"" << Text(label) << "\" is no number in this style";
        values.push_back(read.Value());
    }
    EXPECT_TRUE(std::is_sorted(values.begin(), values.end())) << what << ": " << Text(labels.join(" | "));
    const double slack = (range.second - range.first) * 1e-6;
    EXPECT_NEAR(values.front(), range.first, slack) << what << ": " << Text(labels.join(" | "));
    EXPECT_NEAR(values.back(), range.second, slack) << what << ": " << Text(labels.join(" | "));
}

struct Tally {
    int bars = 0;
    int curves = 0;
    int shares = 0;
    int german = 0;
};

class ChartFit : public ::testing::TestWithParam<SourceCase> {
public:
    static void SetUpTestSuite() {
        smallView = std::make_unique<ChartView>();
        largeView = std::make_unique<ChartView>();
        germanView = std::make_unique<ChartView>();
        smallView->SetNumberStyle({});
        largeView->SetNumberStyle({});
        germanView->SetNumberStyle(German);
        smallView->resize(Small);
        largeView->resize(Large);
        germanView->resize(Small);
        for (ChartView* view : {smallView.get(), largeView.get(), germanView.get()}) {
            view->show();
        }
    }
    static void TearDownTestSuite() {
        std::cout << "[ chart fit ] " << tally.bars << " bar charts and " << tally.curves
                  << " curves against their axes, " << tally.shares << " share charts at two sizes, " << tally.german
                  << " charts in German figures\n";
        smallView.reset();
        largeView.reset();
        germanView.reset();
    }

protected:
    static const std::vector<Drawn>& Charts(NumberStyle style) {
        static std::map<std::pair<std::string, bool>, std::vector<Drawn>> built;
        const auto key = std::pair{std::string(GetParam().name), style == German};
        auto found = built.find(key);
        if (found == built.end()) {
            static std::map<std::string, Source> sources;
            auto source = sources.find(key.first);
            if (source == sources.end()) {
                source = sources.emplace(key.first, GetParam().build()).first;
            }
            found = built.emplace(key, DrawEveryChart(source->second, style)).first;
        }
        return found->second;
    }

    // Shows `chart` in `view` and lets the layout settle as the screen would. The chart hands the
    // items of the last drawing's axes and series to the event loop to delete; without one running
    // they are deleted here, or every drawing would be slower than the one before.
    static void Lay(ChartView& view, const ChartModel& chart) {
        view.ShowModel(chart);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    static inline std::unique_ptr<ChartView> smallView;
    static inline std::unique_ptr<ChartView> largeView;
    static inline std::unique_ptr<ChartView> germanView;
    static inline Tally tally;
};

TEST_P(ChartFit, BarsAndCurvesLieOnTheirAxisAndFillAQuarterOfIt) {
    int checked = 0;
    for (const Drawn& drawn : Charts({})) {
        const ChartModel& chart = drawn.chart;
        if (chart.kind != ChartKind::Ranked && chart.kind != ChartKind::Curve) {
            continue;
        }
        ++checked;
        ChartView& view = *smallView;
        Lay(view, chart);
        const auto range = view.ValueAxisRange();
        ASSERT_TRUE(range.has_value()) << drawn.what;
        const auto [low, high] = *range;
        ASSERT_LT(low, high) << drawn.what;
        const double slack = (high - low) * 1e-9;
        const std::vector<double>& values = chart.series[0];
        for (std::size_t p = 0; p < values.size(); ++p) {
            if (values[p] != 0) {
                EXPECT_GE(values[p], low - slack) << drawn.what << " point " << p;
                EXPECT_LE(values[p], high + slack) << drawn.what << " point " << p;
            }
        }
        if (chart.kind == ChartKind::Ranked) {
            ++tally.bars;
            // The largest bar reaches at least a quarter across the axis, and every bar ends in the plot.
            double largest = 0;
            for (const double value : values) {
                largest = std::max(largest, std::fabs(value));
            }
            if (largest > 0) {
                EXPECT_GE(largest / (high - low), 0.25)
                    << drawn.what << ": largest bar " << largest << " on an axis " << low << " to " << high;
            }
            const QRectF plot = view.PlotRect().adjusted(-1, -1, 1, 1);
            for (int p = 0; p < chart.PointCount(); ++p) {
                const auto end = view.BarEnd(p);
                ASSERT_TRUE(end.has_value()) << drawn.what;
                EXPECT_TRUE(plot.contains(*end))
                    << drawn.what << " bar " << p << " ends at " << end->x() << "," << end->y() << " outside the plot";
            }
            // Every bar's figure stands in the view.
            const QRectF inView = QRectF(view.viewport()->rect()).adjusted(-0.5, -0.5, 0.5, 0.5);
            const std::vector<QRectF> figures = view.BarValueRects();
            ASSERT_EQ(figures.size(), values.size()) << drawn.what;
            for (std::size_t p = 0; p < figures.size(); ++p) {
                EXPECT_TRUE(inView.contains(figures[p]))
                    << drawn.what << ": the figure of bar " << p << " (" << values[p] << ") stands at "
                    << figures[p].left() << ".." << figures[p].right() << " in a view " << view.width() << " wide";
            }
        } else {
            ++tally.curves;
            // The curve's highest point stands at least a quarter up the plot.
            const double highest = *std::max_element(values.begin(), values.end());
            EXPECT_GE((highest - low) / (high - low), 0.25)
                << drawn.what << ": highest point " << highest << " on an axis " << low << " to " << high;
        }
    }
    EXPECT_GT(checked, 0);
}

TEST_P(ChartFit, SliceLabelsStandApartWholeAndInsideTheViewAtTwoSizes) {
    int checked = 0;
    for (const Drawn& drawn : Charts({})) {
        const ChartModel& chart = drawn.chart;
        if (chart.kind != ChartKind::Share) {
            continue;
        }
        ++checked;
        ++tally.shares;
        QStringList whole;
        for (const std::string& label : chart.labels) {
            if (!label.empty()) {
                whole << ornexa::ui::DisplayText(label);
            }
        }
        for (ChartView* view : {smallView.get(), largeView.get()}) {
            Lay(*view, chart);
            const std::string where =
                drawn.what + " at " + std::to_string(view->width()) + " x " + std::to_string(view->height());
            EXPECT_EQ(view->SliceLabelTexts(), whole) << where;
            const std::vector<QRectF> rects = view->SliceLabelRects();
            ASSERT_EQ(rects.size(), static_cast<std::size_t>(whole.size())) << where;
            const QRectF inside = QRectF(view->viewport()->rect()).adjusted(-0.5, -0.5, 0.5, 0.5);
            for (std::size_t i = 0; i < rects.size(); ++i) {
                EXPECT_TRUE(inside.contains(rects[i]))
                    << where << ": \"" << Text(whole[static_cast<int>(i)]) << "\" leaves the view";
                for (std::size_t j = i + 1; j < rects.size(); ++j) {
                    EXPECT_FALSE(rects[i].intersects(rects[j]))
                        << where << ": \"" << Text(whole[static_cast<int>(i)]) << "\" runs into \""
                        << Text(whole[static_cast<int>(j)]) << "\"";
                }
            }
        }
    }
    EXPECT_GT(checked, 0);
}

TEST_P(ChartFit, BarFiguresAndTicksReadRightInGermanFigures) {
    int checked = 0;
    for (const Drawn& drawn : Charts(German)) {
        const ChartModel& chart = drawn.chart;
        if (chart.kind != ChartKind::Ranked && chart.kind != ChartKind::Curve) {
            continue;
        }
        ++checked;
        ++tally.german;
        ChartView& view = *germanView;
        Lay(view, chart);
        const auto range = view.ValueAxisRange();
        ASSERT_TRUE(range.has_value()) << drawn.what;
        ExpectTicksRead(view.ValueAxisLabels(), *range, German, drawn.what + " value axis");
        if (chart.kind == ChartKind::Curve) {
            QCategoryAxis* sizes = AxisAlongTheBottom(view);
            ASSERT_NE(sizes, nullptr) << drawn.what;
            ExpectTicksRead(sizes->categoriesLabels(), {sizes->min(), sizes->max()}, German, drawn.what + " size axis");
            continue;
        }
        const QStringList figures = view.BarValueTexts();
        ASSERT_EQ(figures.size(), chart.PointCount()) << drawn.what;
        for (int p = 0; p < chart.PointCount(); ++p) {
            const double value = chart.series[0][static_cast<std::size_t>(p)];
            EXPECT_EQ(Text(figures[p]), ornexa::BarValueText(value, German)) << drawn.what << " bar " << p;
            const auto read = ornexa::TextToDouble(Text(figures[p]), German);
            ASSERT_TRUE(read.Ok()) << drawn.what << ": \"" << Text(figures[p]) << "\" is no German number";
            // At most three decimals are written.
            EXPECT_NEAR(read.Value(), value, 0.0005 + std::fabs(value) * 1e-12)
                << drawn.what << ": \"" << Text(figures[p]) << "\" for " << value;
        }
    }
    EXPECT_GT(checked, 0);
}

// Where the chart's edge leaves no room beyond the longest bar, its figure stands inside the bar's
// end, and is drawn over the bar, not hidden under it.
TEST(BarFigures, AFigureInsideItsBarIsDrawnOverIt) {
    ChartModel chart;
    chart.OpenData(ChartKind::Ranked, 2, 3);
    chart.series[0] = {1200, 2400, 3459801};
    chart.series[1] = {3, 2, 1};
    chart.labels = {"DB.THIRD", "DB.SECOND", "DB.FIRST"};
    chart.hiddenSeries[1] = true;
    for (const NumberStyle style : {NumberStyle{}, German}) {
        ChartView view;
        view.SetNumberStyle(style);
        view.resize(Small);
        view.show();
        view.ShowModel(chart);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        const QRectF figure = view.BarValueRects().back();
        ASSERT_LT(figure.right(), view.BarEnd(2)->x()) << "the figure stands inside its bar";
        const QImage image = view.viewport()->grab().toImage();
        int dark = 0;
        for (int y = static_cast<int>(figure.top()); y <= static_cast<int>(figure.bottom()); ++y) {
            for (int x = static_cast<int>(figure.left()); x <= static_cast<int>(figure.right()); ++x) {
                dark += qGray(image.pixel(x, y)) < 96 ? 1 : 0;
            }
        }
        EXPECT_GT(dark, 20) << Text(view.BarValueTexts().back()) << " is not drawn over its bar";
    }
}

INSTANTIATE_TEST_SUITE_P(Reports, ChartFit, ::testing::ValuesIn(SourceCases()),
                         [](const ::testing::TestParamInfo<SourceCase>& param) {
                             return std::string(param.param.name);
                         });

} // namespace
