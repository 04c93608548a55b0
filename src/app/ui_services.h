#pragma once

#include <QPointer>
#include <QWidget>
#include <filesystem>
#include <optional>
#include <vector>

#include "print/printed_report.h"
#include "report/messages.h"
#include "session/file_dialogs.h"

// Everything a window asks the user: file dialogs and message boxes. The program uses Qt's; tests
// put a scripted one in its place so every flow runs without blocking.
class UiServices : public ornexa::FileChooser {
public:
    // One modal box, owned by the current parent.
    virtual void Show(const ornexa::Message& message) = 0;
    // The boxes of one action, in order.
    void ShowAll(const ornexa::Messages& messages) {
        for (const ornexa::Message& message : messages) {
            Show(message);
        }
    }
    // The window the next dialog or box belongs to.
    void SetParent(QWidget* parent) { parent_ = parent; }
    [[nodiscard]] QWidget* Parent() const { return parent_; }
    virtual void ShowAbout() = 0;
    // The print preview of `pages`, from which the user prints or saves a PDF; with `choosePrinter`
    // the printer dialog comes first. Returns why the pages could not be printed; nothing when they
    // were, or when the user cancelled. Services that show nothing print nothing.
    virtual std::optional<std::string> ShowPrintPreview(const ornexa::PrintedReport& pages, bool choosePrinter) {
        (void)pages;
        (void)choosePrinter;
        return std::nullopt;
    }
    virtual void Beep() {}
    // Several files at once; empty when the user cancelled. Services that choose one file at a time
    // answer with that one.
    virtual std::vector<std::filesystem::path> ChooseFilesToOpen(const ornexa::FileDialogRequest& request) {
        auto one = ChooseFileToOpen(request);
        return one ? std::vector<std::filesystem::path>{*one} : std::vector<std::filesystem::path>{};
    }
    // A folder; nothing when the user cancelled. Services that show nothing choose none.
    virtual std::optional<std::filesystem::path> ChooseFolder(const ornexa::FileDialogRequest& request) {
        (void)request;
        return std::nullopt;
    }
    // A question answered Yes or No; true for Yes. Services that ask nothing answer No.
    virtual bool Confirm(const ornexa::Message& question) {
        (void)question;
        return false;
    }
    // A line of text, `current` offered; nothing when the user cancelled.
    virtual std::optional<std::string> AskText(const ornexa::Message& question, const std::string& current) {
        (void)question;
        (void)current;
        return std::nullopt;
    }

private:
    QPointer<QWidget> parent_;
};

// `text` written whole to `path`; when it cannot be, a box titled `title` says which file and why.
void WriteTextFile(UiServices& ui, const QString& title, const std::filesystem::path& path, const std::string& text);

class QtUiServices final : public UiServices {
public:
    std::optional<std::filesystem::path> ChooseFileToOpen(const ornexa::FileDialogRequest& request) override;
    std::optional<std::filesystem::path> ChooseFileToSave(const ornexa::FileDialogRequest& request) override;
    std::vector<std::filesystem::path> ChooseFilesToOpen(const ornexa::FileDialogRequest& request) override;
    std::optional<std::filesystem::path> ChooseFolder(const ornexa::FileDialogRequest& request) override;
    void Show(const ornexa::Message& message) override;
    void ShowAbout() override;
    std::optional<std::string> ShowPrintPreview(const ornexa::PrintedReport& pages, bool choosePrinter) override;
    void Beep() override;
    bool Confirm(const ornexa::Message& question) override;
    std::optional<std::string> AskText(const ornexa::Message& question, const std::string& current) override;
    // Called when the About box is closed with OK.
    std::function<void()> aboutClosed;
};

// "Stat Files (*.sta)" entries as Qt name filters, and the preselected one.
QStringList QtNameFilters(const ornexa::FileDialogRequest& request);
