#include "folder_chooser.h"

#include "windows_text.h"

#include <shobjidl.h>

namespace {

// Releases a COM interface when it goes out of scope.
template <class Interface>
struct Releaser {
    Interface* pointer = nullptr;
    ~Releaser()
    {
        if (pointer != nullptr)
            pointer->Release();
    }
};

} // namespace

bool ChooseFolder(HWND owner, const wchar_t* title, const std::string& start, std::string& chosen)
{
    Releaser<IFileOpenDialog> dialog;
    if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_IFileOpenDialog,
                                reinterpret_cast<void**>(&dialog.pointer))))
        return false;
    FILEOPENDIALOGOPTIONS options = 0;
    dialog.pointer->GetOptions(&options);
    dialog.pointer->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST);
    dialog.pointer->SetTitle(title);
    std::wstring startWide;
    if (windows_text::Utf8ToWide(start, startWide) && !startWide.empty()) {
        Releaser<IShellItem> folder;
        if (SUCCEEDED(SHCreateItemFromParsingName(startWide.c_str(), nullptr, IID_IShellItem,
                                                  reinterpret_cast<void**>(&folder.pointer))))
            dialog.pointer->SetFolder(folder.pointer);
    }
    if (FAILED(dialog.pointer->Show(owner)))
        return false;
    Releaser<IShellItem> result;
    if (FAILED(dialog.pointer->GetResult(&result.pointer)))
        return false;
    wchar_t* path = nullptr;
    if (FAILED(result.pointer->GetDisplayName(SIGDN_FILESYSPATH, &path)) || path == nullptr)
        return false;
    chosen = windows_text::WideToUtf8(path);
    CoTaskMemFree(path);
    return true;
}
