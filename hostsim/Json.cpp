#include "Json.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace qxv::hostsim {

namespace {

const Json kNullJson;

void AppendEscaped(std::string& out, const std::string& text) {
    out += '"';
    for (char c : text) {
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char hex[8];
                    std::snprintf(hex, sizeof hex, "\\u%04x", static_cast<unsigned char>(c));
                    out += hex;
                } else {
                    out += c;
                }
        }
    }
    out += '"';
}

// The shortest text that reads back as the same double.
std::string NumberText(double value) {
    if (!std::isfinite(value)) return "null";
    char text[40];
    // Whole numbers print as such ("300", not "3e+02").
    if (value == std::floor(value) && std::fabs(value) < 1e15) {
        std::snprintf(text, sizeof text, "%.0f", value);
        return text;
    }
    for (int precision = 1; precision <= 17; ++precision) {
        std::snprintf(text, sizeof text, "%.*g", precision, value);
        if (std::strtod(text, nullptr) == value) break;
    }
    return text;
}

class Parser {
public:
    Parser(const std::string& text, std::string& error) : text_(text), error_(error) {}

    std::optional<Json> Document() {
        std::optional<Json> value = Value(0);
        if (!value) return std::nullopt;
        SkipSpace();
        if (pos_ != text_.size()) return Fail("unexpected text after the value");
        return value;
    }

private:
    static constexpr int kMaxDepth = 200;

    std::nullopt_t Fail(const std::string& what) {
        error_ = what + " at offset " + std::to_string(pos_);
        return std::nullopt;
    }

    bool StringError(const std::string& what) {
        Fail(what);
        return false;
    }

    void SkipSpace() {
        while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\n' || text_[pos_] == '\r' || text_[pos_] == '\t')) {
            ++pos_;
        }
    }

    bool Consume(const char* word) {
        std::size_t n = std::char_traits<char>::length(word);
        if (text_.compare(pos_, n, word) != 0) return false;
        pos_ += n;
        return true;
    }

    std::optional<Json> Value(int depth) {
        if (depth > kMaxDepth) return Fail("nesting too deep");
        SkipSpace();
        if (pos_ >= text_.size()) return Fail("unexpected end of text");
        char c = text_[pos_];
        if (c == '{') return Object(depth);
        if (c == '[') return Array(depth);
        if (c == '"') {
            std::string s;
            if (!String(s)) return std::nullopt;
            return Json(std::move(s));
        }
        if (Consume("true")) return Json(true);
        if (Consume("false")) return Json(false);
        if (Consume("null")) return Json();
        if (c == '-' || (c >= '0' && c <= '9')) return Number();
        return Fail("unexpected character");
    }

    std::optional<Json> Number() {
        std::size_t start = pos_;
        bool integral = true;
        if (text_[pos_] == '-') ++pos_;
        while (pos_ < text_.size()) {
            char c = text_[pos_];
            if (c >= '0' && c <= '9') {
                ++pos_;
            } else if (c == '.' || c == 'e' || c == 'E' || c == '+' || c == '-') {
                integral = false;
                ++pos_;
            } else {
                break;
            }
        }
        std::string number = text_.substr(start, pos_ - start);
        char* end = nullptr;
        if (integral) {
            long long value = std::strtoll(number.c_str(), &end, 10);
            if (end == number.c_str() + number.size()) return Json(static_cast<std::int64_t>(value));
        }
        double value = std::strtod(number.c_str(), &end);
        if (end != number.c_str() + number.size() || number == "-") return Fail("malformed number");
        return Json(value);
    }

    static void AppendUtf8(std::string& out, unsigned code) {
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (code >> 18));
            out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }

    bool Hex4(unsigned& code) {
        if (pos_ + 4 > text_.size()) return false;
        code = 0;
        for (int i = 0; i < 4; ++i) {
            char c = text_[pos_++];
            code <<= 4;
            if (c >= '0' && c <= '9') code |= c - '0';
            else if (c >= 'a' && c <= 'f') code |= c - 'a' + 10;
            else if (c >= 'A' && c <= 'F') code |= c - 'A' + 10;
            else return false;
        }
        return true;
    }

    bool String(std::string& out) {
        ++pos_;  // opening quote
        while (pos_ < text_.size()) {
            char c = text_[pos_++];
            if (c == '"') return true;
            if (c != '\\') {
                out += c;
                continue;
            }
            if (pos_ >= text_.size()) break;
            char e = text_[pos_++];
            switch (e) {
                case '"': out += '"'; break;
                case '\\': out += '\\'; break;
                case '/': out += '/'; break;
                case 'b': out += '\b'; break;
                case 'f': out += '\f'; break;
                case 'n': out += '\n'; break;
                case 'r': out += '\r'; break;
                case 't': out += '\t'; break;
                case 'u': {
                    unsigned code = 0;
                    if (!Hex4(code)) return StringError("bad \\u escape");
                    if (code >= 0xD800 && code < 0xDC00 && Consume("\\u")) {
                        unsigned low = 0;
                        if (!Hex4(low)) return StringError("bad \\u escape");
                        code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                    }
                    AppendUtf8(out, code);
                    break;
                }
                default:
                    return StringError("bad escape");
            }
        }
        return StringError("unterminated string");
    }

    std::optional<Json> Array(int depth) {
        ++pos_;
        Json array = Json::Array();
        SkipSpace();
        if (pos_ < text_.size() && text_[pos_] == ']') {
            ++pos_;
            return array;
        }
        while (true) {
            std::optional<Json> element = Value(depth + 1);
            if (!element) return std::nullopt;
            array.Append(std::move(*element));
            SkipSpace();
            if (pos_ < text_.size() && text_[pos_] == ',') {
                ++pos_;
            } else if (pos_ < text_.size() && text_[pos_] == ']') {
                ++pos_;
                return array;
            } else {
                return Fail("expected ',' or ']'");
            }
        }
    }

    std::optional<Json> Object(int depth) {
        ++pos_;
        Json object = Json::Object();
        SkipSpace();
        if (pos_ < text_.size() && text_[pos_] == '}') {
            ++pos_;
            return object;
        }
        while (true) {
            SkipSpace();
            if (pos_ >= text_.size() || text_[pos_] != '"') return Fail("expected a member name");
            std::string key;
            if (!String(key)) return std::nullopt;
            SkipSpace();
            if (pos_ >= text_.size() || text_[pos_] != ':') return Fail("expected ':'");
            ++pos_;
            std::optional<Json> member = Value(depth + 1);
            if (!member) return std::nullopt;
            object.Set(key, std::move(*member));
            SkipSpace();
            if (pos_ < text_.size() && text_[pos_] == ',') {
                ++pos_;
            } else if (pos_ < text_.size() && text_[pos_] == '}') {
                ++pos_;
                return object;
            } else {
                return Fail("expected ',' or '}'");
            }
        }
    }

    const std::string& text_;
    std::string& error_;
    std::size_t pos_ = 0;
};

}  // namespace

Json& Json::Append(Json value) {
    elements_.push_back(std::move(value));
    return *this;
}

std::size_t Json::size() const { return kind_ == Kind::kObject ? members_.size() : elements_.size(); }

const Json& Json::operator[](std::size_t index) const {
    return index < elements_.size() ? elements_[index] : kNullJson;
}

Json& Json::Set(const std::string& key, Json value) {
    for (auto& member : members_) {
        if (member.first == key) {
            member.second = std::move(value);
            return *this;
        }
    }
    members_.emplace_back(key, std::move(value));
    return *this;
}

const Json* Json::Find(const std::string& key) const {
    for (const auto& member : members_) {
        if (member.first == key) return &member.second;
    }
    return nullptr;
}

const Json& Json::operator[](const std::string& key) const {
    const Json* found = Find(key);
    return found ? *found : kNullJson;
}

std::string Json::Dump(int indent) const {
    std::string out;
    DumpTo(out, indent, 0);
    return out;
}

void Json::DumpTo(std::string& out, int indent, int depth) const {
    auto newline = [&](int level) {
        if (indent > 0) out += "\n" + std::string(static_cast<std::size_t>(indent * level), ' ');
    };
    switch (kind_) {
        case Kind::kNull: out += "null"; break;
        case Kind::kBool: out += bool_ ? "true" : "false"; break;
        case Kind::kInteger: out += std::to_string(integer_); break;
        case Kind::kNumber: out += NumberText(number_); break;
        case Kind::kString: AppendEscaped(out, string_); break;
        case Kind::kArray: {
            out += '[';
            // Short arrays of plain values ([x, y], [a, r, g, b]) stay on one line.
            bool flat = true;
            for (const auto& e : elements_) flat = flat && e.kind_ != Kind::kArray && e.kind_ != Kind::kObject;
            for (std::size_t i = 0; i < elements_.size(); ++i) {
                if (i) out += indent > 0 && flat ? ", " : ",";
                if (!flat) newline(depth + 1);
                elements_[i].DumpTo(out, indent, depth + 1);
            }
            if (!flat && !elements_.empty()) newline(depth);
            out += ']';
            break;
        }
        case Kind::kObject: {
            out += '{';
            for (std::size_t i = 0; i < members_.size(); ++i) {
                if (i) out += ',';
                newline(depth + 1);
                AppendEscaped(out, members_[i].first);
                out += indent > 0 ? ": " : ":";
                members_[i].second.DumpTo(out, indent, depth + 1);
            }
            if (!members_.empty()) newline(depth);
            out += '}';
            break;
        }
    }
}

std::optional<Json> Json::Parse(const std::string& text, std::string& error) { return Parser(text, error).Document(); }

}  // namespace qxv::hostsim
