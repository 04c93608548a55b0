#include <gtest/gtest.h>

#include <string>

#include "display/display_parse.h"
#include "display_writer.h"

namespace ornexa {
namespace {

using samplegen::DisplayForm;
using samplegen::DisplaySampleOptions;

std::string FigureList(const DisplayPool& pool) {
    std::string text;
    for (std::size_t f = 0; f < PoolFigureCount; ++f) {
        const auto v = pool.figures.values[f];
        text += std::string(NameOf(static_cast<PoolFigure>(f)).key) + "=" + (v ? std::to_string(*v) : "-") + " ";
    }
    return text;
}

std::string FigureList(const DisplayGroupPool& group) {
    std::string text;
    for (std::size_t f = 0; f < GroupPoolFigureCount; ++f) {
        const auto v = group.figures.values[f];
        text += std::string(NameOf(static_cast<GroupPoolFigure>(f)).key) + "=" + (v ? std::to_string(*v) : "-") + " ";
    }
    return text;
}

std::string FigureList(const DisplayDataSet& dataSet) {
    std::string text = dataSet.database + "." + dataSet.space + " " + std::to_string(dataSet.part) + " ";
    for (std::size_t f = 0; f < DataSetFigureCount; ++f) {
        const auto v = dataSet.figures.values[f];
        text += std::string(NameOf(static_cast<DataSetFigure>(f)).key) + "=" + (v ? std::to_string(*v) : "-") + " ";
    }
    return text;
}

std::string FigureList(const std::optional<SimulatedPoolFigures>& sim) {
    if (!sim) {
        return "none";
    }
    std::string text;
    for (const auto& v : {sim->size, sim->seqThreshold, sim->avoidableSyncRandom, sim->avoidableSyncSeq,
                          sim->avoidableAsync, sim->avoidableSyncDelayMs, sim->pagesMovedIn}) {
        text += (v ? std::to_string(*v) : "-") + " ";
    }
    return text;
}

// What the writer writes, the reader reads: every figure of every pool, data set and group buffer pool.
TEST(DisplayRoundTrip, TheReaderReadsEveryFigureTheWriterWrote) {
    struct Case {
        const char* name;
        DisplaySampleOptions options;
    };
    DisplaySampleOptions syslog;
    syslog.pools = 5;
    syslog.dataSetsPerPool = 3;
    syslog.simulate = true;
    syslog.groupPools = true;
    syslog.series = 2;
    DisplaySampleOptions batch = syslog;
    batch.form = DisplayForm::Batch;
    batch.cumulative = true;
    batch.series = 3;
    batch.restartAfter = 2;
    DisplaySampleOptions screen = syslog;
    screen.form = DisplayForm::Screen;
    screen.subsystems = {"DB2A", "DB2B"};
    const Case cases[] = {{"syslog", syslog}, {"batch", batch}, {"screen", screen}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<Db2Display> written = samplegen::DisplaySampleFigures(c.options);
        const DisplayParse read = ParseDisplays(samplegen::WriteDisplaySample(c.options));
        EXPECT_FALSE(read.fault);
        EXPECT_TRUE(read.notes.empty());
        EXPECT_TRUE(read.unknown.empty());
        ASSERT_EQ(read.displays.size(), written.size());
        for (std::size_t d = 0; d < written.size(); ++d) {
            const Db2Display& w = written[d];
            const Db2Display& r = read.displays[d];
            EXPECT_EQ(r.subsystem, w.subsystem);
            EXPECT_EQ(r.displayedAt, w.displayedAt);
            ASSERT_EQ(r.pools.size(), w.pools.size());
            for (std::size_t p = 0; p < w.pools.size(); ++p) {
                const DisplayPool& wp = w.pools[p];
                const DisplayPool& rp = r.pools[p];
                EXPECT_EQ(rp.name, wp.name);
                EXPECT_EQ(FigureList(rp), FigureList(wp)) << wp.name;
                EXPECT_EQ(rp.pgfix + rp.pgsteal + rp.frameSize + rp.autosize,
                          wp.pgfix + wp.pgsteal + wp.frameSize + wp.autosize);
                EXPECT_EQ(rp.incrementalSince, wp.incrementalSince);
                EXPECT_EQ(rp.cumulativeSince, wp.cumulativeSince);
                EXPECT_EQ(FigureList(rp.simulated), FigureList(wp.simulated)) << wp.name;
                ASSERT_EQ(rp.dataSets.size(), wp.dataSets.size()) << wp.name;
                for (std::size_t s = 0; s < wp.dataSets.size(); ++s) {
                    EXPECT_EQ(FigureList(rp.dataSets[s]), FigureList(wp.dataSets[s]));
                    EXPECT_EQ(rp.dataSets[s].indexSpace, wp.dataSets[s].indexSpace);
                }
            }
            ASSERT_EQ(r.groupPools.size(), w.groupPools.size());
            for (std::size_t g = 0; g < w.groupPools.size(); ++g) {
                EXPECT_EQ(r.groupPools[g].name, w.groupPools[g].name);
                EXPECT_EQ(FigureList(r.groupPools[g]), FigureList(w.groupPools[g]));
            }
        }
    }
}

} // namespace
} // namespace ornexa
