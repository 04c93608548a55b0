#pragma once

#include <QWidget>

#include "session/pool_sizing_page.h"

// The curve of one pool in "Pool Sizing": buffers across, synchronous read I/Os per second up, each point
// in the colour of its evidence (an estimate hollow, on a dashed line, so it never passes for a
// measurement; a point reading more than a smaller size ringed), a line at the current size and one at
// the proposed size, and the legend.
class SizingChart : public QWidget {
    Q_OBJECT
public:
    explicit SizingChart(QWidget* parent = nullptr);

    void SetData(ornexa::SizingChartData chart);
    [[nodiscard]] const ornexa::SizingChartData& Data() const { return data_; }
    [[nodiscard]] QSize sizeHint() const override { return {480, 300}; }
    [[nodiscard]] QSize minimumSizeHint() const override { return {240, 160}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ornexa::SizingChartData data_;
};
