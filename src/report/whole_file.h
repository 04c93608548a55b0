#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace ornexa {

// Why a write failed with the system's error `error`, as the user can act on it: a full disk and the
// process's file size limit (ulimit -f) said in words, any other error in the system's text.
std::string WriteFailureText(int error);

// Why `path` cannot take a file written whole: it names a folder, or something that is not a regular
// file (a pipe, a device, a socket), which the rename would replace. Nothing when it is a regular
// file or not there.
std::optional<std::string> ReplacementRefusal(const std::filesystem::path& path);

// Writes `text` to `path` whole or not at all: a temporary file of a short name in the same folder,
// flushed to disk, then renamed over the old file and the folder flushed, so that a crash leaves
// either the old file or the new one. A file replaced keeps its permissions; a new one gets those
// of any newly created file. A path that is not a regular file is refused untouched
// (ReplacementRefusal). Returns the reason when it could not.
std::optional<std::string> WriteFileWhole(const std::filesystem::path& path, const std::string& text);

} // namespace ornexa
