#pragma once

#include <QString>
#include <optional>
#include <string>

#include "print/printed_report.h"

class QPagedPaintDevice;

// Lays the pages of `report` out on `device` (a printer, a preview, a PDF writer), one device page
// per printed page, measured in inches from the device's resolution so any page size fits, with
// "Page i of N" at the foot. Charts are drawn as vectors from their ChartModel, in the light theme.
// Returns the reason when the device could not be painted on.
std::optional<std::string> PaintReport(const ornexa::PrintedReport& report, QPagedPaintDevice& device);

// The pages as a Letter-size PDF file at `path`, written whole or not at all.
std::optional<std::string> WritePdf(const ornexa::PrintedReport& report, const QString& path);
