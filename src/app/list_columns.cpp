#include "app/list_columns.h"

#include <QHeaderView>
#include <QTableView>

void FitColumns(QTableView& list) {
    QHeaderView* header = list.horizontalHeader();
    const int stretched = header->stretchLastSection() ? header->logicalIndex(header->count() - 1) : -1;
    for (int c = 0; c < header->count(); ++c) {
        if (c != stretched && header->sectionResizeMode(c) == QHeaderView::Interactive) {
            list.resizeColumnToContents(c);
        }
    }
}
