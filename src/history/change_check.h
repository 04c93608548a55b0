#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "advice/pool_ratings.h"
#include "advice/sizing_curves.h"
#include "history/history_store.h"
#include "history/report_compare.h"

namespace ornexa {

// The pool settings whose change is checked, as the ALTER BUFFERPOOL command names them.
enum class PoolSetting { VPSize, VPSeqt, Dwqt, Vdwqt };
const char* PoolSettingName(PoolSetting setting); // "VPSIZE", "VPSEQT", "DWQT", "VDWQT"

struct SettingStep {
    PoolSetting setting = PoolSetting::VPSize;
    double before = 0; // DWQT and VDWQT are held as percents that may have decimals
    double after = 0;
    friend bool operator==(const SettingStep&, const SettingStep&) = default;
};

// Where a pool's settings changed in its trend: `index` is the first point with the new settings.
struct SettingChangeAt {
    std::size_t index = 0;
    std::vector<SettingStep> steps;
};

// Every change of VPSIZE, VPSEQT, DWQT or VDWQT between two points that follow each other; a setting
// the input did not give is no change.
std::vector<SettingChangeAt> FindSettingChanges(const std::vector<PoolTrendPoint>& points);
// "VPSIZE 20000 -> 30000, DWQT 30 -> 20"
std::string SettingStepsText(const std::vector<SettingStep>& steps);

// Which intervals a change is judged by. SameHours: on each side `perSide` intervals at the time of
// day of the first interval after the change (within SameHourWindowSeconds either way), one a day,
// the days nearest the change first; both sides stay within the settings of their own side. When the
// history does not hold that many on both sides: Neighbours, the last interval before and the first
// after.
enum class IntervalChoice { SameHours, Neighbours };
inline constexpr int ComparedIntervalsPerSide = 3;
inline constexpr double SameHourWindowSeconds = 30 * 60;
struct ChosenIntervals {
    IntervalChoice choice = IntervalChoice::Neighbours;
    std::vector<std::size_t> before; // point indexes, nearest the change first
    std::vector<std::size_t> after;
};
ChosenIntervals ChooseIntervals(const std::vector<PoolTrendPoint>& points, const SettingChangeAt& change,
                                int perSide = ComparedIntervalsPerSide);
const char* IntervalChoiceKey(IntervalChoice choice); // "same_hours", "neighbours"

// The figures a change is judged by: the pool's ratings (in RatingKind order; synchronous read I/Os per
// second among them), then hit ratio and getpages per second.
inline constexpr std::size_t CheckedFigureCount = RatingKindCount + 2;
inline constexpr std::size_t CheckedHitRatio = RatingKindCount;
inline constexpr std::size_t CheckedGetPages = RatingKindCount + 1;
inline constexpr std::size_t CheckedSyncReads = static_cast<std::size_t>(RatingKind::SyncReadRate);
struct CheckedFigure {
    std::string_view key;     // the rating's key, "hit_ratio", "getpages_per_second"
    std::string_view caption; // "System page residency time", "Hit Ratio", ...
    std::string_view unit;
    GoodDirection good = GoodDirection::Neither;
};
const std::array<CheckedFigure, CheckedFigureCount>& CheckedFigures();

// What the report before a VPSIZE change expected of the new size: the Simulation report held with it
// or Db2's simulated pool of its display, read at the new size (linearly between the simulated sizes
// around it; nothing outside them). The measurement meets the prediction when the measured hit ratio
// is at most HitRatioTolerancePoints below the predicted one and the measured synchronous read I/Os
// per second at most ReadRateTolerance (a share) above the predicted rate; `met` is absent when
// neither pair is known.
// When the report before holds neither for the pool, its sizing curve answers (SizeCurve): the
// report's own measurement with the history's means per other VPSIZE at comparable load collected up
// to the report before (never later: those are the answer), else the stated estimate. It predicts only
// a read rate, and only for a new size within the curve's points; beyond them it predicts nothing.
enum class PredictionSource { Simulation, Db2SimulatedPool, SizeCurve };
inline constexpr double HitRatioTolerancePoints = 5.0;
inline constexpr double ReadRateTolerance = 0.20;
struct SizePrediction {
    PredictionSource source = PredictionSource::Simulation;
    std::int64_t reportId = 0; // the report whose simulation predicted it
    std::int64_t size = 0;     // the new VPSIZE
    std::optional<double> hitRatio;
    std::optional<double> readRate;
    std::optional<double> measuredHitRatio; // mean after the change
    std::optional<double> measuredReadRate;
    std::optional<bool> met;
    // What a size-curve prediction rests on: how sure its curve is and its points by evidence
    // ("1 measured, 1 history"); None and no points for a simulation.
    SizingConfidence confidence = SizingConfidence::None;
    std::array<int, SizingEvidenceCount> evidence{};
    std::string evidenceText;
};
const char* PredictionSourceKey(PredictionSource source); // "simulation", "db2_simulated_pool", "size_curve"

// One change with the comparison of the intervals around it: per figure the mean before and after.
struct ChangeCheck {
    std::string poolName;
    std::vector<SettingStep> steps;
    HistoryReportInfo lastBefore; // the reports the change lies between
    HistoryReportInfo firstAfter;
    IntervalChoice choice = IntervalChoice::Neighbours;
    std::vector<HistoryReportInfo> before; // the intervals compared, nearest the change first
    std::vector<HistoryReportInfo> after;
    std::array<FigureChange, CheckedFigureCount> figures;
    std::optional<SizePrediction> prediction;
    [[nodiscard]] int Better() const;
    [[nodiscard]] int Worse() const;
};

// Pure parts of a check, for the intervals chosen: the means of the trend's figures and of the ratings
// given per point (by point index; a point without one counts as not rated).
struct RatedPoint {
    std::size_t index = 0;
    PoolRating rating;
};
std::array<FigureChange, CheckedFigureCount> CompareMeans(const std::vector<PoolTrendPoint>& points,
                                                          const ChosenIntervals& chosen,
                                                          const std::vector<RatedPoint>& ratings);
// A simulated size curve read at `size`: buffers, hit ratio, read rate per point.
struct CurvePoint {
    std::int64_t buffers = 0;
    std::optional<double> hitRatio;
    std::optional<double> readRate;
};
std::optional<CurvePoint> CurveAt(std::vector<CurvePoint> curve, std::int64_t size);
// The curve a stored report predicts a pool's sizes by: the Simulation report held with it, else Db2's
// simulated pool of its display; nothing when it holds neither for that pool.
struct PredictionCurve {
    PredictionSource source = PredictionSource::Simulation;
    std::vector<CurvePoint> points;
};
std::optional<PredictionCurve> PredictionCurveOf(const StoredReport& stored, std::string_view poolName);
// The size-curve prediction of the report before (`stored`) for `newSize`, from `observations` of
// its system and subsystem collected up to it; nothing when the pool has no curve, the curve holds a
// simulated point (the simulation answers) or the new size lies outside its points.
std::optional<SizePrediction> SizeCurvePrediction(const StoredReport& stored, std::string_view poolName,
                                                  std::int64_t newSize,
                                                  const std::vector<SizeObservation>& observations);
// Whether the measurement met the prediction, by the tolerances above.
std::optional<bool> PredictionMet(const SizePrediction& prediction);

// Every setting change in a pool's trend with its comparison. The store is asked only for the
// ratings of the intervals compared and for the report before each VPSIZE change; the size curve of
// that report rests on the points given (those of its system and subsystem up to it).
HistoryResult<std::vector<ChangeCheck>> CheckSettingChanges(HistoryStore& store,
                                                            const std::vector<PoolTrendPoint>& points,
                                                            const RatingSettings& settings = {});

// The checks of the changes between two reports held (`before` the older): for every pool of both
// whose settings differ, the changes of its trend (same system and subsystem) that lie after `before`
// and up to `after`.
HistoryResult<std::vector<ChangeCheck>> CheckChangesBetween(HistoryStore& store, const StoredReport& before,
                                                            const StoredReport& after,
                                                            const RatingSettings& settings = {});

} // namespace ornexa
