#include "safe_name.h"

#include "utf8.h"

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
bool IsLayoutControl(char32_t code)
{
    return code == 0x061C || code == 0x200E || code == 0x200F || (code >= 0x2028 && code <= 0x202E) ||
           (code >= 0x2066 && code <= 0x2069);
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
        char32_t code = 0;
        const std::size_t length = c >= 0x80 ? Utf8Length(name, i, code) : 0;
        if (length != 0 && IsLayoutControl(code)) {
            char text[8];
            std::snprintf(text, sizeof text, "\\u%04X", static_cast<unsigned>(code));
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
