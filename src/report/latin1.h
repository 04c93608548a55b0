#pragma once

#include <string>
#include <string_view>

namespace ornexa {

// Report files are single-byte text; their text fields are shown as Latin-1.
std::string Latin1ToUtf8(std::string_view bytes);

} // namespace ornexa
