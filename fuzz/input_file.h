#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

// The readers take a path: each input goes to one file of this process.
inline bool WriteInput(const std::filesystem::path& path, const std::uint8_t* data, std::size_t size) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) {
        return false;
    }
    const bool written = std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && written;
}

inline std::filesystem::path InputFile(const char* extension) {
    return std::filesystem::temp_directory_path() / ("ornexa-fuzz-" + std::to_string(getpid()) + extension);
}
