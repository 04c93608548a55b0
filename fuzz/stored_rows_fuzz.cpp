// A tampered history: the rows of the bundled sample as stored, with values replaced, rows dropped or
// cut short as the input says. Reading them back either says which row and column are wrong, or gives
// a report whose counts, object ranges and simulated sizes hold, without undefined behaviour on the
// way (huge values, text in numbers, NaN).
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <unistd.h>

#include "fuzz_checks.h"
#include "history/history_store.h"
#include "history/stored_rows.h"
#include "simulation/sim_parameters.h"

namespace {

const ornexa::StoredRows& SampleRows() {
    static const ornexa::StoredRows rows = [] {
        const std::string folder = ORNEXA_SAMPLES_DIR;
        const std::filesystem::path file =
            std::filesystem::temp_directory_path() / ("ornexa-fuzz-" + std::to_string(getpid()) + ".db");
        std::filesystem::remove(file);
        auto opened = ornexa::HistoryStore::Open(file.string());
        if (!opened.Ok()) {
            throw std::runtime_error(opened.FaultText());
        }
        ornexa::HistoryStore& store = **opened.value;
        const ornexa::ImportOutcome outcome =
            ornexa::ImportReportFile(store, folder + "/statistics-usa.sta", folder + "/simulation-bp1.sim");
        if (outcome.status != ornexa::ImportStatus::Imported) {
            throw std::runtime_error("the bundled sample does not import: " + outcome.message);
        }
        ornexa::StoredRows stored = ornexa::QueryStoredRows(store.Database(), outcome.reportId);
        std::filesystem::remove(file);
        return stored;
    }();
    return rows;
}

ornexa::SqlValue AnyValue(FuzzedDataProvider& input) {
    switch (input.ConsumeIntegralInRange(0, 5)) {
    case 0:
        return std::monostate{};
    case 1:
        return input.ConsumeIntegral<std::int64_t>();
    case 2:
        return input.ConsumeIntegralInRange<std::int64_t>(-70'000, 70'000);
    case 3:
        return input.ConsumeFloatingPoint<double>();
    case 4:
        return static_cast<double>(input.ConsumeIntegralInRange(-100, 100));
    default:
        return input.ConsumeRandomLengthString(40);
    }
}

} // namespace

using fuzz::Check;
using fuzz::CheckObjectRanges;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    ornexa::StoredRows rows = SampleRows();
    while (input.remaining_bytes() > 0) {
        std::vector<ornexa::SqlRow>* table = nullptr;
        ornexa::SqlRow* row = &rows.report;
        switch (input.ConsumeIntegralInRange(0, 3)) {
        case 1:
            table = &rows.pools;
            break;
        case 2:
            table = &rows.objects;
            break;
        case 3:
            table = &rows.simulatedSizes;
            break;
        default:
            break;
        }
        if (table != nullptr) {
            if (table->empty()) {
                continue;
            }
            const std::size_t at = input.ConsumeIntegralInRange<std::size_t>(0, table->size() - 1);
            const int action = input.ConsumeIntegralInRange(0, 9);
            if (action == 0) {
                table->erase(table->begin() + static_cast<std::ptrdiff_t>(at));
                continue;
            }
            if (action == 1) {
                table->push_back((*table)[at]);
                continue;
            }
            row = &(*table)[at];
        }
        if (row->empty()) {
            continue;
        }
        if (input.ConsumeIntegralInRange(0, 15) == 0) {
            row->resize(input.ConsumeIntegralInRange<std::size_t>(0, row->size() + 1));
            continue;
        }
        (*row)[input.ConsumeIntegralInRange<std::size_t>(0, row->size() - 1)] = AnyValue(input);
    }

    ornexa::StoredReport stored;
    try {
        stored = ornexa::ReportFromRows(rows);
    } catch (const ornexa::SqlError&) {
        return 0; // said, with the row and the column
    }
    const ornexa::Report& report = stored.report;
    Check(report.PoolCount() == stored.info.pools && report.ObjectCount() == stored.info.objects,
          "the counts of the report row are the rows read");
    CheckObjectRanges(report);
    for (const ornexa::SimulatedSize& simulated : stored.simulatedSizes) {
        Check(report.HasPool(simulated.pool) && simulated.size >= 1 && simulated.size <= ornexa::MaxSimSizes,
              "simulated sizes name a pool of the report and a size of the table");
    }
    Check(stored.info.elapsedSeconds >= 0, "no negative elapsed time");
    return 0;
}
