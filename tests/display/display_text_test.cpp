// The layers under the display reader: code pages, lines into messages, label = value pairs.
#include <gtest/gtest.h>

#include <iconv.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "display/display_bytes.h"
#include "display/display_messages.h"
#include "display/display_parse.h"
#include "display/display_values.h"

namespace {

using namespace ornexa;

std::string DataFile(const std::string& name) {
    std::ifstream in(std::string(ORNEXA_DISPLAY_DATA_DIR) + "/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// `text` in an EBCDIC code page, by iconv itself.
std::string ToEbcdic(const std::string& text, const char* codePage) {
    iconv_t conv = iconv_open(codePage, "ISO-8859-1");
    EXPECT_NE(conv, reinterpret_cast<iconv_t>(static_cast<std::intptr_t>(-1))); // NOLINT: iconv's failure value
    std::string in = text;
    std::string out(text.size(), '\0');
    char* inPtr = in.data();
    std::size_t inLeft = in.size();
    char* outPtr = out.data();
    std::size_t outLeft = out.size();
    EXPECT_NE(iconv(conv, &inPtr, &inLeft, &outPtr, &outLeft), static_cast<std::size_t>(-1));
    iconv_close(conv);
    out.resize(out.size() - outLeft);
    return out;
}

TEST(DisplayBytes, TellsAndConvertsBothEbcdicCodePages) {
    // Brackets are where the two code pages differ; the NL of EBCDIC (0x15) ends lines as well as LF (0x25).
    const std::string text = " -DISPLAY GROUPBUFFERPOOL(*) [SCREEN COPY]\n" + DataFile("db2_13_batch.txt");
    struct Case {
        const char* codePage;
        DisplayEncoding encoding;
        bool newLines;
    };
    for (const Case& c :
         {Case{"IBM037", DisplayEncoding::Ebcdic037, false}, Case{"IBM1047", DisplayEncoding::Ebcdic1047, false},
          Case{"IBM037", DisplayEncoding::Ebcdic037, true}}) {
        std::string ebcdic = ToEbcdic(text, c.codePage);
        if (c.newLines) {
            std::replace(ebcdic.begin(), ebcdic.end(), '\x25', '\x15');
        }
        EXPECT_TRUE(HoldsDb2Display(ebcdic)) << c.codePage;
        EXPECT_EQ(DetectDisplayEncoding(ebcdic), c.encoding) << c.codePage;
        const DisplayParse r = ParseDisplays(ebcdic);
        EXPECT_EQ(r.encoding, c.encoding);
        ASSERT_FALSE(r.fault) << r.fault->description;
        ASSERT_EQ(r.displays.size(), 1U) << c.codePage;
        ASSERT_EQ(r.displays[0].pools.size(), 2U);
        EXPECT_EQ(r.displays[0].pools[0].Get(PoolFigure::RandomGetpages), 491222);
        EXPECT_EQ(r.displays[0].pools[0].dataSets.size(), 2U);
        EXPECT_EQ(r.lines, 64);
    }
}

TEST(DisplayBytes, HoldsDb2DisplayOnlyWithItsHeaderMessage) {
    EXPECT_TRUE(HoldsDb2Display("xx DSNB401I -DB2A BUFFERPOOL NAME BP0"));
    EXPECT_TRUE(HoldsDb2Display(ToEbcdic("DSNB401I -DB2A", "IBM1047")));
    EXPECT_FALSE(HoldsDb2Display("DSNB402I - BUFFER POOL SIZE = 1"));
    EXPECT_FALSE(HoldsDb2Display(""));
    EXPECT_EQ(DetectDisplayEncoding("DSNB401I @@@@ plain ASCII\n"), DisplayEncoding::Ascii);
}

TEST(DisplayMessages, KnowsMessageIdsByTheirForm) {
    struct Case {
        const char* token;
        bool id;
    };
    for (const Case& c :
         {Case{"DSNB401I", true}, Case{"DSN9022I", true}, Case{"IEF403I", true}, Case{"$HASP395", true},
          Case{"DSNB4011I", true}, Case{"CURRENT", false}, Case{"SYSTSTAB", false}, Case{"BP8K0", false},
          Case{"DSNDB06", false}, Case{"=", false}, Case{"I/O", false}, Case{"DSNB401IXXX", false}}) {
        EXPECT_EQ(IsMessageId(c.token), c.id) << c.token;
    }
}

std::vector<DisplayMessage> Split(const std::string& text) {
    std::vector<DisplayMessage> out;
    MessageSplitter splitter([&](const DisplayMessage& m) { out.push_back(m); });
    std::int64_t number = 0;
    std::size_t from = 0;
    while (from < text.size()) {
        const std::size_t nl = text.find('\n', from);
        splitter.Line(++number, std::string_view(text).substr(from, nl - from));
        from = nl + 1;
    }
    splitter.Finish();
    return out;
}

TEST(DisplayMessages, TakesPrefixesAndKeepsTheLinesOfEachMessage) {
    const std::string text = "1DSNB401I  +DB2A BUFFERPOOL NAME BP0\n"
                             "            more text\n"
                             "IEF403I JOB - STARTED\n"
                             "   continued other text\n"
                             "DSNB402I - BUFFER POOL SIZE = 1\n"
                             "0DSN9022I #DB2B NORMAL COMPLETION\n"
                             "DSNB411I BP0 WITHOUT PREFIX\n";
    const std::vector<DisplayMessage> m = Split(text);
    ASSERT_EQ(m.size(), 5U);
    EXPECT_EQ(m[0].id, "DSNB401I");
    EXPECT_EQ(m[0].prefix, "+DB2A");
    ASSERT_EQ(m[0].lines.size(), 2U);
    EXPECT_EQ(m[0].lines[0].text, "BUFFERPOOL NAME BP0");
    EXPECT_EQ(m[0].lines[1].number, 2);
    EXPECT_EQ(m[0].lines[1].text, "more text");
    EXPECT_EQ(m[1].id, "IEF403I");
    EXPECT_EQ(m[1].lines.size(), 2U);
    EXPECT_EQ(m[2].prefix, "+DB2A"); // "-" alone: the subsystem of the messages before it
    EXPECT_EQ(m[3].id, "DSN9022I");  // after the carriage control
    EXPECT_EQ(m[3].prefix, "#DB2B");
    EXPECT_EQ(m[4].prefix, "#DB2B");
    EXPECT_EQ(m[4].lines[0].text, "BP0 WITHOUT PREFIX");
}

TEST(DisplayMessages, JoinsSyslogContinuationsByMultiLineId) {
    const std::string text =
        "M 0000000 SYSA     26342 10:00:00.12 STC01234 00000090  DSNB401I -DB2A BUFFERPOOL NAME BP0\n"
        "NC0000000 SYSB     26342 10:00:00.13 STC00001 00000290  IEF403I OTHER - STARTED\n"
        "D                                         123 00000090  DSNB402I -DB2A BUFFER POOL SIZE = 1\n"
        "D                                         123 00000090             ALLOCATED = 1\n"
        "E                                         123 00000090  \n";
    const std::vector<DisplayMessage> m = Split(text);
    ASSERT_EQ(m.size(), 3U);
    EXPECT_EQ(m[0].id, "DSNB401I");
    EXPECT_EQ(m[0].system, "SYSA");
    EXPECT_EQ(m[0].date, "26342");
    EXPECT_EQ(m[0].time, "10:00:00.12");
    EXPECT_EQ(m[1].id, "DSNB402I");
    EXPECT_EQ(m[1].time, "10:00:00.12");
    ASSERT_EQ(m[1].lines.size(), 2U);
    EXPECT_EQ(m[1].lines[1].number, 4);
    EXPECT_EQ(m[1].lines[1].text, "ALLOCATED = 1");
    EXPECT_EQ(m[2].id, "IEF403I");
    EXPECT_EQ(m[2].system, "SYSB");
}

TEST(DisplayValues, ReadsPairsByLabelWhateverTheSpacing) {
    const std::vector<MessageLine> lines{
        {1, "RANDOM GETPAGE    =   1234  SYNC READ I/O (R) =    56"},
        {2, "VERTICAL DEFERRED WRT  = 5,  0   AUTOSIZE=NO"},
        {3, "PGFIX ATTRIBUTE -"},
        {4, "   CURRENT  =  "},
    };
    std::vector<LabelValue> pairs;
    ReadLabelValues(lines, pairs);
    ASSERT_EQ(pairs.size(), 5U);
    EXPECT_EQ(pairs[0].label, "RANDOM GETPAGE");
    EXPECT_EQ(pairs[0].value, "1234");
    EXPECT_EQ(pairs[1].label, "SYNC READ I/O (R)");
    EXPECT_EQ(pairs[1].value, "56");
    EXPECT_EQ(pairs[2].value, "5");
    EXPECT_EQ(pairs[2].second, "0");
    EXPECT_EQ(pairs[2].line, 2);
    EXPECT_EQ(pairs[3].label, "AUTOSIZE");
    EXPECT_EQ(pairs[3].value, "NO");
    EXPECT_EQ(pairs[4].heading, "PGFIX ATTRIBUTE -");
    EXPECT_EQ(pairs[4].label, "CURRENT");
    EXPECT_EQ(pairs[4].value, "");
    EXPECT_TRUE(LabelMentions(pairs[4], "PGFIX"));
}

TEST(DisplayValues, MatchesLabelEndsAtWordBoundaries) {
    struct Case {
        const char* heading;
        const char* label;
        const char* suffix;
        bool matches;
    };
    for (const Case& c :
         {Case{"", "seq.  getpage", "SEQ. GETPAGE", true}, Case{"", "VERTICAL DWT HIT", "DWT HIT", true},
          Case{"", "XDWT HIT", "DWT HIT", false}, Case{"", "ASYNC WRITE I/O", "SYNC WRITE I/O", false},
          Case{"SYNC READ I/O", "(R)", "SYNC READ I/O (R)", true},
          Case{"THRESHOLDS -", "VP SEQUENTIAL", "VP SEQUENTIAL", true}, Case{"", "BUFFERS  AUTOSIZE", "AUTOSIZE", true},
          Case{"", "SIZE", "POOL SIZE", false}}) {
        const std::string line = std::string(c.label) + " = 1";
        std::vector<LabelValue> pairs;
        ReadLabelValues({{1, c.heading}, {2, line}}, pairs);
        ASSERT_EQ(pairs.size(), 1U);
        EXPECT_EQ(LabelEndsWith(pairs[0], c.suffix), c.matches) << c.label << " / " << c.suffix;
    }
    EXPECT_EQ(NormalisedLabel("  sync   read i/o (r) "), "SYNC READ I/O (R)");
}

TEST(DisplayValues, ReadsWholeNumbersOnly) {
    struct Case {
        const char* text;
        std::optional<std::int64_t> value;
        const char* fault;
    };
    for (const Case& c : {Case{"0", 0, ""}, Case{"9223372036854775807", INT64_MAX, ""}, Case{"-3", -3, ""},
                          Case{"9223372036854775808", std::nullopt, "exceeds 64 bits: 9223372036854775808"},
                          Case{"12X4", std::nullopt, "not a number: 12X4"}, Case{"", std::nullopt, "not a number: "},
                          Case{"1.5", std::nullopt, "not a number: 1.5"}}) {
        const NumberRead r = ReadNumber(c.text);
        EXPECT_EQ(r.value, c.value) << c.text;
        EXPECT_EQ(r.fault, c.fault) << c.text;
    }
}

} // namespace
