#pragma once

#include <QMenu>
#include <QObject>
#include <QStringList>

class QSystemTrayIcon;
class UiServices;

// The Utilities menu, in the notification area where there is one ("Ziduzura is Running"), else
// returned for a window's menu bar. Its programs are this desktop's text editor, calculator, system
// settings and printer settings.
class TrayMenu : public QObject {
    Q_OBJECT
public:
    TrayMenu(UiServices& ui, QObject* parent = nullptr);
    ~TrayMenu() override;
    TrayMenu(const TrayMenu&) = delete;
    TrayMenu& operator=(const TrayMenu&) = delete;
    TrayMenu(TrayMenu&&) = delete;
    TrayMenu& operator=(TrayMenu&&) = delete;

    [[nodiscard]] QMenu* Menu() const { return menu_; }
    [[nodiscard]] bool InNotificationArea() const { return tray_ != nullptr; }
    // Before every way out of the program.
    void RemoveTrayIcon();

    // Starts the first of `candidates` found; reports when none could be started.
    bool StartProgram(const QString& what, const QStringList& candidates);

signals:
    void QuitRequested();

private:
    UiServices& ui_;
    QMenu* menu_;
    QSystemTrayIcon* tray_ = nullptr;
};
