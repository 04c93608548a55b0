#include "stat_writer.h"

#include <fstream>
#include <stdexcept>

#include "report/number_format.h"
#include "report/record_catalogue.h"

namespace ornexa::samplegen {

namespace {

std::string DoubleImage(double value, const ColumnDef& column, NumberStyle style) {
    if (column.Decimals == 1) {
        return FormatPicture(value, "0.0", style);
    }
    return PlainText(value, style);
}

} // namespace

std::string FieldImage(const FieldRef& value, const ColumnDef& column, bool usa) {
    const NumberStyle style = ReportNumberStyle(usa);
    std::string image;
    if (const auto* text = std::get_if<std::span<char>>(&value)) {
        image = std::string(TrimBlanks(std::string_view(text->data(), text->size())));
    } else if (const auto* raw = std::get_if<RawText>(&value)) {
        image = std::string(raw->chars.begin(), raw->chars.end());
    } else if (const auto* d = std::get_if<double*>(&value)) {
        image = DoubleImage(**d, column, style);
    } else if (const auto* l = std::get_if<Long*>(&value)) {
        image = PlainText(static_cast<std::int64_t>(**l));
    } else {
        image = PlainText(static_cast<std::int64_t>(*std::get<Integer*>(value)));
    }
    const auto width = static_cast<std::size_t>(column.Length);
    if (image.size() > width) {
        throw std::length_error("value \"" + image + "\" does not fit the field at column " +
                                std::to_string(column.Start));
    }
    if (column.Kind == FieldKind::T) {
        return image;
    }
    return std::string(width - image.size(), ' ') + image;
}

void PlaceField(std::string& line, const ColumnDef& column, std::string_view image) {
    const auto start = static_cast<std::size_t>(column.Start - 1);
    if (line.size() < start + image.size()) {
        line.resize(start + image.size(), ' ');
    }
    line.replace(start, image.size(), image);
}

std::string EnvironmentLine(std::string_view country) {
    return "ENV DB2 BUFFER POOL STATISTICS   FLAT FILE     " + std::string(country);
}

std::string HeaderLine(const ReportHeader& header, bool usa) {
    ReportHeader copy = header;
    std::string line = "HDR ";
    PlaceFields(line, HeaderColumns(), TargetsOf(copy, HeaderCatalogue()), usa);
    line.resize(static_cast<std::size_t>(HeaderColumns().back().End()), ' ');
    return line;
}

std::string PoolLine(const PoolRecord& pool, bool usa) {
    PoolRecord copy = pool;
    std::string line = "BPS ";
    PlaceFields(line, PoolColumns(), TargetsOf(copy, PoolCatalogue()), usa);
    return line;
}

std::string ObjectLine(const ObjectRecord& object, bool usa) {
    ObjectRecord copy = object;
    std::string line = "BPD ";
    PlaceFields(line, ObjectColumns(), TargetsOf(copy, ObjectCatalogue()), usa);
    return line;
}

std::string StatisticsText(const Report& report, const StatFileOptions& options) {
    const bool usa = options.country == "USA";
    std::string text;
    const auto add = [&](const std::string& line) {
        text += line;
        text += options.lineEnd;
    };
    add(EnvironmentLine(options.country));
    add(HeaderLine(report.Header, usa));
    if (options.decorate) {
        add("");
        add("    BUFFER POOL STATISTICS BY POOL AND OBJECT");
        add("*BPP PARAMETERS FOLLOW THE STATISTICS OF EACH POOL");
    }
    for (int p = 1; p <= report.PoolCount(); ++p) {
        const PoolRecord& pool = report.Pools(p);
        add(PoolLine(pool, usa));
        const ObjectRange range = PoolObjects(report, p);
        for (const int o : range) {
            add(ObjectLine(report.Objects(o), usa));
            if (options.decorate && o % 17 == 0) {
                // Object list lines of the same report; column 21 holds the include mark.
                std::string listLine = "BPO " + std::string(16, ' ') + "E" + report.Objects(o).ObjName.Str();
                add(listLine);
            }
        }
        if (options.decorate) {
            add("    ----------------------------------------------------------------");
        }
    }
    return text;
}

void WriteTextFile(const std::filesystem::path& path, std::string_view text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    if (!out) {
        throw std::runtime_error("cannot write \"" + path.string() + "\"");
    }
}

} // namespace ornexa::samplegen
