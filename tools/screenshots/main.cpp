// ornexa-screenshots: opens the bundled samples and writes a PNG of each window and tab. With
// --scale-2 it draws at a device pixel ratio of 2 instead and writes the Object Info tab only.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QSettings>
#include <QStandardPaths>
#include <QTabWidget>
#include <QSplitter>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <iostream>
#include <string_view>

#include "app/analysis_window.h"
#include "app/cluster_widget.h"
#include "app/file_selection_window.h"
#include "app/history_service.h"
#include "app/health_window.h"
#include "app/history_window.h"
#include "app/pool_sizing_dialog.h"
#include "app/regroup_dialog.h"
#include "app/sim_graph_widget.h"
#include "app/title_window.h"
#include "app/ui_services.h"
#include "display_writer.h"
#include "load/report_load.h"
#include "print/ui/page_painter.h"
#include "stat_writer.h"
#include "stats/pool_graph.h"
#include "stats/ui/chart_view.h"

namespace {

// Answers nothing and shows nothing: the screenshots must not wait for a person.
class QuietServices final : public UiServices {
public:
    std::optional<std::filesystem::path> ChooseFileToOpen(const ornexa::FileDialogRequest&) override { return {}; }
    void Show(const ornexa::Message& message) override { std::cerr << message.title << ": " << message.text << '\n'; }
    void ShowAbout() override {}
};

// A dark window palette, as a dark desktop theme gives one.
QPalette DarkPalette() {
    QPalette dark;
    const QColor window(0x2D, 0x2D, 0x30);
    const QColor base(0x1E, 0x1E, 0x1E);
    const QColor text(0xE6, 0xE6, 0xE6);
    for (const auto role : {QPalette::Window, QPalette::Button, QPalette::AlternateBase}) {
        dark.setColor(role, window);
    }
    dark.setColor(QPalette::Base, base);
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText, QPalette::BrightText}) {
        dark.setColor(role, text);
    }
    dark.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x80, 0x80, 0x80));
    dark.setColor(QPalette::Disabled, QPalette::Text, QColor(0x80, 0x80, 0x80));
    dark.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x80, 0x80, 0x80));
    dark.setColor(QPalette::Highlight, QColor(0x26, 0x4F, 0x78));
    dark.setColor(QPalette::HighlightedText, Qt::white);
    dark.setColor(QPalette::Light, QColor(0x50, 0x50, 0x55));
    dark.setColor(QPalette::Midlight, QColor(0x44, 0x44, 0x48));
    dark.setColor(QPalette::Mid, QColor(0x38, 0x38, 0x3C));
    dark.setColor(QPalette::Dark, QColor(0x20, 0x20, 0x22));
    dark.setColor(QPalette::Shadow, Qt::black);
    return dark;
}

bool Save(QWidget& widget, const QString& path) {
    // No event loop runs here: the items a chart let go of when it changed are deleted now, or
    // the last chart's axes would still show behind the new one.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
    const bool saved = widget.grab().save(path);
    std::cout << (saved ? "wrote " : "could not write ") << path.toStdString() << '\n';
    return saved;
}

// Day `day` of the history made from the sample: BP2's VPSIZE goes from 20000 to 30000 on the fifth
// day, after which its synchronous reads fall and its hit ratio rises; the other figures wander a little.
ornexa::Report HistoryDay(const ornexa::Report& base, int day) {
    ornexa::Report report = base;
    report.Header.CollectionDate = "2026-11-" + std::to_string(23 + day);
    report.Header.CollectionTime = "08.00.00";
    const bool larger = day >= 4;
    for (int p = 1; p <= report.PoolCount(); ++p) {
        ornexa::PoolRecord& pool = report.Pools(p);
        const double wander = 1.0 + 0.04 * ((day + p) % 5) - 0.08;
        pool.PoolGetPages = static_cast<ornexa::Long>(static_cast<double>(pool.PoolGetPages) * wander);
        pool.PoolPagesWritten = static_cast<ornexa::Long>(static_cast<double>(pool.PoolPagesWritten) * wander);
        double reads = static_cast<double>(pool.PoolReadIOsByType(1)) * wander;
        if (pool.PoolName.Trimmed() == "BP2") {
            pool.VPSize = larger ? 30000 : 20000;
            reads *= larger ? 0.45 : 1.0;
            pool.PoolHitRatio = larger ? 93.5 + 0.3 * (day % 3) : 81.0 + 0.6 * (day % 3);
        }
        pool.PoolReadIOs += static_cast<ornexa::Long>(reads) - pool.PoolReadIOsByType(1);
        pool.PoolReadIOsByType(1) = static_cast<ornexa::Long>(reads);
        pool.PoolUpdates = static_cast<ornexa::Long>(static_cast<double>(pool.PoolUpdates) * wander);
    }
    for (int o = 1; o <= report.ObjectCount(); ++o) {
        ornexa::ObjectRecord& object = report.Objects(o);
        const double wander = 1.0 + 0.05 * ((day * 3 + o) % 7) - 0.15;
        object.ObjGetPages = static_cast<ornexa::Long>(static_cast<double>(object.ObjGetPages) * wander);
        object.ReadIOsByType(1) = static_cast<ornexa::Long>(static_cast<double>(object.ReadIOsByType(1)) * wander);
    }
    return report;
}

// Writes `report` as a Statistics report to `path` and imports that file into the history.
bool ImportDay(ornexa::HistoryStore& store, const ornexa::Report& report, const QString& path) {
    QFile file(path);
    const std::string text = ornexa::samplegen::StatisticsText(report);
    if (!file.open(QIODevice::WriteOnly) || file.write(text.data(), static_cast<qint64>(text.size())) < 0) {
        return false;
    }
    file.close();
    const auto outcome = ornexa::ImportReportFile(store, path.toStdString());
    if (outcome.status != ornexa::ImportStatus::Imported) {
        std::cout << "not imported: " << outcome.message << '\n';
        return false;
    }
    return true;
}

// The History window over eight daily reports made from the sample.
bool HistoryShots(const std::filesystem::path& statistics, const QString& out, UiServices& ui) {
    ornexa::LoadRequest request;
    request.statistics = statistics;
    const ornexa::Report base = ornexa::LoadReport(request).report;
    if (!base.StatFileLoaded) {
        std::cout << "the sample did not load for the history\n";
        return false;
    }
    const QTemporaryDir folder;
    HistoryService history;
    history.SetLocation(folder.filePath(QStringLiteral("history.db")).toStdString());
    auto store = history.Open();
    if (!store.Ok()) {
        std::cout << store.FaultText() << '\n';
        return false;
    }
    for (int day = 0; day < 8; ++day) {
        if (!ImportDay(**store.value, HistoryDay(base, day),
                       folder.filePath(QStringLiteral("day%1.sta").arg(day + 1)))) {
            return false;
        }
    }
    HistoryWindow window(history, ui, "BP2");
    window.resize(1280, 900);
    window.show();
    window.Tabs()->setCurrentIndex(HistoryWindow::TrendTab);
    bool ok = Save(window, out + QStringLiteral("/history-trend.png"));
    // The day before the change against the day after it.
    window.CompareBefore()->setCurrentIndex(window.CompareBefore()->findData(4));
    window.CompareAfter()->setCurrentIndex(window.CompareAfter()->findData(5));
    window.ChooseComparison();
    window.Tabs()->setCurrentIndex(HistoryWindow::CompareTab);
    ok = Save(window, out + QStringLiteral("/history-compare.png")) && ok;
    return ok;
}

// The Health window over a week of two-hourly reports made from the sample: in the busy hours of
// the working days some pools' buffers are cut, and their pages stay too short a time.
bool HealthShot(const std::filesystem::path& statistics, const QString& out, UiServices& ui) {
    ornexa::LoadRequest request;
    request.statistics = statistics;
    const ornexa::Report base = ornexa::LoadReport(request).report;
    const QTemporaryDir folder;
    HistoryService history;
    history.SetLocation(folder.filePath(QStringLiteral("history.db")).toStdString());
    auto store = history.Open();
    if (!base.StatFileLoaded || !store.Ok()) {
        std::cout << "no history for the Health window\n";
        return false;
    }
    for (int day = 0; day < 7; ++day) {
        for (int slot = 0; slot < 12; ++slot) {
            ornexa::Report report = HistoryDay(base, day);
            char time[16]{};
            std::snprintf(time, sizeof time, "%02d.00.00", slot * 2);
            report.Header.CollectionTime = time;
            const bool busy = day < 5 && slot >= 4 && slot <= 8;
            for (int p = 1; p <= report.PoolCount(); ++p) {
                // Pools large enough to be good, but in the busy hours some are cut to a half or less.
                const int squeeze = (p + slot + day) % 4;
                ornexa::PoolRecord& pool = report.Pools(p);
                pool.VPSize *= 20;
                if (busy && squeeze != 0 && p % 3 != 0) {
                    pool.VPSize /= squeeze * (p % 2 == 0 ? 3 : 2);
                }
            }
            if (!ImportDay(**store.value, report, folder.filePath(QStringLiteral("d%1s%2.sta").arg(day).arg(slot)))) {
                return false;
            }
        }
    }
    HealthWindow window(history, ui, {});
    window.WaitForLoad();
    window.resize(1280, 700);
    window.show();
    return Save(window, out + QStringLiteral("/health.png"));
}

// With --scale-2: the Object Info tab only, drawn at a device pixel ratio of 2.
bool ScaledShot(const char* statistics, const char* simulation, const QString& out) {
    ornexa::Report report;
    ornexa::SimulationData sim;
    QuietServices ui;
    FileSelectionWindow files(report, sim, ui);
    files.OpenStatistics(statistics);
    files.OpenSimulation(simulation);
    AnalysisWindow analysis(report, sim, ui, QApplication::applicationDirPath().toStdString(), &files);
    analysis.show();
    analysis.ChoosePool(2);
    analysis.SelectTab(ornexa::ObjectInfoTab);
    return Save(analysis, out + QStringLiteral("/object-info-scale2.png"));
}

bool TitleShot(TitleWindow& title, const QString& out) {
    title.show();
    const bool ok = Save(title, out + QStringLiteral("/title.png"));
    title.hide();
    return ok;
}

// The File Selection window with both samples open, and its Limits menu.
bool FileSelectionShots(FileSelectionWindow& files, const char* statistics, const char* simulation,
                        const QString& out) {
    files.resize(files.sizeHint());
    files.show();
    files.OpenStatistics(statistics);
    files.OpenSimulation(simulation);
    bool ok = Save(files, out + QStringLiteral("/file-selection.png"));
    QMenu* limits = files.LimitsMenu();
    limits->popup(files.mapToGlobal(QPoint(0, files.menuBar()->height())));
    limits->setActiveAction(limits->actions().value(1));
    ok = Save(*limits, out + QStringLiteral("/file-selection-limits.png")) && ok;
    limits->hide();
    return ok;
}

// The same tab on a dark desktop: the chart follows the window's palette.
bool DarkShot(AnalysisWindow& analysis, const QString& out) {
    const QPalette light = QApplication::palette();
    QApplication::setPalette(DarkPalette());
    const bool ok = Save(analysis, out + QStringLiteral("/pool-info-dark.png"));
    QApplication::setPalette(light);
    return ok;
}

// The print preview of the Pool Info tab, as "&Print" opens it.
bool PrintPreviewShot(AnalysisWindow& analysis, const QString& out) {
    const auto job = analysis.Session().PrintedTab();
    QPrinter printer(QPrinter::HighResolution);
    QPrintPreviewDialog preview(&printer, &analysis);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [&job](QPrinter* device) { (void)PaintReport(job.value(), *device); });
    preview.resize(900, 1000);
    preview.show();
    return Save(preview, out + QStringLiteral("/print-preview-pool-info.png"));
}

// The Report Info tab, then BP2, the index pool: its Pool Info tab light, dark and printed, and its
// Object Info tab.
bool IndexPoolShots(AnalysisWindow& analysis, const QString& out) {
    bool ok = Save(analysis, out + QStringLiteral("/report-info.png"));
    analysis.ChoosePool(2);
    analysis.SelectTab(ornexa::PoolInfoTab);
    ok = Save(analysis, out + QStringLiteral("/pool-info-share.png")) && ok;
    analysis.ChoosePoolGraphType(7);
    analysis.ActivatePoolBar(analysis.Session().PoolInfo().Graph().chart.PointCount() - 1);
    ok = Save(analysis, out + QStringLiteral("/pool-info-ranking.png")) && ok;
    ok = DarkShot(analysis, out) && ok;
    ok = PrintPreviewShot(analysis, out) && ok;
    analysis.SelectTab(ornexa::ObjectInfoTab);
    ok = Save(analysis, out + QStringLiteral("/object-info.png")) && ok;
    // The pool's objects side by side, the busiest first, the table given most of the height.
    analysis.ObjectTable()->sortByColumn(1, Qt::DescendingOrder);
    if (auto* split = analysis.findChild<QSplitter*>(QStringLiteral("splObjectTable"))) {
        split->setSizes({1, 2});
    }
    ok = Save(analysis, out + QStringLiteral("/object-table.png")) && ok;
    return ok;
}

// BP1's share charts whose small slices crowd their labels together.
bool CrowdedShareShots(AnalysisWindow& analysis, const QString& out) {
    analysis.ChoosePool(1);
    analysis.SelectTab(ornexa::PoolInfoTab);
    analysis.ChoosePoolGraphType(1);
    bool ok = Save(analysis, out + QStringLiteral("/pool-info-access-type.png"));
    analysis.ChoosePoolGraphType(3);
    ok = Save(analysis, out + QStringLiteral("/pool-info-read-ios.png")) && ok;
    return ok;
}

// The same tab as a German desktop shows it: the window takes its figures from the locale it starts
// with.
bool GermanShot(ornexa::Report& report, ornexa::SimulationData& sim, UiServices& ui, FileSelectionWindow& files,
                const QString& out) {
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    AnalysisWindow german(report, sim, ui, QApplication::applicationDirPath().toStdString(), &files);
    german.show();
    german.ChoosePool(1);
    german.SelectTab(ornexa::PoolInfoTab);
    german.ChoosePoolGraphType(7);
    const bool ok = Save(german, out + QStringLiteral("/pool-info-german.png"));
    german.hide();
    QLocale::setDefault(before);
    return ok;
}

// The simulation's ranked work set charts, each with its top bar chosen by keyboard.
bool RankedWorkSetShots(AnalysisWindow& analysis, const QString& out) {
    static constexpr std::array<const char*, 3> rankedShots{"sim-largest-work-sets", "sim-smallest-work-sets",
                                                            "sim-largest-improvement"};
    bool ok = true;
    int shot = 0;
    for (const int subTab : {ornexa::LargestWorkSetTab, ornexa::SmallestWorkSetTab, ornexa::LargestImprovementTab}) {
        analysis.SimGraphs()->SubTabs()->setCurrentIndex(subTab);
        ChartView* chart = analysis.SimGraphs()->Chart(subTab);
        chart->SetCurrentPoint(chart->Model().PointCount() - 1); // rank 1, the top bar
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(chart, &enter);
        ok = Save(analysis, out + QStringLiteral("/%1.png").arg(QLatin1String(rankedShots.at(shot++)))) && ok;
    }
    return ok;
}

// BP1, the simulated pool, on the tabs that read the Simulation report.
bool SimulationShots(AnalysisWindow& analysis, const QString& out) {
    analysis.resize(1280, 800); // room for the simulation tabs' charts beside their panels
    analysis.ChoosePool(1);
    analysis.SelectTab(ornexa::PoolStatAnalysisTab);
    bool ok = Save(analysis, out + QStringLiteral("/pool-stat-analysis.png"));
    analysis.SelectTab(ornexa::SimGraphTab);
    ok = Save(analysis, out + QStringLiteral("/sim-optimal-pool-sizes.png")) && ok;
    ok = RankedWorkSetShots(analysis, out) && ok;
    analysis.SelectTab(ornexa::SimClusterTab);
    analysis.Clusters()->Clusters()->selectRow(0);
    ok = Save(analysis, out + QStringLiteral("/sim-cluster-analysis.png")) && ok;
    return ok;
}

bool RegroupShot(AnalysisWindow& analysis, const QString& out) {
    analysis.Regroup();
    auto* regroup = analysis.findChild<RegroupDialog*>();
    if (regroup == nullptr) {
        std::cout << "the regroup dialog did not open\n";
        return false;
    }
    const bool ok = Save(*regroup, out + QStringLiteral("/regroup-objects.png"));
    regroup->close();
    return ok;
}

// The budget +200M split over the sample's pools, the curve of BP4 chosen: its estimate drawn hollow, and
// where the split takes it.
bool PoolSizingShot(AnalysisWindow& analysis, const QString& out) {
    analysis.ShowPoolSizing();
    auto* sizing = analysis.findChild<PoolSizingDialog*>();
    if (sizing == nullptr) {
        std::cout << "the pool sizing dialog did not open\n";
        return false;
    }
    sizing->resize(1280, 860);
    sizing->Budget()->setText(QStringLiteral("+200M"));
    sizing->ChoosePool(QStringLiteral("BP4"));
    const bool ok = Save(*sizing, out + QStringLiteral("/pool-sizing.png"));
    sizing->close();
    return ok;
}

// The Report Info and Pool Info tabs of a Db2 display: the pool that has Db2's simulated pool, its
// data sets ranked by their largest cached-page counts, the figures of the first.
bool DisplayShots(UiServices& ui, const QString& out) {
    // A series of two displays with Db2's simulated pools, opened as a user opens the file.
    ornexa::samplegen::DisplaySampleOptions options;
    options.series = 2;
    options.simulate = true;
    options.dataSetsPerPool = 8;
    const QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("display.txt"));
    QFile file(path);
    const std::string text = ornexa::samplegen::WriteDisplaySample(options);
    if (!file.open(QIODevice::WriteOnly) || file.write(text.data(), static_cast<qint64>(text.size())) < 0) {
        return false;
    }
    file.close();
    ornexa::Report report;
    ornexa::SimulationData sim;
    FileSelectionWindow files(report, sim, ui);
    files.OpenStatistics(path.toStdString());
    if (!report.Db2Display || report.PoolCount() == 0) {
        std::cerr << "the display sample did not load\n";
        return false;
    }
    AnalysisWindow analysis(report, sim, ui, QApplication::applicationDirPath().toStdString(), &files);
    analysis.show();
    bool ok = Save(analysis, out + QStringLiteral("/report-info-display.png"));
    int pool = 0;
    for (std::size_t p = 0; p < report.Db2Display->pools.size(); ++p) {
        if (report.Db2Display->pools[p].simulated && pool == 0) {
            pool = static_cast<int>(p);
        }
    }
    analysis.ChoosePool(pool);
    analysis.SelectTab(ornexa::PoolInfoTab);
    ok = Save(analysis, out + QStringLiteral("/pool-info-display.png")) && ok;
    analysis.ChoosePoolGraphType(ornexa::Db2PoolGraphTypeCount); // the largest cached-page counts
    analysis.ActivatePoolBar(analysis.Session().PoolInfo().Graph().chart.PointCount() - 1);
    ok = Save(analysis, out + QStringLiteral("/pool-info-display-ranking.png")) && ok;
    analysis.Back();
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    const bool scale2 = argc > 4 && std::string_view(argv[4]) == "--scale-2";
    if (scale2) {
        qputenv("QT_SCALE_FACTOR", "2"); // before the application reads it
    }
    // The pictures show the windows as they first open, whatever a user's settings hold.
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ORNEXA-screenshots"));
    QSettings().clear();
    if (argc < 4) {
        std::cerr << "usage: ornexa-screenshots STATFILE SIMFILE OUTDIR [--scale-2]\n";
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[3]);
    QDir().mkpath(out);
    if (scale2) {
        return ScaledShot(argv[1], argv[2], out) ? 0 : 1;
    }

    bool ok = true;
    TitleWindow title;
    ok = TitleShot(title, out) && ok;
    ornexa::Report report;
    ornexa::SimulationData sim;
    QuietServices ui;
    FileSelectionWindow files(report, sim, ui);
    ok = FileSelectionShots(files, argv[1], argv[2], out) && ok;
    AnalysisWindow analysis(report, sim, ui, QApplication::applicationDirPath().toStdString(), &files);
    analysis.show();
    ok = IndexPoolShots(analysis, out) && ok;
    ok = CrowdedShareShots(analysis, out) && ok;
    ok = GermanShot(report, sim, ui, files, out) && ok;
    ok = SimulationShots(analysis, out) && ok;
    ok = HistoryShots(argv[1], out, ui) && ok;
    ok = HealthShot(argv[1], out, ui) && ok;
    ok = RegroupShot(analysis, out) && ok;
    ok = PoolSizingShot(analysis, out) && ok;
    ok = DisplayShots(ui, out) && ok;
    return ok ? 0 : 1;
}
