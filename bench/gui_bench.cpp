// The window: choosing a pool of 5000 objects (header, object list, default graph drawn by
// QtCharts, rules) and going back to an empty pool.
#include <benchmark/benchmark.h>

#include <QApplication>

#include "app/analysis_window.h"
#include "app/ui_services.h"
#include "sample_report.h"

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

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
