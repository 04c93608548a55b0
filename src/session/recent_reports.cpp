#include "session/recent_reports.h"

#include <algorithm>
#include <system_error>

namespace ornexa {

namespace {
bool IsFile(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}
} // namespace

std::filesystem::path FullPath(const std::filesystem::path& path) {
    if (path.empty()) {
        return path;
    }
    std::error_code error;
    const std::filesystem::path full = std::filesystem::absolute(path, error);
    return error ? path : full.lexically_normal();
}

bool Available(const RecentReport& entry) {
    return IsFile(entry.statistics) && (entry.simulation.empty() || IsFile(entry.simulation));
}

RecentReports::RecentReports(const std::vector<RecentReport>& entries) {
    for (const RecentReport& entry : entries) {
        const bool repeated = std::any_of(entries_.begin(), entries_.end(), [&](const RecentReport& kept) {
            return kept.statistics == entry.statistics;
        });
        if (!entry.statistics.empty() && !repeated && entries_.size() < MaxEntries) {
            entries_.push_back(entry);
        }
    }
}

void RecentReports::Put(RecentReport entry) {
    std::erase_if(entries_, [&](const RecentReport& kept) { return kept.statistics == entry.statistics; });
    entries_.insert(entries_.begin(), std::move(entry));
    if (entries_.size() > MaxEntries) {
        entries_.resize(MaxEntries);
    }
}

void RecentReports::ReadStatistics(const std::filesystem::path& statistics) {
    if (!statistics.empty()) {
        Put({FullPath(statistics), {}});
    }
}

void RecentReports::ReadSimulation(const std::filesystem::path& statistics, const std::filesystem::path& simulation) {
    if (!statistics.empty()) {
        Put({FullPath(statistics), FullPath(simulation)});
    }
}

std::vector<RecentReport> RecentReports::ForgetGone() {
    std::vector<RecentReport> gone;
    std::copy_if(entries_.begin(), entries_.end(), std::back_inserter(gone),
                 [](const RecentReport& entry) { return !Available(entry); });
    std::erase_if(entries_, [](const RecentReport& entry) { return !Available(entry); });
    return gone;
}

} // namespace ornexa
