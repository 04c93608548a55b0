#include "cli/folder_watch.h"

#include <algorithm>
#include <set>
#include <utility>

namespace ornexa::cli {

namespace {

std::string StemOf(const std::string& name) {
    return std::filesystem::path(name).stem().string();
}

bool IsMarker(const std::string& name) {
    return name.size() > DoneMarkerSuffix.size() && name.ends_with(DoneMarkerSuffix);
}

} // namespace

FolderWatch::FolderWatch(FolderListing listing, WatchClock clock, std::chrono::milliseconds settle)
    : listing_(std::move(listing)), clock_(std::move(clock)), settle_(settle) {}

bool FolderWatch::Settled(const Tracked& file, std::chrono::steady_clock::time_point now) const {
    return now - file.stableSince >= settle_;
}

std::vector<std::string> FolderWatch::Ready() {
    const auto now = clock_();
    std::set<std::string> marked;
    std::map<std::string, Tracked> seen;
    for (const ListedFile& listed : listing_()) {
        if (listed.name.empty() || listed.name.front() == '.') {
            continue;
        }
        if (IsMarker(listed.name)) {
            marked.insert(listed.name.substr(0, listed.name.size() - DoneMarkerSuffix.size()));
            continue;
        }
        const auto known = files_.find(listed.name);
        if (known != files_.end() && known->second.size == listed.size && known->second.modified == listed.modified) {
            seen.emplace(listed.name, known->second);
        } else {
            seen.emplace(listed.name, Tracked{listed.size, listed.modified, now, false});
        }
    }
    // A file gone is forgotten, whether it was complete or not.
    files_ = std::move(seen);

    std::set<std::string> waitingStems;
    std::vector<std::string> candidates;
    for (const auto& [name, file] : files_) {
        if (file.handed) {
            continue;
        }
        if (marked.contains(name) || Settled(file, now)) {
            candidates.push_back(name);
        } else {
            waitingStems.insert(StemOf(name));
        }
    }
    std::vector<std::string> ready;
    for (const std::string& name : candidates) {
        if (!waitingStems.contains(StemOf(name))) {
            files_[name].handed = true;
            ready.push_back(name);
        }
    }
    return ready;
}

std::optional<std::chrono::milliseconds> FolderWatch::NextLook() const {
    const auto now = clock_();
    std::optional<std::chrono::milliseconds> next;
    for (const auto& [name, file] : files_) {
        if (file.handed) {
            continue;
        }
        const auto left = std::max(std::chrono::milliseconds::zero(),
                                   std::chrono::ceil<std::chrono::milliseconds>(file.stableSince + settle_ - now));
        next = next ? std::min(*next, left) : left;
    }
    return next;
}

} // namespace ornexa::cli
