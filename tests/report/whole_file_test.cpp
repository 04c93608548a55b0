#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>

#include "report/whole_file.h"
#include "stat_fixture.h"

namespace ornexa {
namespace {

std::string Contents(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

mode_t Mode(const std::filesystem::path& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0);
    return st.st_mode & static_cast<mode_t>(07777);
}

std::size_t Entries(const std::filesystem::path& folder) {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder), {}));
}

TEST(WriteFileWhole, AReplacedFileKeepsItsPermissionsAndANewOneGetsTheUsual) {
    const test::TempDir dir;
    for (const mode_t mode : {mode_t{0600}, mode_t{0640}, mode_t{0755}}) {
        const auto path = dir.Write("kept.qvl", "old\r\n");
        ASSERT_EQ(::chmod(path.c_str(), mode), 0);
        ASSERT_FALSE(WriteFileWhole(path, "new\r\n").has_value());
        EXPECT_EQ(Contents(path), "new\r\n");
        EXPECT_EQ(Mode(path), mode);
    }
    const mode_t mask = ::umask(022);
    const auto fresh = dir.Path() / "fresh.qvl";
    EXPECT_FALSE(WriteFileWhole(fresh, "x").has_value());
    ::umask(mask);
    EXPECT_EQ(Mode(fresh), mode_t{0644});
    EXPECT_EQ(Entries(dir.Path()), 2U); // no temporary file is left behind
}

TEST(WriteFileWhole, NamesUpToTheLongestTheSystemAllows) {
    const test::TempDir dir;
    for (const std::size_t length : {std::size_t{248}, std::size_t{255}}) {
        const auto path = dir.Path() / std::string(length, 'n');
        EXPECT_EQ(WriteFileWhole(path, "text"), std::nullopt) << length;
        EXPECT_EQ(Contents(path), "text");
    }
    EXPECT_TRUE(WriteFileWhole(dir.Path() / std::string(256, 'n'), "text").has_value());
    EXPECT_EQ(Entries(dir.Path()), 2U);
}

TEST(WriteFileWhole, AFailureLeavesTheOldFileAndNoTemporaryOne) {
    const test::TempDir dir;
    std::filesystem::create_directory(dir.Path() / "taken");
    EXPECT_EQ(WriteFileWhole(dir.Path() / "taken", "text"), "it names a folder, not a file");
    EXPECT_EQ(WriteFileWhole(dir.Path() / "missing" / "c.qvl", "text"), "No such file or directory");
    EXPECT_EQ(Entries(dir.Path()), 1U);
}

TEST(WriteFileWhole, APipeOrALinkToOneIsRefusedAndStaysAPipe) {
    const test::TempDir dir;
    const auto pipe = dir.Path() / "pipe";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    std::filesystem::create_symlink(pipe, dir.Path() / "link");
    for (const auto& path : {pipe, dir.Path() / "link"}) {
        EXPECT_EQ(WriteFileWhole(path, "text"), "it is not a regular file (a pipe, a device or a socket)") << path;
    }
    EXPECT_TRUE(std::filesystem::is_fifo(std::filesystem::symlink_status(pipe)));
    EXPECT_TRUE(std::filesystem::is_symlink(std::filesystem::symlink_status(dir.Path() / "link")));
    EXPECT_EQ(Entries(dir.Path()), 2U);
}

} // namespace
} // namespace ornexa
