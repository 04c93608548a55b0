#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "advice/pool_commands.h"
#include "rules/config_rules.h"
#include "stat_fixture.h"

namespace ornexa {
namespace {

PoolRecord QuietPool(std::string_view name) {
    PoolRecord p = test::TestPool(name);
    p.VPSeqThreshold = 0;
    p.HPSize = 0;
    p.PoolWriteIOs = 0;
    p.DWTH = 50;
    p.VWTH = 0;
    p.AvgSyncIOTime = 0;
    p.AvgSeqPrefetchIOTime = 0;
    p.AvgListPrefetchIOTime = 0;
    p.AvgDynPrefetchIOTime = 0;
    return p;
}

Report ThreePools(const PoolRecord& pool, const std::vector<ObjectRecord>& objects, std::string_view version = "7.1") {
    Report report;
    test::AddPool(report, pool, objects);
    test::AddPool(report, QuietPool("BP8"));
    test::AddPool(report, QuietPool("BP9"));
    report.Header.ReportPoolCount = 3;
    report.Header.Db2Version = version;
    return report;
}

ObjectRecord Obj(std::string_view name, char type) {
    return test::TestObject("BP1", name, type);
}

PoolRecord Pool(std::string_view name, const std::function<void(PoolRecord&)>& set) {
    PoolRecord p = QuietPool(name);
    set(p);
    return p;
}

std::vector<std::string> Texts(const PoolAdvice& advice) {
    std::vector<std::string> texts;
    for (const Advice& a : advice.commands) {
        texts.push_back(a.source + ": " + a.text);
    }
    return texts;
}

struct CommandCase {
    const char* name;
    Report report;
    PoolUsage usage;
    std::vector<std::string> expected;
};

TEST(RuleCommands, EachRuleWithAChangeGivesItsCommand) {
    const auto writes = [](PoolRecord& p) {
        p.PoolPagesWritten = 3000;
        p.PoolWriteIOs = 100;
        p.VPSize = 1000;
        p.VWTH = 10;
        p.DWTH = 50;
    };
    const std::vector<ObjectRecord> sortWork{Obj("DSNDB07.W1", 'T')};
    const CommandCase cases[] = {
        {"rule 10",
         ThreePools(Pool("BP1", [](PoolRecord& p) { p.VPSeqThreshold = 26; }), {}),
         PoolUsage::Random,
         {"rule 10: -ALTER BUFFERPOOL(BP1) VPSEQT(25)"}},
        {"rule 20",
         ThreePools(Pool("BP1", [](PoolRecord& p) { p.VPSeqThreshold = 90; }), {}),
         PoolUsage::Sequential,
         {"rule 20: -ALTER BUFFERPOOL(BP1) VPSEQT(90)"}},
        {"rule 21",
         ThreePools(Pool("BP1", [](PoolRecord& p) { p.VPSeqThreshold = 89; }), sortWork),
         PoolUsage::Sequential,
         {"rule 21: -ALTER BUFFERPOOL(BP1) VPSEQT(95)"}},
        {"rules 24 and 26 with the figures of their texts",
         ThreePools(Pool("BP1", writes), {Obj("A.T1", 'T'), Obj("A.T2", 'T')}),
         PoolUsage::None,
         {"rule 24: -ALTER BUFFERPOOL(BP1) VDWQT(3,0)", "rule 26: -ALTER BUFFERPOOL(BP1) DWQT(6)"}},
        {"rule 26 of a sort pool",
         ThreePools(Pool("BP1", writes), {Obj("DSNDB07.W1", 'T'), Obj("DSNDB07.W2", 'T')}),
         PoolUsage::None,
         {"rule 26: -ALTER BUFFERPOOL(BP1) DWQT(30)"}},
        {"rule 18 before version 8",
         ThreePools(Pool("BP1",
                         [](PoolRecord& p) {
                             p.HPSize = 10;
                             p.HPSeqThreshold = 5;
                         }),
                    {}),
         PoolUsage::Random,
         {"rule 18: -ALTER BUFFERPOOL(BP1) HPSEQT(0)"}},
        {"rules 6 and 22 give one command",
         ThreePools(Pool("BP1",
                         [](PoolRecord& p) {
                             p.VPSeqThreshold = 95;
                             p.HPSize = 10;
                         }),
                    sortWork),
         PoolUsage::Sequential,
         {"rule 6: -ALTER BUFFERPOOL(BP1) HPSIZE(0)"}},
        {"placement and I/O times get none",
         ThreePools(Pool("BP1", [](PoolRecord& p) { p.AvgSyncIOTime = 31; }), {Obj("A.T", 'T'), Obj("A.I", 'I')}),
         PoolUsage::Random,
         {}},
        {"a name in lower case",
         ThreePools(Pool("bp32k", [](PoolRecord& p) { p.VPSeqThreshold = 26; }), {}),
         PoolUsage::Random,
         {"rule 10: -ALTER BUFFERPOOL(BP32K) VPSEQT(25)"}},
    };
    for (const CommandCase& c : cases) {
        SCOPED_TRACE(c.name);
        const PoolAdvice advice = RuleCommands(c.report, 1, c.usage);
        EXPECT_EQ(Texts(advice), c.expected);
        for (const Advice& a : advice.commands) {
            EXPECT_EQ(a.kind, AdviceKind::Command);
        }
        // Every matched rule gets a command or a note saying why not.
        EXPECT_GE(advice.commands.size() + advice.notes.size(), MatchedRulesFor(c.report, 1, c.usage).size());
    }
}

TEST(RuleCommands, TheHiperpoolCommandsStopAtVersion8) {
    const PoolRecord pool = Pool("BP1", [](PoolRecord& p) {
        p.HPSize = 10;
        p.HPSeqThreshold = 5;
    });
    const std::pair<const char*, bool> versions[] = {{"7.1", true},   {"V6", true}, {"8.1", false}, {"V8", false},
                                                     {"10.1", false}, {"", false},  {"X.1", false}};
    for (const auto& [version, command] : versions) {
        SCOPED_TRACE(version);
        const PoolAdvice advice = RuleCommands(ThreePools(pool, {}, version), 1, PoolUsage::Random);
        EXPECT_EQ(advice.commands.size(), command ? 1U : 0U);
        EXPECT_EQ(advice.notes.size(), command ? 0U : 1U);
    }
    EXPECT_NE(RuleCommands(ThreePools(pool, {}, "8.1"), 1, PoolUsage::Random).notes.front().find("version 8"),
              std::string::npos);
    EXPECT_NE(RuleCommands(ThreePools(pool, {}, ""), 1, PoolUsage::Random).notes.front().find("not known"),
              std::string::npos);
}

TEST(RuleCommands, NoCommandForANameThatIsNoBufferPool) {
    const PoolAdvice advice = RuleCommands(
        ThreePools(Pool("SORTPOOL", [](PoolRecord& p) { p.VPSeqThreshold = 26; }), {}), 1, PoolUsage::Random);
    EXPECT_TRUE(advice.commands.empty());
    ASSERT_EQ(advice.notes.size(), 1U);
    EXPECT_NE(advice.notes.front().find("\"SORTPOOL\" is not a buffer-pool name"), std::string::npos);
}

TEST(RuleBook, KeepsEachMatchsNumberAndFigure) {
    PoolRecord pool = QuietPool("BP1");
    pool.PoolPagesWritten = 3000;
    pool.PoolWriteIOs = 100;
    pool.VPSize = 1000;
    pool.VWTH = 10;
    pool.VPSeqThreshold = 30;
    const std::vector<MatchedRule> rules =
        MatchedRulesFor(ThreePools(pool, {Obj("A.T1", 'T'), Obj("A.T2", 'T')}), 1, PoolUsage::Random);
    ASSERT_EQ(rules.size(), 3U);
    EXPECT_EQ(rules[0].number, 10);
    EXPECT_FALSE(rules[0].figure.has_value());
    EXPECT_EQ(rules[1].number, 24);
    EXPECT_EQ(rules[1].figure, 3);
    EXPECT_EQ(rules[1].text, "  Rule # 24 - Lower the VWTH to :  3%");
    EXPECT_EQ(rules[2].figure, 6);
}

TEST(PageSizes, FromBufferPoolNames) {
    const std::pair<const char*, std::optional<int>> names[] = {
        {"BP0", 4},
        {"BP49", 4},
        {"bp1", 4},
        {" BP7  ", 4},
        {"BP50", std::nullopt},
        {"BP01", std::nullopt},
        {"BP8K0", 8},
        {"BP8K9", 8},
        {"BP8K10", std::nullopt},
        {"BP16K0", 16},
        {"BP16K9", 16},
        {"BP32K", 32},
        {"BP32K1", 32},
        {"BP32K9", 32},
        {"BP32K0", std::nullopt},
        {"BP", std::nullopt},
        {"BPX", std::nullopt},
        {"", std::nullopt},
        {"SORTPOOL", std::nullopt},
        {"BP-1", std::nullopt},
        {"BP4K1", std::nullopt},
    };
    for (const auto& [name, kb] : names) {
        EXPECT_EQ(PageSizeKB(name), kb) << '"' << name << '"';
    }
    EXPECT_EQ(BufferPoolNames(4).size(), 50U);
    EXPECT_EQ(BufferPoolNames(32).front(), "BP32K");
    EXPECT_EQ(BufferPoolNames(32).back(), "BP32K9");
    for (const int kb : {4, 8, 16, 32}) {
        for (const std::string& name : BufferPoolNames(kb)) {
            EXPECT_EQ(PageSizeKB(name), kb) << name;
        }
    }
    EXPECT_TRUE(BufferPoolNames(2).empty());
}

// A simulated pool 1 with the sizes and read I/O rates given, hit ratios 100 - rate.
struct Simulated {
    Report report;
    SimulationData sim;
};
Simulated Simulate(std::string_view name, Long vpSize, const std::vector<Long>& sizes,
                   const std::vector<double>& rates) {
    Simulated s;
    PoolRecord pool = QuietPool(name);
    pool.VPSize = vpSize;
    test::AddPool(s.report, pool);
    s.sim.Sim.SimSizeCount = static_cast<std::int16_t>(sizes.size());
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        const int k = static_cast<int>(i) + 1;
        s.sim.Sim.SimVPSize(k) = sizes[i];
        s.sim.Pools(1).SimPoolSize(k) = sizes[i];
        s.sim.Pools(1).SimReadIORate(k) = rates[i];
        s.sim.Pools(1).SimSysHitRatio(k) = 100 - rates[i];
    }
    s.sim.SimFileLoaded = true;
    s.sim.simulatedPool = 1;
    return s;
}

struct SizeCase {
    const char* name;
    Simulated simulated;
    std::optional<std::string> command;
    std::optional<long long> storageKB;
};

TEST(PoolSize, TheSmallestSizeNearTheLowestReadRate) {
    const std::vector<Long> sizes{1000, 2000, 3000, 4000};
    const std::vector<double> flattens{100, 50, 20.9, 20};
    const SizeCase cases[] = {
        {"a curve that flattens", Simulate("BP1", 1000, sizes, flattens), "-ALTER BUFFERPOOL(BP1) VPSIZE(3000)", 8000},
        {"a curve that falls steadily", Simulate("BP1", 1000, sizes, {100, 80, 60, 40}),
         "-ALTER BUFFERPOOL(BP1) VPSIZE(4000)", 12000},
        {"a pool larger than it needs", Simulate("BP1", 4000, sizes, flattens), "-ALTER BUFFERPOOL(BP1) VPSIZE(3000)",
         -4000},
        {"sizes out of order", Simulate("BP1", 1000, {4000, 1000, 3000, 2000}, {20, 100, 20.9, 50}),
         "-ALTER BUFFERPOOL(BP1) VPSIZE(3000)", 8000},
        {"8 KB pages", Simulate("BP8K0", 1000, sizes, flattens), "-ALTER BUFFERPOOL(BP8K0) VPSIZE(3000)", 16000},
        {"already the proposed size", Simulate("BP1", 3000, sizes, flattens), std::nullopt, 0},
        {"no buffer-pool name", Simulate("POOLX", 1000, sizes, flattens), std::nullopt, std::nullopt},
    };
    for (const SizeCase& c : cases) {
        SCOPED_TRACE(c.name);
        const SizeAdvice advice = ProposePoolSize(c.simulated.report, c.simulated.sim, 1);
        ASSERT_TRUE(advice.proposal.has_value());
        EXPECT_EQ(advice.proposal->storageKB, c.storageKB);
        EXPECT_EQ(advice.command.has_value(), c.command.has_value());
        if (c.command) {
            EXPECT_EQ(advice.command->text, *c.command);
            EXPECT_EQ(advice.command->source, "simulation");
        } else {
            EXPECT_FALSE(advice.notes.empty());
        }
    }
}

TEST(PoolSize, ExpectedFiguresAtTheCurrentAndProposedSize) {
    const Simulated s = Simulate("BP1", 2000, {1000, 2000, 3000, 4000}, {100, 50, 20.9, 20});
    const SizeProposal proposal = *ProposePoolSize(s.report, s.sim, 1).proposal;
    EXPECT_EQ(proposal.currentSize, 2000);
    EXPECT_EQ(proposal.proposedSize, 3000);
    EXPECT_EQ(proposal.proposedIndex, 3);
    EXPECT_DOUBLE_EQ(*proposal.currentIORate, 50);
    EXPECT_DOUBLE_EQ(*proposal.currentHitRatio, 50);
    EXPECT_DOUBLE_EQ(proposal.proposedIORate, 20.9);
    EXPECT_DOUBLE_EQ(proposal.proposedHitRatio, 79.1);
    // The current size not among the simulated ones: no figures read off for it.
    const Simulated off = Simulate("BP1", 2500, {1000, 2000, 3000, 4000}, {100, 50, 20.9, 20});
    EXPECT_FALSE(ProposePoolSize(off.report, off.sim, 1).proposal->currentIORate.has_value());
}

TEST(PoolSize, NoProposalFromAFlatOrEmptySimulation) {
    const Simulated cases[] = {
        Simulate("BP1", 1000, {1000, 2000, 3000}, {50, 50, 50}), // flat
        Simulate("BP1", 1000, {1000, 2000, 3000}, {0, 0, 0}),    // no reads at all
        Simulate("BP1", 1000, {0, 0}, {10, 5}),                  // no size with buffers
        Simulate("BP1", 1000, {1000}, {10}),                     // one size
    };
    for (const Simulated& s : cases) {
        const PoolAdvice advice = PoolCommands(s.report, s.sim, 1, PoolUsage::None);
        EXPECT_TRUE(advice.commands.empty());
        EXPECT_FALSE(advice.size.has_value());
        EXPECT_EQ(advice.notes.size(), 1U);
    }
    // A pool that is not the simulated one gets no size advice.
    Simulated other = Simulate("BP1", 1000, {1000, 2000}, {10, 5});
    other.sim.simulatedPool = 2;
    EXPECT_TRUE(PoolCommands(other.report, other.sim, 1, PoolUsage::None).notes.empty());
}

TEST(PoolSize, NeverVPSIZE0) {
    const Simulated s = Simulate("BP1", 1000, {0, 2000, 3000}, {5, 10, 5.1});
    const SizeAdvice advice = ProposePoolSize(s.report, s.sim, 1);
    ASSERT_TRUE(advice.command.has_value());
    EXPECT_EQ(advice.command->text, "-ALTER BUFFERPOOL(BP1) VPSIZE(3000)");
}

TEST(CommandsFile, CommandsAndStatementsInTheirSections) {
    PoolAdvice bp1;
    bp1.commands = {{"rule 10", AdviceKind::Command, "-ALTER BUFFERPOOL(BP1) VPSEQT(25)"},
                    {"cluster 1", AdviceKind::Sql, "ALTER TABLESPACE A.B BUFFERPOOL BP5;"}};
    bp1.notes = {"rule 3: no command"};
    const std::string text = CommandsFileText({{"BP1", bp1}, {"BP2", {}}});
    EXPECT_EQ(text, "-- Buffer pool changes written by ornexa.\n"
                    "\n-- Db2 commands\n-- BP1\n-ALTER BUFFERPOOL(BP1) VPSEQT(25)\n--   rule 3: no command\n"
                    "\n-- SQL statements\n-- BP1\nALTER TABLESPACE A.B BUFFERPOOL BP5;\n");
    EXPECT_NE(CommandsFileText({}).find("-- SQL statements\n-- none\n"), std::string::npos);
}

TEST(Db2Versions, MajorNumber) {
    EXPECT_EQ(Db2MajorVersion("7.1"), 7);
    EXPECT_EQ(Db2MajorVersion("V8R1"), 8);
    EXPECT_EQ(Db2MajorVersion(" 10.1"), 10);
    EXPECT_EQ(Db2MajorVersion("V"), std::nullopt);
    EXPECT_EQ(Db2MajorVersion("0.5"), std::nullopt);
    EXPECT_EQ(Db2MajorVersion(""), std::nullopt);
}

} // namespace
} // namespace ornexa

namespace ornexa {
namespace {

TEST(SizeExpectation, SaysWhatTheProposedSizeGivesAndCosts) {
    SizeProposal grow;
    grow.proposedSize = 40000;
    grow.currentHitRatio = 85.94;
    grow.currentIORate = 141.355;
    grow.proposedHitRatio = 91.3;
    grow.proposedIORate = 87.05;
    grow.storageKB = 80000;
    EXPECT_EQ(SizeExpectation(grow), "at 40000 buffers the system hit ratio goes from 85.9 % to 91.3 % and the read "
                                     "I/O rate from 141.36/s to 87.05/s; it adds 80000 KB of real storage");
    SizeProposal shrink = grow;
    shrink.currentHitRatio.reset();
    shrink.currentIORate.reset();
    shrink.storageKB = -8000;
    EXPECT_EQ(SizeExpectation(shrink), "at 40000 buffers the system hit ratio becomes 91.3 % and the read I/O rate "
                                       "becomes 87.05/s; it frees 8000 KB of real storage");
}

} // namespace
} // namespace ornexa
