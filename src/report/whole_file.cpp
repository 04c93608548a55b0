#include "report/whole_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ornexa {

namespace {

std::string Reason() {
    return WriteFailureText(errno);
}

// The permissions the written file gets: those of the file it replaces, else those a newly
// created file would have.
mode_t ModeFor(const std::filesystem::path& path) {
    struct stat existing {};
    if (::stat(path.c_str(), &existing) == 0 && S_ISREG(existing.st_mode)) {
        return existing.st_mode & static_cast<mode_t>(07777);
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return static_cast<mode_t>(0666) & ~mask;
}

std::optional<std::string> WriteAll(int fd, const std::string& text) {
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t n = ::write(fd, text.data() + written, text.size() - written);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return Reason();
        }
        written += static_cast<std::size_t>(n);
    }
    return std::nullopt;
}

// The rename is durable only once the folder that holds the new name is on disk.
std::optional<std::string> SyncFolder(const std::filesystem::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return Reason();
    }
    std::optional<std::string> failure;
    if (::fsync(fd) != 0 && errno != EINVAL) { // some file systems cannot sync a folder
        failure = Reason();
    }
    ::close(fd);
    return failure;
}

} // namespace

std::string WriteFailureText(int error) {
    if (error == ENOSPC) {
        return "the disk is full";
    }
    if (error == EFBIG) {
        return "the file size limit of this process (ulimit -f) was reached";
    }
    return std::strerror(error);
}

std::optional<std::string> ReplacementRefusal(const std::filesystem::path& path) {
    struct stat existing {};
    if (::stat(path.c_str(), &existing) != 0) {
        return std::nullopt; // not there (or not reachable: the write says why)
    }
    if (S_ISDIR(existing.st_mode)) {
        return std::string("it names a folder, not a file");
    }
    if (!S_ISREG(existing.st_mode)) {
        return std::string("it is not a regular file (a pipe, a device or a socket)");
    }
    return std::nullopt;
}

std::optional<std::string> WriteFileWhole(const std::filesystem::path& path, const std::string& text) {
    // A rename puts a regular file in place of whatever the name held: a device node or a pipe is
    // left as it is instead.
    if (auto refusal = ReplacementRefusal(path)) {
        return refusal;
    }
    const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
    // A short name of its own, so that a file name near the system's longest still has room.
    std::string temporary = (folder / ".ornexa-XXXXXX").string();
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        return Reason();
    }
    std::optional<std::string> failure;
    if (::fchmod(fd, ModeFor(path)) != 0) {
        failure = Reason();
    }
    if (!failure) {
        failure = WriteAll(fd, text);
    }
    if (!failure && ::fsync(fd) != 0) {
        failure = Reason();
    }
    if (::close(fd) != 0 && !failure) {
        failure = Reason();
    }
    if (!failure && std::rename(temporary.c_str(), path.c_str()) != 0) {
        failure = Reason();
    }
    if (failure) {
        std::remove(temporary.c_str());
        return failure;
    }
    return SyncFolder(folder);
}

} // namespace ornexa
