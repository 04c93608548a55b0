#pragma once

#include <memory>
#include <string>

#include "history/sql_database.h"

namespace ornexa {

// Opens (creating when missing) a SQLite history file: foreign keys on, WAL journal, a busy
// timeout so a second program on the same file waits instead of failing. A file that is not a
// database is refused and left as it is.
std::unique_ptr<SqlDatabase> OpenSqliteDatabase(const std::string& path);

} // namespace ornexa
