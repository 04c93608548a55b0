#include <gtest/gtest.h>

#include <iconv.h>

#include <string>

#include "display/display_reader.h"
#include "display_writer.h"
#include "load/report_kind.h"
#include "report/read_fault.h"

namespace ornexa {
namespace {

// Two pools of one batch display, as DSN writes it.
std::string BatchDisplay() {
    samplegen::DisplaySampleOptions options;
    options.form = samplegen::DisplayForm::Batch;
    options.pools = 2;
    options.dataSetsPerPool = 1;
    return samplegen::WriteDisplaySample(options);
}

std::int64_t LineOf(const std::string& text, std::size_t at) {
    return 1 +
           static_cast<std::int64_t>(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(at), '\n'));
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    text.replace(text.find(from), from.size(), to);
    return text;
}

TEST(DisplayReader, AWholeDisplayLoadsWithoutWarnings) {
    const std::string text = BatchDisplay();
    EXPECT_EQ(ReportKindOfBytes(text), ReportKind::Db2Display);
    const DisplayReports read = ReadDisplayReports(text);
    EXPECT_TRUE(read.result.Loaded());
    EXPECT_FALSE(read.result.Warned());
    ASSERT_EQ(read.reports.size(), 1U);
    EXPECT_EQ(read.reports[0].PoolCount(), 2);
    EXPECT_TRUE(MessagesOf(read.result).empty());
}

// Each bad input is told with its line; a fault stops the read, a warning lets it load warned, the
// rest only informs.
TEST(DisplayReader, EveryBadInputIsToldWithItsLine) {
    const std::string whole = BatchDisplay();
    const std::size_t secondPool = whole.find("DSNB401I -DB2A BUFFERPOOL NAME BP1");
    const std::size_t randomGetpage = whole.find("RANDOM GETPAGE    =");
    const std::size_t afterLpl = whole.find("PAGES ADDED") + whole.substr(whole.find("PAGES ADDED")).find('\n') + 1;
    struct Case {
        const char* name;
        std::string text;
        bool loads;
        bool warned;
        std::int64_t line;         // of the fault, or of the first note
        std::string messagePart;   // in the box's text
        std::string hintPart = {}; // in its advice
    };
    const Case cases[] = {
        {"cut inside a pool", whole.substr(0, whole.find("DSNB412I", secondPool)), true, true,
         LineOf(whole, secondPool), "BP1"},
        {"unknown message id",
         whole.substr(0, afterLpl) + "DSNB499I -DB2A SOMETHING NEW = 5\n" + whole.substr(afterLpl), true, false,
         LineOf(whole, afterLpl), "DSNB499I (1, first at line"},
        {"not a number", Replaced(whole, "RANDOM GETPAGE    =    ", "RANDOM GETPAGE    =    12X"), false, false,
         LineOf(whole, randomGetpage), "DSNB411I, RANDOM GETPAGE: not a number", "a value that is not a number"},
        {"beyond 64 bits", Replaced(whole, "RANDOM GETPAGE    =    ", "RANDOM GETPAGE    = 99999999999999999999"),
         false, false, LineOf(whole, randomGetpage), "DSNB411I, RANDOM GETPAGE", "beyond 64 bits"},
        {"a duplicate display", whole + whole, true, true, LineOf(whole + whole, whole.size() + whole.find("DSNB401I")),
         "duplicate"},
        {"no buffer pool display", "DSNB750I -DB2A DISPLAY FOR GROUP BUFFER POOL GBP0 FOLLOWS\n", false, false, 1,
         "not a Db2 display", "no DSNB401I"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ReportKindOfBytes(c.text), ReportKind::Db2Display);
        const DisplayReports read = ReadDisplayReports(c.text);
        EXPECT_EQ(read.result.Loaded(), c.loads);
        EXPECT_EQ(read.result.Warned(), c.warned);
        const Messages told = MessagesOf(read.result, ReadFiles{"db2.log", ""});
        ASSERT_EQ(told.size(), 1U);
        EXPECT_NE(told[0].text.find(c.messagePart), std::string::npos) << told[0].text;
        if (!c.hintPart.empty()) {
            EXPECT_NE(told[0].hint.find(c.hintPart), std::string::npos) << told[0].hint;
            EXPECT_NE(told[0].hint.find("db2.log"), std::string::npos) << told[0].hint;
        }
        if (read.result.fault) {
            EXPECT_EQ(read.result.fault->line, c.line);
        } else {
            ASSERT_FALSE(read.result.notes.empty());
            EXPECT_EQ(read.result.notes[0].line, c.line);
        }
    }
}

TEST(DisplayReader, AReportOfAFileOfManyIntervalsIsItsLastAndSaysSo) {
    samplegen::DisplaySampleOptions options;
    options.series = 3;
    options.pools = 2;
    options.dataSetsPerPool = 0;
    Report report;
    const StatReadResult result = ReadDisplayReport(report, samplegen::WriteDisplaySample(options));
    EXPECT_TRUE(result.Loaded());
    EXPECT_FALSE(result.Warned()); // it only informs
    EXPECT_EQ(report.Header.CollectionTime.Str(), "08:30:00");
    ASSERT_EQ(result.notes.size(), 1U);
    EXPECT_NE(result.notes[0].text.find("holds 3 intervals"), std::string::npos);
}

std::string ToEbcdic(const std::string& text, const char* codePage) {
    iconv_t cd = iconv_open(codePage, "ISO-8859-1");
    std::string in = text;
    std::string out(in.size(), '\0');
    char* inp = in.data();
    char* outp = out.data();
    std::size_t inLeft = in.size();
    std::size_t outLeft = out.size();
    iconv(cd, &inp, &inLeft, &outp, &outLeft);
    iconv_close(cd);
    return out;
}

TEST(DisplayReader, AnEbcdicFileIsToldAndReadAsItsText) {
    const std::string text = BatchDisplay();
    const DisplayReports ascii = ReadDisplayReports(text);
    for (const char* codePage : {"IBM037", "IBM1047"}) {
        SCOPED_TRACE(codePage);
        const std::string ebcdic = ToEbcdic(text, codePage);
        EXPECT_EQ(ReportKindOfBytes(ebcdic), ReportKind::Db2Display);
        const DisplayReports read = ReadDisplayReports(ebcdic);
        ASSERT_TRUE(read.result.Loaded());
        ASSERT_EQ(read.reports.size(), 1U);
        EXPECT_EQ(read.reports[0].Db2Display, ascii.reports[0].Db2Display);
        EXPECT_EQ(read.reports[0].Pools(2).PoolGetPages, ascii.reports[0].Pools(2).PoolGetPages);
    }
}

TEST(DisplayReader, ALogWithMuchElseBeforeItsDisplayIsStillToldADisplay) {
    std::string log;
    while (log.size() < 300'000) {
        log += "N 4000000 SYSA     26342 07:59:59.00 STC00001 00000090  IEF403I JOBX - STARTED - TIME=07.59.59\n";
    }
    log += BatchDisplay();
    EXPECT_EQ(ReportKindOfBytes(log), ReportKind::Db2Display);
    EXPECT_EQ(ReportKindOfBytes("IEF403I JOBX - STARTED\nno display here\n"), ReportKind::NoReport);
}

} // namespace
} // namespace ornexa
