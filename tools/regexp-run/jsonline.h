#pragma once
// JSON objects of the regexp-run protocol (and of the conformance vectors), with strings held as
// UTF-16 code units so that lone surrogates survive both ways.

#include <map>
#include <string>
#include <string_view>
#include <vector>

struct JsonValue
{
    enum class Kind
    {
        String,
        Bool,
        Number,
        Null,
        Array,
        Object
    } kind = Kind::Null;
    std::u16string text;
    bool flag = false;
    double number = 0;
    std::vector<JsonValue> items;             // Array
    std::map<std::string, JsonValue> members; // Object
};

using JsonObject = std::map<std::string, JsonValue>;

// Parses one line holding one object; returns false with a message on malformed input.
bool parseJsonObject(std::string_view line, JsonObject &object, std::string &error);

// Appends s as a JSON string literal in pure ASCII (\uXXXX for every code unit outside 0x20-0x7E).
void appendJsonString(std::string &out, std::u16string_view s);
