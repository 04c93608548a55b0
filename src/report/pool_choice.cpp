#include "report/pool_choice.h"

#include <algorithm>

#include "report/letter_case.h"
#include "report/shown_text.h"

namespace ornexa {

std::string ShownPoolName(const Report& report, int p) {
    return ShownText(report.Pools(p).PoolName);
}

bool NamesPool(const Report& report, int p, std::string_view asked) {
    return SamePoolName(ShownPoolName(report, p), asked);
}

int FirstPoolNamed(const Report& report, std::string_view asked) {
    for (int p = 1; p <= report.PoolCount(); ++p) {
        if (NamesPool(report, p, asked)) {
            return p;
        }
    }
    return 0;
}

std::vector<int> ChosenPools(const Report& report, const std::vector<std::string>& names) {
    std::vector<int> pools;
    for (int p = 1; p <= report.PoolCount(); ++p) {
        if (names.empty() || std::any_of(names.begin(), names.end(),
                                         [&](const std::string& name) { return NamesPool(report, p, name); })) {
            pools.push_back(p);
        }
    }
    return pools;
}

std::vector<std::string> UnknownPools(const Report& report, const std::vector<std::string>& asked) {
    std::vector<std::string> unknown;
    for (const std::string& name : asked) {
        if (FirstPoolNamed(report, name) == 0) {
            unknown.push_back(name);
        }
    }
    return unknown;
}

} // namespace ornexa
