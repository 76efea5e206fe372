#include "PlatformFixture.h"

#include <atomic>
#include <filesystem>

#include "TestFiles.h"

#ifdef _WIN32
#include <windows.h>

#include "VnWin32Platform.h"
#endif

namespace {
std::atomic<int> g_caseNumber{0};

VnString CaseName() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    return VnString::FromUtf8(std::string(info->test_suite_name()) + "." + info->name());
}
}  // namespace

bool PlatformTest::OnWindows() const {
#ifdef _WIN32
    return true;
#else
    return false;
#endif
}

void PlatformTest::SetUp() {
    int number = ++g_caseNumber;
#ifdef _WIN32
    platform_ = std::make_unique<VnWin32Platform>();
    VnSetPlatform(platform_.get());
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, temp);
    VnString base = VnString::FromWide(temp);
    if (!base.EndsWith(u"\\")) base += u'\\';
    scratchFolder_ = base + VnString::Format(u"vnconf-%d-%d\\", int(GetCurrentProcessId()), number);
#else
    sim_ = std::make_unique<SimTestMachine>();
    scratchFolder_ = VnString::Format(u"C:\\Scratch-%d\\", number);
#endif
    ASSERT_EQ(Files().CreateDirectory(scratchFolder_.Left(scratchFolder_.GetLength() - 1)), 0u);
    scratchKey_ = VnString::Format(u"Software\\VnConformance\\%s-%d", CaseName(), number);
}

void PlatformTest::TearDown() {
#ifdef _WIN32
    if (!platform_) return;
    // Leave nothing behind on a real machine.
    VnRegKey software = 0;
    if (Reg().OpenKey(VnRegRoot::CurrentUser, u"Software", vnwin::kKeyReadWrite, software) == 0) {
        Reg().DeleteTree(software, u"VnConformance");
        Reg().CloseKey(software);
    }
    std::error_code ignored;
    std::filesystem::remove_all(std::filesystem::path(scratchFolder_.ToWide()), ignored);
    VnSetPlatform(nullptr);
    platform_.reset();
#else
    sim_.reset();
#endif
}

void PlatformTest::WriteFile(const VnString& path, std::string_view bytes) {
    EXPECT_EQ(WriteFileCreatingFolders(Files(), path, bytes), 0u) << path.ToUtf8();
}

std::string PlatformTest::ReadFile(const VnString& path) {
#ifdef _WIN32
    std::string bytes;
    EXPECT_EQ(Files().ReadFile(path, bytes), 0u) << path.ToUtf8();
    return bytes;
#else
    return sim_->ReadFile(path);
#endif
}
