#pragma once

#include <QChartView>

#include "stats/chart_model.h"

// Renders a core ChartModel with QtCharts: share charts as pies, ranked charts as horizontal bars
// with rank 1 at the top, curves over their X values. A click on a bar, or Enter on the bar chosen
// with the arrow keys, reports the point index; the owner reads the object number from the model.
class ChartView : public QChartView {
    Q_OBJECT
public:
    explicit ChartView(QWidget* parent = nullptr);

    // Draws `model` unless it is what is shown already.
    void ShowModel(const ornexa::ChartModel& model);
    [[nodiscard]] const ornexa::ChartModel& Model() const { return model_; }
    [[nodiscard]] int CurrentPoint() const { return current_; }
    void SetCurrentPoint(int point);

signals:
    void PointActivated(int point);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void Render();
    ornexa::ChartModel model_;
    bool rendered_ = false;
    int current_ = -1;
    class QBarSet* bars_ = nullptr;
};
