// ornexa-screenshots: opens the bundled samples and writes a PNG of each window and tab. With
// --scale-2 it draws at a device pixel ratio of 2 instead and writes the Object Info tab only.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QSettings>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <iostream>
#include <string_view>

#include "app/analysis_window.h"
#include "app/cluster_widget.h"
#include "app/file_selection_window.h"
#include "app/history_service.h"
#include "app/history_window.h"
#include "app/regroup_dialog.h"
#include "app/sim_graph_widget.h"
#include "app/title_window.h"
#include "app/ui_services.h"
#include "load/report_load.h"
#include "print/ui/page_painter.h"
#include "stat_writer.h"
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

// Eight daily reports made from the sample: BP2's VPSIZE goes from 20000 to 30000 on the fifth day,
// after which its synchronous reads fall and its hit ratio rises; the other figures wander a little.
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
        const QString path = folder.filePath(QStringLiteral("day%1.sta").arg(day + 1));
        QFile file(path);
        const std::string text = ornexa::samplegen::StatisticsText(report);
        if (!file.open(QIODevice::WriteOnly) || file.write(text.data(), static_cast<qint64>(text.size())) < 0) {
            return false;
        }
        file.close();
        const auto outcome = ornexa::ImportReportFile(**store.value, path.toStdString());
        if (outcome.status != ornexa::ImportStatus::Imported) {
            std::cout << "not imported: " << outcome.message << '\n';
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
    bool ok = true;

    if (scale2) {
        ornexa::Report report;
        ornexa::SimulationData sim;
        QuietServices ui;
        FileSelectionWindow files(report, sim, ui);
        files.OpenStatistics(argv[1]);
        files.OpenSimulation(argv[2]);
        AnalysisWindow analysis(report, sim, ui, QApplication::applicationDirPath().toStdString(), &files);
        analysis.show();
        analysis.ChoosePool(2);
        analysis.SelectTab(ornexa::ObjectInfoTab);
        return Save(analysis, out + QStringLiteral("/object-info-scale2.png")) ? 0 : 1;
    }

    TitleWindow title;
    title.show();
    ok = Save(title, out + QStringLiteral("/title.png")) && ok;
    title.hide();

    ornexa::Report report;
    ornexa::SimulationData sim;
    QuietServices ui;
    FileSelectionWindow files(report, sim, ui);
    files.resize(files.sizeHint());
    files.show();
    files.OpenStatistics(argv[1]);
    files.OpenSimulation(argv[2]);
    ok = Save(files, out + QStringLiteral("/file-selection.png")) && ok;
    QMenu* limits = files.LimitsMenu();
    limits->popup(files.mapToGlobal(QPoint(0, files.menuBar()->height())));
    limits->setActiveAction(limits->actions().value(1));
    ok = Save(*limits, out + QStringLiteral("/file-selection-limits.png")) && ok;
    limits->hide();

    AnalysisWindow analysis(report, sim, ui, QApplication::applicationDirPath().toStdString(), &files);
    analysis.show();
    ok = Save(analysis, out + QStringLiteral("/report-info.png")) && ok;
    analysis.ChoosePool(2); // BP2, the index pool
    analysis.SelectTab(ornexa::PoolInfoTab);
    ok = Save(analysis, out + QStringLiteral("/pool-info-share.png")) && ok;
    analysis.ChoosePoolGraphType(7);
    analysis.ActivatePoolBar(analysis.Session().PoolInfo().Graph().chart.PointCount() - 1);
    ok = Save(analysis, out + QStringLiteral("/pool-info-ranking.png")) && ok;
    {
        // The same tab on a dark desktop: the chart follows the window's palette.
        const QPalette light = QApplication::palette();
        QApplication::setPalette(DarkPalette());
        ok = Save(analysis, out + QStringLiteral("/pool-info-dark.png")) && ok;
        QApplication::setPalette(light);
    }
    {
        // The print preview of the Pool Info tab, as "&Print" opens it.
        const auto job = analysis.Session().PrintedTab();
        QPrinter printer(QPrinter::HighResolution);
        QPrintPreviewDialog preview(&printer, &analysis);
        QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                         [&job](QPrinter* device) { (void)PaintReport(job.value(), *device); });
        preview.resize(900, 1000);
        preview.show();
        ok = Save(preview, out + QStringLiteral("/print-preview-pool-info.png")) && ok;
    }
    analysis.SelectTab(ornexa::ObjectInfoTab);
    ok = Save(analysis, out + QStringLiteral("/object-info.png")) && ok;
    // BP1's share charts whose small slices crowd their labels together.
    analysis.ChoosePool(1);
    analysis.SelectTab(ornexa::PoolInfoTab);
    analysis.ChoosePoolGraphType(1);
    ok = Save(analysis, out + QStringLiteral("/pool-info-access-type.png")) && ok;
    analysis.ChoosePoolGraphType(3);
    ok = Save(analysis, out + QStringLiteral("/pool-info-read-ios.png")) && ok;
    {
        // The same tab as a German desktop shows it: the window takes its figures from the locale
        // it starts with.
        const QLocale before;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        AnalysisWindow german(report, sim, ui, QApplication::applicationDirPath().toStdString(), &files);
        german.show();
        german.ChoosePool(1);
        german.SelectTab(ornexa::PoolInfoTab);
        german.ChoosePoolGraphType(7);
        ok = Save(german, out + QStringLiteral("/pool-info-german.png")) && ok;
        german.hide();
        QLocale::setDefault(before);
    }

    analysis.resize(1280, 800); // room for the simulation tabs' charts beside their panels
    analysis.ChoosePool(1);     // BP1, the simulated pool
    analysis.SelectTab(ornexa::PoolStatAnalysisTab);
    ok = Save(analysis, out + QStringLiteral("/pool-stat-analysis.png")) && ok;
    analysis.SelectTab(ornexa::SimGraphTab);
    ok = Save(analysis, out + QStringLiteral("/sim-optimal-pool-sizes.png")) && ok;
    static constexpr std::array<const char*, 3> rankedShots{"sim-largest-work-sets", "sim-smallest-work-sets",
                                                            "sim-largest-improvement"};
    int shot = 0;
    for (const int subTab : {ornexa::LargestWorkSetTab, ornexa::SmallestWorkSetTab, ornexa::LargestImprovementTab}) {
        analysis.SimGraphs()->SubTabs()->setCurrentIndex(subTab);
        ChartView* chart = analysis.SimGraphs()->Chart(subTab);
        chart->SetCurrentPoint(chart->Model().PointCount() - 1); // rank 1, the top bar
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(chart, &enter);
        ok = Save(analysis, out + QStringLiteral("/%1.png").arg(QLatin1String(rankedShots.at(shot++)))) && ok;
    }
    analysis.SelectTab(ornexa::SimClusterTab);
    analysis.Clusters()->Clusters()->selectRow(0);
    ok = Save(analysis, out + QStringLiteral("/sim-cluster-analysis.png")) && ok;
    ok = HistoryShots(argv[1], out, ui) && ok;
    analysis.Regroup();
    if (auto* regroup = analysis.findChild<RegroupDialog*>()) {
        ok = Save(*regroup, out + QStringLiteral("/regroup-objects.png")) && ok;
        regroup->close();
    } else {
        std::cout << "the regroup dialog did not open\n";
        ok = false;
    }
    return ok ? 0 : 1;
}
