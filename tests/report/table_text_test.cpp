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

TEST(CsvReader, RefusesWhatBreaksTheRules) {
    for (const char* text : {"a,b", "a\nb\r\n", "\"open\r\n", "a\"b\r\n", "\"a\"b\r\n", "a\rb\r\n"}) {
        EXPECT_FALSE(test::ReadCsv(text).has_value()) << text;
    }
    EXPECT_EQ(test::ReadCsv("a,\"b\r\n,\"\"\"\r\n"), (std::vector<std::vector<std::string>>{{"a", "b\r\n,\""}}));
}

} // namespace
} // namespace ornexa
