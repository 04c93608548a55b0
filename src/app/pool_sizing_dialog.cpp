#include "app/pool_sizing_dialog.h"

#include <QCheckBox>
#include <QClipboard>
#include <QFormLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>
#include <memory>

#include "app/history_service.h"
#include "app/keyboard_navigation.h"
#include "app/list_models.h"
#include "app/sizing_chart.h"
#include "app/ui_services.h"
#include "stats/ui/display_text.h"

namespace {

constexpr std::string_view TextFileFilters = "Text Files (*.txt)|*.txt|All Files (*.*)|*.*";
constexpr double MiB = 1024.0 * 1024.0;
constexpr double GiB = 1024.0 * MiB;

QString Number(std::int64_t value) {
    return QLocale().toString(static_cast<qlonglong>(value));
}

QString Rate(const std::optional<double>& value) {
    return value ? QLocale().toString(*value, 'f', 2) : QString();
}

QString StorageShown(std::int64_t bytes) {
    if (bytes == 0) {
        return PoolSizingDialog::tr("%1 MB").arg(0);
    }
    const bool gigabytes = static_cast<double>(std::llabs(bytes)) >= GiB;
    const QString number = QLocale().toString(static_cast<double>(bytes) / (gigabytes ? GiB : MiB), 'f', 2);
    const QString sign = bytes > 0 ? QStringLiteral("+") + number : number;
    return gigabytes ? PoolSizingDialog::tr("%1 GB").arg(sign) : PoolSizingDialog::tr("%1 MB").arg(sign);
}

// A red line of plain text (names from the report are never markup), hidden until it has something to say.
void SetUpWarning(QLabel& label, const char* name) {
    label.setObjectName(QString::fromLatin1(name));
    label.setWordWrap(true);
    label.setTextFormat(Qt::PlainText);
    label.setStyleSheet(QStringLiteral("color: #c0392b"));
    label.hide();
}

} // namespace

// ---- the bounds

SizingBoundsModel::SizingBoundsModel(ornexa::PoolSizingPage& page, QObject* parent)
    : QAbstractTableModel(parent), page_(page) {}

int SizingBoundsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : page_.PoolCount();
}

int SizingBoundsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant SizingBoundsModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid)) {
        return {};
    }
    const int row = index.row();
    const ornexa::SizingCurve& curve = page_.Curves()[static_cast<std::size_t>(row)];
    switch (index.column()) {
    case PoolColumn:
        return role == Qt::DisplayRole ? QVariant(QString::fromStdString(curve.poolName)) : QVariant();
    case CurrentColumn:
        if (role == Qt::DisplayRole) {
            return Number(curve.currentBuffers);
        }
        return role == Qt::TextAlignmentRole ? QVariant(int(Qt::AlignRight | Qt::AlignVCenter)) : QVariant();
    case ProtectedColumn:
        return role == Qt::CheckStateRole ? QVariant(page_.Protected(row) ? Qt::Checked : Qt::Unchecked) : QVariant();
    case LargestColumn: {
        const auto largest = page_.LargestSize(row);
        if (role == Qt::DisplayRole) {
            return largest ? Number(*largest) : QString();
        }
        if (role == Qt::EditRole) {
            return largest ? QVariant(static_cast<qlonglong>(*largest)) : QVariant(QString());
        }
        return role == Qt::TextAlignmentRole ? QVariant(int(Qt::AlignRight | Qt::AlignVCenter)) : QVariant();
    }
    default:
        return {};
    }
}

QVariant SizingBoundsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    switch (section) {
    case PoolColumn:
        return tr("Pool");
    case CurrentColumn:
        return tr("Current size");
    case ProtectedColumn:
        return tr("Protected");
    case LargestColumn:
        return tr("Largest size");
    default:
        return {};
    }
}

Qt::ItemFlags SizingBoundsModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.column() == ProtectedColumn) {
        flags |= Qt::ItemIsUserCheckable;
    } else if (index.column() == LargestColumn) {
        flags |= Qt::ItemIsEditable;
    }
    return flags;
}

bool SizingBoundsModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid)) {
        return false;
    }
    if (index.column() == ProtectedColumn && role == Qt::CheckStateRole) {
        page_.SetProtected(index.row(), value.toInt() == Qt::Checked);
    } else if (index.column() == LargestColumn && role == Qt::EditRole) {
        const QString text = value.toString().trimmed();
        if (text.isEmpty()) {
            page_.SetLargestSize(index.row(), std::nullopt);
        } else {
            bool ok = false;
            qlonglong buffers = QLocale().toLongLong(text, &ok);
            if (!ok) {
                buffers = text.toLongLong(&ok);
            }
            if (!ok || buffers <= 0) {
                return false;
            }
            page_.SetLargestSize(index.row(), buffers);
        }
    } else {
        return false;
    }
    emit dataChanged(index, index);
    emit BoundsChanged();
    return true;
}

void SizingBoundsModel::Reset() {
    beginResetModel();
    endResetModel();
}

// ---- the plan

SizingResultModel::SizingResultModel(const ornexa::PoolSizingPage& page, QObject* parent)
    : QAbstractTableModel(parent), page_(page) {}

int SizingResultModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(page_.Rows().size());
}

int SizingResultModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant SizingResultModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid)) {
        return {};
    }
    const ornexa::SizingRow& row = page_.Rows()[static_cast<std::size_t>(index.row())];
    const int column = index.column();
    const bool numeric = column >= PageSizeColumn && column <= ReadsSavedColumn;
    if (role == Qt::TextAlignmentRole) {
        return numeric ? QVariant(int(Qt::AlignRight | Qt::AlignVCenter)) : QVariant();
    }
    if (role == Qt::ForegroundRole && !page_.RunIsCurrent()) {
        return QGuiApplication::palette().color(QPalette::Disabled, QPalette::Text);
    }
    if (role == SortRole) {
        const auto orLowest = [](const std::optional<double>& value) { return value.value_or(-1e300); };
        switch (column) {
        case PageSizeColumn:
            return row.pageSizeKb;
        case CurrentColumn:
            return static_cast<qlonglong>(row.currentBuffers);
        case ProposedColumn:
            return static_cast<qlonglong>(row.proposedBuffers);
        case StorageColumn:
            return static_cast<qlonglong>(row.bytes);
        case ReadsNowColumn:
            return orLowest(row.readsNow);
        case ReadsProposedColumn:
            return orLowest(row.readsAtProposed);
        case ReadsSavedColumn:
            return orLowest(row.readsSaved);
        case ConfidenceColumn:
            return static_cast<int>(row.confidence);
        default:
            break; // texts sort by their text
        }
    }
    if (role != Qt::DisplayRole && role != SortRole) {
        return {};
    }
    switch (column) {
    case PoolColumn:
        return QString::fromStdString(row.poolName);
    case PageSizeColumn:
        return row.pageSizeKb > 0 ? tr("%1 KB").arg(row.pageSizeKb) : QString();
    case CurrentColumn:
        return Number(row.currentBuffers);
    case ProposedColumn:
        return Number(row.proposedBuffers);
    case StorageColumn:
        return StorageShown(row.bytes);
    case ReadsNowColumn:
        return Rate(row.readsNow);
    case ReadsProposedColumn:
        return Rate(row.readsAtProposed);
    case ReadsSavedColumn:
        return Rate(row.readsSaved);
    case ConfidenceColumn:
        return ornexa::ui::DisplayText(ornexa::SizingConfidenceKey(row.confidence));
    case EvidenceColumn:
        return QString::fromStdString(row.evidence);
    case LeftAloneColumn:
        return QString::fromStdString(row.leftAlone);
    default:
        return {};
    }
}

QVariant SizingResultModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    switch (section) {
    case PoolColumn:
        return tr("Pool");
    case PageSizeColumn:
        return tr("Page size");
    case CurrentColumn:
        return tr("Current");
    case ProposedColumn:
        return tr("Proposed");
    case StorageColumn:
        return tr("Storage");
    case ReadsNowColumn:
        return tr("Reads/s now");
    case ReadsProposedColumn:
        return tr("Reads/s proposed");
    case ReadsSavedColumn:
        return tr("Reads/s saved");
    case ConfidenceColumn:
        return tr("Confidence");
    case EvidenceColumn:
        return tr("Evidence");
    case LeftAloneColumn:
        return tr("Left alone because");
    default:
        return {};
    }
}

void SizingResultModel::Changed() {
    if (rowCount() > 0) {
        emit dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1));
    }
}

void SizingResultModel::Reset() {
    beginResetModel();
    endResetModel();
}

// ---- the dialog

PoolSizingDialog::PoolSizingDialog(ornexa::PoolSizingPage page, UiServices& ui, ornexa::SaveFolders& folders,
                                   QWidget* parent)
    : QDialog(parent), page_(std::move(page)), ui_(ui), folders_(folders), budget_(new QLineEdit(this)),
      estimate_(new QCheckBox(tr("&Estimate the pools nothing else describes (square-root rule)"), this)),
      message_(new QLabel(this)), totals_(new QLabel(this)), problems_(new QLabel(this)),
      boundsModel_(new SizingBoundsModel(page_, this)), resultModel_(new SizingResultModel(page_, this)),
      sorted_(new QSortFilterProxyModel(this)), boundsView_(new QTableView(this)), resultView_(new QTableView(this)),
      chart_(new SizingChart(this)) {
    setObjectName(QStringLiteral("frmPoolSizing"));
    setWindowTitle(tr("Pool Sizing"));
    setSizeGripEnabled(true);
    auto* layout = new QVBoxLayout(this);

    auto* form = new QFormLayout;
    budget_->setObjectName(QStringLiteral("txtSizingBudget"));
    budget_->setPlaceholderText(QStringLiteral("+2G"));
    budget_->setToolTip(tr("Storage to add (+2G, +200M) or to give back (-1G); MB and GB are 2^20 and 2^30 bytes"));
    auto* budgetLabel = new QLabel(tr("&Budget:"), this);
    budgetLabel->setBuddy(budget_);
    form->addRow(budgetLabel, budget_);
    estimate_->setObjectName(QStringLiteral("chkSizingEstimate"));
    estimate_->setChecked(page_.Estimate());
    estimate_->setToolTip(tr("Without it, a pool only its own measurement describes is left alone, and the budget "
                             "goes only where a simulation or the history speaks"));
    form->addRow(QString(), estimate_);
    layout->addLayout(form);
    SetUpWarning(*message_, "lblSizingBudgetMessage");
    layout->addWidget(message_);

    boundsView_->setObjectName(QStringLiteral("lvSizingBounds"));
    boundsView_->setModel(boundsModel_);
    boundsView_->verticalHeader()->hide();
    boundsView_->setSelectionBehavior(QAbstractItemView::SelectItems);
    boundsView_->setSelectionMode(QAbstractItemView::SingleSelection);
    boundsView_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                 QAbstractItemView::AnyKeyPressed);
    boundsView_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    boundsView_->horizontalHeader()->setStretchLastSection(true);
    auto* boundsLabel = new QLabel(tr("Bo&unds (Space protects a pool; type a largest size in buffers):"), this);
    boundsLabel->setBuddy(boundsView_);

    resultView_->setObjectName(QStringLiteral("lvSizingResult"));
    sorted_->setSourceModel(resultModel_);
    sorted_->setSortRole(SortRole);
    resultView_->setModel(sorted_);
    resultView_->setSortingEnabled(true);
    resultView_->sortByColumn(-1, Qt::AscendingOrder); // the pools' own order until a header is clicked
    resultView_->verticalHeader()->hide();
    resultView_->setSelectionBehavior(QAbstractItemView::SelectRows);
    resultView_->setSelectionMode(QAbstractItemView::SingleSelection);
    resultView_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    resultView_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    resultView_->horizontalHeader()->setStretchLastSection(true);
    auto* resultLabel = new QLabel(tr("&Plan (choose a pool to see its curve):"), this);
    resultLabel->setBuddy(resultView_);

    auto* top = new QWidget(this);
    auto* topLayout = new QHBoxLayout(top);
    topLayout->setContentsMargins(0, 0, 0, 0);
    auto* boundsBox = new QVBoxLayout;
    boundsBox->addWidget(boundsLabel);
    boundsBox->addWidget(boundsView_);
    topLayout->addLayout(boundsBox, 2);
    topLayout->addWidget(chart_, 3);
    auto* bottom = new QWidget(this);
    auto* bottomLayout = new QVBoxLayout(bottom);
    bottomLayout->setContentsMargins(0, 0, 0, 0);
    bottomLayout->addWidget(resultLabel);
    bottomLayout->addWidget(resultView_, 1);
    totals_->setObjectName(QStringLiteral("lblSizingTotals"));
    totals_->setTextFormat(Qt::PlainText);
    bottomLayout->addWidget(totals_);
    SetUpWarning(*problems_, "lblSizingProblems");
    bottomLayout->addWidget(problems_);
    auto* split = new QSplitter(Qt::Vertical, this);
    split->addWidget(top);
    split->addWidget(bottom);
    split->setChildrenCollapsible(false);
    layout->addWidget(split, 1);

    // The buttons in a row of their own, none a default: Enter in the budget never closes the dialog.
    const auto button = [this](const QString& text, const char* name, auto action) {
        auto* made = new QPushButton(text, this);
        made->setObjectName(QString::fromLatin1(name));
        made->setAutoDefault(false);
        connect(made, &QPushButton::clicked, this, action);
        return made;
    };
    auto* copy = button(tr("&Copy Commands"), "cmdSizingCopy", &PoolSizingDialog::CopyCommands);
    auto* save = button(tr("&Save..."), "cmdSizingSave", &PoolSizingDialog::Save);
    auto* close = button(tr("Close"), "cmdSizingClose", &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(copy);
    buttons->addWidget(save);
    buttons->addStretch();
    buttons->addWidget(close);
    layout->addLayout(buttons);

    setTabOrder(budget_, estimate_);
    setTabOrder(estimate_, boundsView_);
    setTabOrder(boundsView_, resultView_);
    setTabOrder(resultView_, copy);
    setTabOrder(copy, save);
    setTabOrder(save, close);
    chart_->setFocusPolicy(Qt::NoFocus);

    connect(budget_, &QLineEdit::textChanged, this, &PoolSizingDialog::BudgetTyped);
    connect(estimate_, &QCheckBox::toggled, this, [this](bool on) {
        page_.SetEstimate(on);
        Refresh();
    });
    connect(boundsModel_, &SizingBoundsModel::BoundsChanged, this, &PoolSizingDialog::Refresh);
    connect(resultView_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &PoolSizingDialog::ShowSelectedPool);
    resize(fontMetrics().averageCharWidth() * 160, fontMetrics().height() * 44);
    LetTabMoveFocus(*this);
    Refresh();
}

PoolSizingDialog::~PoolSizingDialog() {
    reads_.waitForDone(); // its answer is queued to this dialog: none may come once it is gone
}

void PoolSizingDialog::BudgetTyped(const QString& text) {
    page_.SetBudgetText(text.toStdString());
    Refresh();
}

void PoolSizingDialog::Refresh() {
    const ornexa::BudgetState& budget = page_.Budget();
    message_->setText(QString::fromStdString(budget.message));
    message_->setVisible(!budget.Ok());
    resultModel_->Changed();
    const ornexa::SizingTotals totals = page_.Totals();
    const QLocale locale;
    totals_->setText(
        tr("Budget %1: %2 placed in %3, %4 synchronous read I/Os per second saved")
            .arg(StorageShown(totals.budgetBytes), StorageShown(totals.bytesPlaced),
                 totals.poolsMoved == 1 ? tr("one pool") : tr("%1 pools").arg(locale.toString(totals.poolsMoved)),
                 locale.toString(totals.readsSaved, 'f', 2)));
    totals_->setEnabled(page_.RunIsCurrent());
    QStringList problems;
    for (const std::string& problem : page_.Problems()) {
        problems << QString::fromStdString(problem);
    }
    problems_->setText(problems.join(QLatin1Char('\n')));
    problems_->setVisible(!problems.isEmpty());
    chart_->SetData(page_.Chart());
}

void PoolSizingDialog::ChoosePool(const QString& poolName) {
    for (int r = 0; r < sorted_->rowCount(); ++r) {
        const QModelIndex pool = sorted_->index(r, SizingResultModel::PoolColumn);
        if (pool.data().toString() == poolName) {
            resultView_->setCurrentIndex(pool);
            return;
        }
    }
}

void PoolSizingDialog::ShowSelectedPool() {
    const QModelIndex current = resultView_->currentIndex();
    if (!current.isValid()) {
        return;
    }
    const QModelIndex source = sorted_->mapToSource(current);
    const auto row = static_cast<std::size_t>(source.row());
    if (row < page_.Rows().size()) {
        page_.SelectPool(page_.Rows()[row].poolName);
        chart_->SetData(page_.Chart());
    }
}

void PoolSizingDialog::LoadHistory(HistoryService& history) {
    history.OpenInBackground(history.Location(), this, [this](HistoryService::Opened opened) {
        if (!opened.Ok()) {
            return; // without a history the dialog plans from the report alone
        }
        std::shared_ptr<ornexa::HistoryStore> store = *opened.value;
        reads_.start([this, store, names = page_.PoolNames(), query = page_.HistoryQuery()] {
            auto observations = std::make_shared<decltype(ornexa::SizingObservations(*store, names, query))>(
                ornexa::SizingObservations(*store, names, query));
            QMetaObject::invokeMethod(
                this,
                [this, observations] {
                    if (observations->Ok()) {
                        page_.SetHistory(std::move(*observations->value));
                        boundsModel_->Reset();
                        resultModel_->Reset();
                        Refresh();
                    }
                    emit HistoryLoaded();
                },
                Qt::QueuedConnection);
        });
    });
}

void PoolSizingDialog::CopyCommands() const {
    QGuiApplication::clipboard()->setText(QString::fromStdString(page_.CommandsText()));
}

void PoolSizingDialog::Save() {
    ornexa::FileDialogRequest request;
    request.filters = ornexa::ParseFilterList(TextFileFilters);
    request.fileName = ornexa::PoolSizingPage::DefaultFileName();
    request.defaultSuffix = "txt";
    // Host command files, as the regrouping statements are: the next one opens where the last went.
    if (const auto chosen = ornexa::ChooseSaveFile(ui_, folders_, ornexa::SaveKind::Regroup, std::move(request))) {
        WriteTextFile(ui_, tr("Pool Sizing"), ornexa::WithExtension(*chosen, ".txt"), page_.CommandsText());
    }
}
