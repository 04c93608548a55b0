#include "cli/compare_document.h"

#include <ostream>

#include "cli/history_document.h"
#include "report/latin1.h"
#include "report/shown_text.h"

namespace ornexa::cli {

using Json = nlohmann::ordered_json;

namespace {

Json Optional(const std::optional<double>& value) {
    return value && std::isfinite(*value) ? Json(*value) : Json(nullptr);
}

Json ReportFacts(const ComparedReport& side) {
    return {{"id", side.id ? Json(*side.id) : Json(nullptr)},
            {"file", side.file},
            {"system", side.system},
            {"subsystem", side.subsystem},
            {"collected", side.collected}};
}

Json ObjectChanges(const std::vector<ObjectChange>& changes) {
    Json list = Json::array();
    for (const ObjectChange& change : changes) {
        list.push_back({{"name", change.objectName},
                        {"type", change.objectType},
                        {"pool", change.poolName},
                        {"before", change.before},
                        {"after", change.after},
                        {"change", change.Change()}});
    }
    return list;
}

} // namespace

ComparedReport ComparedFile(const Report& report, const std::filesystem::path& path) {
    const ReportHeader& h = report.Header;
    const std::string date = ShownText(h.CollectionDate);
    const std::string time = ShownText(h.CollectionTime);
    return {std::nullopt, path.string(), ShownText(h.SystemName), ShownText(h.SubSystemName),
            CollectionTimestamp(date, time).value_or(date + (time.empty() ? "" : " " + time))};
}

ComparedReport ComparedStored(const HistoryReportInfo& info) {
    return {info.id, info.fileName, info.system, info.subsystem, info.collectedAt};
}

Json CompareDocument(const ComparedReport& before, const ComparedReport& after, const ReportComparison& comparison) {
    Json pools = Json::array();
    for (const PoolComparison& pool : comparison.pools) {
        Json figures = Json::object();
        for (std::size_t f = 0; f < ComparedPoolFigures().size(); ++f) {
            const FigureChange& change = pool.figures[f];
            figures[ComparedPoolFigures()[f].key] = {{"before", Optional(change.before)},
                                                     {"after", Optional(change.after)},
                                                     {"difference", Optional(change.difference)},
                                                     {"percent", Optional(change.percent)},
                                                     {"verdict", ChangeVerdictKey(change.verdict)}};
        }
        pools.push_back(
            {{"name", pool.poolName}, {"in_before", pool.inBefore}, {"in_after", pool.inAfter}, {"figures", figures}});
    }
    Json moves = Json::array();
    for (const ObjectMove& move : comparison.objectMoves) {
        moves.push_back({{"kind", MoveKindKey(move.kind)},
                         {"name", move.objectName},
                         {"type", move.objectType},
                         {"pool_before", move.poolBefore.empty() ? Json(nullptr) : Json(move.poolBefore)},
                         {"pool_after", move.poolAfter.empty() ? Json(nullptr) : Json(move.poolAfter)}});
    }
    return {{"schema", "ornexa-compare/1"},
            {"before", ReportFacts(before)},
            {"after", ReportFacts(after)},
            {"pools", pools},
            {"object_moves", moves},
            {"getpage_changes", ObjectChanges(comparison.getPageChanges)},
            {"sync_read_changes", ObjectChanges(comparison.syncReadChanges)},
            {"notes", comparison.notes}};
}

namespace {

std::string Facts(const ComparedReport& side) {
    return side.system + " " + side.subsystem + " collected " + side.collected + ", " +
           (side.id ? "report " + std::to_string(*side.id) + " (" + side.file + ")" : side.file);
}

std::string Shown(const std::optional<double>& value) {
    return FigureCell(value, FigureStyle::TwoDecimals);
}

std::string Percent(const std::optional<double>& value) {
    return value && std::isfinite(*value) ? Shown(value) + " %" : "-";
}

void WriteIndented(std::ostream& out, const std::string& text) {
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = text.find('\n', at);
        out << "  " << text.substr(at, end == std::string::npos ? std::string::npos : end - at + 1);
        at = end == std::string::npos ? text.size() : end + 1;
    }
}

void WriteObjectChanges(std::ostream& out, const char* title, const std::vector<ObjectChange>& changes) {
    out << '\n' << title << ":\n";
    if (changes.empty()) {
        out << "  none\n";
        return;
    }
    TextTable table;
    table.header = {"Object", "Type", "Pool", "Before", "After", "Change"};
    for (const ObjectChange& change : changes) {
        table.rows.push_back({change.objectName, change.objectType, change.poolName, Shown(change.before),
                              Shown(change.after), Shown(change.Change())});
    }
    WriteIndented(out, AlignedText(table, {false, false, false, true, true, true}));
}

} // namespace

void WriteCompareText(std::ostream& out, const ComparedReport& before, const ComparedReport& after,
                      const ReportComparison& comparison) {
    out << "Before: " << Facts(before) << '\n' << "After:  " << Facts(after) << '\n';
    for (const PoolComparison& pool : comparison.pools) {
        out << '\n' << "Pool " << pool.poolName;
        if (!pool.inBefore || !pool.inAfter) {
            out << (pool.inBefore ? " (only before)" : " (only after)");
        }
        out << '\n';
        TextTable table;
        table.header = {"Figure", "Before", "After", "Difference", "Percent", "Verdict"};
        for (std::size_t f = 0; f < ComparedPoolFigures().size(); ++f) {
            const FigureChange& change = pool.figures[f];
            table.rows.push_back({ComparedPoolFigures()[f].caption, Shown(change.before), Shown(change.after),
                                  Shown(change.difference), Percent(change.percent), ChangeVerdictKey(change.verdict)});
        }
        WriteIndented(out, AlignedText(table, {false, true, true, true, true, false}));
    }
    out << "\nObject moves:\n";
    if (comparison.objectMoves.empty()) {
        out << "  none\n";
    }
    for (const ObjectMove& move : comparison.objectMoves) {
        out << "  " << MoveKindKey(move.kind) << ' ' << move.objectName << " (" << move.objectType << ")";
        switch (move.kind) {
        case ObjectMoveKind::Appeared:
            out << " in " << move.poolAfter;
            break;
        case ObjectMoveKind::Disappeared:
            out << " from " << move.poolBefore;
            break;
        case ObjectMoveKind::Moved:
            out << ' ' << move.poolBefore << " -> " << move.poolAfter;
            break;
        }
        out << '\n';
    }
    WriteObjectChanges(out, "Largest changes of getpages per second", comparison.getPageChanges);
    WriteObjectChanges(out, "Largest changes of synchronous read I/Os per second", comparison.syncReadChanges);
    if (!comparison.notes.empty()) {
        out << "\nNotes:\n";
    }
    for (const std::string& note : comparison.notes) {
        out << "  " << note << '\n';
    }
}

} // namespace ornexa::cli
