// The window's compiled resources: the dialog control by control against the
// window core's template table (its one source, from which the script's dialog
// is written), the icon's two sizes, the version and the manifest.

#include "dialog_ids.h"
#include "dialog_template.h"
#include "run_command.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

std::wstring Wide(const char* utf8)
{
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
    std::wstring out(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8, -1, &out[0], length);
    out.resize(static_cast<std::size_t>(length - 1));
    return out;
}

// Reads a DLGTEMPLATEEX as the resource compiler laid it out.
class TemplateReader {
public:
    explicit TemplateReader(const BYTE* data) : m_at(data) {}
    WORD Word() { return Take<WORD>(); }
    DWORD Dword() { return Take<DWORD>(); }
    short Short() { return Take<short>(); }
    // A string, or an ordinal (0xFFFF then a number) shown as "#number".
    std::wstring SzOrOrdinal()
    {
        const WORD first = *reinterpret_cast<const WORD*>(m_at);
        if (first == 0xFFFF) {
            m_at += 2;
            return L"#" + std::to_wstring(Word());
        }
        std::wstring text(reinterpret_cast<const wchar_t*>(m_at));
        m_at += (text.size() + 1) * 2;
        return text;
    }
    void AlignToDword()
    {
        while (reinterpret_cast<std::uintptr_t>(m_at) % 4 != 0)
            ++m_at;
    }
    void Skip(std::size_t count) { m_at += count; }

private:
    template <class T>
    T Take()
    {
        T value;
        std::memcpy(&value, m_at, sizeof value);
        m_at += sizeof value;
        return value;
    }
    const BYTE* m_at;
};

// The predefined classes as ordinals in a compiled template.
std::wstring ClassName(const std::wstring& compiled)
{
    if (compiled == L"#128")
        return L"button";
    if (compiled == L"#130")
        return L"static";
    if (compiled == L"#131")
        return L"listbox";
    std::wstring lower = compiled;
    for (wchar_t& c : lower)
        c = static_cast<wchar_t>(towlower(c));
    return lower;
}

class WindowResources : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_module = LoadLibraryExW(BesideTestProgram(WINDOW_PROGRAM).c_str(), nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_NE(m_module, nullptr);
    }
    void TearDown() override
    {
        if (m_module != nullptr)
            FreeLibrary(m_module);
    }
    const BYTE* Resource(LPCWSTR type, LPCWSTR name, DWORD* size = nullptr)
    {
        const HRSRC found = FindResourceW(m_module, name, type);
        if (found == nullptr)
            return nullptr;
        if (size != nullptr)
            *size = SizeofResource(m_module, found);
        return static_cast<const BYTE*>(LockResource(LoadResource(m_module, found)));
    }

    HMODULE m_module = nullptr;
};

TEST_F(WindowResources, DialogIsTheTemplateTableControlByControl)
{
    const DialogTemplate& table = kConverterDialogTemplate;
    const BYTE* data = Resource(RT_DIALOG, MAKEINTRESOURCEW(table.id));
    ASSERT_NE(data, nullptr);
    TemplateReader dialog(data);
    EXPECT_EQ(dialog.Word(), 1);       // dlgVer
    EXPECT_EQ(dialog.Word(), 0xFFFF);  // signature: extended template
    EXPECT_EQ(dialog.Dword(), 0u);     // help id
    EXPECT_EQ(dialog.Dword(), table.exStyle);
    EXPECT_EQ(dialog.Dword(), table.style);
    const WORD count = dialog.Word();
    ASSERT_EQ(count, table.itemCount);
    EXPECT_EQ(dialog.Short(), table.x);
    EXPECT_EQ(dialog.Short(), table.y);
    EXPECT_EQ(dialog.Short(), table.cx);
    EXPECT_EQ(dialog.Short(), table.cy);
    EXPECT_EQ(dialog.SzOrOrdinal(), L"");  // no menu
    EXPECT_EQ(dialog.SzOrOrdinal(), L"");  // the standard dialog class
    EXPECT_EQ(dialog.SzOrOrdinal(), Wide(table.caption));
    EXPECT_EQ(dialog.Word(), table.pointSize);
    EXPECT_EQ(dialog.Word(), 0);  // weight
    EXPECT_EQ(dialog.Word() & 0xFF00, 0x0100);  // not italic, DEFAULT_CHARSET
    EXPECT_EQ(dialog.SzOrOrdinal(), Wide(table.typeface));

    for (std::size_t i = 0; i < count; ++i) {
        const DialogItemTemplate& item = table.items[i];
        SCOPED_TRACE("control " + std::to_string(i + 1) + " \"" + item.text + "\"");
        dialog.AlignToDword();
        EXPECT_EQ(dialog.Dword(), 0u);  // help id
        EXPECT_EQ(dialog.Dword(), 0u);  // extended style
        EXPECT_EQ(dialog.Dword(), item.style);
        EXPECT_EQ(dialog.Short(), item.x);
        EXPECT_EQ(dialog.Short(), item.y);
        EXPECT_EQ(dialog.Short(), item.cx);
        EXPECT_EQ(dialog.Short(), item.cy);
        EXPECT_EQ(static_cast<int>(static_cast<std::int32_t>(dialog.Dword())), item.id);
        EXPECT_EQ(ClassName(dialog.SzOrOrdinal()), Wide(item.windowClass));
        EXPECT_EQ(dialog.SzOrOrdinal(), Wide(item.text));
        dialog.Skip(dialog.Word());  // creation data
    }
}

TEST_F(WindowResources, IconHasBothSizes)
{
    const BYTE* group = Resource(RT_GROUP_ICON, MAKEINTRESOURCEW(IDR_MAINFRAME));
    ASSERT_NE(group, nullptr);
    TemplateReader icons(group);
    icons.Word();
    EXPECT_EQ(icons.Word(), 1);  // icons
    const WORD count = icons.Word();
    std::vector<int> sizes;
    for (WORD i = 0; i < count; ++i) {
        const BYTE* entry = group + 6 + i * 14;
        sizes.push_back(entry[0]);
        EXPECT_EQ(entry[1], entry[0]);
    }
    EXPECT_EQ(sizes, (std::vector<int>{32, 16}));
    for (const int size : {32, 16}) {
        const HICON icon =
            static_cast<HICON>(LoadImageW(m_module, MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON, size, size, 0));
        EXPECT_NE(icon, nullptr) << size;
        if (icon != nullptr)
            DestroyIcon(icon);
    }
}

TEST_F(WindowResources, VersionAndManifest)
{
    DWORD size = 0;
    const BYTE* version = Resource(RT_VERSION, MAKEINTRESOURCEW(1), &size);
    ASSERT_NE(version, nullptr);
    std::vector<BYTE> copy(version, version + size);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(copy.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0u);
    wchar_t* product = nullptr;
    ASSERT_TRUE(VerQueryValueW(copy.data(), L"\\StringFileInfo\\041104B0\\ProductName",
                               reinterpret_cast<void**>(&product), &length));
    EXPECT_EQ(std::wstring(product), L"TAVRINO pcap converter");

    const BYTE* manifest = Resource(RT_MANIFEST, MAKEINTRESOURCEW(1), &size);
    ASSERT_NE(manifest, nullptr);
    const std::string text(reinterpret_cast<const char*>(manifest), size);
    for (const char* setting :
         {"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"", "PerMonitorV2",
          "<activeCodePage xmlns=\"http://schemas.microsoft.com/SMI/2019/WindowsSettings\">UTF-8<"})
        EXPECT_NE(text.find(setting), std::string::npos) << setting;
}

} // namespace
