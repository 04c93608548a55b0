#include "app/pdf_export.h"

#include <iostream>

#include "print/ui/page_painter.h"
#include "report/stat_reader.h"
#include "report/whole_file.h"
#include "session/report_pages.h"
#include "simulation/sim_reader.h"

namespace {

void Tell(const ornexa::Messages& messages) {
    for (const ornexa::Message& message : messages) {
        std::cerr << (message.title.empty() ? "ornexa" : message.title) << ": " << message.text << '\n';
    }
}

} // namespace

int ExportPdf(const PdfExportRequest& request) {
    // A folder, a device node or a pipe named as the output is a wrong argument, told before any work.
    if (const auto refusal = ornexa::ReplacementRefusal(request.output.toStdString())) {
        std::cerr << "ornexa: " << request.output.toStdString() << " not written: " << *refusal << '\n';
        return 2;
    }
    ornexa::Report report;
    ornexa::SimulationData sim;
    const ornexa::StatReadResult read = ornexa::ReadStatisticsFile(report, request.statistics.toStdString(), {},
                                                                   ornexa::FileKinds::Any, request.limits);
    if (!read.Loaded()) {
        Tell(ornexa::MessagesOf(read));
        return 1;
    }
    if (!request.simulation.isEmpty()) {
        const ornexa::SimReadResult simRead = ornexa::ReadSimulationFile(report, sim, request.simulation.toStdString());
        Tell(ornexa::MessagesOf(simRead));
        if (!simRead.Loaded()) {
            return 1;
        }
    }
    ornexa::ReportPagesRequest pages;
    for (const QString& pool : request.pools) {
        pages.pools.push_back(pool.toStdString());
    }
    pages.graphType = request.graphType;
    pages.thresholdFolder = request.thresholdFolder;
    const ornexa::ReportPages all = ornexa::AllReportPages(report, sim, pages);
    if (!all.unknown.empty()) {
        for (const std::string& name : all.unknown) {
            std::cerr << "ornexa: the report has no pool named " << name << '\n';
        }
        return 2;
    }
    if (const auto failure = WritePdf(all.printed, request.output)) {
        std::cerr << "ornexa: " << request.output.toStdString() << " not written: " << *failure << '\n';
        return 1;
    }
    std::cout << request.output.toStdString() << ": " << all.printed.pages.size() << " pages\n";
    return 0;
}
