#include "report/latin1.h"

#include <algorithm>

namespace ornexa {

std::string Latin1ToUtf8(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size());
    for (const char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x80) {
            text += c;
        } else {
            text += static_cast<char>(0xC0U | (u >> 6U));
            text += static_cast<char>(0x80U | (u & 0x3FU));
        }
    }
    return text;
}

std::string Utf8ToLatin1(std::string_view text) {
    std::string bytes;
    bytes.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto u = static_cast<unsigned char>(text[i]);
        if (u < 0x80) {
            bytes += text[i];
            continue;
        }
        const std::size_t length = u >= 0xF0 ? 4 : u >= 0xE0 ? 3 : u >= 0xC0 ? 2 : 1;
        const bool latin1 = length == 2 && u <= 0xC3 && i + 1 < text.size();
        bytes += latin1 ? static_cast<char>(((u & 0x03U) << 6U) | (static_cast<unsigned char>(text[i + 1]) & 0x3FU))
                        : '?';
        i += std::min(length, text.size() - i) - 1;
    }
    return bytes;
}

} // namespace ornexa
