#include "report/shown_text.h"

#include <array>

#include "report/latin1.h"

namespace ornexa {
namespace {

void AppendEscaped(std::string& out, unsigned char c) {
    constexpr std::array<char, 16> hexDigits{'0', '1', '2', '3', '4', '5', '6', '7',
                                             '8', '9', 'a', 'b', 'c', 'd', 'e', 'f'};
    out += "\\x";
    out += hexDigits[c >> 4U];
    out += hexDigits[c & 0x0fU];
}

} // namespace

std::string ShownText(std::string_view field) {
    return Latin1ToUtf8(TrimBlanks(field));
}

std::string EscapeControls(std::string_view text, std::string_view kept) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if ((c < 0x20 || c == 0x7f) && kept.find(text[i]) == std::string_view::npos) {
            AppendEscaped(out, c);
        } else if (c == 0xc2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                   static_cast<unsigned char>(text[i + 1]) <= 0x9f) {
            AppendEscaped(out, static_cast<unsigned char>(text[++i])); // U+0080..U+009F, such as CSI
        } else {
            out += text[i];
        }
    }
    return out;
}

} // namespace ornexa
