#ifndef _WIN32

#include "SimTestMachine.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "HostFiles.h"
#include "TestFiles.h"

namespace fs = std::filesystem;

namespace {

fs::path DemoSetupFolder(const std::string& name) {
    if (const char* given = std::getenv("VN_DEMO_SETUP_DIR"))
        return name == "setup" ? fs::path(given) : fs::path(given).parent_path() / name;
    std::error_code error;
    for (fs::path folder = fs::canonical("/proc/self/exe", error).parent_path(); !error && folder.has_relative_path();
         folder = folder.parent_path()) {
        if (fs::exists(folder / name / "Install.xml") && fs::exists(folder / name / "Playmoor"))
            return folder / name;
    }
    return fs::path();
}

}  // namespace

SimTestMachine::SimTestMachine(const std::string& factsText) {
    folder_ = NewHostTempPath("vnsim").string();
    if (!factsText.empty()) {
        fs::create_directories(folder_);
        WriteHostFile(Host(VnSimPlatform::kFactsFileName), factsText);
    }
    std::string error;
    machine_ = VnSimPlatform::OpenMachine(folder_, error);
    if (!machine_) {  // every test needs its machine: nothing sensible can follow
        std::fprintf(stderr, "no simulated machine in %s: %s\n", folder_.c_str(), error.c_str());
        std::abort();
    }
    VnSetPlatform(machine_.get());
}

SimTestMachine::~SimTestMachine() {
    VnSetPlatform(nullptr);
    machine_.reset();
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
}

bool SimTestMachine::HostExists(const std::string& relative) const { return fs::exists(Host(relative)); }

std::string SimTestMachine::HostText(const std::string& relative) const { return ReadHostFile(Host(relative)); }

void SimTestMachine::WriteFile(const VnString& path, std::string_view bytes) {
    EXPECT_EQ(WriteFileCreatingFolders(machine_->Files(), path, bytes), 0u) << path.ToUtf8();
}

std::string SimTestMachine::ReadFile(const VnString& path) {
    const VnStringArray locked = Facts().lockedFiles;  // the test looks from outside
    Facts().lockedFiles.RemoveAll();
    std::string bytes;
    EXPECT_EQ(machine_->Files().ReadFile(path, bytes), 0u) << path.ToUtf8();
    Facts().lockedFiles = locked;
    return bytes;
}

bool SimTestMachine::Exists(const VnString& path) {
    return machine_->Files().GetFileAttributes(path) != vnwin::kInvalidFileAttributes;
}

bool SimTestMachine::KeyExists(VnRegRoot root, const VnString& key, bool view64) {
    VnRegKey handle = 0;
    const uint32_t access = vnwin::kKeyRead | (view64 ? vnwin::kKeyWow64_64Key : 0);
    if (machine_->Registry().OpenKey(root, key, access, handle) != 0) return false;
    machine_->Registry().CloseKey(handle);
    return true;
}

void SimTestMachine::SetValue(VnRegRoot root, const VnString& key, const VnString& name, const VnRegValue& value,
                              bool view64) {
    VnRegKey handle = 0;
    const uint32_t access = vnwin::kKeyReadWrite | (view64 ? vnwin::kKeyWow64_64Key : 0);
    ASSERT_EQ(machine_->Registry().CreateKey(root, key, access, handle), 0u) << key.ToUtf8();
    EXPECT_EQ(machine_->Registry().SetValue(handle, name, value), 0u) << name.ToUtf8();
    machine_->Registry().CloseKey(handle);
}

std::vector<NamedValue> SimTestMachine::Values(VnRegRoot root, const VnString& key, bool view64) {
    std::vector<NamedValue> values;
    VnRegKey handle = 0;
    const uint32_t access = vnwin::kKeyRead | (view64 ? vnwin::kKeyWow64_64Key : 0);
    if (machine_->Registry().OpenKey(root, key, access, handle) != 0) return values;
    VnString name;
    VnRegValue value;
    for (uint32_t i = 0; machine_->Registry().EnumValue(handle, i, name, &value) == 0; ++i) {
        const bool number = value.type == vnwin::kRegDword || value.type == vnwin::kRegQword;
        values.push_back({name.ToUtf8(), value.type, number ? std::to_string(value.number) : value.text.ToUtf8()});
    }
    machine_->Registry().CloseKey(handle);
    return values;
}

std::string SimTestMachine::Value(VnRegRoot root, const VnString& key, const std::string& name, bool view64) {
    for (const NamedValue& value : Values(root, key, view64))
        if (value.name == name) return value.text;
    return "<missing>";
}

void SimTestMachine::MakeSystemFolders() {
    for (const char* folder : {"drives/C/Windows/System32", "drives/C/Windows/SysWOW64"})
        fs::create_directories(Host(folder));
}

bool SimTestMachine::CopyDemoSetup(const VnString& folder, const std::string& variant) {
    const fs::path host = DemoSetupFolder(variant);
    if (host.empty()) return false;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(host)) {
        if (!entry.is_regular_file()) continue;
        VnString relative = VnString::FromUtf8(fs::relative(entry.path(), host).string());
        relative.Replace(u'/', u'\\');
        WriteFile(folder + relative, ReadHostFile(entry.path().string()));
    }
    return true;
}

#endif
