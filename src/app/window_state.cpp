#include "app/window_state.h"

#include <QDir>
#include <QHeaderView>
#include <QSettings>
#include <QSplitter>
#include <QTableView>
#include <cmath>

#include "cluster/clustering.h"

namespace window_state {

namespace {

constexpr int MinColumnWidth = 8;
constexpr int MaxColumnWidth = 4000;

QString ListKey(const QTableView& list, const char* what) {
    return QStringLiteral("lists/%1/%2/%3").arg(list.window()->objectName(), list.objectName(), QLatin1String(what));
}

// A whole number from the settings within min..max; text that is not one gives nothing.
std::optional<int> ReadInt(const QVariant& value, int min, int max) {
    bool number = false;
    const int read = value.toString().toInt(&number);
    if (!number || read < min || read > max) {
        return std::nullopt;
    }
    return read;
}

} // namespace

void SaveGeometry(const QWidget& window) {
    QSettings().setValue(QStringLiteral("windows/%1/geometry").arg(window.objectName()), window.saveGeometry());
}

void RestoreGeometry(QWidget& window) {
    const QVariant kept = QSettings().value(QStringLiteral("windows/%1/geometry").arg(window.objectName()));
    if (kept.typeId() == QMetaType::QByteArray) {
        window.restoreGeometry(kept.toByteArray()); // refuses what it cannot read, leaving the window as it is
    }
}

void SaveSplitter(const QSplitter& splitter) {
    QSettings().setValue(QStringLiteral("splitters/%1/%2").arg(splitter.window()->objectName(), splitter.objectName()),
                         splitter.saveState());
}

void RestoreSplitter(QSplitter& splitter) {
    const QVariant kept = QSettings().value(
        QStringLiteral("splitters/%1/%2").arg(splitter.window()->objectName(), splitter.objectName()));
    if (kept.typeId() == QMetaType::QByteArray) {
        splitter.restoreState(kept.toByteArray()); // refuses what it cannot read
    }
}

void SaveColumns(const QTableView& list) {
    QStringList widths;
    const QHeaderView* header = list.horizontalHeader();
    for (int c = 0; c < header->count(); ++c) {
        widths << QString::number(header->sectionSize(c));
    }
    QSettings().setValue(ListKey(list, "widths"), widths.join(QLatin1Char(',')));
}

void RestoreColumns(QTableView& list) {
    const QStringList widths = QSettings().value(ListKey(list, "widths")).toString().split(QLatin1Char(','));
    QHeaderView* header = list.horizontalHeader();
    if (widths.size() != header->count()) {
        return; // kept for another set of columns
    }
    std::vector<int> sizes;
    for (const QString& width : widths) {
        const auto size = ReadInt(width, MinColumnWidth, MaxColumnWidth);
        if (!size) {
            return;
        }
        sizes.push_back(*size);
    }
    // The last column takes the room left: its width was that room, which a list with a scroll
    // bar it did not have then no longer has.
    const int stretched = header->stretchLastSection() ? header->logicalIndex(header->count() - 1) : -1;
    for (int c = 0; c < header->count(); ++c) {
        if (c != stretched && header->sectionResizeMode(c) == QHeaderView::Interactive) {
            header->resizeSection(c, sizes[static_cast<std::size_t>(c)]);
        }
    }
}

void SaveSort(const QTableView& list, std::optional<SortState> sort) {
    QSettings settings;
    if (!sort) {
        settings.remove(ListKey(list, "sort"));
        return;
    }
    settings.setValue(
        ListKey(list, "sort"),
        QStringLiteral("%1,%2").arg(sort->column).arg(sort->descending ? QStringLiteral("D") : QStringLiteral("A")));
}

std::optional<SortState> ReadSort(const QTableView& list, int columns) {
    const QStringList parts = QSettings().value(ListKey(list, "sort")).toString().split(QLatin1Char(','));
    if (parts.size() != 2 || (parts[1] != QStringLiteral("A") && parts[1] != QStringLiteral("D"))) {
        return std::nullopt;
    }
    const auto column = ReadInt(parts[0], 0, columns - 1);
    if (!column) {
        return std::nullopt;
    }
    return SortState{*column, parts[1] == QStringLiteral("D")};
}

void SaveUsageOption(int option) {
    QSettings().setValue(QStringLiteral("analysis/usageOption"), option);
}

std::optional<int> ReadUsageOption() {
    return ReadInt(QSettings().value(QStringLiteral("analysis/usageOption")), 0, 1);
}

void SaveRadius(const std::string& text) {
    QSettings().setValue(QStringLiteral("analysis/clusterRadius"), QString::fromStdString(text));
}

std::optional<std::string> ReadRadius() {
    const QString text = QSettings().value(QStringLiteral("analysis/clusterRadius")).toString().trimmed();
    bool number = false;
    const double radius = text.toDouble(&number); // the C locale: the radius box shows a point
    if (!number || !std::isfinite(radius) || radius < ornexa::MinClusterRadius || radius > ornexa::MaxClusterRadius) {
        return std::nullopt;
    }
    return text.toStdString();
}

void SaveFolder(const QString& dialog, const QString& folder) {
    QSettings().setValue(QStringLiteral("dialogs/%1/folder").arg(dialog), folder);
}

std::optional<QString> ReadSaveFolder(ornexa::SaveKind kind) {
    // The file dialogs keep a folder under the pattern of the first file type a dialog offers.
    switch (kind) {
    case ornexa::SaveKind::Chart:
        return ReadFolder(QStringLiteral("save *.png"));
    case ornexa::SaveKind::Table:
        return ReadFolder(QStringLiteral("save *.csv"));
    case ornexa::SaveKind::ClusterFile:
        return ReadFolder(QStringLiteral("save *.qvl"));
    case ornexa::SaveKind::Regroup:
        return ReadFolder(QStringLiteral("save *.sql"));
    }
    return std::nullopt;
}

std::optional<QString> ReadFolder(const QString& dialog) {
    const QString folder = QSettings().value(QStringLiteral("dialogs/%1/folder").arg(dialog)).toString();
    if (folder.isEmpty() || !QDir(folder).exists()) {
        return std::nullopt;
    }
    return folder;
}

} // namespace window_state
