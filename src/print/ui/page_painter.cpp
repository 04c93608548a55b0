#include "print/ui/page_painter.h"

#include <QApplication>
#include <QBuffer>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QStyle>
#include <algorithm>

#include "report/whole_file.h"
#include "stats/ui/chart_picture.h"
#include "stats/ui/display_text.h"

namespace {

QString Latin1(const std::string& text) {
    return ornexa::ui::DisplayText(text);
}

// Positions in inches on the page's printable area.
class PageLayout {
public:
    PageLayout(QPainter& painter, const QRectF& area, double dpi) : painter_(painter), area_(area), dpi_(dpi) {}
    [[nodiscard]] double Inch(double inches) const { return inches * dpi_; }
    [[nodiscard]] double WidthInches() const { return area_.width() / dpi_; }
    [[nodiscard]] double HeightInches() const { return area_.height() / dpi_; }

    void Text(double left, double top, double width, const QString& text, double points, bool bold = false,
              Qt::Alignment align = Qt::AlignLeft) {
        QFont font = painter_.font();
        font.setPointSizeF(points);
        font.setBold(bold);
        painter_.setFont(WithoutLigatures(font));
        const QRectF box(area_.left() + Inch(left), area_.top() + Inch(top), Inch(width), Inch(0.3));
        painter_.drawText(box, static_cast<int>(align | Qt::AlignTop) | Qt::TextSingleLine,
                          painter_.fontMetrics().elidedText(text, Qt::ElideRight, static_cast<int>(box.width())));
    }

    [[nodiscard]] QRectF Box(double left, double top, double width, double height) const {
        return {area_.left() + Inch(left), area_.top() + Inch(top), Inch(width), Inch(height)};
    }

private:
    QPainter& painter_;
    QRectF area_;
    double dpi_;
};

void PaintPage(PageLayout& page, QPainter& painter, const ornexa::PrintedPage& printed, int number, int count) {
    const double width = std::min(page.WidthInches() - 0.5, 7.5);
    page.Text(0.5, 0.2, width, Latin1(printed.title), 16, true);
    page.Text(0.5, 0.6, width, Latin1(printed.subtitle), 12, true);
    page.Text(0.5, 0.85, width, Latin1(printed.subtitle1), 10);
    for (std::size_t i = 0; i < printed.facts.size(); ++i) {
        const double left = 0.5 + 1.75 * static_cast<double>(i);
        page.Text(left, 1.15, 1.5, Latin1(printed.facts[i].caption), 8, true);
        page.Text(left, 1.3, 1.5, Latin1(printed.facts[i].value), 9);
    }
    // The tab's labels: two columns when they are many.
    const std::size_t perColumn = printed.labels.size() > 12 ? (printed.labels.size() + 1) / 2 : 12;
    double bottom = 1.55;
    for (std::size_t i = 0; i < printed.labels.size(); ++i) {
        const double left = 0.5 + (i < perColumn ? 0.0 : 3.75);
        const double top = 1.55 + 0.2 * static_cast<double>(i % perColumn);
        page.Text(left, top, 1.8, Latin1(printed.labels[i].caption), 9);
        page.Text(left + 1.8, top, 1.8, Latin1(printed.labels[i].value), 9, false, Qt::AlignRight);
        bottom = std::max(bottom, top + 0.2);
    }
    const double footer = page.HeightInches() - 0.4;
    if (printed.table) {
        const auto& table = *printed.table;
        const double columns = static_cast<double>(std::max<std::size_t>(table.captions.size(), 1));
        const double first = 2.2;
        const double other = (width - first) / std::max(columns - 1, 1.0);
        double top = bottom + 0.25;
        const auto row = [&](const std::vector<std::string>& cells, bool bold) {
            for (std::size_t c = 0; c < cells.size(); ++c) {
                const double left = 0.5 + (c == 0 ? 0.0 : first + other * static_cast<double>(c - 1));
                page.Text(left, top, c == 0 ? first : other - 0.1, Latin1(cells[c]), 9, bold,
                          c == 0 ? Qt::AlignLeft : Qt::AlignRight);
            }
            top += 0.2;
        };
        row(table.captions, true);
        for (const auto& cells : table.rows) {
            row(cells, false);
        }
    } else if (printed.chart) {
        const double top = bottom + 0.2;
        PaintChart(painter, *printed.chart, page.Box(0.5, top, width, std::max(footer - 0.2 - top, 1.0)));
    }
    page.Text(0.5, footer, width, QStringLiteral("Page %1 of %2").arg(number).arg(count), 8, false, Qt::AlignHCenter);
}

} // namespace

QFont WithoutLigatures(QFont font) {
    // Text without complex script features is then laid out letter by letter: no ligatures (nor kerning).
    font.setStyleStrategy(static_cast<QFont::StyleStrategy>(font.styleStrategy() | QFont::PreferNoShaping));
    return font;
}

void DrawApplicationTextWithoutLigatures() {
    QGuiApplication::setFont(WithoutLigatures(QGuiApplication::font()));
}

std::optional<std::string> PaintReport(const ornexa::PrintedReport& report, QPagedPaintDevice& device) {
    QPainter painter;
    if (!painter.begin(&device)) {
        return std::string("the printer or file could not be opened for painting");
    }
    const int count = static_cast<int>(report.pages.size());
    const double dpi = device.logicalDpiY();
    const QRectF area = device.pageLayout().paintRectPixels(device.logicalDpiX());
    for (int i = 0; i < count; ++i) {
        if (i > 0 && !device.newPage()) {
            painter.end();
            return "page " + std::to_string(i + 1) + " could not be started";
        }
        PageLayout page(painter, QRectF(QPointF(0, 0), area.size()), dpi);
        PaintPage(page, painter, report.pages[static_cast<std::size_t>(i)], i + 1, count);
    }
    if (!painter.end()) {
        return std::string("the pages could not be finished");
    }
    return std::nullopt;
}

std::optional<std::string> WritePdf(const ornexa::PrintedReport& report, const QString& path) {
    const std::string target = path.toStdString();
    if (auto refusal = ornexa::ReplacementRefusal(target)) {
        return refusal;
    }
    // The pages are made in memory and the file is then written as every export is: whole, over a
    // regular file only.
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setPageSize(QPageSize(QPageSize::Letter));
        writer.setPageMargins(QMarginsF(0.25, 0.25, 0.25, 0.25), QPageLayout::Inch);
        writer.setCreator(QStringLiteral("ORNEXA"));
        if (auto failure = PaintReport(report, writer)) {
            return failure;
        }
    }
    return ornexa::WriteFileWhole(target, bytes.toStdString());
}
