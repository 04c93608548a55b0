#pragma once

#include <array>
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

// What the analysis window saves; each kind has a save dialog of its own.
enum class SaveKind { Chart, Table, ClusterFile, Regroup };
inline constexpr int SaveKindCount = 4;

// Where the save dialogs start: in the folder of the last file of their kind, else in the folder of
// the Statistics report shown, so a file lands beside the report it came from rather than in
// whatever folder the program was started from.
class SaveFolders {
public:
    // The Statistics report shown; a relative path is taken from the current folder.
    void SetReportFile(const std::filesystem::path& statistics);
    // A folder kept from an earlier run; one that is gone no longer counts.
    void Keep(SaveKind kind, std::filesystem::path folder);
    // A file of `kind` was chosen: its folder is where the next dialog of that kind starts.
    void Chosen(SaveKind kind, const std::filesystem::path& file);
    // Empty only without a report and without a folder of that kind.
    [[nodiscard]] std::filesystem::path StartFolder(SaveKind kind) const;
    [[nodiscard]] const std::filesystem::path& ReportFolder() const { return reportFolder_; }

private:
    std::filesystem::path reportFolder_;
    std::array<std::filesystem::path, SaveKindCount> last_;
};

// The file dialogs: the chosen path, or nothing when the user cancels.
class FileChooser;

// The save dialog of `kind`, opening where the last file of that kind went (else beside the report);
// the folder of the file chosen is where the next one opens. Nothing when the user cancels.
std::optional<std::filesystem::path> ChooseSaveFile(FileChooser& chooser, SaveFolders& folders, SaveKind kind,
                                                    FileDialogRequest request);

// `path` as it is, or with `extension` (".csv") when it has none.
std::filesystem::path WithExtension(std::filesystem::path path, std::string_view extension);

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
