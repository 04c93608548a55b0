#include "cli/folder_watch.h"

#include <gtest/gtest.h>

namespace ornexa::cli {
namespace {

using namespace std::chrono_literals;

// A file as the listing shows it at one look: its size and a tick of its modification time.
struct Seen {
    std::string name;
    std::uintmax_t size = 0;
    int tick = 0;
};

// One look at the folder: when (ms from the start), what it holds, and which files are ready.
struct Look {
    int at = 0;
    std::vector<Seen> files;
    std::vector<std::string> ready;
};

struct WatchCase {
    const char* name;
    std::vector<Look> looks;
};

class FolderWatchTable : public ::testing::TestWithParam<WatchCase> {};

TEST_P(FolderWatchTable, HandsOutEachFileOnceItIsComplete) {
    std::chrono::steady_clock::time_point now{};
    std::vector<ListedFile> listing;
    FolderWatch watch([&listing] { return listing; }, [&now] { return now; }, 2000ms);
    for (const Look& look : GetParam().looks) {
        now = std::chrono::steady_clock::time_point{} + std::chrono::milliseconds(look.at);
        listing.clear();
        for (const Seen& file : look.files) {
            listing.push_back(
                {file.name, file.size, std::filesystem::file_time_type{} + std::chrono::seconds(file.tick)});
        }
        EXPECT_EQ(watch.Ready(), look.ready) << "at " << look.at << " ms";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Looks, FolderWatchTable,
    ::testing::Values(WatchCase{"GrowingThenStable",
                                {{0, {{"a.sta", 10, 1}}, {}},
                                 {1500, {{"a.sta", 20, 2}}, {}},
                                 {3000, {{"a.sta", 20, 2}}, {}},
                                 {3500, {{"a.sta", 20, 2}}, {"a.sta"}},
                                 {9000, {{"a.sta", 20, 2}}, {}}}},
                      WatchCase{"ChangedAfterImportIsHandedOutAgain",
                                {{0, {{"a.sta", 10, 1}}, {}},
                                 {2000, {{"a.sta", 10, 1}}, {"a.sta"}},
                                 {3000, {{"a.sta", 10, 5}}, {}},
                                 {5000, {{"a.sta", 10, 5}}, {"a.sta"}}}},
                      WatchCase{"DoneMarkerAtOnce",
                                {{0, {{"a.sta", 10, 1}, {"a.sta.done", 0, 1}, {"b.sta", 10, 1}}, {"a.sta"}},
                                 {100, {{"a.sta", 10, 1}, {"a.sta.done", 0, 1}, {"b.sta", 10, 1}}, {}},
                                 {2000, {{"a.sta", 10, 1}, {"a.sta.done", 0, 1}, {"b.sta", 10, 1}}, {"b.sta"}}}},
                      WatchCase{"MarkerWithoutItsFileAndHiddenFilesAreNoReports",
                                {{0, {{"c.sta.done", 0, 1}, {".c.sta.part", 10, 1}}, {}},
                                 {5000, {{"c.sta.done", 0, 1}, {".c.sta.part", 10, 1}}, {}}}},
                      WatchCase{"NoReportIsNotRetriedUntilItChanges",
                                {{0, {{"notes.txt", 5, 1}}, {}},
                                 {2000, {{"notes.txt", 5, 1}}, {"notes.txt"}},
                                 {6000, {{"notes.txt", 5, 1}}, {}},
                                 {7000, {{"notes.txt", 6, 1}}, {}},
                                 {9000, {{"notes.txt", 6, 1}}, {"notes.txt"}}}},
                      WatchCase{"RemovedBeforeCompleteIsDropped",
                                {{0, {{"a.sta", 10, 1}}, {}},
                                 {1000, {}, {}},
                                 {2500, {{"a.sta", 10, 1}}, {}},
                                 {4000, {{"a.sta", 10, 1}}, {}},
                                 {4500, {{"a.sta", 10, 1}}, {"a.sta"}}}},
                      WatchCase{"PresentAtStartWaitsItsSettleTime",
                                {{0, {{"old.sta", 10, 1}, {"old2.sta", 10, 1}}, {}},
                                 {2000, {{"old.sta", 10, 1}, {"old2.sta", 10, 1}}, {"old.sta", "old2.sta"}}}},
                      WatchCase{"StatisticsWaitsForItsSimulationReport",
                                {{0, {{"m.sta", 10, 1}, {"m.sim", 5, 1}}, {}},
                                 {2000, {{"m.sta", 10, 1}, {"m.sim", 8, 2}}, {}},
                                 {4000, {{"m.sta", 10, 1}, {"m.sim", 8, 2}}, {"m.sim", "m.sta"}}}}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(FolderWatch, NextLookIsWhenTheFirstWaitingFileSettles) {
    std::chrono::steady_clock::time_point now{};
    std::vector<ListedFile> listing{{"a.sta", 10, {}}};
    FolderWatch watch([&listing] { return listing; }, [&now] { return now; }, 2000ms);
    EXPECT_EQ(watch.NextLook(), std::nullopt); // nothing looked at yet
    EXPECT_TRUE(watch.Ready().empty());
    now += 500ms;
    listing.push_back({"b.sta", 10, {}});
    EXPECT_TRUE(watch.Ready().empty());
    EXPECT_EQ(watch.NextLook(), 1500ms);
    now += 1500ms;
    EXPECT_EQ(watch.Ready(), std::vector<std::string>{"a.sta"});
    EXPECT_EQ(watch.NextLook(), 500ms);
    now += 1000ms;
    EXPECT_EQ(watch.NextLook(), 0ms); // overdue, never negative
    EXPECT_EQ(watch.Ready(), std::vector<std::string>{"b.sta"});
    EXPECT_EQ(watch.NextLook(), std::nullopt);
}

} // namespace
} // namespace ornexa::cli
