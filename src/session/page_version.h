#pragma once

#include <cstdint>

namespace ornexa {

// How often a page changed: every command that changes what the page shows moves it on, so a front
// end repaints a page only when the version it painted is no longer the page's.
class PageVersion {
public:
    [[nodiscard]] std::uint64_t Version() const { return version_; }

protected:
    void Changed() { ++version_; }

private:
    std::uint64_t version_ = 1; // a front end that painted nothing holds 0
};

} // namespace ornexa
