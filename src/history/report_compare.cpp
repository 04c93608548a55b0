#include "history/report_compare.h"
