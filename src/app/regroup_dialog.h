#pragma once

#include <QDialog>
#include <vector>

#include "session/file_dialogs.h"
#include "session/regroup_page.h"

class QComboBox;
class QLabel;
class QPlainTextEdit;
class UiServices;

// "Regroup Objects": a target pool per cluster (editable), the statements made from them as they
// change, "Copy" and "Save...". "Save..." starts where `folders` says the statements go.
class RegroupDialog : public QDialog {
    Q_OBJECT
public:
    RegroupDialog(ornexa::RegroupPage page, UiServices& ui, ornexa::SaveFolders& folders, QWidget* parent = nullptr);

    [[nodiscard]] const ornexa::RegroupPage& Page() const { return page_; }
    [[nodiscard]] QComboBox* Target(int cluster) const; // 1-based
    [[nodiscard]] QPlainTextEdit* Statements() const { return statements_; }
    [[nodiscard]] QLabel* Problems() const { return problems_; }

    void Copy() const;
    void Save();

private:
    void Refresh();

    ornexa::RegroupPage page_;
    UiServices& ui_;
    ornexa::SaveFolders& folders_;
    std::vector<QComboBox*> targets_;
    QPlainTextEdit* statements_;
    QLabel* problems_;
};
