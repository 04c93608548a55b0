#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "history/history_store.h"
#include "print/printed_report.h"
#include "report/collection_date.h"
#include "report/stat_reader.h"
#include "sample_report.h"
#include "stat_fixture.h"
#include "stat_writer.h"

namespace ornexa {
namespace {

// The stamp a printed page shows for the moment the history keeps, when the history read the header
// as a date and time: "2026-11-30T14:05:00" as "11-30-2026   02:05 PM".
std::string PrintedFromHistory(const std::string& collectedAt) {
    const auto t = collectedAt.find('T');
    const auto m = t == std::string::npos ? std::nullopt
                                          : ParseCollectionMoment(collectedAt.substr(0, t), collectedAt.substr(t + 1));
    if (!m) {
        return "not a moment: " + collectedAt;
    }
    std::array<char, 40> text{};
    std::snprintf(text.data(), text.size(), "%02d-%02d-%04d   %02d:%02d %s", m->month, m->day, m->year,
                  m->hour % 12 == 0 ? 12 : m->hour % 12, m->minute, m->hour < 12 ? "AM" : "PM");
    return text.data();
}

// Imports the Statistics report at `path` into a new history and gives what the list shows as its
// collection time, beside the stamp its printed cluster page shows.
std::pair<std::string, std::string> HistoryAndPrinted(const std::filesystem::path& path, const test::TempDir& dir) {
    auto store = HistoryStore::Open((dir.Path() / (path.stem().string() + ".db")).string());
    EXPECT_TRUE(store.Ok()) << store.FaultText();
    const ImportOutcome outcome = ImportReportFile(**store.value, path.string(), {}, {});
    EXPECT_NE(outcome.status, ImportStatus::Refused) << outcome.message;
    const auto reports = (*store.value)->Reports();
    EXPECT_TRUE(reports.Ok() && reports.value->size() == 1);
    Report report;
    EXPECT_TRUE(ReadStatisticsFile(report, path.string()).Loaded());
    return {reports.value->at(0).collectedAt, CollectionStamp(report.Header)};
}

TEST(CollectionDate, ThePrintedPagesAndTheHistoryReadTheSamplesAlike) {
    const test::TempDir dir;
    for (const char* sample : {"statistics-usa.sta", "statistics-deu.sta"}) {
        const auto [history, printed] = HistoryAndPrinted(std::filesystem::path(ORNEXA_SAMPLES_DIR) / sample, dir);
        EXPECT_EQ(history, "2026-11-30T10:15:00") << sample;
        EXPECT_EQ(printed, "11-30-2026   10:15 AM") << sample;
    }
}

TEST(CollectionDate, ThePrintedPagesAndTheHistoryReadGeneratedHeadersAlike) {
    struct Case {
        const char* date;
        const char* time;
    };
    const test::TempDir dir;
    int n = 0;
    for (const Case& c : {Case{"2026-11-30", "10.15.00"}, Case{"11/30/2026", "14:05:09"}, Case{"12/07/26", "00:30"},
                          Case{"30.11.2026", "12.00.00"}, Case{"2024-02-29", "23.59"}}) {
        Report report = samplegen::BuildSampleReport();
        report.Header.CollectionDate = c.date;
        report.Header.CollectionTime = c.time;
        const auto path = dir.Write("generated" + std::to_string(++n) + ".sta", samplegen::StatisticsText(report));
        const auto [history, printed] = HistoryAndPrinted(path, dir);
        EXPECT_EQ(PrintedFromHistory(history), printed) << c.date << ' ' << c.time;
        EXPECT_EQ(CollectionTimestamp(c.date, c.time), history) << c.date << ' ' << c.time;
    }
    // A header neither reads as a moment: each keeps the text as written.
    Report report = samplegen::BuildSampleReport();
    report.Header.CollectionDate = "2026-02-30";
    report.Header.CollectionTime = "10.15.00";
    const auto [history, printed] = HistoryAndPrinted(dir.Write("unread.sta", samplegen::StatisticsText(report)), dir);
    EXPECT_EQ(history, "2026-02-30 10.15.00");
    EXPECT_EQ(printed, "2026-02-30   10.15.00");
}

} // namespace
} // namespace ornexa
