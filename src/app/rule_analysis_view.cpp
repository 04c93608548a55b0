#include "app/rule_analysis_view.h"

#include <QButtonGroup>
#include <QClipboard>
#include <QFontDatabase>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/usage_options.h"
#include "stats/ui/display_text.h"

using ornexa::ui::DisplayText;

RuleAnalysisView::RuleAnalysisView(const ornexa::RuleAnalysisPage& page, QWidget* parent)
    : QWidget(parent), page_(page) {
    auto* layout = new QVBoxLayout(this);
    caption_ = new QLabel(this);
    caption_->setObjectName(QStringLiteral("lblAnalysis0"));
    rules_ = new QListWidget(this);
    rules_->setObjectName(QStringLiteral("lstBPAnalysis"));
    auto* intent = new QGroupBox(QStringLiteral("Pool Usage Intent"), this);
    intent->setObjectName(QStringLiteral("fraPoolIntentUsage"));
    usage_ = AddUsageOptions(intent, this);
    connect(usage_, &QButtonGroup::idClicked, this, &RuleAnalysisView::UsageChosen);
    layout->addWidget(caption_);
    layout->addWidget(rules_, 1);
    auto* advice = new QHBoxLayout;
    advice->addWidget(BuildMetrics(), 3);
    advice->addWidget(BuildCommands(), 2);
    layout->addLayout(advice, 1);
    layout->addWidget(intent);
}

QWidget* RuleAnalysisView::BuildMetrics() {
    auto* box = new QGroupBox(tr("Pool Metrics"), this);
    auto* layout = new QVBoxLayout(box);
    metrics_ = new QTableWidget(0, 3, box);
    metrics_->setObjectName(QStringLiteral("tblPoolMetrics"));
    metrics_->setHorizontalHeaderLabels({tr("Metric"), tr("Value"), tr("Note")});
    metrics_->verticalHeader()->hide();
    metrics_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    metrics_->setSelectionBehavior(QAbstractItemView::SelectRows);
    metrics_->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(metrics_);
    return box;
}

QWidget* RuleAnalysisView::BuildCommands() {
    auto* box = new QGroupBox(tr("Commands"), this);
    auto* layout = new QVBoxLayout(box);
    commands_ = new QPlainTextEdit(box);
    commands_->setObjectName(QStringLiteral("txtPoolCommands"));
    commands_->setReadOnly(true);
    commands_->setLineWrapMode(QPlainTextEdit::NoWrap);
    commands_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    layout->addWidget(commands_, 1);
    auto* copy = new QPushButton(tr("Copy Commands"), box);
    copy->setObjectName(QStringLiteral("cmdCopyCommands"));
    connect(copy, &QPushButton::clicked, this, &RuleAnalysisView::CopyCommands);
    // The sizes of all pools at once, for a budget of storage.
    auto* sizing = new QPushButton(tr("Pool Si&zing..."), box);
    sizing->setObjectName(QStringLiteral("cmdPoolSizing"));
    sizing->setToolTip(tr("Split a storage budget across all pools (Ctrl+Shift+Z)"));
    connect(sizing, &QPushButton::clicked, this, &RuleAnalysisView::PoolSizingWanted);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(sizing);
    buttons->addWidget(copy);
    layout->addLayout(buttons);
    return box;
}

void RuleAnalysisView::CopyCommands() const {
    QGuiApplication::clipboard()->setText(commands_->toPlainText());
}

void RuleAnalysisView::Refresh() {
    if (page_.Version() == shownVersion_) {
        return;
    }
    shownVersion_ = page_.Version();
    caption_->setText(DisplayText(page_.Analysis().caption));
    rules_->clear();
    for (const std::string& rule : page_.Analysis().rules) {
        rules_->addItem(DisplayText(rule));
    }
    if (QAbstractButton* option = usage_->button(page_.UsageOption())) {
        option->setChecked(true);
    }
    PaintMetrics();
}

void RuleAnalysisView::PaintMetrics() {
    const auto& rows = page_.Metrics();
    metrics_->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const ornexa::MetricCells& row = rows[static_cast<std::size_t>(r)];
        metrics_->setItem(r, 0, new QTableWidgetItem(DisplayText(row.caption)));
        auto* value = new QTableWidgetItem(DisplayText(row.value));
        value->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        metrics_->setItem(r, 1, value);
        metrics_->setItem(r, 2, new QTableWidgetItem(DisplayText(row.note)));
    }
    metrics_->resizeColumnToContents(0);
    metrics_->resizeColumnToContents(1);
    commands_->setPlainText(DisplayText(page_.CommandsText()));
}
