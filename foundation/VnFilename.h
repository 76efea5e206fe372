// VnFilename: a file path with a property map of extra fields.
//
// Stored as the path itself when there are no extra fields, otherwise as
//   <XMLFN version="1.0"><Item Name="Filename">path</Item><Item Name="field">value</Item>...</XMLFN>
// A path that itself begins like that form is also stored in it, so that it is
// not mistaken for the form when read back. The items are read as one property
// map whose "Filename" entry is the path, so a field of that name (in any case)
// is not stored.
//
// Reading a stored text (which ends at its first NUL): a text beginning with "<XMLFN version=" (any case) is
// read as that form when it is well formed with root "XMLFN" and version
// "1.0"; any other text is the path itself. Then, for a path that is not a URL
// (no "://"), a ";" after the last "." whose extension is 1 to 5 characters
// long splits the path: the text after it goes into "PostExtensionData".
#pragma once

#include "VnPropertyMap.h"
#include "VnString.h"

class VnFilename {
public:
    static constexpr char16_t kRootName[] = u"XMLFN";
    static constexpr char16_t kVersion[] = u"1.0";
    static constexpr char16_t kPathItemName[] = u"Filename";
    static constexpr char16_t kPostExtensionDataName[] = u"PostExtensionData";
    static constexpr int32_t kMaxExtensionLength = 5;

    VnFilename() = default;
    // A path with no extra fields (the text is taken as it is, not read).
    explicit VnFilename(const VnString& path) : path_(path) {}

    // Reads a stored filename text (plain or the XMLFN form).
    static VnFilename FromText(const VnString& text);
    void SetText(const VnString& text);
    // The stored form: the path alone, or the XMLFN form when there are fields.
    VnString GetText() const;

    const VnString& GetPath() const { return path_; }
    void SetPath(const VnString& path) { path_ = path; }
    VnPropertyMap& GetFields() { return fields_; }
    const VnPropertyMap& GetFields() const { return fields_; }
    bool HasFields() const { return fields_.GetCount() > 0; }
    VnString GetField(const VnString& name, const VnString& defaultValue = VnString()) const {
        return fields_.GetString(name, defaultValue);
    }
    // An empty value removes the field.
    void SetField(const VnString& name, const VnString& value) { fields_.SetString(name, value, true); }

    static bool IsUrl(const VnString& path) { return path.Contains(u"://"); }
    // True when the text begins with "<XMLFN version=" in any case.
    static bool LooksLikeXmlForm(const VnString& text);

private:
    // Fills path_ and fields_ from a text in the XMLFN form; false when the
    // text is not that form (then nothing is changed).
    bool ReadXmlForm(const VnString& text);
    // Moves data after "path.ext;" into the PostExtensionData field.
    void SplitPostExtensionData();

    VnString path_;
    VnPropertyMap fields_;
};
