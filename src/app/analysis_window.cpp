#include "app/analysis_window.h"

#include <QButtonGroup>
#include <QClipboard>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFontDatabase>
#include <QFormLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>
#include <utility>

#include "app/app_icons.h"
#include "app/chart_actions.h"
#include "app/cluster_widget.h"
#include "app/dropped_files.h"
#include "app/history_service.h"
#include "app/history_window.h"
#include "app/keyboard_navigation.h"
#include "app/list_columns.h"
#include "app/list_models.h"
#include "app/regroup_dialog.h"
#include "app/sim_graph_widget.h"
#include "app/table_export.h"
#include "app/ui_services.h"
#include "app/usage_options.h"
#include "app/window_state.h"
#include "load/report_kind.h"
#include "stats/object_graph.h"
#include "stats/pool_graph.h"
#include "stats/share_figures.h"
#include "stats/ui/chart_view.h"
#include "stats/ui/display_text.h"

namespace {

// The shortcuts of the window, a line each: the keys, a tab, what they do.
QString ShortcutsText() {
    const std::initializer_list<std::pair<const char*, const char*>> keys = {
        {"F5", QT_TR_NOOP("Read both reports again and return to the same pool, tab and object")},
        {"Ctrl+H", QT_TR_NOOP("The history: the reports kept, trends over time, two reports compared")},
        {"Ctrl+F", QT_TR_NOOP("Find an object: the filter box above the object list; Down moves into the list")},
        {"Escape", QT_TR_NOOP("Clear the object filter")},
        {"Ctrl+Tab, Ctrl+PgDn", QT_TR_NOOP("The next tab, from any widget")},
        {"Ctrl+Shift+Tab, Ctrl+PgUp", QT_TR_NOOP("The tab before, from any widget")},
        {"Alt+1 ... Alt+6", QT_TR_NOOP("That tab directly")},
        {"Ctrl+1 ... Ctrl+4", QT_TR_NOOP("That chart of Sim Graph Analysis")},
        {"Tab, Shift+Tab", QT_TR_NOOP("The next or the previous control")},
        {"Ctrl+C",
         QT_TR_NOOP("Copy the selected rows of a list (all rows when none is selected) as tab-separated text")},
        {"Ctrl+Shift+C", QT_TR_NOOP("Copy the chart with the focus as a picture")},
        {"Ctrl+Shift+S", QT_TR_NOOP("Save the chart with the focus as PNG, SVG or PDF")},
        {"Ctrl+P, Alt+P", QT_TR_NOOP("Print the tab shown")},
        {"Alt+B", QT_TR_NOOP("Back to the file selection")},
        {"Alt+F", QT_TR_NOOP("Finish")},
        {"F1", QT_TR_NOOP("This list")},
    };
    QStringList lines;
    for (const auto& [key, meaning] : keys) {
        lines << QStringLiteral("%1\t%2").arg(QString::fromLatin1(key), AnalysisWindow::tr(meaning));
    }
    lines << AnalysisWindow::tr("A report file dropped on the window is read in place of the one shown.");
    return lines.join(QLatin1Char('\n'));
}

// The figures beside the chart, the border between them movable; the chart takes what is left.
QSplitter* SideBySide(QWidget* page, QLayout* side, QWidget* chart, const char* name) {
    auto* figures = new QWidget(page);
    figures->setLayout(side);
    side->setContentsMargins(0, 0, 0, 0);
    auto* splitter = new QSplitter(Qt::Horizontal, page);
    splitter->setObjectName(QString::fromLatin1(name));
    splitter->setChildrenCollapsible(false);
    splitter->addWidget(figures);
    splitter->addWidget(chart);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    return splitter;
}

QString Text(const std::string& text) {
    return ornexa::ui::DisplayText(text);
}

QLabel* ValueLabel(QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setMinimumWidth(label->fontMetrics().averageCharWidth() * 14);
    return label;
}

} // namespace

AnalysisWindow::AnalysisWindow(const ornexa::Report& report, const ornexa::SimulationData& sim, UiServices& ui,
                               const std::filesystem::path& thresholdFolder, QWidget* parent)
    : QDialog(parent), ui_(ui), session_(report, sim, thresholdFolder, ornexa::ui::LocaleNumberStyle(QLocale())) {
    setObjectName(QStringLiteral("frmStatAnalysis"));
    setWindowTitle(QStringLiteral("ORNEXA"));
    setWindowIcon(ProgramIcon());
    setSizeGripEnabled(true);
    auto* layout = new QVBoxLayout(this);
    auto* menuBar = new QMenuBar(this);
    QMenu* menu = menuBar->addMenu(tr("&Window"));
    printItem_ = menu->addAction(QStringLiteral("&Print ..."), this, &AnalysisWindow::PrintTab);
    printItem_->setObjectName(QStringLiteral("actPrint"));
    printItem_->setShortcut(QKeySequence::Print);
    addAction(printItem_);
    printItem_->setEnabled(false);
    QAction* reload = menu->addAction(tr("&Reload"), this, &AnalysisWindow::Reload);
    reload->setObjectName(QStringLiteral("actReload"));
    reload->setShortcut(QKeySequence(Qt::Key_F5));
    QAction* history = menu->addAction(tr("&History..."), this, &AnalysisWindow::ShowHistory);
    history->setObjectName(QStringLiteral("actHistory"));
    history->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
    addAction(history);
    menu->addSeparator();
    menu->addAction(QStringLiteral("&About"), this, [this] { ui_.ShowAbout(); });
    QMenu* help = menuBar->addMenu(tr("&Help"));
    QAction* shortcuts = help->addAction(tr("Keyboard Shortcuts"), this, &AnalysisWindow::ShowShortcuts);
    shortcuts->setObjectName(QStringLiteral("actShortcuts"));
    shortcuts->setShortcut(QKeySequence::HelpContents);
    layout->setMenuBar(menuBar);
    setAcceptDrops(true);

    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("tbsStats"));
    tabs_->addTab(BuildReportTab(), QString());
    tabs_->addTab(BuildPoolTab(), QString());
    tabs_->addTab(BuildObjectTab(), QString());
    tabs_->addTab(BuildRuleTab(), QString());
    const auto apply = [this](const ornexa::Messages& told) { Apply(told); };
    simTab_ = new SimGraphWidget(session_, apply, this);
    clusterTab_ = new ClusterWidget(session_, ui_, apply, this);
    connect(clusterTab_, &ClusterWidget::RegroupRequested, this, &AnalysisWindow::Regroup);
    tabs_->addTab(simTab_, QString());
    tabs_->addTab(clusterTab_, QString());
    for (int t = 0; t < ornexa::AnalysisTabCount; ++t) {
        tabs_->setTabText(t, Text(session_.Tabs()[static_cast<std::size_t>(t)].caption));
    }
    layout->addWidget(tabs_, 1);
    connect(tabs_, &QTabWidget::currentChanged, this, [this](int tab) {
        if (!refreshing_) {
            SelectTab(tab);
        }
    });

    auto* buttons = new QHBoxLayout;
    print_ = new QPushButton(QStringLiteral("&Print"), this);
    print_->setObjectName(QStringLiteral("cmdPrint"));
    print_->hide(); // shown once a printable tab is
    connect(print_, &QPushButton::clicked, this, &AnalysisWindow::PrintTab);
    auto* back = new QPushButton(QStringLiteral("< &Back"), this);
    back->setObjectName(QStringLiteral("cmdBack"));
    auto* finish = new QPushButton(QStringLiteral("&Finish"), this);
    finish->setObjectName(QStringLiteral("cmdFinish"));
    buttons->addWidget(print_);
    buttons->addStretch();
    buttons->addWidget(back);
    buttons->addWidget(finish);
    layout->addLayout(buttons);
    connect(back, &QPushButton::clicked, this, &AnalysisWindow::Back);
    connect(finish, &QPushButton::clicked, this, &AnalysisWindow::Finish);

    status_ = new QStatusBar(this);
    status_->setObjectName(QStringLiteral("sbStatus"));
    statusPanel_ = new QLabel(this);
    status_->addWidget(new QLabel(this));
    status_->addWidget(statusPanel_, 1);
    layout->addWidget(status_);
    for (ChartView* chart : findChildren<ChartView*>()) {
        // NOLINTNEXTLINE(cppcoreguidelines-owning-memory): the chart owns them
        new ChartActions(chart, ui_, session_.Folders());
    }
    // Every list copies its rows (Ctrl+C) and exports itself as CSV, from its context menu.
    ornexa::SaveFolders& folders = session_.Folders();
    AttachTableExport(poolTable_, ui_, folders, QStringLiteral("pools.csv"));
    AttachTableExport(objectTable_, ui_, folders, QStringLiteral("objects.csv"));
    AttachTableExport(rules_, ui_, folders, QStringLiteral("rules.csv"), {tr("Rule")});
    AttachTableExport(simTab_->DetailsTable(), ui_, folders, QStringLiteral("simulation-details.csv"));
    AttachTableExport(clusterTab_->Clusters(), ui_, folders, QStringLiteral("clusters.csv"));
    AttachTableExport(clusterTab_->Members(), ui_, folders, QStringLiteral("cluster-objects.csv"));

    LetTabMoveFocus(*this);
    AddTabKeys(*this, *tabs_, [this](int tab) { SelectTab(tab); });
    for (int subTab = 0; subTab < ornexa::SimSubTabCount; ++subTab) {
        auto* chooseChart = new QAction(this);
        chooseChart->setShortcut(QKeySequence(Qt::CTRL | static_cast<Qt::Key>(Qt::Key_1 + subTab)));
        connect(chooseChart, &QAction::triggered, this, [this, subTab] { ChooseSimChart(subTab); });
        addAction(chooseChart);
    }

    // Initialisation and loading; activation follows the first showing.
    session_.Load();
    poolModel_->SetRows(session_.ReportInfo().PoolList());
    resize(fontMetrics().averageCharWidth() * 150, fontMetrics().height() * 45);
    window_state::RestoreGeometry(*this);
}

QWidget* AnalysisWindow::BuildReportTab() {
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    auto* figures = new QHBoxLayout;
    auto* facts = new QFormLayout;
    auto* totals = new QFormLayout;
    for (int i = 0; i < ornexa::ReportDataCount; ++i) {
        data_[static_cast<std::size_t>(i)] = ValueLabel(page);
        data_[static_cast<std::size_t>(i)]->setObjectName(QStringLiteral("lblData%1").arg(i));
        facts->addRow(Text(ornexa::ReportDataCaptions()[static_cast<std::size_t>(i)]),
                      data_[static_cast<std::size_t>(i)]);
    }
    for (int i = 0; i < ornexa::OverallFigureCount; ++i) {
        stats_[static_cast<std::size_t>(i)] = ValueLabel(page);
        stats_[static_cast<std::size_t>(i)]->setObjectName(QStringLiteral("lblStat%1").arg(i));
        stats_[static_cast<std::size_t>(i)]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        totals->addRow(Text(ornexa::OverallFigureCaptions()[static_cast<std::size_t>(i)]),
                       stats_[static_cast<std::size_t>(i)]);
    }
    figures->addLayout(facts);
    figures->addSpacing(fontMetrics().averageCharWidth() * 6);
    figures->addLayout(totals);
    figures->addStretch();
    layout->addLayout(figures);
    poolModel_ = new PoolListModel(this);
    poolTable_ = MakeListView(page);
    poolTable_->setObjectName(QStringLiteral("lvPoolInfo"));
    poolTable_->setModel(poolModel_);
    layout->addWidget(poolTable_, 1);
    // A click, Enter or a move with the arrow keys chooses the pool of the row.
    connect(poolTable_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (!refreshing_ && current.isValid()) {
                    ChoosePool(current.row());
                }
            });
    connect(poolTable_, &QTableView::clicked, this, [this](const QModelIndex& index) { ChoosePool(index.row()); });
    return page;
}

QWidget* AnalysisWindow::BuildPoolTab() {
    auto* page = new QWidget(this);
    auto* layout = new QHBoxLayout(page);
    auto* side = new QVBoxLayout;
    auto* header = new QFormLayout;
    static constexpr std::array<const char*, 5> infoCaptions{"Pool", "Objects", "V P Size", "H P Size", "Cast Out"};
    static constexpr std::array<const char*, 4> thresholdCaptions{"VPSEQT", "HPSEQT", "DWTH", "VWTH"};
    for (std::size_t i = 0; i < poolInfo_.size(); ++i) {
        poolInfo_[i] = ValueLabel(page);
        header->addRow(QString::fromLatin1(infoCaptions[i]), poolInfo_[i]);
    }
    for (std::size_t i = 0; i < thresholdInfo_.size(); ++i) {
        thresholdInfo_[i] = ValueLabel(page);
        header->addRow(QString::fromLatin1(thresholdCaptions[i]), thresholdInfo_[i]);
    }
    side->addLayout(header);
    auto* moves = new QHBoxLayout;
    auto* previous = new QPushButton(tr("Pre&vious Pool"), page); // Alt+P prints
    previous->setObjectName(QStringLiteral("cmdPreviousPool"));
    auto* next = new QPushButton(tr("Ne&xt Pool"), page);
    next->setObjectName(QStringLiteral("cmdNextPool"));
    moves->addWidget(previous);
    moves->addWidget(next);
    side->addLayout(moves);
    connect(previous, &QPushButton::clicked, this, &AnalysisWindow::PreviousPool);
    connect(next, &QPushButton::clicked, this, &AnalysisWindow::NextPool);

    poolGraphType_ = new QComboBox(page);
    poolGraphType_->setObjectName(QStringLiteral("cboPoolGraphType"));
    for (int type = 1; type <= ornexa::PoolGraphTypeCount; ++type) {
        poolGraphType_->addItem(Text(std::string(ornexa::PoolGraphName(type))));
    }
    poolGraphType_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    connect(poolGraphType_, &QComboBox::activated, this, [this](int index) { ChoosePoolGraphType(index + 1); });
    auto* graphLabel = new QLabel(tr("&Graph"), page);
    graphLabel->setBuddy(poolGraphType_);
    side->addWidget(graphLabel);
    side->addWidget(poolGraphType_);
    auto* legend = new QFormLayout;
    for (std::size_t i = 0; i < poolLegendCaptions_.size(); ++i) {
        poolLegendCaptions_[i] = new QLabel(page);
        poolLegendValues_[i] = ValueLabel(page);
        poolLegendValues_[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        legend->addRow(poolLegendCaptions_[i], poolLegendValues_[i]);
    }
    side->addLayout(legend);

    poolDetails_ = new QFrame(page);
    poolDetails_->setObjectName(QStringLiteral("pnlPoolDetails"));
    poolDetails_->setFrameShape(QFrame::StyledPanel);
    auto* details = new QFormLayout(poolDetails_);
    for (std::size_t i = 0; i < panelData_.size(); ++i) {
        panelData_[i] = ValueLabel(poolDetails_);
        panelData_[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        details->addRow(tr(ornexa::ObjectDetailCaptions.at(i)), panelData_[i]);
    }
    // The name of the object shown heads its figures, across the panel; the rows stand close, so
    // that the panel is no taller for it.
    poolDetailsTitle_ = new QLabel(poolDetails_);
    poolDetailsTitle_->setObjectName(QStringLiteral("lblPoolDetailsObject"));
    poolDetailsTitle_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    poolDetailsTitle_->setWordWrap(true);
    details->insertRow(0, poolDetailsTitle_);
    details->setVerticalSpacing(2);
    auto* close = new QPushButton(QStringLiteral("&Close"), poolDetails_);
    close->setObjectName(QStringLiteral("cmdClosePoolDetails"));
    details->addRow(close);
    connect(close, &QPushButton::clicked, this, [this] {
        session_.ClosePoolDetails();
        Refresh();
    });
    side->addWidget(poolDetails_);
    side->addStretch();
    poolChart_ = new ChartView(page);
    poolChart_->setObjectName(QStringLiteral("ChartFX1BPool"));
    poolChart_->setToolTip(tr("On a ranked chart, click a bar, or choose one with the arrow keys and press Enter, "
                              "to see the object's figures"));
    connect(poolChart_, &ChartView::PointActivated, this, &AnalysisWindow::ActivatePoolBar);
    layout->addWidget(SideBySide(page, side, poolChart_, "splPool"));
    return page;
}

QWidget* AnalysisWindow::BuildObjectTab() {
    auto* page = new QWidget(this);
    auto* layout = new QHBoxLayout(page);
    auto* side = new QVBoxLayout;
    objectModel_ = new TextRowsModel(this);
    // The filter narrows what the list shows; the session keeps the whole list and its order.
    objectProxy_ = new FilteredRowsModel(this);
    objectProxy_->setSourceModel(objectModel_);
    objectProxy_->SetFilterText({});
    objectFilter_ = new QLineEdit(page);
    objectFilter_->setObjectName(QStringLiteral("txtObjectFilter"));
    objectFilter_->setPlaceholderText(tr("Find an object (Ctrl+F)"));
    objectFilter_->setClearButtonEnabled(true);
    objectFilter_->installEventFilter(this);
    connect(objectFilter_, &QLineEdit::textChanged, this, &AnalysisWindow::FilterObjects);
    auto* find = new QAction(this);
    find->setShortcut(QKeySequence::Find);
    find->setShortcutContext(Qt::WindowShortcut);
    connect(find, &QAction::triggered, this, [this] {
        SelectTab(ornexa::ObjectInfoTab);
        objectFilter_->setFocus(Qt::ShortcutFocusReason);
        objectFilter_->selectAll();
    });
    addAction(find);
    objectCount_ = new QLabel(page);
    objectCount_->setObjectName(QStringLiteral("lblObjectCount"));
    objectTable_ = MakeListView(page);
    objectTable_->setObjectName(QStringLiteral("lvObjects"));
    objectTable_->setModel(objectProxy_);
    objectTable_->horizontalHeader()->setSectionsClickable(true);
    connect(objectTable_->horizontalHeader(), &QHeaderView::sectionClicked, this, &AnalysisWindow::SortObjects);
    connect(objectTable_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (!refreshing_ && current.isValid()) {
                    ChooseObject(objectProxy_->mapToSource(current).row());
                }
            });
    side->addWidget(objectFilter_);
    side->addWidget(objectTable_, 1);
    side->addWidget(objectCount_);
    objectGraphType_ = new QComboBox(page);
    objectGraphType_->setObjectName(QStringLiteral("cboObjectGraphType"));
    for (int type = 1; type <= ornexa::ObjectGraphTypeCount; ++type) {
        objectGraphType_->addItem(Text(std::string(ornexa::ObjectGraphName(type))));
    }
    connect(objectGraphType_, &QComboBox::activated, this, [this](int index) { ChooseObjectGraphType(index + 1); });
    side->addWidget(objectGraphType_);
    auto* legend = new QFormLayout;
    for (std::size_t i = 0; i < objectLegendCaptions_.size(); ++i) {
        objectLegendCaptions_[i] = new QLabel(page);
        objectLegendValues_[i] = ValueLabel(page);
        objectLegendValues_[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        legend->addRow(objectLegendCaptions_[i], objectLegendValues_[i]);
    }
    side->addLayout(legend);
    objectChart_ = new ChartView(page);
    objectChart_->setObjectName(QStringLiteral("ChartFXObject"));
    layout->addWidget(SideBySide(page, side, objectChart_, "splObject"));
    return page;
}

QWidget* AnalysisWindow::BuildRuleTab() {
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    analysisCaption_ = new QLabel(page);
    analysisCaption_->setObjectName(QStringLiteral("lblAnalysis0"));
    rules_ = new QListWidget(page);
    rules_->setObjectName(QStringLiteral("lstBPAnalysis"));
    auto* intent = new QGroupBox(QStringLiteral("Pool Usage Intent"), page);
    intent->setObjectName(QStringLiteral("fraPoolIntentUsage"));
    usage_ = AddUsageOptions(intent, this);
    connect(usage_, &QButtonGroup::idClicked, this, &AnalysisWindow::ChooseUsage);
    layout->addWidget(analysisCaption_);
    layout->addWidget(rules_, 1);

    auto* advice = new QHBoxLayout;
    auto* metricsBox = new QGroupBox(tr("Pool Metrics"), page);
    auto* metricsLayout = new QVBoxLayout(metricsBox);
    metrics_ = new QTableWidget(0, 3, metricsBox);
    metrics_->setObjectName(QStringLiteral("tblPoolMetrics"));
    metrics_->setHorizontalHeaderLabels({tr("Metric"), tr("Value"), tr("Note")});
    metrics_->verticalHeader()->hide();
    metrics_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    metrics_->setSelectionBehavior(QAbstractItemView::SelectRows);
    metrics_->horizontalHeader()->setStretchLastSection(true);
    metricsLayout->addWidget(metrics_);
    advice->addWidget(metricsBox, 3);
    auto* commandsBox = new QGroupBox(tr("Commands"), page);
    auto* commandsLayout = new QVBoxLayout(commandsBox);
    commands_ = new QPlainTextEdit(commandsBox);
    commands_->setObjectName(QStringLiteral("txtPoolCommands"));
    commands_->setReadOnly(true);
    commands_->setLineWrapMode(QPlainTextEdit::NoWrap);
    commands_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    commandsLayout->addWidget(commands_, 1);
    auto* copyCommands = new QPushButton(tr("Copy Commands"), commandsBox);
    copyCommands->setObjectName(QStringLiteral("cmdCopyCommands"));
    connect(copyCommands, &QPushButton::clicked, this, &AnalysisWindow::CopyCommands);
    commandsLayout->addWidget(copyCommands, 0, Qt::AlignRight);
    advice->addWidget(commandsBox, 2);
    layout->addLayout(advice, 1);
    layout->addWidget(intent);
    return page;
}

void AnalysisWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // While the window shows, every box and dialog belongs to it (the file-selection window takes
    // them back when this one closes).
    ui_.SetParent(this);
    if (!activated_) {
        activated_ = true;
        ornexa::Messages told = session_.Activate();
        session_.Folders().SetReportFile(resume_.statistics);
        RestoreState();
        told.insert(told.end(), resume_.told.begin(), resume_.told.end());
        if (resume_.place) {
            const ornexa::Messages resumed = session_.ResumeAt(*resume_.place);
            told.insert(told.end(), resumed.begin(), resumed.end());
        }
        Apply(told);
        // Filled, each list fits its columns to their texts, unless the user's widths were kept.
        for (QTableView* list : findChildren<QTableView*>()) {
            FitColumns(*list);
            window_state::RestoreColumns(*list);
        }
    }
}

void AnalysisWindow::reject() {
    Back();
}

void AnalysisWindow::keyPressEvent(QKeyEvent* event) {
    // Escape never throws the analysis away: it clears the object filter, and otherwise does
    // nothing. "< &Back" leaves.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        objectFilter_->clear();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void AnalysisWindow::ChooseSimChart(int subTab) {
    if (!tabs_->isTabVisible(ornexa::SimGraphTab) || !tabs_->isTabEnabled(ornexa::SimGraphTab)) {
        return;
    }
    if (session_.SelectedTab() != ornexa::SimGraphTab) {
        SelectTab(ornexa::SimGraphTab);
    }
    session_.SimGraphs().SelectSubTab(subTab);
    Refresh();
}

void AnalysisWindow::done(int result) {
    SaveState();
    QDialog::done(result);
}

void AnalysisWindow::RestoreState() {
    for (QSplitter* splitter : findChildren<QSplitter*>()) {
        window_state::RestoreSplitter(*splitter);
    }
    if (const auto sort =
            window_state::ReadSort(*objectTable_, static_cast<int>(session_.ObjectInfo().Captions().size()))) {
        for (int click = 0; click < (sort->descending ? 2 : 1); ++click) { // a column sorts ascending first
            session_.SortObjectList(sort->column);
        }
    }
    if (const auto option = window_state::ReadUsageOption()) {
        session_.SetUsage(ornexa::SelectPoolUsage(*option));
    }
    if (const auto radius = window_state::ReadRadius()) {
        session_.Clusters().PresetRadius(*radius);
    }
    for (const ornexa::SaveKind kind :
         {ornexa::SaveKind::Chart, ornexa::SaveKind::Table, ornexa::SaveKind::ClusterFile, ornexa::SaveKind::Regroup}) {
        if (const auto folder = window_state::ReadSaveFolder(kind)) {
            session_.Folders().Keep(kind, folder->toStdString());
        }
    }
}

void AnalysisWindow::SaveState() const {
    window_state::SaveGeometry(*this);
    for (const QSplitter* splitter : findChildren<QSplitter*>()) {
        window_state::SaveSplitter(*splitter);
    }
    for (const QTableView* list : findChildren<QTableView*>()) {
        if (list->model() != nullptr && list->model()->columnCount() > 0) {
            window_state::SaveColumns(*list);
        }
    }
    std::optional<window_state::SortState> sort;
    for (int c = 0; c < objectModel_->columnCount(); ++c) {
        const QString caption = objectModel_->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
        if (caption.endsWith(QStringLiteral(" (A)")) || caption.endsWith(QStringLiteral(" (D)"))) {
            sort = window_state::SortState{c, caption.endsWith(QStringLiteral(" (D)"))};
        }
    }
    window_state::SaveSort(*objectTable_, sort);
    window_state::SaveUsageOption(session_.Rules().UsageOption());
    window_state::SaveRadius(session_.Clusters().RadiusText());
}

QString AnalysisWindow::StatusText() const {
    return statusPanel_->text();
}

QString AnalysisWindow::PoolDetailsTitle() const {
    return poolDetailsTitle_->text();
}

QString AnalysisWindow::ObjectCountText() const {
    return objectCount_->text();
}

void AnalysisWindow::ChoosePool(int row) {
    Apply(session_.SelectPoolFromList(row));
}

void AnalysisWindow::ChoosePoolGraphType(int type) {
    Apply(session_.SelectPoolGraphType(type));
}

void AnalysisWindow::ActivatePoolBar(int point) {
    session_.ClickPoolChart(ornexa::ChartHit{0, point});
    Refresh();
}

void AnalysisWindow::ChooseObject(int row) {
    Apply(session_.SelectObjectRow(row));
}

void AnalysisWindow::FilterObjects(const QString& text) {
    objectProxy_->SetFilterText(text);
    const bool wasRefreshing = std::exchange(refreshing_, true);
    SelectShownObject(session_.ObjectInfo().SelectedRow());
    refreshing_ = wasRefreshing;
    ShowObjectCount();
}

void AnalysisWindow::SelectShownObject(std::optional<int> row) {
    // The selected object stays selected while the filter shows it.
    const QModelIndex shown = row ? objectProxy_->mapFromSource(objectModel_->index(*row, 0)) : QModelIndex();
    if (shown.isValid()) {
        objectTable_->selectRow(shown.row());
    } else {
        objectTable_->clearSelection();
    }
}

void AnalysisWindow::ShowObjectCount() {
    objectCount_->setText(tr("%1 of %2 objects").arg(objectProxy_->rowCount()).arg(objectModel_->rowCount()));
}

bool AnalysisWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == objectFilter_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Escape && !objectFilter_->text().isEmpty()) {
            objectFilter_->clear();
            return true;
        }
        // Down goes on into the list, to the object shown or else the first one listed.
        if (key == Qt::Key_Down && objectProxy_->rowCount() > 0) {
            objectTable_->setFocus(Qt::TabFocusReason);
            if (!objectTable_->currentIndex().isValid()) {
                objectTable_->setCurrentIndex(objectProxy_->index(0, 0));
            }
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void AnalysisWindow::ChooseObjectGraphType(int type) {
    Apply(session_.SelectObjectGraphType(type));
}

void AnalysisWindow::SortObjects(int column) {
    session_.SortObjectList(column);
    Refresh();
}

void AnalysisWindow::ChooseUsage(int index) {
    session_.SetUsage(ornexa::SelectPoolUsage(index));
    Refresh();
}

void AnalysisWindow::NextPool() {
    Apply(session_.ShowNextPool());
}

void AnalysisWindow::PreviousPool() {
    Apply(session_.ShowPreviousPool());
}

void AnalysisWindow::SelectTab(int tab) {
    Apply(session_.SelectTab(tab));
}

void AnalysisWindow::Back() {
    hide();
    session_.Back();
    done(QDialog::Rejected);
}

void AnalysisWindow::Finish() {
    session_.Finish();
    hide();
    done(QDialog::Accepted);
}

void AnalysisWindow::Reload() {
    LeaveToRead({});
}

void AnalysisWindow::LeaveToRead(ornexa::ReloadRequest request) {
    // Files that do not load are told here, and the window stays as it is.
    const ornexa::Messages told = session_.Reload(std::move(request));
    if (!session_.Closed()) {
        Apply(told);
        return;
    }
    hide();
    done(QDialog::Accepted);
}

void AnalysisWindow::ReadDropped(const std::filesystem::path& path) {
    ornexa::ReloadRequest request;
    if (ornexa::ReaderKindOf(path) == ornexa::ReportKind::Statistics) {
        request.statistics = path;
    } else {
        request.simulation = path;
    }
    LeaveToRead(std::move(request));
}

void AnalysisWindow::SetHistory(HistoryService* history) {
    history_ = history;
    if (history_ != nullptr) {
        connect(history_, &HistoryService::Recorded, this,
                [this](const QString& text) { status_->showMessage(text, 10000); });
    }
}

void AnalysisWindow::ShowHistory() {
    if (history_ == nullptr || historyWindow_ != nullptr) {
        return;
    }
    const int pool = session_.CurrentPool();
    const ornexa::Report& report = session_.ShownReport();
    const std::string poolName =
        pool >= 1 && pool <= report.PoolCount() ? std::string(report.Pools(pool).PoolName.Trimmed()) : std::string();
    HistoryWindow window(*history_, ui_, poolName, this);
    historyWindow_ = &window;
    ui_.SetParent(&window);
    window.exec();
    ui_.SetParent(this);
    historyWindow_ = nullptr;
    if (const auto& files = window.FilesToOpen()) {
        ReadFiles(*files);
    }
}

void AnalysisWindow::ReadFiles(const ornexa::RecentReport& files) {
    ornexa::ReloadRequest request;
    request.statistics = files.statistics;
    if (!files.simulation.empty()) {
        request.simulation = files.simulation;
    }
    LeaveToRead(std::move(request));
}

void AnalysisWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (DroppedFile(event->mimeData())) {
        event->acceptProposedAction();
    }
}

void AnalysisWindow::dropEvent(QDropEvent* event) {
    if (const auto path = DroppedFile(event->mimeData())) {
        event->acceptProposedAction();
        ReadDropped(*path);
    }
}

void AnalysisWindow::ShowShortcuts() {
    ui_.Show({"Keyboard Shortcuts", ShortcutsText().toStdString(), ornexa::MessageIcon::Information});
}

void AnalysisWindow::PrintTab() {
    auto job = session_.Print();
    if (!job) {
        return;
    }
    // The window's data stays as it is: a print never runs the start-up work again.
    if (const auto failure = ui_.ShowPrintPreview(job->pages, job->choosePrinter)) {
        ui_.Show({"Print", "The pages could not be printed: " + *failure, ornexa::MessageIcon::Exclamation});
    }
}

void AnalysisWindow::Apply(const ornexa::Messages& told) {
    ui_.ShowAll(told);
    Refresh();
}

void AnalysisWindow::RefreshLegend(const ornexa::Legend& legend, std::array<QLabel*, 5>& captions,
                                   std::array<QLabel*, 5>& values) {
    for (std::size_t i = 0; i < legend.size(); ++i) {
        captions[i]->setText(Text(legend[i].caption));
        values[i]->setText(Text(legend[i].value));
        captions[i]->setVisible(legend[i].visible);
        values[i]->setVisible(legend[i].visible);
    }
}

void AnalysisWindow::Refresh() {
    refreshing_ = true;
    const auto& tabs = session_.Tabs();
    for (int t = 0; t < ornexa::AnalysisTabCount; ++t) {
        tabs_->setTabVisible(t, tabs[static_cast<std::size_t>(t)].visible);
        tabs_->setTabEnabled(t, tabs[static_cast<std::size_t>(t)].enabled);
    }
    tabs_->setCurrentIndex(session_.SelectedTab());
    statusPanel_->setText(Text(session_.StatusText()));

    // A page is repainted only when it changed since it was painted last.
    if (const ornexa::ReportInfoPage& page = session_.ReportInfo(); page.Version() != shownReportVersion_) {
        shownReportVersion_ = page.Version();
        for (std::size_t i = 0; i < data_.size(); ++i) {
            data_[i]->setText(Text(page.Data()[i]));
        }
        for (std::size_t i = 0; i < stats_.size(); ++i) {
            stats_[i]->setText(Text(page.Totals()[i]));
        }
        if (const auto row = page.SelectedRow()) {
            poolTable_->selectRow(*row);
        }
    }

    if (const ornexa::PoolInfoPage& page = session_.PoolInfo(); page.Version() != shownPoolVersion_) {
        shownPoolVersion_ = page.Version();
        RefreshPoolPage(page);
    }
    if (const ornexa::ObjectInfoPage& page = session_.ObjectInfo(); page.Version() != shownObjectVersion_) {
        shownObjectVersion_ = page.Version();
        RefreshObjectPage(page);
    }
    if (const ornexa::RuleAnalysisPage& page = session_.Rules(); page.Version() != shownRuleVersion_) {
        shownRuleVersion_ = page.Version();
        analysisCaption_->setText(Text(page.Analysis().caption));
        rules_->clear();
        for (const std::string& rule : page.Analysis().rules) {
            rules_->addItem(Text(rule));
        }
        if (QAbstractButton* option = usage_->button(page.UsageOption())) {
            option->setChecked(true);
        }
        RefreshAdvice(page);
    }
    simTab_->Refresh();
    clusterTab_->Refresh();
    print_->setVisible(session_.Printable());
    printItem_->setEnabled(session_.Printable());
    refreshing_ = false;
}

void AnalysisWindow::RefreshAdvice(const ornexa::RuleAnalysisPage& page) {
    const auto& rows = page.Metrics();
    metrics_->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const ornexa::MetricCells& row = rows[static_cast<std::size_t>(r)];
        metrics_->setItem(r, 0, new QTableWidgetItem(Text(row.caption)));
        auto* value = new QTableWidgetItem(Text(row.value));
        value->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        metrics_->setItem(r, 1, value);
        metrics_->setItem(r, 2, new QTableWidgetItem(Text(row.note)));
    }
    metrics_->resizeColumnToContents(0);
    metrics_->resizeColumnToContents(1);
    commands_->setPlainText(Text(page.CommandsText()));
}

void AnalysisWindow::CopyCommands() const {
    QGuiApplication::clipboard()->setText(commands_->toPlainText());
}

void AnalysisWindow::Regroup() {
    const ornexa::ClusterPage& clusters = session_.Clusters();
    if (clusters.LastRun().result <= 0) {
        return;
    }
    auto* dialog =
        new RegroupDialog(ornexa::RegroupPage(session_.ShownReport(), session_.CurrentPool(), clusters.LastRun()), ui_,
                          session_.Folders(), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}

void AnalysisWindow::RefreshPoolPage(const ornexa::PoolInfoPage& page) {
    const ornexa::PoolHeader& header = page.Header();
    for (std::size_t i = 0; i < poolInfo_.size(); ++i) {
        poolInfo_[i]->setText(Text(header.poolInfo[i]));
    }
    for (std::size_t i = 0; i < thresholdInfo_.size(); ++i) {
        thresholdInfo_[i]->setText(Text(header.thresholdInfo[i]));
    }
    if (!header.caption.empty()) {
        setWindowTitle(Text(header.caption));
    }
    if (page.GraphType() > 0) {
        poolGraphType_->setCurrentIndex(page.GraphType() - 1);
    }
    RefreshLegend(page.Graph().legend, poolLegendCaptions_, poolLegendValues_);
    poolChart_->ShowModel(page.Graph().chart);
    poolDetails_->setVisible(page.DetailsVisible());
    poolDetailsTitle_->setText(Text(page.DetailsTitle()));
    for (std::size_t i = 0; i < panelData_.size(); ++i) {
        panelData_[i]->setText(Text(page.Details()[i]));
    }
}

void AnalysisWindow::RefreshObjectPage(const ornexa::ObjectInfoPage& page) {
    // Rebuilt only when its rows or captions change, so a click keeps the list where it was.
    if (shownObjects_ != page.List() || shownObjectCaptions_ != page.Captions()) {
        shownObjects_ = page.List();
        shownObjectCaptions_ = page.Captions();
        std::vector<TextRowsModel::Row> rows;
        rows.reserve(shownObjects_.size());
        for (const ornexa::ObjectListEntry& entry : shownObjects_) {
            rows.push_back({entry.object, {entry.text}, entry.icon});
        }
        objectModel_->SetRows(shownObjectCaptions_, std::move(rows));
    }
    SelectShownObject(page.SelectedRow());
    ShowObjectCount();
    if (page.GraphType() > 0) {
        objectGraphType_->setCurrentIndex(page.GraphType() - 1);
    }
    RefreshLegend(page.Graph().legend, objectLegendCaptions_, objectLegendValues_);
    objectChart_->ShowModel(page.Graph().chart);
}
