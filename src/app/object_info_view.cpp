#include "app/object_info_view.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>
#include <utility>

#include "app/list_models.h"
#include "app/object_table_view.h"
#include "app/table_export.h"
#include "stats/object_graph.h"
#include "stats/ui/chart_view.h"
#include "stats/ui/display_text.h"

ObjectInfoView::ObjectInfoView(const ornexa::ObjectInfoPage& page, QWidget* parent) : QWidget(parent), page_(page) {
    auto* layout = new QHBoxLayout(this);
    auto* side = new QVBoxLayout;
    BuildList(side);
    graphType_ = new QComboBox(this);
    graphType_->setObjectName(QStringLiteral("cboObjectGraphType"));
    for (int type = 1; type <= ornexa::ObjectGraphTypeCount; ++type) {
        graphType_->addItem(ornexa::ui::DisplayText(ornexa::ObjectGraphName(type)));
    }
    connect(graphType_, &QComboBox::activated, this, [this](int index) { emit GraphTypeChosen(index + 1); });
    side->addWidget(graphType_);
    auto* legend = new QFormLayout;
    legend_.emplace(this, legend);
    side->addLayout(legend);
    details_ = FigureRowsView(this, "lvObjectFigures");
    side->addWidget(details_, 1);
    chart_ = new ChartView(this);
    chart_->setObjectName(QStringLiteral("ChartFXObject"));
    objectTable_ = new ObjectTableView(this);
    connect(objectTable_, &ObjectTableView::ObjectChosen, this, [this](int object) {
        if (!painting_) {
            emit TableObjectChosen(object);
        }
    });
    auto* chartAndTable = new QSplitter(Qt::Vertical, this);
    chartAndTable->setObjectName(QStringLiteral("splObjectTable"));
    chartAndTable->setChildrenCollapsible(false);
    chartAndTable->addWidget(chart_);
    chartAndTable->addWidget(objectTable_);
    chartAndTable->setStretchFactor(0, 2);
    chartAndTable->setStretchFactor(1, 1);
    layout->addWidget(SideBySide(this, side, chartAndTable, "splObject"));
}

void ObjectInfoView::ShowTable(std::shared_ptr<const ornexa::ObjectTable> table) {
    const bool wasPainting = std::exchange(painting_, true);
    objectTable_->ShowTable(std::move(table));
    objectTable_->SelectObject(SelectedObject());
    painting_ = wasPainting;
}

int ObjectInfoView::SelectedObject() const {
    const std::optional<int> row = page_.SelectedRow();
    return row ? page_.List()[static_cast<std::size_t>(*row)].object : 0;
}

void ObjectInfoView::BuildList(QVBoxLayout* side) {
    model_ = new TextRowsModel(this);
    proxy_ = new FilteredRowsModel(this);
    proxy_->setSourceModel(model_);
    proxy_->SetFilterText({});
    filter_ = new QLineEdit(this);
    filter_->setObjectName(QStringLiteral("txtObjectFilter"));
    filter_->setPlaceholderText(tr("Find an object (Ctrl+F)"));
    filter_->setClearButtonEnabled(true);
    filter_->installEventFilter(this);
    connect(filter_, &QLineEdit::textChanged, this, &ObjectInfoView::FilterObjects);
    count_ = new QLabel(this);
    count_->setObjectName(QStringLiteral("lblObjectCount"));
    table_ = MakeListView(this);
    table_->setObjectName(QStringLiteral("lvObjects"));
    table_->setModel(proxy_);
    table_->horizontalHeader()->setSectionsClickable(true);
    connect(table_->horizontalHeader(), &QHeaderView::sectionClicked, this, &ObjectInfoView::SortWanted);
    connect(table_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (!painting_ && current.isValid()) {
                    emit ObjectChosen(proxy_->mapToSource(current).row());
                }
            });
    side->addWidget(filter_);
    side->addWidget(table_, 1);
    side->addWidget(count_);
}

QString ObjectInfoView::CountText() const {
    return count_->text();
}

void ObjectInfoView::FilterObjects(const QString& text) {
    proxy_->SetFilterText(text);
    objectTable_->SetFilterText(text);
    const bool wasPainting = std::exchange(painting_, true);
    SelectShownObject(page_.SelectedRow());
    painting_ = wasPainting;
    ShowObjectCount();
}

void ObjectInfoView::FocusFilter() {
    filter_->setFocus(Qt::ShortcutFocusReason);
    filter_->selectAll();
}

void ObjectInfoView::ClearFilter() {
    filter_->clear();
}

void ObjectInfoView::SelectShownObject(std::optional<int> row) {
    // The selected object stays selected while the filter shows it.
    const QModelIndex shown = row ? proxy_->mapFromSource(model_->index(*row, 0)) : QModelIndex();
    if (shown.isValid()) {
        table_->selectRow(shown.row());
    } else {
        table_->clearSelection();
    }
}

void ObjectInfoView::ShowObjectCount() {
    count_->setText(tr("%1 of %2 objects").arg(proxy_->rowCount()).arg(model_->rowCount()));
}

bool ObjectInfoView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == filter_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Escape && !filter_->text().isEmpty()) {
            filter_->clear();
            return true;
        }
        // Down goes on into the list, to the object shown or else the first one listed.
        if (key == Qt::Key_Down && proxy_->rowCount() > 0) {
            table_->setFocus(Qt::TabFocusReason);
            if (!table_->currentIndex().isValid()) {
                table_->setCurrentIndex(proxy_->index(0, 0));
            }
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void ObjectInfoView::Refresh() {
    if (page_.Version() == shownVersion_) {
        return;
    }
    shownVersion_ = page_.Version();
    painting_ = true;
    // Rebuilt only when its rows or captions change, so a click keeps the list where it was.
    if (shownObjects_ != page_.List() || shownCaptions_ != page_.Captions()) {
        shownObjects_ = page_.List();
        shownCaptions_ = page_.Captions();
        std::vector<TextRowsModel::Row> rows;
        rows.reserve(shownObjects_.size());
        for (const ornexa::ObjectListEntry& entry : shownObjects_) {
            rows.push_back({entry.object, {entry.text}, entry.icon});
        }
        model_->SetRows(shownCaptions_, std::move(rows));
    }
    SelectShownObject(page_.SelectedRow());
    objectTable_->SelectObject(SelectedObject());
    ShowObjectCount();
    if (page_.GraphType() > 0) {
        graphType_->setCurrentIndex(page_.GraphType() - 1);
    }
    legend_->Paint(page_.Graph().legend);
    chart_->ShowModel(page_.Graph().chart);
    ShowFigureRows(details_, page_.DetailRows());
    painting_ = false;
}
