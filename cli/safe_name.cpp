#include "safe_name.h"

#include <cstdio>

namespace {

void AppendHex(std::string& out, unsigned char byte)
{
    char text[5];
    std::snprintf(text, sizeof text, "\\x%02x", byte);
    out += text;
}

// Characters that are valid but print invisibly and rearrange or break what
// follows them: the bidirectional controls and the line and paragraph separators.
bool IsLayoutControl(unsigned code)
{
    return code == 0x061C || code == 0x200E || code == 0x200F || (code >= 0x2028 && code <= 0x202E) ||
           (code >= 0x2066 && code <= 0x2069);
}

// Length of the valid UTF-8 sequence at `at`, 0 when it is not one; `code`
// gets the character it encodes.
std::size_t Utf8Length(const std::string& s, std::size_t at, unsigned& code)
{
    const unsigned char lead = static_cast<unsigned char>(s[at]);
    std::size_t length;
    unsigned minimum;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        minimum = 0x10000;
    } else {
        return 0;
    }
    if (s.size() - at < length)
        return 0;
    unsigned value = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        const unsigned char next = static_cast<unsigned char>(s[at + i]);
        if ((next & 0xC0) != 0x80)
            return 0;
        value = value << 6 | (next & 0x3F);
    }
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return 0;
    code = value;
    return length;
}

} // namespace

std::string SafeName(const std::string& name)
{
    if (name.empty())
        return "''";  // an empty name must still show in a message
    std::string out;
    out.reserve(name.size());
    for (std::size_t i = 0; i < name.size();) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
            ++i;
            continue;
        }
        switch (c) {
        case '\n': out += "\\n"; ++i; continue;
        case '\t': out += "\\t"; ++i; continue;
        case '\r': out += "\\r"; ++i; continue;
        default: break;
        }
        unsigned code = 0;
        const std::size_t length = c >= 0x80 ? Utf8Length(name, i, code) : 0;
        if (length != 0 && IsLayoutControl(code)) {
            char text[8];
            std::snprintf(text, sizeof text, "\\u%04X", code);
            out += text;
            i += length;
        } else if (length == 0 || (code >= 0x80 && code <= 0x9F)) {
            AppendHex(out, c);  // C1 controls too: 0x9B is a terminal's CSI
            ++i;
        } else {
            out.append(name, i, length);
            i += length;
        }
    }
    return out;
}
