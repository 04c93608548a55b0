#include "report/letter_case.h"

#include <algorithm>

#include "report/fixed_text.h"

namespace ornexa {

char UpperAscii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string UpperCase(std::string_view text) {
    std::string upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(), UpperAscii);
    return upper;
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return UpperAscii(x) == UpperAscii(y); });
}

bool ContainsIgnoringCase(std::string_view text, std::string_view part) {
    return std::search(text.begin(), text.end(), part.begin(), part.end(),
                       [](char x, char y) { return UpperAscii(x) == UpperAscii(y); }) != text.end();
}

bool SamePoolName(std::string_view name, std::string_view asked) {
    return EqualIgnoringCase(TrimBlanks(name), TrimBlanks(asked));
}

} // namespace ornexa
