#include "platform/JsonWriter.h"

#include "platform/NumberText.h"

namespace s2t {
namespace {

// The length of the UTF-8 sequence at text[i], or 0 when the bytes there are not one (overlong
// forms, surrogates and values past U+10FFFF included).
std::size_t utf8SequenceLength(std::string_view text, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char first = byte(i);
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;  // the allowed range of the second byte
    if (first >= 0xC2 && first <= 0xDF) {
        length = 2;
    } else if (first >= 0xE0 && first <= 0xEF) {
        length = 3;
        if (first == 0xE0) low = 0xA0;
        if (first == 0xED) high = 0x9F;
    } else if (first >= 0xF0 && first <= 0xF4) {
        length = 4;
        if (first == 0xF0) low = 0x90;
        if (first == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (i + length > text.size()) return 0;
    if (byte(i + 1) < low || byte(i + 1) > high) return 0;
    for (std::size_t k = 2; k < length; ++k)
        if (byte(i + k) < 0x80 || byte(i + k) > 0xBF) return 0;
    return length;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

bool JsonWriter::isJsonNumber(std::string_view text) {
    std::size_t i = 0;
    const std::size_t n = text.size();
    auto digits = [&] {
        const std::size_t start = i;
        while (i < n && isDigit(text[i])) ++i;
        return i > start;
    };
    if (i < n && text[i] == '-') ++i;
    if (i < n && text[i] == '0')
        ++i;
    else if (!digits())
        return false;
    if (i < n && text[i] == '.') {
        ++i;
        if (!digits()) return false;
    }
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
        if (!digits()) return false;
    }
    return i == n;
}

void JsonWriter::beforeValue() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (levels_.empty()) return;
    if (!levels_.back().empty) text_ += ',';
    levels_.back().empty = false;
    text_ += '\n';
    text_.append(2 * levels_.size(), ' ');
}

JsonWriter& JsonWriter::open(char bracket) {
    beforeValue();
    text_ += bracket;
    levels_.push_back({});
    return *this;
}

JsonWriter& JsonWriter::close(char bracket) {
    const bool empty = levels_.back().empty;
    levels_.pop_back();
    if (!empty) {
        text_ += '\n';
        text_.append(2 * levels_.size(), ' ');
    }
    text_ += bracket;
    return *this;
}

JsonWriter& JsonWriter::beginObject() { return open('{'); }
JsonWriter& JsonWriter::endObject() { return close('}'); }
JsonWriter& JsonWriter::beginArray() { return open('['); }
JsonWriter& JsonWriter::endArray() { return close(']'); }

JsonWriter& JsonWriter::key(std::string_view name) {
    string(name);
    text_ += ": ";
    afterKey_ = true;
    return *this;
}

JsonWriter& JsonWriter::string(std::string_view text) {
    beforeValue();
    static constexpr char kHex[] = "0123456789abcdef";
    text_ += '"';
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x80) {
            const std::size_t length = utf8SequenceLength(text, i);
            if (length == 0) {
                text_ += "\\ufffd";
                ++i;
            } else {
                text_.append(text.substr(i, length));
                i += length;
            }
            continue;
        }
        switch (c) {
        case '"': text_ += "\\\""; break;
        case '\\': text_ += "\\\\"; break;
        case '\n': text_ += "\\n"; break;
        case '\r': text_ += "\\r"; break;
        case '\t': text_ += "\\t"; break;
        case '\b': text_ += "\\b"; break;
        case '\f': text_ += "\\f"; break;
        default:
            if (c < 0x20) {
                text_ += "\\u00";
                text_ += kHex[c >> 4];
                text_ += kHex[c & 0x0F];
            } else {
                text_ += static_cast<char>(c);
            }
        }
        ++i;
    }
    text_ += '"';
    return *this;
}

JsonWriter& JsonWriter::number(std::string_view digits) {
    if (!isJsonNumber(digits)) return null();
    beforeValue();
    text_.append(digits);
    return *this;
}

JsonWriter& JsonWriter::fixed(double value, int precision) { return number(formatFixed(value, precision)); }

JsonWriter& JsonWriter::integer(long long value) {
    beforeValue();
    appendInteger(text_, value);
    return *this;
}

JsonWriter& JsonWriter::boolean(bool value) {
    beforeValue();
    text_ += value ? "true" : "false";
    return *this;
}

JsonWriter& JsonWriter::null() {
    beforeValue();
    text_ += "null";
    return *this;
}

}  // namespace s2t
