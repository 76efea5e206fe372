#include "EngineTestSupport.h"

#include "CopyRegistrationSeam.h"
#include "FontTable.h"
#include "RuntimeFunctionTables.h"
#include "ToolsLink.h"
#include "VersionInfo.h"
#include "VnFileSystem.h"

// The conformance suite's fixture, built into these tests.
#include "../platform/PlatformFixture.cpp"

// ---- recording tools ----

RecordingTools::RecordingTools() = default;

bool RecordingTools::Logged(const std::string& line) const {
    for (const std::string& logged : lines)
        if (logged == line) return true;
    return false;
}

int RecordingTools::ShowMessageWithButtons(const VnString& text, const VnString& title, const VnString& first,
                                           const VnString& second, const VnString& third) {
    if (beforeButtonsBox) beforeButtonsBox();
    return library_.ShowMessageWithButtons(text, title, first, second, third);
}

void RecordingTools::Write(const VnString& source, const VnString& text) {
    lines.push_back(source.ToUtf8() + ": " + text.ToUtf8());
}

uint64_t RecordingTools::BeginScope(const VnString& source) {
    Write(source, u"Start");
    return 0;
}

void RecordingTools::EndScope(const VnString& source, uint64_t, bool hasResult, int result) {
    Write(source, hasResult ? VnString::Format(u"Finish (result: %d)", result) : VnString(u"Finish"));
}

// ---- program files ----

namespace {

void Put16(std::string& bytes, size_t at, uint32_t value) {
    bytes[at] = char(value), bytes[at + 1] = char(value >> 8);
}
void Put32(std::string& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = char(value >> (8 * i));
}

// One resource directory with a single numeric entry.
void PutDirectory(std::string& bytes, size_t at, uint32_t id, uint32_t target) {
    Put32(bytes, at + 12, 1u << 16);  // no named entries, one numeric one
    Put32(bytes, at + 16, id);
    Put32(bytes, at + 20, target);
}

}  // namespace

// Headers, one ".rsrc" section at RVA 0x1000 (file offset 0x200) holding the
// directories RT_VERSION / 1 / neutral and a VS_VERSION_INFO block.
std::string MakeProgramFile(const char* version, bool x64) {
    constexpr size_t kPe = 0x40, kSectionOffset = 0x200, kBlock = 96;
    constexpr uint32_t kSectionRva = 0x1000, kSubdirectory = 0x80000000;
    const size_t optionalSize = x64 ? 240 : 224;
    std::string bytes(0x400, '\0');
    bytes[0] = 'M', bytes[1] = 'Z';
    Put32(bytes, 0x3C, kPe);
    bytes.replace(kPe, 4, std::string("PE\0\0", 4));
    Put16(bytes, kPe + 4, x64 ? 0x8664 : 0x014C);
    Put16(bytes, kPe + 6, 1);
    Put16(bytes, kPe + 20, uint32_t(optionalSize));
    const size_t optional = kPe + 24;
    Put16(bytes, kPe + 22, x64 ? 0x0022 : 0x0102);  // executable image
    Put16(bytes, optional, x64 ? 0x20B : 0x10B);
    // What the Windows loader checks before it reads resources.
    if (x64)
        Put32(bytes, optional + 28, 0x1), Put32(bytes, optional + 24, 0x40000000);  // image base 0x140000000
    else
        Put32(bytes, optional + 28, 0x400000);
    Put32(bytes, optional + 32, 0x1000);  // section alignment
    Put32(bytes, optional + 36, 0x200);   // file alignment
    Put16(bytes, optional + 40, 5);       // operating-system version
    Put16(bytes, optional + 48, 5);       // subsystem version
    Put32(bytes, optional + 56, 0x2000);  // size of image
    Put32(bytes, optional + 60, 0x200);   // size of headers
    Put16(bytes, optional + 68, 2);       // Windows GUI
    const size_t directories = optional + (x64 ? 112 : 96);
    Put32(bytes, optional + (x64 ? 108 : 92), 16);
    const size_t section = optional + optionalSize;
    bytes.replace(section, 5, ".rsrc");
    Put32(bytes, section + 8, 0x200);
    Put32(bytes, section + 12, kSectionRva);
    Put32(bytes, section + 16, 0x200);
    Put32(bytes, section + 20, uint32_t(kSectionOffset));
    Put32(bytes, section + 36, 0x40000040);  // initialised data, readable
    if (!version) return bytes;

    Put32(bytes, directories + 2 * 8, kSectionRva);
    Put32(bytes, directories + 2 * 8 + 4, 0x200);
    const size_t r = kSectionOffset;
    PutDirectory(bytes, r, 16, kSubdirectory | 24);
    PutDirectory(bytes, r + 24, 1, kSubdirectory | 48);
    PutDirectory(bytes, r + 48, 0, 80);
    Put32(bytes, r + 80, kSectionRva + uint32_t(kBlock));
    Put32(bytes, r + 84, 92);
    const size_t block = r + kBlock;
    Put16(bytes, block, 92);
    Put16(bytes, block + 2, 52);
    const char* key = "VS_VERSION_INFO";
    for (size_t i = 0; key[i]; ++i) Put16(bytes, block + 6 + 2 * i, uint8_t(key[i]));
    const uint64_t packed = ParseVersion(VnString::FromUtf8(version));
    Put32(bytes, block + 40, kVnFixedFileInfoSignature);
    Put32(bytes, block + 44, 0x10000);
    Put32(bytes, block + 48, uint32_t(packed >> 32));
    Put32(bytes, block + 52, uint32_t(packed));
    return bytes;
}

// ---- fixture ----

void EngineTest::SetUp() {
    PlatformTest::SetUp();
    InstallOptions::ResetForTests();
    FreeRuntimeFunctionTables();
    FontTableRecord().RemoveAll();
    tools_ = std::make_unique<RecordingTools>();
    VnSetTools(tools_.get());
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
    VnSetTools(nullptr);
    tools_.reset();
    FreeRuntimeFunctionTables();
    PlatformTest::TearDown();
}

void EngineTest::WriteFile(const VnString& path, const std::string& bytes) {
    ASSERT_TRUE(VnFileSystem::MakeDirectoryTree(FolderOf(path))) << Utf8(path);
    ASSERT_EQ(Files().WriteFile(VnFileSystem::LongPathForm(path), bytes), 0u) << Utf8(path);
}

std::string EngineTest::ReadFile(const VnString& path) {
#ifndef _WIN32
    // The test looks from outside: a file another program holds open is read all the same.
    VnStringArray locked = Facts().lockedFiles;
    Facts().lockedFiles.RemoveAll();
#endif
    std::string bytes;
    EXPECT_EQ(Files().ReadFile(VnFileSystem::LongPathForm(path), bytes), 0u) << Utf8(path);
#ifndef _WIN32
    Facts().lockedFiles = locked;
#endif
    return bytes;
}

bool EngineTest::Exists(const VnString& path) { return Attributes(path) != vnwin::kInvalidFileAttributes; }

uint32_t EngineTest::Attributes(const VnString& path) {
    return Files().GetFileAttributes(VnFileSystem::LongPathForm(path));
}

std::string Utf8(const VnString& text) { return text.ToUtf8(); }

std::vector<std::string> Utf8(const VnStringArray& list) {
    std::vector<std::string> items;
    for (const VnString& item : list) items.push_back(item.ToUtf8());
    return items;
}
