#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace ornexa::cli {

// The columns of a table for reading, numbers to the right, texts to the left, two blanks apart,
// measured row by row before any is written, so that a long list can be written a row at a time.
// A width counts characters (UTF-8 sequences), not bytes, so that a name with an accented letter
// keeps its column.
class AlignedColumns {
public:
    explicit AlignedColumns(std::vector<bool> rightAligned) : rightAligned_(std::move(rightAligned)) {}

    void Measure(const std::vector<std::string>& row);
    // The row as one line, its line end included; blanks at its end left out.
    [[nodiscard]] std::string Line(const std::vector<std::string>& row) const;

private:
    std::vector<bool> rightAligned_;
    std::vector<std::size_t> widths_;
};

} // namespace ornexa::cli
