// A fresh simulated machine per case for the shell registration: the test
// product of the install-record machine, installed (as the copy step leaves
// it) in "C:\Program Files (x86)\Tunaro 9933\" with its file icon and a
// small file type catalogue, and a dump of registry subtrees in the text form
// of a registry export.
#pragma once

#ifndef _WIN32

#include <string>

#include "FileTypeCatalogue.h"
#include "InstallRecordMachine.h"
#include "TestFileTypeCatalogue.h"

class ShellMachine : public InstallRecordMachine {
protected:
    static constexpr const char16_t* kInstalled = u"C:\\Program Files (x86)\\Tunaro 9933\\";

    void SetUp() override {
        InstallRecordMachine::SetUp();
        Install();
    }
    void Install() {
        Options().DestinationFolder = kInstalled;
        ProcessInformationBlock::Get().SetProgramFolder(kInstalled);
        ProcessInformationBlock::Get().SetModuleFolder(kPlaymoor);
        Tools().SetProcessFolders(&ProcessInformationBlock::Get());  // as start-up hands it over
        WriteFile(VnString(kInstalled) + u"Data\\Default Art\\fileimage.ico", "icon");
        WriteFile(VnString(kInstalled) + u"Data\\Default Resources\\FileAssociations.xml", kTestFileTypeCatalogue);
        ResetFileTypeCatalogueForTests();  // read again on this machine
    }

    // Every key below `key` (itself included), parents first, each as
    // "[path]" followed by its values as `"name"="text"` or `"name"=dword:n`.
    std::string Dump(VnRegRoot root, const VnString& key, uint32_t view = 0) {
        std::string out;
        DumpKey(root, key, view, out);
        return out;
    }

private:
    void DumpKey(VnRegRoot root, const VnString& key, uint32_t view, std::string& out) {
        IVnRegistry& registry = VnPlatform().Registry();
        VnRegKey handle = 0;
        if (registry.OpenKey(root, key, vnwin::kKeyRead | view, handle) != 0) return;
        out += "[" + key.ToUtf8() + "]\n";
        VnString name;
        VnRegValue value;
        for (uint32_t i = 0; registry.EnumValue(handle, i, name, &value) == 0; ++i) {
            out += (name.IsEmpty() ? std::string("@") : "\"" + name.ToUtf8() + "\"") + "=";
            out += value.type == vnwin::kRegDword ? "dword:" + std::to_string(value.number)
                                                  : "\"" + value.text.ToUtf8() + "\"";
            out += "\n";
        }
        VnStringArray subkeys;
        for (uint32_t i = 0; registry.EnumKey(handle, i, name) == 0; ++i) subkeys.Add(name);
        registry.CloseKey(handle);
        for (const VnString& subkey : subkeys) DumpKey(root, key + u"\\" + subkey, view, out);
    }
};

#endif
