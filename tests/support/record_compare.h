#pragma once

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <type_traits>
#include <variant>

#include "report/record_fields.h"

namespace ornexa::test {

// Every field of two records, field by field, with the field number in the failure.
template <class Ref, std::size_t N>
void ExpectSameFields(const std::array<Ref, N>& actual, const std::array<Ref, N>& expected) {
    for (std::size_t i = 0; i < N; ++i) {
        SCOPED_TRACE("field " + std::to_string(i + 1));
        std::visit(
            [&](const auto& a) {
                using T = std::decay_t<decltype(a)>;
                const T& b = std::get<T>(expected[i]);
                if constexpr (std::is_same_v<T, std::span<char>> || std::is_same_v<T, std::span<const char>>) {
                    EXPECT_EQ(std::string(a.begin(), a.end()), std::string(b.begin(), b.end()));
                } else if constexpr (std::is_same_v<T, RawText>) {
                    EXPECT_EQ(std::string(a.chars.begin(), a.chars.end()), std::string(b.chars.begin(), b.chars.end()));
                } else {
                    EXPECT_EQ(*a, *b);
                }
            },
            actual[i]);
    }
}

} // namespace ornexa::test
