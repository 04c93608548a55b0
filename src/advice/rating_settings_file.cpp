#include "advice/rating_settings_file.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>

#include "rules/threshold_files.h"

namespace ornexa {
namespace {

enum Side : std::size_t { WarningSide, ExceptionSide };
constexpr std::array<std::string_view, 2> SideNames{"warning", "exception"};

// A bound as the file gives it: a value, or "none" (switched off).
struct GivenBound {
    std::optional<double> value;
    std::string text; // as written, for messages
    int line = 0;
};
using GivenBounds = std::array<std::array<std::optional<GivenBound>, 2>, RatingKindCount>;

struct PoolSection {
    int line = 0;
    std::optional<std::string> match;
    int matchLine = 0; // of its match line, right or wrong; 0 without one
    GivenBounds bounds;
};

std::string_view TrimSpace(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The line less its comment: a `#` outside a string starts one.
std::string_view WithoutComment(std::string_view line) {
    bool inString = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (inString && line[i] == '\\') {
            ++i;
        } else if (line[i] == '"') {
            inString = !inString;
        } else if (line[i] == '#' && !inString) {
            return line.substr(0, i);
        }
    }
    return line;
}

// A TOML basic string "..." without escapes other than \" and \\; nothing when `text` is not one.
std::optional<std::string> QuotedString(std::string_view text) {
    if (text.size() < 2 || text.front() != '"' || text.back() != '"') {
        return std::nullopt;
    }
    std::string value;
    for (std::size_t i = 1; i + 1 < text.size(); ++i) {
        char c = text[i];
        if (c == '"') {
            return std::nullopt;
        }
        if (c == '\\') {
            if (i + 2 >= text.size() || (text[i + 1] != '"' && text[i + 1] != '\\')) {
                return std::nullopt;
            }
            c = text[++i];
        }
        value += c;
    }
    return value;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// A TOML decimal number (integer or float, `_` between digits); nothing for anything else (hexadecimal,
// inf, nan, a date).
std::optional<double> TomlNumber(std::string_view text) {
    std::string plain;
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        plain += text[i++];
    }
    bool digits = false;
    bool point = false;
    bool exponent = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (IsDigit(c)) {
            digits = true;
            plain += c;
        } else if (c == '_' && i > 0 && IsDigit(text[i - 1]) && i + 1 < text.size() && IsDigit(text[i + 1])) {
            continue;
        } else if (c == '.' && digits && !point && !exponent && i + 1 < text.size() && IsDigit(text[i + 1])) {
            point = true;
            plain += c;
        } else if ((c == 'e' || c == 'E') && digits && !exponent) {
            exponent = true;
            plain += c;
            if (i + 1 < text.size() && (text[i + 1] == '+' || text[i + 1] == '-')) {
                plain += text[++i];
            }
            if (i + 1 >= text.size() || !IsDigit(text[i + 1])) {
                return std::nullopt;
            }
        } else {
            return std::nullopt;
        }
    }
    if (!digits) {
        return std::nullopt;
    }
    const std::string_view parsed = plain.front() == '+' ? std::string_view(plain).substr(1) : std::string_view(plain);
    double value = 0;
    const auto [end, ec] = std::from_chars(parsed.data(), parsed.data() + parsed.size(), value);
    if (ec != std::errc() || end != parsed.data() + parsed.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::string NumberText(double value) {
    std::array<char, 32> buffer{};
    const auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return ec == std::errc() ? std::string(buffer.data(), end) : std::string("?");
}

std::string KnownKeys() {
    std::string keys;
    for (const RatingDefinition& d : RatingDefinitions()) {
        keys += (keys.empty() ? "" : ", ") + std::string(d.key);
    }
    return keys;
}

class SettingsParser {
public:
    explicit SettingsParser(std::string_view name) : name_(name) {}

    Result<RatingSettings> Parse(std::string_view text) {
        if (text.starts_with("\xEF\xBB\xBF")) {
            text.remove_prefix(3);
        }
        int lineNo = 0;
        while (!text.empty()) {
            const std::size_t end = text.find_first_of("\r\n");
            const std::string_view line = text.substr(0, end);
            ++lineNo;
            if (end == std::string_view::npos) {
                text = {};
            } else {
                text.remove_prefix(end + (text.substr(end).starts_with("\r\n") ? 2 : 1));
            }
            Line(lineNo, TrimSpace(WithoutComment(line)));
        }
        for (const PoolSection& pool : pools_) {
            if (pool.matchLine == 0) {
                Fault(pool.line, "this [[pool]] section has no match = \"pattern\" naming its pools");
            }
        }
        CheckSides();
        Result<RatingSettings> result;
        result.messages = std::move(faults_);
        if (result.messages.empty()) {
            result.value = Settings();
        }
        return result;
    }

private:
    enum class Section { None, Default, Pool, Unknown };

    void Fault(int line, const std::string& what) {
        faults_.push_back(Message{{}, name_ + ": line " + std::to_string(line) + ": " + what, MessageIcon::Critical});
    }

    void Line(int lineNo, std::string_view line) {
        if (line.empty()) {
            return;
        }
        if (line.front() == '[') {
            Header(lineNo, line);
            return;
        }
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) {
            Fault(lineNo, "\"" + std::string(line) + "\" is not a line of the form key = value");
            return;
        }
        const std::string_view key = TrimSpace(line.substr(0, equals));
        const std::string_view value = TrimSpace(line.substr(equals + 1));
        if (section_ == Section::Unknown) {
            return;
        }
        if (section_ == Section::None) {
            Fault(lineNo, "\"" + std::string(key) + "\" stands before the first section, [default] or [[pool]]");
            return;
        }
        if (key == "match") {
            Match(lineNo, value);
            return;
        }
        Bound(lineNo, key, value);
    }

    void Header(int lineNo, std::string_view line) {
        const bool array = line.starts_with("[[") && line.ends_with("]]") && line.size() >= 4;
        if (!array && !line.ends_with("]")) {
            Fault(lineNo, "the section " + std::string(line) + " lacks its closing bracket");
            section_ = Section::Unknown;
            return;
        }
        const std::size_t brackets = array ? 2 : 1;
        const std::string_view name = TrimSpace(line.substr(brackets, line.size() - 2 * brackets));
        if (!array && name == "default") {
            if (defaultLine_ != 0) {
                Fault(lineNo, "[default] is given a second time (first on line " + std::to_string(defaultLine_) + ")");
            } else {
                defaultLine_ = lineNo;
            }
            section_ = Section::Default;
        } else if (array && name == "pool") {
            pools_.push_back(PoolSection{lineNo, std::nullopt, 0, {}});
            section_ = Section::Pool;
        } else {
            Fault(lineNo, "unknown section " + std::string(line) + ": the sections are [default] and [[pool]]");
            // Its keys belong to no section the program knows: the section's fault stands for them.
            section_ = Section::Unknown;
        }
    }

    void Match(int lineNo, std::string_view value) {
        if (section_ != Section::Pool) {
            Fault(lineNo, "match belongs in a [[pool]] section");
            return;
        }
        PoolSection& pool = pools_.back();
        if (pool.matchLine != 0) {
            Fault(lineNo, "match is given a second time in this [[pool]] section (first on line " +
                              std::to_string(pool.matchLine) + ")");
            return;
        }
        pool.matchLine = lineNo; // a wrong match is told here, not again as a section without one
        const std::optional<std::string> pattern = QuotedString(value);
        if (!pattern) {
            Fault(lineNo,
                  "match must be a pattern in double quotes, such as match = \"BP8K*\"; not " + std::string(value));
            return;
        }
        if (TrimSpace(*pattern).empty()) {
            Fault(lineNo, "match is empty: it names no pool");
            return;
        }
        pool.match = *pattern;
    }

    void Bound(int lineNo, std::string_view key, std::string_view value) {
        const std::size_t dot = key.rfind('.');
        const std::optional<RatingKind> kind =
            dot == std::string_view::npos ? std::nullopt : RatingKindOfKey(key.substr(0, dot));
        if (!kind) {
            Fault(lineNo, "unknown key \"" + std::string(key) + "\": a key is a rating (" + KnownKeys() +
                              ") followed by .warning or .exception");
            return;
        }
        const std::string_view sideName = key.substr(dot + 1);
        const auto side = std::find(SideNames.begin(), SideNames.end(), sideName);
        if (side == SideNames.end()) {
            Fault(lineNo, "unknown key \"" + std::string(key) + "\": a bound is ." + std::string(SideNames[0]) +
                              " or ." + std::string(SideNames[1]));
            return;
        }
        std::optional<GivenBound>& slot =
            SectionBounds()[static_cast<std::size_t>(*kind)][static_cast<std::size_t>(side - SideNames.begin())];
        if (slot) {
            Fault(lineNo, std::string(key) + " is given a second time in this section (first on line " +
                              std::to_string(slot->line) + ")");
            return;
        }
        if (value.empty()) {
            Fault(lineNo, std::string(key) + " has no value");
            return;
        }
        GivenBound bound{std::nullopt, std::string(value), lineNo};
        if (const std::optional<std::string> text = QuotedString(value)) {
            if (*text != "none") {
                Fault(lineNo, std::string(key) + " = " + std::string(value) +
                                  " is not a number: a bound is a number, or \"none\" to switch it off");
                return;
            }
        } else {
            bound.value = TomlNumber(value);
            if (!bound.value) {
                Fault(lineNo, std::string(key) + " = " + std::string(value) +
                                  (value == "none" ? " must be written \"none\", in double quotes"
                                                   : " is not a number: a bound is a number, or \"none\" to "
                                                     "switch it off"));
                return;
            }
            const RatingDefinition& definition = DefinitionOf(*kind);
            if (*bound.value < 0) {
                Fault(lineNo, std::string(key) + " = " + std::string(value) +
                                  " is negative: " + std::string(definition.caption) + " is never below 0");
                return;
            }
            if (definition.unit == "%" && *bound.value > 100) {
                Fault(lineNo, std::string(key) + " = " + std::string(value) +
                                  " is above 100: " + std::string(definition.caption) + " is a percentage");
                return;
            }
        }
        slot = bound;
    }

    GivenBounds& SectionBounds() { return section_ == Section::Pool ? pools_.back().bounds : defaults_; }

    // A bound in force for a pool of a section: the section's own, else [default]'s, else the built-in one.
    struct InForce {
        std::optional<double> value;
        std::string text;
        int line = 0; // 0: built in
    };
    [[nodiscard]] InForce BoundInForce(const GivenBounds& section, std::size_t k, std::size_t side) const {
        for (const GivenBounds* bounds : {&section, &defaults_}) {
            if (const std::optional<GivenBound>& given = (*bounds)[k][side]) {
                return {given->value, given->text, given->line};
            }
        }
        const RatingThreshold& builtIn = RatingDefinitions()[k].defaults;
        const std::optional<double>& value = side == WarningSide ? builtIn.warning : builtIn.exception;
        return {value, value ? NumberText(*value) : "\"none\"", 0};
    }

    // A warning bound beyond the exception bound would never be reached before the exception is.
    void CheckSides(const GivenBounds& section) {
        for (std::size_t k = 0; k < RatingKindCount; ++k) {
            if (!section[k][WarningSide] && !section[k][ExceptionSide]) {
                continue;
            }
            const InForce warning = BoundInForce(section, k, WarningSide);
            const InForce exception = BoundInForce(section, k, ExceptionSide);
            if (!warning.value || !exception.value) {
                continue;
            }
            const RatingDefinition& d = RatingDefinitions()[k];
            const bool below = d.worseWhen == WorseWhen::Below;
            if (below ? *warning.value >= *exception.value : *warning.value <= *exception.value) {
                continue;
            }
            const auto where = [](const InForce& bound) {
                return bound.line == 0 ? std::string(" (built in)") : " (line " + std::to_string(bound.line) + ")";
            };
            const std::string key(d.key);
            // Told on the section's own line: a pool section's bound is what clashes with [default]'s.
            const int line = std::max(section[k][WarningSide] ? section[k][WarningSide]->line : 0,
                                      section[k][ExceptionSide] ? section[k][ExceptionSide]->line : 0);
            const std::string_view side = below ? "below" : "above";
            std::string what = key + ".warning = " + warning.text;
            what += where(warning);
            what.append(" is ").append(side).append(" ").append(key).append(".exception = ").append(exception.text);
            what += where(exception);
            what.append(": a ").append(below ? "lower" : "higher");
            what.append(" value is the worse, so the warning bound must not be ").append(side);
            what += " the exception bound";
            Fault(line, what);
        }
    }

    void CheckSides() {
        CheckSides(defaults_);
        for (const PoolSection& pool : pools_) {
            CheckSides(pool.bounds);
        }
    }

    [[nodiscard]] RatingSettings Settings() const {
        RatingSettings settings;
        settings.origin = name_;
        for (std::size_t k = 0; k < RatingKindCount; ++k) {
            if (const std::optional<GivenBound>& w = defaults_[k][WarningSide]) {
                settings.defaults[k].warning = w->value;
            }
            if (const std::optional<GivenBound>& e = defaults_[k][ExceptionSide]) {
                settings.defaults[k].exception = e->value;
            }
        }
        for (const PoolSection& pool : pools_) {
            for (std::size_t k = 0; k < RatingKindCount; ++k) {
                const std::optional<GivenBound>& w = pool.bounds[k][WarningSide];
                const std::optional<GivenBound>& e = pool.bounds[k][ExceptionSide];
                if (!w && !e) {
                    continue;
                }
                PoolThresholdRule rule;
                rule.pattern = *pool.match;
                rule.kind = static_cast<RatingKind>(k);
                rule.threshold = {w ? w->value : std::nullopt, e ? e->value : std::nullopt};
                rule.warningOff = w && !w->value;
                rule.exceptionOff = e && !e->value;
                rule.line = pool.line;
                settings.rules.push_back(std::move(rule));
            }
        }
        return settings;
    }

    std::string name_;
    Section section_ = Section::None;
    int defaultLine_ = 0;
    GivenBounds defaults_;
    std::vector<PoolSection> pools_;
    Messages faults_;
};

} // namespace

Result<RatingSettings> ParseRatingSettings(std::string_view text, std::string_view name) {
    return SettingsParser(name).Parse(text);
}

Result<RatingSettings> ReadRatingSettings(const std::filesystem::path& path) {
    const auto unreadable = [&path](const std::string& why) {
        Result<RatingSettings> result;
        result.messages = FaultMessages(path.string() + ": the rating settings cannot be read: " + why);
        return result;
    };
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        return unreadable("it is a folder");
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return unreadable(std::strerror(errno)); // NOLINT(concurrency-mt-unsafe): the text of this thread's errno
    }
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        return unreadable(std::strerror(errno)); // NOLINT(concurrency-mt-unsafe)
    }
    return ParseRatingSettings(text, path.string());
}

std::optional<std::filesystem::path> UserRatingSettingsPath() {
    // An XDG variable that is not an absolute path is ignored, as the XDG base directories say.
    const char* config = std::getenv("XDG_CONFIG_HOME"); // NOLINT(concurrency-mt-unsafe): read once, at start
    if (config != nullptr && std::filesystem::path(config).is_absolute()) {
        return std::filesystem::path(config) / "ornexa" / RatingSettingsFileName;
    }
    const char* home = std::getenv("HOME"); // NOLINT(concurrency-mt-unsafe): read once, at start
    if (home != nullptr && std::filesystem::path(home).is_absolute()) {
        return std::filesystem::path(home) / ".config" / "ornexa" / RatingSettingsFileName;
    }
    return std::nullopt;
}

RatingSettingsLookup FindRatingSettings(const std::filesystem::path& programFolder,
                                        const std::optional<std::filesystem::path>& given,
                                        const std::optional<std::filesystem::path>& userFile) {
    RatingSettingsLookup lookup;
    if (given) {
        lookup.searched.push_back(*given);
        lookup.path = *given;
        lookup.settings = ReadRatingSettings(*given);
        return lookup;
    }
    std::vector<std::filesystem::path> candidates;
    if (userFile) {
        candidates.push_back(*userFile);
    }
    for (const std::filesystem::path& folder : ThresholdFolders(programFolder)) {
        candidates.push_back(folder / RatingSettingsFileName);
    }
    for (const std::filesystem::path& candidate : candidates) {
        lookup.searched.push_back(candidate);
        std::error_code ec;
        if (std::filesystem::exists(candidate, ec)) {
            lookup.path = candidate;
            lookup.settings = ReadRatingSettings(candidate);
            return lookup;
        }
    }
    lookup.settings.value = RatingSettings{};
    return lookup;
}

} // namespace ornexa
