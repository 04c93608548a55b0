#include "report/field_conversion.h"

#include <algorithm>

#include "report/fixed_text.h"

namespace ornexa {

std::string_view FieldText(std::string_view line, const ColumnDef& column) {
    const auto start = static_cast<std::size_t>(column.Start - 1);
    if (start >= line.size()) {
        return {};
    }
    return line.substr(start, static_cast<std::size_t>(column.Length));
}

namespace {

// The first character of a field beyond the name columns, where periods are decimal points.
std::size_t CommaPeriodsFrom(const ColumnDef& column) {
    return static_cast<std::size_t>(std::max(0, LastNameColumn + 1 - column.Start));
}

template <class Int> std::optional<ReadFailure> Store(Int* target, const Converted<Int>& value) {
    if (!value) {
        return value.Failure();
    }
    *target = value.Value();
    return std::nullopt;
}

} // namespace

std::optional<ReadFailure> ConvertField(std::string_view line, const ColumnDef& column, const FieldRef& target,
                                        bool usaReport) {
    const std::string_view text = FieldText(line, column);
    // Most fields of a line are Long.
    if (auto* const* l = std::get_if<Long*>(&target)) {
        return Store(*l, ReportTextToLong(text, usaReport, CommaPeriodsFrom(column)));
    }
    if (auto* const* d = std::get_if<double*>(&target)) {
        return Store(*d, ReportTextToDouble(text, usaReport, CommaPeriodsFrom(column)));
    }
    if (auto* const* i = std::get_if<Integer*>(&target)) {
        return Store(*i, ReportTextToInteger(text, usaReport, CommaPeriodsFrom(column)));
    }
    if (const auto* textTarget = std::get_if<std::span<char>>(&target)) {
        AssignFixedText(*textTarget, text);
        return std::nullopt;
    }
    const auto& raw = std::get<RawText>(target);
    const std::size_t kept = std::min(text.size(), raw.chars.size());
    std::copy_n(text.begin(), kept, raw.chars.begin());
    std::fill(raw.chars.begin() + static_cast<std::ptrdiff_t>(kept), raw.chars.end(), ' ');
    return std::nullopt;
}

} // namespace ornexa
