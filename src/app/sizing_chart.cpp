#include "app/sizing_chart.h"

#include <QLocale>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "stats/ui/display_text.h"

namespace {

QColor EvidenceColour(ornexa::SizingEvidence evidence) {
    switch (evidence) {
    case ornexa::SizingEvidence::Measured:
        return {0x1f, 0x77, 0xb4};
    case ornexa::SizingEvidence::Simulation:
        return {0x2c, 0xa0, 0x2c};
    case ornexa::SizingEvidence::Db2Simulated:
        return {0x17, 0xbe, 0xcf};
    case ornexa::SizingEvidence::History:
        return {0x94, 0x67, 0xbd};
    case ornexa::SizingEvidence::Estimate:
        return {0xff, 0x7f, 0x0e};
    }
    return Qt::gray;
}

// A round step of about a fifth of `span`.
double NiceStep(double span) {
    if (span <= 0) {
        return 1;
    }
    const double raw = span / 5;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double factor : {1.0, 2.0, 5.0}) {
        if (raw <= factor * power) {
            return factor * power;
        }
    }
    return 10 * power;
}

} // namespace

SizingChart::SizingChart(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("chtPoolSizing"));
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
}

void SizingChart::SetData(ornexa::SizingChartData chart) {
    data_ = std::move(chart);
    update();
}

void SizingChart::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QLocale locale;
    const QFontMetrics metrics = fontMetrics();
    const QColor text = palette().color(QPalette::Text);
    const int line = metrics.height();
    painter.setPen(text);
    const QString title =
        data_.poolName.empty()
            ? tr("No pool chosen")
            : tr("%1: synchronous read I/O per second by size").arg(QString::fromStdString(data_.poolName));
    painter.drawText(QRect(0, 4, width(), line), Qt::AlignHCenter, title);
    if (data_.points.empty()) {
        const QString why = data_.leftAlone.empty() ? tr("No curve") : QString::fromStdString(data_.leftAlone);
        painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap, why);
        return;
    }

    // The range: every point and both marks, from 0 reads up.
    auto xLow = static_cast<double>(data_.currentBuffers);
    double xHigh = xLow;
    double yHigh = 0;
    for (const ornexa::SizingPoint& point : data_.points) {
        xLow = std::min(xLow, static_cast<double>(point.buffers));
        xHigh = std::max(xHigh, static_cast<double>(point.buffers));
        yHigh = std::max(yHigh, point.syncReadsPerSecond);
    }
    if (data_.proposedBuffers) {
        xLow = std::min(xLow, static_cast<double>(*data_.proposedBuffers));
        xHigh = std::max(xHigh, static_cast<double>(*data_.proposedBuffers));
    }
    const double xStep = NiceStep(xHigh - xLow);
    xLow = std::floor(xLow / xStep) * xStep;
    xHigh = std::max(std::ceil(xHigh / xStep) * xStep, xLow + xStep);
    const double yStep = NiceStep(yHigh);
    yHigh = std::max(std::ceil(yHigh / yStep) * yStep, yStep);
    const int yDecimals = yStep < 1 ? static_cast<int>(std::ceil(-std::log10(yStep))) : 0;

    const int left = metrics.horizontalAdvance(locale.toString(yHigh, 'f', yDecimals)) + 12;
    // Room on the right for half the last size's number, centred under its grid line.
    const int right = metrics.horizontalAdvance(locale.toString(static_cast<qlonglong>(std::llround(xHigh)))) / 2 + 8;
    const QRect plot(left, 2 * line + 8, width() - left - right, height() - 5 * line - 16);
    if (plot.width() < 40 || plot.height() < 40) {
        return;
    }
    const auto xAt = [&](double x) { return plot.left() + (x - xLow) / (xHigh - xLow) * plot.width(); };
    const auto yAt = [&](double y) { return plot.bottom() - y / yHigh * plot.height(); };

    // Axes, grid and their numbers.
    const QColor grid = palette().color(QPalette::Mid);
    for (double x = xLow; x <= xHigh + xStep / 2; x += xStep) {
        painter.setPen(QPen(grid, 0, Qt::DotLine));
        painter.drawLine(QPointF(xAt(x), plot.top()), QPointF(xAt(x), plot.bottom()));
        painter.setPen(text);
        const QString label = locale.toString(static_cast<qlonglong>(std::llround(x)));
        painter.drawText(QRectF(xAt(x) - 60, plot.bottom() + 2, 120, line), Qt::AlignHCenter, label);
    }
    for (double y = 0; y <= yHigh + yStep / 2; y += yStep) {
        painter.setPen(QPen(grid, 0, Qt::DotLine));
        painter.drawLine(QPointF(plot.left(), yAt(y)), QPointF(plot.right(), yAt(y)));
        painter.setPen(text);
        painter.drawText(QRectF(0, yAt(y) - line / 2.0, left - 6, line), Qt::AlignRight | Qt::AlignVCenter,
                         locale.toString(y, 'f', yDecimals));
    }
    painter.setPen(text);
    painter.drawRect(plot);
    painter.drawText(QRect(plot.left(), plot.bottom() + line + 2, plot.width(), line), Qt::AlignHCenter,
                     data_.pageSizeKb > 0 ? tr("Buffers (%1 KB pages)").arg(data_.pageSizeKb) : tr("Buffers"));

    // The marks of the current and the proposed size.
    // Each label beside its line, on the left where the right has no room; the second a line lower.
    const auto mark = [&](std::int64_t buffers, const QColor& colour, Qt::PenStyle style, const QString& label,
                          int row) {
        painter.setPen(QPen(colour, 1.5, style));
        const double x = xAt(static_cast<double>(buffers));
        painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
        const int labelWidth = metrics.horizontalAdvance(label);
        const double labelX = x + 3 + labelWidth > plot.right() ? x - 3 - labelWidth : x + 3;
        painter.drawText(QPointF(labelX, plot.top() + line * row), label);
    };
    mark(data_.currentBuffers, text, Qt::SolidLine, tr("current"), 1);
    if (data_.proposedBuffers) {
        mark(*data_.proposedBuffers, QColor(0xc0, 0x39, 0x2b), Qt::DashLine, tr("proposed"), 2);
    }

    // The line through the points: dashed where it runs to or from an estimate.
    for (std::size_t i = 1; i < data_.points.size(); ++i) {
        const ornexa::SizingPoint& a = data_.points[i - 1];
        const ornexa::SizingPoint& b = data_.points[i];
        const bool estimated =
            a.evidence == ornexa::SizingEvidence::Estimate || b.evidence == ornexa::SizingEvidence::Estimate;
        painter.setPen(QPen(grid.darker(130), 1.2, estimated ? Qt::DashLine : Qt::SolidLine));
        painter.drawLine(QPointF(xAt(static_cast<double>(a.buffers)), yAt(a.syncReadsPerSecond)),
                         QPointF(xAt(static_cast<double>(b.buffers)), yAt(b.syncReadsPerSecond)));
    }
    const double radius = std::max(3.5, line / 4.0);
    for (const ornexa::SizingPoint& point : data_.points) {
        const QPointF at(xAt(static_cast<double>(point.buffers)), yAt(point.syncReadsPerSecond));
        const QColor colour = EvidenceColour(point.evidence);
        painter.setPen(QPen(colour, 2));
        painter.setBrush(point.evidence == ornexa::SizingEvidence::Estimate ? QBrush(Qt::NoBrush) : QBrush(colour));
        painter.drawEllipse(at, radius, radius);
        if (point.rises) {
            painter.setPen(QPen(QColor(0xc0, 0x39, 0x2b), 1.5));
            painter.setBrush(Qt::NoBrush);
            painter.drawEllipse(at, radius * 2, radius * 2);
        }
    }

    // The legend, in one row below the axis caption.
    int x = plot.left();
    const int y = plot.bottom() + 2 * line + 8;
    painter.setBrush(Qt::NoBrush);
    for (std::size_t e = 0; e < ornexa::SizingEvidenceCount; ++e) {
        const auto evidence = static_cast<ornexa::SizingEvidence>(e);
        const QColor colour = EvidenceColour(evidence);
        painter.setPen(QPen(colour, 2));
        painter.setBrush(evidence == ornexa::SizingEvidence::Estimate ? QBrush(Qt::NoBrush) : QBrush(colour));
        painter.drawEllipse(QPointF(x + radius, y + line / 2.0), radius, radius);
        painter.setPen(text);
        const QString name = ornexa::ui::DisplayText(ornexa::SizingEvidenceText(evidence));
        painter.drawText(QPointF(x + 2 * radius + 4, y + metrics.ascent()), name);
        x += static_cast<int>(2 * radius) + 4 + metrics.horizontalAdvance(name) + 14;
    }
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(0xc0, 0x39, 0x2b), 1.5));
    painter.drawEllipse(QPointF(x + radius, y + line / 2.0), radius, radius);
    painter.setPen(text);
    painter.drawText(QPointF(x + 2 * radius + 4, y + metrics.ascent()), tr("reads more than a smaller size"));
}
