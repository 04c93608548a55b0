#include "cli/aligned_columns.h"

#include <algorithm>

namespace ornexa::cli {

namespace {

std::size_t Characters(const std::string& text) {
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xc0) != 0x80; }));
}

} // namespace

void AlignedColumns::Measure(const std::vector<std::string>& row) {
    widths_.resize(std::max(widths_.size(), row.size()), 0);
    for (std::size_t c = 0; c < row.size(); ++c) {
        widths_[c] = std::max(widths_[c], Characters(row[c]));
    }
}

std::string AlignedColumns::Line(const std::vector<std::string>& row) const {
    std::string text;
    for (std::size_t c = 0; c < row.size() && c < widths_.size(); ++c) {
        const std::string pad(widths_[c] - std::min(widths_[c], Characters(row[c])), ' ');
        const bool right = c < rightAligned_.size() && rightAligned_[c];
        text += (c == 0 ? "" : "  ") + (right ? pad + row[c] : row[c] + (c + 1 == row.size() ? "" : pad));
    }
    while (!text.empty() && text.back() == ' ') {
        text.pop_back();
    }
    return text + '\n';
}

} // namespace ornexa::cli
