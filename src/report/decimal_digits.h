#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace ornexa {

// The number `text` spells when it is one to `most` decimal digits and nothing else (no sign, no
// blank): a part of a date, a time or a pool name.
std::optional<int> DecimalDigits(std::string_view text, std::size_t most);

} // namespace ornexa
