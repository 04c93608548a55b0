#include "app/health_window.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QVBoxLayout>

#include "app/health_grid.h"
#include "app/history_service.h"
#include "app/ui_services.h"
#include "app/window_state.h"
#include "report/collection_date.h"
#include "session/history_page.h"
#include "stats/ui/display_text.h"

// What a read of the history gave: the holdings (when asked for), the overview, and the store that
// read them, handed to the window's thread for the cells' ratings.
struct HealthWindow::Loaded {
    std::optional<ornexa::HealthHoldings> holdings;
    ornexa::HistoryResult<ornexa::HealthOverview> overview;
    std::shared_ptr<ornexa::HistoryStore> store;
    std::string fault;
};

using ornexa::HealthCell;

namespace {

constexpr const char* DayFormat = "yyyy-MM-dd";

QDate DateOf(const std::string& day) {
    return QDate::fromString(QString::fromStdString(day), QString::fromLatin1(DayFormat));
}

ornexa::HealthColumn ShownColumn(const ornexa::Report& report) {
    const auto& header = report.Header;
    return {0,
            ornexa::CollectionTimestamp(header.CollectionDate.Trimmed(), header.CollectionTime.Trimmed())
                .value_or(std::string(header.CollectionDate.Trimmed()) + " " +
                          std::string(header.CollectionTime.Trimmed())),
            header.SystemName.Str(), header.SubSystemName.Str()};
}

} // namespace

HealthWindow::HealthWindow(HistoryService& history, UiServices& ui, const ornexa::HistoryFilter& preferred,
                           QWidget* parent, ornexa::RatingSettings settings)
    : QDialog(parent), history_(&history), ui_(ui),
      page_(ornexa::ui::LocaleNumberStyle(QLocale()), std::move(settings), preferred) {
    Build(true);
    Load(true);
}

HealthWindow::HealthWindow(const ornexa::Report& report, UiServices& ui, QWidget* parent,
                           ornexa::RatingSettings settings)
    : QDialog(parent), ui_(ui),
      page_(report, ShownColumn(report), ornexa::ui::LocaleNumberStyle(QLocale()), std::move(settings)) {
    Build(false);
    status_->showMessage(tr("The report shown alone: keep reports in the history to see them over time."));
    Refresh();
}

HealthWindow::~HealthWindow() {
    reads_.waitForDone(); // a read under way tells a window that is still there
}

void HealthWindow::Build(bool fromHistory) {
    setObjectName(QStringLiteral("frmHealth"));
    setWindowTitle(tr("Health"));
    setSizeGripEnabled(true);
    reads_.setMaxThreadCount(1);
    auto* layout = new QVBoxLayout(this);
    auto* menuBar = new QMenuBar(this);
    QMenu* menu = menuBar->addMenu(tr("&Health"));
    QAction* copy = menu->addAction(tr("&Copy Cell"), this, [this] {
        if (const auto current = page_.Current()) {
            CopyCell(*current);
        }
    });
    copy->setObjectName(QStringLiteral("actCopyCell"));
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetShortcut); // the grid takes Ctrl+C itself
    QAction* open = menu->addAction(tr("&Open Cell"), this, [this] {
        if (const auto current = page_.Current()) {
            Open(*current);
        }
    });
    open->setObjectName(QStringLiteral("actOpenCell"));
    menu->addSeparator();
    menu->addAction(tr("&Close"), this, &QDialog::reject);
    layout->setMenuBar(menuBar);

    auto* choice = new QHBoxLayout;
    system_ = new QComboBox(this);
    system_->setObjectName(QStringLiteral("cboHealthSystem"));
    from_ = new QDateEdit(this);
    from_->setObjectName(QStringLiteral("dtHealthFrom"));
    to_ = new QDateEdit(this);
    to_->setObjectName(QStringLiteral("dtHealthTo"));
    for (QDateEdit* day : {from_, to_}) {
        day->setCalendarPopup(true);
        connect(day, &QDateEdit::dateChanged, this, [this] { ChooseSpan(); });
    }
    const auto labelled = [&](const QString& text, QWidget* buddy) {
        auto* label = new QLabel(text, this);
        label->setBuddy(buddy);
        choice->addWidget(label);
        choice->addWidget(buddy);
    };
    labelled(tr("&System:"), system_);
    labelled(tr("&From:"), from_);
    labelled(tr("&To:"), to_);
    choice->addStretch();
    layout->addLayout(choice);
    for (QWidget* widget : std::initializer_list<QWidget*>{system_, from_, to_}) {
        widget->setEnabled(fromHistory);
    }
    connect(system_, &QComboBox::activated, this, &HealthWindow::ChooseSystem);

    grid_ = new HealthGrid(this);
    grid_->SetToolTipText([this](ornexa::HealthPlace place) { return CellText(place); });
    connect(grid_, &HealthGrid::Activated, this, &HealthWindow::Open);
    connect(grid_, &HealthGrid::CopyWanted, this, &HealthWindow::CopyCell);
    connect(grid_, &HealthGrid::CurrentMoved, this, [this](ornexa::HealthPlace place) {
        const auto& overview = page_.Overview();
        status_->showMessage(
            QStringLiteral("%1, %2: %3")
                .arg(ornexa::ui::DisplayText(overview.rows[place.row].poolName),
                     QString::fromStdString(ornexa::HealthPage::ColumnTime(overview.columns[place.column])),
                     HealthCellName(overview.Cell(place.row, place.column))));
    });
    layout->addWidget(grid_, 1);

    // The legend: each colour with its letter and name.
    auto* legend = new QHBoxLayout;
    for (const HealthCell cell : {HealthCell::Good, HealthCell::Warning, HealthCell::Exception,
                                  HealthCell::NotApplicable, HealthCell::Absent}) {
        auto* swatch = new QLabel(HealthCellGlyph(cell), this);
        swatch->setAlignment(Qt::AlignCenter);
        swatch->setFixedSize(fontMetrics().height() + 6, fontMetrics().height() + 2);
        const QColor colour = HealthCellColour(cell);
        swatch->setStyleSheet(
            colour.isValid()
                ? QStringLiteral("background:%1;color:%2;border:1px solid gray")
                      .arg(colour.name(), colour.lightness() < 110 ? QStringLiteral("white") : QStringLiteral("black"))
                : QStringLiteral("border:1px solid gray"));
        legend->addWidget(swatch);
        legend->addWidget(new QLabel(HealthCellName(cell), this));
        legend->addSpacing(fontMetrics().averageCharWidth() * 2);
    }
    legend->addStretch();
    layout->addLayout(legend);

    status_ = new QStatusBar(this);
    status_->setObjectName(QStringLiteral("sbHealth"));
    layout->addWidget(status_);
    resize(fontMetrics().averageCharWidth() * 150, fontMetrics().height() * 40);
    window_state::RestoreGeometry(*this);
}

QString HealthWindow::StatusText() const {
    return status_->currentMessage();
}

void HealthWindow::Load(bool holdings) {
    if (history_ == nullptr) {
        return;
    }
    const std::uint64_t generation = ++generation_;
    const std::string location = history_->Location();
    const ornexa::HealthQuery query = page_.Query();
    const ornexa::RatingSettings settings = page_.Settings();
    // The holdings first choose the system and the days; the overview then follows them.
    ornexa::HealthPage chooser = page_;
    status_->showMessage(tr("Reading the history..."));
    reads_.start([this, generation, location, query, settings, holdings, chooser]() mutable {
        auto loaded = std::make_shared<Loaded>();
        auto opened = ornexa::HistoryStore::Open(location);
        if (!opened.Ok()) {
            loaded->fault = opened.FaultText();
        } else {
            loaded->store = *opened.value;
            ornexa::HealthQuery asked = query;
            if (holdings) {
                auto held = ornexa::ReadHealthHoldings(*loaded->store);
                if (!held.Ok()) {
                    loaded->fault = held.FaultText();
                } else {
                    chooser.SetHoldings(*held.value);
                    asked = chooser.Query();
                    loaded->holdings = std::move(*held.value);
                }
            }
            if (loaded->fault.empty()) {
                loaded->overview = loaded->store->Health(asked, settings);
            }
        }
        QMetaObject::invokeMethod(
            this, [this, generation, loaded] { Show(generation, loaded); }, Qt::QueuedConnection);
    });
}

void HealthWindow::Show(std::uint64_t generation, const std::shared_ptr<Loaded>& loaded) {
    if (generation != generation_) {
        return; // a later read is under way
    }
    if (!loaded->fault.empty()) {
        status_->showMessage(QString::fromStdString(loaded->fault));
        return;
    }
    store_ = loaded->store;
    if (loaded->holdings) {
        page_.SetHoldings(std::move(*loaded->holdings));
    }
    if (!loaded->overview.Ok()) {
        status_->showMessage(QString::fromStdString(loaded->overview.FaultText()));
        Refresh();
        return;
    }
    page_.SetOverview(std::move(*loaded->overview.value));
    const QLocale locale;
    status_->showMessage(tr("%1 pools, %2 reports")
                             .arg(locale.toString(static_cast<qulonglong>(page_.RowCount())),
                                  locale.toString(static_cast<qulonglong>(page_.ColumnCount()))));
    Refresh();
}

void HealthWindow::WaitForLoad() {
    reads_.waitForDone();
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}

void HealthWindow::Refresh() {
    refreshing_ = true;
    system_->clear();
    for (const ornexa::HealthSystem& held : page_.Systems()) {
        system_->addItem(
            QStringLiteral("%1/%2").arg(ornexa::ui::DisplayText(held.system), ornexa::ui::DisplayText(held.subsystem)));
    }
    system_->setCurrentIndex(page_.ChosenSystem());
    if (!page_.From().empty()) {
        from_->setDate(DateOf(page_.From()));
        to_->setDate(DateOf(page_.To()));
    }
    refreshing_ = false;
    grid_->Show(page_);
    grid_->EnsureCurrentVisible();
}

void HealthWindow::ChooseSystem(int index) {
    if (refreshing_) {
        return;
    }
    page_.ChooseSystem(index);
    Refresh();
    Load(false);
}

void HealthWindow::ChooseSpan() {
    if (refreshing_ || !page_.FromHistory()) {
        return;
    }
    const std::string fault = page_.SetSpan(from_->date().toString(QString::fromLatin1(DayFormat)).toStdString(),
                                            to_->date().toString(QString::fromLatin1(DayFormat)).toStdString());
    if (!fault.empty()) {
        status_->showMessage(QString::fromStdString(fault));
        return;
    }
    Load(false);
}

QString HealthWindow::CellText(ornexa::HealthPlace place) const {
    const auto ratings = [this](std::int64_t id) -> ornexa::HistoryResult<std::vector<ornexa::PoolRating>> {
        if (!store_) {
            return {std::nullopt, ornexa::FaultMessages("The history is not open.")};
        }
        return store_->Ratings(id, page_.Settings());
    };
    std::string text = page_.CellText(place, ratings);
    while (!text.empty() && text.back() == '\n') {
        text.pop_back();
    }
    return ornexa::ui::DisplayText(text);
}

void HealthWindow::CopyCell(ornexa::HealthPlace place) {
    QApplication::clipboard()->setText(CellText(place));
    status_->showMessage(tr("The cell's ratings are on the clipboard."));
}

void HealthWindow::Open(ornexa::HealthPlace place) {
    const auto target = page_.TargetAt(place);
    if (!target) {
        status_->showMessage(tr("The report does not have this pool."));
        return;
    }
    if (target->reportId != 0) {
        const ornexa::HistoryReportInfo* info = page_.Find(target->reportId);
        if (info == nullptr || history_ == nullptr) {
            status_->showMessage(tr("The history holds no report %1.").arg(target->reportId));
            return;
        }
        auto files = ornexa::FilesOfReport(*info, history_->Recent());
        if (!files.value) {
            status_->showMessage(QString::fromStdString(files.FaultText()));
            return;
        }
        files_ = std::move(files.value);
    }
    chosen_ = target;
    accept();
}

void HealthWindow::done(int result) {
    window_state::SaveGeometry(*this);
    QDialog::done(result);
}
