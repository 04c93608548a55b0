#include "app/about_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(tr("About ORNEXA"));
    auto* layout = new QVBoxLayout(this);
    auto* product = new QLabel(QStringLiteral("<h2>ORNEXA</h2>"), this);
    auto* version = new QLabel(tr("Version %1").arg(QStringLiteral(ORNEXA_VERSION)), this);
    auto* purpose = new QLabel(tr("Buffer-pool Statistics and Simulation reports for Db2 performance analysts."), this);
    auto* support = new QLabel(tr("Support: see the README of your installation; licensed under the GNU GPL, "
                                  "version 3 or later."),
                               this);
    purpose->setWordWrap(true);
    support->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("cmdOkay"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    for (QWidget* w : {static_cast<QWidget*>(product), static_cast<QWidget*>(version), static_cast<QWidget*>(purpose),
                       static_cast<QWidget*>(support), static_cast<QWidget*>(buttons)}) {
        layout->addWidget(w);
    }
}
