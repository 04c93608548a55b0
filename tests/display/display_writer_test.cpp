#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "display_writer.h"

namespace ornexa::samplegen {
namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

// The message text of a line, behind the SYSLOG columns when it has them.
std::string TextOf(const std::string& line, DisplayForm form) {
    return form == DisplayForm::Syslog ? line.substr(SyslogColumns::Text) : line;
}

std::int64_t ValueAfter(const std::string& text, const std::string& label) {
    const auto at = text.find(label);
    EXPECT_NE(at, std::string::npos) << label << " in " << text;
    const auto equals = text.find('=', at);
    return std::stoll(text.substr(equals + 1));
}

DisplaySampleOptions Small(DisplayForm form = DisplayForm::Syslog) {
    DisplaySampleOptions o;
    o.form = form;
    o.series = 3;
    o.pools = 6;
    o.dataSetsPerPool = 5;
    o.simulate = true;
    o.groupPools = true;
    o.seed = 42;
    return o;
}

TEST(DisplayWriter, SameSeedSameBytesOtherSeedOtherFigures) {
    const DisplaySampleOptions a = Small();
    DisplaySampleOptions b = a;
    b.seed = 43;
    const std::string text = WriteDisplaySample(a);
    EXPECT_EQ(text, WriteDisplaySample(a));
    EXPECT_NE(text, WriteDisplaySample(b));
    // The streamed form writes the same bytes as the string.
    std::ostringstream streamed;
    std::vector<Db2Display> written;
    WriteDisplaySample(a, streamed, &written);
    EXPECT_EQ(streamed.str(), text);
    EXPECT_EQ(written.size(), 3U);
}

TEST(DisplayWriter, PoolNamesAreDb2sInIdOrder) {
    std::set<std::string> names;
    for (int i = 0; i < DisplayPoolNames; ++i) {
        names.insert(DisplayPoolName(i));
    }
    EXPECT_EQ(names.size(), 80U);
    EXPECT_TRUE(names.count("BP49") && names.count("BP8K9") && names.count("BP16K9") && names.count("BP32K9"));
    DisplaySampleOptions o = Small();
    o.pools = 8;
    std::vector<std::string> shown;
    const std::vector<Db2Display> eight = DisplaySampleFigures(o);
    for (const DisplayPool& pool : eight.front().pools) {
        shown.push_back(pool.name);
    }
    EXPECT_EQ(shown, (std::vector<std::string>{"BP0", "BP1", "BP2", "BP3", "BP4", "BP32K", "BP8K0", "BP16K0"}));
    o.pools = 81;
    EXPECT_THROW(WriteDisplaySample(o), std::invalid_argument);
    o.pools = 0;
    EXPECT_THROW(WriteDisplaySample(o), std::invalid_argument);
}

TEST(DisplayWriter, SyslogLinesKeepTheHardcopyColumns) {
    // Pools of many data sets, so that a pool's section outgrows one multi-line message of 255 lines.
    DisplaySampleOptions o = Small();
    o.series = 1;
    o.dataSetsPerPool = 60;
    const std::vector<std::string> lines = Lines(WriteDisplaySample(o));
    const auto firstLines = std::count_if(lines.begin(), lines.end(), [](const std::string& l) { return l[0] == 'M'; });
    EXPECT_GT(firstLines, o.pools + 4); // every pool and group pool, and more
    const std::regex head(R"(^[NM][ C][0-9A-F]{7} SYSA     \d{5} \d\d:\d\d:\d\d\.\d\d [A-Z0-9 ]{8} [0-9A-F]{8}  .)");
    const std::regex continuation(R"(^[DE] {36} *\d+ [0-9A-F]{8}  .)");
    std::string multiLineId;
    std::size_t run = 0; // continuation lines of the message so far
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        ASSERT_GT(line.size(), SyslogColumns::Text) << i;
        if (line[0] == 'N' || line[0] == 'M') {
            EXPECT_TRUE(std::regex_search(line, head)) << line;
            EXPECT_EQ(line.substr(SyslogColumns::Date, 5), "26342") << line; // 8 December 2026
            multiLineId.clear();
            run = 0;
        } else {
            EXPECT_LT(++run, 255U) << line;
            EXPECT_TRUE(std::regex_search(line, continuation)) << line;
            const std::string id = line.substr(SyslogColumns::JobId, 8);
            // Every continuation line of one message has the same id; the last is an end line.
            if (!multiLineId.empty()) {
                EXPECT_EQ(id, multiLineId) << line;
            }
            multiLineId = id;
            const bool next = i + 1 < lines.size() && (lines[i + 1][0] == 'D' || lines[i + 1][0] == 'E');
            EXPECT_EQ(line[0], next ? 'D' : 'E') << line;
        }
    }
    EXPECT_EQ(TextOf(lines.front(), DisplayForm::Syslog), "-DB2A DIS BPOOL(*) DETAIL(INTERVAL) LSTATS(*)");
    EXPECT_EQ(lines.front()[1], 'C');
}

TEST(DisplayWriter, MessagesStandAtTheirDocumentedLayout) {
    DisplaySampleOptions o = Small(DisplayForm::Screen);
    o.series = 1;
    const std::vector<std::string> lines = Lines(WriteDisplaySample(o));
    const std::vector<Db2Display> figures = DisplaySampleFigures(o);
    const DisplayPool& pool = figures.front().pools.front();
    const auto at = static_cast<std::size_t>(pool.line - 1);
    EXPECT_EQ(lines[at], "DSNB401I -DB2A BUFFERPOOL NAME BP0, BUFFERPOOL ID 0, USE COUNT " +
                             std::to_string(*pool.Get(PoolFigure::UseCount)));
    std::size_t reads = at;
    while (lines[reads].rfind("DSNB411I", 0) != 0) {
        ++reads;
    }
    const std::regex pair(R"(^(DSNB411I -DB2A | {13})[A-Z.() /-]+ += +\d+  [A-Z.() /-]+ += +\d+$)");
    for (std::size_t i = reads; i < reads + 4; ++i) {
        EXPECT_TRUE(std::regex_match(lines[i], pair)) << lines[i];
    }
    EXPECT_EQ(ValueAfter(lines[reads], "RANDOM GETPAGE"), *pool.Get(PoolFigure::RandomGetpages));
    EXPECT_EQ(ValueAfter(lines[reads], "SYNC READ I/O (R)"), *pool.Get(PoolFigure::SyncReadIosRandom));
    EXPECT_EQ(ValueAfter(lines[reads + 1], "SYNC READ I/O (S)"), *pool.Get(PoolFigure::SyncReadIosSeq));
    EXPECT_EQ(lines[reads + 5], "DSNB412I -DB2A SEQUENTIAL PREFETCH -");
    EXPECT_EQ(ValueAfter(lines[reads + 6], "PREFETCH  I/O"), *pool.Get(PoolFigure::SeqPrefetchIos));
    EXPECT_EQ(lines[at - 1], "-DB2A DIS BPOOL(*) DETAIL(INTERVAL) LSTATS(*)");
    EXPECT_NE(std::find(lines.begin(), lines.end(), "DSN9022I -DB2A DSNB1CMD '-DISPLAY BUFFERPOOL' NORMAL COMPLETION"),
              lines.end());
    EXPECT_EQ(lines.back(), "DSN9022I -DB2A DSNB1CMD '-DISPLAY GROUPBUFFERPOOL' NORMAL COMPLETION");
}

// Every line number the figures give points at the message that starts what it numbers, in every form.
TEST(DisplayWriter, FiguresNameTheLinesTheyWereWrittenAt) {
    for (const DisplayForm form : {DisplayForm::Syslog, DisplayForm::Batch, DisplayForm::Screen}) {
        const DisplaySampleOptions o = Small(form);
        const std::vector<std::string> lines = Lines(WriteDisplaySample(o));
        const std::vector<Db2Display> displays = DisplaySampleFigures(o);
        ASSERT_EQ(displays.size(), 3U);
        for (const Db2Display& display : displays) {
            EXPECT_EQ(display.subsystem, "DB2A");
            EXPECT_EQ(display.system.empty(), form != DisplayForm::Syslog);
            EXPECT_EQ(display.displayedAt.empty(), form != DisplayForm::Syslog);
            EXPECT_EQ(display.line, display.pools.front().line);
            for (const DisplayPool& pool : display.pools) {
                const std::string text = TextOf(lines[static_cast<std::size_t>(pool.line - 1)], form);
                EXPECT_EQ(text.rfind("DSNB401I -DB2A BUFFERPOOL NAME " + pool.name + ",", 0), 0U) << text;
                for (const DisplayDataSet& d : pool.dataSets) {
                    const std::string set = TextOf(lines[static_cast<std::size_t>(d.line - 1)], form);
                    EXPECT_EQ(set, std::string(d.indexSpace ? "DSNB465I -DB2A INDEX SPACE = "
                                                            : "DSNB464I -DB2A TABLE SPACE = ") +
                                       d.database + "." + d.space +
                                       ", USE COUNT = " + std::to_string(*d.Get(DataSetFigure::UseCount)));
                }
            }
            ASSERT_EQ(display.groupPools.size(), 4U);
            for (const DisplayGroupPool& g : display.groupPools) {
                EXPECT_EQ(TextOf(lines[static_cast<std::size_t>(g.line - 1)], form),
                          "DSNB750I -DB2A DISPLAY FOR GROUP BUFFER POOL " + g.name + " FOLLOWS");
            }
        }
        if (form == DisplayForm::Batch) {
            EXPECT_EQ(lines.front(), "READY");
            EXPECT_EQ(lines[1], "DSN SYSTEM(DB2A)");
            EXPECT_EQ(lines[3], "-DIS BPOOL(*) DETAIL(INTERVAL) LSTATS(*)");
            EXPECT_EQ(lines.back(), "END");
        }
    }
    EXPECT_EQ(DisplaySampleFigures(Small())[1].displayedAt, "2026-12-08 08:15:00");
}

// Several subsystems take turns, each display behind its own command prefix and with figures of its own.
TEST(DisplayWriter, SubsystemsTakeTurns) {
    DisplaySampleOptions o = Small(DisplayForm::Screen);
    o.subsystems = {"DB2A", "DB2B"};
    o.groupPools = false;
    const std::vector<std::string> lines = Lines(WriteDisplaySample(o));
    const std::vector<Db2Display> displays = DisplaySampleFigures(o);
    ASSERT_EQ(displays.size(), 6U);
    for (std::size_t k = 0; k < displays.size(); ++k) {
        const std::string& name = o.subsystems[k % 2];
        EXPECT_EQ(displays[k].subsystem, name);
        EXPECT_EQ(lines[static_cast<std::size_t>(displays[k].line - 2)],
                  "-" + name + " DIS BPOOL(*) DETAIL(INTERVAL) LSTATS(*)");
        EXPECT_EQ(TextOf(lines[static_cast<std::size_t>(displays[k].line - 1)], o.form).substr(0, 15),
                  "DSNB401I -" + name + " ");
    }
    EXPECT_NE(displays[0].pools[0].Get(PoolFigure::RandomGetpages),
              displays[1].pools[0].Get(PoolFigure::RandomGetpages));
}

void ExpectConsistent(const DisplayPool& p) {
    auto v = [&p](PoolFigure f) { return p.Get(f).value(); };
    EXPECT_GE(v(PoolFigure::RandomGetpages), v(PoolFigure::SyncReadIosRandom)) << p.name;
    EXPECT_GE(v(PoolFigure::SeqGetpages), v(PoolFigure::SyncReadIosSeq)) << p.name;
    for (const PoolFigure requests :
         {PoolFigure::SeqPrefetchRequests, PoolFigure::ListPrefetchRequests, PoolFigure::DynPrefetchRequests}) {
        const auto r = static_cast<std::size_t>(requests);
        EXPECT_GE(p.figures.values[r].value(), p.figures.values[r + 1].value()) << p.name;     // requests >= I/Os
        EXPECT_GE(p.figures.values[r + 2].value(), p.figures.values[r + 1].value()) << p.name; // pages >= I/Os
    }
    EXPECT_GE(v(PoolFigure::PagesWritten), v(PoolFigure::AsyncWriteIos) + v(PoolFigure::SyncWriteIos)) << p.name;
    EXPECT_GE(v(PoolFigure::ParallelRequests), v(PoolFigure::DegradedParallel)) << p.name;
    EXPECT_LE(v(PoolFigure::SeqChain), v(PoolFigure::VpSize)) << p.name;
    for (const DisplayDataSet& d : p.dataSets) {
        if (d.Get(DataSetFigure::CachedPages)) {
            EXPECT_GE(*d.Get(DataSetFigure::CachedPagesMax), *d.Get(DataSetFigure::CachedPages));
            EXPECT_GE(*d.Get(DataSetFigure::CachedPages), *d.Get(DataSetFigure::ChangedPages));
            EXPECT_GE(*d.Get(DataSetFigure::ChangedPagesMax), *d.Get(DataSetFigure::ChangedPages));
        }
        if (d.Get(DataSetFigure::SyncPages)) {
            EXPECT_GE(*d.Get(DataSetFigure::SyncMaxDelay), *d.Get(DataSetFigure::SyncAvgDelay));
        }
        if (d.Get(DataSetFigure::AsyncPages)) {
            EXPECT_GE(*d.Get(DataSetFigure::AsyncPages), *d.Get(DataSetFigure::AsyncIos));
            EXPECT_GE(*d.Get(DataSetFigure::AsyncMaxDelay), *d.Get(DataSetFigure::AsyncAvgDelay));
        }
    }
}

TEST(DisplayWriter, FiguresKeepDb2sRules) {
    DisplaySampleOptions o = Small();
    o.series = 5;
    o.pools = 20;
    bool anyAbsent = false;
    int simulated = 0;
    for (const Db2Display& display : DisplaySampleFigures(o)) {
        for (const DisplayPool& pool : display.pools) {
            ExpectConsistent(pool);
            EXPECT_TRUE(pool.incrementalSince.has_value());
            EXPECT_FALSE(pool.cumulativeSince.has_value());
            if (pool.simulated) {
                ++simulated;
                EXPECT_GT(*pool.simulated->size, 0);
                EXPECT_GE(*pool.simulated->pagesMovedIn, *pool.simulated->avoidableSyncRandom);
            }
            for (const DisplayDataSet& d : pool.dataSets) {
                anyAbsent = anyAbsent || !d.Get(DataSetFigure::CachedPages) || !d.Get(DataSetFigure::AsyncPages);
            }
        }
    }
    // Db2 leaves out the data set messages whose figures are all zero; the figures say so too.
    EXPECT_TRUE(anyAbsent);
    EXPECT_GT(simulated, 0);
}

// Counters since the pool's start only grow, until Db2 restarts and they count from zero again.
TEST(DisplayWriter, CumulativeCountersGrowUntilARestart) {
    DisplaySampleOptions o = Small();
    o.series = 5;
    o.cumulative = true;
    o.restartAfter = 3;
    const std::vector<Db2Display> displays = DisplaySampleFigures(o);
    const std::string text = WriteDisplaySample(o);
    EXPECT_NE(text.find("DSNB410I -DB2A CUMULATIVE STATISTICS SINCE "), std::string::npos);
    EXPECT_EQ(text.find("DSNB409I"), std::string::npos);
    EXPECT_NE(text.find("DIS BPOOL(*) DETAIL(*) LSTATS(*)"), std::string::npos);
    for (std::size_t k = 1; k < displays.size(); ++k) {
        for (std::size_t p = 0; p < displays[k].pools.size(); ++p) {
            const DisplayPool& before = displays[k - 1].pools[p];
            const DisplayPool& now = displays[k].pools[p];
            ExpectConsistent(now);
            const bool restarted = k == 3;
            EXPECT_EQ(now.cumulativeSince != before.cumulativeSince, restarted) << k;
            for (const PoolFigure f : {PoolFigure::RandomGetpages, PoolFigure::SeqPrefetchPages,
                                       PoolFigure::PagesWritten, PoolFigure::SyncReadIosRandom}) {
                if (restarted) {
                    EXPECT_LT(*now.Get(f), *before.Get(f)) << now.name;
                } else {
                    EXPECT_GE(*now.Get(f), *before.Get(f)) << now.name;
                }
            }
            if (now.simulated && !restarted) {
                EXPECT_GE(*now.simulated->pagesMovedIn, *before.simulated->pagesMovedIn);
            }
        }
    }
}

TEST(DisplayWriter, EbcdicConvertsBack) {
    const std::string text = WriteDisplaySample(Small(DisplayForm::Batch));
    for (const EbcdicPage page : {EbcdicPage::Cp037, EbcdicPage::Cp1047}) {
        const std::string bytes = ToEbcdic(text, page);
        ASSERT_EQ(bytes.size(), text.size());
        EXPECT_EQ(bytes.substr(0, 5), "\xD9\xC5\xC1\xC4\xE8"); // READY
        EXPECT_EQ(bytes[5], '\x15');                           // the new line that ends READY
        EXPECT_EQ(bytes.find('\n'), std::string::npos);
        EXPECT_EQ(bytes.find('\x25'), std::string::npos);
        EXPECT_EQ(FromEbcdic(bytes, page), text);
    }
    // The code pages differ where the display has brackets: none, so both read "(" alike.
    EXPECT_EQ(ToEbcdic("(=)", EbcdicPage::Cp037), ToEbcdic("(=)", EbcdicPage::Cp1047));
}

} // namespace
} // namespace ornexa::samplegen
