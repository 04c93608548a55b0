#include "stats/share_figures.h"

#include <stdexcept>

#include "report/fixed_text.h"

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

namespace {

// The source values of kinds 1 to 3: getpages by access type, pages read and read I/Os by type.
template <class GetPages, class PagesRead, class ReadIOs>
std::array<std::int64_t, 4> Sources(int kind, int& count, const GetPages& getPages, const PagesRead& pagesRead,
                                    const ReadIOs& readIOs) {
    std::array<std::int64_t, 4> x{};
    count = kind == 1 ? 3 : 4;
    for (int i = 1; i <= count; ++i) {
        const auto at = static_cast<std::size_t>(i - 1);
        x[at] = kind == 1 ? getPages(i) : (kind == 2 ? pagesRead(i) : readIOs(i));
    }
    return x;
}

std::string Total(std::int64_t total, NumberStyle style) {
    return FormatPicture(static_cast<double>(total), "  ###,###,###", style);
}

ShareResult OwnShare(int kind, const std::array<std::int64_t, 4>& x, int n, bool zeroCheck, std::string_view zeroText,
                     NumberStyle style) {
    ShareResult r;
    r.sources = n;
    for (int i = 1; i <= n; ++i) {
        const std::int64_t value = x[static_cast<std::size_t>(i - 1)];
        r.values[static_cast<std::size_t>(i - 1)] = "  " + PlainText(value);
        r.data.ShareTotal += value;
    }
    if (zeroCheck && r.data.ShareTotal == 0) {
        r.noData = std::string(zeroText);
    } else {
        for (int i = 1; i <= n; ++i) {
            r.data.ShareValues(i) = x[static_cast<std::size_t>(i - 1)];
            r.data.ShareLabels(i) = std::string(ShareLabelTable(kind, i));
        }
        r.data.ShareCount = n;
    }
    r.total = Total(r.data.ShareTotal, style);
    return r;
}

} // namespace

ShareResult PoolShare(const Report& report, int p, int kind, NumberStyle style) {
    const PoolRecord& pool = report.Pools(p);
    if (kind >= 1 && kind <= 3) {
        int n = 0;
        const auto x = Sources(
            kind, n, [&](int i) { return pool.PoolGetPagesByAccess(i); },
            [&](int i) { return pool.PoolPagesReadByType(i); }, [&](int i) { return pool.PoolReadIOsByType(i); });
        return OwnShare(kind, x, n, kind != 1, kind == 2 ? PagesReadZeroText : StartIOsZeroText, style);
    }
    if (kind < 4 || kind > 6) {
        throw std::out_of_range("pool share kind must be 1 to 6");
    }
    ShareResult r;
    r.sources = 3;
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
    ShareResult r = OwnShare(kind, x, n, kind != 1, PagesReadZeroText, style);
    r.total = "  " + FormatPicture(static_cast<double>(r.data.ShareTotal), "###,###,###", style);
    return r;
}

std::string ShareLabelWithPercent(const ShareData& data, int i, NumberStyle style) {
    const double share =
        data.ShareTotal == 0 ? 0.0 : static_cast<double>(data.ShareValues(i)) / static_cast<double>(data.ShareTotal);
    const std::string label = data.ShareLabels(i) + "(" + FormatPicture(share, "#0.0%", style) + ")";
    return std::string(TrimBlanks(label));
}

std::array<std::string, 12> ObjectDetailFigures(const Report& report, int o, NumberStyle style) {
    const ObjectRecord& ob = report.Objects(o);
    const auto whole = [](Long value) { return "  " + StrText(static_cast<std::int64_t>(value)); };
    std::array<std::string, 12> t;
    t[0] = whole(ob.ObjGetPages);
    t[1] = whole(ob.GetPagesByAccess(2));
    t[2] = whole(ob.GetPagesByAccess(1));
    t[3] = whole(ob.GetPagesByAccess(3));
    for (std::size_t i = 0; i < 4; ++i) {
        t[4 + i] = whole(ob.PagesReadByType(static_cast<int>(i) + 1));
    }
    t[8] = "  " + StrText(ob.AppHitRatio, style);
    t[9] = "  " + StrText(ob.SysHitRatio, style);
    // Without an interval length there is no rate; 0 rather than a division by zero.
    const double rate = report.ElapsedSeconds == 0 ? 0.0 : static_cast<double>(ob.ObjReadIOs) / report.ElapsedSeconds;
    t[10] = "  " + FormatPicture(rate, "#####0.00", style);
    const double pagesPerWrite =
        ob.ObjPagesWritten >= 1 && ob.ObjWriteIOs >= 1 ? static_cast<double>(ob.ObjPagesWritten) / ob.ObjWriteIOs : 0.0;
    t[11] = "  " + FormatPicture(pagesPerWrite, "#####0.00", style);
    return t;
}

} // namespace ornexa
