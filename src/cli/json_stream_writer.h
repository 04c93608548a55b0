#pragma once

#include <ostream>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

namespace ornexa::cli {

// Writes one JSON document to a stream as it is produced, in the layout of
// `dump(2, ' ', false, error_handler_t::replace)`: two blanks a level, ": " after a key, "[]" and
// "{}" for empty containers, bad UTF-8 replaced. Small values are written whole as `ordered_json`
// pieces at the depth they sit; the containers around them are opened and closed one by one, so a
// list of many elements is never held whole.
class JsonStreamWriter {
public:
    using Json = nlohmann::ordered_json;

    explicit JsonStreamWriter(std::ostream& out) : out_(out) {}

    void BeginObject();
    void EndObject();
    void BeginArray();
    void EndArray();
    // The key of the next member of the open object.
    void Key(std::string_view key);
    // A whole value: an array element, the value after Key, or the document itself.
    void Value(const Json& value);

    void Member(std::string_view key, const Json& value) {
        Key(key);
        Value(value);
    }
    // Each member of `object` in order, as members of the open object.
    void Members(const Json& object);

    // An array whose elements `fill` writes, one Value (or container) at a time.
    template <class Fill> void Array(Fill&& fill) {
        BeginArray();
        fill();
        EndArray();
    }
    template <class Fill> void MemberArray(std::string_view key, Fill&& fill) {
        Key(key);
        Array(fill);
    }
    template <class Fill> void MemberObject(std::string_view key, Fill&& fill) {
        Key(key);
        BeginObject();
        fill();
        EndObject();
    }

    // Open containers; 0 once the document is closed.
    [[nodiscard]] std::size_t Depth() const { return levels_.size(); }

private:
    struct Level {
        bool object = false;
        std::size_t count = 0;
    };
    void BeforeValue();
    void Close(bool object);
    void Indent(std::size_t depth);

    std::ostream& out_;
    std::vector<Level> levels_;
    bool afterKey_ = false;
};

} // namespace ornexa::cli
