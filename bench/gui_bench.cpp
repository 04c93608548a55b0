// The window: choosing a pool of 5000 objects (header, object list, default graph drawn by
// QtCharts, rules) and going back to an empty pool; on a simulated pool of 5000 objects, entering the
// simulation tab (four charts drawn and painted) and one spinner step on the cluster tab.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>

#include "advice/pool_commands.h"
#include "app/analysis_window.h"
#include "app/cluster_widget.h"
#include "app/pool_sizing_dialog.h"
#include "app/ui_services.h"
#include "print/ui/page_painter.h"
#include "sample_report.h"
#include "session/file_dialogs.h"
#include "session/report_pages.h"
#include "sim_writer.h"

#include <QLineEdit>
#include <QMouseEvent>
#include <QToolButton>

namespace {

using namespace ornexa;

class QuietServices final : public UiServices {
public:
    std::optional<std::filesystem::path> ChooseFileToOpen(const FileDialogRequest&) override { return {}; }
    void Show(const Message&) override {}
    void ShowAbout() override {}
};

Report TwoPools() {
    Report report;
    report.Header = samplegen::BuildSampleReport().Header;
    samplegen::Rng rng(77);
    samplegen::AddPool(report, {"BP1", samplegen::PoolMix::Mixed, 50000, 0, 80, 80, 50.0, 10.0, Report::MaxObjects},
                       rng);
    samplegen::AddPool(report, {"BP2", samplegen::PoolMix::Mixed, 1000, 0, 80, 80, 50.0, 10.0, 0}, rng);
    report.StatFileLoaded = true;
    return report;
}

void BmWindowChoosesPoolOf5000(benchmark::State& state) {
    const Report report = TwoPools();
    const SimulationData sim;
    QuietServices ui;
    AnalysisWindow window(report, sim, ui, ".");
    window.show();
    QApplication::processEvents();
    for (auto _ : state) {
        window.ChoosePool(0);
        QApplication::processEvents(); // paint the chart and the list
        state.PauseTiming();
        window.ChoosePool(1);
        QApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BmWindowChoosesPoolOf5000)->Unit(benchmark::kMillisecond);

// BP1 of 5000 objects with a simulation of every object at five sizes.
samplegen::SimSample SimulatedPool() {
    samplegen::SimSample sample = samplegen::BuildSimulation(TwoPools(), "BP1", 11);
    sample.sim.SimFileLoaded = true;
    sample.sim.simulatedPool = sample.pool;
    return sample;
}

void BmWindowEntersSimulationTab(benchmark::State& state) {
    const samplegen::SimSample sample = SimulatedPool();
    QuietServices ui;
    AnalysisWindow window(sample.report, sample.sim, ui, ".");
    window.show();
    window.ChoosePool(sample.pool - 1);
    QApplication::processEvents();
    for (auto _ : state) {
        window.SelectTab(SimGraphTab);
        QApplication::processEvents(); // paint the charts
        state.PauseTiming();
        window.SelectTab(ReportInfoTab);
        QApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BmWindowEntersSimulationTab)->Unit(benchmark::kMillisecond);

void BmWindowStepsClusterRadius(benchmark::State& state) {
    const samplegen::SimSample sample = SimulatedPool();
    QuietServices ui;
    AnalysisWindow window(sample.report, sample.sim, ui, ".");
    window.show();
    window.ChoosePool(sample.pool - 1);
    window.SelectTab(SimClusterTab);
    QApplication::processEvents();
    bool up = true;
    for (auto _ : state) {
        // One press and release of the spinner: a run and both lists refilled and painted.
        QToolButton* arrow = up ? window.Clusters()->SpinUp() : window.Clusters()->SpinDown();
        const QPointF at = QRectF(arrow->rect()).center();
        QMouseEvent press(QEvent::MouseButtonPress, at, arrow->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(arrow, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, at, arrow->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QApplication::sendEvent(arrow, &release);
        QApplication::processEvents();
        up = !up;
    }
    state.counters["members"] = static_cast<double>(window.Session().Clusters().LastRun().ClusterMembers.size());
    state.counters["clusters"] = static_cast<double>(window.Session().Clusters().Clusters().size());
}
BENCHMARK(BmWindowStepsClusterRadius)->Unit(benchmark::kMillisecond);

// One key typed into the Pool Sizing budget of a site of 80 pools: the split made again, the plan's table
// and the chosen pool's chart painted.
void BmPoolSizingKeystroke(benchmark::State& state) {
    Report report;
    report.SetLimits(ReportLimits::LargeSite());
    report.Header = samplegen::BuildSampleReport().Header;
    samplegen::Rng rng(80);
    std::vector<std::string> names;
    for (const int kb : {4, 8, 16, 32}) {
        for (std::string& name : BufferPoolNames(kb)) {
            names.push_back(std::move(name));
        }
    }
    for (const std::string& name : names) {
        samplegen::AddPool(report, {name, samplegen::PoolMix::Mixed, 20000, 0, 80, 80, 50.0, 10.0, 0}, rng);
    }
    report.StatFileLoaded = true;
    const SimulationData sim;
    QuietServices ui;
    SaveFolders folders;
    PoolSizingDialog dialog(PoolSizingPage(report, sim), ui, folders);
    dialog.show();
    QApplication::processEvents();
    // The keys of "+2G" and "+1G" in turn: each text a budget, each planned and painted.
    bool two = true;
    for (auto _ : state) {
        dialog.Budget()->setText(two ? QStringLiteral("+2G") : QStringLiteral("+1G"));
        QApplication::processEvents();
        two = !two;
    }
    state.counters["pools"] = static_cast<double>(report.PoolCount());
}
BENCHMARK(BmPoolSizingKeystroke)->Unit(benchmark::kMillisecond);

// What `ornexa --pdf` does: every page built from the session and written as a PDF, for the largest
// report (60 pools, 5000 objects, its biggest pool simulated) and for a pool of 5000 objects, all of
// them simulated (its cluster report is the longest there is).
samplegen::SimSample LargestSimulated() {
    Report largest = samplegen::BuildLargestReport();
    int biggest = 1;
    for (int p = 1; p <= largest.PoolCount(); ++p) {
        if (PoolObjects(largest, p).Count() > PoolObjects(largest, biggest).Count()) {
            biggest = p;
        }
    }
    const std::string name(largest.Pools(biggest).PoolName.Trimmed());
    samplegen::SimSample sample = samplegen::BuildSimulation(std::move(largest), name, 5);
    sample.sim.SimFileLoaded = true;
    sample.sim.simulatedPool = sample.pool;
    return sample;
}

void BmPdf(benchmark::State& state) {
    const samplegen::SimSample sample = state.range(0) == 0 ? LargestSimulated() : SimulatedPool();
    const QString path = QDir::temp().filePath(QStringLiteral("ornexa-bench.pdf"));
    std::size_t pages = 0;
    for (auto _ : state) {
        const ReportPages all = AllReportPages(sample.report, sample.sim, {{}, 1, "."});
        pages = all.printed.pages.size();
        if (auto failure = WritePdf(all.printed, path)) {
            state.SkipWithError(failure->c_str());
            break;
        }
    }
    state.counters["pages"] = static_cast<double>(pages);
    state.counters["pools"] = sample.report.PoolCount();
    state.counters["simulated objects"] = PoolObjects(sample.report, sample.pool).Count();
    QFile::remove(path);
}
BENCHMARK(BmPdf)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
