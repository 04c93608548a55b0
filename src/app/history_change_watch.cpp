#include "app/history_change_watch.h"

#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QTimer>

#include "history/history_location.h"

namespace {

// A look gives up on a server that does not answer well before a window would seem stuck.
constexpr std::chrono::seconds LookTimeout{10};
constexpr int SettleMs = 200;

} // namespace

HistoryChangeWatch::HistoryChangeWatch(std::string location, QObject* parent, std::chrono::milliseconds serverInterval)
    : QObject(parent), location_(std::move(location)) {
    looks_.setMaxThreadCount(1);
    settle_ = new QTimer(this);
    settle_->setSingleShot(true);
    settle_->setInterval(SettleMs);
    connect(settle_, &QTimer::timeout, this, &HistoryChangeWatch::Look);
    if (ornexa::IsPostgresLocation(location_)) {
        poll_ = new QTimer(this);
        poll_->setInterval(static_cast<int>(serverInterval.count()));
        connect(poll_, &QTimer::timeout, this, &HistoryChangeWatch::Look);
        poll_->start();
        return;
    }
    files_ = new QFileSystemWatcher(this);
    const auto changed = [this] {
        WatchFiles(); // a journal made, or a file replaced, is watched anew
        settle_->start();
    };
    connect(files_, &QFileSystemWatcher::fileChanged, this, changed);
    connect(files_, &QFileSystemWatcher::directoryChanged, this, changed);
    WatchFiles();
}

HistoryChangeWatch::~HistoryChangeWatch() {
    looks_.waitForDone();
}

void HistoryChangeWatch::Shown(const ornexa::HistorySignature& signature) {
    shown_ = signature;
}

void HistoryChangeWatch::WatchFiles() {
    const QString file = QString::fromStdString(location_);
    const QStringList watched = files_->files() + files_->directories();
    for (const QString& path : {file, file + QStringLiteral("-wal"), QFileInfo(file).absolutePath()}) {
        if (!watched.contains(path) && QFileInfo::exists(path)) {
            files_->addPath(path);
        }
    }
}

void HistoryChangeWatch::Look() {
    if (looking_) {
        again_ = true;
        return;
    }
    looking_ = true;
    looks_.start([this] {
        std::optional<ornexa::HistorySignature> signature;
        if (!store_) {
            auto opened = ornexa::HistoryStore::Open(location_, LookTimeout);
            if (opened.Ok()) {
                store_ = *opened.value;
            }
        }
        if (store_) {
            auto read = ornexa::ReadSignature(*store_);
            if (read.Ok()) {
                signature = *read.value;
            } else {
                store_.reset(); // a lost connection is made again at the next look
            }
        }
        QMetaObject::invokeMethod(
            this, [this, signature] { Looked(signature); }, Qt::QueuedConnection);
    });
}

void HistoryChangeWatch::Looked(std::optional<ornexa::HistorySignature> signature) {
    looking_ = false;
    if (signature && *signature != shown_) {
        shown_ = *signature;
        emit Changed();
    }
    if (again_) {
        again_ = false;
        Look();
    }
}
