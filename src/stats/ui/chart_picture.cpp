#include "stats/ui/chart_picture.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <algorithm>

#include "report/whole_file.h"
#include "stats/ui/chart_view.h"

std::optional<PictureFormat> PictureFormatOf(const QString& fileName) {
    const QString lower = fileName.toLower();
    if (lower.endsWith(QStringLiteral(".png"))) {
        return PictureFormat::Png;
    }
    if (lower.endsWith(QStringLiteral(".svg"))) {
        return PictureFormat::Svg;
    }
    if (lower.endsWith(QStringLiteral(".pdf"))) {
        return PictureFormat::Pdf;
    }
    return std::nullopt;
}

void PaintChart(QPainter& painter, const ornexa::ChartModel& model, const QRectF& target) {
    ChartView view;
    view.SetTheme(ChartTheme::Light); // paper is light whatever the screen
    // The figures stay in the user's locale (the view's own), as the window shows them.
    view.setAttribute(Qt::WA_DontShowOnScreen);
    view.resize(720, static_cast<int>(720 * target.height() / std::max(target.width(), 1.0)));
    view.ShowModel(model);
    view.show(); // sizes the chart to the view
    // Lay the axes and labels out now; only layout requests run, nothing the user does.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    view.render(&painter, target, view.viewport()->rect());
}

QImage ChartImage(const ornexa::ChartModel& model, QSize size) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    PaintChart(painter, model, QRectF(QPointF(0, 0), QSizeF(size)));
    painter.end();
    return image;
}

namespace {

QByteArray VectorPicture(const ornexa::ChartModel& model, PictureFormat format, QSize size) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    const QRectF area(QPointF(0, 0), QSizeF(size));
    if (format == PictureFormat::Svg) {
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(size);
        svg.setViewBox(area);
        svg.setTitle(QString::fromUtf8(model.title.c_str()));
        QPainter painter(&svg);
        PaintChart(painter, model, area);
    } else {
        QPdfWriter pdf(&buffer);
        pdf.setResolution(96);
        pdf.setPageSize(QPageSize(QSizeF(size) * 72.0 / 96.0, QPageSize::Point));
        pdf.setPageMargins({});
        pdf.setTitle(QString::fromUtf8(model.title.c_str()));
        QPainter painter(&pdf);
        PaintChart(painter, model, QRectF(QPointF(0, 0), QSizeF(painter.viewport().size())));
    }
    return buffer.data();
}

} // namespace

std::optional<std::string> WriteChartPicture(const ornexa::ChartModel& model, const QString& path, PictureFormat format,
                                             QSize size) {
    QByteArray bytes;
    if (format == PictureFormat::Png) {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        if (!ChartImage(model, size).save(&buffer, "PNG")) {
            return "the picture could not be encoded";
        }
    } else {
        bytes = VectorPicture(model, format, size);
    }
    return ornexa::WriteFileWhole(path.toStdString(), bytes.toStdString());
}
