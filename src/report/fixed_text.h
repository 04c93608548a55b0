#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace ornexa {

// Trims blanks (only the blank character; report files use no tabs) at both ends.
constexpr std::string_view TrimBlanks(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

// Stores `text` trimmed, cut to the width of `field` and filled up with blanks.
inline void AssignFixedText(std::span<char> field, std::string_view text) {
    const std::string_view trimmed = TrimBlanks(text);
    const std::size_t kept = std::min(trimmed.size(), field.size());
    std::copy_n(trimmed.begin(), kept, field.begin());
    std::fill(field.begin() + static_cast<std::ptrdiff_t>(kept), field.end(), ' ');
}

// A text field of exactly N characters: stored trimmed and blank-filled, cut when longer.
template <std::size_t N> class FixedText {
public:
    FixedText() { chars_.fill(' '); }
    FixedText(std::string_view text) { Assign(text); } // NOLINT(google-explicit-constructor): reads like a text

    void Assign(std::string_view text) { AssignFixedText(chars_, text); }
    // Stores the characters as they are, blanks included (cut, or blank-filled when shorter).
    void AssignRaw(std::string_view text) {
        const std::size_t kept = std::min(text.size(), N);
        std::copy_n(text.begin(), kept, chars_.begin());
        std::fill(chars_.begin() + static_cast<std::ptrdiff_t>(kept), chars_.end(), ' ');
    }
    FixedText& operator=(std::string_view text) {
        Assign(text);
        return *this;
    }
    // The whole field, blanks included.
    [[nodiscard]] std::string_view Padded() const { return {chars_.data(), N}; }
    // The value as it stood in the file.
    [[nodiscard]] std::string_view Trimmed() const { return TrimBlanks(Padded()); }
    [[nodiscard]] std::string Str() const { return std::string(Trimmed()); }
    [[nodiscard]] bool empty() const { return Trimmed().empty(); }

    [[nodiscard]] std::span<char> Span() { return chars_; }
    [[nodiscard]] std::span<const char> Span() const { return chars_; }
    static constexpr std::size_t Width = N;

    friend bool operator==(const FixedText&, const FixedText&) = default;

private:
    std::array<char, N> chars_{};
};

} // namespace ornexa
