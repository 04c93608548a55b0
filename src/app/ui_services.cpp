#include "app/ui_services.h"

#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include "print/ui/page_painter.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>

#include "app/about_dialog.h"
#include "app/window_state.h"
#include "report/whole_file.h"

QStringList QtNameFilters(const ornexa::FileDialogRequest& request) {
    QStringList filters;
    for (const ornexa::FileFilter& filter : request.filters) {
        // Qt reads the patterns from the parentheses of the description.
        filters << QString::fromStdString(filter.description).trimmed();
    }
    return filters;
}

namespace {

// Dialogs keep their folders apart by what they open or save: "open *.sta", "save *.png".
QString DialogKey(const QFileDialog& dialog, const ornexa::FileDialogRequest& request) {
    const bool fits = request.selectedFilter >= 0 && request.selectedFilter < static_cast<int>(request.filters.size());
    const QString pattern =
        fits ? QString::fromStdString(request.filters[static_cast<std::size_t>(request.selectedFilter)].pattern)
             : QStringLiteral("any");
    return (dialog.acceptMode() == QFileDialog::AcceptOpen ? QStringLiteral("open ") : QStringLiteral("save ")) +
           pattern;
}

std::optional<std::filesystem::path> Chosen(const QFileDialog& dialog, const ornexa::FileDialogRequest& request) {
    if (dialog.result() != QDialog::Accepted || dialog.selectedFiles().isEmpty() ||
        dialog.selectedFiles().constFirst().isEmpty()) {
        return std::nullopt;
    }
    const QString path = dialog.selectedFiles().constFirst();
    window_state::SaveFolder(DialogKey(dialog, request), QFileInfo(path).absolutePath());
    return std::filesystem::path(path.toStdString());
}

void Prepare(QFileDialog& dialog, const ornexa::FileDialogRequest& request) {
    const QStringList filters = QtNameFilters(request);
    dialog.setNameFilters(filters);
    if (request.selectedFilter >= 0 && request.selectedFilter < filters.size()) {
        dialog.selectNameFilter(filters[request.selectedFilter]);
    }
    if (!request.folder.empty()) {
        dialog.setDirectory(QString::fromStdString(request.folder.string()));
    } else if (const auto kept = window_state::ReadFolder(DialogKey(dialog, request))) {
        dialog.setDirectory(*kept);
    } else if (dialog.acceptMode() == QFileDialog::AcceptSave) {
        dialog.setDirectory(QDir::homePath()); // not the folder the program happened to be started from
    }
    if (!request.fileName.empty()) {
        dialog.selectFile(QString::fromStdString(request.fileName));
    }
    if (!request.defaultSuffix.empty()) {
        dialog.setDefaultSuffix(QString::fromStdString(request.defaultSuffix));
    }
}

} // namespace

std::optional<std::filesystem::path> QtUiServices::ChooseFileToOpen(const ornexa::FileDialogRequest& request) {
    QFileDialog dialog(Parent(), QObject::tr("Open"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    Prepare(dialog, request);
    dialog.exec();
    return Chosen(dialog, request);
}

std::vector<std::filesystem::path> QtUiServices::ChooseFilesToOpen(const ornexa::FileDialogRequest& request) {
    QFileDialog dialog(Parent(), QObject::tr("Open"));
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    Prepare(dialog, request);
    dialog.exec();
    std::vector<std::filesystem::path> files;
    if (Chosen(dialog, request)) { // keeps the folder for the next time
        for (const QString& file : dialog.selectedFiles()) {
            files.emplace_back(file.toStdString());
        }
    }
    return files;
}

std::optional<std::filesystem::path> QtUiServices::ChooseFolder(const ornexa::FileDialogRequest& request) {
    QFileDialog dialog(Parent(), QObject::tr("Choose a Folder"));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    Prepare(dialog, request);
    dialog.exec();
    if (dialog.result() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return std::filesystem::path(dialog.selectedFiles().constFirst().toStdString());
}

std::optional<std::filesystem::path> QtUiServices::ChooseFileToSave(const ornexa::FileDialogRequest& request) {
    QFileDialog dialog(Parent(), QObject::tr("Save As"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    Prepare(dialog, request);
    if (request.suffixFromFilter) {
        // "PNG Image (*.png)" gives "png": the file type chosen decides what a bare name becomes.
        const auto suffixOf = [](const QString& filter) {
            const qsizetype dot = filter.indexOf(QStringLiteral("*."));
            return dot < 0 ? QString()
                           : filter.mid(dot + 2).section(QLatin1Char(')'), 0, 0).section(QLatin1Char(' '), 0, 0);
        };
        dialog.setDefaultSuffix(suffixOf(dialog.selectedNameFilter()));
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                         [&dialog, suffixOf](const QString& filter) { dialog.setDefaultSuffix(suffixOf(filter)); });
    }
    dialog.exec();
    return Chosen(dialog, request);
}

std::optional<std::string> QtUiServices::ShowPrintPreview(const ornexa::PrintedReport& pages, bool choosePrinter) {
    QPrinter printer(QPrinter::HighResolution);
    if (choosePrinter) {
        QPrintDialog dialog(&printer, Parent());
        if (dialog.exec() != QDialog::Accepted) {
            return std::nullopt;
        }
    }
    std::optional<std::string> failure;
    QPrintPreviewDialog preview(&printer, Parent());
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [&](QPrinter* device) { failure = PaintReport(pages, *device); });
    preview.exec();
    return failure;
}

void QtUiServices::Show(const ornexa::Message& message) {
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    switch (message.icon) {
    case ornexa::MessageIcon::Exclamation:
        icon = QMessageBox::Warning;
        break;
    case ornexa::MessageIcon::Information:
        icon = QMessageBox::Information;
        break;
    case ornexa::MessageIcon::Critical:
        icon = QMessageBox::Critical;
        break;
    case ornexa::MessageIcon::None:
        break;
    }
    // Messages hold fixed texts and file paths, which are UTF-8 here; report texts never go into one.
    const QString title = message.title.empty() ? QStringLiteral("ORNEXA") : QString::fromStdString(message.title);
    QString text = QString::fromStdString(message.text);
    text.replace(QLatin1Char('\t'), QLatin1Char('\n')); // the field error report's items, one a line
    // A long list (the files an import refused) would make a box taller than the screen: its first
    // lines show, the whole text is under "Show Details...".
    constexpr int shownLines = 20;
    const QStringList lines = text.split(QLatin1Char('\n'));
    QMessageBox box(icon, title, text, QMessageBox::Ok, Parent());
    if (lines.size() > shownLines) {
        box.setText(lines.mid(0, shownLines).join(QLatin1Char('\n')) + QStringLiteral("\n..."));
        box.setDetailedText(text);
    }
    // Below the program's own text: which file, what is wrong and what to do.
    box.setInformativeText(QString::fromStdString(message.hint));
    box.exec();
}

bool QtUiServices::Confirm(const ornexa::Message& question) {
    const QString title = question.title.empty() ? QStringLiteral("ORNEXA") : QString::fromStdString(question.title);
    return QMessageBox::question(Parent(), title, QString::fromStdString(question.text)) == QMessageBox::Yes;
}

std::optional<std::string> QtUiServices::AskText(const ornexa::Message& question, const std::string& current) {
    const QString title = question.title.empty() ? QStringLiteral("ORNEXA") : QString::fromStdString(question.title);
    bool ok = false;
    const QString text = QInputDialog::getText(Parent(), title, QString::fromStdString(question.text),
                                               QLineEdit::Normal, QString::fromStdString(current), &ok);
    return ok ? std::optional<std::string>(text.toStdString()) : std::nullopt;
}

void QtUiServices::ShowAbout() {
    AboutDialog about(Parent());
    if (about.exec() == QDialog::Accepted && aboutClosed) {
        aboutClosed();
    }
}

void QtUiServices::Beep() {
    QApplication::beep();
}

void WriteTextFile(UiServices& ui, const QString& title, const std::filesystem::path& path, const std::string& text) {
    if (const auto failure = ornexa::WriteFileWhole(path, text)) {
        ui.Show({title.toStdString(),
                 QCoreApplication::translate("UiServices", "File <%1> not created: %2")
                     .arg(QString::fromStdString(path.string()), QString::fromStdString(*failure))
                     .toStdString(),
                 ornexa::MessageIcon::Exclamation});
    }
}
