#pragma once

#include <array>
#include <cstdio>
#include <string>
#include <sys/wait.h>

namespace ornexa::test {

struct Outcome {
    int exitCode = -1;
    std::string out;
};

// Runs ornexa-report as a user does; standard error joins the output when `withErrors`.
inline Outcome RunReport(const std::string& arguments, bool withErrors = false) {
    const std::string command =
        std::string(ORNEXA_REPORT_EXE) + " " + arguments + (withErrors ? " 2>&1" : " 2>/dev/null");
    Outcome run;
    if (FILE* pipe = popen(command.c_str(), "r")) { // NOLINT(cert-env33-c): runs our own program
        std::array<char, 256> buffer{};
        while (std::fgets(buffer.data(), static_cast<int>(buffer.size()), pipe) != nullptr) {
            run.out += buffer.data();
        }
        const int status = pclose(pipe);
        run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    return run;
}

} // namespace ornexa::test
