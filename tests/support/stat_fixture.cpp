#include "stat_fixture.h"

#include <cstdlib>
#include <stdexcept>

#include "sample_report.h"
#include "stat_writer.h"

namespace ornexa::test {

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "ornexa-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot make a temporary folder");
    }
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::filesystem::path TempDir::Write(const std::string& name, std::string_view text) const {
    auto file = path_ / name;
    samplegen::WriteTextFile(file, text);
    return file;
}

PoolRecord TestPool(std::string_view name) {
    PoolRecord p;
    p.PoolQualifier = "TEST";
    p.PoolName = name;
    p.VPSize = 1000;
    p.VPSeqThreshold = 80;
    p.HPSeqThreshold = 80;
    p.CastOut = "N";
    p.PoolGetPages = 10000;
    p.PoolGetPagesByAccess(1) = 4000;
    p.PoolGetPagesByAccess(2) = 5000;
    p.PoolGetPagesByAccess(3) = 1000;
    p.PoolHitRatio = 90.5;
    p.PoolPagesRead = 950;
    p.PoolPagesReadByType(1) = 500;
    p.PoolPagesReadByType(2) = 450;
    p.PoolReadIOs = 600;
    p.PoolReadIOsByType(1) = 500;
    p.PoolReadIOsByType(2) = 100;
    p.PoolUpdates = 300;
    p.PoolPagesWritten = 120;
    p.PoolWriteIOs = 40;
    p.DWTH = 50;
    p.VWTH = 10;
    return p;
}

ObjectRecord TestObject(std::string_view pool, std::string_view name, char type) {
    ObjectRecord o;
    o.ObjQualifier = "TEST";
    o.ObjPoolName = pool;
    o.ObjType = std::string(1, type);
    o.ObjName = name;
    o.ObjGetPages = 1000;
    o.GetPagesByAccess(1) = 400;
    o.GetPagesByAccess(2) = 500;
    o.GetPagesByAccess(3) = 100;
    o.AppHitRatio = 95.5;
    o.SysHitRatio = 90.5;
    o.ObjPagesRead = 95;
    o.PagesReadByType(1) = 50;
    o.PagesReadByType(2) = 45;
    o.ObjReadIOs = 60;
    o.ReadIOsByType(1) = 50;
    o.ReadIOsByType(2) = 10;
    o.ObjUpdates = 30;
    o.ObjPagesWritten = 12;
    o.ObjWriteIOs = 4;
    return o;
}

int AddPool(Report& report, const PoolRecord& pool, const std::vector<ObjectRecord>& objects) {
    PoolRecord added = pool;
    if (!objects.empty()) {
        added.FirstObject = static_cast<Long>(report.ObjectCount() + 1);
        added.LastObject = static_cast<Long>(report.ObjectCount() + static_cast<int>(objects.size()));
    }
    for (const ObjectRecord& o : objects) {
        report.AddObject(o);
    }
    report.AddPool(added);
    return report.PoolCount();
}

StatLines::StatLines(std::string country) : country_(std::move(country)) {
    lines.push_back(samplegen::EnvironmentLine(country_));
}

StatLines& StatLines::Header() {
    ReportHeader h;
    h.SystemName = "SYSA";
    h.SubSystemName = "DB2P";
    h.CollectionDate = "2026-11-30";
    h.CollectionTime = "10.15.00";
    h.Db2Version = "7.1";
    h.ReportPoolCount = 1;
    h.ElapsedTime = "00:10:00";
    lines.push_back(samplegen::HeaderLine(h, Usa()));
    return *this;
}

StatLines& StatLines::Pool(std::string_view name) {
    return Pool(TestPool(name));
}

StatLines& StatLines::Pool(const PoolRecord& pool) {
    lines.push_back(samplegen::PoolLine(pool, Usa()));
    return *this;
}

StatLines& StatLines::Object(std::string_view pool, std::string_view name, char type) {
    return Object(TestObject(pool, name, type));
}

StatLines& StatLines::Object(const ObjectRecord& object) {
    lines.push_back(samplegen::ObjectLine(object, Usa()));
    return *this;
}

StatLines& StatLines::Line(std::string line) {
    lines.push_back(std::move(line));
    return *this;
}

StatLines& StatLines::SetLastField(const ColumnDef& column, std::string_view text) {
    std::string image(text);
    image.resize(static_cast<std::size_t>(column.Length), ' ');
    samplegen::PlaceField(lines.back(), column, image);
    return *this;
}

std::string StatLines::Text(std::string_view lineEnd) const {
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += lineEnd;
    }
    return text;
}

} // namespace ornexa::test
