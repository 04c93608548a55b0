#pragma once

#include <filesystem>
#include <string_view>

namespace ornexa {

// What the pool shown is for: random or sequential access; None until the first pool is shown.
enum class PoolUsage { None, Random, Sequential };

// The option buttons' index: 1 Random, 0 Sequential (any index other than 0 is Random).
PoolUsage SelectPoolUsage(int index);
char UsageLetter(PoolUsage usage); // 'R', 'S' or ' '

inline constexpr std::string_view RandomThresholdFile = "Rand.acc";
inline constexpr std::string_view SequentialThresholdFile = "Seq.acc";

// "Rand.acc" for Random, "Seq.acc" for anything else, in `folder`.
std::filesystem::path UsageThresholdPath(const std::filesystem::path& folder, PoolUsage usage);

// The number at the start of the first comma-delimited field of `text` (0 when there is none).
double ParseUsageThreshold(std::string_view text);

// The usage threshold, a percentage, from the file of `usage` in `folder`; 0 when the file is
// missing, empty or unreadable.
double ReadUsageThreshold(const std::filesystem::path& folder, PoolUsage usage);

} // namespace ornexa
