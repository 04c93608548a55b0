#pragma once

#include <QObject>
#include <QString>
#include <QThreadPool>
#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "history/history_import.h"
#include "history/history_store.h"
#include "session/recent_reports.h"

// The imports of files and folders the user chose together, as they go: owned by the window that
// started them, told on its thread. Stop() ends the run between two reports: what was imported stays.
class HistoryImportBatch : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    void Stop() { stop_->store(true); }
    [[nodiscard]] bool Stopping() const { return stop_->load(); }
    [[nodiscard]] std::shared_ptr<std::atomic<bool>> StopFlag() const { return stop_; }

signals:
    // Before each import: how many are done, how many there are, and the file imported next.
    void Progress(int done, int count, const QString& file);
    void Finished(const ornexa::ImportSummary& summary);

private:
    std::shared_ptr<std::atomic<bool>> stop_ = std::make_shared<std::atomic<bool>>(false);
};

// The report history as the windows use it: where it is, whether every report read goes into it,
// and the imports, each run off the window's thread with a store of its own so that a read is
// never held up. Read from the settings once, when the service is made; kept in them: "history/keep" (on unless turned
// off) and "history/location" (a file, or a postgresql:// URI of a team's server).
class HistoryService : public QObject {
    Q_OBJECT
public:
    explicit HistoryService(QObject* parent = nullptr);
    HistoryService(const HistoryService&) = delete;
    HistoryService& operator=(const HistoryService&) = delete;
    HistoryService(HistoryService&&) = delete;
    HistoryService& operator=(HistoryService&&) = delete;
    ~HistoryService() override; // waits for the imports and openings under way

    // "history.db" in the user's data folder.
    static std::string DefaultLocation();
    [[nodiscard]] std::string Location() const;
    void SetLocation(const std::string& location);
    [[nodiscard]] bool KeepEveryReport() const;
    void SetKeepEveryReport(bool keep);

    // Opens the history where the settings say (the folder of a file made when missing).
    [[nodiscard]] ornexa::HistoryResult<std::shared_ptr<ornexa::HistoryStore>> Open() const;

    // A report shown: imported in the background when every report is kept; `Recorded` tells how
    // it went.
    void ReportShown(const ornexa::RecentReport& files);
    // Imports the report in the background whatever the setting.
    void Import(const ornexa::RecentReport& files);
    // Imports the files and folders in the background, after the imports already under way; a
    // folder brings its Statistics reports, each with the Simulation report of its name beside it.
    // `batch` hears how it goes for as long as it lives.
    void ImportPaths(const std::vector<std::filesystem::path>& paths, HistoryImportBatch& batch);
    // Waits for the imports under way (tests, and before the program ends).
    void WaitForImports();
    // Called on the import's thread before each report of a batch is looked at, with its number
    // from 1: tests hold an import there.
    void SetBeforeEachImport(std::function<void(int number)> hook) { beforeEachImport_ = std::move(hook); }

    // Opens the history at `location` off the window's thread, so a server that does not answer
    // holds up nothing; `done` hears the outcome on the window's thread, unless `context` is gone.
    using Opened = ornexa::HistoryResult<std::shared_ptr<ornexa::HistoryStore>>;
    void OpenInBackground(const std::string& location, QObject* context, std::function<void(Opened)> done);

    // The limits the imports read reports under: those of the window's reads.
    void SetLimits(const ornexa::ReportLimits& limits) { limits_ = limits; }

    // The reports read last, for "Open" to find the Simulation report read with a report.
    void SetRecent(ornexa::RecentReports recent) { recent_ = std::move(recent); }
    [[nodiscard]] const ornexa::RecentReports& Recent() const { return recent_; }

signals:
    // One import is over: `text` for the status bar, `stored` when the history changed.
    void Recorded(const QString& text, bool stored);

private:
    QThreadPool imports_;
    QThreadPool opens_;
    std::function<void(int)> beforeEachImport_;
    ornexa::RecentReports recent_;
    // As read from the settings when the service was made, and as set since.
    std::string location_;
    bool keep_ = true;
    ornexa::ReportLimits limits_;
};
