// Writes the converter dialog's block of the Windows resource script and the
// #defines of its ids from the template table, at build time on the building
// machine: dialog_rc_writer DIALOG.rc IDS.h

#include "dialog_ids.h"
#include "dialog_template.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>

namespace {

const char* IdName(int id)
{
#define TPC_ID_NAME(name, value) \
    if (id == (value))           \
        return #name;
    TPC_CONVERTER_DIALOG_IDS(TPC_ID_NAME)
#undef TPC_ID_NAME
    return nullptr;
}

// A resource script string: a double quote is written twice.
std::string Quoted(const char* text)
{
    std::string out = "\"";
    for (const char* p = text; *p; ++p) {
        out += *p;
        if (*p == '"')
            out += '"';
    }
    return out + "\"";
}

std::string Hex(std::uint32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(value));
    return text;
}

bool WriteIds(const char* path)
{
    std::ofstream out(path, std::ios::binary);
    out << "// Written by dialog_rc_writer from window_core/dialog_ids.h; do not edit.\n#pragma once\n";
// A negative id in parentheses, where the script takes an expression.
#define TPC_ID_DEFINE(name, value) \
    out << "#define " #name " " << ((value) < 0 ? "(" + std::to_string(value) + ")" : std::to_string(value)) << "\n";
    TPC_CONVERTER_DIALOG_IDS(TPC_ID_DEFINE)
#undef TPC_ID_DEFINE
    return static_cast<bool>(out.flush());
}

bool WriteDialog(const char* path, const DialogTemplate& dialog)
{
    std::ofstream out(path, std::ios::binary);
    out << "// Written by dialog_rc_writer from window_core/dialog_template.cpp; do not edit.\n"
        << IdName(dialog.id) << " DIALOGEX " << dialog.x << ", " << dialog.y << ", " << dialog.cx << ", "
        << dialog.cy << "\n"
        << "STYLE " << Hex(dialog.style) << "\n"
        << "EXSTYLE " << Hex(dialog.exStyle) << "\n"
        << "CAPTION " << Quoted(dialog.caption) << "\n"
        << "FONT " << dialog.pointSize << ", " << Quoted(dialog.typeface) << ", 0, 0, 0x1\n"
        << "BEGIN\n";
    for (std::size_t i = 0; i < dialog.itemCount; ++i) {
        const DialogItemTemplate& item = dialog.items[i];
        out << "    CONTROL " << Quoted(item.text) << ", " << IdName(item.id) << ", " << Quoted(item.windowClass)
            << ", " << Hex(item.style) << ", " << item.x << ", " << item.y << ", " << item.cx << ", " << item.cy
            << "\n";
    }
    out << "END\n";
    return static_cast<bool>(out.flush());
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: dialog_rc_writer DIALOG.rc IDS.h\n";
        return 2;
    }
    for (std::size_t i = 0; i < kConverterDialogTemplate.itemCount; ++i) {
        if (IdName(kConverterDialogTemplate.items[i].id) == nullptr) {
            std::cerr << "dialog_rc_writer: control " << i << " has an id without a name\n";
            return 1;
        }
    }
    if (!WriteDialog(argv[1], kConverterDialogTemplate) || !WriteIds(argv[2])) {
        std::cerr << "dialog_rc_writer: cannot write " << argv[1] << " or " << argv[2] << "\n";
        return 1;
    }
    return 0;
}
