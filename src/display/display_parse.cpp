#include "display/display_parse.h"

namespace ornexa {

bool HoldsDb2Display(std::string_view bytes) {
    return bytes.find("DSNB401I") != std::string_view::npos;
}

DisplayParse ParseDisplays(std::string_view /*bytes*/, const ProgressFn& /*progress*/) {
    return {};
}

} // namespace ornexa
