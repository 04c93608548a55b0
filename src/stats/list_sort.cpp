#include "stats/list_sort.h"

namespace ornexa {

ListSort SortListByColumn(std::vector<std::string>& captions, int clicked) {
    ListSort sort;
    sort.column = clicked;
    const auto at = static_cast<std::size_t>(clicked);
    const auto endsWith = [](const std::string& text, std::string_view end) {
        return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
    };
    sort.descending = at < captions.size() && endsWith(captions[at], "(A)");
    for (std::string& caption : captions) {
        if (endsWith(caption, " (A)") || endsWith(caption, " (D)")) {
            caption.resize(caption.size() - 4);
        }
    }
    if (at < captions.size()) {
        captions[at] += sort.descending ? " (D)" : " (A)";
    }
    return sort;
}

} // namespace ornexa
