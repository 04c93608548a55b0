#include "history/history_store.h"
