#include "PostString.h"

#include <cstring>

#include "EngineLog.h"
#include "VnFileSystem.h"

namespace {
constexpr char kMagic[4] = {'V', 'N', 'P', 'S'};
constexpr uint32_t kLockWait = 10000;
constexpr int kLocalAppDataFolder = 0x1C;  // CSIDL_LOCAL_APPDATA

// Holds the mailbox lock for a scope; without a lock object nothing is held.
class LockScope {
public:
    explicit LockScope(ToolsNamedLock* lock) : lock_(lock && lock->Lock(kLockWait) ? lock : nullptr) {}
    ~LockScope() {
        if (lock_) lock_->Unlock();
    }

private:
    ToolsNamedLock* lock_;
};

std::string Utf16Bytes(const VnString& text) {
    std::string bytes;
    for (char16_t c : text.View()) bytes += {char(c & 0xFF), char(c >> 8)};
    return bytes;
}

VnString TextOfUtf16(const std::string& bytes) {
    std::u16string text;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) text += char16_t(uint8_t(bytes[i]) | (uint8_t(bytes[i + 1]) << 8));
    while (!text.empty() && text.back() == u'\0') text.pop_back();
    return VnString(std::u16string_view(text));
}
}  // namespace

CPostString::CPostString(const VnString& mailboxName, bool ready) : name_(mailboxName), readyFlag_(ready) {
    bool existed = false;
    block_ = static_cast<uint8_t*>(VnPlatform().Processes().CreateSharedMemory(name_, kBlockSize, mapping_, existed));
    if (ToolsInterface* tools = VnTools()) lock_.reset(tools->CreateNamedLock(u"Post String Lock - " + name_));
}

CPostString::~CPostString() {
    if (block_) VnPlatform().Processes().CloseSharedMemory(mapping_, block_);
}

bool CPostString::IsReady() {
    if (!block_) return false;
    if (readyFlag_) return true;
    LockScope lock(lock_.get());
    return std::memcmp(block_, kMagic, 4) == 0;
}

void CPostString::Reset() {
    if (!block_) return;
    LockScope lock(lock_.get());
    std::memcpy(block_, kMagic, 4);
    SetIndexes(0, 0);
}

uint32_t CPostString::ReadIndex() const {
    uint32_t value;
    std::memcpy(&value, block_ + 4, 4);
    return value;
}

uint32_t CPostString::WriteIndex() const {
    uint32_t value;
    std::memcpy(&value, block_ + 8, 4);
    return value;
}

void CPostString::SetIndexes(uint32_t read, uint32_t write) {
    std::memcpy(block_ + 4, &read, 4);
    std::memcpy(block_ + 8, &write, 4);
}

void CPostString::WriteBytes(uint32_t& at, const void* bytes, uint32_t count) {
    const uint8_t* from = static_cast<const uint8_t*>(bytes);
    for (uint32_t i = 0; i < count; ++i, at = (at + 1) % kRingSize) block_[kHeaderSize + at] = from[i];
}

void CPostString::ReadBytes(uint32_t& at, void* bytes, uint32_t count) const {
    uint8_t* to = static_cast<uint8_t*>(bytes);
    for (uint32_t i = 0; i < count; ++i, at = (at + 1) % kRingSize) to[i] = block_[kHeaderSize + at];
}

uint32_t CPostString::SenderId() {
    IVnSystem& system = VnPlatform().System();
    return (system.GetCurrentProcessId() & 0xFF) | ((system.GetCurrentThreadId() & 0xFF) << 16);
}

uint32_t CPostString::MessageKey() const {
    // FILETIME counts 100 ns; in microseconds, then whole seconds.
    const uint64_t seconds = VnPlatform().System().GetSystemTimeAsFileTime() / 10 / 1000000;
    return uint32_t(seconds) ^ uint32_t(reinterpret_cast<uintptr_t>(this));
}

VnString CPostString::WriteCommandFile(const VnString& text) {
    const VnString folder = VnPlatform().System().GetSpecialFolder(kLocalAppDataFolder) + u"\\Temp\\";
    VnFileSystem::MakeDirectoryTree(folder);
    for (uint32_t attempt = 0; attempt < 1000; ++attempt) {
        const VnString path = folder + VnString::Format(u"VNC%05X.pmd", int((SenderId() * 977 + attempt) & 0xFFFFF));
        if (VnFileSystem::FileExists(path)) continue;
        if (VnPlatform().Files().WriteFile(path, "\xFF\xFE" + Utf16Bytes(text)) == vnwin::kErrorSuccess) return path;
    }
    return VnString();
}

bool CPostString::Post(const VnString& text, uint32_t type, uintptr_t window) {
    if (!block_) return false;
    const uint32_t key = MessageKey();
    {
        // One taking of the lock for the readiness test and the write.
        LockScope lock(lock_.get());
        if (!readyFlag_ && std::memcmp(block_, kMagic, 4) != 0) return false;
        uint32_t read = ReadIndex(), write = WriteIndex();
        if (read >= kRingSize || write >= kRingSize) {
            EngineLog(u"CPostString::Post", VN_LIT(u"The mailbox's indexes are outside the ring: emptied"));
            read = write = 0;
            SetIndexes(0, 0);
        }
        const uint32_t free = (read + kRingSize - write - 1) % kRingSize;
        uint32_t kind = 0;
        VnString carried = text;
        if (text.GetLength() > kMaxRingChars || kEntryOverhead + uint32_t(text.GetLength() + 1) * 2 > free) {
            kind = 1;
            carried = WriteCommandFile(text);
            if (carried.IsEmpty() || kEntryOverhead + uint32_t(carried.GetLength() + 1) * 2 > free) {
                EngineLog(u"CPostString::Post", VN_LIT(u"The mailbox is full: the command was not queued"));
                return false;
            }
        }
        const std::string bytes = Utf16Bytes(carried) + std::string(2, '\0');
        const uint32_t header[5] = {kind, kMessage, SenderId(), key, uint32_t(bytes.size())};
        WriteBytes(write, header, sizeof header);
        WriteBytes(write, bytes.data(), uint32_t(bytes.size()));
        std::memcpy(block_ + 8, &write, 4);
    }
    return VnPlatform().Processes().PostMessage(window, kMessage, SenderId(), intptr_t(key));
}

bool CPostString::HasRoomFor(const VnString& text, uint32_t count) {
    if (!block_ || text.GetLength() > kMaxRingChars) return false;
    LockScope lock(lock_.get());
    const uint32_t read = ReadIndex(), write = WriteIndex();
    if (read >= kRingSize || write >= kRingSize) return true;  // Post empties a damaged ring first
    return uint64_t(kEntryOverhead + uint32_t(text.GetLength() + 1) * 2) * count <=
           (read + kRingSize - write - 1) % kRingSize;
}

bool CPostString::IsEmpty() {
    if (!block_) return true;
    LockScope lock(lock_.get());
    return ReadIndex() == WriteIndex();
}

bool CPostString::TakeEntry(PostedCommand& command, std::string& bytes) {
    uint32_t read = ReadIndex();
    const uint32_t write = WriteIndex();
    if (read == write) return false;
    const uint32_t used = (write + kRingSize - read) % kRingSize;
    uint32_t header[5] = {};
    if (read >= kRingSize || write >= kRingSize || used < kEntryOverhead) {
        SetIndexes(write < kRingSize ? write : 0, write < kRingSize ? write : 0);
        return false;
    }
    ReadBytes(read, header, sizeof header);
    if (header[4] > used - kEntryOverhead || header[4] % 2 != 0 || header[1] != kMessage) {
        SetIndexes(write, write);  // damaged: drop what is queued
        return false;
    }
    bytes.resize(header[4]);
    ReadBytes(read, bytes.data(), header[4]);
    std::memcpy(block_ + 4, &read, 4);
    command.kind = header[0];
    command.sender = header[2];
    command.key = header[3];
    return true;
}

// Outside the lock: the text, and for kind 1 the ".pmd" file it names.
void CPostString::FinishTaken(PostedCommand& command, const std::string& bytes) {
    command.text = TextOfUtf16(bytes);
    // Only a ".pmd" file is read and deleted: the ring never names another.
    if (command.kind == 1 && command.text.GetLength() > 4 && command.text.Right(4).EqualsNoCase(u".pmd")) {
        std::string file;
        const VnString path = command.text;
        if (VnPlatform().Files().ReadFile(path, file) == vnwin::kErrorSuccess && file.size() >= 2)
            command.text = TextOfUtf16(file.substr(2));
        VnFileSystem::DeleteFile(path);
    }
}

bool CPostString::Take(PostedCommand& command) {
    if (!block_) return false;
    std::string bytes;
    {
        LockScope lock(lock_.get());
        if (!TakeEntry(command, bytes)) return false;
    }
    FinishTaken(command, bytes);
    return true;
}

size_t CPostString::TakeAll(std::vector<PostedCommand>& commands) {
    if (!block_) return 0;
    std::vector<std::string> texts;
    const size_t first = commands.size();
    {
        LockScope lock(lock_.get());
        PostedCommand command;
        std::string bytes;
        while (TakeEntry(command, bytes)) {
            commands.push_back(command);
            texts.push_back(bytes);
        }
    }
    for (size_t i = 0; i < texts.size(); ++i) FinishTaken(commands[first + i], texts[i]);
    return texts.size();
}
