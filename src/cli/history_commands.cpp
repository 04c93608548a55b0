#include "cli/history_commands.h"

#include <charconv>
#include <fstream>
#include <iterator>
#include <ostream>

#include "cli/change_check_document.h"
#include "cli/compare_document.h"
#include "cli/history_document.h"
#include "cli/report_document.h"
#include "history/change_check.h"
#include "history/history_import.h"
#include "history/history_location.h"
#include "history/report_compare.h"
#include "report/shown_text.h"

namespace ornexa::cli {

namespace {

constexpr int ExitDone = 0;
constexpr int ExitFailed = 1;

std::string Dumped(const nlohmann::ordered_json& doc) {
    return doc.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + '\n';
}

} // namespace

std::shared_ptr<HistoryStore> OpenStore(const std::string& location, std::ostream& err, std::chrono::seconds timeout) {
    auto opened = HistoryStore::Open(location, timeout);
    if (!opened.Ok() || !*opened.value) {
        err << "ornexa-report: cannot open the history " << ShownLocation(location) << ": "
            << MaskedPasswords(opened.FaultText(), location) << '\n';
        return nullptr;
    }
    return *opened.value;
}

namespace {

// "\rimporting 7 of 40: path", written over the line before and cleared at the end.
class ProgressLine {
public:
    explicit ProgressLine(std::ostream& err) : err_(err) {}
    void Show(int number, int count, const std::filesystem::path& file) {
        err_ << "\rimporting " << number << " of " << count << ": " << file.string() << ClearToEnd << std::flush;
        shown_ = true;
    }
    void Clear() {
        if (shown_) {
            err_ << '\r' << ClearToEnd << std::flush;
        }
    }

private:
    static constexpr const char* ClearToEnd = "\x1b[K";
    std::ostream& err_;
    bool shown_ = false;
};

// A table for a terminal shows the control characters of names escaped; CSV keeps the bytes.
void WriteTable(const CommandStreams& streams, TextTable table, const std::vector<bool>& numbers,
                HistoryFormat format) {
    if (format == HistoryFormat::Csv) {
        streams.out << CsvText(table, streams.csvCells);
        return;
    }
    for (std::vector<std::string>& row : table.rows) {
        for (std::string& cell : row) {
            cell = EscapeControls(cell);
        }
    }
    streams.out << AlignedText(table, numbers);
}

} // namespace

int ImportCommand(const std::string& location, const std::vector<std::filesystem::path>& paths,
                  const CommandStreams& streams, const ReportLimits& limits, std::chrono::seconds timeout,
                  const RatingSettings& ratings) {
    const auto store = OpenStore(location, streams.err, timeout);
    if (!store) {
        return ExitFailed;
    }
    store->RateImportsWith(ratings);
    ProgressLine progress(streams.err);
    ImportProgressFn show;
    if (streams.progressLine) {
        show = [&progress](int number, int count, const std::filesystem::path& file) {
            progress.Show(number, count, file);
        };
    }
    const ImportSummary summary = RunImport(*store, PlanImport(paths), show, limits);
    progress.Clear();
    streams.out << ImportSummaryText(summary);
    return summary.Refused() > 0 ? ExitFailed : ExitDone;
}

int ListCommand(const std::string& location, const HistoryFilter& filter, HistoryFormat format,
                const CommandStreams& streams, std::chrono::seconds timeout) {
    const auto store = OpenStore(location, streams.err, timeout);
    if (!store) {
        return ExitFailed;
    }
    const auto reports = store->Reports(filter);
    if (!reports.Ok()) {
        streams.err << "ornexa-report: the reports of the history cannot be listed: " << reports.FaultText() << '\n';
        return ExitFailed;
    }
    if (format == HistoryFormat::Json) {
        streams.out << Dumped(HistoryListDocument(*reports.value, filter));
    } else {
        WriteTable(streams, HistoryListTable(*reports.value), HistoryListNumbers(), format);
    }
    return ExitDone;
}

int TrendCommand(const std::string& location, const std::string& poolName, const HistoryFilter& filter,
                 HistoryFormat format, const CommandStreams& streams, std::chrono::seconds timeout) {
    const auto store = OpenStore(location, streams.err, timeout);
    if (!store) {
        return ExitFailed;
    }
    const auto points = store->PoolTrend(poolName, filter);
    if (!points.Ok()) {
        streams.err << "ornexa-report: the trend of " << poolName << " cannot be read: " << points.FaultText() << '\n';
        return ExitFailed;
    }
    const auto checks = CheckSettingChanges(*store, *points.value);
    if (!checks.Ok()) {
        streams.err << "ornexa-report: the setting changes of " << poolName
                    << " cannot be checked: " << checks.FaultText() << '\n';
        return ExitFailed;
    }
    if (format == HistoryFormat::Json) {
        auto document = PoolTrendDocument(poolName, *points.value, filter);
        document["setting_changes"] = ChangeChecksDocument(*checks.value);
        streams.out << Dumped(document);
    } else {
        WriteTable(
            streams,
            PoolTrendTable(*points.value, format == HistoryFormat::Csv ? FigureStyle::Plain : FigureStyle::TwoDecimals),
            PoolTrendNumbers(), format);
        if (format == HistoryFormat::Text) {
            WriteChangeChecksText(streams.out, *checks.value);
        }
    }
    // A pool no report holds is most often a misspelt name: told, and the run fails as --pool does
    // for a report that does not hold it.
    if (points.value->empty()) {
        streams.err << "ornexa-report: no report of the history holds a pool named " << EscapeControls(poolName)
                    << '\n';
        return ExitFailed;
    }
    return ExitDone;
}

namespace {

// `checks` are the setting changes the two reports straddle; nothing for two files.
void WriteComparison(const ComparedReport& before, const ComparedReport& after, const ReportComparison& comparison,
                     bool asJson, std::ostream& out, const std::vector<ChangeCheck>* checks = nullptr) {
    if (asJson) {
        auto document = CompareDocument(before, after, comparison);
        document["setting_changes"] = checks ? ChangeChecksDocument(*checks) : nullptr;
        out << Dumped(document);
    } else {
        WriteCompareText(out, before, after, comparison);
        if (checks) {
            WriteChangeChecksText(out, *checks);
        }
    }
}

bool ReadForComparison(Report& report, const std::filesystem::path& path, std::ostream& err,
                       const ReportLimits& limits) {
    SimulationData sim;
    const ReadOutcome outcome = ReadReport(report, sim, path, std::nullopt, limits);
    if (outcome.stat.Loaded()) {
        return true;
    }
    err << "ornexa-report: nothing compared: the Statistics report " << path.string() << " did not load\n";
    for (const Message& m : outcome.statMessages) {
        err << "  " << m.title << (m.title.empty() ? "" : ": ") << m.text << '\n';
    }
    return false;
}

} // namespace

int CompareFilesCommand(const std::filesystem::path& before, const std::filesystem::path& after, bool asJson,
                        const CommandStreams& streams, const ReportLimits& limits) {
    Report older;
    Report newer;
    if (!ReadForComparison(older, before, streams.err, limits) ||
        !ReadForComparison(newer, after, streams.err, limits)) {
        return ExitFailed;
    }
    WriteComparison(ComparedFile(older, before), ComparedFile(newer, after), CompareReports(older, newer), asJson,
                    streams.out);
    return ExitDone;
}

int CompareStoredCommand(const std::string& location, std::int64_t before, std::int64_t after, bool asJson,
                         const CommandStreams& streams, std::chrono::seconds timeout) {
    const auto store = OpenStore(location, streams.err, timeout);
    if (!store) {
        return ExitFailed;
    }
    const auto loaded = [&](std::int64_t id) {
        auto stored = store->Load(id);
        if (!stored.Ok()) {
            streams.err << "ornexa-report: nothing compared: report " << id
                        << " cannot be read from the history: " << stored.FaultText() << '\n';
        }
        return stored;
    };
    const auto older = loaded(before);
    if (!older.Ok()) {
        return ExitFailed;
    }
    const auto newer = loaded(after);
    if (!newer.Ok()) {
        return ExitFailed;
    }
    const auto checks = CheckChangesBetween(*store, *older.value, *newer.value);
    if (!checks.Ok()) {
        streams.err << "ornexa-report: nothing compared: the setting changes between reports " << before << " and "
                    << after << " cannot be checked: " << checks.FaultText() << '\n';
        return ExitFailed;
    }
    WriteComparison(ComparedStored(older.value->info), ComparedStored(newer.value->info),
                    CompareReports(older.value->report, newer.value->report), asJson, streams.out, &*checks.value);
    return ExitDone;
}

std::optional<std::int64_t> ReportIdOf(const std::string& text) {
    std::int64_t id = 0;
    const char* end = text.data() + text.size();
    const auto [stop, ec] = std::from_chars(text.data(), end, id);
    if (text.empty() || ec != std::errc{} || stop != end || id < 1 || text.front() == '+') {
        return std::nullopt;
    }
    return id;
}

std::string ShownLocation(const std::string& location) {
    return MaskedLocation(location);
}

HistoryResult<std::string> ReadPasswordFile(const std::filesystem::path& path) {
    const std::string shown = "the password file \"" + path.string() + "\"";
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (error || !std::filesystem::exists(status)) {
        return {std::nullopt, FaultMessages(shown + " cannot be read: it is not there")};
    }
    if (!std::filesystem::is_regular_file(status)) {
        return {std::nullopt, FaultMessages(shown + " is not a regular file")};
    }
    using std::filesystem::perms;
    const perms others = perms::group_all | perms::others_all;
    if ((status.permissions() & others) != perms::none) {
        return {std::nullopt,
                FaultMessages(shown + " may be read or changed by other users: make it mode 600 (chmod 600)")};
    }
    std::ifstream in(path, std::ios::binary);
    std::string password((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in && !in.eof()) {
        return {std::nullopt, FaultMessages(shown + " cannot be read")};
    }
    if (password.ends_with('\n')) {
        password.pop_back();
        if (password.ends_with('\r')) {
            password.pop_back();
        }
    }
    if (password.empty()) {
        return {std::nullopt, FaultMessages(shown + " is empty")};
    }
    if (password.find('\0') != std::string::npos) {
        return {std::nullopt, FaultMessages(shown + " holds a NUL character")};
    }
    return {std::move(password), {}};
}

} // namespace ornexa::cli
