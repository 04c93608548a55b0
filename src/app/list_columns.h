#pragma once

class QTableView;

// Each column of `list` as wide as its widest text, caption included. The last column is left
// alone when it takes the room left; columns that size themselves are left to do so.
void FitColumns(QTableView& list);
