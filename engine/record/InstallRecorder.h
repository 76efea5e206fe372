// CInstallRecorder: the platform as the install sees it while the record is
// kept. It passes every call to the real platform and, where the call changed
// the machine, appends a line to the installation record (InstallRecord.h):
// every folder created, every file created or replaced, every registry key
// created and every value written or deleted (with its data before and after),
// every shell link. Deletions of files and keys are not recorded: the install
// deletes only what earlier versions left, which the uninstaller must not
// bring back.
//
// Lines are held in memory until StartRecordFile names the installation
// folder; from then on each line is written to the file at once, so that an
// install that ends half-way leaves a usable record.
//
// What is not the install's is not recorded: paths below the excluded
// folders (the temporary folder, the set-up folder) and registry paths below
// the excluded HKEY_CURRENT_USER keys (the program's settings, which the
// uninstaller keeps or removes whole).
#pragma once

#include <map>
#include <memory>
#include <string>

#include "InstallRecord.h"
#include "RecordedIdentities.h"
#include "VnPlatform.h"

class CInstallRecorder : public IVnPlatform {
public:
    CInstallRecorder(IVnPlatform& inner, const VnStringArray& excludedFolders, const VnStringArray& excludedUserKeys);
    ~CInstallRecorder() override;
    CInstallRecorder(const CInstallRecorder&) = delete;
    CInstallRecorder& operator=(const CInstallRecorder&) = delete;

    // The recorder in use (the one most recently built and not yet destroyed), or null.
    static CInstallRecorder* Active();

    // Opens the record in `installFolder` (ending in a backslash), keeping
    // the complete lines of a record already there, and writes the lines held
    // so far after an "install" line naming `productVersion`. Once only; 0 or
    // the Windows error of the failed open.
    //
    // `takenOver`: the folder of the earlier install this one replaces (its
    // uninstall entry is about to name this folder), or empty. When it is
    // another folder holding a record, that record's lines are taken in
    // first, after an "earlier" line naming the folder: one uninstall then
    // removes both, and values are put back as they were before the first.
    uint32_t StartRecordFile(const VnString& installFolder, const VnString& productVersion,
                             const VnString& takenOver = VnString());
    bool IsWritingFile() const { return file_ != 0; }

    // A component the install registered, and how (kComponent... texts).
    void NoteComponent(const VnString& path, const char16_t* how);

    IVnPlatform& Inner() { return inner_; }

    const char* BackendName() const override { return inner_.BackendName(); }
    IVnRegistry& Registry() override;
    IVnFiles& Files() override;
    IVnSystem& System() override { return inner_.System(); }
    IVnProcesses& Processes() override { return inner_.Processes(); }
    IVnShell& Shell() override;
    IVnNetwork& Network() override { return inner_.Network(); }

    // Used by the recording parts.
    void NoteFolder(const VnString& path);
    void NoteFile(const VnString& path, bool existedBefore, const VnString& replacedVersion);
    void NoteLink(const VnString& path);
    void NoteKey(VnRegRoot root, uint32_t view, const VnString& path);
    void NoteValue(VnRegRoot root, uint32_t view, const VnString& path, const VnString& name,
                   const RecordedValueData& before, const RecordedValueData& after);
    bool IsExcludedPath(const VnString& path) const;
    bool IsExcludedKey(VnRegRoot root, const VnString& path) const;

private:
    void Append(const InstallRecordEntry& entry);
    // A path entry, once per kind and path in this run.
    void NotePath(InstallRecordKind kind, const VnString& path, bool replaced, const VnString& detail);
    // True the first time `kind` + `identity` is seen in this run.
    bool FirstTime(char kind, const VnString& identity);

    IVnPlatform& inner_;
    VnStringArray excludedFolders_, excludedUserKeys_;
    std::unique_ptr<IVnRegistry> registry_;
    std::unique_ptr<IVnFiles> files_;
    std::unique_ptr<IVnShell> shell_;
    std::string held_;  // lines before the file is open
    VnHandle file_ = 0;
    VnString recordPath_;
    RecordedIdentities seen_;
    CInstallRecorder* previousActive_ = nullptr;
};

// The active recorder's NoteComponent; nothing when no record is kept.
void RecordInstalledComponent(const VnString& path, const char16_t* how);
