// A small JSON value with a writer and a reader, enough for qxv's machine-readable output
// and for tests that read it back. Integers stay integers so raw 16.16 values survive.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace qxv::hostsim {

class Json {
public:
    enum class Kind { kNull, kBool, kInteger, kNumber, kString, kArray, kObject };

    Json() = default;
    Json(std::nullptr_t) {}
    Json(bool value) : kind_(Kind::kBool), bool_(value) {}
    Json(int value) : kind_(Kind::kInteger), integer_(value) {}
    Json(std::int64_t value) : kind_(Kind::kInteger), integer_(value) {}
    Json(std::uint32_t value) : kind_(Kind::kInteger), integer_(value) {}
    Json(double value) : kind_(Kind::kNumber), number_(value) {}
    Json(std::string value) : kind_(Kind::kString), string_(std::move(value)) {}
    Json(const char* value) : kind_(Kind::kString), string_(value) {}

    static Json Array() { Json j; j.kind_ = Kind::kArray; return j; }
    static Json Object() { Json j; j.kind_ = Kind::kObject; return j; }

    Kind kind() const { return kind_; }
    bool is_null() const { return kind_ == Kind::kNull; }

    // Arrays.
    Json& Append(Json value);
    std::size_t size() const;  // elements or members
    const Json& operator[](std::size_t index) const;

    // Objects keep their members in insertion order.
    Json& Set(const std::string& key, Json value);
    const Json* Find(const std::string& key) const;
    const Json& operator[](const std::string& key) const;  // a null value when absent
    const std::vector<std::pair<std::string, Json>>& members() const { return members_; }

    bool AsBool() const { return bool_; }
    std::int64_t AsInteger() const { return kind_ == Kind::kNumber ? static_cast<std::int64_t>(number_) : integer_; }
    double AsNumber() const { return kind_ == Kind::kInteger ? static_cast<double>(integer_) : number_; }
    const std::string& AsString() const { return string_; }

    // Compact on one line when `indent` is 0, else pretty-printed.
    std::string Dump(int indent = 0) const;
    static std::optional<Json> Parse(const std::string& text, std::string& error);

private:
    void DumpTo(std::string& out, int indent, int depth) const;

    Kind kind_ = Kind::kNull;
    bool bool_ = false;
    std::int64_t integer_ = 0;
    double number_ = 0;
    std::string string_;
    std::vector<Json> elements_;
    std::vector<std::pair<std::string, Json>> members_;
};

}  // namespace qxv::hostsim
