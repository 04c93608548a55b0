#pragma once

#include <string>
#include <string_view>

namespace ornexa {

// Report files are single-byte text; their text fields are shown as Latin-1.
std::string Latin1ToUtf8(std::string_view bytes);

// The way back for text made by Latin1ToUtf8 (a shown name written to a host file); a character
// beyond Latin-1 becomes '?'.
std::string Utf8ToLatin1(std::string_view text);

} // namespace ornexa
