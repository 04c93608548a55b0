#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "report/report_model.h"

namespace ornexa {

// Pool p's name as the pool list shows it.
std::string ShownPoolName(const Report& report, int p);

// Whether `asked` (typed text, UTF-8) names pool p as the pool list shows its name: the report's
// Latin-1 name read as text, blanks around either left out, letters in any case.
bool NamesPool(const Report& report, int p, std::string_view asked);

// The first pool `asked` names, 0 when it names none.
int FirstPoolNamed(const Report& report, std::string_view asked);

// The pools `names` ask for in table order (every pool when none is asked for).
std::vector<int> ChosenPools(const Report& report, const std::vector<std::string>& names);

// The names of `asked` that name no pool of the report, in the order given.
std::vector<std::string> UnknownPools(const Report& report, const std::vector<std::string>& asked);

} // namespace ornexa
