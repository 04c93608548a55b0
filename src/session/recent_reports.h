#pragma once

#include <cstddef>
#include <filesystem>
#include <vector>

namespace ornexa {

// A Statistics report read before, with the Simulation report read with it (empty for none).
struct RecentReport {
    std::filesystem::path statistics;
    std::filesystem::path simulation;
    friend bool operator==(const RecentReport&, const RecentReport&) = default;
};

// Whether the entry's files are still there to be read.
bool Available(const RecentReport& entry);

// The path made absolute against the current folder, so that it names the same file from anywhere;
// an empty path stays empty.
std::filesystem::path FullPath(const std::filesystem::path& path);

// The reports read last, newest first, each Statistics report once.
class RecentReports {
public:
    static constexpr std::size_t MaxEntries = 8;

    RecentReports() = default;
    // Entries as they were kept: those without a Statistics report and repeats are left out, and
    // no more than MaxEntries are taken.
    explicit RecentReports(const std::vector<RecentReport>& entries);

    // A Statistics report was read: it comes first, without a Simulation report. Entries are kept
    // by full path, so a report named from the command line opens again from anywhere.
    void ReadStatistics(const std::filesystem::path& statistics);
    // A Simulation report was read with the Statistics report: the entry of the latter keeps it.
    void ReadSimulation(const std::filesystem::path& statistics, const std::filesystem::path& simulation);
    // Takes the entries whose files are gone off the list; returns them.
    std::vector<RecentReport> ForgetGone();

    [[nodiscard]] const std::vector<RecentReport>& Entries() const { return entries_; }

private:
    void Put(RecentReport entry);
    std::vector<RecentReport> entries_;
};

} // namespace ornexa
