#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "report/numbers.h"

namespace ornexa {

// How a list is sorted after a click on a column header.
struct ListSort {
    int column = 0; // 0-based
    bool descending = false;
};

// A click on header `clicked`: the first click sorts ascending, the next descending, and so on;
// the clicked caption gets " (A)" or " (D)" and every other caption loses its marker.
ListSort SortListByColumn(std::vector<std::string>& captions, int clicked);

// Whether every non-empty cell of a column reads as a number.
bool IsNumericColumn(const std::vector<std::string>& cells);

// Orders rows by one column: by value when every cell reads as a number (9 before 10), else in
// text order. Rows with equal keys keep their order. `cell(row)` gives the row's text in the column.
template <class Row, class Cell> void SortRows(std::vector<Row>& rows, const ListSort& sort, Cell cell) {
    std::vector<std::string> cells;
    cells.reserve(rows.size());
    for (const Row& row : rows) {
        cells.push_back(cell(row));
    }
    std::vector<std::size_t> order(rows.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        order[i] = i;
    }
    const auto sortBy = [&](const auto& keys) {
        std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
            return sort.descending ? keys[b] < keys[a] : keys[a] < keys[b];
        });
    };
    if (IsNumericColumn(cells)) {
        // Each cell read once: the comparisons of a long list would read it again and again.
        std::vector<double> numbers;
        numbers.reserve(cells.size());
        for (const std::string& text : cells) {
            const Converted<double> value = TextToDouble(text);
            numbers.push_back(value ? value.Value() : 0.0);
        }
        sortBy(numbers);
    } else {
        sortBy(cells);
    }
    std::vector<Row> sorted;
    sorted.reserve(rows.size());
    for (const std::size_t i : order) {
        sorted.push_back(std::move(rows[i]));
    }
    rows = std::move(sorted);
}

} // namespace ornexa
