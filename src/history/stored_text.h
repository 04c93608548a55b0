#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ornexa {

// A report's text as the history stores it: UTF-8 of its Latin-1 bytes, a NUL byte written as U+2400,
// the symbol for null. PostgreSQL keeps no NUL in a text; writing it the same way on SQLite gives both histories
// the same text, and the report reads back byte for byte, since no Latin-1 text has U+2400 of its own.
std::string StoredText(std::string_view latin1);

// The bytes a stored text was made from (U+2400 a NUL again); a character beyond Latin-1 becomes '?'.
std::string TextFromStored(std::string_view stored);

// The parts of `text` between the separators: one more than there are separators.
std::vector<std::string_view> SplitText(std::string_view text, char separator);

} // namespace ornexa
