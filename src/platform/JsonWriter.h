// JSON for scripts: `--json` of the command line. Objects and arrays are written in the order
// their members are added, two spaces of indentation per level, one member per line. Numbers are
// given as the digits the text output shows (formatFixed, appendInteger), so a script reads
// exactly the value a person reads, never a re-rounded one.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace s2t {

class JsonWriter {
public:
    JsonWriter& beginObject();
    JsonWriter& endObject();
    JsonWriter& beginArray();
    JsonWriter& endArray();
    // The name of the next member of the object being written.
    JsonWriter& key(std::string_view name);

    // Text as a JSON string: quotes, backslashes and control characters escaped; bytes that are not
    // UTF-8 (a file name may hold any) become U+FFFD, since JSON text must be Unicode.
    JsonWriter& string(std::string_view text);
    // A number given as its text. Text that is no JSON number ("inf", "nan", "") is written as null.
    JsonWriter& number(std::string_view digits);
    // printf("%.<precision>f", value), the digits of the text output; not finite: null.
    JsonWriter& fixed(double value, int precision);
    JsonWriter& integer(long long value);
    JsonWriter& boolean(bool value);
    JsonWriter& null();

    // The document written so far, with a line end after the last closing bracket.
    std::string text() const { return text_ + "\n"; }

    // Whether text is a number as JSON spells one.
    static bool isJsonNumber(std::string_view text);

private:
    // The separator and indentation before a value or key.
    void beforeValue();
    JsonWriter& open(char bracket);
    JsonWriter& close(char bracket);

    struct Level {
        bool empty = true;
    };
    std::string text_;
    std::vector<Level> levels_;
    bool afterKey_ = false;
};

}  // namespace s2t
