// ornexa-samplegen: writes the bundled sample reports and the largest accepted report.
#include <iostream>
#include <string>

#include <CLI/CLI.hpp>

#include "fuzz_corpus.h"
#include "large_site.h"
#include "sample_report.h"
#include "sim_writer.h"
#include "stat_writer.h"

namespace {

int Run(int argc, char** argv) {
    using namespace ornexa::samplegen;
    CLI::App app{"Writes Statistics reports at their columns: the bundled samples and the largest accepted report"};
    std::string usa;
    std::string nonUsa;
    std::string largest;
    std::string simulation;
    std::string country = "DEU";
    std::uint64_t seed = SampleSeed;
    std::string simPool = "BP1";
    std::string largestSimulation;
    std::string fuzzCorpus;
    std::string large;
    std::string largeSimulation;
    int largePools = LargeSitePools;
    int largeObjects = 500'000;
    app.add_option("--usa", usa, "write the sample as a USA report to this file");
    app.add_option("--non-usa", nonUsa, "write the sample with decimal commas to this file");
    app.add_option("--country", country, "country code of the --non-usa report");
    app.add_option("--simulation", simulation, "write the Simulation report of the sample's pool BP1 to this file");
    app.add_option("--largest", largest, "write a report of 60 pools and 5000 objects to this file");
    app.add_option("--seed", seed, "other figures for the same pools in --usa, --non-usa and --simulation")
        ->capture_default_str();
    app.add_option("--sim-pool", simPool, "the pool that --simulation and --largest-simulation simulate")
        ->capture_default_str();
    app.add_option("--largest-simulation", largestSimulation,
                   "write a Simulation report of a pool of the --largest report to this file");
    app.add_option("--large", large,
                   "write a large site's report to this file (read it with --max-pools and --max-objects)");
    app.add_option("--large-simulation", largeSimulation,
                   "write a Simulation report of the --sim-pool pool of the --large report "
                   "(BP17 holds the most objects) to this file");
    app.add_option("--pools", largePools, "pools of the --large report, 1 to 80")
        ->capture_default_str()
        ->check(CLI::Range(1, LargeSitePools));
    app.add_option("--objects", largeObjects, "objects of the --large report, spread unevenly over its pools")
        ->capture_default_str()
        ->check(CLI::Range(0, ornexa::ReportLimits::MostObjects));
    app.add_option("--fuzz-corpus", fuzzCorpus, "write the seed corpus of the fuzz targets into this folder");
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return app.exit(e) == 0 ? 0 : 2;
    }
    try {
        // The bundled samples are the defaults; another seed or pool varies them.
        const bool bundled = seed == SampleSeed && simPool == "BP1";
        if (!usa.empty()) {
            WriteTextFile(usa, StatisticsText(BuildSampleReport(seed)));
        }
        if (!nonUsa.empty()) {
            StatFileOptions options;
            options.country = country;
            WriteTextFile(nonUsa, StatisticsText(BuildSampleReport(seed), options));
        }
        if (!simulation.empty()) {
            const SimSample sample =
                bundled ? BuildSampleSimulation() : BuildSimulation(BuildSampleReport(seed), simPool, seed + 1);
            WriteTextFile(simulation, SimulationText(sample.report, sample.sim, sample.pool, sample.objects));
        }
        if (!largestSimulation.empty()) {
            const SimSample sample = BuildSimulation(BuildLargestReport(), simPool, seed + 2);
            WriteTextFile(largestSimulation, SimulationText(sample.report, sample.sim, sample.pool, sample.objects));
        }
        if (!fuzzCorpus.empty()) {
            WriteFuzzCorpus(fuzzCorpus);
        }
        const std::uint64_t largeSeed = seed == SampleSeed ? 80 : seed;
        if (!large.empty()) {
            WriteLargeReport(large, largePools, largeObjects, largeSeed);
        }
        if (!largeSimulation.empty()) {
            const SimSample sample =
                BuildSimulation(BuildLargeReport(largePools, largeObjects, largeSeed), simPool, largeSeed + 1);
            WriteTextFile(largeSimulation, SimulationText(sample.report, sample.sim, sample.pool, sample.objects));
        }
        if (!largest.empty()) {
            StatFileOptions options;
            options.decorate = false;
            WriteTextFile(largest, StatisticsText(BuildLargestReport(), options));
        }
    } catch (const std::exception& e) {
        std::cerr << "ornexa-samplegen: " << e.what() << '\n';
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    try {
        return Run(argc, argv);
    } catch (const std::exception& e) {
        std::cerr << "ornexa-samplegen: " << e.what() << '\n';
        return 1;
    }
}
