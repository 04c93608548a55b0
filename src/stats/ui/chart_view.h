#pragma once

#include <QChartView>
#include <QStringList>
#include <optional>
#include <utility>
#include <vector>

#include "report/numbers.h"
#include "stats/chart_model.h"
#include "stats/ui/chart_colours.h"

// Renders a core ChartModel with QtCharts: share charts as pies, ranked charts as horizontal bars
// with rank 1 at the top, curves over their X values. Value axes step in round numbers; every
// figure drawn is written in the view's number style. A click anywhere in a bar's row (a bar of 0
// too), or Enter on the bar chosen with the arrow keys, reports the point index; the owner reads
// the object number from the model. A bar's name is shortened to the room beside the bars, its
// tooltip tells the whole name and the value. A pie's labels stand beside it in two columns, each
// with a line to its slice, apart from each other however small the slices. Time lines run over
// ticks at whole hours or days, steps for a setting, with their markers as vertical lines whose
// texts stand in rows above the plot; a point's tooltip tells its report and value.
class ChartView : public QChartView {
    Q_OBJECT
public:
    explicit ChartView(QWidget* parent = nullptr);

    // Draws `model` unless it is what is shown already.
    void ShowModel(const ornexa::ChartModel& model);
    [[nodiscard]] const ornexa::ChartModel& Model() const { return model_; }
    [[nodiscard]] int CurrentPoint() const { return current_; }
    void SetCurrentPoint(int point);

    // The window's colours (the default) or light ones, for a chart drawn for paper or a file.
    void SetTheme(ChartTheme theme);
    [[nodiscard]] ChartTheme Theme() const { return theme_; }
    // The separators of the axis figures: the locale's unless told otherwise.
    void SetNumberStyle(ornexa::NumberStyle style);

    // The names beside the bars as drawn, point 0 first; empty for other charts.
    [[nodiscard]] QStringList BarLabels() const;
    // The figures at the ends of the bars as drawn, point 0 first, and where they stand (in the
    // viewport's coordinates).
    [[nodiscard]] QStringList BarValueTexts() const;
    [[nodiscard]] std::vector<QRectF> BarValueRects() const;
    // Where the end of bar p is drawn, in the viewport's coordinates.
    [[nodiscard]] std::optional<QPointF> BarEnd(int point) const;
    // The labels of a pie's slices as drawn and where they stand (in the viewport's coordinates).
    [[nodiscard]] QStringList SliceLabelTexts() const;
    [[nodiscard]] std::vector<QRectF> SliceLabelRects() const;
    // The plot area, in the viewport's coordinates.
    [[nodiscard]] QRectF PlotRect() const;
    // Where the value axis starts and ends (the chart's values), and its tick texts.
    [[nodiscard]] std::optional<std::pair<double, double>> ValueAxisRange() const;
    [[nodiscard]] QStringList ValueAxisLabels() const;
    // The whole name and value of the bar whose row holds `position` (in the viewport's
    // coordinates, where the mouse is), or of the time line's point nearest it; empty where there
    // is none.
    [[nodiscard]] QString ToolTipAt(QPointF position) const;
    // Where point p of series s of a time line is drawn, in the viewport's coordinates.
    [[nodiscard]] std::optional<QPointF> PointPosition(int series, int point) const;
    // The texts of the time line's markers as drawn, and where they stand (in the viewport's
    // coordinates).
    [[nodiscard]] QStringList MarkerTexts() const;
    [[nodiscard]] std::vector<QRectF> MarkerRects() const;
    // The date axis's ticks: where each stands (milliseconds of the axis) and its text.
    [[nodiscard]] std::vector<std::pair<double, QString>> TimeTicks() const;

signals:
    void PointActivated(int point);

protected:
    bool viewportEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void Render();
    void RenderBars(const ChartColours& colours);
    void RenderCurve(const ChartColours& colours);
    void RenderTimeLine(const ChartColours& colours);
    void FitAxes();
    void FitTimeAxis(const QRectF& plot);
    [[nodiscard]] double MarkerLineHeight() const;
    // The value axis's ticks for a time line whose marker texts need rows free of its values: at
    // the top where the values leave room, else at the bottom, else the axis reaches higher.
    [[nodiscard]] const ornexa::ChartModel& RoomForMarkers(const QRectF& plot, ornexa::ChartModel& roomy);
    [[nodiscard]] int TimePointAt(QPointF position) const;
    void FitBarLabels(const QRectF& plot);
    void PlaceBarValues();
    void FitPieLabels(const QRectF& plot);
    [[nodiscard]] int BarAt(QPointF position) const;
    [[nodiscard]] QRectF ToViewport(const QRectF& inChart) const;

    // A value axis whose ticks are laid out again as the plot's size changes.
    struct StepAxis {
        class QCategoryAxis* axis;
        bool xValues; // the X values of a curve, else the chart's values
        bool across;  // runs along the bottom
    };

    ornexa::ChartModel model_;
    ChartTheme theme_ = ChartTheme::FollowPalette;
    ornexa::NumberStyle numberStyle_;
    bool rendered_ = false;
    int current_ = -1;
    class QBarSet* bars_ = nullptr;
    class QHorizontalBarSeries* barSeries_ = nullptr;
    class QBarCategoryAxis* names_ = nullptr;
    std::vector<StepAxis> stepAxes_;
    std::vector<class QGraphicsSimpleTextItem*> barValues_;
    class QPieSeries* pie_ = nullptr;
    struct SliceLabel {
        class QGraphicsSimpleTextItem* text;
        class QGraphicsPathItem* leader;
        QString whole; // the label before it is shortened to its room
    };
    std::vector<SliceLabel> sliceLabels_;
    class QCategoryAxis* timeAxis_ = nullptr;
    int markerRows_ = 0; // rows of marker texts along the top or the bottom of a time line's plot
    // Per series of a time line: the series that draws its points (none for a hidden one).
    std::vector<class QScatterSeries*> timePoints_;
    struct MarkerItems {
        class QGraphicsLineItem* line;
        class QGraphicsSimpleTextItem* text;
        double x;
        int row = 0; // of the marker texts, counted from the plot's edge
    };
    std::vector<MarkerItems> markerItems_;
};
