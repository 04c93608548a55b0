#pragma once

#include <array>
#include <cstddef>

namespace ornexa {

// A fixed array addressed 1..N, as every pool, object and size number is exchanged.
// Access out of 1..N throws std::out_of_range.
template <class T, std::size_t N> struct OneBased {
    std::array<T, N> items{};

    T& operator()(int i) { return items.at(static_cast<std::size_t>(i - 1)); }
    const T& operator()(int i) const { return items.at(static_cast<std::size_t>(i - 1)); }
    static constexpr int size() { return static_cast<int>(N); }
    void Fill(const T& value) { items.fill(value); }

    friend bool operator==(const OneBased&, const OneBased&) = default;
};

} // namespace ornexa
