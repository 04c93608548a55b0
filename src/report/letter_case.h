#pragma once

#include <string>
#include <string_view>

namespace ornexa {

// Letters are raised and matched as ASCII letters, whatever the machine's locale: report text is
// Latin-1 and shown text UTF-8, and a byte beyond ASCII is kept as it is in both.
char UpperAscii(char c);
std::string UpperCase(std::string_view text);
bool EqualIgnoringCase(std::string_view a, std::string_view b);
bool ContainsIgnoringCase(std::string_view text, std::string_view part);

// Whether `asked` names the pool called `name`, as the pool list shows it: blanks around either are
// left out and letters match in any case ("bp1" names BP1). Every command that takes a pool name
// matches it so.
bool SamePoolName(std::string_view name, std::string_view asked);

} // namespace ornexa
