#include "app/page_view.h"

#include <QFormLayout>
#include <QLabel>
#include <QSplitter>

#include "stats/ui/display_text.h"

QLabel* FigureLabel(QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setMinimumWidth(label->fontMetrics().averageCharWidth() * 14);
    return label;
}

QSplitter* SideBySide(QWidget* page, QLayout* side, QWidget* chart, const char* name) {
    auto* figures = new QWidget(page);
    figures->setLayout(side);
    side->setContentsMargins(0, 0, 0, 0);
    auto* splitter = new QSplitter(Qt::Horizontal, page);
    splitter->setObjectName(QString::fromLatin1(name));
    splitter->setChildrenCollapsible(false);
    splitter->addWidget(figures);
    splitter->addWidget(chart);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    return splitter;
}

LegendLabels::LegendLabels(QWidget* page, QFormLayout* into) {
    for (std::size_t i = 0; i < captions_.size(); ++i) {
        captions_[i] = new QLabel(page);
        values_[i] = FigureLabel(page);
        values_[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        into->addRow(captions_[i], values_[i]);
    }
}

void LegendLabels::Paint(const ornexa::Legend& legend) {
    for (std::size_t i = 0; i < legend.size(); ++i) {
        captions_[i]->setText(ornexa::ui::DisplayText(legend[i].caption));
        values_[i]->setText(ornexa::ui::DisplayText(legend[i].value));
        captions_[i]->setVisible(legend[i].visible);
        values_[i]->setVisible(legend[i].visible);
    }
}
