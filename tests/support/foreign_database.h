#pragma once

// Another application's SQLite database, made with SQLite itself as that application would: a
// rollback journal, its own tables and rows, and (when given) its own application id.
#include <sqlite3.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

namespace ornexa::test {

// Runs `sql` on the database at `path` (made when missing) and gives the first column of the last
// row it returned, as text ("" when none).
inline std::string RunSqlite(const std::filesystem::path& path, const std::string& sql) {
    sqlite3* db = nullptr;
    if (sqlite3_open(path.c_str(), &db) != SQLITE_OK) {
        sqlite3_close(db);
        throw std::runtime_error("cannot open " + path.string());
    }
    std::string last;
    char* error = nullptr;
    const int rc = sqlite3_exec(
        db, sql.c_str(),
        [](void* out, int columns, char** values, char** /*names*/) {
            *static_cast<std::string*>(out) = columns > 0 && values[0] != nullptr ? values[0] : "";
            return 0;
        },
        &last, &error);
    const std::string message = error != nullptr ? error : "";
    sqlite3_free(error);
    sqlite3_close(db);
    if (rc != SQLITE_OK) {
        throw std::runtime_error(message);
    }
    return last;
}

// A notes application's database: a table and an index of its own, a few rows.
inline std::filesystem::path WriteForeignDatabase(const std::filesystem::path& path, std::int32_t applicationId = 0,
                                                  const std::string& tables = "CREATE TABLE notes (id INTEGER "
                                                                              "PRIMARY KEY, body TEXT);"
                                                                              "CREATE INDEX notes_by_body ON "
                                                                              "notes (body);"
                                                                              "INSERT INTO notes (body) VALUES "
                                                                              "('buy milk'), ('call Ana');") {
    RunSqlite(path,
              "PRAGMA journal_mode = DELETE; PRAGMA application_id = " + std::to_string(applicationId) + ";" + tables);
    return path;
}

inline std::string FileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace ornexa::test
