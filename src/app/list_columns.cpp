#include "app/list_columns.h"

#include <QHeaderView>
#include <QTableView>

void FitColumns(QTableView& list) {
    QHeaderView* header = list.horizontalHeader();
    // A last column of figures keeps its figures beside the others instead of stretching them off
    // to the list's right edge.
    if (header->count() > 1 && list.model() != nullptr) {
        const int last = header->logicalIndex(header->count() - 1);
        const int alignment = list.model()->headerData(last, Qt::Horizontal, Qt::TextAlignmentRole).toInt();
        if ((alignment & Qt::AlignRight) != 0) {
            header->setStretchLastSection(false);
        }
    }
    const int stretched = header->stretchLastSection() ? header->logicalIndex(header->count() - 1) : -1;
    for (int c = 0; c < header->count(); ++c) {
        if (c != stretched && header->sectionResizeMode(c) == QHeaderView::Interactive) {
            list.resizeColumnToContents(c);
        }
    }
}
