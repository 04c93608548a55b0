// ornexa: the window program.
#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>
#include <memory>

#include "app/analysis_window.h"
#include "app/file_selection_window.h"
#include "app/title_window.h"
#include "app/ui_services.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ORNEXA"));
    QApplication::setOrganizationName(QStringLiteral("ORNEXA"));
    QApplication::setApplicationVersion(QStringLiteral(ORNEXA_VERSION));
    QApplication::setQuitOnLastWindowClosed(false);

    QCommandLineParser parser;
    parser.setApplicationDescription(QObject::tr("Db2 buffer-pool Statistics and Simulation reports"));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("STATFILE"), QObject::tr("Statistics report to read at start"));
    const QCommandLineOption simulation(QStringLiteral("simulation"), QObject::tr("Simulation report to read at start"),
                                        QStringLiteral("SIMFILE"));
    parser.addOption(simulation);
    parser.process(app);

    ornexa::Report report;
    ornexa::SimulationData sim;
    QtUiServices ui;
    const std::filesystem::path programFolder = QApplication::applicationDirPath().toStdString();
    std::unique_ptr<FileSelectionWindow> files;
    auto* title = new TitleWindow; // NOLINT(cppcoreguidelines-owning-memory): deletes itself when done
    title->setAttribute(Qt::WA_DeleteOnClose);
    title->show();

    QObject::connect(title, &TitleWindow::Finished, [&] {
        files = std::make_unique<FileSelectionWindow>(report, sim, ui, nullptr);
        ui.aboutClosed = [&] { files->Session().AboutDismissed(); };
        files->SetAnalysisRunner([&](const ornexa::Report& r, const ornexa::SimulationData& s) {
            AnalysisWindow analysis(r, s, ui, programFolder, files.get());
            analysis.exec();
            ui.SetParent(files.get());
            return analysis.Session().Exit();
        });
        QObject::connect(files.get(), &FileSelectionWindow::QuitRequested, &app, &QApplication::quit,
                         Qt::QueuedConnection);
        files->show();
        title->close();
        const QStringList args = parser.positionalArguments();
        if (!args.isEmpty()) {
            files->OpenStatistics(args.constFirst().toStdString());
        }
        if (parser.isSet(simulation)) {
            files->OpenSimulation(parser.value(simulation).toStdString());
        }
    });
    return QApplication::exec();
}
