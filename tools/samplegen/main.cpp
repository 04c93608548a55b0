// ornexa-samplegen: writes the bundled sample reports and the largest accepted report.
#include <fstream>
#include <iostream>
#include <string>

#include <CLI/CLI.hpp>

#include "display_writer.h"
#include "fuzz_corpus.h"
#include "large_site.h"
#include "sample_report.h"
#include "sim_writer.h"
#include "stat_writer.h"
#include "year_series.h"

namespace {

using namespace ornexa::samplegen;

// What the command line asks for: an empty path writes nothing.
struct Options {
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
    std::string display;
    bool syslog = false;
    bool batch = false;
    bool screen = false;
    int series = 1;
    int minutes = 15;
    bool simulate = false;
    bool groupPools = false;
    bool cumulative = false;
    int restartAfter = 0;
    int dataSets = 4;
    std::string ebcdic;
    bool displayPoolsGiven = false;
    std::string yearSeries;
    YearSeriesOptions yearSeriesOptions;
};

// Db2's own -DISPLAY BUFFERPOOL output, as SYSLOG, a batch job's SYSTSPRT or a screen copy.
void AddDisplayOptions(CLI::App& app, Options& o) {
    app.add_option("--display", o.display,
                   "write Db2 -DISPLAY BUFFERPOOL DETAIL LSTATS output to this file (--pools of them, 8 unless given)");
    auto* batch = app.add_flag("--batch", o.batch, "--display as the SYSTSPRT of a batch DSN job");
    auto* screen = app.add_flag("--screen", o.screen, "--display as lines copied from a console screen");
    app.add_flag("--syslog", o.syslog, "--display as a SYSLOG extract (the default)")
        ->excludes(batch)
        ->excludes(screen);
    batch->excludes(screen);
    app.add_option("--series", o.series, "displays in --display, one every --minutes")
        ->capture_default_str()
        ->check(CLI::Range(1, 10'000));
    app.add_option("--minutes", o.minutes, "minutes between the displays")
        ->capture_default_str()
        ->check(CLI::Range(1, 1440));
    app.add_flag("--simulate", o.simulate, "some pools of --display simulate a larger pool (DSNB431I, DSNB432I)");
    app.add_flag("--gbp", o.groupPools, "a -DISPLAY GROUPBUFFERPOOL GDETAIL after each display");
    app.add_flag("--cumulative", o.cumulative, "DETAIL(*): counters since the pools started (DSNB410I)");
    app.add_option("--restart-after", o.restartAfter, "with --cumulative, Db2 restarts after this display")
        ->check(CLI::Range(1, 10'000));
    app.add_option("--data-sets", o.dataSets, "LSTATS data sets of each pool of --display, on average")
        ->capture_default_str()
        ->check(CLI::Range(0, 100'000));
    app.add_option("--ebcdic", o.ebcdic, "write --display in EBCDIC, code page 037 or 1047")
        ->check(CLI::IsMember({"037", "1047"}));
}

// A year of 15-minute Statistics reports of one subsystem, one file each.
void AddYearSeriesOptions(CLI::App& app, Options& o) {
    app.add_option("--year-series", o.yearSeries,
                   "write a series of small Statistics reports of one subsystem, one every 15 minutes, into this "
                   "folder (--pools of them, 80 unless given; read 80 pools with --max-pools 80)");
    app.add_option("--intervals", o.yearSeriesOptions.intervals, "reports of --year-series")
        ->capture_default_str()
        ->check(CLI::Range(1, 1'000'000));
    app.add_option("--subsystem", o.yearSeriesOptions.subsystem, "the subsystem of --year-series")
        ->capture_default_str();
    app.add_option("--objects-per-pool", o.yearSeriesOptions.objectsPerPool, "objects of each pool of --year-series")
        ->capture_default_str()
        ->check(CLI::Range(1, 100));
}

void AddOptions(CLI::App& app, Options& o) {
    app.add_option("--usa", o.usa, "write the sample as a USA report to this file");
    app.add_option("--non-usa", o.nonUsa, "write the sample with decimal commas to this file");
    app.add_option("--country", o.country, "country code of the --non-usa report");
    app.add_option("--simulation", o.simulation, "write the Simulation report of the sample's pool BP1 to this file");
    app.add_option("--largest", o.largest, "write a report of 60 pools and 5000 objects to this file");
    app.add_option("--seed", o.seed, "other figures for the same pools in --usa, --non-usa and --simulation")
        ->capture_default_str();
    app.add_option("--sim-pool", o.simPool, "the pool that --simulation and --largest-simulation simulate")
        ->capture_default_str();
    app.add_option("--largest-simulation", o.largestSimulation,
                   "write a Simulation report of a pool of the --largest report to this file");
    app.add_option("--large", o.large,
                   "write a large site's report to this file (read it with --max-pools and --max-objects)");
    app.add_option("--large-simulation", o.largeSimulation,
                   "write a Simulation report of the --sim-pool pool of the --large report "
                   "(BP17 holds the most objects) to this file");
    app.add_option("--pools", o.largePools, "pools of the --large report, of --display and of --year-series, 1 to 80")
        ->capture_default_str()
        ->check(CLI::Range(1, LargeSitePools));
    app.add_option("--objects", o.largeObjects, "objects of the --large report, spread unevenly over its pools")
        ->capture_default_str()
        ->check(CLI::Range(0, ornexa::ReportLimits::MostObjects));
    app.add_option("--fuzz-corpus", o.fuzzCorpus, "write the seed corpus of the fuzz targets into this folder");
    AddDisplayOptions(app, o);
    AddYearSeriesOptions(app, o);
}

void WriteSimulation(const std::string& path, const SimSample& sample) {
    WriteTextFile(path, SimulationText(sample.report, sample.sim, sample.pool, sample.objects));
}

// The bundled samples: the Statistics report in both number styles and its Simulation report.
void WriteSamples(const Options& o) {
    // The bundled samples are the defaults; another seed or pool varies them.
    const bool bundled = o.seed == SampleSeed && o.simPool == "BP1";
    if (!o.usa.empty()) {
        WriteTextFile(o.usa, StatisticsText(BuildSampleReport(o.seed)));
    }
    if (!o.nonUsa.empty()) {
        StatFileOptions options;
        options.country = o.country;
        WriteTextFile(o.nonUsa, StatisticsText(BuildSampleReport(o.seed), options));
    }
    if (!o.simulation.empty()) {
        WriteSimulation(o.simulation, bundled ? BuildSampleSimulation()
                                              : BuildSimulation(BuildSampleReport(o.seed), o.simPool, o.seed + 1));
    }
}

// A large site's report and the Simulation report of one of its pools.
void WriteLargeSite(const Options& o) {
    const std::uint64_t largeSeed = o.seed == SampleSeed ? 80 : o.seed;
    if (!o.large.empty()) {
        WriteLargeReport(o.large, o.largePools, o.largeObjects, largeSeed);
    }
    if (!o.largeSimulation.empty()) {
        WriteSimulation(o.largeSimulation, BuildSimulation(BuildLargeReport(o.largePools, o.largeObjects, largeSeed),
                                                           o.simPool, largeSeed + 1));
    }
}

void WriteDisplay(const Options& o) {
    DisplaySampleOptions options;
    options.form = o.batch ? DisplayForm::Batch : o.screen ? DisplayForm::Screen : DisplayForm::Syslog;
    options.series = o.series;
    options.minutes = o.minutes;
    options.simulate = o.simulate;
    options.groupPools = o.groupPools;
    options.cumulative = o.cumulative;
    if (o.restartAfter > 0) {
        options.restartAfter = o.restartAfter;
    }
    options.pools = o.displayPoolsGiven ? o.largePools : 8;
    options.dataSetsPerPool = o.dataSets;
    options.seed = static_cast<std::uint32_t>(o.seed);
    std::ofstream out(o.display, std::ios::binary);
    if (!out) {
        throw std::runtime_error("cannot write " + o.display);
    }
    if (o.ebcdic.empty()) {
        WriteDisplaySample(options, out);
    } else {
        const std::string text = WriteDisplaySample(options);
        const std::string bytes = ToEbcdic(text, o.ebcdic == "037" ? EbcdicPage::Cp037 : EbcdicPage::Cp1047);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    out.close();
    if (!out) {
        throw std::runtime_error("cannot write " + o.display);
    }
}

void WriteOutputs(const Options& o) {
    WriteSamples(o);
    if (!o.largestSimulation.empty()) {
        WriteSimulation(o.largestSimulation, BuildSimulation(BuildLargestReport(), o.simPool, o.seed + 2));
    }
    if (!o.fuzzCorpus.empty()) {
        WriteFuzzCorpus(o.fuzzCorpus);
    }
    WriteLargeSite(o);
    if (!o.display.empty()) {
        WriteDisplay(o);
    }
    if (!o.yearSeries.empty()) {
        YearSeriesOptions series = o.yearSeriesOptions;
        series.pools = o.displayPoolsGiven ? o.largePools : LargeSitePools;
        if (o.seed != SampleSeed) {
            series.seed = o.seed;
        }
        WriteYearSeries(o.yearSeries, series);
    }
    if (!o.largest.empty()) {
        StatFileOptions options;
        options.decorate = false;
        WriteTextFile(o.largest, StatisticsText(BuildLargestReport(), options));
    }
}

int Run(int argc, char** argv) {
    CLI::App app{"Writes Statistics reports at their columns: the bundled samples and the largest accepted report"};
    Options options;
    AddOptions(app, options);
    try {
        app.parse(argc, argv);
        options.displayPoolsGiven = app.count("--pools") > 0;
    } catch (const CLI::ParseError& e) {
        return app.exit(e) == 0 ? 0 : 2;
    }
    try {
        WriteOutputs(options);
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
