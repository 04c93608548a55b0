#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ornexa {

// Where a point of a pool's sizing curve comes from, from the most to the least trusted: the report's own
// measurement at the pool's size, the Simulation report's simulated sizes, Db2's simulated pool, other
// reports of the history at other sizes, and the stated estimate.
enum class SizingEvidence : std::uint8_t { Measured, Simulation, Db2Simulated, History, Estimate };
inline constexpr std::size_t SizingEvidenceCount = 5;
// "measured", "simulation", "db2_simulated", "history", "estimate"
std::string_view SizingEvidenceKey(SizingEvidence evidence);
// "measured", "simulated", "Db2 simulated", "history", "estimated"
std::string_view SizingEvidenceText(SizingEvidence evidence);

// One point: the synchronous read I/Os per second expected at a size (in buffers of the pool's page size).
struct SizingPoint {
    std::int64_t buffers = 0;
    double syncReadsPerSecond = 0;
    SizingEvidence evidence = SizingEvidence::Estimate;
    // A measured point above an earlier (smaller) one: kept as measured, lowered for the allocation.
    bool rises = false;
    int reports = 1; // the reports a history point is the mean of
    friend bool operator==(const SizingPoint&, const SizingPoint&) = default;
};

// A pool's curve: its points by size, with the bounds the allocation keeps to.
struct SizingCurve {
    std::string poolName;
    int pageSizeKb = 4; // 4, 8, 16 or 32; 0 for a pool whose name is no buffer-pool name
    std::int64_t currentBuffers = 0;
    std::vector<SizingPoint> points;        // by size; a curve without points has no evidence
    bool keep = false;                      // protected: never below its current size
    std::optional<std::int64_t> maxBuffers; // never above
    std::string leftAlone;                  // why a curve without points has none
    // Db2 sizes the pool itself between VPSIZE MINIMUM and MAXIMUM (AUTOSIZE(YES) in its display).
    bool autosize = false;
    std::optional<std::int64_t> vpSizeMin;
    std::optional<std::int64_t> vpSizeMax;
    [[nodiscard]] std::int64_t BytesPerBuffer() const { return static_cast<std::int64_t>(pageSizeKb) * 1024; }
};

// How sure a curve is, by the best evidence it rests on beside the report's own measurement: High for a
// simulation (the Simulation report or Db2's), Medium for the history, Low for an estimate, None without
// points.
enum class SizingConfidence : std::uint8_t { High, Medium, Low, None };
std::string_view SizingConfidenceKey(SizingConfidence confidence); // "high", "medium", "low", "none"
SizingConfidence ConfidenceOf(const SizingCurve& curve);
// How many of the curve's points each kind of evidence gives, by SizingEvidence.
std::array<int, SizingEvidenceCount> EvidenceCounts(const SizingCurve& curve);
// "1 measured, 7 simulated"; "no evidence" without points.
std::string EvidenceSummary(const SizingCurve& curve);

// Sorts the points by size and flags a point that reads more than one before it (`rises`).
void OrderPoints(SizingCurve& curve);

// The reads expected at `buffers`: between two points on the straight line, below the smallest point
// its reads, beyond the largest its reads (no extrapolation); never more than at any smaller size, so
// a larger pool never reads more. Nothing for a curve without points.
std::optional<double> ReadsAt(const SizingCurve& curve, std::int64_t buffers);

// How the budget is split: the storage to add (positive) or give back (negative), the step each
// pool moves by (a share of its current size, at least `minStepBuffers`).
struct SizingRequest {
    std::int64_t budgetBytes = 0;
    double stepShare = 0.05;
    std::int64_t minStepBuffers = 1000;
};

// A pool's part of the split.
struct SizingResult {
    std::string poolName;
    std::int64_t currentBuffers = 0;
    std::int64_t proposedBuffers = 0;
    std::int64_t bytes = 0;              // added (positive) or freed (negative)
    std::optional<double> readsNow;      // synchronous reads per second at the current size
    std::optional<double> readsProposed; // and at the proposed size
    std::optional<double> readsSaved;    // synchronous reads per second saved (negative: added)
    bool evidence = true;                // false: no curve, left alone
    SizingConfidence confidence = SizingConfidence::None;
    std::string leftAlone; // why a pool without evidence was left alone
};

struct SizingPlan {
    std::vector<SizingResult> pools; // in the order of the curves given
    std::int64_t bytesPlaced = 0;    // of the budget, with its sign
    double readsSaved = 0;
};

// Splits the budget step by step: each step goes to the pool whose next step saves the most reads per
// byte (giving back: costs the fewest), ties broken by pool name, until the next step would pass the
// budget or no pool can move. The same curves and request give the same plan on every machine.
SizingPlan AllocateBudget(std::vector<SizingCurve> curves, const SizingRequest& request);

} // namespace ornexa
