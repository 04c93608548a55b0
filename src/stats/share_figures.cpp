#include "stats/share_figures.h"

#include <stdexcept>

#include "report/field_presence.h"
#include "report/fixed_text.h"
#include "report/record_catalogue.h"

namespace ornexa {

std::string_view ShareLabelTable(int kind, int slice) {
    static constexpr std::array<std::array<std::string_view, 4>, 4> table{{
        {"Seq ", "Rnd ", "RID ", ""},
        {"Sync ", "SPref ", "LPref ", "DPref "},
        {"Sync ", "SPref ", "LPref ", "DPref "},
        {"Index ", "Table ", "Unknown ", ""},
    }};
    if (kind < 1 || kind > 4 || slice < 1 || slice > 4) {
        throw std::out_of_range("no share label for this kind and slice");
    }
    return table[static_cast<std::size_t>(kind - 1)][static_cast<std::size_t>(slice - 1)];
}

int ObjectTypeBucket(const ObjectRecord& object) {
    const std::string_view type = object.ObjType.Padded();
    if (type == "I") {
        return 1;
    }
    if (type == "T") {
        return 2;
    }
    return 3;
}

bool ObjectGives(const Report& report, int o, std::string_view field) {
    return !report.Db2Display ||
           ObjectFieldGiven(report, o, FieldIndex(RecordCatalogue<ObjectRecord>(ObjectCatalogue()), field));
}

namespace {

// The record fields of the sources of kinds 1 to 3: getpages by access type, pages read and read
// I/Os by type, named as in the pool's (`pool`) or the object's catalogue.
std::string SourceField(int kind, int i, bool pool) {
    static constexpr std::array<std::string_view, 3> names{"GetPagesByAccess", "PagesReadByType", "ReadIOsByType"};
    static constexpr std::array<std::string_view, 3> poolNames{"PoolGetPagesByAccess", "PoolPagesReadByType",
                                                               "PoolReadIOsByType"};
    const auto at = static_cast<std::size_t>(kind - 1);
    return std::string(pool ? poolNames[at] : names[at]) + "(" + std::to_string(i) + ")";
}

int SourceCount(int kind) {
    return kind == 1 ? 3 : 4;
}

// The source values of kinds 1 to 3: getpages by access type, pages read and read I/Os by type.
template <class GetPages, class PagesRead, class ReadIOs>
std::array<std::int64_t, 4> Sources(int kind, int& count, const GetPages& getPages, const PagesRead& pagesRead,
                                    const ReadIOs& readIOs) {
    std::array<std::int64_t, 4> x{};
    count = SourceCount(kind);
    for (int i = 1; i <= count; ++i) {
        const auto at = static_cast<std::size_t>(i - 1);
        x[at] = kind == 1 ? getPages(i) : (kind == 2 ? pagesRead(i) : readIOs(i));
    }
    return x;
}

std::string Total(std::int64_t total, NumberStyle style) {
    return FormatPicture(static_cast<double>(total), "  ###,###,###", style);
}

// The sources a share takes, and what it says for one its input does not give.
struct Given {
    std::array<bool, 4> sources{true, true, true, true};
    std::string_view absentText;
};

ShareResult OwnShare(int kind, const std::array<std::int64_t, 4>& x, int n, bool zeroCheck, std::string_view zeroText,
                     const Given& given, NumberStyle style) {
    ShareResult r;
    r.sources = n;
    int shown = 0;
    for (int i = 1; i <= n; ++i) {
        const auto at = static_cast<std::size_t>(i - 1);
        if (!given.sources[at]) {
            r.values[at] = std::string(given.absentText);
            continue;
        }
        r.values[at] = "  " + PlainText(x[at]);
        r.data.ShareTotal += x[at];
        ++shown;
    }
    if (shown == 0) {
        r.absent = std::string(given.absentText);
    } else if (zeroCheck && r.data.ShareTotal == 0) {
        r.noData = std::string(zeroText);
    } else {
        // Only the sources given take a slice: a figure the input lacks is no zero share.
        int slice = 0;
        for (int i = 1; i <= n; ++i) {
            if (given.sources[static_cast<std::size_t>(i - 1)]) {
                ++slice;
                r.data.ShareValues(slice) = x[static_cast<std::size_t>(i - 1)];
                r.data.ShareLabels(slice) = std::string(ShareLabelTable(kind, i));
            }
        }
        r.data.ShareCount = slice;
    }
    r.total = Total(r.data.ShareTotal, style);
    return r;
}

} // namespace

bool PoolObjectsGive(const Report& report, int p, std::string_view field) {
    if (!report.Db2Display) {
        return true;
    }
    const std::size_t f = FieldIndex(RecordCatalogue<ObjectRecord>(ObjectCatalogue()), field);
    const ObjectRange range = PoolObjects(report, p);
    if (range.empty()) {
        for (int o = 1; o <= report.ObjectCount(); ++o) {
            if (ObjectFieldGiven(report, o, f)) {
                return true;
            }
        }
        return false;
    }
    for (const int o : range) {
        if (!ObjectFieldGiven(report, o, f)) {
            return false;
        }
    }
    return true;
}

std::string_view AbsentObjectText(const Report& report) {
    return HasObjectActivity(report) ? NotInThisInput : NotInDb2Display;
}

std::string CountText(std::int64_t value, NumberStyle style) {
    return FormatPicture(static_cast<double>(value), "#,##0", style);
}

std::optional<std::int64_t> DataSetFigureValue(const Report& report, int o, DataSetFigure figure) {
    if (!report.Db2Display || !report.HasObject(o)) {
        return std::nullopt;
    }
    const auto& objects = report.Db2Display->objects;
    const auto at = static_cast<std::size_t>(o - 1);
    return at < objects.size() ? objects[at].figures.Get(figure) : std::nullopt;
}

std::vector<FigureRow> DataSetFigureRows(const Report& report, int o, NumberStyle style) {
    std::vector<FigureRow> rows;
    if (!report.Db2Display || !report.HasObject(o)) {
        return rows;
    }
    for (std::size_t f = 0; f < DataSetFigureCount; ++f) {
        const auto figure = static_cast<DataSetFigure>(f);
        const std::optional<std::int64_t> value = DataSetFigureValue(report, o, figure);
        rows.push_back(
            {std::string(NameOf(figure).label), value ? CountText(*value, style) : std::string(NotInThisInput)});
    }
    return rows;
}

ShareResult PoolShare(const Report& report, int p, int kind, NumberStyle style) {
    const PoolRecord& pool = report.Pools(p);
    if (kind >= 1 && kind <= 3) {
        int n = 0;
        const auto x = Sources(
            kind, n, [&](int i) { return pool.PoolGetPagesByAccess(i); },
            [&](int i) { return pool.PoolPagesReadByType(i); }, [&](int i) { return pool.PoolReadIOsByType(i); });
        Given given{{}, NotInThisInput};
        for (int i = 1; i <= n; ++i) {
            given.sources[static_cast<std::size_t>(i - 1)] = PoolFieldGiven(report, p, SourceField(kind, i, true));
        }
        return OwnShare(kind, x, n, kind != 1, kind == 2 ? PagesReadZeroText : StartIOsZeroText, given, style);
    }
    if (kind < 4 || kind > 6) {
        throw std::out_of_range("pool share kind must be 1 to 6");
    }
    ShareResult r;
    r.sources = 3;
    if (report.Db2Display) { // the shares by object type add up the pool's objects' own figures
        for (int i = 1; i <= SourceCount(kind - 3); ++i) {
            if (!PoolObjectsGive(report, p, SourceField(kind - 3, i, false))) {
                r.absent = std::string(AbsentObjectText(report));
                return r;
            }
        }
    }
    const ObjectRange range = PoolObjects(report, p);
    for (const int o : range) {
        const ObjectRecord& object = report.Objects(o);
        std::int64_t sum = 0;
        for (int i = 1; i <= (kind == 4 ? 3 : 4); ++i) {
            sum += kind == 4 ? object.GetPagesByAccess(i)
                             : (kind == 5 ? object.PagesReadByType(i) : object.ReadIOsByType(i));
        }
        r.data.ShareValues(ObjectTypeBucket(object)) += sum;
    }
    bool any = false;
    for (int i = 1; i <= 3; ++i) {
        const std::int64_t value = r.data.ShareValues(i);
        r.values[static_cast<std::size_t>(i - 1)] = PlainText(value);
        if (value != 0) {
            r.data.ShareTotal += value;
            r.data.ShareLabels(i) = std::string(ShareLabelTable(4, i));
            any = true;
        }
    }
    r.data.ShareCount = any ? 3 : 0;
    r.total = Total(r.data.ShareTotal, style);
    return r;
}

ShareResult ObjectShare(const Report& report, int o, int kind, NumberStyle style) {
    if (kind < 1 || kind > 3) {
        throw std::out_of_range("object share kind must be 1 to 3");
    }
    const ObjectRecord& object = report.Objects(o);
    int n = 0;
    const auto x = Sources(
        kind, n, [&](int i) { return object.GetPagesByAccess(i); }, [&](int i) { return object.PagesReadByType(i); },
        [&](int i) { return object.ReadIOsByType(i); });
    Given given{{}, AbsentObjectText(report)};
    for (int i = 1; i <= n; ++i) {
        given.sources[static_cast<std::size_t>(i - 1)] = ObjectGives(report, o, SourceField(kind, i, false));
    }
    ShareResult r = OwnShare(kind, x, n, kind != 1, PagesReadZeroText, given, style);
    r.total = "  " + FormatPicture(static_cast<double>(r.data.ShareTotal), "###,###,###", style);
    return r;
}

std::string ShareLabelWithPercent(const ShareData& data, int i, NumberStyle style) {
    const double share =
        data.ShareTotal == 0 ? 0.0 : static_cast<double>(data.ShareValues(i)) / static_cast<double>(data.ShareTotal);
    const std::string label = data.ShareLabels(i) + "(" + FormatPicture(share, "#0.0%", style) + ")";
    return std::string(TrimBlanks(label));
}

std::array<std::optional<double>, 12> ObjectDetailValues(const Report& report, int o) {
    const ObjectRecord& ob = report.Objects(o);
    std::array<std::optional<double>, 12> v;
    v[0] = ob.ObjGetPages;
    v[1] = ob.GetPagesByAccess(2);
    v[2] = ob.GetPagesByAccess(1);
    v[3] = ob.GetPagesByAccess(3);
    for (std::size_t i = 0; i < 4; ++i) {
        v[4 + i] = ob.PagesReadByType(static_cast<int>(i) + 1);
    }
    v[8] = ob.AppHitRatio;
    v[9] = ob.SysHitRatio;
    // Without an interval length there is no rate; 0 rather than a division by zero.
    v[10] = report.ElapsedSeconds == 0 ? 0.0 : static_cast<double>(ob.ObjReadIOs) / report.ElapsedSeconds;
    v[11] =
        ob.ObjPagesWritten >= 1 && ob.ObjWriteIOs >= 1 ? static_cast<double>(ob.ObjPagesWritten) / ob.ObjWriteIOs : 0.0;
    if (report.Db2Display) {
        // The record fields each figure is made of; one the input does not give makes it unknown.
        static constexpr std::array<std::array<std::string_view, 2>, 12> fields{{
            {"ObjGetPages", ""},
            {"GetPagesByAccess(2)", ""},
            {"GetPagesByAccess(1)", ""},
            {"GetPagesByAccess(3)", ""},
            {"PagesReadByType(1)", ""},
            {"PagesReadByType(2)", ""},
            {"PagesReadByType(3)", ""},
            {"PagesReadByType(4)", ""},
            {"AppHitRatio", ""},
            {"SysHitRatio", ""},
            {"ObjReadIOs", ""},
            {"ObjPagesWritten", "ObjWriteIOs"},
        }};
        for (std::size_t i = 0; i < v.size(); ++i) {
            for (const std::string_view field : fields[i]) {
                if (!field.empty() && !ObjectGives(report, o, field)) {
                    v[i].reset();
                }
            }
        }
    }
    return v;
}

std::array<std::string, 12> ObjectDetailFigures(const Report& report, int o, NumberStyle style) {
    const std::array<std::optional<double>, 12> v = ObjectDetailValues(report, o);
    std::array<std::string, 12> t;
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (!v[i]) {
            t[i] = std::string(NotInThisInput);
        } else if (ObjectDetailDecimals[i] == 0) {
            t[i] = "  " + StrText(static_cast<std::int64_t>(*v[i]));
        } else if (i == 8 || i == 9) { // the hit ratios as the report gives them
            t[i] = "  " + StrText(*v[i], style);
        } else {
            t[i] = "  " + FormatPicture(*v[i], "#####0.00", style);
        }
    }
    return t;
}

std::vector<FigureRow> ObjectDetailRows(const Report& report, int o, NumberStyle style) {
    const bool shown = report.HasObject(o);
    std::array<std::string, 12> figures;
    if (shown) {
        figures = ObjectDetailFigures(report, o, style);
    }
    std::vector<FigureRow> rows;
    for (std::size_t i = 0; i < figures.size(); ++i) {
        rows.push_back({ObjectDetailCaptions[i], figures[i]});
    }
    if (report.Db2Display) {
        if (shown) {
            const std::vector<FigureRow> own = DataSetFigureRows(report, o, style);
            rows.insert(rows.end(), own.begin(), own.end());
        } else {
            for (std::size_t f = 0; f < DataSetFigureCount; ++f) {
                rows.push_back({std::string(NameOf(static_cast<DataSetFigure>(f)).label), {}});
            }
        }
    }
    return rows;
}

} // namespace ornexa
