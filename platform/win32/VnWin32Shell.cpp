#include "VnWin32Shell.h"

#include "VnWin32Text.h"

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

HRESULT FillLink(IShellLinkW& shellLink, const VnShellLink& link) {
    HRESULT hr = shellLink.SetPath(W(link.target));
    if (SUCCEEDED(hr) && !link.arguments.IsEmpty()) hr = shellLink.SetArguments(W(link.arguments));
    if (SUCCEEDED(hr) && !link.workingFolder.IsEmpty()) hr = shellLink.SetWorkingDirectory(W(link.workingFolder));
    if (SUCCEEDED(hr) && !link.description.IsEmpty()) hr = shellLink.SetDescription(W(link.description));
    if (SUCCEEDED(hr) && !link.iconPath.IsEmpty()) hr = shellLink.SetIconLocation(W(link.iconPath), link.iconIndex);
    return hr;
}

}  // namespace

void VnWin32Shell::ChangeNotify(uint32_t eventId, uint32_t flags) {
    ::SHChangeNotify(LONG(eventId), flags, nullptr, nullptr);
}

uint32_t VnWin32Shell::CreateShellLink(const VnString& linkPath, const VnShellLink& link) {
    if (linkPath.IsEmpty() || link.target.IsEmpty()) return ERROR_INVALID_PARAMETER;
    vnw32::ComScope com;
    ComPtr<IShellLinkW> shellLink;
    HRESULT hr = ::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, shellLink.Out());
    if (FAILED(hr)) return vnw32::ErrorFromHResult(hr);
    hr = FillLink(*shellLink.operator->(), link);
    if (FAILED(hr)) return vnw32::ErrorFromHResult(hr);
    ComPtr<IPersistFile> file;
    hr = shellLink->QueryInterface(IID_IPersistFile, file.Out());
    if (SUCCEEDED(hr)) hr = file->Save(W(linkPath), TRUE);
    return vnw32::ErrorFromHResult(hr);
}

int VnWin32Shell::MessageBox(const VnString& text, const VnString& title, uint32_t type) {
    return ::MessageBoxW(nullptr, W(text), W(title), type);
}

// ExitWindowsEx needs the shutdown privilege enabled in the process token;
// AdjustTokenPrivileges "succeeds" without it, so its last error is checked.
uint32_t VnWin32Shell::RestartWindows(uint32_t flags, uint32_t reason) {
    HANDLE token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token))
        return vnw32::ResultOf(FALSE);
    TOKEN_PRIVILEGES privileges = {};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    LUID& shutdown = privileges.Privileges[0].Luid;
    uint32_t error = vnw32::ResultOf(::LookupPrivilegeValueW(nullptr, SE_SHUTDOWN_NAME, &shutdown));
    if (error == ERROR_SUCCESS) {
        ::SetLastError(ERROR_SUCCESS);
        ::AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
        error = ::GetLastError();
    }
    ::CloseHandle(token);
    if (error != ERROR_SUCCESS) return error;
    return vnw32::ResultOf(::ExitWindowsEx(flags, reason));
}
