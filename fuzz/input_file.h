#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
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

// In memory where the machine has a tmpfs for it: a write and a read a run cost no disk.
inline std::filesystem::path InputFile(const char* extension) {
    std::error_code error;
    const std::filesystem::path folder =
        std::filesystem::is_directory("/dev/shm", error) ? "/dev/shm" : std::filesystem::temp_directory_path();
    return folder / ("ornexa-fuzz-" + std::to_string(getpid()) + extension);
}
