#include "app/history_service.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMetaObject>
#include <QPointer>
#include <QSettings>
#include <QStandardPaths>

#include "advice/rating_settings_file.h"
#include "history/history_location.h"
#include "history/postgres_database.h"
#include "session/history_page.h"

namespace {

const QString KeepKey = QStringLiteral("history/keep");
const QString LocationKey = QStringLiteral("history/location");

// The history at `location`, the folder of a file made when missing.
ornexa::HistoryResult<std::shared_ptr<ornexa::HistoryStore>> OpenAt(const std::string& location) {
    if (const auto unkept = ornexa::UnkeptHistoryReason(location)) {
        return {std::nullopt, ornexa::FaultMessages(*unkept)}; // before a folder is made for it
    }
    if (!ornexa::IsPostgresLocation(location)) {
        const QString folder = QFileInfo(QString::fromStdString(location)).absolutePath();
        if (!QDir().mkpath(folder)) {
            return {std::nullopt, ornexa::FaultMessages("The folder \"" + folder.toStdString() +
                                                        "\" of the history could not be made")};
        }
    }
    auto opened = ornexa::HistoryStore::Open(location);
    opened.messages = ornexa::FaultMessages(ornexa::MaskedPasswords(opened.FaultText(), location));
    if (opened.Ok()) {
        // Imports are rated with the site's bounds; a site file with a fault is told where the ratings
        // are shown (the Health window), and the built-in bounds rate them meanwhile.
        const ornexa::RatingSettingsLookup ratings =
            ornexa::FindRatingSettings(QCoreApplication::applicationDirPath().toStdString());
        if (ratings.settings.Ok()) {
            (*opened.value)->RateImportsWith(*ratings.settings.value);
        }
    }
    return opened;
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
    opens_.waitForDone();
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
    // The settings are a file anyone who can read the home folder reads: a password typed into the
    // location serves this run only, and the next one finds it in ~/.pgpass or PGPASSWORD.
    const bool server = ornexa::IsPostgresLocation(trimmed.toStdString());
    QSettings().setValue(LocationKey,
                         server ? QString::fromStdString(ornexa::PostgresLocation(trimmed.toStdString())) : trimmed);
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
                ornexa::HistoryImportText({ornexa::ImportStatus::Refused, 0, opened.FaultText(), std::nullopt}));
        } else {
            const ornexa::ImportOutcome outcome =
                ornexa::ImportReportFile(**opened.value, files.statistics.string(), files.simulation.string(), limits);
            text = QString::fromStdString(ornexa::HistoryImportText(outcome));
            stored = outcome.status == ornexa::ImportStatus::Imported ||
                     outcome.status == ornexa::ImportStatus::SimulationAdded;
        }
        QMetaObject::invokeMethod(
            this, [this, text, stored] { emit Recorded(text, stored); }, Qt::QueuedConnection);
    });
}

void HistoryService::ImportPaths(const std::vector<std::filesystem::path>& paths, HistoryImportBatch& batch) {
    // The worker speaks to the service, which outlives it; the service passes the word on to the
    // batch while it is there.
    const QPointer<HistoryImportBatch> listener(&batch);
    const auto tell = [this, listener](std::function<void(HistoryImportBatch&)> what) {
        QMetaObject::invokeMethod(
            this,
            [listener, what = std::move(what)] {
                if (listener) {
                    what(*listener);
                }
            },
            Qt::QueuedConnection);
    };
    imports_.start(
        [tell, paths, stop = batch.StopFlag(), hook = beforeEachImport_, location = Location(), limits = limits_] {
            ornexa::ImportSummary summary;
            const ornexa::ImportPlan plan = ornexa::PlanImport(paths);
            if (auto opened = OpenAt(location); !opened.Ok()) {
                summary.skipped = plan.skipped;
                for (const ornexa::ImportUnit& unit : plan.units) {
                    summary.refusals.emplace_back(unit.shown, opened.FaultText());
                }
            } else {
                int asked = 0;
                const auto stopHere = [&] {
                    if (hook) {
                        hook(++asked);
                    }
                    return stop->load();
                };
                const auto progress = [&tell](int number, int count, const std::filesystem::path& file) {
                    tell([number, count, file = QString::fromStdString(file.string())](HistoryImportBatch& listening) {
                        emit listening.Progress(number - 1, count, file);
                    });
                };
                summary = ornexa::RunImport(**opened.value, plan, progress, limits, stopHere);
            }
            tell([summary = std::move(summary)](HistoryImportBatch& listening) { emit listening.Finished(summary); });
        });
}

void HistoryService::OpenInBackground(const std::string& location, QObject* context, std::function<void(Opened)> done) {
    const QPointer<QObject> listener(context);
    opens_.start([this, location, listener, done = std::move(done)] {
        auto opened = std::make_shared<Opened>(OpenAt(location));
        QMetaObject::invokeMethod(
            this,
            [listener, done, opened] {
                if (listener) {
                    done(std::move(*opened));
                }
            },
            Qt::QueuedConnection);
    });
}

void HistoryService::WaitForImports() {
    imports_.waitForDone();
}
