// read_link.exe: loads a shell link through IShellLinkW and IPersistFile, as
// Windows' shell would, and prints what it holds:
//
//   read_link LINK.lnk
//     target=<path>
//     arguments=<text>
//     icon=<path>,<index>
//
// Exit status 0 when the link was loaded, 1 when not, 2 for bad usage.
#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cstdio>
#include <cwchar>

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fputs("usage: read_link LINK.lnk\n", stderr);
        return 2;
    }
    if (FAILED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
    int status = 1;
    IShellLinkW* link = nullptr;
    if (SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                     reinterpret_cast<void**>(&link)))) {
        IPersistFile* file = nullptr;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            if (SUCCEEDED(file->Load(argv[1], STGM_READ))) {
                wchar_t target[MAX_PATH] = L"", arguments[1024] = L"", icon[MAX_PATH] = L"";
                int index = 0;
                link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH);
                link->GetArguments(arguments, 1024);
                link->GetIconLocation(icon, MAX_PATH, &index);
                std::wprintf(L"target=%ls\narguments=%ls\nicon=%ls,%d\n", target, arguments, icon, index);
                status = 0;
            }
            file->Release();
        }
        link->Release();
    }
    ::CoUninitialize();
    return status;
}
