#pragma once

#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "report/column_tables.h"
#include "report/report_model.h"

namespace ornexa::test {

// A folder of files for one test, removed with everything in it at the end.
class TempDir {
public:
    TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    TempDir(TempDir&&) = delete;
    TempDir& operator=(TempDir&&) = delete;
    ~TempDir();

    [[nodiscard]] const std::filesystem::path& Path() const { return path_; }
    [[nodiscard]] std::filesystem::path Write(const std::string& name, std::string_view text) const;

private:
    std::filesystem::path path_;
};

// A pool and an object with small believable figures.
PoolRecord TestPool(std::string_view name);
ObjectRecord TestObject(std::string_view pool, std::string_view name, char type = 'T');

// Appends a pool and its objects to `report` with the object range a read would give it.
int AddPool(Report& report, const PoolRecord& pool, const std::vector<ObjectRecord>& objects = {});

// An object of pool `pool` with one figure set by `set`.
template <class Set> ObjectRecord ObjectWith(std::string_view pool, std::string_view name, char type, Set set) {
    ObjectRecord o = TestObject(pool, name, type);
    set(o);
    return o;
}

// Lines of a Statistics report, built line by line.
class StatLines {
public:
    explicit StatLines(std::string country = "USA");

    StatLines& Header();
    StatLines& Pool(std::string_view name);
    StatLines& Pool(const PoolRecord& pool);
    StatLines& Object(std::string_view pool, std::string_view name, char type = 'T');
    StatLines& Object(const ObjectRecord& object);
    StatLines& Line(std::string line);
    // Writes `text` over the field `column` of the last line (blank-filled to the field's width).
    StatLines& SetLastField(const ColumnDef& column, std::string_view text);

    [[nodiscard]] bool Usa() const { return country_ == "USA"; }
    [[nodiscard]] std::string Text(std::string_view lineEnd = "\r\n") const;
    std::vector<std::string> lines;

private:
    std::string country_;
};

} // namespace ornexa::test
