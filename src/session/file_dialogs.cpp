#include "session/file_dialogs.h"

#include <system_error>

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

namespace {

std::filesystem::path Absolute(const std::filesystem::path& path) {
    std::error_code failed;
    std::filesystem::path whole = std::filesystem::absolute(path, failed);
    return failed ? path : whole.lexically_normal();
}

bool IsFolder(const std::filesystem::path& folder) {
    std::error_code failed;
    return !folder.empty() && std::filesystem::is_directory(folder, failed);
}

std::size_t Slot(SaveKind kind) {
    return static_cast<std::size_t>(kind);
}

} // namespace

void SaveFolders::SetReportFile(const std::filesystem::path& statistics) {
    reportFolder_ = statistics.empty() ? std::filesystem::path() : Absolute(statistics).parent_path();
}

void SaveFolders::Keep(SaveKind kind, std::filesystem::path folder) {
    last_.at(Slot(kind)) = std::move(folder);
}

void SaveFolders::Chosen(SaveKind kind, const std::filesystem::path& file) {
    last_.at(Slot(kind)) = Absolute(file).parent_path();
}

std::filesystem::path SaveFolders::StartFolder(SaveKind kind) const {
    if (const std::filesystem::path& last = last_.at(Slot(kind)); IsFolder(last)) {
        return last;
    }
    return IsFolder(reportFolder_) ? reportFolder_ : std::filesystem::path();
}

std::optional<std::filesystem::path> ChooseSaveFile(FileChooser& chooser, SaveFolders& folders, SaveKind kind,
                                                    FileDialogRequest request) {
    request.folder = folders.StartFolder(kind);
    auto chosen = chooser.ChooseFileToSave(request);
    if (chosen) {
        folders.Chosen(kind, *chosen);
    }
    return chosen;
}

std::filesystem::path WithExtension(std::filesystem::path path, std::string_view extension) {
    if (!path.has_extension()) {
        path += extension;
    }
    return path;
}

} // namespace ornexa
