// The window's compiled resources: the dialog as the system's dialog manager
// makes it (its controls, what each does, where each sits), the icon's two
// sizes, the version and the manifest.

#include "dialog_ids.h"
#include "run_command.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <cwctype>
#include <iterator>
#include <string>
#include <vector>

namespace {

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

std::wstring WindowText(HWND window)
{
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, &text[0], static_cast<int>(text.size()))));
    return text;
}

std::wstring ClassOf(HWND window)
{
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    std::wstring lower = name;
    for (wchar_t& c : lower)
        c = static_cast<wchar_t>(std::towlower(c));
    return lower;
}

// A window's rectangle in its dialog's client coordinates.
RECT InDialog(HWND control, HWND dialog)
{
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

bool Inside(const RECT& inner, const RECT& outer)
{
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

bool Overlap(const RECT& a, const RECT& b)
{
    RECT common;
    return IntersectRect(&common, &a, &b) != FALSE;
}

INT_PTR CALLBACK PlainDialogProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG ? TRUE : FALSE;
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

// The converter dialog made from the compiled resource by the system's dialog
// manager (with a dialog procedure that does nothing of its own): its caption,
// its controls in creation order, what each does, and where each sits.
TEST_F(WindowResources, DialogMadeFromTheResourceIsTheConverterDialog)
{
    const BYTE* data = Resource(RT_DIALOG, MAKEINTRESOURCEW(IDD_CONVERTER_DIALOG));
    ASSERT_NE(data, nullptr);
    const HWND dialog = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), reinterpret_cast<LPCDLGTEMPLATEW>(data),
                                                   nullptr, PlainDialogProc, 0);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(WindowText(dialog), L"TAVRINO pcap converter");
    EXPECT_TRUE(IsWindowVisible(dialog));
    EXPECT_EQ(GetParent(dialog), nullptr);
    EXPECT_NE(GetSystemMenu(dialog, FALSE), nullptr);  // the close box's menu
    RECT frame, client;
    GetWindowRect(dialog, &frame);
    GetClientRect(dialog, &client);
    EXPECT_GE((frame.bottom - frame.top) - client.bottom, GetSystemMetrics(SM_CYCAPTION));  // a title bar

    // In creation order: the id, class and text of each, and where the
    // template puts it in dialog units (x, y, width, height, of 210 x 241).
    const struct {
        int id;
        const wchar_t* windowClass;
        const wchar_t* text;
        int x, y, cx, cy;
    } expected[] = {
        {IDC_START_CONVERSION, L"button", L"Start &conversion", 140, 220, 65, 14},
        {IDC_STATIC, L"button", L"&Folder", 5, 5, 200, 40},
        {IDC_FOLDER_PATH, L"static", L"Static", 10, 15, 170, 25},
        {IDC_FOLDER_BROWSE, L"button", L"...", 190, 15, 10, 14},
        {IDC_STATIC, L"static", L"File &list:", 5, 50, 35, 8},
        {IDC_FILE_LIST, L"listbox", L"", 10, 60, 125, 175},
        {IDC_REFRESH, L"button", L"&Refresh", 140, 60, 65, 14},
        {IDC_SELECT_ALL, L"button", L"Select &all", 140, 90, 65, 14},
        {IDC_SELECT_NONE, L"button", L"&No select", 140, 110, 65, 14},
    };
    std::vector<HWND> controls;
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
        controls.push_back(child);
    ASSERT_EQ(controls.size(), std::size(expected));

    // Pixels per dialog unit, from the client area: 210 x 241 units.
    const double perUnitX = client.right / 210.0;
    const double perUnitY = client.bottom / 241.0;
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const HWND control = controls[i];
        SCOPED_TRACE("control " + std::to_string(i + 1));
        EXPECT_EQ(static_cast<WORD>(GetDlgCtrlID(control)), static_cast<WORD>(expected[i].id));
        EXPECT_EQ(ClassOf(control), expected[i].windowClass);
        EXPECT_EQ(WindowText(control), expected[i].text);
        EXPECT_TRUE(IsWindowVisible(control));
        const RECT at = InDialog(control, dialog);
        EXPECT_TRUE(Inside(at, client));
        // Each edge rounded on its own, and the units measured from a rounded
        // client area: within two pixels.
        EXPECT_NEAR(at.left, expected[i].x * perUnitX, 2.0);
        EXPECT_NEAR(at.top, expected[i].y * perUnitY, 2.0);
        EXPECT_NEAR(at.right, (expected[i].x + expected[i].cx) * perUnitX, 2.0);
        EXPECT_NEAR(at.bottom, (expected[i].y + expected[i].cy) * perUnitY, 2.0);
    }
    // Nothing overlaps, but for the folder's label and "..." inside its box.
    const HWND folderBox = controls[1];
    for (std::size_t i = 0; i < controls.size(); ++i) {
        for (std::size_t j = i + 1; j < controls.size(); ++j) {
            const bool inTheBox = controls[i] == folderBox && (j == 2 || j == 3);
            if (inTheBox) {
                EXPECT_TRUE(Inside(InDialog(controls[j], dialog), InDialog(folderBox, dialog))) << j + 1;
            } else {
                EXPECT_FALSE(Overlap(InDialog(controls[i], dialog), InDialog(controls[j], dialog))) << i + 1 << " " << j + 1;
            }
        }
    }

    // Tab goes from button to button and through the list, in creation order;
    // the labels and the box are passed over.
    const HWND start = GetDlgItem(dialog, IDC_START_CONVERSION);
    const std::vector<HWND> tabOrder = {start,
                                        GetDlgItem(dialog, IDC_FOLDER_BROWSE),
                                        GetDlgItem(dialog, IDC_FILE_LIST),
                                        GetDlgItem(dialog, IDC_REFRESH),
                                        GetDlgItem(dialog, IDC_SELECT_ALL),
                                        GetDlgItem(dialog, IDC_SELECT_NONE),
                                        start};
    for (std::size_t i = 1; i < tabOrder.size(); ++i)
        EXPECT_EQ(GetNextDlgTabItem(dialog, tabOrder[i - 1], FALSE), tabOrder[i]) << "after tab " << i;

    // No button is the default one that Enter would press; the box is a frame.
    for (const int id : {IDC_START_CONVERSION, IDC_FOLDER_BROWSE, IDC_REFRESH, IDC_SELECT_ALL, IDC_SELECT_NONE}) {
        const LRESULT code = SendMessageW(GetDlgItem(dialog, id), WM_GETDLGCODE, 0, 0);
        EXPECT_TRUE(code & DLGC_UNDEFPUSHBUTTON) << id;
        EXPECT_FALSE(code & DLGC_DEFPUSHBUTTON) << id;
    }
    EXPECT_TRUE(SendMessageW(folderBox, WM_GETDLGCODE, 0, 0) & DLGC_STATIC);

    // The list: framed, in the order entries come, several selected at once,
    // and a scroll bar once they overflow it.
    const HWND list = GetDlgItem(dialog, IDC_FILE_LIST);
    RECT listFrame, listClient;
    GetWindowRect(list, &listFrame);
    GetClientRect(list, &listClient);
    EXPECT_GE((listFrame.right - listFrame.left) - listClient.right, 2);
    for (const wchar_t* name : {L"b.DT", L"a.DT", L"c.DT"})
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    wchar_t first[16] = {};
    SendMessageW(list, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(first));
    EXPECT_EQ(std::wstring(first), L"b.DT");
    SendMessageW(list, LB_SETSEL, TRUE, 0);
    SendMessageW(list, LB_SETSEL, TRUE, 2);
    EXPECT_EQ(SendMessageW(list, LB_GETSELCOUNT, 0, 0), 2);
    SCROLLBARINFO scroll{};
    scroll.cbSize = sizeof scroll;
    ASSERT_TRUE(GetScrollBarInfo(list, OBJID_VSCROLL, &scroll));
    EXPECT_TRUE(scroll.rgstate[0] & STATE_SYSTEM_INVISIBLE);  // three entries fit
    for (int i = 0; i < 200; ++i)
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"more.DT"));
    ASSERT_TRUE(GetScrollBarInfo(list, OBJID_VSCROLL, &scroll));
    EXPECT_FALSE(scroll.rgstate[0] & STATE_SYSTEM_INVISIBLE);

    DestroyWindow(dialog);
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
    // The version Explorer shows is the release's, the one dt2pcap prints.
    const std::string shown = std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." +
                              std::to_string(LOWORD(fixed->dwFileVersionMS)) + "." +
                              std::to_string(HIWORD(fixed->dwFileVersionLS)) + "." +
                              std::to_string(LOWORD(fixed->dwFileVersionLS));
    EXPECT_EQ(shown, PROJECT_VERSION);
    const CommandResult dt2pcap = RunCommand({DT2PCAP_PROGRAM, "--version"});
    EXPECT_EQ(dt2pcap.out.substr(0, dt2pcap.out.find_first_of("\r\n")), "dt2pcap " + shown) << dt2pcap.err;
    wchar_t* product = nullptr;
    ASSERT_TRUE(VerQueryValueW(copy.data(), L"\\StringFileInfo\\041104B0\\ProductName",
                               reinterpret_cast<void**>(&product), &length));
    EXPECT_EQ(std::wstring(product), L"TAVRINO pcap converter");

    const BYTE* manifest = Resource(RT_MANIFEST, MAKEINTRESOURCEW(1), &size);
    ASSERT_NE(manifest, nullptr);
    const std::string text(reinterpret_cast<const char*>(manifest), size);
    for (const std::string setting :
         {"name=\"Tavrino.PcapConverter\" version=\"" PROJECT_VERSION "\"",
          "Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"", "PerMonitorV2",
          "<activeCodePage xmlns=\"http://schemas.microsoft.com/SMI/2019/WindowsSettings\">UTF-8<"})
        EXPECT_NE(text.find(setting), std::string::npos) << setting;
}

} // namespace
