#pragma once

#include <iosfwd>
#include <string>

#include "advice/sizing_plan.h"
#include "cli/run_request.h"

namespace ornexa::cli {

// The report a sizing is of, as its outputs name it.
struct SizingContext {
    std::string file;
    std::string system;
    std::string subsystem;
    std::string collectedAt; // "2026-11-30T10:15:00", else the header's texts
};

// The document "ornexa-sizing/1" (docs/sizing-json.md), ended by a line end.
void WriteSizingDocument(std::ostream& out, const SizingRun& run, const SizingContext& context,
                         const SizingRequest& request, const BudgetRequest& budget);

// The same for reading: a header line, a row per pool sized, the pools left alone and why, then the
// commands as a file for the host.
void WriteSizingText(std::ostream& out, const SizingRun& run, const SizingContext& context);

} // namespace ornexa::cli
