#pragma once

#include <memory>
#include <string>

#include "history/sql_database.h"

namespace ornexa {

// Connects to a PostgreSQL server by a libpq connection URI ("postgresql://user@host:port/db"). A
// statement that runs longer than `timeout` is ended by the server; a server that does not answer
// within it is given up, and the connection made again before the next transaction, as is a
// connection lost between two. Throws SqlError with the server's message when it cannot connect.
std::unique_ptr<SqlDatabase> OpenPostgresDatabase(const std::string& uri,
                                                  std::chrono::seconds timeout = DefaultHistoryTimeout);

// The URI as messages show it: a password in the user part ("user:secret@") or in a `password`
// parameter is left out.
std::string PostgresLocation(const std::string& uri);

} // namespace ornexa
