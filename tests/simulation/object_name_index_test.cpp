#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "large_site.h"
#include "report/report_model.h"
#include "sample_report.h"
#include "simulation/object_name_index.h"
#include "simulation/sim_reader.h"
#include "stat_fixture.h"

namespace {

using namespace ornexa;

// A pool whose names share stems, differ in case, hold blanks and take all 27 characters.
Report Pool() {
    Report report;
    std::vector<ObjectRecord> objects;
    for (const char* name :
         {"DB1.TS10", "DB1.TS1", "db2.ix1", "PAY ROLL.HIST", "DB1.TS10", "LEDGERDB.ACCOUNTMOVEMENTS27", "AB", "XQ"}) {
        objects.push_back(test::TestObject("BP1", name));
    }
    test::AddPool(report, test::TestPool("BP0"), {test::TestObject("BP0", "ELSEWHERE.TS")});
    test::AddPool(report, test::TestPool("BP1"), objects);
    return report;
}

TEST(ObjectNameIndex, FindsWhatTheWalkAlongThePoolFinds) {
    const Report report = Pool();
    ObjectNameIndex index(report, 2);
    struct Case {
        const char* name;
        const char* found; // the object's name, or "" for none
    };
    const std::vector<Case> cases{
        {"DB1.TS1", "DB1.TS1"},   // a whole name before a longer one that contains it
        {"db1.ts10", "DB1.TS10"}, // any case; the first of two alike
        {"TS1", "DB1.TS10"},      // a part: the first that contains it
        {"IX1", "db2.ix1"},
        {"Y ROLL.H", "PAY ROLL.HIST"}, // a blank inside
        {"ACCOUNTMOVEMENTS27", "LEDGERDB.ACCOUNTMOVEMENTS27"},
        {"AB", "AB"},
        {"Q", "XQ"},          // shorter than a run of three
        {"ELSEWHERE.TS", ""}, // another pool's
        {"EB1.TS10", ""},
        {"ZZZ", ""},
        {"   ", ""},
        {"", ""},
        {"HIST   ", "PAY ROLL.HIST"}, // trailing blanks of the line
    };
    for (const Case& c : cases) {
        const int o = index.Find(c.name);
        EXPECT_EQ(o, FindSimulatedObject(report, 2, c.name)) << c.name;
        EXPECT_EQ(o == 0 ? std::string() : std::string(report.Objects(o).ObjName.Trimmed()), c.found) << c.name;
    }
}

TEST(ObjectNameIndex, AgreesWithTheWalkOnEveryPartOfAGeneratedPool) {
    const Report report = samplegen::BuildSampleReport(31);
    samplegen::Rng rng(7);
    for (int p = 1; p <= report.PoolCount(); ++p) {
        ObjectNameIndex index(report, p);
        for (const int o : PoolObjects(report, p)) {
            const std::string name(report.Objects(o).ObjName.Trimmed());
            // The whole name, a part of it, and the name with a letter changed.
            const auto from = static_cast<std::size_t>(rng.Between(0, static_cast<std::int64_t>(name.size()) - 1));
            const auto length = static_cast<std::size_t>(rng.Between(1, 8));
            std::string changed = name;
            changed[from] = changed[from] == 'Z' ? 'Y' : 'Z';
            for (const std::string& wanted : {name, name.substr(from, length), changed}) {
                EXPECT_EQ(index.Find(wanted), FindSimulatedObject(report, p, wanted)) << wanted;
            }
        }
    }
}

TEST(ObjectNameIndex, AgreesWithTheWalkInAPoolTooLargeToWalk) {
    // One pool of catalog-like names that share most of their runs of characters.
    const Report report = samplegen::BuildLargeReport(1, 5000);
    ASSERT_GT(PoolObjects(report, 1).Count(), 4096);
    ObjectNameIndex index(report, 1);
    samplegen::Rng rng(3);
    const ObjectRange range = PoolObjects(report, 1);
    for (int query = 0; query < 150; ++query) {
        const auto o = static_cast<int>(rng.Between(range.first, range.last));
        const std::string name(report.Objects(o).ObjName.Trimmed());
        const auto from = static_cast<std::size_t>(rng.Between(0, static_cast<std::int64_t>(name.size()) - 1));
        const auto length = static_cast<std::size_t>(rng.Between(1, 12));
        std::string changed = name;
        changed[0] = changed[0] == 'Q' ? 'R' : 'Q';
        std::string lower = name.substr(from, length);
        for (char& c : lower) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        for (const std::string& wanted : {name, name.substr(from, length), changed, lower, changed.substr(0, 3)}) {
            EXPECT_EQ(index.Find(wanted), FindSimulatedObject(report, 1, wanted)) << wanted;
        }
    }
    EXPECT_EQ(index.Find(std::string(28, 'A')), 0) << "longer than any name";
    EXPECT_EQ(index.Find("S"), FindSimulatedObject(report, 1, "S")) << "a part that nearly every name holds";
}

} // namespace
