// ornexa-report --import of what the history partly holds, and of a named pipe.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <thread>

#include "run_report.h"
#include "sample_report.h"
#include "sim_writer.h"
#include "stat_fixture.h"
#include "stat_writer.h"

namespace ornexa {
namespace {

namespace fs = std::filesystem;
using test::Outcome;
using test::RunReport;

TEST(OrnexaReportImport, AFolderAddsTheSimulationOfAReportHeldWithoutOneAndSaysSo) {
    const test::TempDir dir;
    const std::string db = (dir.Path() / "history.db").string();
    const fs::path folder = dir.Path() / "reports";
    fs::create_directories(folder);
    const samplegen::SimSample sample = samplegen::BuildSampleSimulation();
    samplegen::WriteTextFile(folder / "day1.sta", samplegen::StatisticsText(sample.report));
    samplegen::WriteTextFile(folder / "day1.sim",
                             samplegen::SimulationText(sample.report, sample.sim, sample.pool, sample.objects));

    // The Statistics report first on its own, as it came in before its Simulation report.
    fs::create_directories(dir.Path() / "alone");
    fs::copy_file(folder / "day1.sta", dir.Path() / "alone" / "day1.sta");
    const Outcome alone = RunReport("--history " + db + " --import " + (dir.Path() / "alone").string());
    ASSERT_EQ(alone.out, "1 imported, 0 already present, 0 refused\n");

    const Outcome added = RunReport("--history " + db + " --import " + folder.string());
    EXPECT_EQ(added.exitCode, 0);
    EXPECT_EQ(added.out, "0 imported, 0 already present, 0 refused, 1 simulation added\n"
                         "simulation added to report 1: " +
                             (folder / "day1.sim").string() + "\n");
    const Outcome again = RunReport("--history " + db + " --import " + folder.string());
    EXPECT_EQ(again.exitCode, 0);
    EXPECT_EQ(again.out, "0 imported, 1 already present, 0 refused\n");
}

TEST(OrnexaReportImport, ANamedPipeWithOneWriterIsReadOnce) {
    const test::TempDir dir;
    const std::string db = (dir.Path() / "history.db").string();
    const fs::path fifo = dir.Path() / "day1.sta";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string text = samplegen::StatisticsText(samplegen::BuildSampleReport());

    std::thread writer([&fifo, &text] {
        sigset_t pipeSignal;
        sigemptyset(&pipeSignal);
        sigaddset(&pipeSignal, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &pipeSignal, nullptr);
        const int fd = ::open(fifo.c_str(), O_WRONLY);
        for (std::size_t done = 0; fd >= 0 && done < text.size();) {
            const ssize_t wrote = ::write(fd, text.data() + done, text.size() - done);
            if (wrote <= 0) {
                break;
            }
            done += static_cast<std::size_t>(wrote);
        }
        ::close(fd);
    });
    const Outcome imported = RunReport("--history " + db + " --import " + fifo.string());
    writer.join();
    EXPECT_EQ(imported.exitCode, 0);
    EXPECT_EQ(imported.out, "1 imported, 0 already present, 0 refused\n");
}

} // namespace
} // namespace ornexa
