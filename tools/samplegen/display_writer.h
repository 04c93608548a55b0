#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "display/display_model.h"

namespace ornexa::samplegen {

// How the display output reaches the file: a SYSLOG extract (every line behind the hardcopy log's
// columns), the SYSTSPRT of a batch DSN job, or lines copied from a console screen.
enum class DisplayForm { Syslog, Batch, Screen };

// Where the SYSLOG columns stand, counted from 0. A continuation line of a multi-line message leaves
// the columns from 1 up to the job id blank and holds the message's multi-line id, right-aligned, in
// the job id's columns.
struct SyslogColumns {
    static constexpr std::size_t RecordType = 0;  // 'N' one line, 'M' first of several, 'D' data, 'E' last
    static constexpr std::size_t RequestType = 1; // 'C' for a command as entered, blank otherwise
    static constexpr std::size_t Routing = 2;     // 7 hex digits
    static constexpr std::size_t System = 10;     // 8 characters, left-aligned
    static constexpr std::size_t Date = 19;       // yyddd
    static constexpr std::size_t Time = 25;       // hh:mm:ss.th
    static constexpr std::size_t JobId = 37;      // 8 characters; the multi-line id on continuation lines
    static constexpr std::size_t Flags = 46;      // 8 hex digits
    static constexpr std::size_t Text = 56;
};

struct DisplaySampleOptions {
    DisplayForm form = DisplayForm::Syslog;
    int series = 1;          // displays of each subsystem
    int minutes = 15;        // between one display and the next
    bool cumulative = false; // DETAIL(*): DSNB410I and counters since the pool's start
    bool simulate = false;   // some pools run a simulated pool (DSNB431I, DSNB432I)
    bool groupPools = false; // a -DISPLAY GROUPBUFFERPOOL GDETAIL(INTERVAL) after each display
    int pools = 8;           // BP0, BP1, ... then BP8K0, BP16K0, BP32K, at most 80
    int dataSetsPerPool = 4; // LSTATS data sets of each pool (on average)
    std::vector<std::string> subsystems = {"DB2A"};
    std::string system = "SYSA";
    std::string start = "2026-12-08 08:00:00"; // the first display, "yyyy-mm-dd hh:mm:ss"
    std::uint32_t seed = 1;
    // With cumulative counters: Db2 restarts after this display (1 is the first), so the next one
    // counts from zero again with a new SINCE.
    std::optional<int> restartAfter;
};

// The lines of the displays, as Db2 writes them.
std::string WriteDisplaySample(const DisplaySampleOptions& options);

// The same lines to a stream, a buffer at a time, for files of several gigabytes. With `written`,
// also the figures of every display as a reader should find them, in file order.
void WriteDisplaySample(const DisplaySampleOptions& options, std::ostream& out,
                        std::vector<Db2Display>* written = nullptr);

// The figures `WriteDisplaySample` writes for these options.
std::vector<Db2Display> DisplaySampleFigures(const DisplaySampleOptions& options);

// The number of pools the generator knows names for, and the name of pool `index` (from 0).
inline constexpr int DisplayPoolNames = 80;
std::string DisplayPoolName(int index);

// `text` (ASCII) in EBCDIC code page 037 or 1047, converted by iconv, each line end the EBCDIC new line
// (0x15) as z/OS UNIX files end their lines; and back.
enum class EbcdicPage { Cp037, Cp1047 };
std::string ToEbcdic(std::string_view text, EbcdicPage page);
std::string FromEbcdic(std::string_view bytes, EbcdicPage page);

} // namespace ornexa::samplegen
