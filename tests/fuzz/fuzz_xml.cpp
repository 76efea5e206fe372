// Any bytes, read as UTF-8 or as raw UTF-16, must parse without crashing,
// hanging or reading out of bounds; the element table that results must hold
// up to navigation, path queries, reading and writing.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "VnXmlDocument.h"
#include "fuzz_text_input.h"

namespace {

// Walks the whole tree without recursion and reads every element.
void WalkEverything(VnXmlDocument& doc) {
    doc.ResetPos();
    int visited = 0;
    for (;;) {
        if (doc.FindChildElem()) {
            doc.GetChildTagName();
            doc.GetChildData();
            doc.IntoElem();
            doc.GetTagName();
            doc.GetData();
            doc.GetAttribName(0);
            doc.GetAttrib(u"a");
            if (++visited > 100000) std::abort();
            continue;
        }
        if (doc.GetElemIndex() == 0 && !doc.FindElem()) break;
        if (doc.GetParentElemIndex() == 0 && doc.GetElemIndex() != 0 && !doc.OutOfElem()) {
            if (!doc.FindElem()) break;
            continue;
        }
        if (!doc.OutOfElem()) break;
    }
    doc.ResetPos();
    for (int n = 0; n < 200 && doc.FindNode() != VnXmlDocument::kNodeNone; ++n) {
        doc.GetTagName();
        doc.GetData();
        if (doc.GetNodeType() == VnXmlDocument::kNodeElement && n % 3 == 0) doc.IntoElem();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    VnString text = FuzzTextFromBytes(data, size);
    VnXmlDocument doc;
    bool ok = doc.SetDoc(text);
    // A document with one properly ended root is read even with problems
    // inside; a failed parse always says why.
    const bool wellFormed = ok && doc.GetError().IsEmpty();
    if (!ok && doc.GetError().IsEmpty()) std::abort();
    WalkEverything(doc);

    static const char16_t* const kPaths[] = {u"/*/a/b", u"//a", u"/*//b[@x]", u"a[2]", u"//*[@a='1']/b",
                                             u"/*/*[b]", u"//a[1]/b[x=1]", u"*"};
    for (const char16_t* path : kPaths) {
        doc.ResetPos();
        if (doc.FindElem(path)) {
            doc.GetData();
            doc.FindChildElem(u"b[1]");
        }
    }

    // The same bytes as a file's content, decoded by their byte-order mark.
    VnXmlDocument fromFile;
    fromFile.SetDoc(VnXmlDecodeBytes(std::string_view(reinterpret_cast<const char*>(data), size)));
    fromFile.FindElem(u"/*/Product/InstallToPath");

    VnXmlDocument::Unescape(text);
    VnXmlDocument::Escape(text, VnXmlDocument::kEscapeAttrib);

    // Writing into whatever was parsed, then reading the result again.
    doc.ResetPos();
    if (doc.FindElem()) {
        doc.SetAttrib(u"a", text);
        doc.AddChildElem(u"n", u"<&>");
        doc.SetChildAttrib(u"q", u"\"'");
        doc.IntoElem();
        doc.FindElem();
        doc.SetData(u"d&");
        if (doc.AddElem(u"m") && doc.GetData() != u"") std::abort();
        VnXmlDocument again;
        bool reparsed = again.SetDoc(doc.GetDoc());
        if (wellFormed && !reparsed) std::abort();  // edits keep a well-formed text well formed
    }
    return 0;
}
