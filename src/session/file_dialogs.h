#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ornexa {

// One entry of an open-file dialog's filter list: "Stat Files (*.sta)" and "*.sta".
struct FileFilter {
    std::string description;
    std::string pattern;
    friend bool operator==(const FileFilter&, const FileFilter&) = default;
};

// Splits a filter list written "description|pattern|description|pattern|".
std::vector<FileFilter> ParseFilterList(std::string_view list);

inline constexpr std::string_view StatFileFilters =
    "All Files (*.*)|*.*|Text Files (*.txt)|*.txt|Stat Files (*.sta)|*.sta|";
inline constexpr std::string_view SimFileFilters =
    "All Files (*.*)|*.*|Text Files (*.txt)|*.txt| Sim Files (*.sim)|*.sim|";

// What an open-file dialog is asked to show.
struct FileDialogRequest {
    std::vector<FileFilter> filters;
    int selectedFilter = 0; // 0-based index into filters
    bool hideReadOnly = true;
    std::filesystem::path folder;  // where the dialog opens; empty for the dialog's own choice
    std::string fileName;          // the name proposed (save dialogs)
    std::string defaultSuffix;     // added to a name typed without one (save dialogs)
    bool suffixFromFilter = false; // the filter chosen gives the suffix added instead (save dialogs)
};

// The open-file dialog of a report: `filters` with their third entry (Stat Files, Sim Files) chosen,
// opening in `folder`.
FileDialogRequest ReportFileRequest(std::string_view filters, std::filesystem::path folder = {});

// The file dialogs: the chosen path, or nothing when the user cancels.
class FileChooser {
public:
    FileChooser() = default;
    FileChooser(const FileChooser&) = delete;
    FileChooser& operator=(const FileChooser&) = delete;
    FileChooser(FileChooser&&) = delete;
    FileChooser& operator=(FileChooser&&) = delete;
    virtual ~FileChooser() = default;
    virtual std::optional<std::filesystem::path> ChooseFileToOpen(const FileDialogRequest& request) = 0;
    virtual std::optional<std::filesystem::path> ChooseFileToSave(const FileDialogRequest& request) {
        (void)request;
        return std::nullopt;
    }
};

} // namespace ornexa
