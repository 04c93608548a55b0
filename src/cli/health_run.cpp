#include "cli/health_run.h"

#include <iostream>

#include "advice/rating_settings_file.h"
#include "cli/compare_document.h"
#include "cli/health_document.h"
#include "cli/report_document.h"
#include "report/shown_text.h"

namespace ornexa::cli {

namespace {

constexpr int ExitDone = 0;
constexpr int ExitFailed = 1;

HealthContext ContextOf(const RunRequest& request, const RatingSettings& settings) {
    HealthContext context;
    context.ratingsFile = settings.origin;
    context.failOn = request.health.failOn;
    return context;
}

HealthColumn ColumnOf(const Report& report, const std::filesystem::path& path) {
    const ComparedReport shown = ComparedFile(report, path);
    return {0, shown.collected, shown.system, shown.subsystem};
}

void TellReadMessages(const Messages& messages) {
    for (const Message& m : messages) {
        std::cerr << "  " << EscapeControls(m.title) << (m.title.empty() ? "" : ": ") << EscapeControls(m.text, "\t\n")
                  << '\n';
    }
}

// The messages of the site file of thresholds; whether it gave settings. Nothing is rated by thresholds
// other than those asked for.
bool TellRatings(const Result<RatingSettings>& ratings, std::ostream& err) {
    if (!ratings.Ok()) {
        err << "ornexa-report: nothing rated: the thresholds cannot be used\n";
    }
    for (const Message& m : ratings.messages) {
        err << "  " << EscapeControls(m.text, "\t\n") << '\n';
    }
    return ratings.Ok();
}

// CSV of one report after the first: its rows without the header line.
std::string CsvRows(TextTable table, CsvCells cells) {
    if (table.rows.empty()) {
        return {};
    }
    table.header = std::move(table.rows.front());
    table.rows.erase(table.rows.begin());
    return CsvText(table, cells);
}

// The CSV of the history: every rating of every pool of every report covered, report by report.
bool WriteHistoryCsv(HistoryStore& store, const HealthOverview& overview, const RatingSettings& settings,
                     const CommandStreams& streams) {
    if (overview.columns.empty()) {
        streams.out << CsvText(HealthCsvTable({}, {}), streams.csvCells);
        return true;
    }
    bool first = true;
    for (const HealthColumn& column : overview.columns) {
        const auto ratings = store.Ratings(column.reportId, settings);
        if (!ratings.Ok()) {
            streams.err << "ornexa-report: the ratings of report " << column.reportId
                        << " cannot be read: " << ratings.FaultText() << '\n';
            return false;
        }
        const TextTable table = HealthCsvTable(column, *ratings.value);
        streams.out << (first ? CsvText(table, streams.csvCells) : CsvRows(table, streams.csvCells));
        first = false;
    }
    return true;
}

} // namespace

Result<RatingSettings> LoadRatings(const RunRequest& request) {
    return FindRatingSettings(request.health.programFolder, request.health.ratingsFile).settings;
}

RunEnd RunHealth(const RunRequest& request) {
    const Result<RatingSettings> ratings = LoadRatings(request);
    if (!TellRatings(ratings, std::cerr)) {
        return RunEnd::Failed;
    }
    Report report;
    SimulationData sim;
    const ReadOutcome outcome = ReadReport(report, sim, request.statFile, std::nullopt, request.limits);
    if (!outcome.stat.Loaded()) {
        std::cerr << "ornexa-report: nothing rated: the Statistics report " << outcome.statPath.string()
                  << " did not load\n";
        TellReadMessages(outcome.statMessages);
        return RunEnd::Failed;
    }
    const HealthColumn column = ColumnOf(report, request.statFile);
    const ReportHealth health = RateReportHealth(report, column, *ratings.value);
    HealthContext context = ContextOf(request, *ratings.value);
    context.file = request.statFile.string();
    switch (request.history.format) {
    case HistoryFormat::Json:
        WriteHealthDocument(std::cout, health.overview, context, &health.pools);
        break;
    case HistoryFormat::Csv:
        std::cout << CsvText(HealthCsvTable(column, health.pools), request.csvCells);
        break;
    case HistoryFormat::Text:
        WriteReportHealthText(std::cout, health, context);
        break;
    }
    if (!std::cout.flush()) {
        std::cerr << "ornexa-report: standard output could not be written\n";
        return RunEnd::Failed;
    }
    if (outcome.Warned()) {
        TellReadMessages(outcome.statMessages);
    }
    if (Reached(health.overview, context.failOn)) {
        return RunEnd::RatingReached;
    }
    return outcome.Warned() ? RunEnd::DoneWithWarnings : RunEnd::Done;
}

int HealthHistoryCommand(const RunRequest& request, const CommandStreams& streams) {
    const Result<RatingSettings> ratings = LoadRatings(request);
    if (!TellRatings(ratings, streams.err)) {
        return ExitFailed;
    }
    const HistoryRequest& history = request.history;
    const auto store = OpenStore(history.location, streams.err, history.timeout);
    if (!store) {
        return ExitFailed;
    }
    HealthContext context = ContextOf(request, *ratings.value);
    context.history = ShownLocation(history.location);
    context.query = {history.filter, request.health.since, request.health.until};
    const auto overview = store->Health(context.query, *ratings.value);
    if (!overview.Ok()) {
        streams.err << "ornexa-report: the health of the history cannot be made: " << overview.FaultText() << '\n';
        return ExitFailed;
    }
    switch (history.format) {
    case HistoryFormat::Json:
        WriteHealthDocument(streams.out, *overview.value, context, nullptr);
        break;
    case HistoryFormat::Csv:
        if (!WriteHistoryCsv(*store, *overview.value, *ratings.value, streams)) {
            return ExitFailed;
        }
        break;
    case HistoryFormat::Text:
        WriteHistoryHealthText(streams.out, *overview.value, context);
        break;
    }
    if (!streams.out.flush()) {
        streams.err << "ornexa-report: standard output could not be written\n";
        return ExitFailed;
    }
    return Reached(*overview.value, context.failOn) ? ExitStatus(RunEnd::RatingReached) : ExitDone;
}

} // namespace ornexa::cli
