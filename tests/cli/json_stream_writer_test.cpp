#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>
#include <string>

#include "cli/json_stream_writer.h"

namespace ornexa {
namespace {

using Json = nlohmann::ordered_json;

std::string Dumped(const Json& value) {
    return value.dump(2, ' ', false, Json::error_handler_t::replace);
}

// Writes `value` with the containers of its first `opened` levels opened and closed one by one and
// everything deeper as whole pieces, as the report documents mix the two.
void Stream(cli::JsonStreamWriter& out, const Json& value, int opened) {
    if (opened > 0 && value.is_object()) {
        out.BeginObject();
        for (auto it = value.begin(); it != value.end(); ++it) {
            out.Key(it.key());
            Stream(out, it.value(), opened - 1);
        }
        out.EndObject();
    } else if (opened > 0 && value.is_array()) {
        out.BeginArray();
        for (const Json& element : value) {
            Stream(out, element, opened - 1);
        }
        out.EndArray();
    } else {
        out.Value(value);
    }
}

std::string Streamed(const Json& value, int opened) {
    std::ostringstream text;
    cli::JsonStreamWriter out(text);
    Stream(out, value, opened);
    EXPECT_EQ(out.Depth(), 0U);
    return text.str();
}

struct Case {
    const char* name;
    Json value;
};

TEST(JsonStreamWriter, WritesTheBytesOfDumpAtEveryMixOfStreamedAndWholeLevels) {
    const Case cases[] = {
        {"empty object", Json::object()},
        {"empty array", Json::array()},
        {"null", nullptr},
        {"scalars", Json::array({true, false, 0, -7, 18446744073709551615ULL, 1.0, 0.1, -2.5e-300, 5400.0})},
        {"empty containers inside",
         {{"a", Json::array()}, {"b", Json::object()}, {"c", Json::array({Json::array()})}, {"d", {Json::object()}}}},
        {"deep", {{"a", {{"b", {{"c", Json::array({1, Json::array({2, Json::array({3, {{"d", nullptr}}})})})}}}}}}},
        {"objects in arrays in objects",
         {{"pools", Json::array({{{"pool", 1}, {"objects", Json::array({{{"number", 1}, {"graphs", Json::array()}}})}},
                                 {{"pool", 2}, {"objects", Json::array()}}})}}},
        {"keys in their order", {{"z", 1}, {"a", 2}, {"m", {{"y", 3}, {"b", 4}}}}},
        {"escapes", Json::array({"line\nend", "tab\there", "quote \" and \\", std::string("nul\0byte", 8), "\x01",
                                 "\xC3\xA9t\xC3\xA9", "/slash"})},
        {"bad UTF-8 in values",
         Json::array({"A.T\xE9", "cut \xC3", "\xFF\xFE", "over\xF8\x88\x80\x80\x80long", "ok \xE2\x82\xAC"})},
        {"bad UTF-8 in keys", {{"k\xE9y", "v"}, {"\xC3", {{"in\xFF", Json::array({"\xE9"})}}}}},
    };
    for (const Case& c : cases) {
        for (int opened = 0; opened <= 6; ++opened) {
            EXPECT_EQ(Streamed(c.value, opened), Dumped(c.value)) << c.name << ", " << opened << " levels opened";
        }
    }
}

TEST(JsonStreamWriter, RefusesAShapeThatIsNoJson) {
    const auto refused = [](auto misuse) {
        std::ostringstream text;
        cli::JsonStreamWriter out(text);
        EXPECT_THROW(misuse(out), std::logic_error);
    };
    refused([](cli::JsonStreamWriter& out) { out.Key("top"); });
    refused([](cli::JsonStreamWriter& out) {
        out.BeginArray();
        out.Key("in an array");
    });
    refused([](cli::JsonStreamWriter& out) {
        out.BeginObject();
        out.Value(1); // no key
    });
    refused([](cli::JsonStreamWriter& out) {
        out.BeginObject();
        out.Key("a");
        out.Key("b");
    });
    refused([](cli::JsonStreamWriter& out) {
        out.BeginObject();
        out.Key("a");
        out.EndObject(); // a key without its value
    });
    refused([](cli::JsonStreamWriter& out) {
        out.BeginObject();
        out.EndArray();
    });
    refused([](cli::JsonStreamWriter& out) { out.EndObject(); });
}

} // namespace
} // namespace ornexa
