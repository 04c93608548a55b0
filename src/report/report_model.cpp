#include "report/report_model.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "report/number_format.h"
#include "report/numbers.h"

namespace ornexa {

bool Report::AddPool(const PoolRecord& pool) {
    if (PoolCount() >= limits_.pools) {
        return false;
    }
    pools_.push_back(pool);
    return true;
}

bool Report::AddObject(const ObjectRecord& object) {
    if (ObjectCount() >= limits_.objects) {
        return false;
    }
    if (objects_.capacity() == 0) {
        objects_.reserve(256);
    }
    objects_.push_back(object);
    return true;
}

std::string LimitsText(const ReportLimits& limits) {
    return LimitFigure(limits.pools) + " pools, " + LimitFigure(limits.objects) + " objects";
}

std::string LimitFigure(int count) {
    return count < 10'000 ? std::to_string(count) : FormatPicture(count, "#,##0");
}

void Report::ReserveObjects(std::int64_t objects) {
    const auto wanted = std::clamp<std::int64_t>(objects, 0, limits_.objects);
    if (static_cast<std::size_t>(wanted) > objects_.capacity()) {
        objects_.reserve(static_cast<std::size_t>(wanted));
    }
}

void Report::Reset() {
    Header = ReportHeader{};
    pools_.clear();
    objects_.clear();
    StatFileLoaded = false;
    ElapsedSeconds = 0;
    Db2Display.reset();
}

void ResetReport(Report& report) {
    report.Reset();
}

ObjectRange PoolObjects(const Report& report, int p) {
    const PoolRecord& pool = report.Pools(p);
    return {pool.FirstObject, pool.LastObject};
}

namespace {

double PartValue(std::string_view part) {
    const Converted<double> value = TextToDouble(part);
    return value ? value.Value() : 0.0;
}

} // namespace

Long ElapsedToSeconds(std::string_view text) {
    const std::string_view t = TrimBlanks(text);
    const auto part = [&](std::size_t from, std::size_t count) {
        return from < t.size() ? t.substr(from, count) : std::string_view{};
    };
    const double hours = PartValue(part(0, 2));
    const double minutes = PartValue(part(3, 2));
    const double seconds = PartValue(t.size() >= 2 ? t.substr(t.size() - 2) : t);
    const double total = std::nearbyint(hours * 3600) + std::nearbyint(minutes * 60) + std::nearbyint(seconds);
    const Converted<Long> whole = DoubleToLong(total);
    return whole ? whole.Value() : 0;
}

} // namespace ornexa
