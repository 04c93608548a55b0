#pragma once

#include <QFont>
#include <QString>
#include <optional>
#include <string>

#include "print/printed_report.h"

class QPagedPaintDevice;

// Text on paper is drawn letter by letter, without typographic ligatures ("ff" stays two letters,
// never U+FB00), so that what a reader copies or searches in a printed or exported PDF is the text
// that was drawn. The pages' own texts ask for it through WithoutLigatures; the titles and labels
// of the charts are laid out by QtCharts from the application's font, which only
// DrawApplicationTextWithoutLigatures reaches: the program calls it once at start-up, before any
// window or page is made (on screen it leaves the letters alike, with no kerning).
QFont WithoutLigatures(QFont font);
void DrawApplicationTextWithoutLigatures();

// Lays the pages of `report` out on `device` (a printer, a preview, a PDF writer), one device page
// per printed page, measured in inches from the device's resolution so any page size fits, with
// "Page i of N" at the foot. Charts are drawn as vectors from their ChartModel, in the light theme.
// Returns the reason when the device could not be painted on.
std::optional<std::string> PaintReport(const ornexa::PrintedReport& report, QPagedPaintDevice& device);

// The pages as a Letter-size PDF file at `path`, written whole or not at all.
std::optional<std::string> WritePdf(const ornexa::PrintedReport& report, const QString& path);
