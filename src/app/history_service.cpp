#include "app/history_service.h"

#include <QDir>
#include <QFileInfo>
#include <QMetaObject>
#include <QSettings>
#include <QStandardPaths>

#include "session/history_page.h"

namespace {

const QString KeepKey = QStringLiteral("history/keep");
const QString LocationKey = QStringLiteral("history/location");

// The history at `location`, the folder of a file made when missing.
ornexa::HistoryResult<std::shared_ptr<ornexa::HistoryStore>> OpenAt(const std::string& location) {
    if (!ornexa::IsPostgresLocation(location)) {
        const QString folder = QFileInfo(QString::fromStdString(location)).absolutePath();
        if (!QDir().mkpath(folder)) {
            return {std::nullopt, "The folder \"" + folder.toStdString() + "\" of the history could not be made"};
        }
    }
    return ornexa::HistoryStore::Open(location);
}

} // namespace

HistoryService::HistoryService(QObject* parent) : QObject(parent) {
    imports_.setMaxThreadCount(1); // one import after the other, in the order the reports were read
    const QSettings settings;
    const QString location = settings.value(LocationKey).toString().trimmed();
    location_ = location.isEmpty() ? DefaultLocation() : location.toStdString();
    keep_ = settings.value(KeepKey, true).toBool();
}

HistoryService::~HistoryService() {
    imports_.waitForDone();
}

std::string HistoryService::DefaultLocation() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return QDir(folder).filePath(QStringLiteral("history.db")).toStdString();
}

std::string HistoryService::Location() const {
    return location_;
}

void HistoryService::SetLocation(const std::string& location) {
    const QString trimmed = QString::fromStdString(location).trimmed();
    location_ = trimmed.isEmpty() ? DefaultLocation() : trimmed.toStdString();
    QSettings().setValue(LocationKey, trimmed);
}

bool HistoryService::KeepEveryReport() const {
    return keep_;
}

void HistoryService::SetKeepEveryReport(bool keep) {
    keep_ = keep;
    QSettings().setValue(KeepKey, keep);
}

ornexa::HistoryResult<std::shared_ptr<ornexa::HistoryStore>> HistoryService::Open() const {
    return OpenAt(Location());
}

void HistoryService::ReportShown(const ornexa::RecentReport& files) {
    if (KeepEveryReport()) {
        Import(files);
    }
}

void HistoryService::Import(const ornexa::RecentReport& files) {
    // A server may take its time to answer: even the opening runs off the window's thread.
    imports_.start([this, location = Location(), files, limits = limits_] {
        QString text;
        bool stored = false;
        if (auto opened = OpenAt(location); !opened.Ok()) {
            text = QString::fromStdString(
                ornexa::HistoryImportText({ornexa::ImportStatus::Refused, 0, opened.fault, std::nullopt}));
        } else {
            const ornexa::ImportOutcome outcome =
                ornexa::ImportReportFile(**opened.value, files.statistics.string(), files.simulation.string(), limits);
            text = QString::fromStdString(ornexa::HistoryImportText(outcome));
            stored = outcome.status == ornexa::ImportStatus::Imported;
        }
        QMetaObject::invokeMethod(
            this, [this, text, stored] { emit Recorded(text, stored); }, Qt::QueuedConnection);
    });
}

void HistoryService::WaitForImports() {
    imports_.waitForDone();
}
