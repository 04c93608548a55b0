#include "history/stored_db2_facts.h"

#include <array>
#include <charconv>
#include <cstdio>
#include <type_traits>
#include <variant>
#include <vector>

#include "history/sql_database.h"
#include "history/stored_rows.h"
#include "history/stored_text.h"
#include "report/record_catalogue.h"

namespace ornexa {

namespace {

constexpr std::string_view FactsHeading = "ornexa-db2-facts 1";
constexpr std::string_view IntervalContentHeading = "ornexa-db2-display-interval 1\n";

// Texts go in with their tabs, line ends and percent signs written as %XX, so a field never splits.
std::string Escaped(std::string_view text) {
    std::string out;
    for (const char c : text) {
        if (c == '%' || c == '\t' || c == '\n' || c == '\r') {
            std::array<char, 4> code{};
            std::snprintf(code.data(), code.size(), "%%%02X", static_cast<unsigned char>(c));
            out += code.data();
        } else {
            out += c;
        }
    }
    return out;
}

[[noreturn]] void Fail(const std::string& what) {
    throw SqlError("the report's Db2 display facts " + what);
}

std::string Unescaped(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        unsigned value = 0;
        if (i + 3 > text.size() ||
            std::from_chars(text.data() + i + 1, text.data() + i + 3, value, 16).ptr != text.data() + i + 3) {
            Fail("hold a broken escape");
        }
        out += static_cast<char>(value);
        i += 2;
    }
    return out;
}

std::string Optional(const std::optional<std::int64_t>& value) {
    return value ? std::to_string(*value) : std::string();
}

std::optional<std::int64_t> OptionalFrom(std::string_view text) {
    if (text.empty()) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) {
        Fail("hold \"" + std::string(text.substr(0, 24)) + "\" where a whole number belongs");
    }
    return value;
}

template <class Figure, std::size_t N> std::string Figures(const FigureSet<Figure, N>& set) {
    std::string text;
    for (std::size_t i = 0; i < N; ++i) {
        text += (i == 0 ? "" : ",") + Optional(set.values[i]);
    }
    return text;
}

// A list written by a program that knew fewer figures leaves the later ones absent; one of more figures
// than this program knows is not its to read.
template <class Figure, std::size_t N> FigureSet<Figure, N> FiguresFrom(std::string_view text) {
    FigureSet<Figure, N> set;
    const std::vector<std::string_view> parts = SplitText(text, ',');
    if (parts.size() > N) {
        Fail("hold " + std::to_string(parts.size()) + " figures where " + std::to_string(N) + " belong");
    }
    for (std::size_t i = 0; i < parts.size(); ++i) {
        set.values[i] = OptionalFrom(parts[i]);
    }
    return set;
}

template <std::size_t N> std::optional<std::bitset<N>> BitsFrom(std::string_view text) {
    if (text.size() != N || text.find_first_not_of("01") != std::string_view::npos) {
        return std::nullopt;
    }
    return std::bitset<N>(std::string(text));
}

template <std::size_t N> std::bitset<N> CheckedBits(std::string_view text, std::string_view what) {
    const auto bits = BitsFrom<N>(text);
    if (!bits) {
        Fail("hold no set of " + std::to_string(N) + " given " + std::string(what) + " fields");
    }
    return *bits;
}

bool FlagFrom(std::string_view text) {
    if (text != "0" && text != "1") {
        Fail("hold \"" + std::string(text.substr(0, 24)) + "\" where 0 or 1 belongs");
    }
    return text == "1";
}

std::string Simulated(const std::optional<SimulatedPoolFigures>& simulated) {
    if (!simulated) {
        return "-";
    }
    const SimulatedPoolFigures& s = *simulated;
    return Optional(s.size) + "," + Optional(s.seqThreshold) + "," + Optional(s.avoidableSyncRandom) + "," +
           Optional(s.avoidableSyncSeq) + "," + Optional(s.avoidableAsync) + "," + Optional(s.avoidableSyncDelayMs) +
           "," + Optional(s.pagesMovedIn);
}

std::optional<SimulatedPoolFigures> SimulatedFrom(std::string_view text) {
    if (text == "-") {
        return std::nullopt;
    }
    const std::vector<std::string_view> parts = SplitText(text, ',');
    if (parts.size() != 7) {
        Fail("hold a simulated pool of " + std::to_string(parts.size()) + " figures where 7 belong");
    }
    return SimulatedPoolFigures{OptionalFrom(parts[0]), OptionalFrom(parts[1]), OptionalFrom(parts[2]),
                                OptionalFrom(parts[3]), OptionalFrom(parts[4]), OptionalFrom(parts[5]),
                                OptionalFrom(parts[6])};
}

std::vector<std::string_view> Fields(std::string_view line, std::size_t count) {
    std::vector<std::string_view> fields = SplitText(line, '\t');
    if (fields.size() != count) {
        Fail("hold a " + std::string(fields.front()) + " line of " + std::to_string(fields.size()) + " fields where " +
             std::to_string(count) + " belong");
    }
    return fields;
}

} // namespace

std::string StoredDb2Facts(const Db2Facts& facts) {
    std::string text(FactsHeading);
    text += "\ninterval\t" + Escaped(facts.from) + '\t' + Escaped(facts.to) + '\t' + (facts.cumulative ? "1" : "0") +
            '\t' + facts.headerGiven.to_string();
    for (const Db2PoolFacts& pool : facts.pools) {
        text += "\npool\t" + Escaped(pool.autosize) + '\t' + Escaped(pool.pgfix) + '\t' + Escaped(pool.pgsteal) + '\t' +
                Escaped(pool.frameSize) + '\t' + (pool.complete ? "1" : "0") + '\t' + pool.given.to_string() + '\t' +
                Figures(pool.figures) + '\t' + Simulated(pool.simulated);
    }
    for (const Db2ObjectFacts& object : facts.objects) {
        text += "\nobject\t" + std::to_string(object.part) + '\t' + object.given.to_string() + '\t' +
                Figures(object.figures);
    }
    for (const Db2GroupPoolFacts& group : facts.groupPools) {
        text += "\ngroup\t" + Escaped(group.name) + '\t' + Figures(group.figures);
    }
    return text;
}

Db2Facts Db2FactsFromStored(std::string_view text, std::size_t pools, std::size_t objects) {
    const std::vector<std::string_view> lines = SplitText(text, '\n');
    if (lines.front() != FactsHeading) {
        Fail("are not facts this program wrote");
    }
    Db2Facts facts;
    bool interval = false;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        const std::string_view kind = line.substr(0, line.find('\t'));
        if (kind == "interval" && !interval) {
            const auto f = Fields(line, 5);
            facts.from = Unescaped(f[1]);
            facts.to = Unescaped(f[2]);
            facts.cumulative = FlagFrom(f[3]);
            facts.headerGiven = CheckedBits<HeaderFieldCount>(f[4], "header");
            interval = true;
        } else if (kind == "pool") {
            const auto f = Fields(line, 9);
            Db2PoolFacts pool;
            pool.autosize = Unescaped(f[1]);
            pool.pgfix = Unescaped(f[2]);
            pool.pgsteal = Unescaped(f[3]);
            pool.frameSize = Unescaped(f[4]);
            pool.complete = FlagFrom(f[5]);
            pool.given = CheckedBits<PoolFieldCount>(f[6], "pool");
            pool.figures = FiguresFrom<PoolFigure, PoolFigureCount>(f[7]);
            pool.simulated = SimulatedFrom(f[8]);
            facts.pools.push_back(std::move(pool));
        } else if (kind == "object") {
            const auto f = Fields(line, 4);
            Db2ObjectFacts object;
            object.part = OptionalFrom(f[1]).value_or(0);
            object.given = CheckedBits<ObjectFieldCount>(f[2], "object");
            object.figures = FiguresFrom<DataSetFigure, DataSetFigureCount>(f[3]);
            facts.objects.push_back(object);
        } else if (kind == "group") {
            const auto f = Fields(line, 3);
            facts.groupPools.push_back({Unescaped(f[1]), FiguresFrom<GroupPoolFigure, GroupPoolFigureCount>(f[2])});
        } else {
            Fail("hold a line \"" + std::string(kind.substr(0, 24)) + "\" this program does not know");
        }
    }
    if (!interval) {
        Fail("hold no interval");
    }
    if (facts.pools.size() != pools || facts.objects.size() != objects) {
        Fail("are of " + std::to_string(facts.pools.size()) + " pools and " + std::to_string(facts.objects.size()) +
             " data sets where the report holds " + std::to_string(pools) + " and " + std::to_string(objects));
    }
    return facts;
}

std::string StoredPoolFieldsGiven(const Db2PoolFacts& pool) {
    return pool.given.to_string();
}

std::optional<std::bitset<PoolFieldCount>> PoolFieldsGivenFromStored(std::string_view text) {
    return BitsFrom<PoolFieldCount>(text);
}

namespace {

void AppendValue(std::string& content, const SqlValue& value) {
    std::visit(
        [&content](const auto& v) {
            using Value = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<Value, std::string>) {
                content += Escaped(v);
            } else if constexpr (std::is_same_v<Value, double>) {
                std::array<char, 32> text{};
                std::snprintf(text.data(), text.size(), "%.17g", v);
                content += text.data();
            } else if constexpr (std::is_same_v<Value, std::int64_t>) {
                content += std::to_string(v);
            }
        },
        value);
    content += '\t';
}

template <class Record>
void AppendRecord(std::string& content, const Record& record, std::type_identity_t<RecordCatalogue<Record>> catalogue) {
    SqlParams values;
    AppendFieldValues(values, record, catalogue);
    for (const SqlValue& value : values) {
        AppendValue(content, value);
    }
    content += '\n';
}

} // namespace

std::string DisplayIntervalContent(const Report& report) {
    std::string content(IntervalContentHeading);
    AppendRecord(content, report.Header, HeaderCatalogue());
    content += std::to_string(report.ElapsedSeconds) + '\n';
    for (int p = 1; p <= report.PoolCount(); ++p) {
        AppendRecord(content, report.Pools(p), PoolCatalogue());
    }
    for (int o = 1; o <= report.ObjectCount(); ++o) {
        AppendRecord(content, report.Objects(o), ObjectCatalogue());
    }
    if (report.Db2Display) {
        content += StoredDb2Facts(*report.Db2Display);
    }
    return content;
}

} // namespace ornexa
