#include "cli/json_stream_writer.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace ornexa::cli {

namespace {

constexpr int IndentStep = 2;
constexpr std::string_view Blanks = "                                ";

std::string Dumped(const nlohmann::ordered_json& value, int indent) {
    return value.dump(indent, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

} // namespace

void JsonStreamWriter::Indent(std::size_t depth) {
    for (std::size_t left = depth * IndentStep; left > 0;) {
        const std::size_t now = std::min(left, Blanks.size());
        out_.write(Blanks.data(), static_cast<std::streamsize>(now));
        left -= now;
    }
}

// The separator before a value: none after a key or for the document itself; a new line (after a
// comma from the second element on) indented to the container's depth otherwise.
void JsonStreamWriter::BeforeValue() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (levels_.empty()) {
        return;
    }
    Level& level = levels_.back();
    if (level.object) {
        throw std::logic_error("JSON stream: an object member needs its key first");
    }
    out_ << (level.count == 0 ? "\n" : ",\n");
    ++level.count;
    Indent(levels_.size());
}

void JsonStreamWriter::BeginObject() {
    BeforeValue();
    out_.put('{');
    levels_.push_back({true, 0});
}

void JsonStreamWriter::BeginArray() {
    BeforeValue();
    out_.put('[');
    levels_.push_back({false, 0});
}

void JsonStreamWriter::Close(bool object) {
    if (levels_.empty() || levels_.back().object != object || afterKey_) {
        throw std::logic_error("JSON stream: closing a container that is not open");
    }
    const bool empty = levels_.back().count == 0;
    levels_.pop_back();
    if (!empty) {
        out_.put('\n');
        Indent(levels_.size());
    }
    out_.put(object ? '}' : ']');
}

void JsonStreamWriter::EndObject() {
    Close(true);
}

void JsonStreamWriter::EndArray() {
    Close(false);
}

void JsonStreamWriter::Key(std::string_view key) {
    if (levels_.empty() || !levels_.back().object || afterKey_) {
        throw std::logic_error("JSON stream: a key outside an object");
    }
    Level& level = levels_.back();
    out_ << (level.count == 0 ? "\n" : ",\n");
    ++level.count;
    Indent(levels_.size());
    out_ << Dumped(Json(key), -1) << ": ";
    afterKey_ = true;
}

void JsonStreamWriter::Value(const Json& value) {
    BeforeValue();
    // A piece dumped on its own starts at column 0; its inner lines move in by the depth it sits
    // at. Strings never hold a raw line end (it is escaped), so every '\n' starts a line.
    const std::string text = Dumped(value, IndentStep);
    std::size_t start = 0;
    for (std::size_t nl = text.find('\n'); nl != std::string::npos; nl = text.find('\n', start)) {
        out_.write(text.data() + start, static_cast<std::streamsize>(nl + 1 - start));
        Indent(levels_.size());
        start = nl + 1;
    }
    out_.write(text.data() + start, static_cast<std::streamsize>(text.size() - start));
}

void JsonStreamWriter::Members(const Json& object) {
    for (auto it = object.begin(); it != object.end(); ++it) {
        Member(it.key(), it.value());
    }
}

} // namespace ornexa::cli
