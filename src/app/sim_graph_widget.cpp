#include "app/sim_graph_widget.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>
#include <filesystem>

#include "app/list_models.h"
#include "simulation/sim_charts.h"
#include "stats/ui/chart_view.h"
#include "stats/ui/display_text.h"

namespace {
QString Latin1(const std::string& text) {
    return ornexa::ui::DisplayText(text);
}
} // namespace

SimGraphWidget::SimGraphWidget(ornexa::AnalysisSession& session, Apply apply, QWidget* parent)
    : QWidget(parent), session_(session), apply_(std::move(apply)) {
    auto* layout = new QVBoxLayout(this);
    caption_ = new QLabel(this);
    caption_->setObjectName(QStringLiteral("lblSimCaption"));
    caption_->hide();
    layout->addWidget(caption_);
    auto* top = new QHBoxLayout;
    auto* side = new QVBoxLayout;
    side->addWidget(BuildMeasureOptions());
    BuildDetails();
    side->addWidget(BuildCreateFile());
    auto* sizing = new QPushButton(tr("Pool Si&zing..."), this);
    sizing->setObjectName(QStringLiteral("cmdPoolSizing"));
    connect(sizing, &QPushButton::clicked, this, &SimGraphWidget::PoolSizingRequested);
    side->addWidget(sizing);
    side->addStretch();
    BuildSubTabs();
    top->addWidget(subTabs_, 1);
    top->addLayout(side);
    layout->addLayout(top, 1);
    layout->addWidget(details_);
}

QGroupBox* SimGraphWidget::BuildMeasureOptions() {
    auto* options = new QGroupBox(tr("Measure"), this);
    options->setObjectName(QStringLiteral("optGreatestImprovement"));
    auto* optionLayout = new QVBoxLayout(options);
    measure_ = new QButtonGroup(this);
    auto* hitRatio =
        new QRadioButton(ornexa::ui::DisplayText(ornexa::MeasureNames[ornexa::SysHitRatioMeasure]), options);
    auto* ioRate = new QRadioButton(ornexa::ui::DisplayText(ornexa::MeasureNames[ornexa::IORateMeasure]), options);
    measure_->addButton(hitRatio, ornexa::SysHitRatioMeasure);
    measure_->addButton(ioRate, ornexa::IORateMeasure);
    optionLayout->addWidget(hitRatio);
    optionLayout->addWidget(ioRate);
    connect(measure_, &QButtonGroup::idClicked, this,
            [this](int measure) { apply_(session_.SimGraphs().SelectMeasure(measure)); });
    return options;
}

void SimGraphWidget::BuildDetails() {
    details_ = new QFrame(this);
    details_->setObjectName(QStringLiteral("pnlSimAnalysisDetails"));
    details_->setFrameShape(QFrame::StyledPanel);
    auto* detailLayout = new QVBoxLayout(details_);
    detailsTitle_ = new QLabel(details_);
    detailsTitle_->setObjectName(QStringLiteral("lblSimObjName"));
    detailsModel_ = new TextRowsModel(this);
    detailsTable_ = new QTableView(details_);
    detailsTable_->setObjectName(QStringLiteral("lvSimObjectDetails"));
    detailsTable_->setModel(detailsModel_);
    detailsTable_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    detailsTable_->setSelectionBehavior(QAbstractItemView::SelectRows);
    detailsTable_->verticalHeader()->hide();
    detailsTable_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    auto* close = new QPushButton(tr("Cl&ose"), details_); // Alt+C creates the index file
    close->setObjectName(QStringLiteral("cmdCloseSimDetails"));
    connect(close, &QPushButton::clicked, this, [this] {
        session_.SimGraphs().CloseDetails();
        apply_({});
    });
    auto* detailHead = new QHBoxLayout;
    detailHead->addWidget(detailsTitle_, 1);
    detailHead->addWidget(close);
    detailLayout->addLayout(detailHead);
    detailLayout->addWidget(detailsTable_);
    // Five rows: the table is as high as they are, and the chart takes the rest.
    detailsTable_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    detailsTable_->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
}

QPushButton* SimGraphWidget::BuildCreateFile() {
    auto* createFile = new QPushButton(QStringLiteral("&Create File - All Indexes"), this);
    createFile->setObjectName(QStringLiteral("cmdCreateFile"));
    createFile->setToolTip(tr("Writes AINDEX.QVL, the pool's indexes, into the current folder"));
    connect(createFile, &QPushButton::clicked, this,
            [this] { apply_(session_.CreateIndexFile(std::filesystem::current_path())); });
    return createFile;
}

void SimGraphWidget::BuildSubTabs() {
    subTabs_ = new QTabWidget(this);
    subTabs_->setObjectName(QStringLiteral("tbsSimGraphs"));
    for (int t = 0; t < ornexa::SimSubTabCount; ++t) {
        auto* chart = new ChartView(subTabs_);
        chart->setObjectName(QStringLiteral("ChartFXSim%1").arg(t));
        charts_[static_cast<std::size_t>(t)] = chart;
        subTabs_->addTab(chart, Latin1(std::string(ornexa::SimSubTabCaption(t))));
        if (t != ornexa::OptimalPoolSizeTab) {
            chart->setToolTip(tr("Click a bar, or choose one with the arrow keys and press Enter, to see the "
                                 "object's simulated figures"));
            connect(chart, &ChartView::PointActivated, this, [this, t](int point) {
                session_.SimGraphs().ClickChart(t, point);
                apply_({});
            });
        }
    }
    connect(subTabs_, &QTabWidget::currentChanged, this, [this](int subTab) {
        if (!painting_) {
            session_.SimGraphs().SelectSubTab(subTab);
            apply_({});
        }
    });
}

void SimGraphWidget::Refresh() {
    const ornexa::SimGraphPage& page = session_.SimGraphs();
    if (page.Version() == shownVersion_) {
        return;
    }
    shownVersion_ = page.Version();
    painting_ = true;
    for (int t = 0; t < ornexa::SimSubTabCount; ++t) {
        charts_[static_cast<std::size_t>(t)]->ShowModel(page.Chart(t));
    }
    subTabs_->setCurrentIndex(page.SubTab());
    // Db2's simulated pool describes the whole pool only: the object charts wait for the monitor's report.
    const QString caption = Latin1(std::string(page.Caption()));
    caption_->setText(caption);
    caption_->setVisible(!caption.isEmpty());
    for (int t = 0; t < ornexa::SimSubTabCount; ++t) {
        const bool available = page.SubTabAvailable(t);
        subTabs_->setTabEnabled(t, available);
        subTabs_->setTabToolTip(t, available ? QString() : Latin1(std::string(ornexa::NeedsMonitorSimulationText)));
    }
    if (QAbstractButton* option = measure_->button(page.Measure())) {
        option->setChecked(true);
    }
    details_->setVisible(page.DetailsVisible());
    // An empty grid says nothing: until a bar is chosen the panel says how to choose one.
    detailsTitle_->setText(page.DetailsHoldObject() ? Latin1(page.DetailsTitle())
                                                    : Latin1(std::string(page.DetailsHint())));
    detailsTitle_->setWordWrap(!page.DetailsHoldObject());
    detailsTable_->setVisible(page.DetailsHoldObject());
    std::vector<TextRowsModel::Row> rows;
    const auto& captions = ornexa::SimDetailsRows();
    for (std::size_t r = 0; r < captions.size(); ++r) {
        TextRowsModel::Row row{static_cast<int>(r + 1), {captions[r]}, std::nullopt};
        const auto& cells = page.DetailsCells()[r];
        row.cells.insert(row.cells.end(), cells.begin(), cells.end());
        rows.push_back(std::move(row));
    }
    detailsModel_->UpdateRows(session_.PoolInfo().SimDetailsColumns(), std::move(rows));
    painting_ = false;
}
