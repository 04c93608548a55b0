#include "app/tray_menu.h"

#include <QProcess>
#include <QStandardPaths>
#include <QSystemTrayIcon>

#include "app/app_icons.h"
#include "app/ui_services.h"

TrayMenu::TrayMenu(UiServices& ui, QObject* parent)
    : QObject(parent), ui_(ui), menu_(new QMenu(QStringLiteral("&Utilities"))) {
    menu_->setObjectName(QStringLiteral("mnuUtilities"));
    menu_->addAction(QStringLiteral("&Notepad"), this, [this] {
        StartProgram(tr("a text editor"), {QStringLiteral("gnome-text-editor"), QStringLiteral("gedit"),
                                           QStringLiteral("kate"), QStringLiteral("mousepad"), QStringLiteral("xed")});
    });
    menu_->addAction(QStringLiteral("C&alculator"), this, [this] {
        StartProgram(tr("a calculator"), {QStringLiteral("gnome-calculator"), QStringLiteral("kcalc"),
                                          QStringLiteral("galculator"), QStringLiteral("xcalc")});
    });
    menu_->addAction(QStringLiteral("C&ontrol Panel"), this, [this] {
        StartProgram(tr("the system settings"),
                     {QStringLiteral("gnome-control-center"), QStringLiteral("systemsettings"),
                      QStringLiteral("xfce4-settings-manager")});
    });
    menu_->addSeparator();
    menu_->addAction(QStringLiteral("&Printers"), this, [this] {
        StartProgram(tr("the printer settings"),
                     {QStringLiteral("system-config-printer"), QStringLiteral("gnome-control-center")});
    });
    menu_->addAction(QStringLiteral("&About"), this, [this] { ui_.ShowAbout(); });
    menu_->addSeparator();
    menu_->addAction(QStringLiteral("&Quit"), this, [this] {
        RemoveTrayIcon();
        emit QuitRequested();
    });
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        tray_ = new QSystemTrayIcon(ProgramIcon(), this);
        tray_->setToolTip(QStringLiteral("Ziduzura is Running"));
        tray_->setContextMenu(menu_);
        tray_->show();
    }
}

TrayMenu::~TrayMenu() {
    RemoveTrayIcon();
    delete menu_; // NOLINT(cppcoreguidelines-owning-memory): a context menu has no parent widget
}

void TrayMenu::RemoveTrayIcon() {
    if (tray_ != nullptr) {
        tray_->hide();
    }
}

bool TrayMenu::StartProgram(const QString& what, const QStringList& candidates) {
    for (const QString& program : candidates) {
        if (!QStandardPaths::findExecutable(program).isEmpty() && QProcess::startDetached(program, {})) {
            return true;
        }
    }
    ui_.Show({tr("Utilities").toStdString(),
              tr("Cannot start %1: none of %2 is installed or it failed to start.")
                  .arg(what, candidates.join(QStringLiteral(", ")))
                  .toStdString(),
              ornexa::MessageIcon::Exclamation});
    return false;
}
