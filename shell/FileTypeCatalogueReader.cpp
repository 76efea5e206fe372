#include "FileTypeCatalogueReader.h"

#include <algorithm>
#include <string>
#include <unordered_set>

#include "VnXmlDocument.h"

namespace {

// The element of each list, index 1 to 14 ("" for list 0, which is built).
constexpr const char16_t* kListPaths[kFileTypeListCount] = {
    u"",
    u"/*/DescriptionTypes/Audio",
    u"/*/DescriptionTypes/Image",
    u"/*/DescriptionTypes/Video",
    u"/*/DescriptionTypes/Data",
    u"/*/DescriptionTypes/Playlist",
    u"/*/DescriptionTypes/Unknown",
    u"/*/DefaultFileTypes",
    u"/*/DefaultAssocFileTypes",
    u"/*/PMTypes",
    u"/*/IMGTypes",
    u"/*/DXTypes",
    u"/*/RPTypes",
    u"/*/QTTypes",
    u"/*/OTTypes",
};

constexpr double kLowestVersion = 1.0;

std::u16string Folded(std::u16string_view text) {
    VnString lower(text);
    lower.MakeLower();
    return std::u16string(lower.View());
}

using FoldedSet = std::unordered_set<std::u16string>;

// Entries the catalogue never lists: empty ones and two extensions that the
// program keeps for itself.
bool IsNeverListed(const VnString& entry) {
    const int32_t length = entry.GetLength();
    return length == 0 || (length == 3 && (entry.EqualsNoCase(u"dat") || entry.EqualsNoCase(u"mpp")));
}

VnString ElementText(VnXmlDocument& document, const char16_t* path) {
    document.ResetPos();
    return document.FindElem(path) ? document.GetData() : VnString();
}

VnStringArray SplitList(const VnString& text) {
    return text.IsEmpty() ? VnStringArray() : VnStringArray::Split(text, u";");
}

// A description list is cut at the ";" outside parentheses only, so that a
// description keeps its own ";"-separated extensions ("AIFF Audio (aif;aiff)").
VnStringArray SplitDescriptionList(const VnString& text) {
    VnStringArray descriptions;
    int depth = 0;
    int32_t start = 0;
    for (int32_t i = 0; i <= text.GetLength(); ++i) {
        const char16_t c = i < text.GetLength() ? text[i] : u';';
        if (c == u'(') ++depth;
        else if (c == u')' && depth > 0) --depth;
        else if (c == u';' && (depth == 0 || i == text.GetLength())) {
            descriptions.Add(text.Mid(start, i - start));
            start = i + 1;
            depth = 0;
        }
    }
    return descriptions;
}

// Step 4 of loading: the types of installed input plug-ins join list 9 (and
// their descriptions list 1) right after list 9 was read.
void AddInputPluginTypes(IInputPluginNames& plugins, VnStringArray& audio, VnStringArray& programTypes) {
    FoldedSet known;
    for (const VnString& type : programTypes) known.insert(Folded(type));
    for (const VnString& name : plugins.GetInputPluginNames()) {
        if (name.IsEmpty() || name.EqualsNoCase(u"MPP") || name.EqualsNoCase(u"AUDIOTEST")) continue;
        const std::u16string lower = Folded(name);
        if (known.count(lower) || !plugins.CanReadPluginRecord(name)) continue;
        known.insert(lower);
        audio.Add(VnString::Format(u"%s (%s)", name, VnString(lower)));
        programTypes.Add(VnString(lower));
    }
}

}  // namespace

void CFileTypeCatalogueData::Clear() {
    for (VnStringArray& list : lists_) list.RemoveAll();
    mimeInfos_.RemoveAll();
}

FileTypeCatalogueReadResult CFileTypeCatalogueData::Read(std::u16string_view text,
                                                         const FileTypeCatalogueInputs& inputs) {
    Clear();
    hasFeature_ = inputs.hasFeature;
    FileTypeCatalogueReadResult result;
    result.versionText = VN_LIT(u"Unknown");

    VnXmlDocument document;
    if (!document.SetDoc(text)) {
        result.problem = document.GetError().IsEmpty() ? VnString(u"not an XML document") : document.GetError();
        return result;
    }
    document.ResetPos();
    if (!document.FindElem() || document.GetTagName() != u"PMFA") {
        result.problem = VN_LIT(u"the root element is not PMFA");
        return result;
    }
    if (document.HasAttrib(u"version")) result.versionText = document.GetAttrib(u"version");
    if (!(VnString::ParseDouble(result.versionText) >= kLowestVersion)) {
        result.problem = VN_LIT(u"the version is below 1.0");
        return result;
    }

    for (int index = 1; index < kFileTypeListCount; ++index) {
        const VnString listText = ElementText(document, kListPaths[index]);
        lists_[index] = index <= kUnknownDescriptions ? SplitDescriptionList(listText) : SplitList(listText);
        if (index == kProgramTypes && inputs.plugins)
            AddInputPluginTypes(*inputs.plugins, lists_[kAudioDescriptions], lists_[kProgramTypes]);
    }
    if (!inputs.productDefaultFileTypes.IsEmpty()) {
        lists_[kDefaultFileTypes] = SplitList(inputs.productDefaultFileTypes);
        lists_[kDefaultAssocFileTypes] = lists_[kDefaultFileTypes];
    }
    if (!inputs.productDefaultAssocFileTypes.IsEmpty())
        lists_[kDefaultAssocFileTypes] = SplitList(inputs.productDefaultAssocFileTypes);

    for (VnStringArray& list : lists_) {
        if (std::none_of(list.begin(), list.end(), IsNeverListed)) continue;
        VnStringArray kept;
        for (const VnString& entry : list)
            if (!IsNeverListed(entry)) kept.Add(entry);
        list = std::move(kept);
    }
    for (int index = kAudioDescriptions; index <= kUnknownDescriptions; ++index)
        lists_[kAllDescriptions].Append(lists_[index]);

    document.ResetPos();
    if (document.FindElem(u"/*/MimeAssociations") && document.IntoElem()) {
        while (document.FindElem()) {
            const VnString group = document.GetTagName();
            while (document.FindChildElem())
                mimeInfos_.Add(CMimeInfo{document.GetChildAttrib(u"Name"), document.GetChildData(), group});
        }
    }
    result.loaded = true;
    return result;
}

VnStringArray CFileTypeCatalogueData::GetList(int index, bool respectFeatures) const {
    if (index < 0 || index >= kFileTypeListCount) return VnStringArray();
    if (respectFeatures) {
        int feature = 0;
        switch (index) {
            case kImageDescriptions:
            case kImageTypes: feature = kFeatureImageTypes; break;
            case kVideoDescriptions: feature = kFeatureVideoTypes; break;
            case kDataDescriptions: feature = kFeatureDataTypes; break;
            case kOtherTypes: feature = kFeatureOtherEngine; break;
            default: break;
        }
        if (feature && !(hasFeature_ && hasFeature_(feature))) return VnStringArray();
    }
    return lists_[index];
}

VnStringArray CFileTypeCatalogueData::GetHandledDescriptions() const {
    FoldedSet engineTypes;
    for (int index = kProgramTypes; index <= kOtherTypes; ++index)
        for (const VnString& type : lists_[index]) engineTypes.insert(Folded(type));
    VnStringArray handled;
    for (const VnString& description : lists_[kAllDescriptions]) {
        for (const VnString& extension : GetDescriptionExtensions(description)) {
            if (engineTypes.count(Folded(extension))) {
                handled.Add(description);
                break;
            }
        }
    }
    return handled;
}

int CFileTypeCatalogueData::IsInList(const VnStringArray& extensions, int index) const {
    if (index < 0 || index >= kFileTypeListCount) return -1;
    for (int32_t i = 0; i < extensions.GetSize(); ++i)
        if (lists_[index].FindNoCase(extensions[i]) >= 0) return i;
    return -1;
}

CMimeInfo CFileTypeCatalogueData::FindMimeInfo(const VnString& extension) const {
    std::u16string_view name = extension.View();
    if (!name.empty() && name.front() == u'.') name.remove_prefix(1);
    if (name.empty()) return CMimeInfo();
    for (const CMimeInfo& info : mimeInfos_)
        if (info.name.EqualsNoCase(name)) return info;
    return CMimeInfo();
}

VnStringArray CFileTypeCatalogueData::GetExtensionMimeTypes(const VnString& extension, bool wildcard) const {
    const CMimeInfo info = FindMimeInfo(extension);
    if (info.types.IsEmpty()) return VnStringArray();
    VnStringArray types = VnStringArray::Split(info.types, u";");
    if (wildcard) {
        for (VnString& type : types) {
            const int32_t slash = type.Find(u'/');
            type = slash >= 0 ? type.Left(slash + 1) + u"*" : type + u"/*";
        }
    }
    return types;
}

VnStringArray CFileTypeCatalogueData::GetExtensions(const VnStringArray& descriptions) {
    FoldedSet seen;
    VnStringArray extensions;
    for (const VnString& description : descriptions)
        for (const VnString& extension : GetDescriptionExtensions(description))
            if (seen.insert(Folded(extension)).second) extensions.Add(extension);
    return extensions;
}

VnStringArray CFileTypeCatalogueData::GetDescriptionExtensions(const VnString& description) {
    VnString inside = description;
    const int32_t open = description.View().rfind(u" (") == std::u16string_view::npos
                             ? -1
                             : int32_t(description.View().rfind(u" ("));
    if (open >= 0) {
        const int32_t close = description.Find(u')', open + 2);
        inside = close >= 0 ? description.Mid(open + 2, close - open - 2) : description.Mid(open + 2);
    }
    inside.MakeLower();
    return VnStringArray::Split(inside, u";");
}
