// The installer package under wine's msiexec: installed silently, its files,
// file type, Start-menu shortcut and PATH entry in place, a capture opened
// as a double-click opens it, and an uninstall that leaves nothing behind.

#include "capture_builder.h"
#include "run_command.h"
#include "test_files.h"
#include "window_driver.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <knownfolders.h>
#include <objbase.h>
#include <shlobj.h>

#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

std::wstring KnownFolder(REFKNOWNFOLDERID which)
{
    wchar_t* found = nullptr;
    std::wstring path;
    if (SUCCEEDED(SHGetKnownFolderPath(which, KF_FLAG_DEFAULT, nullptr, &found)))
        path = found;
    CoTaskMemFree(found);
    return path + L"\\";
}

// msiexec `action` `package` /qn; its exit code.
DWORD Msiexec(const std::wstring& action, const std::wstring& package)
{
    std::wstring commandLine = L"msiexec " + action + L" \"" + package + L"\" /qn";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return GetLastError();
    WaitForSingleObject(process.hProcess, 120000);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return code;
}

// A string value, or "<missing>" when the key or value is not there.
std::wstring RegString(HKEY root, const std::wstring& key, const wchar_t* name)
{
    wchar_t value[4096] = {};
    DWORD size = sizeof value;
    if (RegGetValueW(root, key.c_str(), name, RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, value,
                     &size) != ERROR_SUCCESS)
        return L"<missing>";
    return value;
}

bool KeyExists(HKEY root, const std::wstring& key)
{
    HKEY opened;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return false;
    RegCloseKey(opened);
    return true;
}

std::wstring SystemPath()
{
    return RegString(HKEY_LOCAL_MACHINE, L"System\\CurrentControlSet\\Control\\Session Manager\\Environment",
                     L"PATH");
}

// Where a shortcut leads.
std::wstring ShortcutTarget(const std::wstring& link)
{
    std::wstring target;
    IShellLinkW* shellLink = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&shellLink))))
        return target;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        wchar_t path[MAX_PATH] = {};
        if (SUCCEEDED(file->Load(link.c_str(), STGM_READ)) &&
            SUCCEEDED(shellLink->GetPath(path, MAX_PATH, nullptr, 0)))
            target = path;
        file->Release();
    }
    shellLink->Release();
    return target;
}

// The Start-menu entry, for all users or (as wine's msiexec puts it) the user.
std::wstring StartMenuEntry()
{
    for (const KNOWNFOLDERID& id : {FOLDERID_CommonPrograms, FOLDERID_Programs}) {
        const std::wstring link = KnownFolder(id) + L"TAVRINO pcap converter.lnk";
        if (GetFileAttributesW(link.c_str()) != INVALID_FILE_ATTRIBUTES)
            return link;
    }
    return std::wstring();
}

const wchar_t* const kKeys[] = {L"Software\\Classes\\.DT", L"Software\\Classes\\TAVRINO.Capture",
                                L"Software\\Classes\\Applications\\tavrino-pcap-converter.exe",
                                L"Software\\TAVRINO pcap converter"};

TEST(Installer, InstallsTheFileTypeOpensACaptureAndUninstallsCleanly)
{
    const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    const std::wstring package = BesideTestProgram(INSTALLER_PACKAGE);
    Msiexec(L"/x", package);  // a run cut short earlier may have left it installed
    const std::wstring pathBefore = SystemPath();

    ASSERT_EQ(Msiexec(L"/i", package), 0u);
    const std::wstring installed = KnownFolder(FOLDERID_ProgramFilesX64) + L"TAVRINO pcap converter\\";
    const std::wstring window = installed + L"tavrino-pcap-converter.exe";
    for (const wchar_t* name : {L"tavrino-pcap-converter.exe", L"dt2pcap.exe", L"README.txt", L"LICENSE.txt"})
        EXPECT_NE(GetFileAttributesW((installed + name).c_str()), INVALID_FILE_ATTRIBUTES) << fs::path(name);
    EXPECT_EQ(RegString(HKEY_CLASSES_ROOT, L".DT", nullptr), L"TAVRINO.Capture");
    EXPECT_EQ(RegString(HKEY_CLASSES_ROOT, L"TAVRINO.Capture\\DefaultIcon", nullptr), L"\"" + window + L"\",0");
    EXPECT_EQ(RegString(HKEY_CLASSES_ROOT, L"TAVRINO.Capture\\shell\\open", nullptr),
              L"Open with TAVRINO pcap converter");
    const std::wstring command = RegString(HKEY_CLASSES_ROOT, L"TAVRINO.Capture\\shell\\open\\command", nullptr);
    EXPECT_EQ(command, L"\"" + window + L"\" \"%1\"");
    EXPECT_EQ(RegString(HKEY_CLASSES_ROOT, L"Applications\\tavrino-pcap-converter.exe", L"FriendlyAppName"),
              L"TAVRINO pcap converter");
    EXPECT_NE(SystemPath().find(installed), std::wstring::npos) << fs::path(SystemPath());
    const std::wstring entry = StartMenuEntry();
    ASSERT_FALSE(entry.empty());
    EXPECT_EQ(ShortcutTarget(entry), window);

    {
        // A double-click on a capture: the window on its folder, it selected.
        TempDir dir;
        for (const char* name : {"a.DT", "b.DT", "c.DT"})
            CaptureBuilder().Dinf().WriteTo(dir / name);
        const std::wstring folder = fs::path(fs::u8path(dir.path())).make_preferred().wstring() + L"\\";
        WindowDriver opened(window, L"C:\\", {folder + L"b.DT"});
        ASSERT_NE(opened.Dialog(), nullptr);
        EXPECT_EQ(opened.FolderLabel(), folder);
        EXPECT_EQ(opened.SelectedIndices(), std::vector<int>{1});
        opened.PressEscape();
        EXPECT_EQ(opened.WaitForExit(), 0);
    }
    {
        // From the Start menu: the documents, never Program Files.
        WindowDriver started(window, installed);
        ASSERT_NE(started.Dialog(), nullptr);
        EXPECT_EQ(started.FolderLabel(), KnownFolder(FOLDERID_Documents));
        started.PressEscape();
        EXPECT_EQ(started.WaitForExit(), 0);
    }

    ASSERT_EQ(Msiexec(L"/x", package), 0u);
    EXPECT_EQ(GetFileAttributesW(installed.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(StartMenuEntry(), L"");
    for (const wchar_t* key : kKeys)
        EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, key)) << fs::path(key);
    EXPECT_EQ(SystemPath(), pathBefore);
    if (com)
        CoUninitialize();
}

} // namespace
