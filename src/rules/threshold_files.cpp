#include "rules/threshold_files.h"

#include <system_error>

namespace ornexa {

std::vector<std::filesystem::path> ThresholdFolders(const std::filesystem::path& programFolder,
                                                    const std::optional<std::filesystem::path>& given) {
    if (given) {
        return {*given};
    }
    return {programFolder, (programFolder / InstalledDataFolder).lexically_normal()};
}

ThresholdLookup LookUpThreshold(const std::vector<std::filesystem::path>& folders, PoolUsage usage) {
    ThresholdLookup lookup;
    lookup.usage = usage;
    lookup.fileName = UsageThresholdPath({}, usage).filename().string();
    for (const std::filesystem::path& folder : folders) {
        lookup.searched.push_back(folder);
        const std::filesystem::path candidate = UsageThresholdPath(folder, usage);
        std::error_code ec;
        if (std::filesystem::is_regular_file(candidate, ec)) {
            lookup.path = candidate;
            lookup.threshold = ReadUsageThreshold(folder, usage);
            break;
        }
    }
    return lookup;
}

std::optional<std::string> MissingThresholdWarning(const ThresholdLookup& lookup) {
    if (lookup.Found()) {
        return std::nullopt;
    }
    std::string folders;
    for (const std::filesystem::path& folder : lookup.searched) {
        folders += (folders.empty() ? "" : ", ") + folder.string();
    }
    return lookup.fileName + " was not found in " + (folders.empty() ? std::string("any folder") : folders) +
           ": every object with getpages takes part in the clustering";
}

} // namespace ornexa
