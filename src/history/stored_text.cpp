#include "history/stored_text.h"

#include <algorithm>

#include "report/latin1.h"

namespace ornexa {

namespace {
constexpr std::string_view NulSymbol = "\xE2\x90\x80"; // U+2400 SYMBOL FOR NULL
} // namespace

std::string StoredText(std::string_view latin1) {
    if (latin1.find('\0') == std::string_view::npos) {
        return Latin1ToUtf8(latin1);
    }
    std::string text;
    for (std::size_t from = 0; from <= latin1.size();) {
        const std::size_t nul = std::min(latin1.find('\0', from), latin1.size());
        text += Latin1ToUtf8(latin1.substr(from, nul - from));
        if (nul == latin1.size()) {
            break;
        }
        text += NulSymbol;
        from = nul + 1;
    }
    return text;
}

std::string TextFromStored(std::string_view stored) {
    if (stored.find(NulSymbol) == std::string_view::npos) {
        return Utf8ToLatin1(stored);
    }
    std::string bytes;
    for (std::size_t from = 0; from <= stored.size();) {
        const std::size_t symbol = std::min(stored.find(NulSymbol, from), stored.size());
        bytes += Utf8ToLatin1(stored.substr(from, symbol - from));
        if (symbol == stored.size()) {
            break;
        }
        bytes += '\0';
        from = symbol + NulSymbol.size();
    }
    return bytes;
}

std::vector<std::string_view> SplitText(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos) {
            return parts;
        }
        start = end + 1;
    }
}

} // namespace ornexa
