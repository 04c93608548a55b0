// The blank scans the display reader passes its lines with, eight bytes at a time: they must find
// what a scan byte by byte finds, wherever the blanks and tabs fall against the eight-byte steps.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "display/display_messages.h"

namespace {

using namespace ornexa;

bool IsBlankOrTab(char c) {
    return c == ' ' || c == '\t';
}

std::size_t SlowSkip(std::string_view s, std::size_t i) {
    while (i < s.size() && IsBlankOrTab(s[i])) {
        ++i;
    }
    return i;
}

std::size_t SlowFind(std::string_view s, std::size_t i) {
    while (i < s.size() && !IsBlankOrTab(s[i])) {
        ++i;
    }
    return i;
}

std::size_t SlowEnd(std::string_view s) {
    std::size_t n = s.size();
    while (n > 0 && IsBlankOrTab(s[n - 1])) {
        --n;
    }
    return n;
}

TEST(DisplayBlanks, ScansAgreeWithAByteByByteScanAtEveryOffset) {
    // Runs of blanks and tabs of every length up to two words, between tokens, at every alignment;
    // bytes next to the blank and the tab in value (0x1F, 0x21, 0x08, 0x0A, 0xA0) are no blanks.
    const std::string others = std::string("AB\x1F\x21\x08\x0A") + static_cast<char>(0xA0);
    for (std::size_t lead = 0; lead < 9; ++lead) {
        for (std::size_t run = 0; run < 18; ++run) {
            for (const char filler : {' ', '\t'}) {
                std::string line(lead, 'X');
                line += std::string(run, filler);
                line += others;
                line += std::string(run, ' ');
                if (run % 3 == 1) {
                    line += '\t';
                }
                const std::string_view s = line;
                for (std::size_t i = 0; i <= s.size(); ++i) {
                    EXPECT_EQ(SkipBlanks(s, i), SlowSkip(s, i)) << '"' << line << "\" from " << i;
                    EXPECT_EQ(FindBlank(s, i), SlowFind(s, i)) << '"' << line << "\" from " << i;
                }
                for (std::size_t n = 0; n <= s.size(); ++n) {
                    EXPECT_EQ(EndOfText(s.substr(0, n)), SlowEnd(s.substr(0, n))) << '"' << line << "\" to " << n;
                }
            }
        }
    }
}

TEST(DisplayBlanks, EmptyAndAllBlankTexts) {
    EXPECT_EQ(SkipBlanks("", 0), 0U);
    EXPECT_EQ(FindBlank("", 0), 0U);
    EXPECT_EQ(EndOfText(""), 0U);
    const std::string blanks(20, ' ');
    EXPECT_EQ(SkipBlanks(blanks, 0), 20U);
    EXPECT_EQ(FindBlank(blanks, 3), 3U);
    EXPECT_EQ(EndOfText(blanks), 0U);
    const std::string word(20, 'W');
    EXPECT_EQ(SkipBlanks(word, 5), 5U);
    EXPECT_EQ(FindBlank(word, 0), 20U);
    EXPECT_EQ(EndOfText(word), 20U);
}

// Continuation lines that start as the one before take its columns; lines that only nearly do
// (flags run on, no flags, another multi-line id, more blanks) are parsed on their own.
TEST(DisplayBlanks, ContinuationLinesThatShareTheirColumnsKeepTheirOwnText) {
    const std::vector<std::string> lines = {
        "M 0000000 SYSA     26342 10:00:00.12 STC01234 00000090  DSNB401I -DB2A BUFFERPOOL NAME BP0",
        "M 0000000 SYSA     26342 10:00:00.12 STC01234 00000090  DSNB401I -DB2B BUFFERPOOL NAME BP1",
        "D                                         123 00000090  DSNB402I -DB2A BUFFER POOL SIZE = 1",
        "D                                         123 00000090             ALLOCATED = 2",
        "D                                         123 00000090   \tEXTRA BLANKS = 3",
        "D                                         124 00000090  DSNB402I -DB2B BUFFER POOL SIZE = 4",
        "D                                         123 0000009X  NO FLAGS = 5",
        "D                                         123 00000090  ",
        "D                                         123 00000090  LAST = 6",
        "E                                         123 00000090  ",
        "E                                         124 00000090  END = 7",
        "D                                         123 00000090  DSNB402I -DB2A SIZE = 8",
        // A date and a time after the columns: the line opens a message of its own.
        std::string("D                                         123 00000090  X 26342 10:00:01.00 STC0001 00000090  ") +
            "DSNB401I -DB2C BUFFERPOOL NAME BP9",
    };
    std::vector<DisplayMessage> messages;
    MessageSplitter splitter([&](const DisplayMessage& m) { messages.push_back(m); });
    std::int64_t number = 0;
    for (const std::string& line : lines) {
        splitter.Line(++number, line);
    }
    splitter.Finish();
    std::vector<std::string> texts;
    for (const DisplayMessage& m : messages) {
        for (const MessageLine& line : m.lines) {
            texts.push_back(std::string(m.id) + ":" + std::to_string(line.number) + ":" + std::string(m.system) + ":" +
                            std::string(line.text));
        }
    }
    const std::vector<std::string> expected = {
        "DSNB401I:2:SYSA:BUFFERPOOL NAME BP1", // handed out when its DSNB402I starts
        "DSNB401I:1:SYSA:BUFFERPOOL NAME BP0",
        "DSNB402I:3:SYSA:BUFFER POOL SIZE = 1",
        "DSNB402I:4:SYSA:ALLOCATED = 2",
        "DSNB402I:5:SYSA:EXTRA BLANKS = 3",
        "DSNB402I:7:SYSA:0000009X  NO FLAGS = 5",
        "DSNB402I:9:SYSA:LAST = 6",
        "DSNB402I:6:SYSA:BUFFER POOL SIZE = 4",
        "DSNB402I:11:SYSA:END = 7",
        // Line 12 continues a message already ended: nothing takes it.
        "DSNB401I:13:X:BUFFERPOOL NAME BP9",
    };
    EXPECT_EQ(texts, expected);
}

} // namespace
