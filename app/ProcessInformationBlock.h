// ProcessInformationBlock: the named shared-memory block through which a
// process of the product tells the tools library its folders. The installer
// marks it as its own and sets the module and data folders to its payload's
// "Playmoor\" folder; the search for an installed copy sets the program folder.
//
// The block is named "Varnel Process v%d (%d)" (block version, process id) and
// created through the platform on first use, under a lock. Each folder field
// holds at most 260 wide characters, its terminating zero included; a run of
// trailing backslashes is cut to one when a folder is stored. When the shared
// memory cannot be created the block lives in the process's own memory, so
// the installer still runs (the tools library reads it through the
// ToolsProcessFolders interface either way).
#pragma once

#include <cstdint>
#include <memory>

#include "ToolsInterface.h"
#include "VnPlatform.h"
#include "VnString.h"

class ProcessInformationBlock final : public ToolsProcessFolders {
public:
    static constexpr uint32_t kBlockVersion = 1;
    static constexpr int kFolderFieldChars = 260;

    // The block of this process, created on first use.
    static ProcessInformationBlock& Get();
    // Unmaps the block; the next Get creates a new one. For the end of a
    // simulated run, whose machine goes away with its shared memory.
    static void Close();
    // "Varnel Process v1 (<process id>)".
    static VnString NameFor(uint32_t processId);

    ~ProcessInformationBlock();
    ProcessInformationBlock(const ProcessInformationBlock&) = delete;
    ProcessInformationBlock& operator=(const ProcessInformationBlock&) = delete;

    // Whether the block is the named shared memory (false: private fallback).
    bool IsShared() const { return mapping_ != 0; }
    const VnString& Name() const { return name_; }

    void MarkAsInstaller();
    bool IsInstaller() const;

    void SetProgramFolder(const VnString& folder);
    void SetDataFolder(const VnString& folder);
    void SetModuleFolder(const VnString& folder);
    VnString GetProgramFolder() const override;
    VnString GetDataFolder() const;
    VnString GetModuleFolder() const override;

    // A folder as a field stores it: trailing backslashes cut to one, at most
    // kFolderFieldChars - 1 characters.
    static VnString StoredForm(const VnString& folder);

private:
    struct Layout;
    ProcessInformationBlock();

    VnString name_;
    VnHandle mapping_ = 0;
    Layout* layout_ = nullptr;
    std::unique_ptr<Layout> privateLayout_;
};
