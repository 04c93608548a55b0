#include "app/regroup_dialog.h"

#include <QClipboard>
#include <QComboBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include "app/keyboard_navigation.h"
#include "app/ui_services.h"
#include "session/file_dialogs.h"

namespace {
constexpr std::string_view SqlFileFilters = "SQL Files (*.sql)|*.sql|All Files (*.*)|*.*";
} // namespace

RegroupDialog::RegroupDialog(ornexa::RegroupPage page, UiServices& ui, ornexa::SaveFolders& folders, QWidget* parent)
    : QDialog(parent), page_(std::move(page)), ui_(ui), folders_(folders), statements_(new QPlainTextEdit(this)),
      problems_(new QLabel(this)) {
    setObjectName(QStringLiteral("frmRegroup"));
    setWindowTitle(tr("Regroup Objects"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Move each cluster's objects to a pool of its own: choose or type the target "
                                    "pools; the statements follow."),
                                 this));
    auto* targets = new QWidget(this);
    auto* form = new QFormLayout(targets);
    QStringList choices;
    for (const std::string& name : page_.Choices()) {
        choices << QString::fromStdString(name);
    }
    for (int q = 1; q <= page_.ClusterCount(); ++q) {
        auto* target = new QComboBox(targets);
        target->setObjectName(QStringLiteral("cboTarget%1").arg(q));
        target->setEditable(true);
        target->setInsertPolicy(QComboBox::NoInsert);
        target->addItems(choices);
        target->setCurrentText(QString::fromStdString(page_.Targets()[static_cast<std::size_t>(q - 1)]));
        connect(target, &QComboBox::currentTextChanged, this, [this, q](const QString& text) {
            page_.SetTarget(q, text.trimmed().toStdString());
            Refresh();
        });
        form->addRow(tr("Cluster %1").arg(q), target);
        targets_.push_back(target);
    }
    auto* scroll = new QScrollArea(this);
    scroll->setWidget(targets);
    scroll->setWidgetResizable(true);
    scroll->setMaximumHeight(fontMetrics().height() * 12);
    layout->addWidget(scroll);
    problems_->setObjectName(QStringLiteral("lblRegroupProblems"));
    problems_->setWordWrap(true);
    problems_->setTextFormat(Qt::PlainText); // names from the report are never markup
    problems_->setStyleSheet(QStringLiteral("color: #c0392b"));
    layout->addWidget(problems_);
    statements_->setObjectName(QStringLiteral("txtRegroupStatements"));
    statements_->setReadOnly(true);
    statements_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    statements_->setLineWrapMode(QPlainTextEdit::NoWrap);
    layout->addWidget(statements_, 1);
    // The buttons in a row of their own: a button box chains its buttons with its focus proxy into
    // a ring that Tab never leaves.
    auto* buttons = new QHBoxLayout;
    auto* copy = new QPushButton(tr("&Copy"), this);
    copy->setObjectName(QStringLiteral("cmdRegroupCopy"));
    auto* save = new QPushButton(tr("&Save..."), this);
    save->setObjectName(QStringLiteral("cmdRegroupSave"));
    auto* close = new QPushButton(tr("Close"), this);
    close->setObjectName(QStringLiteral("cmdRegroupClose"));
    connect(copy, &QPushButton::clicked, this, &RegroupDialog::Copy);
    connect(save, &QPushButton::clicked, this, &RegroupDialog::Save);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    buttons->addWidget(copy);
    buttons->addWidget(save);
    buttons->addStretch();
    buttons->addWidget(close);
    layout->addLayout(buttons);
    scroll->setFocusPolicy(Qt::NoFocus); // the targets' frame is no stop of its own
    resize(fontMetrics().averageCharWidth() * 110, fontMetrics().height() * 40);
    LetTabMoveFocus(*this);
    Refresh();
}

QComboBox* RegroupDialog::Target(int cluster) const {
    return cluster >= 1 && cluster <= static_cast<int>(targets_.size())
               ? targets_[static_cast<std::size_t>(cluster - 1)]
               : nullptr;
}

void RegroupDialog::Refresh() {
    statements_->setPlainText(QString::fromStdString(page_.Text()));
    QStringList problems;
    for (const std::string& problem : page_.Problems()) {
        problems << QString::fromStdString(problem);
    }
    problems_->setText(problems.join(QLatin1Char('\n')));
    problems_->setVisible(!problems.isEmpty());
}

void RegroupDialog::Copy() const {
    QGuiApplication::clipboard()->setText(QString::fromStdString(page_.Text()));
}

void RegroupDialog::Save() {
    ornexa::FileDialogRequest request;
    request.filters = ornexa::ParseFilterList(SqlFileFilters);
    request.fileName = page_.DefaultFileName();
    request.defaultSuffix = "sql";
    if (const auto chosen = ornexa::ChooseSaveFile(ui_, folders_, ornexa::SaveKind::Regroup, std::move(request))) {
        WriteTextFile(ui_, tr("Regroup Objects"), ornexa::WithExtension(*chosen, ".sql"), page_.Text());
    }
}
