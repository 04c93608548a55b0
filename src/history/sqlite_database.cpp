#include "history/sqlite_database.h"
