#pragma once

#include <filesystem>

namespace ornexa::samplegen {

// Seeds for the fuzz targets, one folder each under `folder`: "statistics" (the samples in every
// line end and country, the largest report cut into pieces that each start as a report does, and
// every malformed kind the readers refuse), "simulation" (the sample and each refusal of the
// Simulation reader), "threshold" (threshold file texts) and "display" (Db2's display output).
void WriteFuzzCorpus(const std::filesystem::path& folder);

} // namespace ornexa::samplegen
