#include "EngineTestSupport.h"

#include "CopyRegistrationSeam.h"
#include "FontTable.h"
#include "RuntimeFunctionTables.h"
#include "VnFileSystem.h"

void EngineTest::SetUp() {
    PlatformTest::SetUp();
    InstallOptions::ResetForTests();
    FreeRuntimeFunctionTables();
    FontTableRecord().RemoveAll();
    tools_ = std::make_unique<RegisteredTools>();
    CopyRegistration registration;
    registration.registerComponent = [this](const VnString& path) {
        registrations.push_back("component " + path.ToUtf8());
        return true;
    };
    registration.registerWith64BitRegSvr32 = [this](const VnString& path) {
        registrations.push_back("regsvr32-64 " + path.ToUtf8());
    };
    SetCopyRegistration(registration);
}

void EngineTest::TearDown() {
    SetCopyRegistration(CopyRegistration());
    FreeRuntimeFunctionTables();
    tools_.reset();  // writes its log while the machine is still there
    PlatformTest::TearDown();
}

void EngineTest::WriteFile(const VnString& path, const std::string& bytes) {
    ASSERT_TRUE(VnFileSystem::MakeDirectoryTree(FolderOf(path))) << Utf8(path);
    ASSERT_EQ(Files().WriteFile(VnFileSystem::LongPathForm(path), bytes), 0u) << Utf8(path);
}

std::string EngineTest::ReadFile(const VnString& path) { return PlatformTest::ReadFile(VnFileSystem::LongPathForm(path)); }

uint32_t EngineTest::Attributes(const VnString& path) {
    return Files().GetFileAttributes(VnFileSystem::LongPathForm(path));
}

std::string EngineTest::LogText() {
    Tools().GetLog()->Flush();
    std::string text;
    Files().ReadFile(Tools().GetLog()->GetLogFilePath(), text);
    return text;
}

bool EngineTest::Logged(const std::string& line) { return LogText().find("] " + line + "\r\n") != std::string::npos; }
