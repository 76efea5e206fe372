// VnDllString: a message literal that passes through the tools library's
// translation hook each time it is read, so messages follow the language the
// user chose. Header-only: the installer uses it without linking the library.
//
// The installer hands the language object over once the library is loaded
// (VnDllString::SetLanguage); before that, or without one, the literal is used
// as it is.
#pragma once

#include "ToolsInterface.h"
#include "VnString.h"

class VnDllString {
public:
    explicit VnDllString(const VnString& literal) : literal_(literal) {}

    VnString Get() const { return language_ ? language_->Translate(literal_) : literal_; }
    operator VnString() const { return Get(); }
    const VnString& Literal() const { return literal_; }

    static void SetLanguage(ToolsLanguage* language) { language_ = language; }
    static ToolsLanguage* GetLanguage() { return language_; }

private:
    VnString literal_;
    static inline ToolsLanguage* language_ = nullptr;
};
