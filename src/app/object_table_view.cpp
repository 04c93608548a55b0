#include "app/object_table_view.h"

#include <QAction>
#include <QHeaderView>
#include <QMenu>
#include <QSettings>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>
#include <utility>

#include "app/object_table_model.h"
#include "app/table_export.h"

namespace {

// The figure columns the user hid, by key, under the list's window and object names as the other
// lists keep their columns: a column that a later report brings shows until it is hidden.
QString HiddenColumnsKey(const QTableView& table) {
    return QStringLiteral("lists/%1/%2/hidden").arg(table.window()->objectName(), table.objectName());
}

} // namespace

ObjectTableView::ObjectTableView(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    model_ = new ObjectTableModel(this);
    table_ = MakeListView(this);
    table_->setObjectName(QStringLiteral("lvObjectTable"));
    table_->setSelectionMode(QAbstractItemView::ExtendedSelection); // Ctrl+C copies the rows selected
    table_->setModel(model_);
    QHeaderView* header = table_->horizontalHeader();
    header->setStretchLastSection(false);
    header->setSortIndicator(-1, Qt::AscendingOrder); // the pool's order until a column is clicked
    table_->setSortingEnabled(true);
    menu_ = new QMenu(tr("Columns"), this);
    header->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(header, &QWidget::customContextMenuRequested, this,
            [this, header](const QPoint& at) { menu_->popup(header->mapToGlobal(at)); });
    columns_ = new QToolButton(this);
    columns_->setObjectName(QStringLiteral("cmdObjectColumns"));
    columns_->setText(tr("Co&lumns"));
    columns_->setToolTip(tr("Choose the columns of the object table"));
    columns_->setMenu(menu_);
    columns_->setPopupMode(QToolButton::InstantPopup);
    columns_->setFocusPolicy(Qt::StrongFocus);
    connect(table_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (!painting_ && current.isValid()) {
                    selectedObject_ = model_->ObjectAt(current.row());
                    emit ObjectChosen(selectedObject_);
                }
            });
    // A new order or filter keeps the object chosen selected.
    connect(model_, &QAbstractItemModel::modelReset, this, [this] { SelectObject(selectedObject_); });
    auto* bar = new QHBoxLayout;
    bar->addStretch();
    bar->addWidget(columns_);
    layout->addLayout(bar);
    layout->addWidget(table_, 1);
}

void ObjectTableView::ShowTable(std::shared_ptr<const ornexa::ObjectTable> table) {
    if (table == model_->Table()) {
        return;
    }
    const bool wasPainting = std::exchange(painting_, true);
    const bool newColumns = !table || !model_->Table() || table->columns != model_->Table()->columns;
    model_->SetTable(std::move(table));
    if (newColumns) {
        FillColumnsMenu();
        ApplyHiddenColumns();
        table_->resizeColumnsToContents();
    }
    painting_ = wasPainting;
}

void ObjectTableView::SelectObject(int object) {
    selectedObject_ = object;
    const bool wasPainting = std::exchange(painting_, true);
    const std::optional<int> row = model_->RowOf(object);
    if (row) {
        const QModelIndex index = model_->index(*row, 0);
        if (table_->currentIndex().row() != *row || !table_->selectionModel()->isRowSelected(*row)) {
            table_->selectionModel()->setCurrentIndex(index,
                                                      QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        }
        table_->scrollTo(index);
    } else {
        table_->clearSelection();
    }
    painting_ = wasPainting;
}

void ObjectTableView::SetFilterText(const QString& text) {
    model_->SetFilterText(text);
}

void ObjectTableView::FillColumnsMenu() {
    menu_->clear();
    for (int c = 1; c < model_->columnCount(); ++c) { // the name always shows
        QAction* action = menu_->addAction(model_->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString());
        action->setObjectName(QStringLiteral("actColumn_") + model_->ColumnKey(c));
        action->setCheckable(true);
        action->setChecked(true);
        connect(action, &QAction::toggled, this, [this, c](bool shown) { ShowColumn(c, shown); });
    }
}

void ObjectTableView::ShowColumn(int column, bool shown) {
    table_->setColumnHidden(column, !shown);
    QStringList hidden = QSettings().value(HiddenColumnsKey(*table_)).toStringList();
    const QString key = model_->ColumnKey(column);
    hidden.removeAll(key);
    if (!shown) {
        hidden.append(key);
    }
    QSettings().setValue(HiddenColumnsKey(*table_), hidden);
}

void ObjectTableView::ApplyHiddenColumns() {
    const QStringList hidden = QSettings().value(HiddenColumnsKey(*table_)).toStringList();
    const QList<QAction*> actions = menu_->actions();
    for (int c = 1; c < model_->columnCount(); ++c) {
        const bool shown = !hidden.contains(model_->ColumnKey(c));
        table_->setColumnHidden(c, !shown);
        const QSignalBlocker quiet(actions[c - 1]);
        actions[c - 1]->setChecked(shown);
    }
}
