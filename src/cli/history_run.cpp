#include "cli/history_run.h"

#include <cstdlib>
#include <iostream>
#include <unistd.h>

#include "advice/rating_settings_file.h"
#include "cli/health_run.h"
#include "cli/watch_run.h"
#include "history/history_location.h"

namespace ornexa::cli {

namespace {

// The bounds the reports imported are rated with: the site's; a site file that cannot be used is told,
// and the built-in bounds rate them (the overview judges them again with the bounds it is given).
RatingSettings ImportRatings(const RunRequest& request, const CommandStreams& streams) {
    const RatingSettingsLookup lookup = FindRatingSettings(request.health.programFolder, request.health.ratingsFile);
    if (lookup.settings.Ok()) {
        return *lookup.settings.value;
    }
    streams.err << "ornexa-report: warning: the reports are rated with the built-in bounds: "
                << lookup.settings.FaultText() << '\n';
    return {};
}

int CommandStatus(const RunRequest& request, const CommandStreams& streams) {
    const HistoryRequest& history = request.history;
    switch (request.mode) {
    case Mode::CompareStored:
        return CompareStoredCommand(history.location, *ReportIdOf(history.compare[0]), *ReportIdOf(history.compare[1]),
                                    history.format == HistoryFormat::Json, streams, history.timeout);
    case Mode::CompareFiles:
        return CompareFilesCommand(history.compare[0], history.compare[1], history.format == HistoryFormat::Json,
                                   streams, request.limits);
    case Mode::HistoryImport:
        return ImportCommand(history.location, history.imports, streams, request.limits, history.timeout,
                             ImportRatings(request, streams));
    case Mode::HistoryWatch:
        return WatchCommand(history.location, history.watchFolder, history.settle,
                            FindRatingSettings(request.health.programFolder, request.health.ratingsFile), streams,
                            request.limits, history.timeout);
    case Mode::HistoryList:
        return ListCommand(history.location, history.filter, history.format, streams, history.timeout);
    case Mode::HistoryTrend:
        return TrendCommand(history.location, request.analysis.pools.front(), history.filter, history.format, streams,
                            history.timeout);
    case Mode::HistoryHealth:
        return HealthHistoryCommand(request, streams);
    default: // the report's modes, and no command: never run here
        break;
    }
    return 1;
}

} // namespace

void PrepareHistoryAccess(const RunRequest& request) {
    if (request.history.password) {
        // libpq takes it as it takes the variable set by the user; it stays out of the process list.
        setenv("PGPASSWORD", request.history.password->c_str(), 1); // NOLINT(concurrency-mt-unsafe): before any thread
    }
    if (CarriesPassword(request.history.location)) {
        std::cerr << "ornexa-report: warning: the password written in --history can be seen by every user of this "
                     "machine in the process list; give it by PGPASSWORD, ~/.pgpass or --history-password-file "
                     "instead\n";
    }
}

RunEnd RunHistoryCommand(const RunRequest& request) {
    const CommandStreams streams{std::cout, std::cerr, isatty(STDERR_FILENO) == 1, request.csvCells};
    PrepareHistoryAccess(request);
    return EndOfStatus(CommandStatus(request, streams));
}

} // namespace ornexa::cli
