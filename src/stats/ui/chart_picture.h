#pragma once

#include <QImage>
#include <QRectF>
#include <QSize>
#include <QString>
#include <optional>
#include <string>

#include "stats/chart_model.h"

class QPainter;

// A chart as a picture of its own, drawn again from its ChartModel in the light theme whatever the
// screen shows, with the figures in the user's locale: for printing, the clipboard and files.
enum class PictureFormat { Png, Svg, Pdf };

inline constexpr QSize DefaultPictureSize{1600, 1000};

// The format a file name asks for by its extension, any case; none for another extension.
std::optional<PictureFormat> PictureFormatOf(const QString& fileName);

// Draws `model` into `target` of `painter`, as vectors where the device keeps them.
void PaintChart(QPainter& painter, const ornexa::ChartModel& model, const QRectF& target);

// The chart as an image of `size` pixels on a white ground.
QImage ChartImage(const ornexa::ChartModel& model, QSize size = DefaultPictureSize);

// Writes the chart to `path` in `format`, whole or not at all: PNG at `size` pixels, SVG and PDF as
// vectors of that size. Returns the reason when it could not.
std::optional<std::string> WriteChartPicture(const ornexa::ChartModel& model, const QString& path, PictureFormat format,
                                             QSize size = DefaultPictureSize);
