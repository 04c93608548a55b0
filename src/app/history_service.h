#pragma once

#include <QObject>
#include <QString>
#include <QThreadPool>
#include <memory>
#include <string>

#include "history/history_store.h"
#include "session/recent_reports.h"

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
    ~HistoryService() override; // waits for the imports under way

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
    // Waits for the imports under way (tests, and before the program ends).
    void WaitForImports();

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
    ornexa::RecentReports recent_;
    // As read from the settings when the service was made, and as set since.
    std::string location_;
    bool keep_ = true;
    ornexa::ReportLimits limits_;
};
