#include "app/pool_info_view.h"

#include <QComboBox>
#include <QFormLayout>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>

#include "stats/pool_graph.h"
#include "stats/ui/chart_view.h"
#include "stats/ui/display_text.h"

using ornexa::ui::DisplayText;

PoolInfoView::PoolInfoView(const ornexa::PoolInfoPage& page, QWidget* parent) : QWidget(parent), page_(page) {
    auto* layout = new QHBoxLayout(this);
    auto* side = new QVBoxLayout;
    side->addLayout(BuildHeader());
    poolFigures_ = FigureRowsView(this, "lvPoolFigures");
    side->addWidget(poolFigures_, 1);
    auto* moves = new QHBoxLayout;
    auto* previous = new QPushButton(tr("Pre&vious Pool"), this); // Alt+P prints
    previous->setObjectName(QStringLiteral("cmdPreviousPool"));
    auto* next = new QPushButton(tr("Ne&xt Pool"), this);
    next->setObjectName(QStringLiteral("cmdNextPool"));
    moves->addWidget(previous);
    moves->addWidget(next);
    side->addLayout(moves);
    connect(previous, &QPushButton::clicked, this, &PoolInfoView::PreviousPoolWanted);
    connect(next, &QPushButton::clicked, this, &PoolInfoView::NextPoolWanted);

    graphType_ = new QComboBox(this);
    graphType_->setObjectName(QStringLiteral("cboPoolGraphType"));
    for (int type = 1; type <= page_.GraphTypeCount(); ++type) {
        const std::string_view name = ornexa::PoolGraphName(type);
        // The graphs of Db2's own figures are this program's, not the monitor's.
        graphType_->addItem(type <= ornexa::PoolGraphTypeCount ? DisplayText(name) : tr(std::string(name).c_str()));
    }
    graphType_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    connect(graphType_, &QComboBox::activated, this, [this](int index) { emit GraphTypeChosen(index + 1); });
    auto* graphLabel = new QLabel(tr("&Graph"), this);
    graphLabel->setBuddy(graphType_);
    side->addWidget(graphLabel);
    side->addWidget(graphType_);
    auto* legend = new QFormLayout;
    legend_.emplace(this, legend);
    side->addLayout(legend);
    side->addWidget(BuildDetails());
    side->addStretch();
    chart_ = new ChartView(this);
    chart_->setObjectName(QStringLiteral("ChartFX1BPool"));
    chart_->setToolTip(tr("On a ranked chart, click a bar, or choose one with the arrow keys and press Enter, "
                          "to see the object's figures"));
    connect(chart_, &ChartView::PointActivated, this, &PoolInfoView::BarActivated);
    split_ = SideBySide(this, side, chart_, "splPool");
    layout->addWidget(split_);
}

QLayout* PoolInfoView::BuildHeader() {
    auto* header = new QFormLayout;
    static constexpr std::array<const char*, 5> infoCaptions{"Pool", "Objects", "V P Size", "H P Size", "Cast Out"};
    static constexpr std::array<const char*, 4> thresholdCaptions{"VPSEQT", "HPSEQT", "DWTH", "VWTH"};
    for (std::size_t i = 0; i < poolInfo_.size(); ++i) {
        poolInfo_[i] = FigureLabel(this);
        header->addRow(QString::fromLatin1(infoCaptions[i]), poolInfo_[i]);
    }
    for (std::size_t i = 0; i < thresholdInfo_.size(); ++i) {
        thresholdInfo_[i] = FigureLabel(this);
        header->addRow(QString::fromLatin1(thresholdCaptions[i]), thresholdInfo_[i]);
    }
    return header;
}

QFrame* PoolInfoView::BuildDetails() {
    details_ = new QFrame(this);
    details_->setObjectName(QStringLiteral("pnlPoolDetails"));
    details_->setFrameShape(QFrame::StyledPanel);
    auto* details = new QFormLayout(details_);
    for (const ornexa::DetailRow& row : page_.DetailRows()) {
        QLabel* value = detailValues_.emplace_back(FigureLabel(details_));
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        details->addRow(tr(row.caption.c_str()), value);
    }
    // The name of the object shown heads its figures, across the panel; the rows stand close, so
    // that the panel is no taller for it.
    detailsTitle_ = new QLabel(details_);
    detailsTitle_->setObjectName(QStringLiteral("lblPoolDetailsObject"));
    detailsTitle_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    detailsTitle_->setWordWrap(true);
    details->insertRow(0, detailsTitle_);
    details->setVerticalSpacing(2);
    auto* close = new QPushButton(QStringLiteral("&Close"), details_);
    close->setObjectName(QStringLiteral("cmdClosePoolDetails"));
    details->addRow(close);
    connect(close, &QPushButton::clicked, this, &PoolInfoView::DetailsClosed);
    return details_;
}

QString PoolInfoView::DetailsTitle() const {
    return detailsTitle_->text();
}

void PoolInfoView::Refresh() {
    if (page_.Version() == shownVersion_) {
        return;
    }
    shownVersion_ = page_.Version();
    const ornexa::PoolHeader& header = page_.Header();
    for (std::size_t i = 0; i < poolInfo_.size(); ++i) {
        poolInfo_[i]->setText(DisplayText(header.poolInfo[i]));
    }
    for (std::size_t i = 0; i < thresholdInfo_.size(); ++i) {
        thresholdInfo_[i]->setText(DisplayText(header.thresholdInfo[i]));
    }
    ShowFigureRows(poolFigures_, page_.PoolRows());
    if (page_.GraphType() > 0) {
        graphType_->setCurrentIndex(page_.GraphType() - 1);
    }
    legend_->Paint(page_.Graph().legend);
    chart_->ShowModel(page_.Graph().chart);
    details_->setVisible(page_.DetailsVisible());
    detailsTitle_->setText(DisplayText(page_.DetailsTitle()));
    const std::vector<ornexa::DetailRow> rows = page_.DetailRows();
    for (std::size_t i = 0; i < detailValues_.size(); ++i) {
        detailValues_[i]->setText(DisplayText(rows[i].value));
    }
    KeepFiguresWhole(split_, details_);
}
