// Reading Db2's own -DISPLAY BUFFERPOOL / -DISPLAY GROUPBUFFERPOOL output: IBM's sample and
// layouts (sources in data/README.md), the SYSLOG and batch forms, cut displays and faults.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "display/display_parse.h"

namespace {

using namespace ornexa;

std::string DataFile(const std::string& name) {
    std::ifstream in(std::string(ORNEXA_DISPLAY_DATA_DIR) + "/" + name, std::ios::binary);
    EXPECT_TRUE(in.good()) << name;
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(DisplayParse, ReadsIbmDb2V12SampleAndNotesItEndsInsideThePool) {
    const DisplayParse r = ParseDisplays(DataFile("db2_12_sample.txt"));
    ASSERT_FALSE(r.fault) << r.fault->description;
    EXPECT_EQ(r.encoding, DisplayEncoding::Ascii);
    ASSERT_EQ(r.displays.size(), 1U);
    const Db2Display& d = r.displays[0];
    EXPECT_EQ(d.system, "");
    EXPECT_EQ(d.subsystem, "");
    EXPECT_EQ(d.displayedAt, "");
    ASSERT_EQ(d.pools.size(), 1U);
    const DisplayPool& bp2 = d.pools[0];
    EXPECT_EQ(bp2.line, 2);
    EXPECT_EQ(bp2.name, "BP2");
    EXPECT_EQ(bp2.id, 2);
    EXPECT_EQ(bp2.Get(PoolFigure::UseCount), 47);
    EXPECT_EQ(bp2.Get(PoolFigure::VpSize), 4000);
    EXPECT_EQ(bp2.autosize, "NO");
    EXPECT_EQ(bp2.Get(PoolFigure::VpSizeMin), 3000);
    EXPECT_EQ(bp2.Get(PoolFigure::VpSizeMax), 5000);
    EXPECT_EQ(bp2.Get(PoolFigure::Allocated), 4000);
    EXPECT_EQ(bp2.Get(PoolFigure::ToBeDeleted), 0);
    EXPECT_EQ(bp2.Get(PoolFigure::InUseUpdated), std::nullopt);
    EXPECT_EQ(bp2.Get(PoolFigure::VpSeqt), 80);
    EXPECT_EQ(bp2.Get(PoolFigure::Dwqt), 85);
    EXPECT_EQ(bp2.Get(PoolFigure::VdwqtPercent), 80);
    EXPECT_EQ(bp2.Get(PoolFigure::VdwqtBuffers), 0);
    EXPECT_EQ(bp2.Get(PoolFigure::VpPseqt), 50);
    EXPECT_EQ(bp2.Get(PoolFigure::VpXpseqt), 0);
    EXPECT_EQ(bp2.pgfix, "NO");
    EXPECT_EQ(bp2.pgsteal, "LRU");
    EXPECT_EQ(bp2.incrementalSince, "14:57:55 JAN 22, yyyy");
    EXPECT_EQ(bp2.cumulativeSince, std::nullopt);
    EXPECT_FALSE(bp2.complete);
    ASSERT_EQ(r.notes.size(), 1U);
    EXPECT_EQ(r.notes[0].line, 2);
    EXPECT_NE(r.notes[0].text.find("BP2"), std::string::npos);
    EXPECT_EQ(r.lines, 17);
}

void ExpectDb2V13Batch(const DisplayParse& r) {
    ASSERT_FALSE(r.fault) << r.fault->description;
    ASSERT_EQ(r.displays.size(), 1U);
    const Db2Display& d = r.displays[0];
    EXPECT_EQ(d.subsystem, "DB2A");
    EXPECT_EQ(d.line, 5);
    ASSERT_EQ(d.pools.size(), 2U);
    const DisplayPool& bp0 = d.pools[0];
    EXPECT_EQ(bp0.name, "BP0");
    EXPECT_EQ(bp0.Get(PoolFigure::VpSize), 20000);
    EXPECT_EQ(bp0.Get(PoolFigure::InUseUpdated), 1234);
    EXPECT_EQ(bp0.Get(PoolFigure::OverflowAlloc), 0);
    EXPECT_EQ(bp0.Get(PoolFigure::Dwqt), 30);
    EXPECT_EQ(bp0.Get(PoolFigure::VdwqtPercent), 5);
    EXPECT_EQ(bp0.Get(PoolFigure::VdwqtBuffers), 0);
    EXPECT_EQ(bp0.Get(PoolFigure::VpXpseqt), 0);
    EXPECT_EQ(bp0.Get(PoolFigure::VpCloset), 10);
    EXPECT_EQ(bp0.pgfix, "YES");
    EXPECT_EQ(bp0.pgsteal, "FIFO");
    EXPECT_EQ(bp0.frameSize, "1M");
    EXPECT_EQ(bp0.incrementalSince, "10:00:00 DEC 8, 2026");
    EXPECT_EQ(bp0.Get(PoolFigure::RandomGetpages), 491222);
    EXPECT_EQ(bp0.Get(PoolFigure::SyncReadIosRandom), 56);
    EXPECT_EQ(bp0.Get(PoolFigure::SeqGetpages), 1000);
    EXPECT_EQ(bp0.Get(PoolFigure::SyncReadIosSeq), 7);
    EXPECT_EQ(bp0.Get(PoolFigure::PageInsRequired), 3);
    EXPECT_EQ(bp0.Get(PoolFigure::SeqPrefetchRequests), 11);
    EXPECT_EQ(bp0.Get(PoolFigure::SeqPrefetchIos), 10);
    EXPECT_EQ(bp0.Get(PoolFigure::SeqPrefetchPages), 320);
    EXPECT_EQ(bp0.Get(PoolFigure::ListPrefetchRequests), std::nullopt);
    EXPECT_EQ(bp0.Get(PoolFigure::DynPrefetchIos), 20);
    EXPECT_EQ(bp0.Get(PoolFigure::PageUpdates), 900);
    EXPECT_EQ(bp0.Get(PoolFigure::AsyncWriteIos), 40);
    EXPECT_EQ(bp0.Get(PoolFigure::SyncWriteIos), 2);
    EXPECT_EQ(bp0.Get(PoolFigure::DwtHits), 4);
    EXPECT_EQ(bp0.Get(PoolFigure::VdwtHits), 9);
    EXPECT_TRUE(bp0.complete);
    ASSERT_EQ(bp0.dataSets.size(), 2U);
    const DisplayDataSet& ts = bp0.dataSets[0];
    EXPECT_FALSE(ts.indexSpace);
    EXPECT_EQ(ts.database, "DSNDB06");
    EXPECT_EQ(ts.space, "SYSTSTAB");
    EXPECT_EQ(ts.part, 1);
    EXPECT_EQ(ts.Get(DataSetFigure::UseCount), 3);
    EXPECT_EQ(ts.Get(DataSetFigure::CachedPages), 12);
    EXPECT_EQ(ts.Get(DataSetFigure::CachedPagesMax), 40);
    EXPECT_EQ(ts.Get(DataSetFigure::ChangedPages), 2);
    EXPECT_EQ(ts.Get(DataSetFigure::ChangedPagesMax), 8);
    EXPECT_EQ(ts.Get(DataSetFigure::SyncAvgDelay), 3); // not the zHyperLink part's 1
    EXPECT_EQ(ts.Get(DataSetFigure::SyncMaxDelay), 19);
    EXPECT_EQ(ts.Get(DataSetFigure::SyncPages), 56);
    const DisplayDataSet& ix = bp0.dataSets[1];
    EXPECT_TRUE(ix.indexSpace);
    EXPECT_EQ(ix.space, "DSNDTX01");
    EXPECT_EQ(ix.part, 2);
    EXPECT_EQ(ix.Get(DataSetFigure::CachedPagesMax), 6);
    const DisplayPool& bp8 = d.pools[1];
    EXPECT_EQ(bp8.name, "BP8K0");
    EXPECT_EQ(bp8.id, 100);
    EXPECT_EQ(bp8.autosize, "YES");
    EXPECT_TRUE(bp8.complete); // no counters shown: its section ends at DSN9022I
    EXPECT_TRUE(r.notes.empty());
    EXPECT_TRUE(r.unknown.empty());
}

TEST(DisplayParse, ReadsDb2V13BatchOutput) {
    ExpectDb2V13Batch(ParseDisplays(DataFile("db2_13_batch.txt")));
}

TEST(DisplayParse, ReadsCrlfAndScreenCopiesAlike) {
    const std::string lf = DataFile("db2_13_batch.txt");
    std::string crlf;
    std::string indented; // a screen copy: more blanks in front, no carriage control
    for (const char c : lf) {
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
        indented += c == '\n' ? std::string("\n   ") : std::string(1, c);
    }
    ExpectDb2V13Batch(ParseDisplays(crlf));
    ExpectDb2V13Batch(ParseDisplays(indented));
}

TEST(DisplayParse, ReadsSyslogWithSubsystemsInterleavedAndSeveralDisplays) {
    const DisplayParse r = ParseDisplays(DataFile("syslog_two_subsystems.txt"));
    ASSERT_FALSE(r.fault) << r.fault->description;
    ASSERT_EQ(r.displays.size(), 3U);
    const Db2Display& a1 = r.displays[0];
    const Db2Display& b = r.displays[1];
    const Db2Display& a2 = r.displays[2];
    EXPECT_EQ(a1.subsystem, "DB2A");
    EXPECT_EQ(a1.system, "SYSA");
    EXPECT_EQ(a1.displayedAt, "2026-12-08 10:00:00");
    EXPECT_EQ(b.subsystem, "DB2B");
    EXPECT_EQ(a2.subsystem, "DB2A");
    EXPECT_EQ(a2.displayedAt, "2026-12-08 10:15:00");
    ASSERT_EQ(a1.pools.size(), 1U);
    ASSERT_EQ(b.pools.size(), 1U);
    ASSERT_EQ(a2.pools.size(), 1U);
    EXPECT_EQ(a1.pools[0].Get(PoolFigure::VpSize), 2000);
    EXPECT_EQ(a1.pools[0].Get(PoolFigure::Allocated), 2000);
    EXPECT_EQ(a1.pools[0].Get(PoolFigure::RandomGetpages), 1234);
    EXPECT_EQ(a1.pools[0].Get(PoolFigure::DwtHits), 1);
    EXPECT_EQ(a1.pools[0].incrementalSince, "09:45:00 DEC 8, 2026");
    EXPECT_TRUE(a1.pools[0].complete);
    EXPECT_EQ(b.pools[0].Get(PoolFigure::UseCount), 7);
    EXPECT_EQ(b.pools[0].Get(PoolFigure::VpSize), 3000);
    EXPECT_EQ(b.pools[0].Get(PoolFigure::SyncReadIosRandom), 8);
    EXPECT_TRUE(b.pools[0].complete);
    EXPECT_EQ(a2.pools[0].Get(PoolFigure::UseCount), 21);
    EXPECT_EQ(a2.pools[0].Get(PoolFigure::SyncReadIosRandom), 65); // its label runs onto the next line
    EXPECT_EQ(a2.pools[0].Get(PoolFigure::VdwtHits), 4);
    ASSERT_EQ(r.unknown.size(), 1U);
    EXPECT_EQ(r.unknown[0], (UnknownMessage{"DSNB499I", 12, 2}));
    EXPECT_TRUE(r.notes.empty());
}

TEST(DisplayParse, SplitsDisplaysAtCompletionRepeatedPoolsAndTimeJumps) {
    const std::string pool = " DSNB401I  -DB2A BUFFERPOOL NAME BP1, BUFFERPOOL ID 1, USE COUNT 1\n";
    const std::string done = " DSN9022I  -DB2A DSNB1CMD '-DISPLAY BUFFERPOOL' NORMAL COMPLETION\n";
    EXPECT_EQ(ParseDisplays(pool + done + pool + done).displays.size(), 2U);
    EXPECT_EQ(ParseDisplays(pool + pool + done).displays.size(), 2U); // the same pool again
    const DisplayParse one = ParseDisplays(pool + " DSNB401I  -DB2A BUFFERPOOL NAME BP2, BUFFERPOOL ID 2\n" + done);
    ASSERT_EQ(one.displays.size(), 1U);
    EXPECT_EQ(one.displays[0].pools.size(), 2U);

    const auto syslog = [](const std::string& time, const std::string& text) {
        return "N 0000000 SYSA     26342 " + time + " STC01234 00000090  " + text + "\n";
    };
    const std::string bp1 = "DSNB401I -DB2A BUFFERPOOL NAME BP1, BUFFERPOOL ID 1, USE COUNT 1";
    const std::string bp2 = "DSNB401I -DB2A BUFFERPOOL NAME BP2, BUFFERPOOL ID 2, USE COUNT 1";
    EXPECT_EQ(ParseDisplays(syslog("10:00:00.00", bp1) + syslog("10:00:01.00", bp2)).displays.size(), 1U);
    const DisplayParse jumped = ParseDisplays(syslog("10:00:00.00", bp1) + syslog("10:15:00.00", bp2));
    ASSERT_EQ(jumped.displays.size(), 2U);
    EXPECT_EQ(jumped.displays[1].displayedAt, "2026-12-08 10:15:00");
}

TEST(DisplayParse, KeepsAPoolCutOffByTheNextOneWithANote) {
    const std::string text = " DSNB401I  -DB2A BUFFERPOOL NAME BP1, BUFFERPOOL ID 1, USE COUNT 1\n"
                             " DSNB409I  -DB2A INCREMENTAL STATISTICS SINCE 10:00:00 DEC 8, 2026\n"
                             " DSNB411I  -DB2A RANDOM GETPAGE    =   10 SYNC READ I/O (R) =  2\n"
                             " DSNB401I  -DB2A BUFFERPOOL NAME BP2, BUFFERPOOL ID 2, USE COUNT 1\n"
                             " DSN9022I  -DB2A DSNB1CMD '-DISPLAY BUFFERPOOL' NORMAL COMPLETION\n";
    const DisplayParse r = ParseDisplays(text);
    ASSERT_EQ(r.displays.size(), 1U);
    ASSERT_EQ(r.displays[0].pools.size(), 2U);
    EXPECT_FALSE(r.displays[0].pools[0].complete);
    EXPECT_EQ(r.displays[0].pools[0].Get(PoolFigure::RandomGetpages), 10);
    EXPECT_TRUE(r.displays[0].pools[1].complete);
    ASSERT_EQ(r.notes.size(), 1U);
    EXPECT_EQ(r.notes[0].line, 1);
}

struct FaultCase {
    const char* name;
    std::string text;
    DisplayFault fault;
};

TEST(DisplayParse, StopsAtAValueThatIsNoNumberOrExceeds64Bits) {
    const std::string head = "DSNB401I  -DB2A BUFFERPOOL NAME BP0, BUFFERPOOL ID 0, USE COUNT 1\n";
    const std::vector<FaultCase> cases{
        {"letters",
         head + "DSNB411I  -DB2A RANDOM GETPAGE = 12X4 SYNC READ I/O (R) = 1\n",
         {2, "DSNB411I", "RANDOM GETPAGE", "not a number: 12X4"}},
        {"beyond 64 bits",
         head + "DSNB421I  -DB2A DWT HIT = 1\n   VERTICAL DWT HIT = 99999999999999999999\n",
         {3, "DSNB421I", "VERTICAL DWT HIT", "exceeds 64 bits: 99999999999999999999"}},
        {"use count",
         "DSNB401I  -DB2A BUFFERPOOL NAME BP0, BUFFERPOOL ID 0, USE COUNT many\n",
         {1, "DSNB401I", "USE COUNT", "not a number: many"}},
        {"grouped digits",
         head + "DSNB402I  -DB2A BUFFER POOL SIZE = 1,000 BUFFERS\n",
         {2, "DSNB402I", "BUFFER POOL SIZE", "not a number: 1,000"}},
        {"empty value",
         head + "DSNB420I  -DB2A SYS PAGE UPDATES =\n",
         {2, "DSNB420I", "SYS PAGE UPDATES", "not a number: "}},
        {"data set figure",
         head + "DSNB467I  -DB2A STATISTICS FOR TABLE SPACE DB.TS INSTANCE 1 -\n"
                "  DATA SET #: 1 USE COUNT: 0\nDSNB453I  -DB2A VP CACHED PAGES -\n"
                "  CURRENT = 1 MAX = 2\n  CHANGED = 0 MAX = -\n",
         {6, "DSNB453I", "MAX", "not a number: -"}},
    };
    for (const FaultCase& c : cases) {
        const DisplayParse r = ParseDisplays(c.text + "DSN9022I  -DB2A DSNB1CMD NORMAL COMPLETION\n");
        ASSERT_TRUE(r.fault) << c.name;
        EXPECT_EQ(*r.fault, c.fault) << c.name;
        EXPECT_EQ(r.displays.size(), 1U) << c.name; // what came before is kept
    }
}

TEST(DisplayParse, ReadsGroupBufferPools) {
    const DisplayParse r = ParseDisplays(DataFile("gbp_gdetail.txt"));
    ASSERT_FALSE(r.fault) << r.fault->description;
    ASSERT_EQ(r.displays.size(), 1U);
    const Db2Display& d = r.displays[0];
    EXPECT_EQ(d.subsystem, "DB2A");
    EXPECT_TRUE(d.pools.empty());
    ASSERT_EQ(d.groupPools.size(), 2U);
    EXPECT_EQ(d.groupPools[0].name, "GBP0");
    EXPECT_EQ(d.groupPools[0].line, 1);
    EXPECT_EQ(d.groupPools[0].Get(GroupPoolFigure::RatioTenths), 55);
    EXPECT_EQ(d.groupPools[0].Get(GroupPoolFigure::CastoutPages), 812);
    EXPECT_EQ(d.groupPools[1].name, "GBP8K0");
    EXPECT_EQ(d.groupPools[1].Get(GroupPoolFigure::RatioTenths), 100);
    EXPECT_EQ(d.groupPools[1].Get(GroupPoolFigure::CastoutPages), std::nullopt);
    EXPECT_TRUE(r.unknown.empty());
}

TEST(DisplayParse, GroupPoolsShownRightAfterThePoolsJoinTheirDisplay) {
    const std::string pools = DataFile("db2_13_batch.txt");
    const std::string groups = DataFile("gbp_gdetail.txt");
    const DisplayParse joined = ParseDisplays(pools + groups);
    ASSERT_EQ(joined.displays.size(), 1U);
    EXPECT_EQ(joined.displays[0].pools.size(), 2U);
    EXPECT_EQ(joined.displays[0].groupPools.size(), 2U);
    // A second display of the group pools is a display of its own.
    EXPECT_EQ(ParseDisplays(pools + groups + groups).displays.size(), 2U);
}

TEST(DisplayParse, ReportsProgressUpToAHundred) {
    const std::string text = DataFile("db2_13_batch.txt");
    std::vector<int> seen;
    ParseDisplays(text, [&](int percent) { seen.push_back(percent); });
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back(), 100);
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
}

} // namespace
