#include "cli/watch_run.h"

#include <array>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <csignal>
#include <cstring>
#include <ostream>
#include <poll.h>
#include <pthread.h>
#include <sys/inotify.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include "advice/rating_settings_file.h"
#include "cli/folder_watch.h"
#include "history/history_import.h"
#include "history/history_location.h"
#include "report/number_format.h"
#include "report/shown_text.h"

namespace ornexa::cli {

namespace fs = std::filesystem;

namespace {

// Without inotify (or on a network file system that does not tell) the folder is still looked at this often.
constexpr std::chrono::milliseconds LongestWait{1000};
constexpr std::chrono::milliseconds LongestSettle{3'600'000};

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (fd_ >= 0) {
            close(fd_);
        }
    }
    [[nodiscard]] int Get() const { return fd_; }

private:
    int fd_;
};

// SIGINT and SIGTERM are held back while the watch runs and read from a descriptor, so that one arriving
// during an import is seen once the import has ended, and one arriving before a wait ends the wait.
class StopSignals {
public:
    StopSignals() {
        sigemptyset(&set_);
        sigaddset(&set_, SIGINT);
        sigaddset(&set_, SIGTERM);
        pthread_sigmask(SIG_BLOCK, &set_, &previous_);
        fd_ = signalfd(-1, &set_, SFD_NONBLOCK | SFD_CLOEXEC);
    }
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;
    ~StopSignals() {
        if (fd_ >= 0) {
            close(fd_);
        }
        pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
    }
    [[nodiscard]] int Fd() const { return fd_; }
    // Whether a stop was asked for; a signal once read stays asked.
    bool Asked() {
        signalfd_siginfo info{};
        while (read(fd_, &info, sizeof info) == static_cast<ssize_t>(sizeof info)) {
            asked_ = true;
        }
        return asked_;
    }

private:
    sigset_t set_{};
    sigset_t previous_{};
    int fd_ = -1;
    bool asked_ = false;
};

std::vector<ListedFile> ListFolder(const fs::path& folder) {
    std::vector<ListedFile> files;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec); !ec && it != fs::directory_iterator(); it.increment(ec)) {
        std::error_code fileEc;
        if (!it->is_regular_file(fileEc)) {
            continue;
        }
        const auto size = it->file_size(fileEc);
        const auto modified = fileEc ? fs::file_time_type{} : it->last_write_time(fileEc);
        if (!fileEc) { // a file removed while listed is left out
            files.push_back({it->path().filename().string(), size, modified});
        }
    }
    return files;
}

std::string Figure(double value, std::string_view unit) {
    return WithUnit(FormatReadBack(value, "###0.0"), unit);
}

std::string Shown(const fs::path& file, const fs::path& folder) {
    return EscapeControls(file.lexically_relative(folder).string());
}

void WriteOutcome(HistoryStore& store, const ImportOutcome& outcome, const ImportUnit& unit, const fs::path& folder,
                  std::ostream& out, const RatingSettings& settings) {
    const std::string shown = Shown(unit.shown, folder);
    switch (outcome.status) {
    case ImportStatus::Refused:
        out << "refused " << shown << ": " << (outcome.message.empty() ? "refused" : outcome.message) << '\n';
        return;
    case ImportStatus::AlreadyPresent:
        out << shown << ": already in the history (report " << outcome.reportId << ")\n";
        return;
    case ImportStatus::SimulationAdded:
        out << "simulation added to report " << outcome.reportId << ": "
            << Shown(unit.simulation.value_or(unit.shown), folder) << '\n';
        return;
    case ImportStatus::Imported:
        break;
    }
    out << "imported " << shown << ": report " << outcome.reportId;
    if (const auto info = store.Info(outcome.reportId); info.Ok()) {
        out << ", " << EscapeControls(info.value->system) << ' ' << EscapeControls(info.value->subsystem)
            << " collected " << info.value->collectedAt << ", " << info.value->pools
            << (info.value->pools == 1 ? " pool" : " pools");
    }
    if (outcome.sameTimeAs) {
        out << ", held beside report " << *outcome.sameTimeAs << " of the same time";
    }
    out << '\n';
    const auto ratings = store.Ratings(outcome.reportId, settings);
    if (!ratings.Ok()) {
        out << "report " << outcome.reportId << " cannot be rated: " << ratings.FaultText() << '\n';
        return;
    }
    for (const PoolRating& pool : *ratings.value) {
        if (const auto line = RatingLine(pool)) {
            out << *line << '\n';
        }
    }
}

} // namespace

std::optional<std::chrono::milliseconds> SettleOf(const std::string& text) {
    std::string_view number = text;
    double scale = 1000;
    if (number.ends_with("ms")) {
        number.remove_suffix(2);
        scale = 1;
    } else if (number.ends_with('s')) {
        number.remove_suffix(1);
    }
    double value = 0;
    const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (number.empty() || ec != std::errc{} || end != number.data() + number.size() || !(value >= 0)) {
        return std::nullopt;
    }
    const double ms = value * scale;
    if (ms > static_cast<double>(LongestSettle.count())) {
        return std::nullopt;
    }
    return std::chrono::milliseconds(std::llround(ms));
}

std::optional<std::string> RatingLine(const PoolRating& pool) {
    const RatingVerdict worst = pool.Worst();
    if (worst != RatingVerdict::Warning && worst != RatingVerdict::Exception) {
        return std::nullopt;
    }
    std::string line = EscapeControls(pool.poolName) + " " + std::string(RatingVerdictKey(worst)) + ":";
    const char* separator = " ";
    for (const Rating& rating : pool.ratings) {
        if (rating.verdict != worst || !rating.value) {
            continue;
        }
        const RatingDefinition& definition = DefinitionOf(rating.kind);
        const auto bound = worst == RatingVerdict::Exception ? rating.threshold.exception : rating.threshold.warning;
        line += separator + std::string(definition.caption) + " " + Figure(*rating.value, definition.unit);
        if (bound) {
            line += (definition.worseWhen == WorseWhen::Below ? " < " : " > ") + Figure(*bound, definition.unit);
        }
        separator = "; ";
    }
    return line;
}

void ImportReadyFiles(HistoryStore& store, const fs::path& folder, const std::vector<std::string>& names,
                      std::ostream& out, const ReportLimits& limits, const std::function<bool()>& stop,
                      const RatingSettings& settings) {
    std::vector<fs::path> paths;
    paths.reserve(names.size());
    for (const std::string& name : names) {
        paths.push_back(folder / name);
    }
    for (const ImportUnit& unit : PlanImport(paths).units) {
        if (stop && stop()) {
            return;
        }
        if (unit.refusal) {
            out << "refused " << Shown(unit.shown, folder) << ": " << *unit.refusal << '\n' << std::flush;
            continue;
        }
        const FileImportOutcome file = ImportFile(store, unit.statistics.string(),
                                                  unit.simulation ? unit.simulation->string() : "", limits, &settings);
        for (const std::string& warning : file.warnings) {
            out << "warning: " << Shown(unit.shown, folder) << ": " << warning << '\n';
        }
        for (const ImportOutcome& outcome : file.reports) {
            WriteOutcome(store, outcome, unit, folder, out, settings);
        }
        out << std::flush;
    }
}

int WatchCommand(const std::string& location, const fs::path& folder, std::chrono::milliseconds settle,
                 const RatingSettingsLookup& ratings, const CommandStreams& streams, const ReportLimits& limits,
                 std::chrono::seconds timeout) {
    StopSignals signals;
    if (signals.Fd() < 0) {
        streams.err << "ornexa-report: the stop signals cannot be watched\n";
        return 1;
    }
    if (!ratings.settings.Ok()) {
        streams.err << "ornexa-report: " << ratings.settings.FaultText() << '\n';
        return 1;
    }
    auto opened = HistoryStore::Open(location, timeout);
    if (!opened.Ok() || !*opened.value) {
        streams.err << "ornexa-report: cannot open the history " << ShownLocation(location) << ": "
                    << MaskedPasswords(opened.FaultText(), location) << '\n';
        return 1;
    }
    HistoryStore& store = **opened.value;
    const Descriptor changes(inotify_init1(IN_NONBLOCK | IN_CLOEXEC));
    if (changes.Get() >= 0 && inotify_add_watch(changes.Get(), folder.c_str(),
                                                IN_CLOSE_WRITE | IN_MODIFY | IN_CREATE | IN_DELETE | IN_MOVED_TO |
                                                    IN_MOVED_FROM | IN_ATTRIB | IN_DELETE_SELF | IN_MOVE_SELF) < 0) {
        streams.err << "ornexa-report: cannot watch the folder " << folder.string() << ": " << std::strerror(errno)
                    << '\n';
        return 1;
    }
    streams.out << "watching " << EscapeControls(folder.string()) << " for reports to import into "
                << ShownLocation(location) << ", rated by "
                << (ratings.path ? ratings.path->string() : std::string("the built-in bounds")) << '\n'
                << std::flush;
    FolderWatch watch([&folder] { return ListFolder(folder); }, [] { return std::chrono::steady_clock::now(); },
                      settle);
    const auto stop = [&signals] { return signals.Asked(); };
    while (!stop()) {
        ImportReadyFiles(store, folder, watch.Ready(), streams.out, limits, stop, *ratings.settings.value);
        const auto wait = std::min(watch.NextLook().value_or(LongestWait), LongestWait);
        std::array<pollfd, 2> fds{{{signals.Fd(), POLLIN, 0}, {changes.Get(), POLLIN, 0}}};
        if (poll(fds.data(), fds.size(), static_cast<int>(wait.count()) + 1) > 0 && (fds[1].revents & POLLIN) != 0) {
            std::array<char, 4096> events{};
            while (read(changes.Get(), events.data(), events.size()) > 0) {
            }
        }
    }
    streams.out << "stopped\n" << std::flush;
    return 0;
}

} // namespace ornexa::cli
