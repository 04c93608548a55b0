#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "report/latin1.h"
#include "report/letter_case.h"
#include "report/pool_choice.h"
#include "session/report_pages.h"
#include "stat_fixture.h"

namespace ornexa {
namespace {

TEST(LetterCase, RaisesAndMatchesAsciiLettersOnlyWhateverTheEncoding) {
    struct Case {
        std::string text;
        std::string upper;
    };
    for (const Case& c : {Case{"bp8k0", "BP8K0"}, Case{"Db.Ts-1_x", "DB.TS-1_X"}, Case{"", ""},
                          Case{"caf\xE9", "CAF\xE9"},         // Latin-1 é stays a byte of the report
                          Case{"caf\xC3\xA9", "CAF\xC3\xA9"}, // UTF-8 é stays whole
                          Case{"\xE0\xFE\xFF{`z", "\xE0\xFE\xFF{`Z"}}) {
        EXPECT_EQ(UpperCase(c.text), c.upper) << c.text;
        EXPECT_TRUE(EqualIgnoringCase(c.text, c.upper)) << c.text;
    }
    struct Match {
        std::string_view text;
        std::string_view part;
        bool equal;
        bool contains;
    };
    for (const Match& m : {Match{"BP1", "bp1", true, true}, Match{"BP1", "bp10", false, false},
                           Match{"BP10", "bp1", false, true}, Match{"DB.DSNDB06X", "dsndb06", false, true},
                           Match{"A@", "a`", false, false}, Match{"\xC4", "\xE4", false, false}, // Latin-1 Ä, ä
                           Match{"x", "", false, true}}) {
        EXPECT_EQ(EqualIgnoringCase(m.text, m.part), m.equal) << m.text << " / " << m.part;
        EXPECT_EQ(ContainsIgnoringCase(m.text, m.part), m.contains) << m.text << " / " << m.part;
    }
    EXPECT_TRUE(SamePoolName("BP1     ", " bp1"));
    EXPECT_FALSE(SamePoolName("BP1", "bp 1"));
}

// The pools whose pages a print of `names` holds, by the names in their titles, in table order.
std::vector<std::string> PrintedPools(const Report& report, const std::vector<std::string>& names) {
    const ReportPages pages = AllReportPages(report, SimulationData{}, {names, 1, {}});
    std::vector<std::string> pools;
    for (const PrintedPage& page : pages.printed.pages) {
        constexpr std::string_view objectPage = " Pool Objects"; // one per pool printed
        if (page.title.ends_with(objectPage)) {
            pools.push_back(page.title.substr(0, page.title.size() - objectPage.size()));
        }
    }
    std::sort(pools.begin(), pools.end(), [&](const std::string& a, const std::string& b) {
        return FirstPoolNamed(report, a) < FirstPoolNamed(report, b);
    });
    return pools;
}

TEST(PoolChoice, TheCommandLineAndThePrintedPagesChooseTheSamePools) {
    Report report;
    for (const char* name : {"BP0", "BP1", "BP10", "BP\xC4X", "bp2"}) { // \xC4: Latin-1 Ä
        test::AddPool(report, test::TestPool(name), {test::TestObject(name, "DB.T")});
    }
    const std::vector<std::vector<std::string>> asked{
        {"bp1"}, {" Bp1 "}, {"BP2"}, {"bp\xC3\x84x"}, {"bp1", "nope", "BP0"}, {"bp"}, {}, {"bp\xC4x"}};
    for (const std::vector<std::string>& names : asked) {
        std::vector<std::string> chosen;
        for (const int p : ChosenPools(report, names)) {
            chosen.push_back(Latin1ToUtf8(report.Pools(p).PoolName.Trimmed()));
        }
        EXPECT_EQ(PrintedPools(report, names), chosen) << testing::PrintToString(names);
        EXPECT_EQ(AllReportPages(report, SimulationData{}, {names, 1, {}}).unknown, UnknownPools(report, names))
            << testing::PrintToString(names);
    }
    EXPECT_EQ(ChosenPools(report, {"bp1"}), std::vector<int>{2});
    EXPECT_EQ(FirstPoolNamed(report, "BP2"), 5);
    EXPECT_EQ(FirstPoolNamed(report, "BP"), 0);
    EXPECT_EQ(ChosenPools(report, {"bp\xC3\x84x"}), std::vector<int>{4}); // the name as the list shows it
    EXPECT_EQ(UnknownPools(report, {"bp1", "nope", "bp\xC4x"}), (std::vector<std::string>{"nope", "bp\xC4x"}));
}

} // namespace
} // namespace ornexa
