#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "display/display_report.h"
#include "display/display_series.h"
#include "display/display_time.h"
#include "report/field_presence.h"
#include "report/record_catalogue.h"

namespace ornexa {
namespace {

TEST(DisplayTime, ReadsDb2sSinceAndTheLogsStamps) {
    struct Case {
        std::string_view text;
        std::optional<std::string> stamp; // as StampText gives it back
    };
    const Case cases[] = {
        {"14:57:55 JAN 22, 2026", "2026-01-22 14:57:55"},
        {"  00:00:00 DEC  8, 2026", "2026-12-08 00:00:00"},
        {"23:59:59 FEB 29, 2024", "2024-02-29 23:59:59"},
        {"23:59:59 FEB 29, 2026", std::nullopt}, // not a leap year
        {"14:57:55 JAN 22 2026", std::nullopt},  // the comma is part of the form
        {"14:57 JAN 22, 2026", std::nullopt},
        {"14:57:55 JUL 22, yyyy", std::nullopt}, // the documentation's own placeholder
        {"24:00:00 JAN 22, 2026", std::nullopt},
        {"", std::nullopt},
    };
    for (const Case& c : cases) {
        const auto seconds = SinceSeconds(c.text);
        EXPECT_EQ(seconds.has_value(), c.stamp.has_value()) << c.text;
        if (seconds && c.stamp) {
            EXPECT_EQ(StampText(*seconds), *c.stamp) << c.text;
            EXPECT_EQ(StampSeconds(*c.stamp), seconds) << c.text;
        }
    }
    EXPECT_FALSE(StampSeconds("2026-12-08 10:00"));
    EXPECT_FALSE(StampSeconds("2026-12-08 10:00:00 "));
    EXPECT_EQ(StampText(-1), "1969-12-31 23:59:59");
}

DisplayPool Pool(std::string name, std::int64_t randomGetpages, std::int64_t syncReads = 10) {
    DisplayPool pool;
    pool.line = 1;
    pool.name = std::move(name);
    pool.Set(PoolFigure::VpSize, 20000);
    pool.Set(PoolFigure::VpSeqt, 80);
    pool.Set(PoolFigure::Dwqt, 30);
    pool.Set(PoolFigure::VdwqtPercent, 5);
    pool.Set(PoolFigure::RandomGetpages, randomGetpages);
    pool.Set(PoolFigure::SeqGetpages, 100);
    pool.Set(PoolFigure::SyncReadIosRandom, syncReads);
    pool.Set(PoolFigure::SyncReadIosSeq, 2);
    pool.Set(PoolFigure::SeqPrefetchIos, 3);
    pool.Set(PoolFigure::SeqPrefetchPages, 60);
    pool.Set(PoolFigure::PageUpdates, 7);
    pool.Set(PoolFigure::AsyncWriteIos, 4);
    pool.Set(PoolFigure::SyncWriteIos, 1);
    pool.complete = true;
    return pool;
}

Db2Display Display(std::string subsystem, std::string stamp, const std::string& since, bool cumulative,
                   std::vector<DisplayPool> pools, std::int64_t line = 1) {
    Db2Display display;
    display.line = line;
    display.subsystem = std::move(subsystem);
    display.displayedAt = std::move(stamp);
    for (DisplayPool& pool : pools) {
        (cumulative ? pool.cumulativeSince : pool.incrementalSince) = since;
    }
    display.pools = std::move(pools);
    return display;
}

std::optional<std::string> Stamp(const std::optional<std::int64_t>& seconds) {
    return seconds ? std::optional(StampText(*seconds)) : std::nullopt;
}

TEST(DisplaySeries, IncrementalDisplaysRunFromTheirSinceToTheirTimeOrTheNextStart) {
    // With SYSLOG time stamps each display ends at its own time.
    const auto logged =
        IntervalsOf({Display("DB2A", "2026-12-08 08:15:00", "08:00:00 DEC 8, 2026", false, {Pool("BP0", 500)}),
                     Display("DB2A", "2026-12-08 08:30:00", "08:15:00 DEC 8, 2026", false, {Pool("BP0", 700)})});
    ASSERT_EQ(logged.intervals.size(), 2U);
    EXPECT_EQ(Stamp(logged.intervals[0].from), "2026-12-08 08:00:00");
    EXPECT_EQ(Stamp(logged.intervals[0].to), "2026-12-08 08:15:00");
    EXPECT_EQ(logged.intervals[1].pools[0].Get(PoolFigure::RandomGetpages), 700); // never differenced
    // Batch output has no stamps: a display ends where the next one starts; the last end is not known.
    const auto batch = IntervalsOf({Display("DB2A", "", "08:00:00 DEC 8, 2026", false, {Pool("BP0", 500)}),
                                    Display("DB2A", "", "08:15:00 DEC 8, 2026", false, {Pool("BP0", 700)})});
    ASSERT_EQ(batch.intervals.size(), 2U);
    EXPECT_EQ(Stamp(batch.intervals[0].to), "2026-12-08 08:15:00");
    EXPECT_FALSE(batch.intervals[1].to);
    EXPECT_TRUE(batch.notes.empty());
}

TEST(DisplaySeries, CumulativeDisplaysBecomeDifferencesAndARestartANewBaseline) {
    const std::string since = "06:00:00 DEC 8, 2026";
    const auto series = IntervalsOf({
        Display("DB2A", "2026-12-08 08:00:00", since, true, {Pool("BP0", 1000, 40)}, 1),
        Display("DB2A", "2026-12-08 08:15:00", since, true, {Pool("BP0", 1600, 55)}, 50),
        // Db2 restarted: a new since, counters from zero.
        Display("DB2A", "2026-12-08 08:30:00", "08:20:00 DEC 8, 2026", true, {Pool("BP0", 90, 3)}, 99),
    });
    ASSERT_EQ(series.intervals.size(), 3U);
    const DisplayInterval& first = series.intervals[0];
    EXPECT_TRUE(first.cumulative);
    EXPECT_EQ(Stamp(first.from), "2026-12-08 06:00:00");
    EXPECT_EQ(first.pools[0].Get(PoolFigure::RandomGetpages), 1000);

    const DisplayInterval& second = series.intervals[1];
    EXPECT_FALSE(second.cumulative);
    EXPECT_EQ(Stamp(second.from), "2026-12-08 08:00:00");
    EXPECT_EQ(Stamp(second.to), "2026-12-08 08:15:00");
    EXPECT_EQ(second.pools[0].Get(PoolFigure::RandomGetpages), 600);
    EXPECT_EQ(second.pools[0].Get(PoolFigure::SyncReadIosRandom), 15);
    EXPECT_EQ(second.pools[0].Get(PoolFigure::VpSize), 20000); // a setting, not a counter
    EXPECT_EQ(second.pools[0].Get(PoolFigure::SeqGetpages), 0);

    const DisplayInterval& third = series.intervals[2];
    EXPECT_TRUE(third.cumulative);
    EXPECT_EQ(Stamp(third.from), "2026-12-08 08:20:00");
    EXPECT_EQ(third.pools[0].Get(PoolFigure::RandomGetpages), 90);
    ASSERT_EQ(series.notes.size(), 1U);
    EXPECT_NE(series.notes[0].text.find("new baseline"), std::string::npos);
}

// The sequential chain is a state: it may shrink between two displays without any restart, and is
// taken as it stands rather than differenced.
TEST(DisplaySeries, AStateThatShrinksIsNoRestart) {
    const std::string since = "06:00:00 DEC 8, 2026";
    DisplayPool before = Pool("BP0", 1000);
    before.Set(PoolFigure::SeqChain, 900);
    DisplayPool after = Pool("BP0", 1600);
    after.Set(PoolFigure::SeqChain, 300);
    const auto series = IntervalsOf({Display("DB2A", "2026-12-08 08:00:00", since, true, {before}),
                                     Display("DB2A", "2026-12-08 08:15:00", since, true, {after})});
    ASSERT_EQ(series.intervals.size(), 2U);
    EXPECT_TRUE(series.notes.empty());
    EXPECT_FALSE(series.intervals[1].cumulative);
    EXPECT_EQ(series.intervals[1].pools[0].Get(PoolFigure::RandomGetpages), 600);
    EXPECT_EQ(series.intervals[1].pools[0].Get(PoolFigure::SeqChain), 300);
}

TEST(DisplaySeries, ACounterThatGoesDownWithTheSameSinceIsAlsoANewBaseline) {
    const std::string since = "06:00:00 DEC 8, 2026";
    const auto series = IntervalsOf({Display("DB2A", "2026-12-08 08:00:00", since, true, {Pool("BP0", 1000)}),
                                     Display("DB2A", "2026-12-08 08:15:00", since, true, {Pool("BP0", 10)})});
    ASSERT_EQ(series.intervals.size(), 2U);
    EXPECT_TRUE(series.intervals[1].cumulative);
    EXPECT_EQ(series.intervals[1].pools[0].Get(PoolFigure::RandomGetpages), 10);
    EXPECT_EQ(series.notes.size(), 1U);
}

TEST(DisplaySeries, SubsystemsAreSeriesOfTheirOwnAndADuplicateIsLeftOut) {
    const auto series = IntervalsOf({
        Display("DB2A", "2026-12-08 08:15:00", "08:00:00 DEC 8, 2026", false, {Pool("BP0", 1)}, 1),
        Display("DB2B", "2026-12-08 08:15:00", "08:00:00 DEC 8, 2026", false, {Pool("BP0", 2)}, 20),
        Display("DB2A", "2026-12-08 08:15:00", "08:00:00 DEC 8, 2026", false, {Pool("BP0", 3)}, 40),
        Display("DB2B", "", "08:15:00 DEC 8, 2026", false, {Pool("BP0", 4)}, 60),
    });
    ASSERT_EQ(series.intervals.size(), 3U);
    EXPECT_EQ(series.intervals[0].subsystem, "DB2A");
    EXPECT_EQ(series.intervals[1].subsystem, "DB2B");
    EXPECT_EQ(series.intervals[2].subsystem, "DB2B");
    ASSERT_EQ(series.notes.size(), 1U);
    EXPECT_EQ(series.notes[0].line, 40);
    EXPECT_NE(series.notes[0].text.find("duplicate"), std::string::npos);
}

DisplayInterval Interval(std::vector<DisplayPool> pools, bool timed = true) {
    DisplayInterval interval;
    interval.subsystem = "DB2A";
    interval.system = "SYSA";
    interval.from = SinceSeconds("08:00:00 DEC 8, 2026");
    if (timed) {
        interval.to = SinceSeconds("08:15:00 DEC 8, 2026");
    }
    interval.pools = std::move(pools);
    return interval;
}

std::size_t PoolField(std::string_view name) {
    return FieldIndex(RecordCatalogue<PoolRecord>(PoolCatalogue()), name);
}

TEST(DisplayReport, FillsThePoolRecordFromDb2sFiguresAndMarksWhatItGives) {
    DisplayPool pool = Pool("BP1", 900);
    DisplayDataSet dataSet;
    dataSet.database = "DSNDB04";
    dataSet.space = "TSORDERS";
    dataSet.part = 3;
    dataSet.indexSpace = true;
    dataSet.Set(DataSetFigure::SyncAvgDelay, 4);
    dataSet.Set(DataSetFigure::SyncMaxDelay, 19);
    pool.dataSets = {dataSet};
    Report report;
    std::vector<ReadNote> notes;
    std::int64_t full = 0;
    ASSERT_TRUE(FillReport(report, Interval({pool}), notes, full));
    EXPECT_TRUE(notes.empty());
    EXPECT_TRUE(report.StatFileLoaded);
    EXPECT_EQ(report.Header.SubSystemName.Str(), "DB2A");
    EXPECT_EQ(report.Header.CollectionDate.Str(), "2026-12-08");
    EXPECT_EQ(report.Header.CollectionTime.Str(), "08:15:00");
    EXPECT_EQ(report.Header.ElapsedTime.Str(), "00:15:00");
    EXPECT_EQ(report.ElapsedSeconds, 900);
    const PoolRecord& record = report.Pools(1);
    EXPECT_EQ(record.PoolGetPages, 1000);
    EXPECT_EQ(record.PoolGetPagesByAccess(1), 100);
    EXPECT_EQ(record.PoolGetPagesByAccess(2), 900);
    EXPECT_EQ(record.PoolReadIOsByType(1), 12);
    EXPECT_EQ(record.PoolReadIOs, 15);
    EXPECT_EQ(record.PoolPagesRead, 72);
    EXPECT_DOUBLE_EQ(record.PoolHitRatio, 92.8);
    EXPECT_EQ(record.PoolWriteIOs, 5);
    EXPECT_DOUBLE_EQ(record.DWTH, 30.0);
    EXPECT_TRUE(PoolFieldGiven(report, 1, PoolField("VPSize")));
    EXPECT_FALSE(PoolFieldGiven(report, 1, PoolField("HPSize")));
    EXPECT_FALSE(PoolFieldGiven(report, 1, PoolField("AvgSyncIOTime")));
    EXPECT_FALSE(HasObjectActivity(report));
    ASSERT_EQ(report.ObjectCount(), 1);
    EXPECT_EQ(report.Objects(1).ObjName.Str(), "DSNDB04.TSORDERS #3");
    EXPECT_EQ(report.Objects(1).ObjType.Str(), "I");
    EXPECT_EQ(report.Objects(1).ObjMaxSyncIOTime, 19);
    EXPECT_EQ(PoolObjects(report, 1).Count(), 1);
    ASSERT_TRUE(report.Db2Display);
    EXPECT_EQ(report.Db2Display->objects.at(0).part, 3);
    EXPECT_EQ(report.Db2Display->pools.at(0).figures.Get(PoolFigure::Dwqt), 30);
}

// Db2 leaves out the delay and cached-page messages of a data set whose figures are zero: in a pool read
// whole they are 0; in a pool cut off they are not known.
TEST(DisplayReport, ADataSetsFiguresNotShownAreZeroOnlyInAPoolReadWhole) {
    const auto catalogue = RecordCatalogue<ObjectRecord>(ObjectCatalogue());
    for (const bool complete : {true, false}) {
        SCOPED_TRACE(complete);
        DisplayPool pool = Pool("BP2", 10);
        pool.complete = complete;
        DisplayDataSet quiet;
        quiet.database = "DB1";
        quiet.space = "TS1";
        pool.dataSets = {quiet};
        Report report;
        std::vector<ReadNote> notes;
        std::int64_t full = 0;
        ASSERT_TRUE(FillReport(report, Interval({pool}), notes, full));
        EXPECT_EQ(ObjectFieldGiven(report, 1, FieldIndex(catalogue, "ObjAvgSyncIOTime")), complete);
        EXPECT_EQ(report.Db2Display->objects.at(0).figures.Get(DataSetFigure::CachedPagesMax),
                  complete ? std::optional<std::int64_t>(0) : std::nullopt);
        EXPECT_FALSE(ObjectFieldGiven(report, 1, FieldIndex(catalogue, "ObjGetPages")));
    }
}

TEST(DisplayReport, WithoutAnEndTheRatesAreNotKnownAndHugeCountersAreKeptAtTheirLargestWithANote) {
    DisplayPool pool = Pool("BP0", 5'000'000'000);
    Report report;
    std::vector<ReadNote> notes;
    std::int64_t full = 0;
    ASSERT_TRUE(FillReport(report, Interval({pool}, false), notes, full));
    EXPECT_EQ(report.ElapsedSeconds, 0);
    EXPECT_FALSE(HeaderFieldGiven(report, FieldIndex(RecordCatalogue<ReportHeader>(HeaderCatalogue()), "ElapsedTime")));
    EXPECT_EQ(report.Pools(1).PoolGetPagesByAccess(2), 2'147'483'647);
    ASSERT_FALSE(notes.empty());
    EXPECT_NE(notes[0].text.find("RANDOM GETPAGE of BP0 is 5000000000"), std::string::npos);
}

TEST(DisplayReport, APoolBeyondTheLimitsStopsTheReportAtItsLine) {
    Report report;
    report.SetLimits({1, 10});
    std::vector<ReadNote> notes;
    std::int64_t full = 0;
    DisplayPool second = Pool("BP1", 1);
    second.line = 77;
    EXPECT_FALSE(FillReport(report, Interval({Pool("BP0", 1), second}), notes, full));
    EXPECT_EQ(full, 77);
    EXPECT_EQ(report.PoolCount(), 1);
}

} // namespace
} // namespace ornexa
