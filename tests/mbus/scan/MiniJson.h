#pragma once
// A small JSON reader for the example telegram files the decoder tests compare against.
#include <cstdint>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace json {

struct Value {
    enum Kind { Null, Bool, Number, String, Array, Object } kind = Null;
    bool boolean = false;
    double number = 0;
    std::string text;
    std::vector<Value> items;
    std::map<std::string, Value> members;

    bool has(const std::string& k) const { return kind == Object && members.count(k) > 0; }
    const Value& operator[](const std::string& k) const {
        static const Value none;
        auto it = members.find(k);
        return it == members.end() ? none : it->second;
    }
    const Value& operator[](std::size_t i) const { return items.at(i); }
    std::size_t size() const { return items.size(); }
    bool isNull() const { return kind == Null; }
};

class Parser {
public:
    explicit Parser(std::string text) : s_(std::move(text)) {}
    Value parse() {
        Value v = value();
        ws();
        if (p_ != s_.size()) fail("trailing text");
        return v;
    }

private:
    [[noreturn]] void fail(const char* what) {
        throw std::runtime_error(std::string("json: ") + what + " at " + std::to_string(p_));
    }
    void ws() {
        while (p_ < s_.size() && std::isspace(static_cast<unsigned char>(s_[p_]))) ++p_;
    }
    bool eat(char c) {
        ws();
        if (p_ < s_.size() && s_[p_] == c) {
            ++p_;
            return true;
        }
        return false;
    }
    Value value() {
        ws();
        if (p_ >= s_.size()) fail("end of text");
        Value v;
        char c = s_[p_];
        if (c == '{') {
            ++p_;
            v.kind = Value::Object;
            if (eat('}')) return v;
            do {
                ws();
                std::string k = string();
                if (!eat(':')) fail("':' expected");
                v.members[k] = value();
            } while (eat(','));
            if (!eat('}')) fail("'}' expected");
        } else if (c == '[') {
            ++p_;
            v.kind = Value::Array;
            if (eat(']')) return v;
            do v.items.push_back(value());
            while (eat(','));
            if (!eat(']')) fail("']' expected");
        } else if (c == '"') {
            v.kind = Value::String;
            v.text = string();
        } else if (s_.compare(p_, 4, "true") == 0) {
            v.kind = Value::Bool, v.boolean = true, p_ += 4;
        } else if (s_.compare(p_, 5, "false") == 0) {
            v.kind = Value::Bool, p_ += 5;
        } else if (s_.compare(p_, 4, "null") == 0) {
            p_ += 4;
        } else {
            std::size_t used = 0;
            v.kind = Value::Number;
            v.number = std::stod(s_.substr(p_, 40), &used);
            p_ += used;
        }
        return v;
    }
    std::string string() {
        if (p_ >= s_.size() || s_[p_] != '"') fail("string expected");
        ++p_;
        std::string out;
        while (p_ < s_.size() && s_[p_] != '"') {
            char c = s_[p_++];
            if (c != '\\') {
                out += c;
                continue;
            }
            char e = s_[p_++];
            switch (e) {
            case 'n':
                out += '\n';
                break;
            case 't':
                out += '\t';
                break;
            case 'r':
                out += '\r';
                break;
            case 'b':
                out += '\b';
                break;
            case 'f':
                out += '\f';
                break;
            case 'u': {
                unsigned cp = std::stoul(s_.substr(p_, 4), nullptr, 16);
                p_ += 4;
                if (cp < 0x80)
                    out += char(cp);
                else if (cp < 0x800)
                    out += char(0xC0 | (cp >> 6)), out += char(0x80 | (cp & 0x3F));
                else
                    out += char(0xE0 | (cp >> 12)), out += char(0x80 | ((cp >> 6) & 0x3F)),
                        out += char(0x80 | (cp & 0x3F));
                break;
            }
            default:
                out += e;
            }
        }
        ++p_;
        return out;
    }
    std::string s_;
    std::size_t p_ = 0;
};

inline Value parseFile(const std::string& path) {
    std::ifstream in(path);
    if (!in) throw std::runtime_error("cannot read " + path);
    std::stringstream ss;
    ss << in.rdbuf();
    return Parser(ss.str()).parse();
}

inline std::vector<std::uint8_t> hexBytes(const std::string& hex) {
    std::vector<std::uint8_t> out;
    std::string digits;
    for (char c : hex)
        if (std::isxdigit(static_cast<unsigned char>(c))) digits += c;
    for (std::size_t i = 0; i + 1 < digits.size(); i += 2)
        out.push_back(std::uint8_t(std::stoul(digits.substr(i, 2), nullptr, 16)));
    return out;
}

} // namespace json
