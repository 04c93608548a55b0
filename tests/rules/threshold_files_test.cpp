#include <fstream>

#include <gtest/gtest.h>

#include "rules/threshold_files.h"
#include "stat_fixture.h"

namespace ornexa {
namespace {

namespace fs = std::filesystem;

// An installed layout under a temporary prefix: bin/ for the program, share/ornexa/ for its data,
// and a folder of the user's own.
class ThresholdFolderLookup : public ::testing::Test {
protected:
    ThresholdFolderLookup() {
        for (const fs::path& folder : {Bin(), Share(), Own()}) {
            fs::create_directories(folder);
        }
    }
    [[nodiscard]] fs::path Bin() const { return prefix.Path() / "bin"; }
    [[nodiscard]] fs::path Share() const { return prefix.Path() / "share" / "ornexa"; }
    [[nodiscard]] fs::path Own() const { return prefix.Path() / "mine"; }
    static void Write(const fs::path& file, std::string_view text) { std::ofstream(file, std::ios::binary) << text; }

    test::TempDir prefix;
};

TEST_F(ThresholdFolderLookup, TheGivenFolderAloneElseBesideTheProgramThenTheSharedFolder) {
    EXPECT_EQ(ThresholdFolders(Bin()), (std::vector<fs::path>{Bin(), Share()}));
    EXPECT_EQ(ThresholdFolders(Bin(), Own()), std::vector<fs::path>{Own()});
}

TEST_F(ThresholdFolderLookup, TheFirstFolderHoldingTheFileGivesTheThreshold) {
    struct Case {
        const char* name;
        bool besideProgram;
        bool shared;
        bool own;
        bool given;                 // --acc-dir names the user's folder
        std::optional<double> read; // nothing when the file is not found
    };
    const Case cases[] = {
        {"beside the program", true, false, false, false, 11},
        {"installed", false, true, false, false, 22},
        {"the program's own copy wins", true, true, false, false, 11},
        {"nowhere", false, false, false, false, std::nullopt},
        {"the given folder", true, true, true, true, 33},
        {"the given folder and nothing else", true, true, false, true, std::nullopt},
    };
    for (const Case& c : cases) {
        for (const fs::path& folder : {Bin(), Share(), Own()}) {
            fs::remove(folder / "Seq.acc");
        }
        if (c.besideProgram) {
            Write(Bin() / "Seq.acc", "11\r\n");
        }
        if (c.shared) {
            Write(Share() / "Seq.acc", "22\r\n");
        }
        if (c.own) {
            Write(Own() / "Seq.acc", "33,1\r\n");
        }
        const auto folders = ThresholdFolders(Bin(), c.given ? std::optional<fs::path>(Own()) : std::nullopt);
        const ThresholdLookup lookup = LookUpThreshold(folders, PoolUsage::Sequential);
        EXPECT_EQ(lookup.fileName, "Seq.acc") << c.name;
        EXPECT_EQ(lookup.Found(), c.read.has_value()) << c.name;
        EXPECT_DOUBLE_EQ(lookup.threshold, c.read.value_or(0)) << c.name;
        EXPECT_EQ(MissingThresholdWarning(lookup).has_value(), !c.read) << c.name;
    }
}

TEST_F(ThresholdFolderLookup, EachUsageHasItsOwnFileAndAFolderOfThatNameIsNoFile) {
    Write(Share() / "Rand.acc", "35,10\r\n");
    fs::create_directory(Bin() / "Rand.acc");
    const ThresholdLookup random = LookUpThreshold(ThresholdFolders(Bin()), PoolUsage::Random);
    EXPECT_EQ(random.path, Share() / "Rand.acc");
    EXPECT_DOUBLE_EQ(random.threshold, 35);
    EXPECT_EQ(random.searched, (std::vector<fs::path>{Bin(), Share()}));
    EXPECT_FALSE(LookUpThreshold(ThresholdFolders(Bin()), PoolUsage::Sequential).Found());
}

TEST_F(ThresholdFolderLookup, TheWarningNamesTheFileAndEveryFolderSearched) {
    const ThresholdLookup lookup = LookUpThreshold(ThresholdFolders(Bin()), PoolUsage::Sequential);
    EXPECT_EQ(MissingThresholdWarning(lookup), "Seq.acc was not found in " + Bin().string() + ", " + Share().string() +
                                                   ": every object with getpages takes part in the clustering");
    EXPECT_EQ(lookup.threshold, 0);
}

} // namespace
} // namespace ornexa
