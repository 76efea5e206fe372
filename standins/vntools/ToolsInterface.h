// The interface of VnTools, the product's run-time tools library, as the
// installer sees it. The library is loaded at run time and reached only
// through its export GetVnToolsDLL(kToolsInterfaceVersion).
//
// Every class here is abstract with virtual functions only, so that the
// objects cross the library boundary: both sides are built by the same
// compiler, and a VnString crosses because each buffer carries the manager
// that frees it. Lists never cross as containers; they are asked for by index.
// Objects handed out by the library stay owned by it unless a function says
// "owned by the caller": those are deleted with `delete` (their virtual
// destructor frees them inside the library).
#pragma once

#include <cstdint>

#include "VnString.h"

constexpr int kToolsInterfaceVersion = 200048;  // 0x30D70
constexpr int kToolsAnswerYes = 6;              // AskQuestion's answer for Yes
constexpr int kToolsAnswerNo = 7;
constexpr uint32_t kToolsStoreFlagFolder = 2;   // a text value that is a folder path
constexpr uint32_t kToolsStoreFlagExpandable = 4;  // a text value stored as REG_EXPAND_SZ

// What the library reads of the caller's process-information block: the
// folders of the running process. Both end in one backslash, or are empty.
class ToolsProcessFolders {
public:
    // The installed product's folder (empty while none is known).
    virtual VnString GetProgramFolder() const = 0;
    // The folder the product's libraries, and so "ProductInfo.xml", are loaded from.
    virtual VnString GetModuleFolder() const = 0;

protected:
    ~ToolsProcessFolders() = default;
};

// The product's description, read from "ProductInfo.xml" in the module folder.
class ProductInformation {
public:
    // Forms: 0 and 1 names in messages and captions, 3 for program
    // identifiers, 4 the installation record and settings root ("Tunaro 33"),
    // 6 the media-client name. Unknown forms are empty.
    virtual VnString GetProductName(int form) = 0;
    virtual VnString GetProductVersion() = 0;
    virtual VnString GetProductURL() = 0;
    virtual VnString GetExecutableName() = 0;
    virtual VnString GetLauncherName() = 0;
    // The program folder + launcher name; while no program folder is known
    // (during set-up, before the destination), the module folder + launcher name.
    virtual VnString GetLauncherPath() = 0;
    virtual VnString GetProductExtension() = 0;
    virtual VnString GetMimeTypes() = 0;   // ";"-separated
    virtual VnString GetProtocols() = 0;   // ";"-separated
    virtual bool HasFeature(int feature) = 0;
    virtual VnString GetDownloadAddress(int number) = 0;  // empty when unknown
    virtual VnString GetStartMenuFolder() = 0;
    // A value at a "/*/Element/..." path; `defaultValue` when the element is
    // absent, empty, or (for numbers) holds no number.
    virtual VnString GetInfoString(const VnString& path, const VnString& defaultValue) = 0;
    virtual int GetInfoInt(const VnString& path, int defaultValue) = 0;
    // The running product, found by its main window's class.
    virtual bool IsProductRunning() = 0;
    virtual uintptr_t GetProductWindow() = 0;  // 0 when not running
    virtual bool CloseProduct() = 0;           // asks it to close; does not wait
    // Position of `part` in `text`, negative when absent (or `part` is empty).
    // Mode 3 ignores case; every other mode compares exactly.
    virtual int FindText(const VnString& text, const VnString& part, int mode) = 0;

protected:
    virtual ~ProductInformation() = default;
};

// Translation of message literals (English only: texts come back unchanged).
class ToolsLanguage {
public:
    virtual VnString Translate(const VnString& text) = 0;
    virtual VnString GetLanguageName() = 0;
    // Lets the user choose the language; with one language nothing is shown,
    // and the call is written to the log. True when a language is in use.
    virtual bool ShowChooser() = 0;

protected:
    virtual ~ToolsLanguage() = default;
};

// The skin the installer's windows use.
class ToolsSkin {
public:
    virtual void SetTitlebarIcon(const VnString& iconName) = 0;
    virtual VnString GetTitlebarIcon() = 0;
    virtual void SetSkinFolder(const VnString& folder) = 0;
    virtual VnString GetSkinFolder() = 0;

protected:
    virtual ~ToolsSkin() = default;
};

// A registry key of the product's settings. Reads of a missing key or value
// give the default; the first write creates the key. Numbers are REG_DWORD,
// texts REG_SZ. Owned by the caller.
class ToolsPropertyStore {
public:
    virtual ~ToolsPropertyStore() = default;
    virtual VnString GetKeyPath() = 0;  // "HKEY_CURRENT_USER\Software\..."
    virtual bool HasValue(const VnString& name) = 0;
    // A text value; a number value reads as its decimal text.
    virtual bool ReadText(const VnString& name, VnString& value) = 0;
    virtual VnString GetText(const VnString& name, const VnString& defaultValue) = 0;
    // A number value; a text value counts when it holds a decimal number.
    virtual bool ReadNumber(const VnString& name, int32_t& value) = 0;
    virtual int32_t GetNumber(const VnString& name, int32_t defaultValue) = 0;
    // Flags: kToolsStoreFlagFolder stores the text as a folder path ending in
    // exactly one backslash (an empty text stays empty); 0 stores it as given;
    // kToolsStoreFlagExpandable stores it as REG_EXPAND_SZ instead of REG_SZ.
    virtual bool SetText(const VnString& name, const VnString& value, uint32_t flags) = 0;
    virtual bool SetNumber(const VnString& name, int32_t value, uint32_t flags) = 0;
    // True when the value or subkey is gone afterwards (also when it never existed).
    virtual bool DeleteValue(const VnString& name) = 0;
    virtual bool DeleteSubKey(const VnString& name) = 0;  // with everything below it
    // Enumeration in registry order; empty past the end.
    virtual VnString GetValueName(int index) = 0;
    virtual VnString GetSubKeyName(int index) = 0;
    // The registry type of a value (1 REG_SZ, 4 REG_DWORD, ...); 0 when absent.
    virtual uint32_t GetValueType(const VnString& name) = 0;
    // Copies a value of any type unchanged, byte for byte, into another store of this library.
    virtual bool CopyValue(const VnString& name, ToolsPropertyStore& destination) = 0;
};

// The log. Lines carry a source name, usually the function's ("CSettingsHelper::Set").
class ToolsLog {
public:
    virtual void Write(const VnString& source, const VnString& text) = 0;
    // The scope lines: BeginScope logs "Start" and returns a start mark for
    // EndScope, which logs "Finish (%d ms)" or, with a result,
    // "Finish (result: %d) (%d ms)". ToolsLogScope below pairs them.
    virtual uint64_t BeginScope(const VnString& source) = 0;
    virtual void EndScope(const VnString& source, uint64_t startMark, bool hasResult, int result) = 0;
    // Writes what is pending to the log file now.
    virtual void Flush() = 0;
    virtual VnString GetLogFilePath() = 0;  // empty when no file can be written

protected:
    virtual ~ToolsLog() = default;
};

// A system-wide lock by name, owned by the caller; deleting it unlocks.
class ToolsNamedLock {
public:
    virtual ~ToolsNamedLock() = default;
    // Waits at most `timeoutMilliseconds` for the lock; true when taken.
    virtual bool Lock(uint32_t timeoutMilliseconds) = 0;
    virtual void Unlock() = 0;
    virtual bool IsLocked() = 0;
};

// Zip archives.
class ToolsArchive {
public:
    // Extracts every entry into `folder` (created when missing): with
    // `keepFolderStructure` below the entry's own folders, else all files
    // directly into `folder`. False, with nothing written, when an entry's
    // path would leave the folder; false on a damaged archive.
    virtual bool Extract(const VnString& archive, const VnString& folder, bool keepFolderStructure) = 0;

protected:
    virtual ~ToolsArchive() = default;
};

class ToolsInterface {
public:
    // Where the library learns the process folders; null: the library's own
    // folder is the module folder and no program folder is known.
    virtual void SetProcessFolders(const ToolsProcessFolders* folders) = 0;
    // The product information, or null with the reason in `error`.
    virtual ProductInformation* GetProductInformation(VnString& error) = 0;
    virtual ToolsLanguage* GetLanguage() = 0;
    virtual ToolsSkin* GetSkin() = 0;
    virtual ToolsLog* GetLog() = 0;
    virtual ToolsArchive* GetArchive() = 0;

    // Message boxes: modal, answered by the user.
    virtual int ShowMessage(const VnString& text, const VnString& title) = 0;
    virtual int AskQuestion(const VnString& text, const VnString& title) = 0;  // kToolsAnswerYes or No
    // A box with up to three buttons of its own (an empty label: no button).
    // Returns the index of the button pressed (0, 1, 2), -1 when closed otherwise.
    virtual int ShowMessageWithButtons(const VnString& text, const VnString& title, const VnString& first,
                                       const VnString& second, const VnString& third) = 0;

    // The product's settings under HKEY_CURRENT_USER "Software\V. Arnel\Tunaro %d"
    // (%d the major version): an empty name is that key, any other name
    // ("Properties", "DLNA", "Library Server", "Installer") its subkey.
    // Null when there is no product information. Owned by the caller.
    virtual ToolsPropertyStore* OpenPropertyStore(const VnString& name) = 0;
    // Any registry key: `root` is a predefined key's value (0x80000002 for
    // HKEY_LOCAL_MACHINE), `view` 0 or a WOW64 view flag. Owned by the caller.
    virtual ToolsPropertyStore* OpenRegistryStore(uint32_t root, const VnString& keyPath, uint32_t view) = 0;
    // A named lock, not yet taken. Owned by the caller.
    virtual ToolsNamedLock* CreateNamedLock(const VnString& name) = 0;
    // The settings under the named property store were changed outside the
    // library (the installer's migration ends with this, with an empty name:
    // every store). A library that keeps copies of settings drops them.
    virtual void ReloadSettings(const VnString& storeName) = 0;

protected:
    virtual ~ToolsInterface() = default;
};

// A scope in the log: "Start" now, "Finish ..." when it ends. A null log is allowed.
class ToolsLogScope {
public:
    ToolsLogScope(ToolsLog* log, const VnString& source)
        : log_(log), source_(source), start_(log ? log->BeginScope(source) : 0) {}
    ~ToolsLogScope() {
        if (log_) log_->EndScope(source_, start_, hasResult_, result_);
    }
    ToolsLogScope(const ToolsLogScope&) = delete;
    ToolsLogScope& operator=(const ToolsLogScope&) = delete;
    void SetResult(int result) {
        hasResult_ = true;
        result_ = result;
    }
    void Write(const VnString& text) {
        if (log_) log_->Write(source_, text);
    }

private:
    ToolsLog* log_;
    VnString source_;
    uint64_t start_;
    bool hasResult_ = false;
    int result_ = 0;
};

// The library's entry and its uninitialise entry (called before the library
// is unloaded: writes the log and drops the interface; a later
// GetVnToolsDLL starts afresh).
extern "C" {
typedef ToolsInterface* (*GetVnToolsDLLFunction)(int interfaceVersion);
typedef void (*ReleaseVnToolsDLLFunction)();
}
constexpr const char* kGetVnToolsDLLExport = "GetVnToolsDLL";
constexpr const char* kReleaseVnToolsDLLExport = "ReleaseVnToolsDLL";
