// ornexa-screenshots: opens the bundled samples and writes a PNG of each window and tab. With
// --scale-2 it draws at a device pixel ratio of 2 instead and writes the Object Info tab only.
#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QPixmap>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QSettings>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <iostream>
#include <string_view>

#include "app/analysis_window.h"
#include "app/cluster_widget.h"
#include "app/file_selection_window.h"
#include "app/regroup_dialog.h"
#include "app/sim_graph_widget.h"
#include "app/title_window.h"
#include "app/ui_services.h"
#include "print/ui/page_painter.h"
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
    QApplication::processEvents();
    const bool saved = widget.grab().save(path);
    std::cout << (saved ? "wrote " : "could not write ") << path.toStdString() << '\n';
    return saved;
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
