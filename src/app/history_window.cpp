#include "app/history_window.h"

#include <QAction>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QProgressDialog>
#include <QPushButton>
#include <QScrollArea>
#include <QSortFilterProxyModel>
#include <QStatusBar>
#include <QStringListModel>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include "app/chart_actions.h"
#include "app/health_window.h"
#include "app/site_ratings.h"
#include "app/history_change_watch.h"
#include "app/history_models.h"
#include "app/history_service.h"
#include "app/keyboard_navigation.h"
#include "app/list_models.h"
#include "app/table_export.h"
#include "app/ui_services.h"
#include "app/window_state.h"
#include "history/history_location.h"
#include "session/file_dialogs.h"
#include "stats/ui/chart_view.h"

namespace {

// A sortable list: the proxy sorts by the numeric sort role beside the text.
QTableView* SortedList(QWidget* parent, QAbstractItemModel* model, QSortFilterProxyModel** proxyOut = nullptr) {
    auto* proxy = new QSortFilterProxyModel(parent);
    proxy->setSourceModel(model);
    proxy->setSortRole(SortRole);
    QTableView* view = MakeListView(parent);
    view->setModel(proxy);
    view->setSortingEnabled(true);
    view->sortByColumn(-1, Qt::AscendingOrder); // the model's own order until a header is clicked
    if (proxyOut != nullptr) {
        *proxyOut = proxy;
    }
    return view;
}

ChartView* TrendChart(QWidget* parent, const char* name) {
    auto* chart = new ChartView(parent);
    chart->setObjectName(QString::fromLatin1(name));
    chart->setMinimumSize(360, 240);
    return chart;
}

void Fill(QComboBox* box, const std::vector<ornexa::HistoryReportInfo>& reports, std::optional<std::int64_t> chosen) {
    box->clear();
    for (const ornexa::HistoryReportInfo& report : reports) {
        box->addItem(ReportChoiceText(report), static_cast<qlonglong>(report.id));
    }
    box->setCurrentIndex(chosen ? box->findData(static_cast<qlonglong>(*chosen)) : -1);
}

// The charts' object names, in the order of their kinds.
constexpr std::array<const char*, ornexa::PoolTrendChartCount> PoolChartNames = {
    "chtTrendHitRatio", "chtTrendGetPages", "chtTrendSyncReads", "chtTrendPagesWritten", "chtTrendVPSize"};
constexpr std::array<const char*, ornexa::ObjectTrendChartCount> ObjectChartNames = {"chtTrendObjectGetPages",
                                                                                     "chtTrendObjectHitRatio"};

} // namespace

HistoryWindow::HistoryWindow(HistoryService& history, UiServices& ui, std::string currentPool, QWidget* parent)
    : QDialog(parent), history_(history), ui_(ui), currentPool_(std::move(currentPool)) {
    setObjectName(QStringLiteral("frmHistory"));
    setWindowTitle(tr("History"));
    auto* layout = new QVBoxLayout(this);

    auto* menuBar = new QMenuBar(this);
    QMenu* menu = menuBar->addMenu(tr("&History"));
    import_ = menu->addAction(tr("&Import..."), this, &HistoryWindow::ImportFile);
    import_->setObjectName(QStringLiteral("actImport"));
    import_->setShortcut(QKeySequence::Open);
    importFolder_ = menu->addAction(tr("Import &Folder..."), this, &HistoryWindow::ImportFolder);
    importFolder_->setObjectName(QStringLiteral("actImportFolder"));
    database_ = menu->addAction(tr("History &Database..."), this, &HistoryWindow::ChooseDatabase);
    database_->setObjectName(QStringLiteral("actHistoryDatabase"));
    QAction* health = menu->addAction(tr("H&ealth..."), this, &HistoryWindow::ShowHealth);
    health->setObjectName(QStringLiteral("actHealth"));
    health->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_H));
    keep_ = menu->addAction(tr("&Keep every report read in the history"));
    keep_->setObjectName(QStringLiteral("actKeepEveryReport"));
    keep_->setCheckable(true);
    keep_->setChecked(history_.KeepEveryReport());
    connect(keep_, &QAction::toggled, this, [this](bool keep) { history_.SetKeepEveryReport(keep); });
    menu->addSeparator();
    menu->addAction(tr("&Close"), this, &QDialog::reject);
    layout->setMenuBar(menuBar);

    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("tabHistory"));
    tabs_->addTab(BuildReportsTab(), tr("Reports"));
    tabs_->addTab(BuildTrendTab(), tr("Trend"));
    tabs_->addTab(BuildCompareTab(), tr("Compare"));
    layout->addWidget(tabs_, 1);
    status_ = new QStatusBar(this);
    status_->setObjectName(QStringLiteral("sbHistory"));
    layout->addWidget(status_);

    for (ChartView* chart : findChildren<ChartView*>()) {
        new ChartActions(chart, ui_, saveFolders_); // NOLINT(cppcoreguidelines-owning-memory): the chart owns them
    }
    AttachTableExport(reports_, ui_, saveFolders_, QStringLiteral("history-reports.csv"));
    AttachTableExport(objectList_, ui_, saveFolders_, QStringLiteral("history-objects.csv"), {tr("Object")});
    AttachTableExport(comparedPools_, ui_, saveFolders_, QStringLiteral("compared-pools.csv"));
    AttachTableExport(moves_, ui_, saveFolders_, QStringLiteral("compared-objects.csv"));
    AttachTableExport(getPageChanges_, ui_, saveFolders_, QStringLiteral("getpage-changes.csv"));
    AttachTableExport(syncReadChanges_, ui_, saveFolders_, QStringLiteral("sync-read-changes.csv"));
    AttachTableExport(trendChanges_, ui_, saveFolders_, QStringLiteral("setting-changes.csv"));
    AttachTableExport(comparedChanges_, ui_, saveFolders_, QStringLiteral("compared-setting-changes.csv"));

    // An import of a report read while the window is open shows at once.
    connect(&history_, &HistoryService::Recorded, this, [this](const QString& text, bool stored) {
        status_->showMessage(text);
        if (stored && page_) {
            Tell(page_->Refresh());
            Refresh();
        }
    });

    setAcceptDrops(true); // files and folders dropped here are imported
    resize(fontMetrics().averageCharWidth() * 150, fontMetrics().height() * 45);
    window_state::RestoreGeometry(*this);
    LetTabMoveFocus(*this);
    if (ornexa::IsPostgresLocation(history_.Location())) {
        // A server may not answer for a while: the window shows at once and fills when it does.
        OpenInBackground(history_.Location(), std::nullopt);
    } else {
        Reopen();
    }
}

QWidget* HistoryWindow::BuildReportsTab() {
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    reportModel_ = new HistoryTableModel(this);
    reports_ = SortedList(page, reportModel_, &reportProxy_);
    reports_->setObjectName(QStringLiteral("lvHistoryReports"));
    layout->addWidget(reports_, 1);
    auto* buttons = new QHBoxLayout;
    openButton_ = new QPushButton(tr("&Open"), page);
    openButton_->setObjectName(QStringLiteral("cmdOpenReport"));
    removeButton_ = new QPushButton(tr("&Remove"), page);
    removeButton_->setObjectName(QStringLiteral("cmdRemoveReport"));
    buttons->addWidget(openButton_);
    buttons->addWidget(removeButton_);
    buttons->addStretch();
    layout->addLayout(buttons);
    connect(openButton_, &QPushButton::clicked, this, &HistoryWindow::OpenChosen);
    connect(removeButton_, &QPushButton::clicked, this, &HistoryWindow::RemoveChosen);
    connect(reports_, &QTableView::activated, this, &HistoryWindow::OpenChosen);
    return page;
}

QWidget* HistoryWindow::BuildTrendTab() {
    auto* scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    auto* page = new QWidget(scroll);
    auto* layout = new QVBoxLayout(page);

    auto* poolRow = new QHBoxLayout;
    auto* poolLabel = new QLabel(tr("&Pool:"), page);
    pool_ = new QComboBox(page);
    pool_->setObjectName(QStringLiteral("cboTrendPool"));
    poolLabel->setBuddy(pool_);
    poolRow->addWidget(poolLabel);
    poolRow->addWidget(pool_);
    poolRow->addStretch();
    layout->addLayout(poolRow);
    connect(pool_, &QComboBox::textActivated, this, &HistoryWindow::ChoosePool);

    auto* grid = new QGridLayout;
    for (int chart = 0; chart < ornexa::PoolTrendChartCount; ++chart) {
        poolCharts_[static_cast<std::size_t>(chart)] =
            TrendChart(page, PoolChartNames[static_cast<std::size_t>(chart)]);
        grid->addWidget(poolCharts_[static_cast<std::size_t>(chart)], chart / 2, chart % 2);
    }
    layout->addLayout(grid);

    auto* changes = new QGroupBox(tr("Setting changes"), page);
    auto* changesLayout = new QVBoxLayout(changes);
    trendChangeModel_ = new HistoryTableModel(this);
    trendChanges_ = SortedList(changes, trendChangeModel_);
    trendChanges_->setObjectName(QStringLiteral("lvTrendSettingChanges"));
    trendChanges_->setMinimumHeight(fontMetrics().height() * 12);
    changesLayout->addWidget(trendChanges_);
    layout->addWidget(changes);

    auto* objects = new QGroupBox(tr("Object"), page);
    auto* objectLayout = new QGridLayout(objects);
    objectFilter_ = new QLineEdit(objects);
    objectFilter_->setObjectName(QStringLiteral("txtTrendObjectFilter"));
    objectFilter_->setPlaceholderText(tr("Find an object by a part of its name"));
    objectFilter_->setClearButtonEnabled(true);
    objectNames_ = new QStringListModel(this);
    objectList_ = new QListView(objects);
    objectList_->setObjectName(QStringLiteral("lstTrendObjects"));
    objectList_->setModel(objectNames_);
    objectList_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    objectList_->setMaximumWidth(fontMetrics().averageCharWidth() * 40);
    objectLayout->addWidget(objectFilter_, 0, 0);
    objectLayout->addWidget(objectList_, 1, 0);
    for (int chart = 0; chart < ornexa::ObjectTrendChartCount; ++chart) {
        objectCharts_[static_cast<std::size_t>(chart)] =
            TrendChart(objects, ObjectChartNames[static_cast<std::size_t>(chart)]);
        objectLayout->addWidget(objectCharts_[static_cast<std::size_t>(chart)], 0, chart + 1, 2, 1);
    }
    layout->addWidget(objects);
    connect(objectFilter_, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (page_ && !refreshing_) {
            Tell(page_->FilterObjects(text.toStdString()));
            RefreshObjects();
        }
    });
    connect(objectList_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (!refreshing_ && current.isValid()) {
                    ChooseObject(current.data().toString());
                }
            });
    scroll->setWidget(page);
    return scroll;
}

QWidget* HistoryWindow::BuildCompareTab() {
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    auto* choice = new QHBoxLayout;
    before_ = new QComboBox(page);
    before_->setObjectName(QStringLiteral("cboCompareBefore"));
    after_ = new QComboBox(page);
    after_->setObjectName(QStringLiteral("cboCompareAfter"));
    auto* beforeLabel = new QLabel(tr("&Older:"), page);
    beforeLabel->setBuddy(before_);
    auto* afterLabel = new QLabel(tr("&Newer:"), page);
    afterLabel->setBuddy(after_);
    choice->addWidget(beforeLabel);
    choice->addWidget(before_, 1);
    choice->addWidget(afterLabel);
    choice->addWidget(after_, 1);
    layout->addLayout(choice);
    connect(before_, &QComboBox::activated, this, &HistoryWindow::ChooseComparison);
    connect(after_, &QComboBox::activated, this, &HistoryWindow::ChooseComparison);

    comparedPoolModel_ = new HistoryTableModel(this);
    comparedPools_ = SortedList(page, comparedPoolModel_);
    comparedPools_->setObjectName(QStringLiteral("lvComparedPools"));
    comparedPools_->horizontalHeader()->setStretchLastSection(false);
    layout->addWidget(comparedPools_, 1);

    auto* changes = new QGroupBox(tr("Setting changes"), page);
    auto* changesLayout = new QVBoxLayout(changes);
    comparedChangeModel_ = new HistoryTableModel(this);
    comparedChanges_ = SortedList(changes, comparedChangeModel_);
    comparedChanges_->setObjectName(QStringLiteral("lvComparedSettingChanges"));
    changesLayout->addWidget(comparedChanges_);
    layout->addWidget(changes, 1);

    auto* lower = new QHBoxLayout;
    const auto addList = [&](const QString& title, HistoryTableModel*& model, QTableView*& view, const char* name) {
        auto* box = new QGroupBox(title, page);
        auto* boxLayout = new QVBoxLayout(box);
        model = new HistoryTableModel(this);
        view = SortedList(box, model);
        view->setObjectName(QString::fromLatin1(name));
        boxLayout->addWidget(view);
        lower->addWidget(box);
    };
    addList(tr("Objects that appeared, disappeared or moved"), moveModel_, moves_, "lvObjectMoves");
    addList(tr("Largest changes of getpages per second"), getPageModel_, getPageChanges_, "lvGetPageChanges");
    addList(tr("Largest changes of synchronous read I/Os per second"), syncReadModel_, syncReadChanges_,
            "lvSyncReadChanges");
    layout->addLayout(lower, 1);
    return page;
}

QString HistoryWindow::StatusText() const {
    return status_->currentMessage();
}

void HistoryWindow::Tell(const std::string& fault) {
    if (!fault.empty()) {
        status_->showMessage(QString::fromStdString(fault));
    }
}

std::string HistoryWindow::Reopen() {
    auto opened = history_.Open();
    if (!opened.Ok()) {
        Tell(opened.FaultText());
        return opened.FaultText();
    }
    ShowStore(*opened.value);
    return {};
}

void HistoryWindow::ShowStore(std::shared_ptr<ornexa::HistoryStore> store) {
    const QString location = QString::fromStdString(store->Location());
    page_.emplace(std::move(store), page_ ? page_->CurrentPool() : currentPool_);
    if (changes_ != nullptr) {
        changes_->disconnect(this);
        changes_->deleteLater();
    }
    changes_ = new HistoryChangeWatch(history_.Location(), this);
    connect(changes_, &HistoryChangeWatch::Changed, this, [this] {
        Tell(page_->Refresh());
        Refresh();
    });
    status_->showMessage(tr("History: %1").arg(location));
    Tell(page_->Refresh());
    Refresh();
}

void HistoryWindow::Refresh() {
    if (!page_) {
        return;
    }
    const QLocale locale;
    refreshing_ = true;
    const auto chosen = ChosenReport(); // the report chosen stays chosen when others come or go
    reportModel_->SetRows(ReportCaptions(), ReportRows(page_->Reports(), locale));
    if (const int row = chosen ? reportModel_->RowOf(*chosen) : -1; row >= 0) {
        reports_->setCurrentIndex(reportProxy_->mapFromSource(reportModel_->index(row, 0)));
    }
    if (changes_ != nullptr) {
        changes_->Shown(ornexa::SignatureOf(page_->Reports()));
    }
    reports_->resizeColumnsToContents();
    openButton_->setEnabled(reportModel_->rowCount() > 0);
    removeButton_->setEnabled(reportModel_->rowCount() > 0);
    refreshing_ = false;
    RefreshTrend();
    RefreshObjects();
    RefreshComparison();
}

void HistoryWindow::RefreshTrend() {
    refreshing_ = true;
    pool_->clear();
    for (const std::string& name : page_->PoolNames()) {
        pool_->addItem(QString::fromStdString(name));
    }
    pool_->setCurrentIndex(pool_->findText(QString::fromStdString(page_->CurrentPool())));
    refreshing_ = false;
    for (int chart = 0; chart < ornexa::PoolTrendChartCount; ++chart) {
        poolCharts_[static_cast<std::size_t>(chart)]->ShowModel(page_->PoolCharts()[static_cast<std::size_t>(chart)]);
    }
    trendChangeModel_->SetRows(SettingChangeCaptions(), SettingChangeRows(page_->PoolChangeChecks(), QLocale()));
    trendChanges_->resizeColumnsToContents();
}

void HistoryWindow::RefreshObjects() {
    refreshing_ = true;
    QStringList names;
    for (const std::string& name : page_->ObjectNames()) {
        names << ornexa::ui::DisplayText(name);
    }
    if (names != objectNames_->stringList()) {
        objectNames_->setStringList(names);
    }
    const int row = static_cast<int>(names.indexOf(ornexa::ui::DisplayText(page_->CurrentObject())));
    objectList_->setCurrentIndex(objectNames_->index(row, 0));
    refreshing_ = false;
    for (int chart = 0; chart < ornexa::ObjectTrendChartCount; ++chart) {
        objectCharts_[static_cast<std::size_t>(chart)]->ShowModel(
            page_->ObjectCharts()[static_cast<std::size_t>(chart)]);
    }
}

void HistoryWindow::RefreshComparison() {
    Fill(before_, page_->Reports(), page_->CompareBefore());
    Fill(after_, page_->Reports(), page_->CompareAfter());
    const QLocale locale;
    const std::optional<ornexa::ReportComparison>& comparison = page_->Comparison();
    const ornexa::ReportComparison none;
    const ornexa::ReportComparison& shown = comparison ? *comparison : none;
    comparedPoolModel_->SetRows(PoolComparisonCaptions(), PoolComparisonRows(shown, locale));
    moveModel_->SetRows(ObjectMoveCaptions(), ObjectMoveRows(shown));
    getPageModel_->SetRows(ObjectChangeCaptions(), ObjectChangeRows(shown.getPageChanges, locale));
    syncReadModel_->SetRows(ObjectChangeCaptions(), ObjectChangeRows(shown.syncReadChanges, locale));
    comparedChangeModel_->SetRows(SettingChangeCaptions(), SettingChangeRows(page_->ComparisonChangeChecks(), locale));
    for (QTableView* view : {comparedPools_, moves_, getPageChanges_, syncReadChanges_, comparedChanges_}) {
        view->resizeColumnsToContents();
    }
    if (comparison && !comparison->notes.empty()) {
        status_->showMessage(QString::fromStdString(comparison->notes.front()));
    }
}

std::optional<std::int64_t> HistoryWindow::ChosenReport() const {
    const QModelIndex current = reports_->currentIndex();
    if (!current.isValid()) {
        return std::nullopt;
    }
    return reportModel_->IdAt(reportProxy_->mapToSource(current).row());
}

void HistoryWindow::OpenChosen() {
    const auto id = ChosenReport();
    if (!page_ || !id) {
        Tell(tr("Choose the report to open first.").toStdString());
        return;
    }
    const auto files = page_->FilesToOpen(*id, history_.Recent());
    if (!files.value) {
        Tell(files.FaultText());
        return;
    }
    open_ = files.value;
    accept();
}

void HistoryWindow::ShowHealth() {
    HealthWindow window(history_, ui_, {}, this, SiteRatingSettings(ui_));
    ui_.SetParent(&window);
    window.exec();
    ui_.SetParent(this);
    if (window.Chosen() && window.FilesToOpen()) {
        open_ = window.FilesToOpen();
        openPlace_ = window.Chosen()->place;
        accept();
    }
}

void HistoryWindow::RemoveChosen() {
    const auto id = ChosenReport();
    if (!page_ || !id) {
        Tell(tr("Choose the report to remove first.").toStdString());
        return;
    }
    const ornexa::HistoryReportInfo* info = page_->Find(*id);
    const QString what = info != nullptr ? ReportChoiceText(*info) : QString::number(*id);
    if (!ui_.Confirm({tr("Remove").toStdString(),
                      tr("Remove the report %1 from the history? Its file is left as it is.").arg(what).toStdString(),
                      ornexa::MessageIcon::Exclamation})) {
        return;
    }
    const std::string fault = page_->Remove(*id);
    Tell(fault);
    if (fault.empty()) {
        status_->showMessage(tr("Report %1 removed from the history.").arg(*id));
    }
    Refresh();
}

void HistoryWindow::ChoosePool(const QString& name) {
    if (page_ && !refreshing_) {
        Tell(page_->ChoosePool(name.toStdString()));
        RefreshTrend();
    }
}

void HistoryWindow::ChooseObject(const QString& name) {
    if (!page_) {
        return;
    }
    // The list shows the names as text; the page holds them as stored.
    for (const std::string& held : page_->ObjectNames()) {
        if (ornexa::ui::DisplayText(held) == name) {
            Tell(page_->ChooseObject(held));
            break;
        }
    }
    RefreshObjects();
}

void HistoryWindow::ChooseComparison() {
    if (!page_ || before_->currentIndex() < 0 || after_->currentIndex() < 0) {
        return;
    }
    Tell(page_->ChooseComparison(before_->currentData().toLongLong(), after_->currentData().toLongLong()));
    RefreshComparison();
}

void HistoryWindow::ImportFile() {
    const auto paths = ui_.ChooseFilesToOpen(ornexa::ReportFileRequest(ornexa::StatFileFilters));
    if (!paths.empty()) {
        ImportPaths(paths);
    }
}

void HistoryWindow::ImportFolder() {
    const auto folder = ui_.ChooseFolder(ornexa::ReportFileRequest(ornexa::StatFileFilters));
    if (folder) {
        ImportPaths({*folder});
    }
}

void HistoryWindow::ImportPaths(const std::vector<std::filesystem::path>& paths) {
    if (paths.empty() || Importing() || opening_) {
        return;
    }
    batch_ = new HistoryImportBatch(this);
    progress_ = new QProgressDialog(tr("Looking for reports..."), tr("&Stop"), 0, 0, this);
    progress_->setObjectName(QStringLiteral("dlgImportProgress"));
    progress_->setWindowTitle(tr("Import"));
    // Not modal: a modal progress dialog lets every event run inside setValue(), the end of the run
    // among them, while the run's progress is still being shown. The window's actions that would
    // start other work are disabled while it runs.
    progress_->setWindowModality(Qt::NonModal);
    progress_->setMinimumDuration(0);
    progress_->setAutoClose(false);
    progress_->setAutoReset(false);
    connect(progress_, &QProgressDialog::canceled, batch_, [this] {
        batch_->Stop();
        status_->showMessage(tr("Stopping after the report under way..."));
    });
    connect(batch_, &HistoryImportBatch::Progress, this, [this](int done, int count, const QString& file) {
        if (progress_ != nullptr && batch_ != nullptr && !batch_->Stopping()) {
            progress_->setMaximum(count);
            progress_->setLabelText(tr("Importing %1 (%2 of %3)...").arg(file).arg(done + 1).arg(count));
            progress_->setValue(done);
        }
    });
    connect(batch_, &HistoryImportBatch::Finished, this, &HistoryWindow::ImportsOver);
    progress_->show();
    status_->showMessage(tr("Importing..."));
    UpdateActions();
    history_.ImportPaths(paths, *batch_);
}

void HistoryWindow::ImportsOver(const ornexa::ImportSummary& summary) {
    if (progress_ != nullptr) {
        progress_->hide();
        progress_->deleteLater();
        progress_ = nullptr;
    }
    if (batch_ != nullptr) {
        batch_->deleteLater();
        batch_ = nullptr;
    }
    UpdateActions();
    const std::string text = ornexa::ImportSummaryText(summary);
    status_->showMessage(QString::fromStdString(text.substr(0, text.find('\n'))));
    if (page_ && (summary.imported > 0 || !summary.simulationsAdded.empty())) {
        Tell(page_->Refresh());
        Refresh();
    }
    // What did not go in is told with its reason, not left to a status bar that the next message hides.
    if (summary.Refused() > 0 || !summary.sameTimes.empty() || summary.notTried > 0 ||
        !summary.otherSimulations.empty()) {
        ui_.Show({tr("Import").toStdString(), text,
                  summary.Refused() > 0 ? ornexa::MessageIcon::Exclamation : ornexa::MessageIcon::Information});
    }
}

void HistoryWindow::ChooseDatabase() {
    if (opening_ || Importing()) {
        return;
    }
    const auto location = ui_.AskText(
        {tr("History Database").toStdString(),
         tr("The history file, or the postgresql:// URI of a team's server:").toStdString(), ornexa::MessageIcon::None},
        history_.Location());
    if (!location || *location == history_.Location()) {
        return;
    }
    // A history that would keep nothing is refused before anything is opened; the history stays.
    if (const auto unkept = ornexa::UnkeptHistoryReason(*location)) {
        Tell(*unkept + "; the history stays at " + ornexa::MaskedLocation(history_.Location()));
        return;
    }
    OpenInBackground(*location, history_.Location());
}

void HistoryWindow::OpenInBackground(const std::string& location, const std::optional<std::string>& before) {
    opening_ = true;
    UpdateActions();
    status_->showMessage(
        tr("Opening the history at %1...").arg(QString::fromStdString(ornexa::MaskedLocation(location))));
    history_.OpenInBackground(location, this, [this, location, before](HistoryService::Opened opened) {
        DatabaseOpened(location, before, std::move(opened));
    });
}

void HistoryWindow::DatabaseOpened(const std::string& location, const std::optional<std::string>& before,
                                   HistoryService::Opened opened) {
    opening_ = false;
    UpdateActions();
    if (!opened.Ok()) {
        const std::string fault = ornexa::MaskedPasswords(opened.FaultText(), location);
        Tell(before ? fault + "; the history stays at " + ornexa::MaskedLocation(*before) : fault);
        return;
    }
    if (before) {
        history_.SetLocation(location);
    }
    ShowStore(*opened.value);
    if (before && ornexa::CarriesPassword(location)) {
        status_->showMessage(tr("The password of the history is used until ORNEXA closes and is not saved: keep it in "
                                "~/.pgpass or PGPASSWORD to connect without typing it."));
    }
}

void HistoryWindow::UpdateActions() {
    // One import run and one opening at a time; an import goes to the history that is open.
    import_->setEnabled(!opening_ && !Importing());
    importFolder_->setEnabled(!opening_ && !Importing());
    database_->setEnabled(!opening_ && !Importing());
}

void HistoryWindow::dragEnterEvent(QDragEnterEvent* event) {
    const QMimeData* dropped = event->mimeData();
    if (dropped != nullptr && dropped->hasUrls() && !Importing() && !opening_) {
        event->acceptProposedAction();
    }
}

void HistoryWindow::dropEvent(QDropEvent* event) {
    std::vector<std::filesystem::path> paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) {
            paths.emplace_back(url.toLocalFile().toStdString());
        }
    }
    if (paths.empty() || Importing() || opening_) {
        return;
    }
    event->acceptProposedAction();
    ImportPaths(paths);
}

void HistoryWindow::done(int result) {
    if (batch_ != nullptr) {
        batch_->Stop(); // what was imported stays; the program need not wait for the rest
    }
    window_state::SaveGeometry(*this);
    QDialog::done(result);
}
