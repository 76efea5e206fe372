#include "ProcessInformationBlock.h"

#include <algorithm>
#include <mutex>

struct ProcessInformationBlock::Layout {
    uint32_t version;
    uint32_t flags;
    char16_t programFolder[kFolderFieldChars];
    char16_t dataFolder[kFolderFieldChars];
    char16_t moduleFolder[kFolderFieldChars];
};

namespace {

constexpr uint32_t kFlagInstaller = 0x1;

std::mutex g_blockMutex;
// Not destroyed at process exit: its name may outlive the strings' manager
// there; a program that is done with it calls Close(), the system frees the rest.
ProcessInformationBlock* g_block = nullptr;

void StoreField(char16_t (&field)[ProcessInformationBlock::kFolderFieldChars], const VnString& folder) {
    const VnString stored = ProcessInformationBlock::StoredForm(folder);
    std::fill(std::begin(field), std::end(field), u'\0');
    std::copy_n(stored.c_str(), stored.GetLength(), field);
}

VnString ReadField(const char16_t (&field)[ProcessInformationBlock::kFolderFieldChars]) {
    int32_t length = 0;
    while (length < ProcessInformationBlock::kFolderFieldChars - 1 && field[length]) ++length;
    return VnString(field, length);
}

}  // namespace

ProcessInformationBlock& ProcessInformationBlock::Get() {
    std::lock_guard<std::mutex> lock(g_blockMutex);
    if (!g_block) g_block = new ProcessInformationBlock();
    return *g_block;
}

void ProcessInformationBlock::Close() {
    std::lock_guard<std::mutex> lock(g_blockMutex);
    delete g_block;
    g_block = nullptr;
}

VnString ProcessInformationBlock::NameFor(uint32_t processId) {
    return VnString::Format(u"Varnel Process v%d (%d)", kBlockVersion, processId);
}

ProcessInformationBlock::ProcessInformationBlock()
    : name_(NameFor(VnPlatform().System().GetCurrentProcessId())) {
    bool existed = false;
    void* view = VnPlatform().Processes().CreateSharedMemory(name_, sizeof(Layout), mapping_, existed);
    if (view) {
        layout_ = static_cast<Layout*>(view);
    } else {
        mapping_ = 0;
        privateLayout_ = std::make_unique<Layout>();
        layout_ = privateLayout_.get();
    }
    *layout_ = Layout{};
    layout_->version = kBlockVersion;
}

ProcessInformationBlock::~ProcessInformationBlock() {
    if (mapping_ && VnHasPlatform()) VnPlatform().Processes().CloseSharedMemory(mapping_, layout_);
}

VnString ProcessInformationBlock::StoredForm(const VnString& folder) {
    VnString stored = folder;
    int32_t end = stored.GetLength();
    while (end >= 2 && stored[end - 1] == u'\\' && stored[end - 2] == u'\\') --end;
    stored.Truncate(std::min(end, kFolderFieldChars - 1));
    return stored;
}

void ProcessInformationBlock::MarkAsInstaller() { layout_->flags |= kFlagInstaller; }

bool ProcessInformationBlock::IsInstaller() const { return (layout_->flags & kFlagInstaller) != 0; }

void ProcessInformationBlock::SetProgramFolder(const VnString& folder) { StoreField(layout_->programFolder, folder); }

void ProcessInformationBlock::SetDataFolder(const VnString& folder) { StoreField(layout_->dataFolder, folder); }

void ProcessInformationBlock::SetModuleFolder(const VnString& folder) { StoreField(layout_->moduleFolder, folder); }

VnString ProcessInformationBlock::GetProgramFolder() const { return ReadField(layout_->programFolder); }

VnString ProcessInformationBlock::GetDataFolder() const { return ReadField(layout_->dataFolder); }

VnString ProcessInformationBlock::GetModuleFolder() const { return ReadField(layout_->moduleFolder); }
