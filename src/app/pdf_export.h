#pragma once

#include <QString>
#include <QStringList>
#include <filesystem>

#include "report/report_model.h"

// `ornexa --pdf OUT.pdf STATFILE [--simulation SIMFILE] [--pool NAME]... [--graph N]`: the pages a
// person would print, written without a window. 0 when written, 1 when a report does not load or
// the file cannot be written (the reason on standard error), 2 for wrong arguments (an output that
// names a folder, a device, a pipe or a socket among them: it is left as it is). The file is written
// whole, replacing only a regular file.
struct PdfExportRequest {
    QString output;
    QString statistics;
    QString simulation; // empty: none
    QStringList pools;
    int graphType = 1;
    std::filesystem::path thresholdFolder;
    ornexa::ReportLimits limits;
};
int ExportPdf(const PdfExportRequest& request);
