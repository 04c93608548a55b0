#pragma once

#include <optional>
#include <string>
#include <utility>

#include "report/messages.h"

namespace ornexa {

// A value, or the messages that say why there is none; messages may come with a value as well
// (what was noticed on the way).
template <class T> struct Result {
    std::optional<T> value;
    Messages messages;

    [[nodiscard]] bool Ok() const { return value.has_value(); }
    // The messages' texts one after the other: why there is no value.
    [[nodiscard]] std::string FaultText() const {
        std::string text;
        for (const Message& message : messages) {
            text += (text.empty() ? "" : " ") + message.text;
        }
        return text;
    }
};

// The one message of a result that has no value: `text` says why.
inline Messages FaultMessages(std::string text) {
    return {Message{{}, std::move(text), MessageIcon::Critical}};
}

} // namespace ornexa
