#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace ornexa::cli {

// One regular file of the watched folder as a listing sees it.
struct ListedFile {
    std::string name; // the file name, without its folder
    std::uintmax_t size = 0;
    std::filesystem::file_time_type modified{};
};

// Lists the watched folder's regular files; an empty list for a folder that cannot be read.
using FolderListing = std::function<std::vector<ListedFile>()>;
using WatchClock = std::function<std::chrono::steady_clock::time_point()>;

// How long a file's size must stay the same before --watch takes it as complete, when no --settle is given.
inline constexpr std::chrono::milliseconds DefaultSettle{2000};

// A file that ends in this is no report: it tells that the file of its stem is complete.
inline constexpr std::string_view DoneMarkerSuffix = ".done";

// Which files of a watched folder are ready to import. A file is complete when its size and time have
// stayed the same for the settle time, or at once when NAME.done is beside it; a file waits while
// another file of its stem (a Simulation report beside its Statistics report) is still being written.
// A file handed out is not handed out again until its size or time changes; a file that disappears is
// forgotten. Hidden files (a writer's temporary name) and the markers themselves are never handed out.
class FolderWatch {
public:
    FolderWatch(FolderListing listing, WatchClock clock, std::chrono::milliseconds settle);

    // Looks at the folder again: the names of the files that became ready, in name order.
    std::vector<std::string> Ready();

    // How long until a file still being written may be ready; nothing when none is waiting.
    [[nodiscard]] std::optional<std::chrono::milliseconds> NextLook() const;

private:
    struct Tracked {
        std::uintmax_t size = 0;
        std::filesystem::file_time_type modified{};
        std::chrono::steady_clock::time_point stableSince{};
        bool handed = false; // handed out at this size and time
    };
    [[nodiscard]] bool Settled(const Tracked& file, std::chrono::steady_clock::time_point now) const;

    FolderListing listing_;
    WatchClock clock_;
    std::chrono::milliseconds settle_;
    std::map<std::string, Tracked> files_;
};

} // namespace ornexa::cli
