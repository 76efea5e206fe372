// The path box's folder picker: the common item dialog in folder mode, or
// on systems without it the shell's folder browser.
#include "VnWin32Native.h"

namespace {
// The folder itself, or the nearest parent that exists.
VnString ExistingFolder(VnString folder) {
    while (!folder.IsEmpty()) {
        const DWORD attributes = GetFileAttributesW(VnWide(folder));
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return folder;
        folder.TrimRight(u'\\');
        const int32_t cut = folder.ReverseFind(u'\\');
        if (cut < 0) return {};
        folder = folder.Left(cut + 1);
    }
    return {};
}

// SHCreateItemFromParsingName exists from Vista on, like the item dialog
// itself: looked up at run time, so the program still starts on older systems.
HRESULT ShellItemFromPath(const VnString& path, IShellItem** item) {
    using CreateItemFn = HRESULT(WINAPI*)(PCWSTR, IBindCtx*, REFIID, void**);
    HMODULE shell32 = GetModuleHandleW(L"shell32.dll");
    auto create = shell32 ? reinterpret_cast<CreateItemFn>(
                                reinterpret_cast<void*>(GetProcAddress(shell32, "SHCreateItemFromParsingName")))
                          : nullptr;
    return create ? create(VnWide(path), nullptr, IID_IShellItem, reinterpret_cast<void**>(item)) : E_NOTIMPL;
}

int CALLBACK SelectInitialFolder(HWND dialog, UINT msg, LPARAM, LPARAM data) {
    if (msg == BFFM_INITIALIZED && data) SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, data);
    return 0;
}

bool PickWithItemDialog(HWND owner, const VnString& title, VnString& folder, bool& available) {
    IFileDialog* dialog = nullptr;
    available = SUCCEEDED(VnBackend::Native::CreateInstance(CLSID_FileOpenDialog, IID_IFileDialog,
                                                            reinterpret_cast<void**>(&dialog)));
    if (!available) return false;
    FILEOPENDIALOGOPTIONS options = 0;
    dialog->GetOptions(&options);
    dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM);
    if (!title.IsEmpty()) dialog->SetTitle(VnWide(title));
    const VnString start = ExistingFolder(folder);
    IShellItem* startItem = nullptr;
    if (!start.IsEmpty() &&
        SUCCEEDED(ShellItemFromPath(start, &startItem))) {
        dialog->SetFolder(startItem);
        startItem->Release();
    }
    bool chosen = false;
    IShellItem* result = nullptr;
    if (SUCCEEDED(dialog->Show(owner)) && SUCCEEDED(dialog->GetResult(&result))) {
        wchar_t* path = nullptr;
        if (SUCCEEDED(result->GetDisplayName(SIGDN_FILESYSPATH, &path)) && path) {
            folder = VnFromWide(path);
            CoTaskMemFree(path);
            chosen = true;
        }
        result->Release();
    }
    dialog->Release();
    return chosen;
}

bool PickWithFolderBrowser(HWND owner, const VnString& title, VnString& folder) {
    const VnString start = ExistingFolder(folder);
    BROWSEINFOW info{};
    info.hwndOwner = owner;
    info.lpszTitle = VnWide(title);
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    info.lpfn = SelectInitialFolder;
    info.lParam = start.IsEmpty() ? 0 : reinterpret_cast<LPARAM>(VnWide(start));
    LPITEMIDLIST chosen = SHBrowseForFolderW(&info);
    if (!chosen) return false;
    wchar_t path[MAX_PATH] = {};
    const bool ok = SHGetPathFromIDListW(chosen, path);
    CoTaskMemFree(chosen);
    if (ok) folder = VnFromWide(path);
    return ok;
}
}  // namespace

bool VnBackend::BrowseForFolder(VnWnd& owner, const VnString& title, VnString& folder) {
    HWND root = GetAncestor(Native::Hwnd(owner), GA_ROOT);
    bool available = false;
    const bool chosen = PickWithItemDialog(root, title, folder, available);
    return available ? chosen : PickWithFolderBrowser(root, title, folder);
}

