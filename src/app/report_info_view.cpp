#include "app/report_info_view.h"

#include <QFormLayout>
#include <QLabel>
#include <QTableView>
#include <QVBoxLayout>

#include "app/list_models.h"
#include "app/page_view.h"
#include "app/table_export.h"
#include "stats/ui/display_text.h"

using ornexa::ui::DisplayText;

ReportInfoView::ReportInfoView(const ornexa::ReportInfoPage& page, QWidget* parent) : QWidget(parent), page_(page) {
    auto* layout = new QVBoxLayout(this);
    inputKind_ = new QLabel(this);
    inputKind_->setObjectName(QStringLiteral("lblInputKind"));
    inputKind_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    inputKind_->setVisible(false);
    layout->addWidget(inputKind_);
    auto* figures = new QHBoxLayout;
    auto* facts = new QFormLayout;
    auto* totals = new QFormLayout;
    for (std::size_t i = 0; i < data_.size(); ++i) {
        data_[i] = FigureLabel(this);
        data_[i]->setObjectName(QStringLiteral("lblData%1").arg(i));
        facts->addRow(DisplayText(ornexa::ReportDataCaptions()[i]), data_[i]);
    }
    for (std::size_t i = 0; i < totals_.size(); ++i) {
        totals_[i] = FigureLabel(this);
        totals_[i]->setObjectName(QStringLiteral("lblStat%1").arg(i));
        totals_[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        totals->addRow(DisplayText(ornexa::OverallFigureCaptions()[i]), totals_[i]);
    }
    figures->addLayout(facts);
    figures->addSpacing(fontMetrics().averageCharWidth() * 6);
    figures->addLayout(totals);
    figures->addStretch();
    layout->addLayout(figures);
    poolModel_ = new PoolListModel(this);
    poolTable_ = MakeListView(this);
    poolTable_->setObjectName(QStringLiteral("lvPoolInfo"));
    poolTable_->setModel(poolModel_);
    layout->addWidget(poolTable_, 1);
    connect(poolTable_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (!painting_ && current.isValid()) {
                    emit PoolChosen(current.row());
                }
            });
    connect(poolTable_, &QTableView::clicked, this, [this](const QModelIndex& index) { emit PoolChosen(index.row()); });
}

void ReportInfoView::ListPools() {
    poolModel_->SetRows(page_.PoolList());
}

void ReportInfoView::Refresh() {
    if (page_.Version() == shownVersion_) {
        return;
    }
    shownVersion_ = page_.Version();
    painting_ = true;
    inputKind_->setText(DisplayText(page_.InputKind()));
    inputKind_->setVisible(!page_.InputKind().empty());
    for (std::size_t i = 0; i < data_.size(); ++i) {
        data_[i]->setText(DisplayText(page_.Data()[i]));
    }
    for (std::size_t i = 0; i < totals_.size(); ++i) {
        totals_[i]->setText(DisplayText(page_.Totals()[i]));
    }
    if (const auto row = page_.SelectedRow()) {
        poolTable_->selectRow(*row);
    }
    painting_ = false;
}
