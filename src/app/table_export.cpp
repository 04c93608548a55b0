#include "app/table_export.h"

#include <QAbstractItemView>
#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLocale>
#include <QMenu>
#include <QRegularExpression>
#include <QTableView>
#include <array>
#include <charconv>
#include <set>

#include "app/list_models.h"
#include "app/ui_services.h"
#include "session/file_dialogs.h"

namespace {

constexpr std::string_view CsvFileFilters = "CSV Files (*.csv)|*.csv|All Files (*.*)|*.*";

// Whether a shown text is a figure in the locale's separators (and not a name that happens to read
// as a number, such as "1E5" or "0012"), so that its sort value may stand for it.
bool ShowsFigure(const QString& shown) {
    const QLocale locale;
    QString text = shown.trimmed();
    if (!locale.groupSeparator().isEmpty()) {
        text.remove(locale.groupSeparator());
    }
    text.replace(locale.decimalPoint(), QStringLiteral("."));
    static const QRegularExpression figure(QStringLiteral(R"(^-?(0|[1-9][0-9]*)?(\.[0-9]*)?$)"));
    return !text.isEmpty() && text != QStringLiteral(".") && text != QStringLiteral("-") &&
           figure.match(text).hasMatch();
}

// The shortest text that reads back as exactly `value`, with "." and no grouping.
std::string ExactText(double value) {
    std::array<char, 32> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return {buffer.data(), result.ptr};
}

std::string CellText(const QModelIndex& index) {
    const QString shown = index.data(Qt::DisplayRole).toString();
    const QVariant value = index.data(SortRole);
    if (value.typeId() == QMetaType::Double && ShowsFigure(shown)) {
        return ExactText(value.toDouble());
    }
    return shown.toStdString();
}

} // namespace

ornexa::TextTable ShownTable(const QAbstractItemView& view, const QStringList& captions, bool selectedOnly) {
    ornexa::TextTable table;
    const QAbstractItemModel* model = view.model();
    if (model == nullptr) {
        return table;
    }
    const auto* tableView = qobject_cast<const QTableView*>(&view);
    std::vector<int> columns;
    for (int c = 0; c < model->columnCount(); ++c) {
        if (tableView == nullptr || !tableView->isColumnHidden(c)) {
            columns.push_back(c);
        }
    }
    for (const int c : columns) {
        table.header.push_back(c < captions.size() ? captions[c].toStdString()
                                                   : model->headerData(c, Qt::Horizontal).toString().toStdString());
    }
    std::set<int> rows;
    if (selectedOnly && view.selectionModel() != nullptr) {
        for (const QModelIndex& index : view.selectionModel()->selectedIndexes()) {
            rows.insert(index.row());
        }
    }
    if (rows.empty()) {
        for (int r = 0; r < model->rowCount(); ++r) {
            rows.insert(r);
        }
    }
    for (const int r : rows) {
        std::vector<std::string> cells;
        cells.reserve(columns.size());
        for (const int c : columns) {
            cells.push_back(CellText(model->index(r, c)));
        }
        table.rows.push_back(std::move(cells));
    }
    return table;
}

TableExport::TableExport(QAbstractItemView* view, UiServices& ui, ornexa::SaveFolders& folders, QString defaultFileName,
                         QStringList captions)
    : QObject(view), view_(view), ui_(ui), defaultFileName_(std::move(defaultFileName)), captions_(std::move(captions)),
      folders_(folders), copy_(new QAction(tr("Copy"), view)), export_(new QAction(tr("Export as CSV..."), view)) {
    // Before the view's own Ctrl+C, which would copy only the current cell.
    copy_->setShortcut(QKeySequence::Copy);
    copy_->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    view->addAction(copy_);
    view->addAction(export_);
    connect(copy_, &QAction::triggered, this, &TableExport::Copy);
    connect(export_, &QAction::triggered, this, &TableExport::ExportAsCsv);
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(view, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        QMenu menu(view_);
        menu.addAction(copy_);
        menu.addAction(export_);
        menu.exec(view_->viewport()->mapToGlobal(at));
    });
}

void TableExport::Copy() const {
    const std::string text = ornexa::TsvText(ShownTable(*view_, captions_, true));
    QGuiApplication::clipboard()->setText(QString::fromStdString(text));
}

void TableExport::ExportAsCsv() {
    ornexa::FileDialogRequest request;
    request.filters = ornexa::ParseFilterList(CsvFileFilters);
    request.fileName = defaultFileName_.toStdString();
    request.defaultSuffix = "csv";
    if (const auto chosen = ornexa::ChooseSaveFile(ui_, folders_, ornexa::SaveKind::Table, std::move(request))) {
        // A bare name is a CSV file.
        WriteTextFile(ui_, tr("Export as CSV"), ornexa::WithExtension(*chosen, ".csv"),
                      ornexa::CsvText(ShownTable(*view_, captions_, false)));
    }
}

void AttachTableExport(QAbstractItemView* view, UiServices& ui, ornexa::SaveFolders& folders, QString defaultFileName,
                       QStringList captions) {
    // NOLINTNEXTLINE(cppcoreguidelines-owning-memory): the view owns it
    new TableExport(view, ui, folders, std::move(defaultFileName), std::move(captions));
}

QTableView* MakeListView(QWidget* parent) {
    auto* view = new QTableView(parent);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->verticalHeader()->hide();
    // Rows of one height, scrolled by the pixel: a list of hundreds of thousands of objects never goes
    // through its rows one by one to measure them or to bring one into view.
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    view->horizontalHeader()->setStretchLastSection(true);
    view->setAlternatingRowColors(true);
    return view;
}
