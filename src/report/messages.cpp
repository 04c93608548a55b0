#include "report/messages.h"

namespace ornexa {

std::string_view IconName(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::None:
        return "none";
    case MessageIcon::Exclamation:
        return "exclamation";
    case MessageIcon::Information:
        return "information";
    case MessageIcon::Critical:
        return "critical";
    }
    return "none";
}

std::string ReadErrorReport(std::string_view description, std::int64_t lineNo, std::int64_t fieldNo,
                            std::int64_t startColumn) {
    std::string text = "Error information :\t";
    text += "Error Description : \"";
    text += description;
    text += "\"\t";
    text += "Data Line         : \"" + std::to_string(lineNo) + "\"\t";
    text += "Error in Field    : \"" + std::to_string(fieldNo) + "\"\t";
    text += "Error at Index    : \"" + std::to_string(startColumn) + "\"\t";
    return text;
}

} // namespace ornexa
