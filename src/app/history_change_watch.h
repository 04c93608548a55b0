#pragma once

#include <QObject>
#include <QThreadPool>
#include <chrono>
#include <memory>
#include <string>

#include "history/history_signature.h"

class QFileSystemWatcher;
class QTimer;

// Tells the History window that the reports held changed while it is open (another program imported
// or removed some): for a SQLite file when the file or its WAL journal changes, for a server by a
// look every few seconds. Each look is one small query on a thread of its own, with a store of its own,
// so a server that does not answer never holds up the window.
class HistoryChangeWatch : public QObject {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds ServerInterval{3000};

    HistoryChangeWatch(std::string location, QObject* parent,
                       std::chrono::milliseconds serverInterval = ServerInterval);
    HistoryChangeWatch(const HistoryChangeWatch&) = delete;
    HistoryChangeWatch& operator=(const HistoryChangeWatch&) = delete;
    ~HistoryChangeWatch() override;

    // What the window shows now: a change is a difference from it.
    void Shown(const ornexa::HistorySignature& signature);

signals:
    void Changed();

private:
    void WatchFiles();
    void Look();
    void Looked(std::optional<ornexa::HistorySignature> signature);

    std::string location_;
    ornexa::HistorySignature shown_;
    QFileSystemWatcher* files_ = nullptr;
    QTimer* settle_ = nullptr; // a burst of file changes makes one look
    QTimer* poll_ = nullptr;
    bool looking_ = false;
    bool again_ = false;
    // Used only by the look under way; the looks run one at a time.
    std::shared_ptr<ornexa::HistoryStore> store_;
    QThreadPool looks_;
};
