// Process-side operations that must behave alike on the simulated machine and
// on Windows: starting what does not exist, named objects, modules.
#include <cstring>

#include "PlatformFixture.h"

namespace {

using ProcessesConformance = PlatformTest;

constexpr uint32_t kErrorBadExeFormat = 193;

TEST_F(ProcessesConformance, StartingAMissingProgramFailsLikeShellExecute) {
    VnHandle process = 1;
    VnStartOptions options;
    options.hidden = true;
    EXPECT_EQ(P().Processes().StartProgram(ScratchFolder() + u"missing.exe", u"/x", options, process),
              vnwin::kErrorFileNotFound);
    EXPECT_EQ(process, 0u);
    EXPECT_EQ(P().Processes().StartProgram(ScratchFolder() + u"No Folder\\missing.exe", VnString(), options, process),
              vnwin::kErrorPathNotFound);
    EXPECT_EQ(P().Processes().WaitForProcess(0, 0), vnwin::kWaitFailed);
}

TEST_F(ProcessesConformance, NamedMutexesAndMemoryBlocks) {
    IVnProcesses& processes = P().Processes();
    const uint32_t pid = P().System().GetCurrentProcessId();
    const VnString name = VnString::Format(u"VnConformance Object %u", pid);

    uint32_t first = 1, second = 0, otherCase = 1, global = 1;
    VnHandle a = processes.CreateMutex(name, first);
    VnHandle b = processes.CreateMutex(u"Local\\" + name, second);
    VnString lower = name;
    lower.MakeLower();
    VnHandle c = processes.CreateMutex(lower, otherCase);
    VnHandle d = processes.CreateMutex(u"Global\\" + name, global);
    ASSERT_TRUE(a && b && c && d);
    EXPECT_EQ(first, 0u);
    EXPECT_EQ(second, vnwin::kErrorAlreadyExists) << "\"Local\\\" names the same object";
    EXPECT_EQ(otherCase, 0u) << "object names compare with case";
    EXPECT_EQ(global, 0u) << "the global namespace is another one";

    // A memory block cannot take a mutex's name.
    VnHandle mapping = 0;
    bool existed = false;
    EXPECT_EQ(processes.CreateSharedMemory(name, 64, mapping, existed), nullptr);
    for (VnHandle handle : {a, b, c, d}) processes.CloseHandle(handle);
    VnHandle again = processes.CreateMutex(name, first);
    EXPECT_EQ(first, 0u) << "gone once every handle is closed";
    processes.CloseHandle(again);

    const VnString block = VnString::Format(u"VnConformance Block %u", pid);
    EXPECT_EQ(processes.OpenSharedMemory(block, 64, mapping), nullptr);
    VnHandle created = 0, recreated = 0, opened = 0, bigger = 0;
    auto* view = static_cast<char*>(processes.CreateSharedMemory(block, 4096, created, existed));
    ASSERT_NE(view, nullptr);
    EXPECT_FALSE(existed);
    std::memcpy(view, "VNPS", 4);
    auto* same = static_cast<char*>(processes.CreateSharedMemory(block, 4096, recreated, existed));
    ASSERT_NE(same, nullptr);
    EXPECT_TRUE(existed);
    auto* other = static_cast<char*>(processes.OpenSharedMemory(block, 4096, opened));
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(std::string(other, 4), "VNPS");
    EXPECT_EQ(std::string(same, 4), "VNPS");
    EXPECT_EQ(processes.OpenSharedMemory(block, 1 << 20, bigger), nullptr) << "larger than the block";
    processes.CloseSharedMemory(opened, other);
    processes.CloseSharedMemory(recreated, same);
    processes.CloseSharedMemory(created, view);
    EXPECT_EQ(processes.OpenSharedMemory(block, 64, mapping), nullptr) << "gone with its last handle";
}

TEST_F(ProcessesConformance, SystemLibrariesAndTheirFunctions) {
    IVnProcesses& processes = P().Processes();
    uint32_t error = 1;
    VnHandle kernel = processes.LoadLibrary(u"kernel32.dll", 0, error);
    ASSERT_NE(kernel, 0u);
    EXPECT_EQ(error, 0u);
    EXPECT_NE(processes.GetProcAddress(kernel, "MoveFileExW"), nullptr);
    EXPECT_EQ(processes.GetProcAddress(kernel, "NoSuchFunctionAnywhere"), nullptr);
    VnHandle version = processes.LoadLibrary(P().System().GetSystemDirectory() + u"\\Version.dll", 0, error);
    ASSERT_NE(version, 0u);
    for (const char* function : {"GetFileVersionInfoSizeW", "GetFileVersionInfoW", "VerQueryValueW"})
        EXPECT_NE(processes.GetProcAddress(version, function), nullptr) << function;
    processes.FreeLibrary(version);
    processes.FreeLibrary(kernel);

    EXPECT_EQ(processes.LoadLibrary(u"vn-no-such-library.dll", 0, error), 0u);
    EXPECT_EQ(error, vnwin::kErrorModNotFound);
    EXPECT_EQ(processes.LoadLibrary(ScratchFolder() + u"missing.dll", 0, error), 0u);
    EXPECT_EQ(error, vnwin::kErrorModNotFound);
    const VnString text = ScratchFolder() + u"text.dll";
    ASSERT_EQ(Files().WriteFile(text, "not a program file"), 0u);
    EXPECT_EQ(processes.LoadLibrary(text, 0, error), 0u);
    EXPECT_EQ(error, kErrorBadExeFormat);
}

TEST_F(ProcessesConformance, NoWindowOfAnUnknownClass) {
    EXPECT_EQ(P().Processes().FindWindow(u"VnConformance No Such Class", VnString()), 0u);
}

}  // namespace
