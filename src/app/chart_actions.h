#pragma once

#include <QObject>
#include <filesystem>

#include "session/file_dialogs.h"

class ChartView;
class QAction;
class UiServices;

// What every chart of the window offers, from its context menu and the keyboard: "Copy Chart"
// (Ctrl+Shift+C, the picture to the clipboard) and "Save Chart As..." (PNG, SVG or PDF, as the file
// type chosen says). The picture is drawn again from the chart's model, never grabbed from the screen.
// The save dialog starts where the window's `folders` say a chart goes.
class ChartActions : public QObject {
    Q_OBJECT
public:
    ChartActions(ChartView* chart, UiServices& ui, ornexa::SaveFolders& folders);

    void CopyChart() const;
    void SaveChartAs();

    [[nodiscard]] QAction* CopyAction() const { return copy_; }
    [[nodiscard]] QAction* SaveAction() const { return save_; }

private:
    ChartView* chart_;
    UiServices& ui_;
    ornexa::SaveFolders& folders_;
    QAction* copy_;
    QAction* save_;
};
