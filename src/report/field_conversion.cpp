#include "report/field_conversion.h"

#include <algorithm>
#include <array>

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

Converted<double> FieldNumber(std::string_view text, const ColumnDef& column, bool usaReport) {
    // The first character beyond the name columns, where periods are decimal points.
    const int commaPeriodsFrom = std::max(0, LastNameColumn + 1 - column.Start);
    return ReportTextToDouble(text, usaReport, static_cast<std::size_t>(commaPeriodsFrom));
}

template <class Int, class Convert>
std::optional<ReadFailure> StoreWhole(Int* target, const Converted<double>& number, Convert convert) {
    if (!number) {
        return number.Failure();
    }
    const Converted<Int> whole = convert(number.Value());
    if (!whole) {
        return whole.Failure();
    }
    *target = whole.Value();
    return std::nullopt;
}

} // namespace

std::optional<ReadFailure> ConvertField(std::string_view line, const ColumnDef& column, const FieldRef& target,
                                        bool usaReport) {
    const std::string_view text = FieldText(line, column);
    if (const auto* textTarget = std::get_if<std::span<char>>(&target)) {
        AssignFixedText(*textTarget, text);
        return std::nullopt;
    }
    if (const auto* raw = std::get_if<RawText>(&target)) {
        const std::size_t kept = std::min(text.size(), raw->chars.size());
        std::copy_n(text.begin(), kept, raw->chars.begin());
        std::fill(raw->chars.begin() + static_cast<std::ptrdiff_t>(kept), raw->chars.end(), ' ');
        return std::nullopt;
    }
    const Converted<double> number = FieldNumber(text, column, usaReport);
    if (auto* const* d = std::get_if<double*>(&target)) {
        if (!number) {
            return number.Failure();
        }
        **d = number.Value();
        return std::nullopt;
    }
    if (auto* const* l = std::get_if<Long*>(&target)) {
        return StoreWhole(*l, number, DoubleToLong);
    }
    return StoreWhole(std::get<Integer*>(target), number, DoubleToInteger);
}

} // namespace ornexa
