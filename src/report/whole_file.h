#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace ornexa {

// Writes `text` to `path` whole or not at all: a temporary file of a short name in the same folder,
// flushed to disk, then renamed over the old file and the folder flushed, so that a crash leaves
// either the old file or the new one. A file replaced keeps its permissions; a new one gets those
// of any newly created file. Returns the reason when it could not.
std::optional<std::string> WriteFileWhole(const std::filesystem::path& path, const std::string& text);

} // namespace ornexa
