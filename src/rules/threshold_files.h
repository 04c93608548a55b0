#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "rules/pool_usage.h"

namespace ornexa {

// Where an installed program finds its data, relative to its own folder: bin/ and share/ornexa/ lie
// side by side under one prefix.
inline constexpr std::string_view InstalledDataFolder = "../share/ornexa";

// The folders the usage threshold files are looked for in, first to last: the folder given (the
// --acc-dir option) alone; else the program's own folder, then the installed data folder beside it.
std::vector<std::filesystem::path> ThresholdFolders(const std::filesystem::path& programFolder,
                                                    const std::optional<std::filesystem::path>& given = std::nullopt);

// The threshold file of one usage as found in a list of folders.
struct ThresholdLookup {
    PoolUsage usage = PoolUsage::None;
    std::string fileName;                        // Rand.acc or Seq.acc
    std::optional<std::filesystem::path> path;   // the file of the first folder that holds one
    std::vector<std::filesystem::path> searched; // every folder looked in, in order
    double threshold = 0;                        // read from `path`; 0 without a file

    [[nodiscard]] bool Found() const { return path.has_value(); }
};

// Looks for the file of `usage` in `folders`, first to last, and reads the threshold of the first
// one found. Without a file the threshold is 0: every object with getpages takes part.
ThresholdLookup LookUpThreshold(const std::vector<std::filesystem::path>& folders, PoolUsage usage);

// "Seq.acc was not found in /a, /b: every object with getpages takes part in the clustering";
// nothing when the file was found.
std::optional<std::string> MissingThresholdWarning(const ThresholdLookup& lookup);

} // namespace ornexa
