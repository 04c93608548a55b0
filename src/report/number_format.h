#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "report/numbers.h"

namespace ornexa {

// Plain form: the decimal text without blanks.
std::string PlainText(std::int64_t value);
// Shortest decimal text of a Double: at most 15 significant digits, no trailing zeros, an
// exponent only for magnitudes of 1E+15 and above or below 1E-04.
std::string PlainText(double value, NumberStyle style = {});

// Str form: the plain form with one blank in front of a number that is not negative.
std::string StrText(std::int64_t value);
std::string StrText(double value, NumberStyle style = {});

// Picture formats such as "#,###,###", "  ###,###,###", "###.00", "#,###.00", "#0.0%",
// "#####0.00" and "###0": '#' an optional digit, '0' a required digit, ',' grouping of the whole
// part, '.' the decimal point, a trailing '%' multiplies by 100; other leading or trailing
// characters are copied. Ties round away from zero on the number's shortest decimal text.
std::string FormatPicture(double value, std::string_view picture, NumberStyle style = {});

// A formatted figure read back as a number and written in its shortest form: the pool list's
// rate cells (1,234.50 reads 1234.5; .00 reads 0).
std::string FormatReadBack(double value, std::string_view picture, NumberStyle style = {});

} // namespace ornexa
