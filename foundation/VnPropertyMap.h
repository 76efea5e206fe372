// VnPropertyMap: a string-keyed bag of values that are all kept as text.
//
// Keys compare without regard to case, as registry and settings names do; a key
// keeps the spelling of its first write. The empty key is an ordinary key (like
// a registry key's default value) and round-trips through the XML form.
//
// Typed getters are built on GetString: the default is turned into text, asked
// for, and the resulting text converted back (an unparsable text yields 0).
// Typed setters write decimal text through SetString. Floating-point values are
// written in the shortest form that reads back to the same value, with "." as
// the decimal separator and ".0" added to a whole number written without an
// exponent ("1.0", "0.1", "1e+300"); infinities and NaN read back as 0.
//
// The virtual operations are declared in a fixed slot order (numbered below);
// other modules rely on it, so new operations go after slot 26.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "VnArray.h"
#include "VnMap.h"
#include "VnString.h"

class VnXmlDocument;

class VnPropertyMap {
public:
    using Entries = VnStringMap<VnString, false>;
    using EntryVisitor = std::function<void(const VnString& key, const VnString& value)>;

    // Version number written into the root's "version" attribute.
    static constexpr double kFormatVersion = 1.0;
    static constexpr char16_t kDefaultRootName[] = u"XMLPH";

    VnPropertyMap() = default;
    VnPropertyMap(const VnPropertyMap& other);
    VnPropertyMap& operator=(const VnPropertyMap& other);

    /* 0 */ virtual ~VnPropertyMap();
    /* 1 */ virtual bool Exists(const VnString& key) const;
    /* 2 */ virtual VnString GetString(const VnString& key, const VnString& defaultValue = VnString()) const;
    /* 3 */ virtual int32_t GetInt(const VnString& key, int32_t defaultValue = 0) const;
    /* 4 */ virtual int64_t GetInt64(const VnString& key, int64_t defaultValue = 0) const;
    /* 5 */ virtual int32_t GetLong(const VnString& key, int32_t defaultValue = 0) const;  // same as GetInt
    /* 6 */ virtual double GetDouble(const VnString& key, double defaultValue = 0.0) const;
    /* 7 */ virtual float GetFloat(const VnString& key, float defaultValue = 0.0f) const;
    // With removeIfEmpty set, an empty value removes the key instead.
    /* 8 */ virtual void SetString(const VnString& key, const VnString& value, bool removeIfEmpty = false);
    /* 9 */ virtual void SetInt(const VnString& key, int32_t value);
    /* 10 */ virtual void SetInt64(const VnString& key, int64_t value);
    /* 11 */ virtual void SetLong(const VnString& key, int32_t value);  // same as SetInt
    /* 12 */ virtual void SetDouble(const VnString& key, double value);
    /* 13 */ virtual void SetFloat(const VnString& key, float value);

    /* 14 */ virtual int32_t GetCount() const;
    // True when the key was present.
    /* 15 */ virtual bool RemoveKey(const VnString& key);
    // Keys sorted without regard to case.
    /* 16 */ virtual VnStringArray GetKeys() const;
    // Visits every entry in the order of GetKeys.
    /* 17 */ virtual void ForEachEntry(const EntryVisitor& visit) const;
    /* 18 */ virtual void RemoveAll();
    // Copies the other map's entries in; existing keys are replaced only when
    // overwrite is set. Returns the number of entries written.
    /* 19 */ virtual int32_t Merge(const VnPropertyMap& other, bool overwrite = true);
    // Makes this map hold exactly the other map's entries.
    /* 20 */ virtual void CopyFrom(const VnPropertyMap& other);
    // Same keys (compared without regard to case) with exactly the same values.
    /* 21 */ virtual bool IsEqual(const VnPropertyMap& other) const;

    // The whole map as a document: <root version="1.0"> then the items then </root>.
    /* 22 */ virtual VnString SaveXML(const VnString& rootName = VnString(kDefaultRootName)) const;
    // Replaces the entries with those of a document of that form, whatever its
    // root name; the text ends at its first NUL. False, and the map unchanged,
    // when the text is not well formed.
    /* 23 */ virtual bool LoadXML(const VnString& text);
    // Adds every "Item" child of the document's current element (the root
    // after a parse): "Name" attribute as key, element text as value.
    /* 24 */ virtual void ReadItems(VnXmlDocument& document);
    // Appends one <Item Name="key">value</Item> per entry, in key order.
    /* 25 */ virtual void WriteItems(VnString& out) const;
    // One line per entry: indent, key, ": ", value, line break.
    /* 26 */ virtual VnString Dump(const VnString& indent = VnString()) const;

    // The "version" attribute of the last document read by LoadXML (0 when
    // it had none or no document was read).
    double GetLoadedVersion() const { return loadedVersion_; }

    // Pieces of the XML form: one <Item Name="key">value</Item>, and a whole
    // document <root version="version">items</root>.
    static void WriteItem(VnString& out, const VnString& key, const VnString& value);
    static VnString WrapDocument(const VnString& rootName, const VnString& version, const VnString& items);

    // A stored text (a document, a path) ends at its first NUL, as Windows
    // strings do; the XML form could not carry a NUL back anyway.
    static VnString TextBeforeNul(const VnString& text);

    // Text forms of numbers used by the typed accessors.
    static VnString DoubleToText(double value);
    static VnString FloatToText(float value);

private:
    Entries& Storage();

    std::unique_ptr<Entries> entries_;  // created on the first write
    double loadedVersion_ = 0.0;
};
