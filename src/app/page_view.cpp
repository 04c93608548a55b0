#include "app/page_view.h"

#include <algorithm>

#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QSplitter>
#include <QTableView>

#include "app/list_models.h"
#include "app/table_export.h"

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

void KeepFiguresWhole(QSplitter* splitter, const QWidget* panel) {
    QList<int> sizes = splitter->sizes();
    const int missing = panel->sizeHint().width() - panel->width();
    if (panel->isVisible() && sizes.size() == 2 && sizes[0] > 0 && missing > 0) {
        const int moved = std::min(missing, std::max(0, sizes[1] - splitter->widget(1)->minimumSizeHint().width()));
        sizes[0] += moved;
        sizes[1] -= moved;
        splitter->setSizes(sizes);
    }
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

QTableView* FigureRowsView(QWidget* parent, const char* name) {
    QTableView* view = MakeListView(parent);
    view->setObjectName(QString::fromLatin1(name));
    view->setModel(new TextRowsModel(view));
    view->setWordWrap(false); // Db2's labels are long: one line each, the figures beside them
    view->setMinimumWidth(view->fontMetrics().averageCharWidth() * 52);
    view->setVisible(false);
    return view;
}

void ShowFigureRows(QTableView* view, const std::vector<ornexa::FigureRow>& rows) {
    std::vector<TextRowsModel::Row> shown;
    shown.reserve(rows.size());
    for (const ornexa::FigureRow& row : rows) {
        shown.push_back({static_cast<int>(shown.size()) + 1, {row.caption, row.value}, std::nullopt});
    }
    auto* model = qobject_cast<TextRowsModel*>(view->model());
    model->UpdateRows({QObject::tr("Figure").toStdString(), QObject::tr("Value").toStdString()}, std::move(shown));
    // The figures stand whole; the labels take the room left.
    QHeaderView* header = view->horizontalHeader();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(0, QHeaderView::Stretch);
    header->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    view->setVisible(!rows.empty());
}
