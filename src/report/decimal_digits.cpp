#include "report/decimal_digits.h"

namespace ornexa {

std::optional<int> DecimalDigits(std::string_view text, std::size_t most) {
    if (text.empty() || text.size() > most) {
        return std::nullopt;
    }
    int value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    return value;
}

} // namespace ornexa
