#include "history/stored_ratings.h"

#include <xxhash.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>
#include <optional>
#include <unordered_map>

#include "history/stored_rows.h"
#include "history/stored_text.h"

namespace ornexa {

namespace {

constexpr std::string_view NotRatedReason = "not rated when the report was imported";

char VerdictLetter(RatingVerdict verdict) {
    switch (verdict) {
    case RatingVerdict::Good:
        return 'g';
    case RatingVerdict::Warning:
        return 'w';
    case RatingVerdict::Exception:
        return 'e';
    case RatingVerdict::NotApplicable:
        break;
    }
    return 'n';
}

std::optional<RatingVerdict> VerdictOfLetter(char letter) {
    switch (letter) {
    case 'n':
        return RatingVerdict::NotApplicable;
    case 'g':
        return RatingVerdict::Good;
    case 'w':
        return RatingVerdict::Warning;
    case 'e':
        return RatingVerdict::Exception;
    default:
        return std::nullopt;
    }
}

// The shortest text that reads back as the same double, with '.' whatever the locale.
std::string NumberText(double value) {
    std::array<char, 32> text{};
    const auto end = std::to_chars(text.data(), text.data() + text.size(), value).ptr;
    return {text.data(), end};
}

// A text kept within one field of a tab- or line-separated list.
std::string OneField(std::string_view text) {
    std::string field(text);
    std::replace_if(
        field.begin(), field.end(), [](char c) { return c == '\t' || c == '\n'; }, ' ');
    return field;
}

// A reason as stored: "#2" for the third of the known reasons, else the text itself.
std::string ReasonFromStored(std::string_view stored, const std::string& where, std::size_t k) {
    if (stored.empty() || stored.front() != '#') {
        return std::string(stored);
    }
    std::size_t at = 0;
    const auto [end, error] = std::from_chars(stored.data() + 1, stored.data() + stored.size(), at);
    if (error != std::errc() || end != stored.data() + stored.size() || at >= RatingReasons().size()) {
        throw SqlError(where + ", column ratings names no known reason at place " + std::to_string(k + 1));
    }
    return std::string(RatingReasons()[at]);
}

std::int64_t IdAt(const SqlRow& row, std::size_t column, std::string_view name, const std::string& where) {
    const auto* id = std::get_if<std::int64_t>(&row.at(column));
    if (id == nullptr) {
        throw SqlError(where + ", column " + std::string(name) + " holds no whole number");
    }
    return *id;
}

// The conditions of `query` on `report_health h`, with their parameters appended.
std::string HealthConditions(const HealthQuery& query, SqlParams& params) {
    std::string sql = " WHERE 1 = 1";
    const auto add = [&](const std::string& value, const char* condition) {
        if (!value.empty()) {
            sql += condition;
            params.emplace_back(value);
        }
    };
    add(query.filter.system, " AND h.system_name = ?");
    add(query.filter.subsystem, " AND h.subsystem_name = ?");
    add(query.since, " AND h.collected_at >= ?");
    add(query.until, " AND h.collected_at <= ?");
    return sql;
}

// Each pool's worst verdict again, with `settings`, for the reports of `query` rated with other
// thresholds than theirs (`settingsKey`): by report id, a letter per pool.
std::unordered_map<std::int64_t, std::string>
JudgedAgain(SqlDatabase& db, const HealthQuery& query, const RatingSettings& settings, const std::string& settingsKey) {
    SqlParams params;
    const std::string sql =
        "SELECT pr.report_id, pr.pool_name, pr.ratings FROM pool_ratings pr JOIN report_health h ON h.report_id = "
        "pr.report_id" +
        HealthConditions(query, params) + " AND h.settings_key <> ? ORDER BY pr.report_id, pr.pool_number";
    params.emplace_back(settingsKey);
    std::unordered_map<std::string, RatingThresholds> thresholdsOf;
    std::unordered_map<std::int64_t, std::string> verdicts;
    for (const SqlRow& row : db.Query(sql, params)) {
        const std::int64_t id = IdAt(row, 0, "report_id", "a pool's ratings");
        const std::string where = "the ratings of a pool of report " + std::to_string(id);
        const std::string name = TextFromStored(TextAt(row, 1, "pool_name", where));
        auto found = thresholdsOf.find(name);
        if (found == thresholdsOf.end()) {
            found = thresholdsOf.emplace(name, settings.For(name)).first;
        }
        const PoolRating rating = PoolRatingFromStored(TextAt(row, 2, "ratings", where), found->second, false, where);
        verdicts[id] += VerdictLetter(rating.Worst());
    }
    return verdicts;
}

} // namespace

std::string RatingSettingsKey(const RatingSettings& settings) {
    std::string text;
    const auto bound = [&text](const std::optional<double>& value) {
        text += value ? NumberText(*value) : std::string("-");
        text += ',';
    };
    for (const RatingThreshold& threshold : settings.defaults) {
        bound(threshold.warning);
        bound(threshold.exception);
    }
    for (const PoolThresholdRule& rule : settings.rules) {
        text += '\n';
        text += rule.pattern;
        text += '\t';
        text += std::to_string(static_cast<int>(rule.kind));
        text += ',';
        bound(rule.threshold.warning);
        bound(rule.threshold.exception);
        text += rule.warningOff ? "w-off," : "";
        text += rule.exceptionOff ? "e-off," : "";
    }
    std::array<char, 17> key{};
    std::snprintf(key.data(), key.size(), "%016llx",
                  static_cast<unsigned long long>(XXH3_64bits(text.data(), text.size())));
    return key.data();
}

std::string StoredPoolRatings(const PoolRating& rating) {
    std::string text;
    for (const Rating& r : rating.ratings) {
        if (&r != rating.ratings.data()) {
            text += '\t';
        }
        if (r.value) {
            text += VerdictLetter(r.verdict);
            text += NumberText(*r.value);
        } else {
            // A known reason by its place ("n#2"), any other written out.
            text += 'n';
            const auto& known = RatingReasons();
            const auto at = std::find(known.begin(), known.end(), r.reason);
            text += at != known.end() ? "#" + std::to_string(at - known.begin()) : OneField(r.reason);
        }
    }
    return text;
}

PoolRating PoolRatingFromStored(std::string_view stored, const RatingThresholds& thresholds, bool storedVerdicts,
                                const std::string& where) {
    const std::vector<std::string_view> fields = SplitText(stored, '\t');
    PoolRating rating;
    for (std::size_t k = 0; k < RatingKindCount; ++k) {
        Rating& r = rating.ratings[k];
        r.kind = static_cast<RatingKind>(k);
        r.threshold = thresholds[k];
        if (k >= fields.size()) {
            r.reason = NotRatedReason;
            continue;
        }
        const std::string_view field = fields[k];
        const std::optional<RatingVerdict> verdict = field.empty() ? std::nullopt : VerdictOfLetter(field.front());
        if (!verdict) {
            throw SqlError(where + ", column ratings holds no rating at place " + std::to_string(k + 1));
        }
        const std::string_view rest = field.substr(1);
        if (*verdict == RatingVerdict::NotApplicable) {
            r.reason = ReasonFromStored(rest, where, k);
            continue;
        }
        double value = 0;
        const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), value);
        if (error != std::errc() || end != rest.data() + rest.size()) {
            throw SqlError(where + ", column ratings holds no number at place " + std::to_string(k + 1));
        }
        r.value = value;
        r.verdict = storedVerdicts ? *verdict : Judge(value, DefinitionOf(r.kind).worseWhen, r.threshold);
    }
    return rating;
}

std::string StoredVerdicts(const std::vector<PoolRating>& ratings) {
    std::string verdicts;
    verdicts.reserve(ratings.size());
    for (const PoolRating& rating : ratings) {
        verdicts += VerdictLetter(rating.Worst());
    }
    return verdicts;
}

void StoreRatings(SqlDatabase& db, std::int64_t id, const HealthRowKeys& keys, const std::vector<PoolRating>& ratings,
                  const std::string& settingsKey) {
    // The pool names are kept once for every report of the same pools, each name a line of them.
    std::string names;
    for (const PoolRating& rating : ratings) {
        names += OneField(StoredText(rating.poolName));
        names += '\n';
    }
    const std::string hash = ContentHash(names);
    auto held = db.Query("INSERT INTO rated_pool_names (names_hash, names) VALUES (?, ?) "
                         "ON CONFLICT (names_hash) DO NOTHING RETURNING id",
                         {hash, names});
    if (held.empty()) {
        held = db.Query("SELECT id FROM rated_pool_names WHERE names_hash = ?", {hash});
    }
    if (held.empty()) {
        throw SqlError("the pool names of report " + std::to_string(id) + " could not be kept");
    }
    db.Query(
        "INSERT INTO report_health (report_id, system_name, subsystem_name, collected_at, settings_key, "
        "pool_names_id, verdicts) VALUES (?, ?, ?, ?, ?, ?, ?)",
        {id, keys.system, keys.subsystem, keys.collectedAt, settingsKey, held.front().at(0), StoredVerdicts(ratings)});
    std::vector<SqlParams> rows;
    rows.reserve(ratings.size());
    for (const PoolRating& rating : ratings) {
        rows.push_back(
            {id, static_cast<std::int64_t>(rating.pool), StoredText(rating.poolName), StoredPoolRatings(rating)});
    }
    db.ExecuteMany("INSERT INTO pool_ratings (report_id, pool_number, pool_name, ratings) VALUES (?, ?, ?, ?)", rows);
}

void RateHeldReports(SqlDatabase& db) {
    const RatingSettings builtIn;
    const std::string key = RatingSettingsKey(builtIn);
    for (const SqlRow& row :
         db.Query("SELECT r.id, r.system_name, r.subsystem_name, r.collected_at FROM reports r WHERE NOT EXISTS "
                  "(SELECT 1 FROM report_health h WHERE h.report_id = r.id) ORDER BY r.id")) {
        const std::int64_t id = IdAt(row, 0, "id", "a report's row");
        const std::string where = "report " + std::to_string(id);
        const StoredRows rows = QueryStoredRows(db, id);
        std::optional<StoredReport> stored;
        try {
            stored = ReportFromRows(rows);
        } catch (const SqlError&) {
            // A report edited beyond reading is left unrated: it stays in the history (and says why when
            // it is loaded), and the overview leaves it out, rather than the history not opening at all.
            continue;
        }
        StoreRatings(db, id,
                     {TextAt(row, 1, "system_name", where), TextAt(row, 2, "subsystem_name", where),
                      TextAt(row, 3, "collected_at", where)},
                     RateReport(stored->report, builtIn), key);
    }
}

HealthOverview StoredHealth(SqlDatabase& db, const HealthQuery& query, const RatingSettings& settings) {
    SqlParams params;
    const std::string sql = "SELECT h.report_id, h.collected_at, h.system_name, h.subsystem_name, h.pool_names_id, "
                            "h.verdicts, h.settings_key FROM report_health h" +
                            HealthConditions(query, params) + " ORDER BY h.collected_at, h.report_id";
    const std::vector<SqlRow> reports = db.Query(sql, params);

    const std::string settingsKey = RatingSettingsKey(settings);
    const bool otherSettings = std::any_of(reports.begin(), reports.end(), [&settingsKey](const SqlRow& row) {
        const auto* key = std::get_if<std::string>(&row.at(6));
        return key == nullptr || *key != settingsKey;
    });
    const std::unordered_map<std::int64_t, std::string> judgedAgain =
        otherSettings ? JudgedAgain(db, query, settings, settingsKey) : std::unordered_map<std::int64_t, std::string>{};

    // Each set of pool names becomes the overview rows of its pools once, however many reports share it.
    std::unordered_map<std::int64_t, std::string> namesOf;
    for (const SqlRow& row : db.Query("SELECT id, names FROM rated_pool_names")) {
        namesOf.emplace(IdAt(row, 0, "id", "a set of pool names"), TextAt(row, 1, "names", "a set of pool names"));
    }
    std::vector<std::string> names;
    std::unordered_map<std::string, std::size_t> rowOf;
    std::unordered_map<std::int64_t, std::vector<std::size_t>> rowsOfSet;
    std::vector<HealthColumn> columns;
    std::vector<const std::vector<std::size_t>*> poolRows;
    std::vector<const std::string*> verdicts;
    columns.reserve(reports.size());
    poolRows.reserve(reports.size());
    verdicts.reserve(reports.size());
    for (const SqlRow& row : reports) {
        const std::int64_t id = IdAt(row, 0, "report_id", "a report's ratings");
        const std::string where = "the ratings of report " + std::to_string(id);
        const std::int64_t set = IdAt(row, 4, "pool_names_id", where);
        auto rows = rowsOfSet.find(set);
        if (rows == rowsOfSet.end()) {
            const auto text = namesOf.find(set);
            if (text == namesOf.end()) {
                throw SqlError(where + ", column pool_names_id names no set of pool names");
            }
            // Each name ends in a line end: the last part of the split is the empty rest.
            std::vector<std::string_view> stored = SplitText(text->second, '\n');
            stored.pop_back();
            std::vector<std::size_t> places;
            for (const std::string_view name : stored) {
                const auto [place, added] = rowOf.try_emplace(TextFromStored(name), names.size());
                if (added) {
                    names.push_back(place->first);
                }
                places.push_back(place->second);
            }
            rows = rowsOfSet.emplace(set, std::move(places)).first;
        }
        const auto again = judgedAgain.find(id);
        const auto* stored = std::get_if<std::string>(&row.at(5));
        const std::string* letters = again != judgedAgain.end() ? &again->second : stored;
        if (letters == nullptr || letters->size() != rows->second.size()) {
            throw SqlError(where + ", column verdicts does not give one verdict for each of its pools");
        }
        columns.push_back({id, TextAt(row, 1, "collected_at", where), TextAt(row, 2, "system_name", where),
                           TextAt(row, 3, "subsystem_name", where)});
        poolRows.push_back(&rows->second);
        verdicts.push_back(letters);
    }

    const std::size_t width = columns.size();
    std::vector<HealthCell> filled(names.size() * width, HealthCell::Absent);
    for (std::size_t c = 0; c < width; ++c) {
        const std::vector<std::size_t>& places = *poolRows[c];
        const std::string& letters = *verdicts[c];
        for (std::size_t i = 0; i < places.size(); ++i) {
            const std::optional<RatingVerdict> verdict = VerdictOfLetter(letters[i]);
            if (!verdict) {
                throw SqlError("the ratings of report " + std::to_string(columns[c].reportId) +
                               ", column verdicts holds a letter that is no verdict");
            }
            HealthCell& cell = filled[places[i] * width + c];
            cell = std::max(cell, CellOf(*verdict));
        }
    }
    return RankedHealthOverview(std::move(columns), names, filled);
}

std::vector<PoolRating> StoredRatings(SqlDatabase& db, std::int64_t id, const RatingSettings& settings) {
    const auto held = db.Query("SELECT settings_key FROM report_health WHERE report_id = ?", {id});
    if (held.empty()) {
        if (db.Query("SELECT id FROM reports WHERE id = ?", {id}).empty()) {
            throw SqlError("the history holds no report " + std::to_string(id));
        }
        throw SqlError("report " + std::to_string(id) + " holds no ratings: it could not be read when they were made");
    }
    const std::string where = "the ratings of report " + std::to_string(id);
    const bool sameSettings = TextAt(held.front(), 0, "settings_key", where) == RatingSettingsKey(settings);
    std::vector<PoolRating> ratings;
    for (const SqlRow& row : db.Query("SELECT pool_number, pool_name, ratings FROM pool_ratings WHERE report_id = ? "
                                      "ORDER BY pool_number",
                                      {id})) {
        const std::string name = TextFromStored(TextAt(row, 1, "pool_name", where));
        PoolRating rating =
            PoolRatingFromStored(TextAt(row, 2, "ratings", where), settings.For(name), sameSettings, where);
        rating.pool = static_cast<int>(IdAt(row, 0, "pool_number", where));
        rating.poolName = name;
        ratings.push_back(std::move(rating));
    }
    return ratings;
}

} // namespace ornexa
