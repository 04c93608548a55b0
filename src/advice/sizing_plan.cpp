#include "advice/sizing_plan.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>

#include "report/letter_case.h"
#include "report/number_format.h"

namespace ornexa {

namespace {

constexpr std::int64_t MiB = std::int64_t{1} << 20;
constexpr std::int64_t GiB = std::int64_t{1} << 30;

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())) != 0) {
        text.remove_prefix(1);
    }
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())) != 0) {
        text.remove_suffix(1);
    }
    return text;
}

template <class T> Result<T> Fault(std::string text) {
    return Result<T>{std::nullopt, FaultMessages(std::move(text))};
}

// Splits "a,b,c" at commas, each part trimmed; an empty part is kept, for the caller to refuse.
std::vector<std::string_view> Parts(std::string_view text) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = text.find(',', start);
        parts.push_back(Trimmed(text.substr(start, comma == std::string_view::npos ? comma : comma - start)));
        if (comma == std::string_view::npos) {
            return parts;
        }
        start = comma + 1;
    }
}

// "12.5" with at most two decimals, trailing zeros dropped, '.' as separator.
std::string Decimal(double value) {
    const std::string text = FormatReadBack(value, "#0.00");
    return text == "-0" ? "0" : text;
}

} // namespace

Result<std::int64_t> ParseBudget(std::string_view text) {
    const std::string_view trimmed = Trimmed(text);
    const std::string hint = "give megabytes or gigabytes with a sign, such as +2G, -1G or +200M";
    if (trimmed.empty()) {
        return Fault<std::int64_t>("no budget given; " + hint);
    }
    std::string_view rest = trimmed;
    double sign = 1;
    if (rest.front() == '+' || rest.front() == '-') {
        sign = rest.front() == '-' ? -1 : 1;
        rest.remove_prefix(1);
    }
    std::size_t digits = 0;
    while (digits < rest.size() &&
           (std::isdigit(static_cast<unsigned char>(rest[digits])) != 0 || rest[digits] == '.')) {
        ++digits;
    }
    double number = 0;
    const std::string numberText(rest.substr(0, digits));
    const auto [end, error] = std::from_chars(numberText.data(), numberText.data() + numberText.size(), number);
    if (numberText.empty() || error != std::errc{} || end != numberText.data() + numberText.size()) {
        return Fault<std::int64_t>("\"" + std::string(trimmed) + "\" is no budget; " + hint);
    }
    const std::string unit = UpperCase(Trimmed(rest.substr(digits)));
    double scale = 0;
    if (unit.empty() || unit == "M" || unit == "MB") {
        scale = static_cast<double>(MiB);
    } else if (unit == "G" || unit == "GB") {
        scale = static_cast<double>(GiB);
    } else {
        return Fault<std::int64_t>("\"" + std::string(trimmed) + "\" has the unit \"" + unit + "\"; " + hint);
    }
    const double bytes = sign * number * scale;
    // 2^53 bytes is 8 PB: far beyond any real storage, and still exact in a double.
    if (!std::isfinite(bytes) || std::abs(bytes) > 9.0e15) {
        return Fault<std::int64_t>("\"" + std::string(trimmed) + "\" is more storage than any system has; " + hint);
    }
    return Result<std::int64_t>{std::llround(bytes), {}};
}

Result<std::vector<std::string>> ParsePoolNames(std::string_view text) {
    std::vector<std::string> names;
    for (const std::string_view part : Parts(text)) {
        if (part.empty()) {
            return Fault<std::vector<std::string>>("\"" + std::string(text) +
                                                   "\" has an empty pool name; give names such as BP0,BP8K0");
        }
        std::string name = UpperCase(part);
        if (std::find(names.begin(), names.end(), name) == names.end()) {
            names.push_back(std::move(name));
        }
    }
    return Result<std::vector<std::string>>{std::move(names), {}};
}

Result<std::map<std::string, std::int64_t>> ParseMaxBuffers(std::string_view text) {
    std::map<std::string, std::int64_t> bounds;
    for (const std::string_view part : Parts(text)) {
        const std::size_t equals = part.find('=');
        const std::string_view name = Trimmed(part.substr(0, equals));
        const std::string_view value =
            equals == std::string_view::npos ? std::string_view{} : Trimmed(part.substr(equals + 1));
        std::int64_t buffers = 0;
        const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), buffers);
        if (name.empty() || value.empty() || error != std::errc{} || end != value.data() + value.size() ||
            buffers <= 0) {
            return Fault<std::map<std::string, std::int64_t>>(
                "\"" + std::string(part) + "\" is no largest size; give a pool and its buffers, such as BP1=200000");
        }
        bounds[UpperCase(name)] = buffers;
    }
    return Result<std::map<std::string, std::int64_t>>{std::move(bounds), {}};
}

Messages ApplyBounds(std::vector<SizingCurve>& curves, const SizingBounds& bounds) {
    Messages messages;
    const auto find = [&curves](const std::string& name) {
        return std::find_if(curves.begin(), curves.end(),
                            [&name](const SizingCurve& curve) { return UpperCase(curve.poolName) == name; });
    };
    for (const std::string& name : bounds.keep) {
        const auto curve = find(UpperCase(name));
        if (curve == curves.end()) {
            messages.push_back(
                {"Pool Sizing", "The report has no pool " + name + " to protect.", MessageIcon::Exclamation});
            continue;
        }
        curve->keep = true;
    }
    for (const auto& [name, buffers] : bounds.maxBuffers) {
        const auto curve = find(UpperCase(name));
        if (curve == curves.end()) {
            messages.push_back({"Pool Sizing", "The report has no pool " + name + " to give a largest size.",
                                MessageIcon::Exclamation});
            continue;
        }
        if (buffers < curve->currentBuffers) {
            messages.push_back({"Pool Sizing",
                                "The largest size of " + name + " (" + std::to_string(buffers) +
                                    " buffers) is below its size of " + std::to_string(curve->currentBuffers) +
                                    " buffers; it keeps its size.",
                                MessageIcon::Exclamation});
            curve->maxBuffers = curve->currentBuffers;
            curve->keep = true;
            continue;
        }
        curve->maxBuffers = buffers;
    }
    return messages;
}

SizingRun PlanSizing(std::vector<SizingCurve> curves, const SizingBounds& bounds, const SizingRequest& request) {
    SizingRun run;
    run.budgetBytes = request.budgetBytes;
    run.messages = ApplyBounds(curves, bounds);
    for (SizingCurve& curve : curves) {
        OrderPoints(curve);
    }
    run.plan = AllocateBudget(curves, request);
    run.curves = std::move(curves);
    return run;
}

std::optional<Advice> SizingCommand(const SizingCurve& curve, const SizingResult& result) {
    if (result.proposedBuffers == result.currentBuffers || !PageSizeKB(curve.poolName)) {
        return std::nullopt;
    }
    const std::string size = std::to_string(result.proposedBuffers);
    std::string options;
    if (curve.autosize) {
        // Db2 moves the pool between its bounds: the largest it may take is what the budget allows.
        if (curve.vpSizeMin && *curve.vpSizeMin > result.proposedBuffers) {
            options = "VPSIZEMIN(" + size + ") ";
        }
        options += "VPSIZEMAX(" + size + ")";
    } else {
        options = "VPSIZE(" + size + ")";
    }
    return Advice{std::string(SizingSource), AdviceKind::Command, AlterBufferPool(curve.poolName, options)};
}

std::string StorageText(std::int64_t bytes) {
    const std::string sign = bytes > 0 ? "+" : bytes < 0 ? "-" : "";
    const auto magnitude = static_cast<double>(bytes < 0 ? -bytes : bytes);
    if (magnitude >= static_cast<double>(GiB)) {
        return sign + Decimal(magnitude / static_cast<double>(GiB)) + " GB";
    }
    return sign + Decimal(magnitude / static_cast<double>(MiB)) + " MB";
}

std::string SizingCommandsText(const SizingRun& run) {
    std::string text = "-- Pool sizing for a budget of " + StorageText(run.budgetBytes) + ": " +
                       StorageText(run.plan.bytesPlaced) + " placed, " + Decimal(run.plan.readsSaved) +
                       " synchronous read I/Os per second saved\n";
    std::string leftAlone;
    for (std::size_t i = 0; i < run.plan.pools.size() && i < run.curves.size(); ++i) {
        const SizingResult& result = run.plan.pools[i];
        const SizingCurve& curve = run.curves[i];
        if (!result.leftAlone.empty()) {
            leftAlone += "--   " + result.poolName + ": " + result.leftAlone + "\n";
            continue;
        }
        const std::optional<Advice> command = SizingCommand(curve, result);
        if (!command) {
            continue;
        }
        text += "-- " + result.poolName + ": " + std::to_string(result.currentBuffers) + " -> " +
                std::to_string(result.proposedBuffers) + " buffers, " + StorageText(result.bytes) + ", " +
                Decimal(result.readsSaved.value_or(0)) + " synchronous read I/Os per second saved (" +
                std::string(SizingConfidenceKey(result.confidence)) + " confidence: " + EvidenceSummary(curve) + ")\n" +
                command->text + "\n";
    }
    if (!leftAlone.empty()) {
        text += "-- Left alone, without evidence:\n" + leftAlone;
    }
    return text;
}

} // namespace ornexa
