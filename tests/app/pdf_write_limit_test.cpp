// `ornexa --pdf` under a file size limit (ulimit -f) that the PDF does not fit.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>

#include "stat_fixture.h"

namespace {

const std::string Statistics = std::string(ORNEXA_SAMPLES_DIR) + "/statistics-usa.sta";

TEST(PdfWriteLimit, APdfPastTheFileSizeLimitIsToldAndLeavesNoFile) {
    const ornexa::test::TempDir dir;
    const auto pdf = dir.Path() / "report.pdf";
    // The shell leaves the limit's signal as it comes, ending the process unless it is ignored.
    const std::string command = "ulimit -f 8; QT_QPA_PLATFORM=offscreen " + std::string(ORNEXA_EXE) + " --pdf " +
                                pdf.string() + " " + Statistics + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r"); // NOLINT(cert-env33-c): runs our own program
    ASSERT_NE(pipe, nullptr);
    std::string output;
    std::array<char, 4096> buffer{};
    while (std::fgets(buffer.data(), static_cast<int>(buffer.size()), pipe) != nullptr) {
        output += buffer.data();
    }
    const int status = pclose(pipe);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by a signal, without a word";
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_NE(output.find(pdf.string() + " not written: the file size limit of this process (ulimit -f) was reached"),
              std::string::npos)
        << output;
    // Neither the PDF nor the temporary file it was written to is left.
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
}

} // namespace
