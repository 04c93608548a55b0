// `ornexa --pdf`, run as a user runs it, read back with the poppler tools.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>

#include "stat_fixture.h"

namespace {

const std::string Samples = ORNEXA_SAMPLES_DIR;
const std::string Statistics = Samples + "/statistics-usa.sta";
const std::string Simulation = Samples + "/simulation-bp1.sim";

struct Outcome {
    int status = -1;
    std::string output; // standard output and error
};

Outcome Execute(const std::string& command) {
    Outcome outcome;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r"); // NOLINT(cert-env33-c): our program and poppler's
    if (pipe == nullptr) {
        return outcome;
    }
    std::array<char, 4096> buffer{};
    while (std::fgets(buffer.data(), static_cast<int>(buffer.size()), pipe) != nullptr) {
        outcome.output += buffer.data();
    }
    const int status = pclose(pipe);
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return outcome;
}

Outcome Ornexa(const std::string& arguments) {
    return Execute("QT_QPA_PLATFORM=offscreen " + std::string(ORNEXA_EXE) + " " + arguments);
}

// The text of a PDF as pdftotext gives it, every run of blanks made one, so a test looks for words
// as a reader would.
std::string PdfText(const std::filesystem::path& pdf) {
    const std::string raw = Execute("pdftotext " + pdf.string() + " -").output;
    std::string text;
    for (const char c : raw) {
        if (c == ' ' || c == '\n') {
            if (text.empty() || text.back() != ' ') {
                text += ' ';
            }
        } else {
            text += c;
        }
    }
    return text;
}

// The typographic ligatures U+FB00 to U+FB06 ("ff", "fi", "fl", "ffi", "ffl", "st") in UTF-8.
std::size_t LigatureCount(const std::string& text) {
    std::size_t count = 0;
    for (std::size_t at = text.find("\xEF\xAC"); at != std::string::npos && at + 2 < text.size();
         at = text.find("\xEF\xAC", at + 1)) {
        const auto third = static_cast<unsigned char>(text[at + 2]);
        count += third >= 0x80 && third <= 0x86 ? 1 : 0;
    }
    return count;
}

int PageCount(const std::filesystem::path& pdf) {
    const Outcome info = Execute("pdfinfo " + pdf.string());
    const std::size_t at = info.output.find("Pages:");
    return at == std::string::npos ? -1 : std::stoi(info.output.substr(at + 6));
}

// Whether a page, rendered in grey at a low resolution, has a pixel that is not white.
bool PageHasInk(const std::filesystem::path& pdf, int page, const std::filesystem::path& folder) {
    const std::filesystem::path stem = folder / ("page" + std::to_string(page));
    Execute("pdftoppm -gray -r 20 -singlefile -f " + std::to_string(page) + " -l " + std::to_string(page) + " " +
            pdf.string() + " " + stem.string());
    std::ifstream in(stem.string() + ".pgm", std::ios::binary);
    std::string magic;
    int width = 0;
    int height = 0;
    int maximum = 0;
    in >> magic >> width >> height >> maximum;
    in.get();
    std::string pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), '\0');
    in.read(pixels.data(), static_cast<std::streamsize>(pixels.size()));
    return magic == "P5" && pixels.find_first_not_of(static_cast<char>(maximum)) != std::string::npos;
}

TEST(OrnexaPdf, WritesEveryPageOfTheSamplesWithTheirTexts) {
    const ornexa::test::TempDir dir;
    const auto pdf = dir.Path() / "samples.pdf";
    const Outcome run = Ornexa("--pdf " + pdf.string() + " " + Statistics + " --simulation " + Simulation);
    ASSERT_EQ(run.status, 0) << run.output;
    // The summary, two pages for each of the 9 pools, the 4 simulation charts and 3 clusters of BP1.
    EXPECT_EQ(PageCount(pdf), 26);
    EXPECT_NE(run.output.find("26 pages"), std::string::npos) << run.output;
    const std::string text = PdfText(pdf);
    for (const char* expected :
         {"Report Summary", "Total Get Pages", "Buffer Pool BP0", "Buffer Pool BP32K", "BP7 Pool Objects",
          "System:", "SYSA", "DB2P", "2026-11-30", "Largest Max WorkSet", "Optimal Pool Sizes", "PAYROLL.IX1N38",
          "Cluster # = 1 -- Random objects", "Collection Date", "11-30-2026 10:15 AM", "Page 26 of 26"}) {
        EXPECT_NE(text.find(expected), std::string::npos) << expected;
    }
    for (int page = 1; page <= 26; page += 5) {
        EXPECT_TRUE(PageHasInk(pdf, page, dir.Path())) << "page " << page;
    }
}

TEST(OrnexaPdf, PrintsOnlyThePoolsNamedWithTheGraphAsked) {
    const ornexa::test::TempDir dir;
    const auto pdf = dir.Path() / "bp2.pdf";
    const Outcome run = Ornexa("--pdf " + pdf.string() + " " + Statistics + " --pool bp2 --graph 7");
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(PageCount(pdf), 3); // the summary, the pool page and the object page
    const std::string text = PdfText(pdf);
    EXPECT_NE(text.find("Buffer Pool BP2"), std::string::npos);
    EXPECT_EQ(text.find("Buffer Pool BP3"), std::string::npos);
    // The chart is drawn with its axes: the ranked objects' names are on the page.
    for (const char* ranked : {"SHIPDB.IX2N18", "HRDB.IX2N35"}) {
        EXPECT_NE(text.find(ranked), std::string::npos) << ranked;
    }
}

TEST(OrnexaPdf, TheTextReadBackIsTheTextDrawnWithoutLigatures) {
    const ornexa::test::TempDir dir;
    const auto pdf = dir.Path() / "letters.pdf";
    const Outcome run = Ornexa("--pdf " + pdf.string() + " " + Statistics + " --simulation " + Simulation);
    ASSERT_EQ(run.status, 0) << run.output;
    const std::string text = PdfText(pdf);
    EXPECT_EQ(LigatureCount(text), 0U);
    // Page titles, and the titles and axis captions QtCharts draws into the charts.
    for (const char* expected : {"Buffer Pool Statistics", "Buffer Pool BP1", "Buffer Pool - BP1"}) {
        EXPECT_NE(text.find(expected), std::string::npos) << expected;
    }
}

TEST(OrnexaPdf, RefusesWhatItCannotDoAndLeavesNoFile) {
    const ornexa::test::TempDir dir;
    const auto blocked = dir.Write("plain-file", "");
    struct Case {
        std::string arguments;
        int status;
        const char* message;
    };
    const Case cases[] = {
        {"--pdf " + (blocked / "out.pdf").string() + " " + Statistics, 1, "not written"},
        {"--pdf " + (dir.Path() / "a.pdf").string() + " " + (dir.Path() / "missing.sta").string(), 1, ""},
        {"--pdf " + (dir.Path() / "b.pdf").string() + " " + Statistics + " --pool NOPE", 2, "no pool named NOPE"},
        {"--pdf " + (dir.Path() / "c.pdf").string() + " " + Statistics + " --graph 23", 2, "usage:"},
        {"--pdf " + (dir.Path() / "d.pdf").string(), 2, "usage:"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        const Outcome run = Ornexa(c.arguments);
        EXPECT_EQ(run.status, c.status) << run.output;
        EXPECT_NE(run.output.find(c.message), std::string::npos) << run.output;
    }
    for (const char* name : {"a.pdf", "b.pdf", "c.pdf", "d.pdf"}) {
        EXPECT_FALSE(std::filesystem::exists(dir.Path() / name)) << name;
    }
    EXPECT_TRUE(std::filesystem::is_regular_file(blocked));
}

// A rename would put a regular file in the place of a folder, a pipe or a device node: each is
// refused as a wrong argument and stays what it was. Device nodes need the superuser, as the tests
// have here and on CI.
TEST(OrnexaPdf, AnOutputThatIsNotARegularFileIsRefusedAndLeftAsItIs) {
    const ornexa::test::TempDir dir;
    const auto folder = dir.Path() / "folder.pdf";
    const auto pipe = dir.Path() / "pipe.pdf";
    const auto device = dir.Path() / "device.pdf";
    std::filesystem::create_directory(folder);
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    ASSERT_EQ(::mknod(device.c_str(), S_IFCHR | 0600, makedev(1, 3)), 0) << "making a device node needs root";
    struct Case {
        std::filesystem::path output;
        const char* reason;
        bool (*stillThere)(std::filesystem::file_status);
    };
    const Case cases[] = {
        {folder, "it names a folder, not a file", [](std::filesystem::file_status s) { return is_directory(s); }},
        {pipe, "it is not a regular file (a pipe, a device or a socket)",
         [](std::filesystem::file_status s) { return is_fifo(s); }},
        {device, "it is not a regular file (a pipe, a device or a socket)",
         [](std::filesystem::file_status s) { return is_character_file(s); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.output.string());
        const Outcome run = Ornexa("--pdf " + c.output.string() + " " + Statistics);
        EXPECT_EQ(run.status, 2) << run.output;
        EXPECT_EQ(run.output, "ornexa: " + c.output.string() + " not written: " + c.reason + "\n");
        EXPECT_TRUE(c.stillThere(std::filesystem::symlink_status(c.output)));
    }
    struct stat node {};
    ASSERT_EQ(::stat(device.c_str(), &node), 0);
    EXPECT_EQ(node.st_rdev, makedev(1, 3));
    EXPECT_TRUE(std::filesystem::is_empty(folder));
    // Nothing else was made beside them: no temporary file, no PDF.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 3);
}

} // namespace
