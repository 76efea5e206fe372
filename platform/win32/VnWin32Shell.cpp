#include "VnWin32Shell.h"

#include "VnWin32Text.h"

#include <string>

using vnw32::W;

namespace {

// Releases a COM interface when the scope ends.
template <class T>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() {
        if (ptr_) ptr_->Release();
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    T* operator->() const { return ptr_; }
    void** Out() { return reinterpret_cast<void**>(&ptr_); }

private:
    T* ptr_ = nullptr;
};

// The text in the ANSI code page, for IShellLinkA.
std::string Ansi(const VnString& text) {
    if (text.IsEmpty()) return std::string();
    const int size = ::WideCharToMultiByte(CP_ACP, 0, W(text), -1, nullptr, 0, nullptr, nullptr);
    std::string out(size_t(size > 0 ? size : 1), '\0');
    if (size > 0) ::WideCharToMultiByte(CP_ACP, 0, W(text), -1, out.data(), size, nullptr, nullptr);
    out.resize(out.size() - 1);
    return out;
}

// Fills a link through IShellLinkW, or IShellLinkA with ANSI texts (the
// wide interface is missing on old shells). The description is always set,
// so that an overwritten link keeps none of its old one.
template <class Link, class Text>
HRESULT FillLink(Link& shellLink, const VnShellLink& link, Text text) {
    HRESULT hr = shellLink.SetPath(text(link.target).c_str());
    if (SUCCEEDED(hr)) hr = shellLink.SetDescription(text(link.description).c_str());
    if (SUCCEEDED(hr)) hr = shellLink.SetArguments(text(link.arguments).c_str());
    if (SUCCEEDED(hr) && !link.workingFolder.IsEmpty())
        hr = shellLink.SetWorkingDirectory(text(link.workingFolder).c_str());
    if (SUCCEEDED(hr) && !link.iconPath.IsEmpty()) hr = shellLink.SetIconLocation(text(link.iconPath).c_str(), link.iconIndex);
    return hr;
}

std::wstring Wide(const VnString& text) { return std::wstring(W(text)); }

template <class Link>
HRESULT SaveLink(Link& shellLink, const VnString& linkPath) {
    ComPtr<IPersistFile> file;
    HRESULT hr = shellLink.QueryInterface(IID_IPersistFile, file.Out());
    if (SUCCEEDED(hr)) hr = file->Save(W(linkPath), TRUE);
    return hr;
}

}  // namespace

void VnWin32Shell::ChangeNotify(uint32_t eventId, uint32_t flags) {
    ::SHChangeNotify(LONG(eventId), flags, nullptr, nullptr);
}

uint32_t VnWin32Shell::CreateShellLink(const VnString& linkPath, const VnShellLink& link) {
    if (linkPath.IsEmpty() || link.target.IsEmpty()) return ERROR_INVALID_PARAMETER;
    vnw32::ComScope com;
    ComPtr<IShellLinkW> wide;
    HRESULT hr = ::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, wide.Out());
    if (SUCCEEDED(hr)) {
        hr = FillLink(*wide.operator->(), link, Wide);
        if (SUCCEEDED(hr)) hr = SaveLink(*wide.operator->(), linkPath);
        return vnw32::ErrorFromHResult(hr);
    }
    ComPtr<IShellLinkA> ansi;
    hr = ::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, ansi.Out());
    if (SUCCEEDED(hr)) hr = FillLink(*ansi.operator->(), link, Ansi);
    if (SUCCEEDED(hr)) hr = SaveLink(*ansi.operator->(), linkPath);
    return vnw32::ErrorFromHResult(hr);
}

int VnWin32Shell::MessageBox(const VnString& text, const VnString& title, uint32_t type) {
    return ::MessageBoxW(nullptr, W(text), W(title), type);
}

// ExitWindowsEx needs the shutdown privilege enabled in the process token;
// AdjustTokenPrivileges "succeeds" without it, so its last error is checked.
// The privilege's previous state is put back afterwards.
uint32_t VnWin32Shell::RestartWindows(uint32_t flags, uint32_t reason) {
    HANDLE token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token))
        return vnw32::ResultOf(FALSE);
    TOKEN_PRIVILEGES privileges = {};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    LUID& shutdown = privileges.Privileges[0].Luid;
    TOKEN_PRIVILEGES previous = {};
    DWORD previousSize = sizeof previous;
    uint32_t error = vnw32::ResultOf(::LookupPrivilegeValueW(nullptr, SE_SHUTDOWN_NAME, &shutdown));
    if (error == ERROR_SUCCESS) {
        ::SetLastError(ERROR_SUCCESS);
        ::AdjustTokenPrivileges(token, FALSE, &privileges, sizeof previous, &previous, &previousSize);
        error = ::GetLastError();
    }
    if (error == ERROR_SUCCESS) {
        error = vnw32::ResultOf(::ExitWindowsEx(flags, reason));
        ::AdjustTokenPrivileges(token, FALSE, &previous, 0, nullptr, nullptr);
    }
    ::CloseHandle(token);
    return error;
}
