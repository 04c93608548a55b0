// ornexa: the window program.
#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>
#include <algorithm>
#include <csignal>
#include <cstring>
#include <iostream>
#include <memory>
#include <optional>

#include "app/analysis_window.h"
#include "app/file_selection_window.h"
#include "app/pdf_export.h"
#include "app/title_window.h"
#include "app/ui_services.h"
#include "print/ui/page_painter.h"

namespace {

// --max-pools and --max-objects: no limits when neither is given; a figure out of range is told on
// standard error and leaves `ok` false.
struct LimitsArgument {
    bool ok = true;
    std::optional<ornexa::ReportLimits> limits;
};

LimitsArgument LimitsOf(const QCommandLineParser& parser, const QCommandLineOption& pools,
                        const QCommandLineOption& objects) {
    if (!parser.isSet(pools) && !parser.isSet(objects)) {
        return {};
    }
    ornexa::ReportLimits limits;
    const auto figure = [&](const QCommandLineOption& option, int most, int& into) {
        if (!parser.isSet(option)) {
            return true;
        }
        bool number = false;
        const int value = parser.value(option).toInt(&number);
        if (!number || value < 1 || value > most) {
            std::cerr << "ornexa: --" << option.names().constFirst().toStdString() << " is a whole number from 1 to "
                      << most << ", not \"" << parser.value(option).toStdString() << "\"\n";
            return false;
        }
        into = value;
        return true;
    };
    const bool ok = figure(pools, ornexa::ReportLimits::MostPools, limits.pools) &&
                    figure(objects, ornexa::ReportLimits::MostObjects, limits.objects);
    return {ok, limits};
}

// The options besides --help and --version, as added to the parser.
struct Options {
    QCommandLineOption simulation;
    QCommandLineOption pdfOut;
    QCommandLineOption pool;
    QCommandLineOption graph;
    QCommandLineOption maxPools;
    QCommandLineOption maxObjects;
};

// Writing a PDF shows nothing and needs no display.
bool AsksForPdf(int argc, char** argv) {
    return std::any_of(argv + 1, argv + argc, [](const char* arg) {
        return std::strcmp(arg, "--pdf") == 0 || std::strncmp(arg, "--pdf=", 6) == 0;
    });
}

void RunWithoutDisplay() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    // The offscreen platform's notes are not the user's business; real errors still show.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type == QtCriticalMsg || type == QtFatalMsg) {
            std::cerr << message.toStdString() << '\n';
        }
    });
}

void NameApplication() {
    QApplication::setApplicationName(QStringLiteral("ORNEXA"));
    QApplication::setOrganizationName(QStringLiteral("ORNEXA"));
    QApplication::setApplicationVersion(QStringLiteral(ORNEXA_VERSION));
    QApplication::setQuitOnLastWindowClosed(false);
    DrawApplicationTextWithoutLigatures(); // printed and exported PDFs keep "ff" as two letters
}

Options AddOptions(QCommandLineParser& parser) {
    parser.setApplicationDescription(QObject::tr("Db2 buffer-pool Statistics and Simulation reports"));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("STATFILE"), QObject::tr("Statistics report to read at start"));
    parser.addPositionalArgument(QStringLiteral("SIMFILE"),
                                 QObject::tr("Simulation report to read with it (as --simulation)"),
                                 QStringLiteral("[SIMFILE]"));
    const QCommandLineOption simulation(QStringLiteral("simulation"), QObject::tr("Simulation report to read at start"),
                                        QStringLiteral("SIMFILE"));
    parser.addOption(simulation);
    const QCommandLineOption pdfOut(
        QStringLiteral("pdf"),
        QObject::tr("write the printed pages to this PDF file and quit; a folder, device or pipe of "
                    "that name is refused"),
        QStringLiteral("OUT.pdf"));
    const QCommandLineOption pool(QStringLiteral("pool"), QObject::tr("with --pdf: only this pool (repeatable)"),
                                  QStringLiteral("NAME"));
    const QCommandLineOption graph(QStringLiteral("graph"), QObject::tr("with --pdf: the pool graph, 1 to 22"),
                                   QStringLiteral("N"), QStringLiteral("1"));
    parser.addOptions({pdfOut, pool, graph});
    const QCommandLineOption maxPools(QStringLiteral("max-pools"),
                                      QObject::tr("read at most N pool lines (default 60; 80 for a large site)"),
                                      QStringLiteral("N"));
    const QCommandLineOption maxObjects(QStringLiteral("max-objects"),
                                        QObject::tr("read at most M object lines (default 5000)"), QStringLiteral("M"));
    parser.addOptions({maxPools, maxObjects});
    return {simulation, pdfOut, pool, graph, maxPools, maxObjects};
}

// --pdf: the printed pages of the report written to a file, no window shown.
int WritePdf(QCommandLineParser& parser, const Options& options) {
    if (!parser.parse(QApplication::arguments())) {
        std::cerr << "ornexa: " << parser.errorText().toStdString() << '\n';
        return 2;
    }
    bool number = false;
    const int graphType = parser.value(options.graph).toInt(&number);
    if (parser.positionalArguments().size() != 1 || !number || graphType < 1 || graphType > 22) {
        std::cerr << "usage: ornexa --pdf OUT.pdf STATFILE [--simulation SIMFILE] [--pool NAME]... [--graph N]"
                     " (N from 1 to 22)\n";
        return 2;
    }
    const LimitsArgument limits = LimitsOf(parser, options.maxPools, options.maxObjects);
    if (!limits.ok) {
        return 2;
    }
    return ExportPdf({parser.value(options.pdfOut), parser.positionalArguments().constFirst(),
                      parser.value(options.simulation), parser.values(options.pool), graphType,
                      QApplication::applicationDirPath().toStdString(),
                      limits.limits.value_or(ornexa::ReportLimits{})});
}

// The title window, then the file selection window with the reports named on the command line.
int ShowWindows(QApplication& app, const QCommandLineParser& parser, const Options& options,
                const LimitsArgument& limits) {
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
        if (limits.limits) {
            files->ChooseLimits(*limits.limits, false);
        }
        files->SetAnalysisRunner(
            [&](const ornexa::Report& r, const ornexa::SimulationData& s, const ornexa::AnalysisResume& resume) {
                AnalysisWindow analysis(r, s, ui, programFolder, files.get());
                analysis.Resume(resume);
                analysis.SetHistory(&files->History());
                analysis.exec();
                ui.SetParent(files.get());
                return analysis.Session().Outcome();
            });
        QObject::connect(files.get(), &FileSelectionWindow::QuitRequested, &app, &QApplication::quit,
                         Qt::QueuedConnection);
        files->show();
        title->close();
        const QStringList args = parser.positionalArguments();
        if (!args.isEmpty()) {
            // A Simulation report opened alone (from a file manager, say) is told it needs its Statistics report.
            files->ReadDropped(args.constFirst().toStdString());
        }
        if (parser.isSet(options.simulation)) {
            files->OpenSimulation(parser.value(options.simulation).toStdString());
        } else if (args.size() > 1) {
            files->OpenSimulation(args.at(1).toStdString());
        }
    });
    return QApplication::exec();
}

} // namespace

int main(int argc, char** argv) {
    // A write past the file size limit (ulimit -f) fails and is told with its file, as any failed write
    // is, instead of the signal ending the program without a word.
    std::signal(SIGXFSZ, SIG_IGN);
    const bool pdf = AsksForPdf(argc, argv);
    if (pdf) {
        RunWithoutDisplay();
    }
    QApplication app(argc, argv);
    NameApplication();

    QCommandLineParser parser;
    const Options options = AddOptions(parser);
    if (pdf) {
        return WritePdf(parser, options);
    }
    parser.process(app);
    const LimitsArgument limits = LimitsOf(parser, options.maxPools, options.maxObjects);
    if (!limits.ok) {
        return 2;
    }
    if (parser.positionalArguments().size() > 2 ||
        (parser.positionalArguments().size() == 2 && parser.isSet(options.simulation))) {
        std::cerr << "usage: ornexa [STATFILE [SIMFILE]] [--simulation SIMFILE]: one Simulation report at most\n";
        return 2;
    }
    return ShowWindows(app, parser, options, limits);
}
