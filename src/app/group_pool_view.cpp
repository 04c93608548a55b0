#include "app/group_pool_view.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

#include "app/list_models.h"
#include "stats/ui/display_text.h"

int GroupPoolModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(page_.Rows().size());
}

int GroupPoolModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(page_.Captions().size());
}

QVariant GroupPoolModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount()) {
        return {};
    }
    const ornexa::GroupPoolCell& cell =
        page_.Rows()[static_cast<std::size_t>(index.row())][static_cast<std::size_t>(index.column())];
    switch (role) {
    case Qt::DisplayRole:
        return ornexa::ui::DisplayText(cell.text);
    case SortRole:
        // A figure not shown sorts below every figure shown.
        if (index.column() == 0) {
            return ornexa::ui::DisplayText(cell.text);
        }
        return cell.value.value_or(-1.0);
    case Qt::TextAlignmentRole:
        return index.column() == 0 ? QVariant(Qt::AlignLeft | Qt::AlignVCenter)
                                   : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    default:
        return {};
    }
}

QVariant GroupPoolModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= columnCount()) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    return ornexa::ui::DisplayText(page_.Captions()[static_cast<std::size_t>(section)]);
}

GroupPoolView::GroupPoolView(const ornexa::Report& report, QWidget* parent)
    : QWidget(parent), page_(report, ornexa::ui::LocaleNumberStyle(QLocale())) {
    setObjectName(QStringLiteral("tabGroupPools"));
    auto* layout = new QVBoxLayout(this);

    model_ = new GroupPoolModel(page_, this);
    sorted_ = new QSortFilterProxyModel(this);
    sorted_->setSourceModel(model_);
    sorted_->setSortRole(SortRole);
    list_ = new QTableView(this);
    list_->setObjectName(QStringLiteral("lvGroupPools"));
    list_->setModel(sorted_);
    list_->setSortingEnabled(true);
    list_->sortByColumn(-1, Qt::AscendingOrder); // display order until a caption is clicked
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    auto* listLabel = new QLabel(tr("&Group buffer pools:"), this);
    listLabel->setBuddy(list_);
    layout->addWidget(listLabel);
    layout->addWidget(list_, 2);

    findings_ = new QListWidget(this);
    findings_->setObjectName(QStringLiteral("lstGroupPoolFindings"));
    findings_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    for (const std::string& line : page_.FindingLines()) {
        findings_->addItem(ornexa::ui::DisplayText(line));
    }
    auto* findingsLabel = new QLabel(tr("F&indings and commands:"), this);
    findingsLabel->setBuddy(findings_);
    layout->addWidget(findingsLabel);
    layout->addWidget(findings_, 1);

    auto* copy = new QPushButton(tr("Copy &Commands"), this);
    copy->setObjectName(QStringLiteral("cmdCopyGroupPoolCommands"));
    copy->setEnabled(!page_.CommandsText().empty());
    connect(copy, &QPushButton::clicked, this, &GroupPoolView::CopyCommands);
    layout->addWidget(copy, 0, Qt::AlignRight);

    auto* copyChosen = new QAction(this);
    copyChosen->setObjectName(QStringLiteral("actCopyGroupPools"));
    copyChosen->setShortcut(QKeySequence::Copy);
    copyChosen->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(copyChosen, &QAction::triggered, this, &GroupPoolView::CopyChosen);
    addAction(copyChosen);
}

void GroupPoolView::CopyCommands() const {
    QGuiApplication::clipboard()->setText(ornexa::ui::DisplayText(page_.CommandsText()));
}

void GroupPoolView::CopyChosen() const {
    QStringList lines;
    if (list_->hasFocus()) {
        QModelIndexList rows = list_->selectionModel()->selectedRows();
        std::sort(rows.begin(), rows.end(),
                  [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
        for (const QModelIndex& row : rows) {
            QStringList cells;
            for (int c = 0; c < sorted_->columnCount(); ++c) {
                cells << sorted_->index(row.row(), c).data().toString();
            }
            lines << cells.join(QLatin1Char('\t'));
        }
    } else {
        for (int i = 0; i < findings_->count(); ++i) {
            if (findings_->item(i)->isSelected() || findings_->selectedItems().isEmpty()) {
                lines << findings_->item(i)->text();
            }
        }
    }
    if (!lines.isEmpty()) {
        QGuiApplication::clipboard()->setText(lines.join(QLatin1Char('\n')) + QLatin1Char('\n'));
    }
}
