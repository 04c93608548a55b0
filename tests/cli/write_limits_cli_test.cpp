#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <iterator>
#include <sched.h>
#include <string>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "stat_fixture.h"

namespace ornexa {
namespace {

const std::string Sample = std::string(ORNEXA_SAMPLES_DIR) + "/statistics-usa.sta";
const std::string OtherSample = std::string(ORNEXA_SAMPLES_DIR) + "/statistics-deu.sta";

std::string ReadWhole(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool Holds(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// How a run of ornexa-report ended, with its standard output and error together.
struct Ending {
    bool signalled = false;
    int exitCode = -1;
    std::string output;
};

// Runs ornexa-report in a child process that has `fileSizeLimit` bytes as its file size limit
// (ulimit -f) and the signal of that limit as a shell leaves it: ending the process.
// Standard error goes to `errors` when one is given.
Ending RunUnderSizeLimit(const std::vector<std::string>& arguments, rlim_t fileSizeLimit,
                         const std::filesystem::path& output, const std::filesystem::path& errors = {}) {
    const pid_t child = fork();
    if (child == 0) {
        const int fd = ::open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(fd, STDOUT_FILENO);
        ::dup2(errors.empty() ? fd : ::open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), STDERR_FILENO);
        std::signal(SIGXFSZ, SIG_DFL);
        if (fileSizeLimit != RLIM_INFINITY) {
            const rlimit limit{fileSizeLimit, fileSizeLimit};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
        std::vector<char*> argv{const_cast<char*>(ORNEXA_REPORT_EXE)}; // NOLINT(cppcoreguidelines-pro-type-const-cast)
        for (const std::string& argument : arguments) {
            argv.push_back(const_cast<char*>(argument.c_str())); // NOLINT(cppcoreguidelines-pro-type-const-cast)
        }
        argv.push_back(nullptr);
        ::execv(ORNEXA_REPORT_EXE, argv.data());
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return {WIFSIGNALED(status), WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadWhole(output)};
}

Ending RunWithoutLimit(const std::vector<std::string>& arguments, const std::filesystem::path& output) {
    return RunUnderSizeLimit(arguments, RLIM_INFINITY, output);
}

TEST(WriteLimits, AnImportStoppedByTheFileSizeLimitIsToldAndLeavesTheHistoryWhole) {
    const test::TempDir dir;
    const std::string db = (dir.Path() / "h.db").string();
    const auto output = dir.Path() / "output";
    ASSERT_EQ(RunWithoutLimit({"--history", db, "--import", Sample}, output).exitCode, 0) << ReadWhole(output);

    // The history is larger than the limit already; the import's journal reaches it.
    constexpr rlim_t limit = 64UL * 1024;
    const Ending stopped = RunUnderSizeLimit({"--history", db, "--import", OtherSample}, limit, output);
    EXPECT_FALSE(stopped.signalled) << "ended by a signal, without a word";
    EXPECT_EQ(stopped.exitCode, 1);
    EXPECT_TRUE(Holds(stopped.output, "0 imported, 0 already present, 1 refused")) << stopped.output;
    EXPECT_TRUE(Holds(stopped.output, "the file size limit of this process (ulimit -f, 65536 bytes) was reached "
                                      "writing \"" +
                                          db + "-wal\""))
        << stopped.output;

    // What was held before is there, and the same import goes through once the limit is gone.
    const Ending listed = RunWithoutLimit({"--history", db, "--list", "--csv"}, output);
    EXPECT_EQ(listed.exitCode, 0) << listed.output;
    EXPECT_TRUE(Holds(listed.output, Sample)) << listed.output;
    EXPECT_FALSE(Holds(listed.output, OtherSample)) << listed.output;
    const Ending again = RunWithoutLimit({"--history", db, "--import", OtherSample}, output);
    EXPECT_EQ(again.exitCode, 0) << again.output;
    EXPECT_TRUE(Holds(again.output, "1 imported")) << again.output;

    // Standard output written to a file past the limit fails the run with a word, too.
    const auto errors = dir.Path() / "errors";
    const Ending report = RunUnderSizeLimit({Sample, "--json"}, 4096, output, errors);
    EXPECT_FALSE(report.signalled);
    EXPECT_EQ(report.exitCode, 1);
    EXPECT_TRUE(Holds(ReadWhole(errors), "ornexa-report: standard output could not be written")) << ReadWhole(errors);
}

// Runs `steps` in a child process of its own mount namespace in which `folder` is a small disk
// (a tmpfs of `bytes`), gone when the child ends; the steps report through files outside it. The
// child's exit status is returned: 0 when the disk could be made and the steps ran.
int OnSmallDisk(const std::filesystem::path& folder, std::size_t bytes, const std::function<void()>& steps) {
    const uid_t uid = ::geteuid();
    const gid_t gid = ::getegid();
    const pid_t child = fork();
    if (child == 0) {
        // As root a mount namespace alone; else a user namespace of its own gives the right to mount.
        bool own = ::unshare(CLONE_NEWNS) == 0;
        if (!own && ::unshare(CLONE_NEWUSER | CLONE_NEWNS) == 0) {
            std::ofstream("/proc/self/setgroups") << "deny";
            std::ofstream("/proc/self/uid_map") << "0 " << uid << " 1";
            std::ofstream("/proc/self/gid_map") << "0 " << gid << " 1";
            own = true;
        }
        // The mount stays in this namespace: nothing of it reaches the machine's mounts.
        if (!own || ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount("tmpfs", folder.c_str(), "tmpfs", 0, ("size=" + std::to_string(bytes)).c_str()) != 0) {
            ::_exit(3);
        }
        steps();
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Writes a file of zeros until the disk holding it takes no more.
void FillDisk(const std::filesystem::path& file) {
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const std::string block(4096, '\0');
    while (::write(fd, block.data(), block.size()) > 0) {
    }
    ::close(fd);
}

TEST(WriteLimits, AFullDiskIsToldAsSuchWithTheHistorysFile) {
    const test::TempDir dir;
    const auto disk = dir.Path() / "disk";
    std::filesystem::create_directory(disk);
    const std::string db = (disk / "h.db").string();
    const std::string fresh = (disk / "new.db").string();
    const auto out = [&](const char* name) { return dir.Path() / name; };
    // Each step's output, its exit status on a last line of its own.
    const auto step = [&](const std::vector<std::string>& arguments, const char* name) {
        const Ending ending = RunWithoutLimit(arguments, out(name));
        std::ofstream(out(name), std::ios::app) << "\nexit " << ending.exitCode;
    };
    const int smallDisk = OnSmallDisk(disk, 2UL * 1024 * 1024, [&] {
        step({"--history", db, "--import", Sample}, "import");
        FillDisk(disk / "fill");
        step({"--history", db, "--list"}, "list-full");
        step({"--history", fresh, "--import", OtherSample}, "import-full");
        step({"--history", db, "--import", OtherSample}, "import-more-full");
        std::filesystem::remove(disk / "fill");
        step({"--history", db, "--list", "--csv"}, "list-after");
    });
    ASSERT_EQ(smallDisk, 0) << "a small disk of its own needs root or user namespaces";
    EXPECT_TRUE(ReadWhole(out("import")).ends_with("\nexit 0")) << ReadWhole(out("import"));
    const auto toldFull = [](const std::string& text, const std::string& file) {
        return Holds(text, "the disk is full: \"" + file + "\" (or its journal beside it) cannot be written") &&
               text.ends_with("\nexit 1");
    };
    // Neither a new history nor one more report can be written; an existing history is listed if it
    // can be read without a write, else the full disk is told, never as an I/O error.
    const std::string made = ReadWhole(out("import-full"));
    EXPECT_TRUE(toldFull(made, fresh)) << made;
    const std::string added = ReadWhole(out("import-more-full"));
    EXPECT_TRUE(toldFull(added, db)) << added;
    const std::string listed = ReadWhole(out("list-full"));
    EXPECT_TRUE(toldFull(listed, db) || (Holds(listed, Sample) && listed.ends_with("\nexit 0"))) << listed;
    for (const std::string& text : {made, added, listed}) {
        EXPECT_FALSE(Holds(text, "disk I/O error")) << text;
    }
    // Room made, the history lists what it held, and only that.
    const std::string after = ReadWhole(out("list-after"));
    EXPECT_TRUE(Holds(after, Sample)) << after;
    EXPECT_FALSE(Holds(after, OtherSample)) << after;
    EXPECT_TRUE(after.ends_with("\nexit 0")) << after;
}

} // namespace
} // namespace ornexa
