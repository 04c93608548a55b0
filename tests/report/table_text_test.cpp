#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "csv_reader.h"
#include "report/table_text.h"

namespace ornexa {
namespace {

struct CellCase {
    const char* what;
    std::string cell;
    std::string csv; // the field as CSV writes it
    std::string tsv; // the cell as TSV writes it
};

const std::vector<CellCase> Cells{
    {"plain text stays bare", "BP1", "BP1", "BP1"},
    {"a figure stays bare", "1234.5", "1234.5", "1234.5"},
    {"a comma is quoted", "DB1,TS1", "\"DB1,TS1\"", "DB1,TS1"},
    {"a quote is doubled inside quotes", "A\"B", R"("A""B")", "A\"B"},
    {"a lone quote", "\"", R"("""")", "\""},
    {"a CR is quoted", "A\rB", "\"A\rB\"", "A B"},
    {"an LF is quoted", "A\nB", "\"A\nB\"", "A B"},
    {"a CRLF is quoted", "A\r\nB", "\"A\r\nB\"", "A  B"},
    {"a tab needs no quotes in CSV", "A\tB", "A\tB", "A B"},
    {"blanks are kept", " 10000 ", " 10000 ", " 10000 "},
    {"UTF-8 passes unchanged", "\xC3\x84RGER", "\xC3\x84RGER", "\xC3\x84RGER"},
    {"an empty cell beside others", "", "", ""},
};

TEST(TableText, WritesEachCellAsItsFormWants) {
    for (const CellCase& c : Cells) {
        SCOPED_TRACE(c.what);
        const TextTable table{{"Name", "Value"}, {{"x", c.cell}}};
        EXPECT_EQ(CsvText(table), "Name,Value\r\nx," + c.csv + "\r\n");
        EXPECT_EQ(TsvText(table), "Name\tValue\nx\t" + c.tsv + "\n");
        const auto read = test::ReadCsv(CsvText(table));
        ASSERT_TRUE(read.has_value());
        ASSERT_EQ(read->size(), 2U);
        EXPECT_EQ(read->at(1), (std::vector<std::string>{"x", c.cell})); // read back unchanged
    }
}

TEST(TableText, EveryRecordEndsItsLineAndAnEmptyLoneCellIsStillARecord) {
    EXPECT_EQ(CsvText({{"Rule"}, {}}), "Rule\r\n");
    EXPECT_EQ(TsvText({{"Rule"}, {}}), "Rule\n");
    // A blank line reads as no record in most readers: a one-column list with an empty row keeps it.
    const TextTable rules{{"Rule"}, {{"first"}, {""}, {"third"}}};
    EXPECT_EQ(CsvText(rules), "Rule\r\nfirst\r\n\"\"\r\nthird\r\n");
    EXPECT_EQ(test::ReadCsv(CsvText(rules)),
              (std::vector<std::vector<std::string>>{{"Rule"}, {"first"}, {""}, {"third"}}));
    EXPECT_EQ(TsvText(rules), "Rule\nfirst\n\nthird\n");
    const TextTable header{{"Pool", "Name, with comma"}, {{"BP0", ""}}};
    EXPECT_EQ(CsvText(header), "Pool,\"Name, with comma\"\r\nBP0,\r\n");
}

TEST(TableText, TextASpreadsheetWouldRunGetsALeadingQuoteButFiguresStay) {
    struct Guard {
        std::string cell;
        std::string guarded; // the field as CSV writes it by default
    };
    const std::vector<Guard> cases{
        {"=HYPERLINK(\"x\")", "\"'=HYPERLINK(\"\"x\"\")\""},
        {"+1+cmd|' /C calc'!A0", "'+1+cmd|' /C calc'!A0"},
        {"-2+3", "'-2+3"},
        {"@SUM(A1)", "'@SUM(A1)"},
        {"\tDB.TS", "'\tDB.TS"},
        {"\rDB.TS", "\"'\rDB.TS\""},
        {"-", "'-"},
        {"-DB.TS", "'-DB.TS"},
        {"+12", "'+12"}, // no figure of the lists has a plus sign
        // Figures in every form the lists write them: never changed.
        {"-12.5", "-12.5"},
        {"-1e-05", "-1e-05"},
        {"-1,234.5", "\"-1,234.5\""},
        {"-0", "-0"},
        // Only the first character counts.
        {"DB=1", "DB=1"},
        {"A-B", "A-B"},
    };
    for (const Guard& g : cases) {
        SCOPED_TRACE(g.cell);
        const TextTable table{{"Name"}, {{g.cell}}};
        EXPECT_EQ(CsvText(table), "Name\r\n" + g.guarded + "\r\n");
        const auto raw = test::ReadCsv(CsvText(table, CsvCells::Raw));
        ASSERT_TRUE(raw.has_value());
        EXPECT_EQ(raw->at(1).at(0), g.cell); // the bytes themselves for scripts
    }
}

TEST(CsvReader, RefusesWhatBreaksTheRules) {
    for (const char* text : {"a,b", "a\nb\r\n", "\"open\r\n", "a\"b\r\n", "\"a\"b\r\n", "a\rb\r\n"}) {
        EXPECT_FALSE(test::ReadCsv(text).has_value()) << text;
    }
    EXPECT_EQ(test::ReadCsv("a,\"b\r\n,\"\"\"\r\n"), (std::vector<std::vector<std::string>>{{"a", "b\r\n,\""}}));
}

} // namespace
} // namespace ornexa
