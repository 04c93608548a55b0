#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

#include <nlohmann/json.hpp>

#include "stat_fixture.h"

namespace ornexa {
namespace {

const std::string Sample = std::string(ORNEXA_SAMPLES_DIR) + "/statistics-usa.sta";
const std::string SimSample = std::string(ORNEXA_SAMPLES_DIR) + "/simulation-bp1.sim";

struct Outcome {
    int exitCode = -1;
    std::string out;
    std::string err;
};

std::string ReadWhole(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// ornexa-report as a user runs it, its standard output and standard error apart.
Outcome RunReport(const std::string& arguments) {
    const test::TempDir dir;
    const auto errors = dir.Path() / "stderr";
    const std::string command = std::string(ORNEXA_REPORT_EXE) + " " + arguments + " 2>" + errors.string();
    Outcome run;
    if (FILE* pipe = popen(command.c_str(), "r")) { // NOLINT(cert-env33-c): runs our own program
        std::array<char, 4096> buffer{};
        std::size_t n = 0;
        while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) {
            run.out.append(buffer.data(), n);
        }
        const int status = pclose(pipe);
        run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    run.err = ReadWhole(errors);
    return run;
}

bool Holds(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST(FaultMessages, ARefusedRegroupTargetIsNamedWithItsReasonWhateverTheOutput) {
    const std::string regroup = Sample + " --sim " + SimSample + " --regroup 'BP20;X,BP21,BP8K1'";
    for (const char* output : {"", " --commands", " --json"}) {
        SCOPED_TRACE(output);
        const Outcome run = RunReport(regroup + output);
        EXPECT_EQ(run.exitCode, 1); // an export failed, as the exit codes say
        EXPECT_TRUE(Holds(run.err, "ornexa-report: --regroup: cluster 1 is not moved: \"BP20;X\" is not a "
                                   "buffer-pool name\n"))
            << run.err;
        EXPECT_TRUE(Holds(run.err, "ornexa-report: --regroup: cluster 3 is not moved: BP8K1 has pages of 8 KB, the "
                                   "objects of BP1 pages of 4 KB\n"))
            << run.err;
        EXPECT_FALSE(Holds(run.err, "cluster 2")) << run.err; // BP21 takes its cluster
    }
    // The targets taken tell nothing and the run succeeds.
    const Outcome taken = RunReport(Sample + " --sim " + SimSample + " --commands --regroup ,");
    EXPECT_EQ(taken.exitCode, 0);
    EXPECT_FALSE(Holds(taken.err, "--regroup")) << taken.err;
    // A target given with a terminal's control characters is shown escaped.
    const Outcome escaped =
        RunReport(Sample + " --sim " + SimSample + " --commands --regroup \"$(printf 'BP\\033[2J')\"");
    EXPECT_EQ(escaped.exitCode, 1);
    EXPECT_TRUE(Holds(escaped.err, "cluster 1 is not moved: \"BP\\x1b[2J\" is not a buffer-pool name")) << escaped.err;
    EXPECT_FALSE(Holds(escaped.err, "\x1b")) << escaped.err;
}

TEST(FaultMessages, ATrendNamesItsPoolInAnyCaseAndFailsWhenNoReportHoldsIt) {
    const test::TempDir dir;
    const std::string history = "--history " + (dir.Path() / "h.db").string();
    ASSERT_EQ(RunReport(history + " --import " + Sample).exitCode, 0);
    const Outcome upper = RunReport(history + " --trend --pool BP1 --json");
    ASSERT_EQ(upper.exitCode, 0) << upper.err;
    for (const char* asked : {"bp1", "Bp1", "' bp1 '"}) {
        SCOPED_TRACE(asked);
        const Outcome run = RunReport(history + " --trend --pool " + asked + " --json");
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(nlohmann::json::parse(run.out)["points"], nlohmann::json::parse(upper.out)["points"]);
        EXPECT_EQ(nlohmann::json::parse(run.out)["points"].size(), 1U);
    }
    for (const char* format : {"", " --json", " --csv"}) {
        SCOPED_TRACE(format);
        const Outcome none = RunReport(history + " --trend --pool BP99" + format);
        EXPECT_EQ(none.exitCode, 1);
        EXPECT_EQ(none.err, "ornexa-report: no report of the history holds a pool named BP99\n");
    }
}

// The text report's object section, its lines after the "  Objects: N" line of `pool`.
std::vector<std::string> ObjectLines(const std::string& text, const std::string& pool) {
    std::istringstream in(text);
    std::vector<std::string> lines;
    std::string line;
    bool inPool = false;
    bool inObjects = false;
    while (std::getline(in, line)) {
        if (!line.starts_with(' ') && !line.empty()) {
            inPool = Holds(line, pool);
            inObjects = false;
        } else if (inPool && line.starts_with("  Objects: ")) {
            inObjects = true;
            lines.push_back(line);
        } else if (inObjects && line.starts_with("    ")) {
            lines.push_back(line);
        } else {
            inObjects = false;
        }
    }
    return lines;
}

TEST(FaultMessages, TheTextReportListsTheObjectsOfEachPoolWithObjects) {
    const Outcome without = RunReport(Sample + " --pool BP2");
    EXPECT_FALSE(Holds(without.out, "  Objects: ")) << without.out;

    const Outcome run = RunReport(Sample + " --pool BP2 --objects");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const auto json = nlohmann::json::parse(RunReport(Sample + " --pool BP2 --objects --json").out);
    const auto& objects = json["analysis"][0]["objects"];
    ASSERT_FALSE(objects.empty());

    const std::vector<std::string> lines = ObjectLines(run.out, "BP2");
    ASSERT_EQ(lines.size(), objects.size() + 2) << run.out;
    EXPECT_EQ(lines[0], "  Objects: " + std::to_string(objects.size()));
    EXPECT_TRUE(lines[1].starts_with("    Number  Object")) << lines[1];
    EXPECT_TRUE(lines[1].ends_with("Pages / Write")) << lines[1];
    // A row per object, as the document lists them: number, name, type and the twelve figures, every
    // column ending where its caption ends (the names begin where theirs begins).
    const std::size_t nameColumn = lines[1].find("Object");
    for (std::size_t i = 0; i < objects.size(); ++i) {
        const auto& object = objects[i];
        const std::string& line = lines[i + 2];
        SCOPED_TRACE(line);
        std::istringstream cells(line);
        std::string number;
        std::string name;
        std::string type;
        cells >> number >> name >> type;
        EXPECT_EQ(number, std::to_string(object["number"].get<int>()));
        EXPECT_EQ(name, object["name"].get<std::string>());
        EXPECT_EQ(line.find(name), nameColumn);
        EXPECT_EQ(type, object["type"].get<std::string>());
        for (const auto& detail : object["details"]) {
            std::string figure;
            cells >> figure;
            std::string expected = detail.get<std::string>();
            expected.erase(0, expected.find_first_not_of(' '));
            EXPECT_EQ(figure, expected);
        }
        EXPECT_EQ(line.size(), lines[1].size());
    }
}

TEST(FaultMessages, ObjectNamesOfTheTextListAreEscapedAndStayInTheirColumn) {
    const test::TempDir dir;
    std::string text = ReadWhole(Sample);
    // An object name of BP2 with an escape sequence, and one with a Latin-1 letter (two bytes once
    // shown as UTF-8, one column).
    const std::size_t first = text.find("LEDGER.IX2N10");
    ASSERT_NE(first, std::string::npos);
    text.replace(first, 13, "LEDGER.\x1b[2J10");
    const std::size_t second = text.find("LEDGER.IX2N11");
    ASSERT_NE(second, std::string::npos);
    text.replace(second, 13, "LEDGER.IX2N\xc4\x31");
    const auto file = dir.Write("names.sta", text);
    const Outcome run = RunReport(file.string() + " --pool BP2 --objects");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_FALSE(Holds(run.out, "\x1b")) << "a raw escape reached the terminal";
    const std::vector<std::string> lines = ObjectLines(run.out, "BP2");
    ASSERT_GT(lines.size(), 2U);
    const std::size_t typeColumn = lines[1].find("Type");
    bool escaped = false;
    bool latin1 = false;
    for (const std::string& line : lines) {
        escaped = escaped || Holds(line, "LEDGER.\\x1b[2J10");
        if (Holds(line, "LEDGER.IX2N\xc3\x84\x31")) {
            latin1 = true;
            // The letter is two bytes and one character: the type stands one byte further right.
            EXPECT_EQ(line.find(" I ") + 1, typeColumn + 1) << line;
        }
    }
    EXPECT_TRUE(escaped) << run.out;
    EXPECT_TRUE(latin1) << run.out;
}

} // namespace
} // namespace ornexa
