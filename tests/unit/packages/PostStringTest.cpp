// The mailbox by ring state (empty, wrapped, full, damaged) and commands to
// the program when it runs and when it does not.
#ifndef _WIN32
#include <cstring>
#include <vector>

#include "PostString.h"
#include "ProcessInformationBlock.h"
#include "ProductCommandLine.h"
#include "PackageTestSupport.h"

namespace {
using PostStringTest = PackageTest;

constexpr uintptr_t kNoWindow = 0;

VnString Text(int32_t chars, char16_t fill = u'a') { return VnString(std::u16string(size_t(chars), fill)); }

uint32_t Index(const VnString& mailbox, int offset) {
    VnHandle mapping = 0;
    void* view = VnPlatform().Processes().OpenSharedMemory(mailbox, CPostString::kBlockSize, mapping);
    uint32_t value = 0;
    std::memcpy(&value, static_cast<uint8_t*>(view) + offset, 4);
    VnPlatform().Processes().CloseSharedMemory(mapping, view);
    return value;
}

TEST_F(PostStringTest, RingStates) {
    CPostString sender(u"Box", false), reader(u"Box", false);
    EXPECT_FALSE(sender.IsReady());  // no "VNPS" yet
    EXPECT_FALSE(sender.Post(u"early", 0, kNoWindow));
    reader.Reset();
    ASSERT_TRUE(sender.IsReady());
    PostedCommand taken;
    EXPECT_FALSE(reader.Take(taken));  // empty

    struct Case {
        const char* what;
        VnString text;
        uint32_t kind;
    } cases[] = {
        {"short", u"/ServiceUpdate", 0},
        {"128 characters", Text(128), 0},
        {"129 characters", Text(129, u'b'), 1},
        {"2,000 characters", Text(2000, u'c'), 1},
    };
    for (const Case& c : cases) {
        sender.Post(c.text, 0, kNoWindow);  // no window: the announcement fails, the entry stays
        ASSERT_TRUE(reader.Take(taken)) << c.what;
        EXPECT_EQ(taken.text, c.text) << c.what;
        EXPECT_EQ(taken.kind, c.kind) << c.what;
        EXPECT_EQ(taken.sender, CPostString::SenderId()) << c.what;
        EXPECT_TRUE(reader.IsEmpty()) << c.what;
    }
    // Wrapped: entries of 276 bytes go round the ring many times, intact.
    for (int i = 0; i < 200; ++i) {
        const VnString text = Text(127, char16_t(u'A' + i % 26));
        sender.Post(text, 0, kNoWindow);
        ASSERT_TRUE(reader.Take(taken)) << i;
        ASSERT_EQ(taken.text, text) << i;
    }
    // Full: entries fill the ring until one more would leave no byte free;
    // a long text then goes to a file named by a smaller entry.
    int queued = 0;
    while ((CPostString::kRingSize + Index(u"Box", 4) - Index(u"Box", 8) - 1) % CPostString::kRingSize >= 276) {
        sender.Post(Text(127, u'q'), 0, kNoWindow);
        ++queued;
    }
    EXPECT_NE(Index(u"Box", 4), Index(u"Box", 8));  // full is never mistaken for empty
    EXPECT_FALSE(sender.HasRoomFor(Text(127, u'q')));
    ASSERT_TRUE(reader.Take(taken));
    sender.Post(Text(129, u'f'), 0, kNoWindow);
    std::vector<PostedCommand> all;  // everything queued, under one taking of the lock
    ASSERT_EQ(reader.TakeAll(all), size_t(queued));
    EXPECT_EQ(all.back().kind, 1u);
    EXPECT_EQ(all.back().text, Text(129, u'f'));
    EXPECT_EQ(all.front().text, Text(127, u'q'));
    EXPECT_TRUE(reader.IsEmpty());
    EXPECT_EQ(reader.TakeAll(all), 0u);
    // Empty, the ring holds 59 entries of 276 bytes but not 60 (one byte stays free).
    EXPECT_TRUE(sender.HasRoomFor(Text(127), 59));
    EXPECT_FALSE(sender.HasRoomFor(Text(127), 60));
    EXPECT_TRUE(sender.HasRoomFor(Text(128)));
    EXPECT_FALSE(sender.HasRoomFor(Text(129)));  // never into the ring

    // Damaged: indexes outside the ring, or a length past what was written.
    for (uint32_t read : {uint32_t(70000), uint32_t(0)}) {
        VnHandle mapping = 0;
        auto* block = static_cast<uint8_t*>(VnPlatform().Processes().OpenSharedMemory(u"Box", CPostString::kBlockSize, mapping));
        const uint32_t bad[2] = {read, read == 0 ? 40u : 90000u};
        std::memcpy(block + 4, bad, 8);
        if (read == 0) std::memset(block + 12, 0xFF, 40);  // an entry claiming a huge length
        if (read == 0) {
            EXPECT_FALSE(reader.Take(taken));
        } else {
            all.clear();
            EXPECT_EQ(reader.TakeAll(all), 0u);  // taking everything refuses it the same way
        }
        sender.Post(u"after", 0, kNoWindow);
        ASSERT_TRUE(reader.Take(taken));
        EXPECT_EQ(taken.text, u"after");
        VnPlatform().Processes().CloseSharedMemory(mapping, block);
    }
}

TEST_F(PostStringTest, CommandsStartTheProgramOrGoThroughTheMailbox) {
    ProcessInformationBlock::Get().SetProgramFolder(Installed(u""));
    WriteFile(Installed(u"Tunaro.exe"), "program");
    struct Case {
        const char* what;
        VnString command;
        const char* parameters;
        bool handedOver;
    } cases[] = {
        {"play", u"/Play C:\\Music\\a.mp3", "/PlayReplace C:\\Music\\a.mp3", true},
        {"other", u"/Enqueue x", "/Enqueue x", true},
        {"tree path", u"/Add TREEPATH=Music", "", false},  // started bare; no window appears
        {"1024 characters", u"/Add " + Text(1019), "", false},
    };
    for (const Case& c : cases) {
        const int32_t before = Sim().SimProcesses().Starts().GetSize();
        EXPECT_EQ(CTNCommandLine().Execute(c.command), c.handedOver) << c.what;
        ASSERT_EQ(Sim().SimProcesses().Starts().GetSize(), before + 1) << c.what;
        EXPECT_EQ(Sim().SimProcesses().Starts()[before].parameters.ToUtf8(), c.parameters) << c.what;
    }
    // Running: the command goes into the mailbox and is announced; nobody
    // takes it here, so the wait ends with "Timeout".
    VnSimRunningProgram running;
    running.path = Installed(u"Tunaro.exe");
    running.processId = 4242;
    running.windowClass = u"PMFrame";
    Facts().runningPrograms.Add(running);
    CPostString product(u"Tunaro 33 FC_IPC", false);
    product.Reset();
    CTNCommandLine command;
    EXPECT_TRUE(command.Execute(u"/ServiceUpdate"));
    EXPECT_EQ(command.GetOutcome(), u"Timeout");
    PostedCommand taken;
    ASSERT_TRUE(product.Take(taken));
    EXPECT_EQ(taken.text, u"/ServiceUpdate");
}
}  // namespace
#endif
