#include "SimPrograms.h"

#include <algorithm>

VnSimProgramRegistry& VnSimProgramRegistry::Shared() {
    static VnSimProgramRegistry registry;
    return registry;
}

void VnSimProgramRegistry::Register(const VnString& fileName, VnSimProgramMain main) {
    programs_.SetAt(fileName, VnSimProgram{std::move(main), false});
}

void VnSimProgramRegistry::RegisterNeverEnding(const VnString& fileName, VnSimProgramMain main) {
    programs_.SetAt(fileName, VnSimProgram{std::move(main), true});
}

void VnSimProgramRegistry::Unregister(const VnString& fileName) { programs_.RemoveKey(fileName); }

const VnSimProgram* VnSimProgramRegistry::Find(const VnString& fileName) const { return programs_.Find(fileName); }

VnSimModuleRegistry& VnSimModuleRegistry::Shared() {
    static VnSimModuleRegistry registry;
    return registry;
}

void VnSimModuleRegistry::Register(const VnString& moduleFileName, const char* exportName, void* address) {
    modules_[moduleFileName].SetAt(VnString::FromUtf8(exportName), address);
}

void VnSimModuleRegistry::Unregister(const VnString& moduleFileName) { modules_.RemoveKey(moduleFileName); }

bool VnSimModuleRegistry::HasModule(const VnString& moduleFileName) const { return modules_.Contains(moduleFileName); }

void* VnSimModuleRegistry::Find(const VnString& moduleFileName, const char* exportName) const {
    const VnStringMap<void*>* exports = modules_.Find(moduleFileName);
    if (!exports) return nullptr;
    void* const* address = exports->Find(VnString::FromUtf8(exportName));
    return address ? *address : nullptr;
}

VnStringArray VnSimSplitCommandLine(const VnString& parameters) {
    VnStringArray arguments;
    std::u16string_view text = parameters.View();
    size_t i = 0;
    auto isSpace = [](char16_t c) { return c == u' ' || c == u'\t'; };
    while (i < text.size()) {
        while (i < text.size() && isSpace(text[i])) ++i;
        if (i >= text.size()) break;
        VnString argument;
        bool quoted = false;
        while (i < text.size() && (quoted || !isSpace(text[i]))) {
            if (text[i] == u'\\') {
                size_t backslashes = 0;
                while (i < text.size() && text[i] == u'\\') ++backslashes, ++i;
                bool beforeQuote = i < text.size() && text[i] == u'"';
                size_t kept = beforeQuote ? backslashes / 2 : backslashes;
                for (size_t k = 0; k < kept; ++k) argument += u'\\';
                if (beforeQuote && backslashes % 2 == 1) {
                    argument += u'"';
                    ++i;
                }
            } else if (text[i] == u'"') {
                if (quoted && i + 1 < text.size() && text[i + 1] == u'"') {
                    argument += u'"';  // "" inside quotes
                    i += 2;
                } else {
                    quoted = !quoted;
                    ++i;
                }
            } else {
                argument += text[i++];
            }
        }
        arguments.Add(argument);
    }
    return arguments;
}

VnString VnSimFileNameOf(const VnString& path) {
    int32_t cut = path.FindOneOf(u"\\/") < 0 ? -1 : std::max(path.ReverseFind(u'\\'), path.ReverseFind(u'/'));
    return path.Mid(cut + 1);
}
