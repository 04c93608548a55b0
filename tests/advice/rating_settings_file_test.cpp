#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "advice/rating_settings_file.h"
#include "stat_fixture.h"

namespace ornexa {
namespace {

constexpr std::optional<double> None = std::nullopt;

RatingThreshold BoundsOf(const RatingSettings& settings, RatingKind kind) {
    return settings.defaults[static_cast<std::size_t>(kind)];
}

TEST(RatingSettingsFile, ReadsDefaultsAndPoolSections) {
    const Result<RatingSettings> read = ParseRatingSettings("# the site's bounds\r\n"
                                                            "[default]\r\n"
                                                            "system_residency.warning = 120   # two minutes\r\n"
                                                            "system_residency.exception = 1_00\r\n"
                                                            "sequential_residency.exception = \"none\"\r\n"
                                                            "random_hit_ratio.warning = 85.5\r\n"
                                                            "\r\n"
                                                            "[[pool]]\n"
                                                            "match = \"BP8K*\" # the 8K pools\n"
                                                            "sync_read_rate.warning = 2e3\n"
                                                            "dmth_hits.exception = \"none\"\n"
                                                            "\t[[ pool ]]\r"
                                                            "sync_read_rate.exception=+4000\r"
                                                            "match = \"BP#?\"\r",
                                                            "site.toml");
    ASSERT_TRUE(read.Ok()) << read.FaultText();
    EXPECT_TRUE(read.messages.empty());
    const RatingSettings& s = *read.value;
    EXPECT_EQ(s.origin, "site.toml");
    EXPECT_EQ(BoundsOf(s, RatingKind::SystemResidency), (RatingThreshold{120, 100}));
    EXPECT_EQ(BoundsOf(s, RatingKind::SequentialResidency), (RatingThreshold{None, None}));
    EXPECT_EQ(BoundsOf(s, RatingKind::RandomHitRatio), (RatingThreshold{85.5, 50}));
    EXPECT_EQ(BoundsOf(s, RatingKind::SyncReadRate), DefinitionOf(RatingKind::SyncReadRate).defaults);
    const std::vector<PoolThresholdRule> rules = {
        {"BP8K*", RatingKind::SyncReadRate, {2000, None}, 8},
        {"BP8K*", RatingKind::DmthHits, {None, None}, 8, false, true},
        {"BP#?", RatingKind::SyncReadRate, {None, 4000}, 12},
    };
    EXPECT_EQ(s.rules, rules);
    // The rules take effect through the settings' own lookup.
    EXPECT_EQ(s.For("bp8k0")[static_cast<std::size_t>(RatingKind::DmthHits)], (RatingThreshold{None, None}));
    EXPECT_EQ(s.For("BP#1")[static_cast<std::size_t>(RatingKind::SyncReadRate)], (RatingThreshold{1000, 4000}));
}

TEST(RatingSettingsFile, EmptyFileKeepsTheBuiltInBounds) {
    for (const char* text : {"", "\xEF\xBB\xBF# nothing\n\n", "[default]\n"}) {
        const Result<RatingSettings> read = ParseRatingSettings(text, "empty.toml");
        ASSERT_TRUE(read.Ok()) << read.FaultText();
        EXPECT_EQ(read.value->defaults, DefaultRatingThresholds());
        EXPECT_TRUE(read.value->rules.empty());
    }
}

TEST(RatingSettingsFile, EveryWrongLineIsRefusedWithItsLine) {
    struct Case {
        const char* name;
        const char* text;
        const char* message; // the stable part, after "bad.toml: "
    };
    const Case cases[] = {
        {"unknown rating", "[default]\nsytem_residency.warning = 90\n",
         "line 2: unknown key \"sytem_residency.warning\": a key is a rating (system_residency, "},
        {"unknown bound", "[default]\nsystem_residency.warn = 90\n",
         "line 2: unknown key \"system_residency.warn\": a bound is .warning or .exception"},
        {"no bound at all", "[default]\nsystem_residency = 90\n", "line 2: unknown key \"system_residency\""},
        {"not a number", "[default]\nsync_read_rate.warning = lots\n",
         "line 2: sync_read_rate.warning = lots is not a number: a bound is a number, or \"none\" to switch it off"},
        {"a string other than none", "[default]\nsync_read_rate.warning = \"1000\"\n",
         "line 2: sync_read_rate.warning = \"1000\" is not a number"},
        {"none without quotes", "[default]\nsync_read_rate.warning = none\n",
         "line 2: sync_read_rate.warning = none must be written \"none\", in double quotes"},
        {"a number with a unit", "[default]\nsync_read_rate.warning = 1000/s\n", "line 2: sync_read_rate.warning"},
        {"hexadecimal", "[default]\ndmth_hits.exception = 0x1\n", "line 2: dmth_hits.exception = 0x1 is not a number"},
        {"infinity", "[default]\nsync_read_rate.exception = inf\n", "line 2: sync_read_rate.exception = inf is not"},
        {"loose underscore", "[default]\nsync_read_rate.exception = 3_\n",
         "line 2: sync_read_rate.exception = 3_ is not a number"},
        {"no value", "[default]\nsync_read_rate.exception =\n", "line 2: sync_read_rate.exception has no value"},
        {"negative residency", "[default]\nsystem_residency.exception = -1\n",
         "line 2: system_residency.exception = -1 is negative: System page residency time is never below 0"},
        {"percent above 100", "[default]\nrandom_hit_ratio.warning = 101\n",
         "line 2: random_hit_ratio.warning = 101 is above 100: Random hit ratio is a percentage"},
        {"duplicate key", "[default]\nsync_read_rate.warning = 1\n# again\nsync_read_rate.warning = 2\n",
         "line 4: sync_read_rate.warning is given a second time in this section (first on line 2)"},
        {"default twice", "[default]\n[[pool]]\nmatch = \"BP1\"\n[default]\n",
         "line 4: [default] is given a second time (first on line 1)"},
        {"pool without match", "[default]\n[[pool]]\nsync_read_rate.warning = 2000\n",
         "line 2: this [[pool]] section has no match = \"pattern\" naming its pools"},
        {"match twice", "[[pool]]\nmatch = \"BP1\"\nmatch = \"BP2\"\n",
         "line 3: match is given a second time in this [[pool]] section (first on line 2)"},
        {"match in [default]", "[default]\nmatch = \"BP1\"\n", "line 2: match belongs in a [[pool]] section"},
        {"match without quotes", "[[pool]]\nmatch = BP1\n",
         "line 2: match must be a pattern in double quotes, such as match = \"BP8K*\"; not BP1"},
        {"empty match", "[[pool]]\nmatch = \"  \"\n", "line 2: match is empty: it names no pool"},
        {"key before any section", "sync_read_rate.warning = 2000\n",
         "line 1: \"sync_read_rate.warning\" stands before the first section, [default] or [[pool]]"},
        {"unknown section", "[defaults]\nsync_read_rate.warning = 2000\n",
         "line 1: unknown section [defaults]: the sections are [default] and [[pool]]"},
        {"table of pools", "[pool]\n", "line 1: unknown section [pool]"},
        {"unclosed section", "[default\n", "line 1: the section [default lacks its closing bracket"},
        {"no equals sign", "[default]\nsync_read_rate.warning 2000\n",
         "line 2: \"sync_read_rate.warning 2000\" is not a line of the form key = value"},
        {"warning below the exception of a rating worse when lower",
         "[default]\nsystem_residency.warning = 50\nsystem_residency.exception = 60\n",
         "line 3: system_residency.warning = 50 (line 2) is below system_residency.exception = 60 (line 3): a "
         "lower value is the worse, so the warning bound must not be below the exception bound"},
        {"warning above the exception of a rating worse when higher", "[default]\nsync_read_rate.exception = 900\n",
         "line 2: sync_read_rate.warning = 1000 (built in) is above sync_read_rate.exception = 900 (line 2): a "
         "higher value is the worse, so the warning bound must not be above the exception bound"},
        {"a pool's warning beyond the built-in exception",
         "[default]\n[[pool]]\nmatch = \"BP8K*\"\nsync_read_rate.warning = 5000\n",
         "line 4: sync_read_rate.warning = 5000 (line 4) is above sync_read_rate.exception = 3000 (built in): a higher "
         "value is the worse, so the warning bound must not be above the exception bound"},
        {"a pool's warning beyond the default exception",
         "[[pool]]\nmatch = \"BP8K*\"\nsync_read_rate.warning = 5000\n[default]\nsync_read_rate.exception = 4000\n",
         "line 3: sync_read_rate.warning = 5000 (line 3) is above sync_read_rate.exception = 4000 (line 5)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Result<RatingSettings> read = ParseRatingSettings(c.text, "bad.toml");
        EXPECT_FALSE(read.Ok());
        ASSERT_EQ(read.messages.size(), 1U) << read.FaultText();
        EXPECT_EQ(read.messages[0].icon, MessageIcon::Critical);
        EXPECT_TRUE(read.messages[0].text.starts_with(std::string("bad.toml: ") + c.message)) << read.messages[0].text;
    }
}

TEST(RatingSettingsFile, EqualBoundsAndSwitchedOffBoundsAreOnNoSide) {
    for (const char* text : {"[default]\nsync_read_rate.warning = 3000\n",
                             "[default]\nsync_read_rate.exception = \"none\"\nsync_read_rate.warning = 9000\n",
                             "[[pool]]\nmatch = \"X\"\nsystem_residency.exception = 90\n"}) {
        const Result<RatingSettings> read = ParseRatingSettings(text, "ok.toml");
        EXPECT_TRUE(read.Ok()) << read.FaultText();
    }
}

TEST(RatingSettingsFile, AllFaultsOfAFileAreToldTogether) {
    const Result<RatingSettings> read =
        ParseRatingSettings("[default]\nfoo.warning = 1\nsync_read_rate.warning = x\n[[pool]]\n", "many.toml");
    EXPECT_FALSE(read.Ok());
    ASSERT_EQ(read.messages.size(), 3U);
    EXPECT_TRUE(read.messages[0].text.starts_with("many.toml: line 2: "));
    EXPECT_TRUE(read.messages[1].text.starts_with("many.toml: line 3: "));
    EXPECT_TRUE(read.messages[2].text.starts_with("many.toml: line 4: "));
}

TEST(RatingSettingsFile, TheInstalledFileHoldsTheBuiltInBounds) {
    const std::filesystem::path path = std::filesystem::path(ORNEXA_DATA_DIR) / "ratings.toml";
    const Result<RatingSettings> read = ReadRatingSettings(path);
    ASSERT_TRUE(read.Ok()) << read.FaultText();
    EXPECT_EQ(read.value->defaults, DefaultRatingThresholds());
    EXPECT_TRUE(read.value->rules.empty());
    EXPECT_EQ(read.value->origin, path.string());
}

TEST(RatingSettingsFile, AFileThatCannotBeReadSaysWhy) {
    const test::TempDir dir;
    const Result<RatingSettings> missing = ReadRatingSettings(dir.Path() / "none.toml");
    EXPECT_FALSE(missing.Ok());
    EXPECT_EQ(missing.FaultText(),
              (dir.Path() / "none.toml").string() + ": the rating settings cannot be read: No such file or directory");
    const Result<RatingSettings> folder = ReadRatingSettings(dir.Path());
    EXPECT_EQ(folder.FaultText(), dir.Path().string() + ": the rating settings cannot be read: it is a folder");
}

TEST(RatingSettingsFile, LookupTakesTheFirstFileFound) {
    const test::TempDir dir;
    const std::filesystem::path bin = dir.Path() / "prefix" / "bin";
    const std::filesystem::path share = dir.Path() / "prefix" / "share" / "ornexa";
    std::filesystem::create_directories(bin);
    std::filesystem::create_directories(share);
    const std::filesystem::path user = dir.Path() / "config" / "ornexa" / "ratings.toml";

    // Nothing anywhere: the built-in bounds, after looking in each place.
    RatingSettingsLookup none = FindRatingSettings(bin, std::nullopt, user);
    EXPECT_TRUE(none.BuiltIn());
    ASSERT_TRUE(none.settings.Ok());
    EXPECT_EQ(*none.settings.value, RatingSettings{});
    EXPECT_EQ(none.searched, (std::vector<std::filesystem::path>{user, bin / "ratings.toml", share / "ratings.toml"}));

    const std::string installedText = "[default]\nsync_read_rate.warning = 1500\n";
    (void)dir.Write("prefix/share/ornexa/ratings.toml", installedText);
    RatingSettingsLookup installed = FindRatingSettings(bin, std::nullopt, user);
    EXPECT_EQ(installed.path, share / "ratings.toml");
    ASSERT_TRUE(installed.settings.Ok());
    EXPECT_EQ(installed.settings.value->origin, (share / "ratings.toml").string());
    EXPECT_EQ(BoundsOf(*installed.settings.value, RatingKind::SyncReadRate), (RatingThreshold{1500, 3000}));

    (void)dir.Write("prefix/bin/ratings.toml", "[default]\nsync_read_rate.warning = 1600\n");
    EXPECT_EQ(FindRatingSettings(bin, std::nullopt, user).path, bin / "ratings.toml");

    // The user's own file comes first; a fault in it is told, not passed over for the installed one.
    std::filesystem::create_directories(user.parent_path());
    (void)dir.Write("config/ornexa/ratings.toml", "[default]\nsync_read_rate.warning = 2000\n");
    EXPECT_EQ(FindRatingSettings(bin, std::nullopt, user).path, user);
    (void)dir.Write("config/ornexa/ratings.toml", "[default]\nsync_read_rate.warning = many\n");
    RatingSettingsLookup faulty = FindRatingSettings(bin, std::nullopt, user);
    EXPECT_EQ(faulty.path, user);
    EXPECT_FALSE(faulty.settings.Ok());
    EXPECT_NE(faulty.settings.FaultText().find(user.string() + ": line 2: "), std::string::npos);
    EXPECT_EQ(faulty.searched, std::vector<std::filesystem::path>{user});

    // A file given is the only one looked at, and must be there.
    const std::filesystem::path given = dir.Write("given.toml", "[default]\ndmth_hits.exception = 5\n");
    RatingSettingsLookup chosen = FindRatingSettings(bin, given, user);
    EXPECT_EQ(chosen.path, given);
    ASSERT_TRUE(chosen.settings.Ok());
    EXPECT_EQ(BoundsOf(*chosen.settings.value, RatingKind::DmthHits), (RatingThreshold{None, 5}));
    RatingSettingsLookup absent = FindRatingSettings(bin, dir.Path() / "absent.toml", user);
    EXPECT_FALSE(absent.settings.Ok());
    EXPECT_EQ(absent.searched, std::vector<std::filesystem::path>{dir.Path() / "absent.toml"});

    // Without a user's folder, the program's folders alone.
    EXPECT_EQ(FindRatingSettings(dir.Path() / "elsewhere", std::nullopt, std::nullopt).searched.size(), 2U);
}

// Sets an environment variable for one test and puts it back afterwards.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) { // NOLINT(concurrency-mt-unsafe): tests run on one thread
            old_ = old;
        }
        Set(value);
    }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;
    ScopedVariable(ScopedVariable&&) = delete;
    ScopedVariable& operator=(ScopedVariable&&) = delete;
    ~ScopedVariable() { Set(old_ ? old_->c_str() : nullptr); }

private:
    void Set(const char* value) {
        if (value != nullptr) {
            ::setenv(name_, value, 1); // NOLINT(concurrency-mt-unsafe)
        } else {
            ::unsetenv(name_); // NOLINT(concurrency-mt-unsafe)
        }
    }
    const char* name_;
    std::optional<std::string> old_;
};

TEST(RatingSettingsFile, TheUsersFileFollowsTheXdgConfigFolder) {
    const ScopedVariable home("HOME", "/home/analyst");
    {
        const ScopedVariable config("XDG_CONFIG_HOME", "/etc/xdg-analyst");
        EXPECT_EQ(UserRatingSettingsPath(), std::filesystem::path("/etc/xdg-analyst/ornexa/ratings.toml"));
    }
    for (const char* ignored : {"", "relative/config"}) {
        const ScopedVariable config("XDG_CONFIG_HOME", ignored);
        EXPECT_EQ(UserRatingSettingsPath(), std::filesystem::path("/home/analyst/.config/ornexa/ratings.toml"));
    }
    const ScopedVariable config("XDG_CONFIG_HOME", nullptr);
    const ScopedVariable noHome("HOME", nullptr);
    EXPECT_EQ(UserRatingSettingsPath(), std::nullopt);
}

} // namespace
} // namespace ornexa
