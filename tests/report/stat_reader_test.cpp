#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "record_compare.h"
#include "report/column_tables.h"
#include "report/record_fields.h"
#include "report/stat_reader.h"
#include "sample_report.h"
#include "stat_fixture.h"
#include "stat_writer.h"

namespace ornexa {
namespace {

using test::ExpectSameFields;
using test::StatLines;

struct ReadRun {
    Report report;
    StatReadResult result;
    std::vector<Message> messages;
    std::vector<int> progress;
};

ReadRun ReadText(const std::string& text) {
    const test::TempDir dir;
    const auto path = dir.Write("report.sta", text);
    ReadRun run;
    run.result = ReadStatisticsFile(run.report, path, [&](int p) { run.progress.push_back(p); });
    run.messages = MessagesOf(run.result);
    return run;
}

std::pair<int, int> Range(const Report& report, int p) {
    const ObjectRange r = PoolObjects(report, p);
    return {r.first, r.last};
}

void ExpectSameReport(Report& read, Report& written) {
    ExpectSameFields(HeaderFields(read.Header), HeaderFields(written.Header));
    ASSERT_EQ(read.PoolCount(), written.PoolCount());
    ASSERT_EQ(read.ObjectCount(), written.ObjectCount());
    for (int p = 1; p <= read.PoolCount(); ++p) {
        SCOPED_TRACE("pool " + std::to_string(p));
        ExpectSameFields(PoolFields(read.Pools(p)), PoolFields(written.Pools(p)));
        EXPECT_EQ(Range(read, p), Range(written, p));
    }
    for (int o = 1; o <= read.ObjectCount(); ++o) {
        SCOPED_TRACE("object " + std::to_string(o));
        ExpectSameFields(ObjectFields(read.Objects(o)), ObjectFields(written.Objects(o)));
    }
}

TEST(ReadStatisticsFile, ReadsEveryFieldOfTheSampleWhateverTheCountryAndLineEnd) {
    Report written = samplegen::BuildSampleReport();
    for (const char* country : {"USA", "DEU"}) {
        for (const char* lineEnd : {"\r\n", "\n", "\r"}) {
            SCOPED_TRACE(std::string(country) + " line end " + std::to_string(std::string(lineEnd).size()));
            samplegen::StatFileOptions options;
            options.country = country;
            options.lineEnd = lineEnd;
            ReadRun run = ReadText(samplegen::StatisticsText(written, options));
            ASSERT_TRUE(run.result.Loaded());
            EXPECT_TRUE(run.report.StatFileLoaded);
            EXPECT_TRUE(run.messages.empty());
            EXPECT_EQ(run.result.usaReport, std::string(country) == "USA");
            EXPECT_EQ(run.progress.back(), 100);
            ExpectSameReport(run.report, written);
        }
    }
}

TEST(ReadStatisticsFile, GroupsObjectsBehindTheirPoolLine) {
    StatLines s;
    s.Header().Pool("BP0").Pool("BP1");
    s.Object("BP1", "DB1.TS1").Object("BP1", "DB1.TS2").Object("BP1", "DB1.TS3");
    s.Line("BPO                 EDB1.TS3"); // a listing line between objects does not end the pool
    s.Object("BP1", "DB1.IX1", 'I');
    s.Pool("BP2").Object("BP2", "DB2.TS1").Pool("BP3");
    const ReadRun run = ReadText(s.Text());
    ASSERT_TRUE(run.result.Loaded());
    ASSERT_EQ(run.report.PoolCount(), 4);
    EXPECT_EQ(Range(run.report, 1), std::make_pair(0, 0));
    EXPECT_EQ(Range(run.report, 2), std::make_pair(1, 4));
    EXPECT_EQ(Range(run.report, 3), std::make_pair(5, 5));
    EXPECT_EQ(Range(run.report, 4), std::make_pair(0, 0)); // the last pool without objects, too
    EXPECT_EQ(PoolObjects(run.report, 4).Count(), 0);
}

TEST(ReadStatisticsFile, ClassifiesLinesByTheirFirstFourCharacters) {
    StatLines s;
    s.Header().Pool("BP0").Pool("BP1").Pool("BP2").Pool("BP3");
    s.lines.at(2).replace(0, 4, " BPS");
    s.lines.at(3).replace(0, 4, "BPSX");
    s.lines.at(4).replace(0, 4, "XXBP"); // BP then S in column 5: not a pool line
    s.lines.at(5).replace(0, 4, "*BPP");
    const ReadRun run = ReadText(s.Text());
    ASSERT_TRUE(run.result.Loaded());
    ASSERT_EQ(run.report.PoolCount(), 2);
    EXPECT_EQ(run.report.Pools(1).PoolName.Trimmed(), "BP0");
    EXPECT_EQ(run.report.Pools(2).PoolName.Trimmed(), "BP1");
}

TEST(ReadStatisticsFile, ReportErrorTextLayout) {
    EXPECT_EQ(ReadErrorReport("Type mismatch", 8, 4, 34),
              "Error information :\tError Description : \"Type mismatch\"\tData Line         : \"8\"\t"
              "Error in Field    : \"4\"\tError at Index    : \"34\"\t");
}

struct FieldErrorCase {
    const char* name;
    std::function<void(StatLines&)> build;
    std::string_view title;
    std::string_view description;
    int line;
    int field;
    int column;
    int pools;
    int objects;
    std::vector<std::pair<int, int>> ranges;
};

TEST(ReadStatisticsFile, StopsAtAFieldErrorKeepingOnlyCompleteRecords) {
    const FieldErrorCase cases[] = {
        {"blank number in the third pool line",
         [](StatLines& s) {
             s.Header().Pool("BP0").Object("BP0", "A.T1").Object("BP0", "A.T2").Pool("BP1").Object("BP1", "B.T1");
             s.Pool("BP2").SetLastField(PoolColumns()[3], "");
         },
         StatPoolErrorTitle,
         "Type mismatch",
         8,
         4,
         34,
         2,
         3,
         {{1, 2}, {3, 3}}},
        {"report pool count beyond 16 bits",
         [](StatLines& s) { s.Header().SetLastField(HeaderColumns()[8], "40000").Pool("BP0"); },
         StatHeaderErrorTitle,
         "Overflow",
         2,
         9,
         67,
         0,
         0,
         {}},
        {"text in an object counter",
         [](StatLines& s) {
             s.Header().Pool("BP0").Object("BP0", "A.T1").Object("BP0", "A.T2").Object("BP0", "A.T3");
             s.SetLastField(ObjectColumns()[15], "12x");
         },
         StatObjectErrorTitle,
         "Type mismatch",
         6,
         16,
         159,
         1,
         2,
         {{1, 2}}},
        {"first object of a pool beyond 32 bits",
         [](StatLines& s) {
             s.Header().Pool("BP0").Object("BP0", "A.T1").Pool("BP1").Object("BP1", "B.T1");
             s.SetLastField(ObjectColumns()[4], "9999999999");
         },
         StatObjectErrorTitle,
         "Overflow",
         6,
         5,
         57,
         2,
         1,
         {{1, 1}, {0, 0}}},
        {"object line cut short",
         [](StatLines& s) {
             s.Header().Pool("BP0").Object("BP0", "A.T1").Object("BP0", "A.T2");
             s.lines.back().resize(300);
         },
         StatObjectErrorTitle,
         "Type mismatch",
         5,
         30,
         299,
         1,
         1,
         {{1, 1}}},
        {"no header line", [](StatLines&) {}, StatHeaderErrorTitle, "Input past end of file", 1, 0, 0, 0, 0, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        StatLines s;
        c.build(s);
        const ReadRun run = ReadText(s.Text());
        EXPECT_EQ(run.result.outcome, StatReadOutcome::FieldError);
        EXPECT_FALSE(run.report.StatFileLoaded);
        ASSERT_EQ(run.messages.size(), 1U);
        EXPECT_EQ(run.messages[0],
                  (Message{std::string(c.title), ReadErrorReport(c.description, c.line, c.field, c.column),
                           MessageIcon::Exclamation}));
        EXPECT_EQ(run.progress.back(), 0);
        // The fault itself, as the front ends get it: where it lies, in numbers.
        ASSERT_TRUE(run.result.fault);
        EXPECT_EQ(run.result.fault->kind, FaultKind::FieldError);
        EXPECT_EQ(run.result.fault->line, c.line);
        EXPECT_EQ(run.result.fault->field, c.field);
        EXPECT_EQ(run.result.fault->column, c.column);
        EXPECT_EQ(run.result.fault->description, c.description);
        ASSERT_EQ(run.report.PoolCount(), c.pools);
        EXPECT_EQ(run.report.ObjectCount(), c.objects);
        for (int p = 1; p <= static_cast<int>(c.ranges.size()); ++p) {
            EXPECT_EQ(Range(run.report, p), c.ranges[static_cast<std::size_t>(p - 1)]) << "pool " << p;
        }
    }
}

struct FileFailureCase {
    const char* name;
    std::string text;
    std::string expected; // a stable part of the description
};

TEST(ReadStatisticsFile, ReportsFailuresOfTheFileItself) {
    StatLines headerOnly;
    headerOnly.Header();
    StatLines objectFirst;
    objectFirst.Header().Object("BP0", "A.T1").Pool("BP0");
    const FileFailureCase cases[] = {
        {"empty file", "", "Input past end of file"},
        {"no pool line", headerOnly.Text(), "Subscript out of range (the file holds no pool line)"},
        {"object before the first pool", objectFirst.Text(),
         "Subscript out of range (line 3 is an object line before the first pool line)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ReadRun run = ReadText(c.text);
        EXPECT_EQ(run.result.outcome, StatReadOutcome::Failed);
        EXPECT_FALSE(run.report.StatFileLoaded);
        EXPECT_EQ(run.report.ObjectCount(), 0);
        ASSERT_EQ(run.messages.size(), 1U);
        EXPECT_EQ(run.messages[0], (Message{"Read Stat File", c.expected, MessageIcon::Information}));
    }

    Report report;
    const test::TempDir dir;
    const StatReadResult missing = ReadStatisticsFile(report, dir.Path() / "missing.sta");
    EXPECT_EQ(missing.outcome, StatReadOutcome::Failed);
    ASSERT_TRUE(missing.fault);
    EXPECT_EQ(missing.fault->kind, FaultKind::FileFailure);
    const Messages messages = MessagesOf(missing);
    ASSERT_EQ(messages.size(), 1U);
    EXPECT_EQ(messages[0].title, "Read Stat File");
    EXPECT_EQ(messages[0].text.rfind("Cannot open file \"" + (dir.Path() / "missing.sta").string(), 0), 0U);
}

TEST(ReadStatisticsFile, WarnsWhenTheFileHoldsFewerPoolsThanTheHeaderNames) {
    const auto report = [](int named, int pools) {
        StatLines s;
        s.Header().SetLastField(HeaderColumns()[8], std::to_string(named));
        for (int p = 0; p < pools; ++p) {
            s.Pool("BP" + std::to_string(p)).Object("BP" + std::to_string(p), "A.T" + std::to_string(p));
        }
        return s;
    };
    const Message cutShort{"Read Stat File", "The report names 9 buffer pools but the file holds 4: it may have been cut short.",
                           MessageIcon::Exclamation};
    struct Case {
        const char* name;
        std::string text;
        Messages expected;
    };
    StatLines failing = report(9, 4);
    failing.Pool("BP9").SetLastField(PoolColumns()[3], "x");
    const Case cases[] = {
        {"four of nine", report(9, 4).Text(), {cutShort}},
        {"as many as named", report(4, 4).Text(), {}},
        {"more than named", report(2, 4).Text(), {}},
        {"stopped on an error: only the error", failing.Text(),
         {{"Read Stat Pool Information", ReadErrorReport("Type mismatch", 11, 4, 34), MessageIcon::Exclamation}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ReadRun run = ReadText(c.text);
        EXPECT_EQ(run.messages, c.expected);
        EXPECT_EQ(run.report.PoolCount(), 4); // what was read stays
    }
    EXPECT_TRUE(ReadText(report(9, 4).Text()).result.Loaded());
}

TEST(ReadStatisticsFile, TheBundledSampleCutAtALineEndWarns) {
    std::ifstream in(std::string(ORNEXA_SAMPLES_DIR) + "/statistics-usa.sta", std::ios::binary);
    std::string text;
    std::string line;
    for (int i = 0; i < 150 && std::getline(in, line); ++i) {
        text += line + "\n";
    }
    const ReadRun run = ReadText(text);
    ASSERT_TRUE(run.result.Loaded());
    ASSERT_EQ(run.result.cutShort, (PoolShortfall{9, 4}));
    ASSERT_EQ(run.messages.size(), 1U);
    EXPECT_EQ(run.messages[0].text, "The report names 9 buffer pools but the file holds 4: it may have been cut short.");
}

TEST(ReadStatisticsFile, AnEndlessLineIsAReadFailureOfThatLine) {
    StatLines s;
    s.Header().Pool("BP0").Object("BP0", "A.T1");
    const std::pair<std::string, const char*> cases[] = {
        {s.Text() + std::string(ReportLineReader::MaxLineBytes + 1, 'B'), "Line 5 is longer than 1 MiB: not a report file"},
        {std::string(ReportLineReader::MaxLineBytes + 1, ' '), "Line 1 is longer than 1 MiB: not a report file"},
        {"ENV USA\r\n" + std::string(ReportLineReader::MaxLineBytes + 1, ' '),
         "Line 2 is longer than 1 MiB: not a report file"},
    };
    for (const auto& [text, expected] : cases) {
        SCOPED_TRACE(expected);
        const ReadRun run = ReadText(text);
        EXPECT_EQ(run.result.outcome, StatReadOutcome::Failed);
        EXPECT_FALSE(run.report.StatFileLoaded);
        ASSERT_EQ(run.messages.size(), 1U);
        EXPECT_EQ(run.messages[0].title, "Read Stat File");
        EXPECT_EQ(run.messages[0].text, expected);
    }
    Report report;
    const StatReadResult zeros = ReadStatisticsFile(report, "/dev/zero");
    EXPECT_EQ(MessagesOf(zeros).at(0).text, "Line 1 is longer than 1 MiB: not a report file");
}

TEST(ReadStatisticsFile, RefusesAFileWithoutEnvironmentLine) {
    StatLines s;
    s.Header().Pool("BP0");
    s.lines[0] = "STATISTICS REPORT USA";
    const ReadRun run = ReadText(s.Text());
    EXPECT_EQ(run.result.outcome, StatReadOutcome::FormatError);
    ASSERT_EQ(run.messages.size(), 1U);
    EXPECT_EQ(run.messages[0],
              (Message{"File IO", "Incorrect File Format, Use A Flat File", MessageIcon::Exclamation}));
    EXPECT_EQ(run.report.PoolCount(), 0);
    EXPECT_TRUE(run.report.Header.SystemName.empty());
}

TEST(ReadStatisticsFile, CountryCodeDecidesTheDecimalSeparator) {
    EXPECT_EQ(CheckEnvironmentLine("ENV REPORT USA"), true);
    EXPECT_EQ(CheckEnvironmentLine("ENV REPORT USA    "), true); // padded to the record length
    EXPECT_EQ(CheckEnvironmentLine("ENV REPORT DEU"), false);
    EXPECT_EQ(CheckEnvironmentLine("ENVUSA"), true);
    EXPECT_EQ(CheckEnvironmentLine("REPORT USA"), std::nullopt);

    // The host writes periods; a report from outside the USA reads them as decimal commas
    // beyond column 57 and keeps them in its texts.
    for (const char* country : {"USA", "FRA"}) {
        SCOPED_TRACE(country);
        StatLines s(country);
        s.Header().Pool("BP0").SetLastField(PoolColumns()[17], "  98.5");
        s.Object("BP0", "DSNDB06.SYSDBASE").SetLastField(ObjectColumns()[12], "  12.5");
        const ReadRun run = ReadText(s.Text());
        ASSERT_TRUE(run.result.Loaded());
        EXPECT_DOUBLE_EQ(run.report.Pools(1).PoolHitRatio, 98.5);
        EXPECT_DOUBLE_EQ(run.report.Objects(1).AppHitRatio, 12.5);
        EXPECT_EQ(run.report.Objects(1).ObjName.Trimmed(), "DSNDB06.SYSDBASE");
        EXPECT_EQ(run.report.Header.CollectionTime.Trimmed(), "10.15.00");
        EXPECT_EQ(run.report.Header.Db2Version.Trimmed(), "7.1");
    }
}

TEST(ReadStatisticsFile, TakesSixtyPoolsAndFiveThousandObjectsAndNoMore) {
    Report largest = samplegen::BuildLargestReport();
    samplegen::StatFileOptions options;
    options.decorate = false;
    const std::string text = samplegen::StatisticsText(largest, options);
    const auto lineCount = static_cast<int>(std::count(text.begin(), text.end(), '\n'));

    ReadRun full = ReadText(text);
    ASSERT_TRUE(full.result.Loaded());
    EXPECT_EQ(full.report.PoolCount(), 60);
    EXPECT_EQ(full.report.ObjectCount(), 5000);
    EXPECT_EQ(Range(full.report, 60).second, 5000);

    const ReadRun morePools = ReadText(text + samplegen::PoolLine(test::TestPool("BPX"), true) + "\r\n");
    EXPECT_EQ(morePools.report.PoolCount(), 60);
    ASSERT_EQ(morePools.messages.size(), 1U);
    EXPECT_EQ(morePools.messages[0].title, StatPoolErrorTitle);
    EXPECT_EQ(morePools.messages[0].text, ReadErrorReport("Subscript out of range", lineCount + 1, 1, 5));
    EXPECT_EQ(Range(morePools.report, 60).second, 5000);

    const ReadRun moreObjects =
        ReadText(text + samplegen::ObjectLine(test::TestObject("BP32K9", "X.T1"), true) + "\r\n");
    EXPECT_EQ(moreObjects.report.ObjectCount(), 5000);
    ASSERT_EQ(moreObjects.messages.size(), 1U);
    EXPECT_EQ(moreObjects.messages[0].title, StatObjectErrorTitle);
    EXPECT_EQ(moreObjects.messages[0].text, ReadErrorReport("Subscript out of range", lineCount + 1, 1, 5));
    EXPECT_EQ(Range(moreObjects.report, 60).second, 5000);
}

TEST(ReadStatisticsFile, ANewReadAfterAFailedOneStartsAfresh) {
    StatLines bad;
    bad.Header().Pool("BP0").Object("BP0", "A.T1").Object("BP0", "A.T2").SetLastField(ObjectColumns()[4], "");
    StatLines good;
    good.Header().Pool("BP9").Object("BP9", "Z.T1");
    const test::TempDir dir;
    Report report;
    ReadStatisticsFile(report, dir.Write("bad.sta", bad.Text()));
    ASSERT_FALSE(report.StatFileLoaded);
    ResetReport(report);
    const StatReadResult good2 = ReadStatisticsFile(report, dir.Write("good.sta", good.Text()));
    EXPECT_TRUE(good2.Loaded());
    EXPECT_FALSE(good2.fault);
    EXPECT_EQ(report.ObjectCount(), 1);
    EXPECT_EQ(report.Objects(1).ObjName.Trimmed(), "Z.T1");
    EXPECT_EQ(Range(report, 1), std::make_pair(1, 1));
}

} // namespace
} // namespace ornexa
