#pragma once

#include <algorithm>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
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

// Orders rows by one column: by value when every cell reads as a number (9 before 10), else in
// text order. Rows with equal keys keep their order. `cell(row)` gives a reference to the row's text
// in the column. Each cell is read once, and the keys are sorted beside their row numbers: the
// comparisons of a long list would otherwise read the cells again and again.
// Orders number keys beside their row numbers, lowest first or highest first; equal keys keep their
// order. Long lists go by radix, in time linear in their length.
void SortNumberKeys(std::vector<std::pair<double, std::size_t>>& keys, bool descending);

template <class Row, class Cell> void SortRows(std::vector<Row>& rows, const ListSort& sort, Cell cell) {
    static_assert(std::is_lvalue_reference_v<std::invoke_result_t<Cell, const Row&>>,
                  "the cell text must outlive the sort");
    std::vector<std::string_view> cells;
    cells.reserve(rows.size());
    for (const Row& row : rows) {
        cells.emplace_back(cell(row));
    }
    // The rows move into their places along the cycles of the order, without a second list.
    const auto place = [&rows](const auto& keys) {
        std::vector<bool> placed(rows.size(), false);
        for (std::size_t start = 0; start < rows.size(); ++start) {
            if (placed[start]) {
                continue;
            }
            Row held = std::move(rows[start]);
            std::size_t at = start;
            for (;;) {
                placed[at] = true;
                const std::size_t from = keys[at].second;
                if (from == start) {
                    rows[at] = std::move(held);
                    break;
                }
                rows[at] = std::move(rows[from]);
                at = from;
            }
        }
    };
    std::vector<std::pair<double, std::size_t>> numbers;
    numbers.reserve(cells.size());
    bool numeric = false; // a cell that is not blank, and every such cell a number
    for (const std::string_view text : cells) {
        const bool blank = text.find_first_not_of(' ') == std::string_view::npos;
        const Converted<double> value = TextToDouble(text);
        if (!blank && !value) {
            numeric = false;
            break;
        }
        numeric = numeric || !blank;
        numbers.emplace_back(value ? value.Value() : 0.0, numbers.size());
    }
    if (numeric) {
        SortNumberKeys(numbers, sort.descending);
        place(numbers);
        return;
    }
    std::vector<std::pair<std::string_view, std::size_t>> texts;
    texts.reserve(cells.size());
    for (std::size_t i = 0; i < cells.size(); ++i) {
        texts.emplace_back(cells[i], i);
    }
    std::stable_sort(texts.begin(), texts.end(), [&](const auto& a, const auto& b) {
        return sort.descending ? b.first < a.first : a.first < b.first;
    });
    place(texts);
}

} // namespace ornexa
