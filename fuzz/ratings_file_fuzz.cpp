// Any bytes as a site file of rating bounds (ratings.toml): the read ends with settings or with messages
// that name the file and a line; settings read rate a report, and every bound read is a number.
#include <cmath>
#include <cstdint>
#include <stdexcept>
#include <string_view>

#include "advice/pool_ratings.h"
#include "advice/rating_settings_file.h"
#include "statistics_sample.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const ornexa::Result<ornexa::RatingSettings> read = ornexa::ParseRatingSettings(text, "fuzz.toml");
    if (!read.Ok()) {
        if (read.messages.empty()) {
            throw std::logic_error("a file refused says why");
        }
        for (const ornexa::Message& message : read.messages) {
            if (!message.text.starts_with("fuzz.toml")) {
                throw std::logic_error("every message names the file");
            }
        }
        return 0;
    }
    const auto finite = [](const ornexa::RatingThreshold& t) {
        return (!t.warning || std::isfinite(*t.warning)) && (!t.exception || std::isfinite(*t.exception));
    };
    for (const ornexa::RatingThreshold& t : read.value->defaults) {
        if (!finite(t)) {
            throw std::logic_error("a bound read is a finite number");
        }
    }
    for (const ornexa::PoolThresholdRule& rule : read.value->rules) {
        if (!finite(rule.threshold)) {
            throw std::logic_error("a pool's bound read is a finite number");
        }
    }
    const fuzz::Simulated& simulated = fuzz::SimulatedSample();
    for (const ornexa::PoolRating& rating : ornexa::RateReport(simulated.report, *read.value)) {
        if (rating.poolName.empty()) {
            throw std::logic_error("a pool rated has its name");
        }
    }
    return 0;
}
