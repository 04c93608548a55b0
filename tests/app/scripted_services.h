#pragma once

#include <deque>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/ui_services.h"

// Answers the dialogs from a queue and keeps the message boxes instead of showing them.
class ScriptedServices final : public UiServices {
public:
    std::optional<std::filesystem::path> ChooseFileToOpen(const ornexa::FileDialogRequest&) override {
        if (answers.empty()) {
            return std::nullopt;
        }
        auto answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::optional<std::filesystem::path> ChooseFileToSave(const ornexa::FileDialogRequest& request) override {
        saveRequests.push_back(request);
        return ChooseFileToOpen(request);
    }
    // A list from `fileLists`; without one, the next answer alone.
    std::vector<std::filesystem::path> ChooseFilesToOpen(const ornexa::FileDialogRequest& request) override {
        if (fileLists.empty()) {
            return UiServices::ChooseFilesToOpen(request);
        }
        auto files = fileLists.front();
        fileLists.pop_front();
        return files;
    }
    std::optional<std::filesystem::path> ChooseFolder(const ornexa::FileDialogRequest& request) override {
        return ChooseFileToOpen(request);
    }
    void Show(const ornexa::Message& message) override { messages.push_back(message); }
    void ShowAbout() override { ++about; }
    std::optional<std::string> ShowPrintPreview(const ornexa::PrintedReport& pages, bool choosePrinter) override {
        previews.push_back({pages, choosePrinter});
        return printFailure;
    }
    bool Confirm(const ornexa::Message& question) override {
        questions.push_back(question);
        const bool yes = confirmations.empty() || confirmations.front();
        if (!confirmations.empty()) {
            confirmations.pop_front();
        }
        return yes;
    }
    std::optional<std::string> AskText(const ornexa::Message& question, const std::string& current) override {
        questions.push_back(question);
        offered.push_back(current);
        if (texts.empty()) {
            return std::nullopt;
        }
        auto text = texts.front();
        texts.pop_front();
        return text;
    }
    std::vector<ornexa::Message> questions;
    std::deque<bool> confirmations; // Yes when empty
    std::deque<std::string> texts;
    std::vector<std::string> offered;
    struct Preview {
        ornexa::PrintedReport pages;
        bool choosePrinter = false;
    };
    std::vector<Preview> previews;
    std::optional<std::string> printFailure;
    std::deque<std::filesystem::path> answers;
    std::deque<std::vector<std::filesystem::path>> fileLists;
    std::vector<ornexa::FileDialogRequest> saveRequests;
    std::vector<ornexa::Message> messages;
    int about = 0;
};
