#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "report/line_reader.h"
#include "stat_fixture.h"

namespace ornexa {
namespace {

struct Read {
    std::vector<std::string> lines;
    std::vector<int> progress;
    std::int64_t bytes = 0;
};

Read ReadAll(const std::string& text, std::size_t maxLength = 1000) {
    const test::TempDir dir;
    const auto path = dir.Write("lines.txt", text);
    Read read;
    ReportLineReader reader([&](int percent) { read.progress.push_back(percent); });
    EXPECT_FALSE(reader.Open(path).has_value());
    while (const auto line = reader.ReadReportLine(maxLength)) {
        read.lines.emplace_back(*line);
    }
    EXPECT_EQ(reader.ReadLineNo(), static_cast<std::int64_t>(read.lines.size()));
    read.bytes = reader.BytesRead();
    return read;
}

TEST(ReportLineReader, AcceptsEveryLineEnd) {
    const std::vector<std::string> expected{"ENV", "", "BPS one", "BPD two"};
    for (const char* text : {"ENV\r\n\r\nBPS one\r\nBPD two\r\n", "ENV\n\nBPS one\nBPD two\n",
                             "ENV\r\rBPS one\rBPD two\r", "ENV\r\n\nBPS one\rBPD two", "ENV\n\rBPS one\r\nBPD two"}) {
        SCOPED_TRACE(::testing::PrintToString(std::string(text)));
        const Read read = ReadAll(text);
        EXPECT_EQ(read.lines, expected);
        EXPECT_EQ(read.bytes, static_cast<std::int64_t>(std::string(text).size()));
    }
}

TEST(ReportLineReader, CutsLongLinesButReadsPastThem) {
    const std::string longLine(200000, 'x');
    const Read read = ReadAll("short\r\n" + longLine + "\r\nafter\r\n", 470);
    ASSERT_EQ(read.lines.size(), 3U);
    EXPECT_EQ(read.lines[1], std::string(470, 'x'));
    EXPECT_EQ(read.lines[2], "after");
}

TEST(ReportLineReader, ALineThatDoesNotEndStopsTheReadAtOneMebibyte) {
    const std::size_t limit = ReportLineReader::MaxLineBytes;
    struct Case {
        const char* name;
        std::string text;
        std::vector<std::string> lines;
        std::optional<std::string> error;
    };
    const Case cases[] = {
        {"a line of exactly the limit is read",
         "ENV\r\n" + std::string(limit, 'x') + "\r\nafter\r\n",
         {"ENV", std::string(10, 'x'), "after"},
         std::nullopt},
        {"one byte over ends the read on that line",
         "ENV\r\n" + std::string(limit + 1, 'x') + "\r\nafter\r\n",
         {"ENV"},
         "Line 2 is longer than 1 MiB: not a report file"},
        {"zeros without any line end",
         std::string(3 * limit, '\0'),
         {},
         "Line 1 is longer than 1 MiB: not a report file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const test::TempDir dir;
        ReportLineReader reader;
        ASSERT_FALSE(reader.Open(dir.Write("lines.txt", c.text)).has_value());
        std::vector<std::string> lines;
        while (const auto line = reader.ReadReportLine(10)) {
            lines.emplace_back(*line);
        }
        EXPECT_EQ(lines, c.lines);
        EXPECT_EQ(reader.Error(), c.error);
        EXPECT_FALSE(reader.ReadReportLine(10).has_value()); // a stopped read stays stopped
    }
}

TEST(ReportLineReader, ADeviceThatNeverEndsIsReadOnlyToTheLimit) {
    ReportLineReader reader;
    ASSERT_FALSE(reader.Open("/dev/zero").has_value());
    EXPECT_FALSE(reader.ReadReportLine(100).has_value());
    EXPECT_EQ(reader.Error(), "Line 1 is longer than 1 MiB: not a report file");
    EXPECT_LE(reader.BytesRead(), static_cast<std::int64_t>(ReportLineReader::MaxLineBytes + std::size_t{64} * 1024));
}

TEST(ReportLineReader, ProgressRisesToAtMostOneHundred) {
    for (const char* end : {"\r\n", "\n", "\r"}) {
        std::string text;
        for (int i = 0; i < 500; ++i) {
            text += "BPD line " + std::to_string(i) + end;
        }
        const Read read = ReadAll(text);
        ASSERT_FALSE(read.progress.empty());
        EXPECT_TRUE(std::is_sorted(read.progress.begin(), read.progress.end()));
        EXPECT_LE(read.progress.back(), 100);
        EXPECT_GE(read.progress.back(), 99);
    }
}

Read ReadInBlocks(const std::string& text, std::size_t blockBytes, std::size_t maxLength = 1000) {
    const test::TempDir dir;
    const auto path = dir.Write("lines.txt", text);
    Read read;
    ReportLineReader reader([&](int percent) { read.progress.push_back(percent); }, blockBytes);
    EXPECT_FALSE(reader.Open(path).has_value());
    while (const auto line = reader.ReadReportLine(maxLength)) {
        read.lines.emplace_back(*line);
    }
    EXPECT_EQ(reader.ReadLineNo(), static_cast<std::int64_t>(read.lines.size()));
    EXPECT_FALSE(reader.Error().has_value());
    read.bytes = reader.BytesRead();
    return read;
}

TEST(ReportLineReader, LinesAcrossTheEndOfABlockReadAsInOneBlock) {
    // Every line end, empty lines, a CRLF split by the end of a block, no end after the last line,
    // and lines cut at their maximum length on either side of a block boundary.
    const std::vector<std::string> texts{
        "ENV\r\n\r\nBPS one\r\nBPD two\r\n",
        "ENV\n\nBPS one\nBPD two",
        "ENV\r\rBPS one\rBPD two\r",
        "ENV\r\n\nBPS one\rBPD two\n\r\r\n",
        "\r\n\r\n\r\n",
        "\r",
        "x",
        "a somewhat longer line of text\r\nand another one that is longer than the first\r\nend",
    };
    for (const std::string& text : texts) {
        for (const std::size_t maxLength : {std::size_t{1000}, std::size_t{5}, std::size_t{0}}) {
            const Read whole = ReadAll(text, maxLength);
            for (const std::size_t block : {1, 2, 3, 4, 5, 7, 11}) {
                SCOPED_TRACE(::testing::PrintToString(text) + " in blocks of " + std::to_string(block) +
                             ", lines cut at " + std::to_string(maxLength));
                const Read read = ReadInBlocks(text, block, maxLength);
                EXPECT_EQ(read.lines, whole.lines);
                EXPECT_EQ(read.bytes, static_cast<std::int64_t>(text.size()));
                EXPECT_EQ(read.progress, whole.progress);
            }
        }
    }
}

TEST(ReportLineReader, ALineHandedOutStaysUntilTheNextRead) {
    const test::TempDir dir;
    ReportLineReader reader({}, 8);
    ASSERT_FALSE(reader.Open(dir.Write("lines.txt", "one\ntwo longer than a block\nthree\n")).has_value());
    const auto one = reader.ReadReportLine(100);
    ASSERT_TRUE(one.has_value());
    EXPECT_EQ(*one, "one");
    const auto two = reader.ReadReportLine(100);
    ASSERT_TRUE(two.has_value());
    EXPECT_EQ(*two, "two longer than a block");
    const auto three = reader.ReadReportLine(100);
    ASSERT_TRUE(three.has_value());
    EXPECT_EQ(*three, "three");
    EXPECT_FALSE(reader.ReadReportLine(100).has_value());
}

TEST(ReportLineReader, TheLineLimitHoldsWhateverTheBlockSize) {
    const std::size_t limit = ReportLineReader::MaxLineBytes;
    const std::string exact = "ENV\r\n" + std::string(limit, 'x') + "\r\nafter\r\n";
    const std::string over = "ENV\r\n" + std::string(limit + 1, 'x') + "\r\nafter\r\n";
    for (const std::size_t block : {std::size_t{4096}, std::size_t{1000}, limit, limit + 1, 4 * limit}) {
        SCOPED_TRACE("blocks of " + std::to_string(block));
        const test::TempDir dir;
        ReportLineReader reader({}, block);
        ASSERT_FALSE(reader.Open(dir.Write("exact.txt", exact)).has_value());
        std::vector<std::string> lines;
        while (const auto line = reader.ReadReportLine(10)) {
            lines.emplace_back(*line);
        }
        EXPECT_EQ(lines, (std::vector<std::string>{"ENV", std::string(10, 'x'), "after"}));
        EXPECT_FALSE(reader.Error().has_value());
        EXPECT_EQ(reader.BytesRead(), static_cast<std::int64_t>(exact.size()));

        ASSERT_FALSE(reader.Open(dir.Write("over.txt", over)).has_value());
        ASSERT_TRUE(reader.ReadReportLine(10).has_value());
        EXPECT_FALSE(reader.ReadReportLine(10).has_value());
        EXPECT_EQ(reader.Error(), "Line 2 is longer than 1 MiB: not a report file");
        // The read ends on the first byte beyond the limit.
        EXPECT_EQ(reader.BytesRead(), static_cast<std::int64_t>(5 + limit + 1));
        EXPECT_EQ(reader.ReadLineNo(), 1);
    }
}

TEST(ReportLineReader, ReadsAPipe) {
    std::string text;
    for (int i = 0; i < 3000; ++i) {
        text += "BPD line " + std::to_string(i) + (i % 2 == 0 ? "\r\n" : "\n");
    }
    const test::TempDir dir;
    const auto path = dir.Write("lines.txt", text);
    const std::string command = "cat '" + path.string() + "'";
    std::FILE* pipe = ::popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    const auto fd = "/dev/fd/" + std::to_string(::fileno(pipe));
    ReportLineReader reader({}, 4096);
    ASSERT_FALSE(reader.Open(fd).has_value());
    std::vector<std::string> lines;
    while (const auto line = reader.ReadReportLine(100)) {
        lines.emplace_back(*line);
    }
    ::pclose(pipe);
    EXPECT_EQ(lines, ReadAll(text).lines);
    EXPECT_EQ(reader.BytesRead(), static_cast<std::int64_t>(text.size()));
}

TEST(ReportLineReader, NamesTheFileItCannotOpen) {
    ReportLineReader reader;
    const auto failure = reader.Open("/nonexistent/folder/report.sta");
    ASSERT_TRUE(failure.has_value());
    EXPECT_NE(failure->find("/nonexistent/folder/report.sta"), std::string::npos);
    EXPECT_NE(failure->find("No such file"), std::string::npos);
    EXPECT_FALSE(reader.ReadReportLine(100).has_value());
}

TEST(ReportLineReader, BytesInMemoryReadAsTheFileHoldingThem) {
    const std::string endless(ReportLineReader::MaxLineBytes + 10, 'x');
    for (const std::string& text :
         {std::string("ENV\r\n\r\nBPS one\r\nBPD two\r\n"), std::string("ENV\r\rBPS one\rBPD two"),
          std::string("ENV\n\rBPS one\r\nBPD two"), std::string(), "a\n" + endless}) {
        SCOPED_TRACE(::testing::PrintToString(text.substr(0, 40)));
        const test::TempDir dir;
        const auto path = dir.Write("lines.txt", text);
        ReportLineReader fromFile;
        ASSERT_FALSE(fromFile.Open(path).has_value());
        ReportLineReader fromMemory;
        fromMemory.OpenBytes(text, path);
        EXPECT_EQ(fromMemory.ReadFileLength(), static_cast<std::int64_t>(text.size()));
        for (;;) {
            const auto expected = fromFile.ReadReportLine(100);
            const auto line = fromMemory.ReadReportLine(100);
            ASSERT_EQ(line.has_value(), expected.has_value());
            if (!line) {
                break;
            }
            EXPECT_EQ(*line, *expected);
        }
        EXPECT_EQ(fromMemory.BytesRead(), fromFile.BytesRead());
        EXPECT_EQ(fromMemory.Error(), fromFile.Error());
    }
}

TEST(ReportLineReader, AFileReadWholeSaysWhyItCouldNot) {
    const test::TempDir dir;
    const auto path = dir.Write("report.sta", std::string("ENV\0USA\r\n", 9));
    const FileBytes read = ReadFileBytes(path);
    EXPECT_FALSE(read.failure.has_value());
    EXPECT_EQ(read.bytes, std::string("ENV\0USA\r\n", 9));
    for (const std::filesystem::path& refused : {dir.Path(), dir.Path() / "gone.sta"}) {
        const FileBytes none = ReadFileBytes(refused);
        ASSERT_TRUE(none.failure.has_value());
        EXPECT_EQ(none.failure->rfind("Cannot open file \"" + refused.string() + "\": ", 0), 0U) << *none.failure;
        EXPECT_EQ(*none.failure, ReportLineReader().Open(refused).value());
    }
}

} // namespace
} // namespace ornexa
