#include "history/change_check.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <iterator>
#include <map>

#include "history/sizing_history.h"
#include "history/trend_charts.h"
#include "report/letter_case.h"
#include "report/number_format.h"
#include "report/pool_choice.h"
#include "report/record_catalogue.h"
#include "simulation/db2_simulation.h"

namespace ornexa {

const char* PoolSettingName(PoolSetting setting) {
    switch (setting) {
    case PoolSetting::VPSize:
        return "VPSIZE";
    case PoolSetting::VPSeqt:
        return "VPSEQT";
    case PoolSetting::Dwqt:
        return "DWQT";
    case PoolSetting::Vdwqt:
        break;
    }
    return "VDWQT";
}

const char* IntervalChoiceKey(IntervalChoice choice) {
    return choice == IntervalChoice::SameHours ? "same_hours" : "neighbours";
}

const char* PredictionSourceKey(PredictionSource source) {
    switch (source) {
    case PredictionSource::Simulation:
        return "simulation";
    case PredictionSource::Db2SimulatedPool:
        return "db2_simulated_pool";
    case PredictionSource::SizeCurve:
        break;
    }
    return "size_curve";
}

namespace {

std::optional<double> GivenPercent(const PoolTrendPoint& point, std::string_view field, double value) {
    return point.Given(FieldIndex<PoolRecord>(PoolCatalogue(), field)) ? std::optional<double>(value) : std::nullopt;
}

std::array<std::optional<double>, 4> Settings(const PoolTrendPoint& point) {
    const auto asDouble = [](std::optional<std::int64_t> v) {
        return v ? std::optional<double>(static_cast<double>(*v)) : std::nullopt;
    };
    return {asDouble(point.VPSize()), asDouble(point.VPSeqThreshold()), GivenPercent(point, "DWTH", point.pool.DWTH),
            GivenPercent(point, "VWTH", point.pool.VWTH)};
}

std::vector<SettingStep> StepsBetween(const PoolTrendPoint& before, const PoolTrendPoint& after) {
    const auto was = Settings(before);
    const auto is = Settings(after);
    std::vector<SettingStep> steps;
    for (std::size_t s = 0; s < was.size(); ++s) {
        if (was[s] && is[s] && *was[s] != *is[s]) {
            steps.push_back({static_cast<PoolSetting>(s), *was[s], *is[s]});
        }
    }
    return steps;
}

std::optional<double> Mean(const std::vector<std::size_t>& indexes,
                           const std::function<std::optional<double>(std::size_t)>& value) {
    double sum = 0;
    int count = 0;
    for (const std::size_t i : indexes) {
        if (const std::optional<double> v = value(i); v && std::isfinite(*v)) {
            sum += *v;
            ++count;
        }
    }
    return count == 0 ? std::nullopt : std::optional<double>(sum / count);
}

std::optional<double> Between(std::optional<double> a, std::optional<double> b, double share) {
    return a && b ? std::optional<double>(*a + (*b - *a) * share) : std::nullopt;
}

} // namespace

std::vector<SettingChangeAt> FindSettingChanges(const std::vector<PoolTrendPoint>& points) {
    std::vector<SettingChangeAt> changes;
    for (std::size_t i = 1; i < points.size(); ++i) {
        std::vector<SettingStep> steps = StepsBetween(points[i - 1], points[i]);
        if (!steps.empty()) {
            changes.push_back({i, std::move(steps)});
        }
    }
    return changes;
}

std::string SettingStepsText(const std::vector<SettingStep>& steps) {
    std::string text;
    for (const SettingStep& step : steps) {
        text += (text.empty() ? "" : ", ") + std::string(PoolSettingName(step.setting)) + " " + PlainText(step.before) +
                " -> " + PlainText(step.after);
    }
    return text;
}

ChosenIntervals ChooseIntervals(const std::vector<PoolTrendPoint>& points, const SettingChangeAt& change, int perSide) {
    ChosenIntervals neighbours{IntervalChoice::Neighbours, {change.index - 1}, {change.index}};
    const std::optional<double> reference = CollectionSeconds(points[change.index].report.collectedAt);
    if (!reference || perSide < 1) {
        return neighbours;
    }
    // Each side keeps to its own settings: it ends at the change before or after this one.
    std::size_t first = change.index - 1;
    while (first > 0 && StepsBetween(points[first - 1], points[first]).empty()) {
        --first;
    }
    std::size_t last = change.index;
    while (last + 1 < points.size() && StepsBetween(points[last], points[last + 1]).empty()) {
        ++last;
    }
    // Per day (counted from the change), the interval nearest the reference time of day.
    const auto sameHours = [&](std::size_t from, std::size_t to, bool later) {
        std::map<long long, std::pair<double, std::size_t>> byDay;
        for (std::size_t i = from; i <= to; ++i) {
            const std::optional<double> seconds = CollectionSeconds(points[i].report.collectedAt);
            if (!seconds) {
                continue;
            }
            const long long day = std::llround((*seconds - *reference) / 86400.0);
            const double off = std::abs(*seconds - (*reference + static_cast<double>(day) * 86400.0));
            if (off > SameHourWindowSeconds) {
                continue;
            }
            const auto [at, added] = byDay.try_emplace(day, off, i);
            if (!added && off < at->second.first) {
                at->second = {off, i};
            }
        }
        std::vector<std::size_t> chosen;
        chosen.reserve(byDay.size());
        for (const auto& [day, best] : byDay) {
            chosen.push_back(best.second);
        }
        if (!later) {
            std::reverse(chosen.begin(), chosen.end());
        }
        if (chosen.size() > static_cast<std::size_t>(perSide)) {
            chosen.resize(static_cast<std::size_t>(perSide));
        }
        return chosen;
    };
    std::vector<std::size_t> before = sameHours(first, change.index - 1, false);
    std::vector<std::size_t> after = sameHours(change.index, last, true);
    if (before.size() < static_cast<std::size_t>(perSide) || after.size() < static_cast<std::size_t>(perSide)) {
        return neighbours;
    }
    return {IntervalChoice::SameHours, std::move(before), std::move(after)};
}

const std::array<CheckedFigure, CheckedFigureCount>& CheckedFigures() {
    static const std::array<CheckedFigure, CheckedFigureCount> figures = [] {
        std::array<CheckedFigure, CheckedFigureCount> all{};
        for (std::size_t k = 0; k < RatingKindCount; ++k) {
            const RatingDefinition& rating = RatingDefinitions()[k];
            all[k] = {rating.key, rating.caption, rating.unit,
                      rating.worseWhen == WorseWhen::Below ? GoodDirection::Higher : GoodDirection::Lower};
        }
        all[CheckedHitRatio] = {"hit_ratio", "Hit Ratio", "%", GoodDirection::Higher};
        // More getpages is more work done, neither better nor worse for the pool.
        all[CheckedGetPages] = {"getpages_per_second", "Get Pages / sec", "/s", GoodDirection::Neither};
        return all;
    }();
    return figures;
}

int ChangeCheck::Better() const {
    return static_cast<int>(std::count_if(figures.begin(), figures.end(),
                                          [](const FigureChange& f) { return f.verdict == ChangeVerdict::Better; }));
}

int ChangeCheck::Worse() const {
    return static_cast<int>(std::count_if(figures.begin(), figures.end(),
                                          [](const FigureChange& f) { return f.verdict == ChangeVerdict::Worse; }));
}

std::array<FigureChange, CheckedFigureCount> CompareMeans(const std::vector<PoolTrendPoint>& points,
                                                          const ChosenIntervals& chosen,
                                                          const std::vector<RatedPoint>& ratings) {
    std::array<FigureChange, CheckedFigureCount> figures;
    const auto compare = [&](std::size_t f, const std::function<std::optional<double>(std::size_t)>& value) {
        figures[f] = CompareFigure(Mean(chosen.before, value), Mean(chosen.after, value), CheckedFigures()[f].good);
    };
    for (std::size_t k = 0; k < RatingKindCount; ++k) {
        compare(k, [&ratings, k](std::size_t i) -> std::optional<double> {
            const auto rated =
                std::find_if(ratings.begin(), ratings.end(), [i](const RatedPoint& r) { return r.index == i; });
            if (rated == ratings.end() || rated->rating.ratings[k].verdict == RatingVerdict::NotApplicable) {
                return std::nullopt;
            }
            return rated->rating.ratings[k].value;
        });
    }
    compare(CheckedHitRatio, [&points](std::size_t i) { return points[i].hitRatio; });
    compare(CheckedGetPages, [&points](std::size_t i) { return points[i].getPagesPerSecond; });
    return figures;
}

std::optional<CurvePoint> CurveAt(std::vector<CurvePoint> curve, std::int64_t size) {
    std::sort(curve.begin(), curve.end(),
              [](const CurvePoint& a, const CurvePoint& b) { return a.buffers < b.buffers; });
    for (std::size_t i = 0; i < curve.size(); ++i) {
        if (curve[i].buffers == size) {
            return curve[i];
        }
        if (i > 0 && curve[i - 1].buffers < size && size < curve[i].buffers) {
            const double share = static_cast<double>(size - curve[i - 1].buffers) /
                                 static_cast<double>(curve[i].buffers - curve[i - 1].buffers);
            return CurvePoint{size, Between(curve[i - 1].hitRatio, curve[i].hitRatio, share),
                              Between(curve[i - 1].readRate, curve[i].readRate, share)};
        }
    }
    return std::nullopt;
}

std::optional<bool> PredictionMet(const SizePrediction& prediction) {
    std::optional<bool> met;
    if (prediction.hitRatio && prediction.measuredHitRatio) {
        met = *prediction.measuredHitRatio >= *prediction.hitRatio - HitRatioTolerancePoints;
    }
    if (prediction.readRate && prediction.measuredReadRate) {
        const bool rateMet = *prediction.measuredReadRate <= *prediction.readRate * (1 + ReadRateTolerance);
        met = met.value_or(true) && rateMet;
    }
    return met;
}

std::optional<PredictionCurve> PredictionCurveOf(const StoredReport& stored, std::string_view poolName) {
    const Report& report = stored.report;
    const int pool = FirstPoolNamed(report, poolName);
    if (pool == 0) {
        return std::nullopt;
    }
    PredictionCurve curve;
    for (const SimulatedSize& size : stored.simulatedSizes) {
        if (size.pool == pool) {
            curve.points.push_back({size.buffers, size.sysHitRatio, size.readIORate});
        }
    }
    if (curve.points.empty()) {
        const std::optional<Db2SizeCurve> db2 = Db2SizeCurveOf(report, pool);
        if (!db2) {
            return std::nullopt;
        }
        curve.source = PredictionSource::Db2SimulatedPool;
        for (const SizeCurvePoint& point : db2->Points()) {
            curve.points.push_back({point.size, point.hitRatio, point.syncReadsPerSecond});
        }
    }
    return curve;
}

std::optional<SizePrediction> SizeCurvePrediction(const StoredReport& stored, std::string_view poolName,
                                                  std::int64_t newSize,
                                                  const std::vector<SizeObservation>& observations) {
    const Report& report = stored.report;
    const int pool = FirstPoolNamed(report, poolName);
    if (pool == 0) {
        return std::nullopt;
    }
    const SizingCurve curve = BuildSizingCurve(report, SimulationData{}, pool, observations);
    const auto simulated = [](const SizingPoint& point) {
        return point.evidence == SizingEvidence::Simulation || point.evidence == SizingEvidence::Db2Simulated;
    };
    // Beyond the curve's points nothing was seen: no extrapolation.
    if (curve.points.size() < 2 || std::any_of(curve.points.begin(), curve.points.end(), simulated) ||
        newSize < curve.points.front().buffers || newSize > curve.points.back().buffers) {
        return std::nullopt;
    }
    const std::optional<double> reads = ReadsAt(curve, newSize);
    if (!reads) {
        return std::nullopt;
    }
    SizePrediction prediction;
    prediction.source = PredictionSource::SizeCurve;
    prediction.reportId = stored.info.id;
    prediction.size = newSize;
    prediction.readRate = reads;
    prediction.confidence = ConfidenceOf(curve);
    prediction.evidence = EvidenceCounts(curve);
    prediction.evidenceText = EvidenceSummary(curve);
    return prediction;
}

namespace {

// The observations a size curve of the report before may rest on: the trend's reports of its system
// and subsystem collected up to it.
std::vector<SizeObservation> ObservationsUpTo(const std::vector<PoolTrendPoint>& points,
                                              const HistoryReportInfo& info) {
    std::vector<PoolTrendPoint> same;
    std::copy_if(points.begin(), points.end(), std::back_inserter(same), [&info](const PoolTrendPoint& point) {
        return point.report.system == info.system && point.report.subsystem == info.subsystem;
    });
    return ObservationsOf(same, info.collectedAt);
}

// What the report before a VPSIZE change predicted for the new size: its simulation of the pool, else
// its sizing curve; nothing when the new size lies outside the simulated sizes or the curve's points.
HistoryResult<std::optional<SizePrediction>> PredictionOf(HistoryStore& store, const HistoryReportInfo& info,
                                                          std::string_view poolName, std::int64_t newSize,
                                                          const std::vector<PoolTrendPoint>& points) {
    HistoryResult<std::optional<SizePrediction>> result;
    result.value.emplace();
    HistoryResult<StoredReport> stored = store.Load(info.id);
    if (!stored.Ok()) {
        return {std::nullopt, stored.messages};
    }
    stored.value->info.id = info.id;
    const std::optional<PredictionCurve> curve = PredictionCurveOf(*stored.value, poolName);
    if (!curve) {
        result.value = SizeCurvePrediction(*stored.value, poolName, newSize, ObservationsUpTo(points, info));
        return result;
    }
    if (const std::optional<CurvePoint> at = CurveAt(curve->points, newSize)) {
        SizePrediction prediction;
        prediction.source = curve->source;
        prediction.reportId = info.id;
        prediction.size = newSize;
        prediction.hitRatio = at->hitRatio;
        prediction.readRate = at->readRate;
        result.value = prediction;
    }
    return result;
}

HistoryResult<std::vector<ChangeCheck>> CheckChanges(HistoryStore& store, const std::vector<PoolTrendPoint>& points,
                                                     const std::vector<SettingChangeAt>& changes,
                                                     const RatingSettings& settings) {
    HistoryResult<std::vector<ChangeCheck>> result;
    result.value.emplace();
    std::map<std::int64_t, std::vector<PoolRating>> rated; // each report asked for once
    for (const SettingChangeAt& change : changes) {
        const std::string poolName(points[change.index].pool.PoolName.Trimmed());
        ChangeCheck check;
        check.poolName = poolName;
        check.steps = change.steps;
        check.lastBefore = points[change.index - 1].report;
        check.firstAfter = points[change.index].report;
        const ChosenIntervals chosen = ChooseIntervals(points, change);
        check.choice = chosen.choice;
        std::vector<RatedPoint> ratings;
        for (const auto* side : {&chosen.before, &chosen.after}) {
            for (const std::size_t i : *side) {
                (side == &chosen.before ? check.before : check.after).push_back(points[i].report);
                const std::int64_t id = points[i].report.id;
                if (!rated.contains(id)) {
                    HistoryResult<std::vector<PoolRating>> asked = store.Ratings(id, settings);
                    if (!asked.Ok()) {
                        return {std::nullopt, asked.messages};
                    }
                    rated.emplace(id, std::move(*asked.value));
                }
                for (const PoolRating& rating : rated.at(id)) {
                    if (SamePoolName(rating.poolName, poolName)) {
                        ratings.push_back({i, rating});
                        break;
                    }
                }
            }
        }
        check.figures = CompareMeans(points, chosen, ratings);
        const auto vpSize = std::find_if(change.steps.begin(), change.steps.end(),
                                         [](const SettingStep& s) { return s.setting == PoolSetting::VPSize; });
        if (vpSize != change.steps.end()) {
            auto prediction = PredictionOf(store, check.lastBefore, poolName,
                                           static_cast<std::int64_t>(std::llround(vpSize->after)), points);
            if (!prediction.Ok()) {
                return {std::nullopt, prediction.messages};
            }
            check.prediction = *prediction.value;
            if (check.prediction) {
                check.prediction->measuredHitRatio = check.figures[CheckedHitRatio].after;
                check.prediction->measuredReadRate = check.figures[CheckedSyncReads].after;
                check.prediction->met = PredictionMet(*check.prediction);
            }
        }
        result.value->push_back(std::move(check));
    }
    return result;
}

} // namespace

HistoryResult<std::vector<ChangeCheck>>
CheckSettingChanges(HistoryStore& store, const std::vector<PoolTrendPoint>& points, const RatingSettings& settings) {
    return CheckChanges(store, points, FindSettingChanges(points), settings);
}

HistoryResult<std::vector<ChangeCheck>> CheckChangesBetween(HistoryStore& store, const StoredReport& before,
                                                            const StoredReport& after, const RatingSettings& settings) {
    HistoryResult<std::vector<ChangeCheck>> result;
    result.value.emplace();
    const Report& older = before.report;
    const Report& newer = after.report;
    for (int p = 1; p <= newer.PoolCount(); ++p) {
        const PoolRecord& pool = newer.Pools(p);
        const std::string name(pool.PoolName.Trimmed());
        const int q = FirstPoolNamed(older, ShownPoolName(newer, p));
        if (q == 0) {
            continue;
        }
        const PoolRecord& was = older.Pools(q);
        if (was.VPSize == pool.VPSize && was.VPSeqThreshold == pool.VPSeqThreshold && was.DWTH == pool.DWTH &&
            was.VWTH == pool.VWTH) {
            continue;
        }
        HistoryResult<std::vector<PoolTrendPoint>> trend =
            store.PoolTrend(name, HistoryFilter{after.info.system, after.info.subsystem});
        if (!trend.Ok()) {
            return {std::nullopt, trend.messages};
        }
        const std::vector<PoolTrendPoint>& points = *trend.value;
        const auto position = [&points](std::int64_t id) {
            return std::find_if(points.begin(), points.end(),
                                [id](const PoolTrendPoint& t) { return t.report.id == id; }) -
                   points.begin();
        };
        // Two reports given newer first straddle the same changes.
        const auto one = static_cast<std::size_t>(position(before.info.id));
        const auto other = static_cast<std::size_t>(position(after.info.id));
        const std::size_t from = std::min(one, other);
        const std::size_t to = std::max(one, other);
        std::vector<SettingChangeAt> between;
        for (SettingChangeAt& change : FindSettingChanges(points)) {
            if (to < points.size() && from < change.index && change.index <= to) {
                between.push_back(std::move(change));
            }
        }
        HistoryResult<std::vector<ChangeCheck>> checks = CheckChanges(store, points, between, settings);
        if (!checks.Ok()) {
            return checks;
        }
        for (ChangeCheck& check : *checks.value) {
            result.value->push_back(std::move(check));
        }
    }
    return result;
}

} // namespace ornexa
