#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ornexa {

enum class MessageIcon { None, Exclamation, Information, Critical };

std::string_view IconName(MessageIcon icon); // "none", "exclamation", "information", "critical"

// One message box: an empty title stands for the program's default title. The hint, where there is
// one, is shown below the text: which file and what to do.
struct Message {
    std::string title;
    std::string text;
    MessageIcon icon = MessageIcon::None;
    std::string hint = {}; // initialised, so that a box given as {title, text, icon} needs no fourth item
    friend bool operator==(const Message&, const Message&) = default;
};

// What a person must be told, in the order it happened. The core hands these back as values; the
// window shows a modal box for each, the headless tool lists them.
using Messages = std::vector<Message>;

// The field error text of both readers: five labelled items, each followed by a tab.
std::string ReadErrorReport(std::string_view description, std::int64_t lineNo, std::int64_t fieldNo,
                            std::int64_t startColumn);

} // namespace ornexa
