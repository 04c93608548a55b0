#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ornexa {

enum class MessageIcon { None, Exclamation, Information, Critical };

std::string_view IconName(MessageIcon icon); // "none", "exclamation", "information", "critical"

// One message box: an empty title stands for the program's default title.
struct Message {
    std::string title;
    std::string text;
    MessageIcon icon = MessageIcon::None;
    friend bool operator==(const Message&, const Message&) = default;
};

// What a person must be told, in the order it happened. The core hands these back as values; the
// window shows a modal box for each, the headless tool lists them.
using Messages = std::vector<Message>;

// Where the analyses report what a person must be told. The window shows a modal box per message;
// the headless tool and the tests collect them.
class MessageSink {
public:
    MessageSink() = default;
    MessageSink(const MessageSink&) = delete;
    MessageSink& operator=(const MessageSink&) = delete;
    MessageSink(MessageSink&&) = delete;
    MessageSink& operator=(MessageSink&&) = delete;
    virtual ~MessageSink() = default;
    virtual void Show(const Message& message) = 0;
};

// Keeps every message in order.
class MessageLog final : public MessageSink {
public:
    void Show(const Message& message) override { messages_.push_back(message); }
    [[nodiscard]] const Messages& Told() const { return messages_; }
    void Clear() { messages_.clear(); }

private:
    Messages messages_;
};

// The field error text of both readers: five labelled items, each followed by a tab.
std::string ReadErrorReport(std::string_view description, std::int64_t lineNo, std::int64_t fieldNo,
                            std::int64_t startColumn);

} // namespace ornexa
