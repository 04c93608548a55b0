#include "app/analysis_window.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/analysis_exports.h"
#include "app/analysis_shortcuts.h"
#include "app/analysis_state.h"
#include "app/app_icons.h"
#include "app/cluster_widget.h"
#include "app/dropped_files.h"
#include "app/group_pool_view.h"
#include "app/health_window.h"
#include "app/history_service.h"
#include "app/history_window.h"
#include "app/object_table_view.h"
#include "app/pool_sizing_dialog.h"
#include "app/regroup_dialog.h"
#include "app/sim_graph_widget.h"
#include "app/site_ratings.h"
#include "app/ui_services.h"
#include "app/window_state.h"
#include "load/report_kind.h"
#include "report/pool_choice.h"
#include "stats/ui/display_text.h"

AnalysisWindow::AnalysisWindow(const ornexa::Report& report, const ornexa::SimulationData& sim, UiServices& ui,
                               const std::filesystem::path& thresholdFolder, QWidget* parent)
    : QDialog(parent), ui_(ui), session_(report, sim, thresholdFolder, ornexa::ui::LocaleNumberStyle(QLocale())) {
    setObjectName(QStringLiteral("frmStatAnalysis"));
    setWindowTitle(QStringLiteral("ORNEXA"));
    setWindowIcon(ProgramIcon());
    setSizeGripEnabled(true);
    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(BuildMenu());
    setAcceptDrops(true);
    BuildTabs();
    layout->addWidget(tabs_, 1);
    layout->addLayout(BuildButtons());
    status_ = new QStatusBar(this);
    status_->setObjectName(QStringLiteral("sbStatus"));
    statusPanel_ = new QLabel(this);
    status_->addWidget(new QLabel(this));
    status_->addWidget(statusPanel_, 1);
    layout->addWidget(status_);
    AttachAnalysisExports(*this, ui_);
    AddAnalysisShortcuts(*this);

    // Initialisation and loading; activation follows the first showing.
    session_.Load();
    reportView_->ListPools();
    resize(fontMetrics().averageCharWidth() * 150, fontMetrics().height() * 45);
    window_state::RestoreGeometry(*this);
}

QMenuBar* AnalysisWindow::BuildMenu() {
    // A menu item by its object name; those added to the window too reach their keys from every tab.
    const auto item = [](QAction* action, const char* name, const QKeySequence& keys) {
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcut(keys);
        return action;
    };
    auto* menuBar = new QMenuBar(this);
    QMenu* menu = menuBar->addMenu(tr("&Window"));
    printItem_ = item(menu->addAction(QStringLiteral("&Print ..."), this, &AnalysisWindow::PrintTab), "actPrint",
                      QKeySequence::Print);
    addAction(printItem_);
    printItem_->setEnabled(false);
    item(menu->addAction(tr("&Reload"), this, &AnalysisWindow::Reload), "actReload", QKeySequence(Qt::Key_F5));
    addAction(item(menu->addAction(tr("&History..."), this, &AnalysisWindow::ShowHistory), "actHistory",
                   QKeySequence(Qt::CTRL | Qt::Key_H)));
    addAction(item(menu->addAction(tr("H&ealth..."), this, &AnalysisWindow::ShowHealth), "actHealth",
                   QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_H)));
    addAction(item(menu->addAction(tr("Pool &Sizing..."), this, &AnalysisWindow::ShowPoolSizing), "actPoolSizing",
                   QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)));
    menu->addSeparator();
    menu->addAction(QStringLiteral("&About"), this, [this] { ui_.ShowAbout(); });
    QMenu* help = menuBar->addMenu(tr("&Help"));
    item(help->addAction(tr("Keyboard Shortcuts"), this, &AnalysisWindow::ShowShortcuts), "actShortcuts",
         QKeySequence::HelpContents);
    return menuBar;
}

void AnalysisWindow::BuildTabs() {
    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("tbsStats"));
    reportView_ = new ReportInfoView(session_.ReportInfo(), this);
    poolView_ = new PoolInfoView(session_.PoolInfo(), this);
    objectView_ = new ObjectInfoView(session_.ObjectInfo(), this);
    ruleView_ = new RuleAnalysisView(session_.Rules(), this);
    const auto apply = [this](const ornexa::Messages& told) { Apply(told); };
    simTab_ = new SimGraphWidget(session_, apply, this);
    clusterTab_ = new ClusterWidget(session_, ui_, apply, this);
    for (QWidget* tab :
         std::initializer_list<QWidget*>{reportView_, poolView_, objectView_, ruleView_, simTab_, clusterTab_}) {
        tabs_->addTab(tab, ornexa::ui::DisplayText(session_.Tabs()[static_cast<std::size_t>(tabs_->count())].caption));
    }
    // Beside the session's tabs, shown only for a report with group buffer pools.
    groupPoolView_ = new GroupPoolView(session_.ShownReport(), this);
    tabs_->setTabVisible(tabs_->addTab(groupPoolView_, tr("Group Buffer Pools")), groupPoolView_->Page().Shown());
    connect(tabs_, &QTabWidget::currentChanged, this, [this](int tab) {
        if (!refreshing_) {
            SelectTab(tab);
        }
    });
    connect(reportView_, &ReportInfoView::PoolChosen, this, &AnalysisWindow::ChoosePool);
    connect(poolView_, &PoolInfoView::PreviousPoolWanted, this, &AnalysisWindow::PreviousPool);
    connect(poolView_, &PoolInfoView::NextPoolWanted, this, &AnalysisWindow::NextPool);
    connect(poolView_, &PoolInfoView::GraphTypeChosen, this, &AnalysisWindow::ChoosePoolGraphType);
    connect(poolView_, &PoolInfoView::BarActivated, this, &AnalysisWindow::ActivatePoolBar);
    connect(poolView_, &PoolInfoView::DetailsClosed, this, [this] {
        session_.ClosePoolDetails();
        Refresh();
    });
    connect(objectView_, &ObjectInfoView::ObjectChosen, this, &AnalysisWindow::ChooseObject);
    connect(objectView_, &ObjectInfoView::TableObjectChosen, this, &AnalysisWindow::ChooseTableObject);
    connect(objectView_, &ObjectInfoView::GraphTypeChosen, this, &AnalysisWindow::ChooseObjectGraphType);
    connect(objectView_, &ObjectInfoView::SortWanted, this, &AnalysisWindow::SortObjects);
    connect(ruleView_, &RuleAnalysisView::UsageChosen, this, &AnalysisWindow::ChooseUsage);
    connect(ruleView_, &RuleAnalysisView::PoolSizingWanted, this, &AnalysisWindow::ShowPoolSizing);
    connect(clusterTab_, &ClusterWidget::RegroupRequested, this, &AnalysisWindow::Regroup);
    connect(simTab_, &SimGraphWidget::PoolSizingRequested, this, &AnalysisWindow::ShowPoolSizing);
}

QLayout* AnalysisWindow::BuildButtons() {
    const auto button = [this](const QString& text, const char* name, void (AnalysisWindow::*action)()) {
        auto* made = new QPushButton(text, this);
        made->setObjectName(QString::fromLatin1(name));
        connect(made, &QPushButton::clicked, this, action);
        return made;
    };
    print_ = button(QStringLiteral("&Print"), "cmdPrint", &AnalysisWindow::PrintTab);
    print_->hide(); // shown once a printable tab is
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(print_);
    buttons->addStretch();
    buttons->addWidget(button(QStringLiteral("< &Back"), "cmdBack", &AnalysisWindow::Back));
    buttons->addWidget(button(QStringLiteral("&Finish"), "cmdFinish", &AnalysisWindow::Finish));
    return buttons;
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
        RestoreAnalysisState(*this, session_, *ObjectList());
        told.insert(told.end(), resume_.told.begin(), resume_.told.end());
        if (resume_.place) {
            const ornexa::Messages resumed = session_.ResumeAt(*resume_.place);
            told.insert(told.end(), resumed.begin(), resumed.end());
        }
        Apply(told);
        RestoreAnalysisColumns(*this);
    }
}

void AnalysisWindow::keyPressEvent(QKeyEvent* event) {
    // Escape never throws the analysis away: it clears the object filter, and otherwise does
    // nothing. "< &Back" leaves.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        objectView_->ClearFilter();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void AnalysisWindow::done(int result) {
    SaveAnalysisState(*this, session_, *ObjectList());
    QDialog::done(result);
}

void AnalysisWindow::LeaveToRead(ornexa::ReloadRequest request, std::optional<ornexa::AnalysisPlace> place) {
    // Files that do not load are told here, and the window stays as it is.
    const ornexa::Messages told = session_.Reload(std::move(request), std::move(place));
    if (!session_.Closed()) {
        Apply(told);
        return;
    }
    hide();
    done(QDialog::Accepted);
}

void AnalysisWindow::ReadDropped(const std::filesystem::path& path) {
    ornexa::ReloadRequest request;
    if (ornexa::ReaderKindOf(path) == ornexa::ReportKind::Simulation) {
        request.simulation = path;
    } else {
        request.statistics = path;
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
        ReadFiles(*files, window.PlaceToOpen());
    }
}

void AnalysisWindow::ShowHealth() {
    if (healthWindow_ != nullptr || historyWindow_ != nullptr) {
        return;
    }
    const ornexa::Report& report = session_.ShownReport();
    std::unique_ptr<HealthWindow> window =
        history_ != nullptr ? std::make_unique<HealthWindow>(*history_, ui_,
                                                             ornexa::HistoryFilter{report.Header.SystemName.Str(),
                                                                                   report.Header.SubSystemName.Str()},
                                                             this, SiteRatingSettings(ui_))
                            : std::make_unique<HealthWindow>(report, ui_, this, SiteRatingSettings(ui_));
    healthWindow_ = window.get();
    ui_.SetParent(window.get());
    window->exec();
    ui_.SetParent(this);
    healthWindow_ = nullptr;
    const auto& chosen = window->Chosen();
    if (!chosen) {
        return;
    }
    if (const auto& files = window->FilesToOpen()) {
        ReadFiles(*files, chosen->place);
    } else {
        Apply(session_.ResumeAt(chosen->place)); // the report shown, at another pool
    }
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
    ui_.Show({"Keyboard Shortcuts", AnalysisShortcutsText().toStdString(), ornexa::MessageIcon::Information});
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

void AnalysisWindow::SelectTab(int tab) {
    // The tabs after the session's are the window's own: the session keeps its choice meanwhile.
    ownTabShown_ = tab >= ornexa::AnalysisTabCount && tab < tabs_->count();
    Apply(ownTabShown_ ? ornexa::Messages{} : session_.SelectTab(tab));
}

void AnalysisWindow::Apply(const ornexa::Messages& told) {
    ui_.ShowAll(told);
    Refresh();
}

void AnalysisWindow::Refresh() {
    refreshing_ = true;
    const auto& tabs = session_.Tabs();
    for (int t = 0; t < ornexa::AnalysisTabCount; ++t) {
        tabs_->setTabVisible(t, tabs[static_cast<std::size_t>(t)].visible);
        tabs_->setTabEnabled(t, tabs[static_cast<std::size_t>(t)].enabled);
    }
    tabs_->setCurrentIndex(ownTabShown_ ? tabs_->indexOf(groupPoolView_) : session_.SelectedTab());
    statusPanel_->setText(ornexa::ui::DisplayText(session_.StatusText()));
    // Each view repaints its page only when it changed since it was painted last.
    reportView_->Refresh();
    poolView_->Refresh();
    if (const std::string& caption = session_.PoolInfo().Header().caption; !caption.empty()) {
        setWindowTitle(ornexa::ui::DisplayText(caption));
    }
    objectView_->Refresh();
    if (session_.SelectedTab() == ornexa::ObjectInfoTab && !ownTabShown_) { // built once it shows
        objectView_->ShowTable(session_.ObjectTableOfPool());
    }
    ruleView_->Refresh();
    simTab_->Refresh();
    clusterTab_->Refresh();
    print_->setVisible(session_.Printable());
    printItem_->setEnabled(session_.Printable());
    refreshing_ = false;
}

QTableView* AnalysisWindow::ObjectTable() const {
    return objectView_->TableView()->Table();
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

void AnalysisWindow::ShowPoolSizing() {
    auto* dialog = new PoolSizingDialog(ornexa::PoolSizingPage(session_.ShownReport(), session_.ShownSimulation()), ui_,
                                        session_.Folders(), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    if (history_ != nullptr) {
        dialog->LoadHistory(*history_);
    }
    // Before a pool is chosen the dialog shows the first one.
    if (session_.ShownReport().HasPool(session_.CurrentPool())) {
        dialog->ChoosePool(
            QString::fromStdString(ornexa::ShownPoolName(session_.ShownReport(), session_.CurrentPool())));
    }
    dialog->open();
}
