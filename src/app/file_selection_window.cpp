#include "app/file_selection_window.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QDateTime>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>

#include "app/app_icons.h"
#include "app/dropped_files.h"
#include "app/keyboard_navigation.h"
#include "app/tray_menu.h"
#include "app/ui_services.h"
#include "app/window_state.h"

namespace {
constexpr auto FolderKey = "lastFolder";
constexpr auto RecentKey = "recentReports";
constexpr auto LimitsKey = "read/limits"; // "monitor" or "large-site"
constexpr auto LargeSiteLimits = "large-site";

ornexa::ReportLimits KeptLimits() {
    return QSettings().value(QString::fromLatin1(LimitsKey)).toString() == QLatin1String(LargeSiteLimits)
               ? ornexa::ReportLimits::LargeSite()
               : ornexa::ReportLimits::Monitor();
}

// The recent reports as kept in the settings: an array of statistics and simulation paths.
ornexa::RecentReports ReadRecent(QSettings& settings) {
    std::vector<ornexa::RecentReport> entries;
    const int count = settings.beginReadArray(QString::fromLatin1(RecentKey));
    for (int i = 0; i < std::min<int>(count, ornexa::RecentReports::MaxEntries); ++i) {
        settings.setArrayIndex(i);
        entries.push_back({settings.value(QStringLiteral("statistics")).toString().toStdString(),
                           settings.value(QStringLiteral("simulation")).toString().toStdString()});
    }
    settings.endArray();
    return ornexa::RecentReports(entries);
}

QString EntryText(const ornexa::RecentReport& entry) {
    QString statistics = QFileInfo(QString::fromStdString(entry.statistics.string())).fileName();
    if (entry.simulation.empty()) {
        return statistics;
    }
    return FileSelectionWindow::tr("%1 with %2")
        .arg(statistics, QFileInfo(QString::fromStdString(entry.simulation.string())).fileName());
}
} // namespace

FileSelectionWindow::FileSelectionWindow(ornexa::Report& report, ornexa::SimulationData& sim, UiServices& ui,
                                         QWidget* parent)
    : QMainWindow(parent), ui_(ui), session_(report, sim, ui, [this](int percent) { progress_->setValue(percent); }),
      tray_(new TrayMenu(ui, this)) {
    setObjectName(QStringLiteral("frmSelectFiles"));
    session_.SetReportShown([this](const ornexa::RecentReport& files) {
        history_.SetRecent(session_.Recent());
        history_.ReportShown(files);
    });
    setWindowTitle(QStringLiteral("QVLGraph"));
    setWindowIcon(ProgramIcon());
    auto* central = new QWidget(this);
    auto* grid = new QGridLayout(central);
    BuildButtons();
    BuildFileLabels();
    LayOut(*grid);
    setCentralWidget(central);
    BuildMenus();
    setAcceptDrops(true);
    StartClock();
    ConnectButtons();
    ReadKeptSettings();
    ui_.SetParent(this);
    window_state::RestoreGeometry(*this);
    LetTabMoveFocus(*this);
    Refresh();
}

void FileSelectionWindow::BuildButtons() {
    const auto makeButton = [this](const QString& text, const char* name) {
        auto* button = new QPushButton(text, this);
        button->setObjectName(QString::fromLatin1(name));
        return button;
    };
    open_ = makeButton(QStringLiteral("&Open"), "cmdSelectStatFile");
    recent_ = new QToolButton(this);
    recent_->setObjectName(QStringLiteral("cmdRecentReports"));
    recent_->setText(tr("Recent"));
    recent_->setToolTip(tr("Recent Reports"));
    recent_->setPopupMode(QToolButton::InstantPopup);
    recentMenu_ = new QMenu(tr("Recent &Reports"), this);
    recentMenu_->setObjectName(QStringLiteral("mnuRecentReports"));
    recent_->setMenu(recentMenu_);
    connect(recentMenu_, &QMenu::aboutToShow, this, [this] {
        // Another ORNEXA may have read a report since: the list kept in the settings is the newest.
        QSettings settings;
        session_.SetRecent(ReadRecent(settings));
        FillRecentMenu();
    });
    openSim_ = makeButton(QStringLiteral("O&pen"), "cmdSelectSimFile");
    next_ = makeButton(QStringLiteral("&Next"), "cmdNext");
    reset_ = makeButton(QStringLiteral("&Reset"), "cmdReset");
    cancel_ = makeButton(QStringLiteral("&Cancel"), "cmdQuit");
}

void FileSelectionWindow::BuildFileLabels() {
    statPath_ = new QLabel(this);
    simPath_ = new QLabel(this);
    statPicture_ = new QLabel(this);
    simPicture_ = new QLabel(this);
    statPath_->setObjectName(QStringLiteral("lblStatFile"));
    simPath_->setObjectName(QStringLiteral("lblSimFile"));
    statPicture_->setObjectName(QStringLiteral("imgStat"));
    simPicture_->setObjectName(QStringLiteral("ImgSim"));
    statNote_ = new QLabel(this);
    simNote_ = new QLabel(this);
    statNote_->setObjectName(QStringLiteral("lblStatRead"));
    simNote_->setObjectName(QStringLiteral("lblSimRead"));
    for (QLabel* path : {statPath_, simPath_}) {
        path->setTextInteractionFlags(Qt::TextSelectableByMouse);
        path->setFrameShape(QFrame::StyledPanel);
        path->setMinimumWidth(fontMetrics().averageCharWidth() * 60);
    }
    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("pbFileRead"));
    progress_->setRange(0, 100);
}

void FileSelectionWindow::LayOut(QGridLayout& grid) {
    grid.addWidget(new QLabel(tr("Select Statistics File"), this), 0, 0);
    auto* openWithRecent = new QHBoxLayout;
    openWithRecent->setSpacing(0);
    openWithRecent->addWidget(open_);
    openWithRecent->addWidget(recent_);
    grid.addLayout(openWithRecent, 0, 1);
    grid.addWidget(statPicture_, 0, 2);
    grid.addWidget(statPath_, 1, 0, 1, 3);
    grid.addWidget(statNote_, 2, 0, 1, 3);
    grid.addWidget(new QLabel(tr("Select Simulation File"), this), 3, 0);
    grid.addWidget(openSim_, 3, 1);
    grid.addWidget(simPicture_, 3, 2);
    grid.addWidget(simPath_, 4, 0, 1, 3);
    grid.addWidget(simNote_, 5, 0, 1, 3);
    grid.addWidget(progress_, 6, 0, 1, 3);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* b : {next_, reset_, cancel_}) {
        buttons->addWidget(b);
    }
    grid.addLayout(buttons, 7, 0, 1, 3);
}

void FileSelectionWindow::BuildMenus() {
    if (!tray_->InNotificationArea()) {
        QMenu* file = menuBar()->addMenu(tr("&File"));
        file->addMenu(recentMenu_);
        menuBar()->addMenu(tray_->Menu());
    }
    limitsMenu_ = menuBar()->addMenu(tr("&Limits"));
    limitsMenu_->setObjectName(QStringLiteral("mnuLimits"));
}

void FileSelectionWindow::StartClock() {
    clock_ = new QLabel(this);
    statusBar()->addPermanentWidget(clock_);
    auto* tick = new QTimer(this);
    connect(tick, &QTimer::timeout, this,
            [this] { clock_->setText(QLocale().toString(QTime::currentTime(), QLocale::ShortFormat)); });
    tick->start(1000);
    clock_->setText(QLocale().toString(QTime::currentTime(), QLocale::ShortFormat));
}

void FileSelectionWindow::ConnectButtons() {
    connect(open_, &QPushButton::clicked, this, &FileSelectionWindow::ClickOpenStatistics);
    connect(openSim_, &QPushButton::clicked, this, &FileSelectionWindow::ClickOpenSimulation);
    connect(reset_, &QPushButton::clicked, this, &FileSelectionWindow::ClickReset);
    connect(next_, &QPushButton::clicked, this, &FileSelectionWindow::ClickNext);
    connect(cancel_, &QPushButton::clicked, this, &FileSelectionWindow::ClickCancel);
    connect(tray_, &TrayMenu::QuitRequested, this, &FileSelectionWindow::QuitRequested);
}

void FileSelectionWindow::ReadKeptSettings() {
    QSettings settings;
    session_.SetLastFolder(settings.value(QString::fromLatin1(FolderKey)).toString().toStdString());
    session_.SetRecent(ReadRecent(settings));
    FillRecentMenu();
    ChooseLimits(KeptLimits(), false);
}

FileSelectionWindow::~FileSelectionWindow() {
    tray_->RemoveTrayIcon();
}

void FileSelectionWindow::RememberFolder() {
    QSettings settings;
    settings.setValue(QString::fromLatin1(FolderKey), QString::fromStdString(session_.LastFolder().string()));
}

void FileSelectionWindow::RememberRecent() {
    QSettings settings;
    settings.beginWriteArray(QString::fromLatin1(RecentKey));
    int i = 0;
    for (const ornexa::RecentReport& entry : session_.Recent().Entries()) {
        settings.setArrayIndex(i++);
        settings.setValue(QStringLiteral("statistics"), QString::fromStdString(entry.statistics.string()));
        settings.setValue(QStringLiteral("simulation"), QString::fromStdString(entry.simulation.string()));
    }
    settings.endArray();
    FillRecentMenu();
}

void FileSelectionWindow::ChooseLimits(const ornexa::ReportLimits& limits, bool keep) {
    if (keep) {
        QSettings().setValue(QString::fromLatin1(LimitsKey), limits == ornexa::ReportLimits::LargeSite()
                                                                 ? QString::fromLatin1(LargeSiteLimits)
                                                                 : QStringLiteral("monitor"));
    }
    const bool changed = limits != session_.Limits();
    session_.SetLimits(limits);
    history_.SetLimits(limits);
    FillLimitsMenu();
    if (changed && session_.State() != ornexa::FileSelectionState::NoFile) {
        statusBar()->showMessage(
            tr("Reports read from now on accept at most %1.").arg(QString::fromStdString(ornexa::LimitsText(limits))));
    }
}

void FileSelectionWindow::FillLimitsMenu() {
    limitsMenu_->clear();
    auto* choices = new QActionGroup(limitsMenu_);
    const auto add = [&](const QString& text, const ornexa::ReportLimits& limits) {
        QAction* action = limitsMenu_->addAction(text);
        action->setCheckable(true);
        action->setChecked(session_.Limits() == limits);
        choices->addAction(action);
        return action;
    };
    const auto figures = [](const ornexa::ReportLimits& limits) {
        return QString::fromStdString(ornexa::LimitsText(limits));
    };
    for (const auto& limits : {ornexa::ReportLimits::Monitor(), ornexa::ReportLimits::LargeSite()}) {
        const QString text = limits == ornexa::ReportLimits::Monitor()
                                 ? QStringLiteral("As written by the monitor (%1)").arg(figures(limits))
                                 : QStringLiteral("Large site (%1)").arg(figures(limits));
        connect(add(text, limits), &QAction::triggered, this, [this, limits] { ChooseLimits(limits, true); });
    }
    const ornexa::ReportLimits current = session_.Limits();
    if (current != ornexa::ReportLimits::Monitor() && current != ornexa::ReportLimits::LargeSite()) {
        add(tr("From the command line (%1)").arg(figures(current)), current)->setEnabled(false);
    }
}

void FileSelectionWindow::FillRecentMenu() {
    recentMenu_->clear();
    const auto& entries = session_.Recent().Entries();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        QAction* item = recentMenu_->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(EntryText(entries[i])), this,
                                               [this, i] { OpenRecent(i); });
        QString where = QString::fromStdString(entries[i].statistics.string());
        if (!entries[i].simulation.empty()) {
            where += QLatin1Char('\n') + QString::fromStdString(entries[i].simulation.string());
        }
        item->setToolTip(where);
        item->setStatusTip(where);
        item->setEnabled(ornexa::Available(entries[i])); // a file that is gone cannot be read
    }
    if (entries.empty()) {
        recentMenu_->addAction(tr("No recent reports"))->setEnabled(false);
    }
    recentMenu_->setToolTipsVisible(true);
}

void FileSelectionWindow::OpenRecent(std::size_t index) {
    ui_.SetParent(this);
    ui_.ShowAll(session_.OpenRecent(index));
    RememberRecent();
    Refresh();
}

void FileSelectionWindow::ReadDropped(const std::filesystem::path& path) {
    switch (session_.ReadForDrop(path)) {
    case ornexa::DroppedRead::Statistics:
        OpenStatistics(path);
        return;
    case ornexa::DroppedRead::Simulation:
        OpenSimulation(path);
        return;
    case ornexa::DroppedRead::StatisticsFirst:
        ui_.SetParent(this);
        ui_.Show({"O&pen",
                  tr("\"%1\" is not a Statistics report (its first line is not an environment line). A Simulation "
                     "report is read after the Statistics report it belongs to.")
                      .arg(QString::fromStdString(path.string()))
                      .toStdString(),
                  ornexa::MessageIcon::Exclamation});
        return;
    }
}

void FileSelectionWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (!session_.Reading() && DroppedFile(event->mimeData())) {
        event->acceptProposedAction();
    }
}

void FileSelectionWindow::dropEvent(QDropEvent* event) {
    if (const auto path = DroppedFile(event->mimeData()); path && !session_.Reading()) {
        event->acceptProposedAction();
        ReadDropped(*path);
    }
}

void FileSelectionWindow::OpenStatistics(const std::filesystem::path& path) {
    ui_.SetParent(this);
    ShowStatisticsRead(session_.OpenStatistics(path));
}

void FileSelectionWindow::OpenSimulation(const std::filesystem::path& path) {
    ui_.SetParent(this);
    ShowSimulationRead(session_.OpenSimulation(path));
}

void FileSelectionWindow::ClickOpenStatistics() {
    ui_.SetParent(this);
    ShowStatisticsRead(session_.OpenStatistics());
}

void FileSelectionWindow::ClickOpenSimulation() {
    ui_.SetParent(this);
    ShowSimulationRead(session_.OpenSimulation());
}

void FileSelectionWindow::ShowStatisticsRead(const ornexa::Messages& told) {
    ui_.ShowAll(told);
    RememberFolder();
    RememberRecent();
    Refresh();
}

void FileSelectionWindow::ShowSimulationRead(const std::optional<ornexa::SimReadResult>& result) {
    if (result) {
        ui_.ShowAll(session_.Told(*result));
        if (result->beep) {
            ui_.Beep();
        }
    }
    RememberFolder();
    RememberRecent();
    Refresh();
}

void FileSelectionWindow::ClickReset() {
    session_.Reset();
    progress_->setValue(0);
    Refresh();
}

void FileSelectionWindow::ClickNext() {
    struct Runner final : ornexa::AnalysisWindowRunner {
        explicit Runner(const AnalysisRunner& runner) : run(runner) {}
        ornexa::AnalysisOutcome ShowAnalysisModal(const ornexa::Report& report, const ornexa::SimulationData& sim,
                                                  const ornexa::AnalysisResume& resume) override {
            return run ? run(report, sim, resume) : ornexa::AnalysisOutcome{};
        }
        const AnalysisRunner& run;
    } runner(runner_);
    const auto outcome = session_.Next(runner);
    ui_.SetParent(this);
    RememberRecent(); // a reload reads the files again
    if (outcome == ornexa::FileSelectionSession::NextOutcome::Quit) {
        window_state::SaveGeometry(*this);
        tray_->RemoveTrayIcon();
        emit QuitRequested();
        return;
    }
    Refresh();
}

void FileSelectionWindow::ClickCancel() {
    window_state::SaveGeometry(*this);
    tray_->RemoveTrayIcon();
    emit QuitRequested();
}

void FileSelectionWindow::closeEvent(QCloseEvent* event) {
    window_state::SaveGeometry(*this);
    tray_->RemoveTrayIcon();
    emit QuitRequested();
    event->accept();
}

void FileSelectionWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    Refresh();
}

void FileSelectionWindow::ShowPicture(QLabel* picture, QLabel* note, ornexa::StatusPicture shown,
                                      const ornexa::ReadSummary& read, bool statistics) {
    using ornexa::StatusPicture;
    const int size = fontMetrics().height() * 3 / 2;
    picture->setPixmap(StatusIcon(static_cast<int>(shown)).pixmap(size, size));
    QString fault = QString::fromStdString(read.fault);
    fault.replace(QLatin1Char('\t'), QLatin1Char('\n')); // the field error report's items, one a line
    QString tip;
    switch (shown) {
    case StatusPicture::NotChosen:
        tip = tr("Not chosen");
        break;
    case StatusPicture::Read:
        tip = tr("Read");
        break;
    case StatusPicture::MayChoose:
        tip = tr("May be chosen");
        break;
    case StatusPicture::ReadWithWarnings:
        tip = tr("Read with warnings:\n%1").arg(fault);
        break;
    case StatusPicture::NotRead:
        tip = fault.isEmpty() ? tr("Not read") : tr("Not read:\n%1").arg(fault);
        break;
    }
    picture->setToolTip(tip);
    picture->setAccessibleName(tip);

    // How far a read got that did not end well; nothing after a whole read.
    const QLocale locale;
    QString text;
    if (shown == StatusPicture::ReadWithWarnings || shown == StatusPicture::NotRead) {
        if (!statistics) {
            const int lines = read.objectLines + read.skippedLines;
            text =
                shown == StatusPicture::NotRead
                    ? tr("Not read")
                    : tr("%1 of %2 object lines read").arg(locale.toString(read.objectLines), locale.toString(lines));
        } else if (read.poolsInFile > 0) {
            text = tr("%1 of %2 pools read").arg(locale.toString(read.poolsRead), locale.toString(read.poolsInFile));
        } else if (read.poolsRead > 0 && read.stoppedAtLine > 0) {
            text =
                tr("%1 pools read before line %2")
                    .arg(locale.toString(read.poolsRead), locale.toString(static_cast<qlonglong>(read.stoppedAtLine)));
        } else {
            text = tr("Not read");
        }
    }
    note->setText(text);
    note->setVisible(!text.isEmpty());
}

void FileSelectionWindow::Refresh() {
    const ornexa::FileSelectionControls& c = session_.Controls();
    open_->setEnabled(c.openStatistics);
    openSim_->setEnabled(c.openSimulation);
    next_->setEnabled(c.next);
    reset_->setEnabled(c.reset);
    cancel_->setEnabled(c.cancel);
    statPath_->setText(QString::fromStdString(c.statisticsPath));
    simPath_->setText(QString::fromStdString(c.simulationPath));
    ShowPicture(statPicture_, statNote_, c.statisticsPicture, c.statisticsRead, true);
    ShowPicture(simPicture_, simNote_, c.simulationPicture, c.simulationRead, false);
    QPushButton* focus = open_;
    switch (c.focus) {
    case ornexa::FocusTarget::Next:
        focus = next_;
        break;
    case ornexa::FocusTarget::OpenSimulation:
        focus = openSim_;
        break;
    case ornexa::FocusTarget::Reset:
        focus = reset_;
        break;
    case ornexa::FocusTarget::Cancel:
        focus = cancel_;
        break;
    case ornexa::FocusTarget::OpenStatistics:
        break;
    }
    if (focus->isEnabled()) {
        focus->setFocus();
        focus->setDefault(true);
    }
}
