// CPostString: the shared-memory mailbox through which a command line reaches
// the running media program. A block of 16396 bytes backed by the paging
// file: "VNPS", the read index, the write index, and a ring of 16384 bytes.
// Each entry is a 16-byte header (kind, message number, sender, key), the
// text's byte length and the zero-terminated UTF-16 text; an entry never
// fills the ring, so equal indexes mean an empty ring. Texts longer than 128
// characters, or that do not fit, go into a ".pmd" file whose path the entry
// carries (kind 1). The lock "Post String Lock - <mailbox>" guards the block.
//
// The sending side is what the installer uses; the reading side is what the
// media program does with it (the demo program and the tests read with it).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ToolsInterface.h"
#include "VnPlatform.h"
#include "VnString.h"

struct PostedCommand {
    uint32_t kind = 0;  // 0 the text was in the ring, 1 it came from a ".pmd" file
    uint32_t sender = 0;
    uint32_t key = 0;
    VnString text;
};

class CPostString {
public:
    static constexpr uint32_t kBlockSize = 16396;
    static constexpr uint32_t kRingSize = 16384;
    static constexpr uint32_t kHeaderSize = 12;
    static constexpr uint32_t kEntryOverhead = 20;
    static constexpr uint32_t kMessage = 0x87D0;
    static constexpr int32_t kMaxRingChars = 128;

    // Opens or creates the mailbox; `ready` treats it as ready without
    // looking at the magic.
    CPostString(const VnString& mailboxName, bool ready);
    ~CPostString();
    CPostString(const CPostString&) = delete;
    CPostString& operator=(const CPostString&) = delete;

    bool IsOpen() const { return block_ != nullptr; }
    bool IsReady();
    // Zeroes both indexes and writes "VNPS".
    void Reset();
    // Queues the text and announces it with PostMessageW(window, 0x87D0,
    // sender, key); the result is whether that post succeeded.
    bool Post(const VnString& text, uint32_t type, uintptr_t window);
    // Whether the text, `count` times over, would go into the ring now (not
    // into a ".pmd" file).
    bool HasRoomFor(const VnString& text, uint32_t count = 1);

    // Reading side: takes the next entry; false when the ring is empty. An
    // entry that cannot be whole (indexes outside the ring, a length past
    // the written part) empties the ring and is dropped.
    bool Take(PostedCommand& command);
    // Takes every queued entry under one taking of the lock, as the media
    // program does on each message; appends them and returns how many.
    size_t TakeAll(std::vector<PostedCommand>& commands);
    bool IsEmpty();

    static uint32_t SenderId();
    uint32_t MessageKey() const;

private:
    uint32_t ReadIndex() const;
    uint32_t WriteIndex() const;
    void SetIndexes(uint32_t read, uint32_t write);
    void WriteBytes(uint32_t& at, const void* bytes, uint32_t count);
    void ReadBytes(uint32_t& at, void* bytes, uint32_t count) const;
    VnString WriteCommandFile(const VnString& text);
    // The next entry's header and raw text, the lock held; false when empty or damaged.
    bool TakeEntry(PostedCommand& command, std::string& bytes);
    static void FinishTaken(PostedCommand& command, const std::string& bytes);

    VnString name_;
    bool readyFlag_;
    VnHandle mapping_ = 0;
    uint8_t* block_ = nullptr;
    std::unique_ptr<ToolsNamedLock> lock_;
};
