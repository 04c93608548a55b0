#pragma once

#include <string>
#include <string_view>

#include "report/fixed_text.h"

namespace ornexa {

// A text field of a report as the program shows it: blanks around it left out, its Latin-1 read as
// UTF-8.
std::string ShownText(std::string_view field);
template <std::size_t N> std::string ShownText(const FixedText<N>& field) {
    return ShownText(field.Trimmed());
}

// A name as a terminal or a one-line comment may show it: every control character (C0, DEL, and C1
// as UTF-8 encodes it) written as "\x1b", two hex digits, so that it neither moves the cursor,
// changes colours nor ends a line. Text without such characters comes back unchanged; the
// characters of `kept` (such as the line ends of a whole text) are kept as they are.
std::string EscapeControls(std::string_view text, std::string_view kept = {});

} // namespace ornexa
