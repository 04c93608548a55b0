#include "app/title_window.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "app/app_icons.h"

TitleWindow::TitleWindow(QWidget* parent) : QWidget(parent, Qt::SplashScreen) {
    setObjectName(QStringLiteral("frmTitle"));
    setWindowIcon(ProgramIcon());
    auto* layout = new QVBoxLayout(this);
    auto* name = new QLabel(QStringLiteral("<h1>ORNEXA</h1>"), this);
    auto* version =
        new QLabel(tr("Db2 buffer-pool performance analysis - version %1").arg(QStringLiteral(ORNEXA_VERSION)), this);
    auto* start = new QPushButton(tr("&Start"), this); // has no action of its own
    start->setObjectName(QStringLiteral("cmdStart"));
    name->setAlignment(Qt::AlignCenter);
    version->setAlignment(Qt::AlignCenter);
    layout->addWidget(name);
    layout->addWidget(version);
    layout->addWidget(start, 0, Qt::AlignCenter);
    auto* timer = new QTimer(this);
    timer->setObjectName(QStringLiteral("tmrTimer"));
    timer->setSingleShot(true);
    connect(timer, &QTimer::timeout, this, &TitleWindow::Finished);
    timer->start(ShownMilliseconds);
}
