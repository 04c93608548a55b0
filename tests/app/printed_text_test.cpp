// Text on paper reads back as drawn: the print preview's PDF (a QPrinter writing a PDF) and a
// chart saved as a PDF, read back with pdftotext.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <QGuiApplication>
#include <QPrinter>
#include <array>
#include <cstdio>

#include "print/ui/page_painter.h"
#include "report/stat_reader.h"
#include "session/report_pages.h"
#include "simulation/sim_reader.h"
#include "stat_fixture.h"
#include "stats/ui/chart_picture.h"

namespace {

std::string PdfText(const std::filesystem::path& pdf) {
    std::string text;
    FILE* pipe = popen(("pdftotext " + pdf.string() + " - 2>&1").c_str(), "r"); // NOLINT(cert-env33-c)
    if (pipe == nullptr) {
        return text;
    }
    std::array<char, 4096> buffer{};
    while (std::fgets(buffer.data(), static_cast<int>(buffer.size()), pipe) != nullptr) {
        text += buffer.data();
    }
    pclose(pipe);
    return text;
}

// Whether the text holds one of the typographic ligatures U+FB00 to U+FB06, in UTF-8.
bool HasLigature(const std::string& text) {
    for (std::size_t at = text.find("\xEF\xAC"); at != std::string::npos && at + 2 < text.size();
         at = text.find("\xEF\xAC", at + 1)) {
        const auto third = static_cast<unsigned char>(text[at + 2]);
        if (third >= 0x80 && third <= 0x86) {
            return true;
        }
    }
    return false;
}

// The application's font as the program sets it at start-up, for one test.
class ProgramFont {
public:
    ProgramFont() : before_(QGuiApplication::font()) { DrawApplicationTextWithoutLigatures(); }
    ProgramFont(const ProgramFont&) = delete;
    ProgramFont& operator=(const ProgramFont&) = delete;
    ProgramFont(ProgramFont&&) = delete;
    ProgramFont& operator=(ProgramFont&&) = delete;
    ~ProgramFont() { QGuiApplication::setFont(before_); }

private:
    QFont before_;
};

TEST(PrintedText, ThePreviewsPdfAndASavedChartReadBackAsDrawn) {
    const ProgramFont font;
    ornexa::Report report;
    ornexa::SimulationData sim;
    const std::string samples = ORNEXA_SAMPLES_DIR;
    ASSERT_TRUE(ornexa::ReadStatisticsFile(report, samples + "/statistics-usa.sta").Loaded());
    ASSERT_TRUE(ornexa::ReadSimulationFile(report, sim, samples + "/simulation-bp1.sim").Loaded());
    ornexa::ReportPagesRequest request;
    request.pools = {"BP1"};
    const ornexa::PrintedReport pages = ornexa::AllReportPages(report, sim, request).printed;
    const auto charted = std::find_if(pages.pages.begin(), pages.pages.end(),
                                      [](const ornexa::PrintedPage& page) { return page.chart.has_value(); });
    ASSERT_NE(charted, pages.pages.end());

    const ornexa::test::TempDir dir;
    const auto printed = dir.Path() / "printed.pdf";
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(printed.string()));
        ASSERT_EQ(PaintReport(pages, printer), std::nullopt);
    }
    const auto chart = dir.Path() / "chart.pdf";
    ASSERT_EQ(WriteChartPicture(*charted->chart, QString::fromStdString(chart.string()), PictureFormat::Pdf),
              std::nullopt);

    struct Case {
        std::filesystem::path pdf;
        std::vector<std::string> words;
    };
    const Case cases[] = {
        {printed, {"Buffer Pool BP1", "Buffer Pool - BP1"}}, // the page's title and its chart's
        {chart, {"Buffer Pool - BP1"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pdf.filename().string());
        const std::string text = PdfText(c.pdf);
        EXPECT_FALSE(HasLigature(text)) << text;
        for (const std::string& word : c.words) {
            EXPECT_NE(text.find(word), std::string::npos) << word;
        }
    }
}

} // namespace
