#include "app/usage_options.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QRadioButton>

QButtonGroup* AddUsageOptions(QGroupBox* box, QObject* owner) {
    auto* options = new QHBoxLayout(box);
    auto* group = new QButtonGroup(owner);
    auto* sequential = new QRadioButton(QStringLiteral("Sequential"), box);
    auto* random = new QRadioButton(QStringLiteral("Random"), box);
    group->addButton(sequential, 0);
    group->addButton(random, 1);
    options->addWidget(sequential);
    options->addWidget(random);
    options->addStretch();
    return group;
}
