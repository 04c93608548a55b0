#include "report/latin1.h"

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

} // namespace ornexa
