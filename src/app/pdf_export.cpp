#include "app/pdf_export.h"

#include <iostream>

#include "load/report_load.h"
#include "print/ui/page_painter.h"
#include "report/whole_file.h"
#include "session/report_pages.h"

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
    ornexa::LoadRequest load;
    load.statistics = std::filesystem::path(request.statistics.toStdString());
    if (!request.simulation.isEmpty()) {
        load.simulation = request.simulation.toStdString();
    }
    load.limits = request.limits;
    load.onSimulationFailure = ornexa::SimulationFailure::FailsTheLoad;
    const ornexa::LoadedReport loaded = ornexa::LoadReport(load);
    const ornexa::Report& report = loaded.report;
    const ornexa::SimulationData& sim = loaded.sim;
    // A Statistics report that loaded says nothing here; the Simulation read tells all it found.
    Tell(loaded.outcome.statRead.Loaded() ? loaded.outcome.simMessages : loaded.outcome.statMessages);
    if (!loaded.outcome.Loaded()) {
        return 1;
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
