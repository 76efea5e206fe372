// VnXmlDocument: an XML document kept as one UTF-16 text and parsed once into
// a table of element records (offsets into that text). Navigation, queries and
// edits all work on those offsets; the text is never split into node objects.
//
// Position model: a current parent, a current ("main") element under it and a
// current child element under the main element. FindElem moves the main
// element among the parent's children, FindChildElem moves the child among the
// main element's children, IntoElem/OutOfElem shift the three down or up one
// level. Index 0 is the document itself; at the top level the parent is 0 and
// the root is found with FindElem.
//
// Parsing reports every problem it meets into GetError(), joined with ", ",
// and carries on; the elements it recognised can be navigated even when the
// parse failed. SetDoc/Load succeed exactly when there is one root element
// and it was ended properly; problems inside such a root (a stray end tag, a
// child never ended) are still in GetError() for the caller to log.
//
// Paths (FindElem): steps separated by "/"; a leading "/" makes the path
// absolute (its first step must match the root), "//" searches at any depth
// below the element matched so far (below the document when the path starts
// with it). A step is a name or "*" and may carry one condition: [n] the n-th
// matching sibling (from 1), [@attr], [@attr=value] (value quoted or not),
// [child] an element that has a child of that name. The result is the first
// element in document order that matches the whole path; it becomes the main
// element (its parent the current parent). A relative path (no leading "/")
// starts among the current parent's children after the main element, like a
// plain name does, so repeated calls move on; [n] still counts from the first
// sibling. A malformed path finds nothing. A condition's value is compared
// with the attribute's value after the entities in the latter are resolved.
//
// Problem offsets are character offsets of the '<' that starts the markup. The
// problem list stops after 1000 entries with ", ...".
//
// Names compare exactly, or without regard to case after SetIgnoreCase(true);
// the option also applies to attribute names and to values in path conditions.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "VnString.h"
#include "VnXmlElemTable.h"

// Decodes the bytes of an XML file to text (see VnXmlDocument::Load).
VnString VnXmlDecodeBytes(std::string_view bytes);

class VnXmlDocument {
public:
    // Node types, usable as a mask for FindNode.
    enum NodeType : int {
        kNodeNone = 0,
        kNodeElement = 1,
        kNodeText = 2,
        kNodeCData = 4,
        kNodeComment = 8,
        kNodeProcessingInstruction = 16,
        kNodeDocumentType = 32,
        kNodeAny = 63,
    };
    enum EscapeMode : int {
        kEscapeText = 0,    // element content: & < > and control characters
        kEscapeAttrib = 1,  // attribute values: also " and '
    };

    VnXmlDocument();
    explicit VnXmlDocument(std::u16string_view text);
    VnXmlDocument(const VnXmlDocument&) = default;
    VnXmlDocument& operator=(const VnXmlDocument&) = default;
    ~VnXmlDocument();

    // Parsing. Both replace the document and reset the position.
    bool SetDoc(std::u16string_view text);
    // The same, keeping a share of the string instead of a copy.
    bool SetDoc(const VnString& text);
    bool SetDoc(const char16_t* text) { return SetDoc(std::u16string_view(text)); }
    // Reads a file: UTF-8 with or without byte-order mark, UTF-16 LE or BE with
    // byte-order mark. A missing or unreadable file returns false and leaves an
    // empty document with the reason in GetError().
    bool Load(std::u16string_view path);
    const VnString& GetDoc() const { return text_; }
    const VnString& GetError() const { return error_; }
    bool IsWellFormed() const { return wellFormed_; }
    void SetIgnoreCase(bool ignoreCase) { ignoreCase_ = ignoreCase; }
    bool GetIgnoreCase() const { return ignoreCase_; }

    // Navigation. An empty name or "*" matches any element.
    bool FindElem(std::u16string_view nameOrPath = {});
    bool FindChildElem(std::u16string_view name = {});
    bool IntoElem();
    bool OutOfElem();
    void ResetPos();
    void ResetMainPos();
    void ResetChildPos();
    // Next node of the given types under the current parent, after the current
    // node or main element; returns its type or kNodeNone. Finding an element
    // makes it the main element.
    int FindNode(int typeMask = kNodeAny);
    int GetNodeType() const { return nodeType_; }

    // Reading the main element (or the current node after FindNode).
    VnString GetTagName() const;
    // Text content: text with entities resolved and CDATA sections as they
    // are, comments and processing instructions left out. An element that has
    // child elements has no data (empty). For a non-element node: its text.
    VnString GetData() const;
    VnString GetAttrib(std::u16string_view name) const;
    bool HasAttrib(std::u16string_view name) const;
    // The n-th attribute name (from 0) of the main element, empty past the end.
    VnString GetAttribName(int index) const;
    // Text of the first child element of the main element with that name.
    VnString GetChildData(std::u16string_view name) const;
    // Reading the current child element.
    VnString GetChildTagName() const;
    VnString GetChildData() const;
    VnString GetChildAttrib(std::u16string_view name) const;

    // For readers that keep thousands of values without a string each. Raw:
    // the content of the main element or the current child, or the value of
    // an attribute of the child, exactly as it stands in GetDoc() (markup
    // and references left as they are), valid while the document is
    // unchanged. Append: the same texts as GetData and GetChildData, added
    // to the end of `out`.
    std::u16string_view GetRawContent() const { return RawContentOf(main_); }
    std::u16string_view GetChildRawContent() const { return RawContentOf(child_); }
    bool GetChildRawAttrib(std::u16string_view name, std::u16string_view& raw) const {
        return RawAttrib(child_, name, raw);
    }
    void AppendData(std::u16string& out) const { AppendDataOf(main_, out); }
    void AppendChildData(std::u16string& out) const { AppendDataOf(child_, out); }

    // Writing. AddElem adds a sibling after the main element (or at the end of
    // the level) and makes it the main element; at the top level only one root
    // is allowed. AddChildElem does the same one level down for the child.
    // Each new element goes on its own line, with "\r\n" line breaks.
    bool AddElem(std::u16string_view name, std::u16string_view data = {});
    bool AddChildElem(std::u16string_view name, std::u16string_view data = {});
    bool SetAttrib(std::u16string_view name, std::u16string_view value);
    bool AddAttrib(std::u16string_view name, std::u16string_view value) { return SetAttrib(name, value); }
    bool SetChildAttrib(std::u16string_view name, std::u16string_view value);
    bool AddChildAttrib(std::u16string_view name, std::u16string_view value) { return SetChildAttrib(name, value); }
    // Replaces the content of an element that has no child elements.
    bool SetData(std::u16string_view data);
    bool SetChildData(std::u16string_view data);

    // Entity handling. Unescape resolves the five named entities and decimal
    // and hexadecimal character references; anything else that starts with
    // "&" (unknown names, malformed or out-of-range references) stays as text.
    static VnString Escape(std::u16string_view text, EscapeMode mode);
    static VnString Unescape(std::u16string_view text);
    static void AppendUnescaped(std::u16string_view text, std::u16string& out);

    // Position save and restore by element index (0: none).
    uint32_t GetElemIndex() const { return main_; }
    uint32_t GetChildElemIndex() const { return child_; }
    uint32_t GetParentElemIndex() const { return parent_; }
    bool SetElemIndex(uint32_t index);
    const VnXmlElemTable& GetElemTable() const { return table_; }

private:
    friend class VnXmlParser;
    friend class VnXmlPathQuery;
    friend class VnXmlWriter;

    VnXmlElemRecord& Rec(uint32_t index) { return table_.At(index); }
    const VnXmlElemRecord& Rec(uint32_t index) const { return table_.At(index); }
    bool NamesEqual(std::u16string_view a, std::u16string_view b) const;
    std::u16string_view TagNameOf(uint32_t elem) const;
    int32_t ContentEnd(uint32_t elem) const;
    VnString NodeName() const;
    VnString NodeText() const;
    VnString DataOf(uint32_t elem) const;
    void AppendDataOf(uint32_t elem, std::u16string& out) const;
    std::u16string_view RawContentOf(uint32_t elem) const;
    template <class Out>
    void WriteDataOf(uint32_t elem, Out& out) const;
    bool FindAttrib(uint32_t elem, std::u16string_view name, VnString* value) const;
    // The value of the attribute as it stands in the text (references unresolved).
    bool RawAttrib(uint32_t elem, std::u16string_view name, std::u16string_view& raw) const;
    uint32_t FindChild(uint32_t parent, uint32_t after, std::u16string_view name) const;
    void ClearNode();

    VnString text_;
    VnString error_;
    VnXmlElemTable table_;
    bool wellFormed_ = false;
    bool ignoreCase_ = false;
    uint32_t parent_ = 0;
    uint32_t main_ = 0;
    uint32_t child_ = 0;
    // Current node after FindNode: type, offset and length of its markup. For
    // a non-element node the main element stays the one before it.
    int nodeType_ = kNodeNone;
    int32_t nodeOffset_ = 0;
    int32_t nodeLength_ = 0;
};
