#pragma once

#include <memory>
#include <string>

#include "history/sql_database.h"

namespace ornexa {

// Opens (creating when missing) a SQLite history file: foreign keys on, WAL journal, a busy
// timeout so a second program on the same file waits instead of failing. A file that is not a
// database, or another program's database (neither empty nor marked with HistoryApplicationId nor
// holding a history's tables), is refused and left as it is. A new history gets the mark, and an
// older one gets it once.
std::unique_ptr<SqlDatabase> OpenSqliteDatabase(const std::string& path);

} // namespace ornexa
