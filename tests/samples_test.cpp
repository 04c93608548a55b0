#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "report/stat_reader.h"
#include "sample_report.h"
#include "sim_writer.h"
#include "stat_writer.h"

namespace ornexa {
namespace {

std::string FileText(const std::string& name) {
    std::ifstream in(std::string(ORNEXA_SAMPLES_DIR) + "/" + name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The bundled samples are what the generator writes; regenerate them with
// `ornexa-samplegen --usa samples/statistics-usa.sta --non-usa samples/statistics-deu.sta
// --simulation samples/simulation-bp1.sim`.
TEST(Samples, AreTheGeneratorsOutput) {
    const Report sample = samplegen::BuildSampleReport();
    EXPECT_EQ(FileText("statistics-usa.sta"), samplegen::StatisticsText(sample));
    samplegen::StatFileOptions deu;
    deu.country = "DEU";
    EXPECT_EQ(FileText("statistics-deu.sta"), samplegen::StatisticsText(sample, deu));
    const samplegen::SimSample sim = samplegen::BuildSampleSimulation();
    EXPECT_EQ(FileText("simulation-bp1.sim"), samplegen::SimulationText(sim.report, sim.sim, sim.pool, sim.objects));
}

TEST(Samples, CoverThePoolKindsTheViewsDistinguish) {
    const Report sample = samplegen::BuildSampleReport();
    int catalog = 0;
    int special = 0;
    int sortWork = 0;
    for (int o = 1; o <= sample.ObjectCount(); ++o) {
        const auto name = sample.Objects(o).ObjName.Trimmed();
        const auto type = sample.Objects(o).ObjType.Trimmed();
        catalog += name.rfind("DSNDB06.", 0) == 0 ? 1 : 0;
        sortWork += name.rfind("DSNDB07.", 0) == 0 ? 1 : 0;
        special += (type == "*" || type == "U") ? 1 : 0;
    }
    EXPECT_GE(sample.PoolCount(), 8);
    EXPECT_GT(catalog, 0);
    EXPECT_GT(sortWork, 0);
    EXPECT_GT(special, 0);
    EXPECT_GE(sample.ObjectCount(), 200);
    bool hiperpool = false;
    for (int p = 1; p <= sample.PoolCount(); ++p) {
        hiperpool = hiperpool || sample.Pools(p).HPSize > 0;
    }
    EXPECT_TRUE(hiperpool);
}

} // namespace
} // namespace ornexa
