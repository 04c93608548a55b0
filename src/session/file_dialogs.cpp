#include "session/file_dialogs.h"

namespace ornexa {

std::vector<FileFilter> ParseFilterList(std::string_view list) {
    std::vector<FileFilter> filters;
    while (!list.empty()) {
        const auto bar = list.find('|');
        const std::string_view description = list.substr(0, bar);
        list = bar == std::string_view::npos ? std::string_view{} : list.substr(bar + 1);
        const auto next = list.find('|');
        const std::string_view pattern = list.substr(0, next);
        list = next == std::string_view::npos ? std::string_view{} : list.substr(next + 1);
        if (!description.empty() || !pattern.empty()) {
            filters.push_back({std::string(description), std::string(pattern)});
        }
    }
    return filters;
}

FileDialogRequest ReportFileRequest(std::string_view filters, std::filesystem::path folder) {
    FileDialogRequest request;
    request.filters = ParseFilterList(filters);
    request.selectedFilter = 2;
    request.folder = std::move(folder);
    return request;
}

} // namespace ornexa
