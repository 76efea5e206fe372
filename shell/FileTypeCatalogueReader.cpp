#include "FileTypeCatalogueReader.h"

#include <algorithm>
#include <string>
#include <unordered_set>

#include "VnCharSearch.h"
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
bool IsNeverListed(std::u16string_view entry) {
    // Windows reads a name only up to its first NUL: "dat\0x" names ".dat".
    entry = entry.substr(0, entry.find(u'\0'));
    return entry.empty() ||
           (entry.size() == 3 && (VnString::CompareNoCase(entry, u"dat") == 0 || VnString::CompareNoCase(entry, u"mpp") == 0));
}

}  // namespace

void CFileTypeCatalogueData::Clear() {
    source_.Empty();
    extra_.clear();
    for (PieceList& list : lists_) list.clear();
    mimeRecords_.clear();
    mimeByName_.clear();
    mimeGroups_.RemoveAll();
}

CFileTypeCatalogueData::Piece CFileTypeCatalogueData::AddExtra(std::u16string_view text) {
    const Piece piece{uint32_t(extra_.size()), uint32_t(text.size()), 1};
    extra_ += text;
    return piece;
}

void CFileTypeCatalogueData::SplitInto(Piece text, bool descriptions, PieceList& list) const {
    const std::u16string_view view = TextOf(text);
    const auto add = [&](size_t start, size_t end) {
        list.push_back(Piece{uint32_t(text.offset + start), uint32_t(end - start), text.extra});
    };
    if (!descriptions) {
        if (view.empty()) return;
        size_t start = 0;
        for (size_t at = VnFindChar(view, u';'); at != std::u16string_view::npos; at = VnFindChar(view, u';', start)) {
            add(start, at);
            start = at + 1;
        }
        add(start, view.size());
        return;
    }
    // A description keeps its own ";"-separated extensions ("AIFF Audio (aif;aiff)").
    int depth = 0;
    size_t start = 0;
    VnForEachOneOf(view, u"();", [&](size_t i) {
        if (view[i] == u'(') ++depth;
        else if (view[i] == u')' && depth > 0) --depth;
        else if (view[i] == u';' && depth == 0) {
            add(start, i);
            start = i + 1;
        }
    });
    add(start, view.size());  // the end closes the last description, parentheses or not
}

// Step 4 of loading: the types of installed input plug-ins join list 9 (and
// their descriptions list 1) right after list 9 was read.
void CFileTypeCatalogueData::AddInputPluginTypes(IInputPluginNames& plugins) {
    FoldedSet known;
    for (Piece type : lists_[kProgramTypes]) known.insert(Folded(TextOf(type)));
    for (const VnString& name : plugins.GetInputPluginNames()) {
        if (name.IsEmpty() || name.EqualsNoCase(u"MPP") || name.EqualsNoCase(u"AUDIOTEST")) continue;
        const std::u16string lower = Folded(name);
        if (known.count(lower) || !plugins.CanReadPluginRecord(name)) continue;
        known.insert(lower);
        lists_[kAudioDescriptions].push_back(AddExtra(VnString::Format(u"%s (%s)", name, VnString(lower))));
        lists_[kProgramTypes].push_back(AddExtra(lower));
    }
}

FileTypeCatalogueReadResult CFileTypeCatalogueData::Read(const VnString& text, const FileTypeCatalogueInputs& inputs) {
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
    source_ = document.GetDoc();
    const char16_t* const base = source_.c_str();
    // Text that needs no resolving is used where it stands; the rest is
    // resolved into extra_.
    const auto plainOrExtra = [&](std::u16string_view raw, bool isContent, const auto& resolve) {
        if (VnFindChar(raw, u'&') == std::u16string_view::npos &&
            (!isContent || VnFindChar(raw, u'<') == std::u16string_view::npos))
            return Piece{uint32_t(raw.data() - base), uint32_t(raw.size()), 0};
        const size_t from = extra_.size();
        resolve();
        return Piece{uint32_t(from), uint32_t(extra_.size() - from), 1};
    };

    for (int index = 1; index < kFileTypeListCount; ++index) {
        document.ResetPos();
        if (document.FindElem(kListPaths[index])) {
            const Piece listText = plainOrExtra(document.GetRawContent(), true, [&] { document.AppendData(extra_); });
            SplitInto(listText, index <= kUnknownDescriptions, lists_[index]);
        }
        if (index == kProgramTypes && inputs.plugins) AddInputPluginTypes(*inputs.plugins);
    }
    if (!inputs.productDefaultFileTypes.IsEmpty()) {
        lists_[kDefaultFileTypes].clear();
        SplitInto(AddExtra(inputs.productDefaultFileTypes), false, lists_[kDefaultFileTypes]);
        lists_[kDefaultAssocFileTypes] = lists_[kDefaultFileTypes];
    }
    if (!inputs.productDefaultAssocFileTypes.IsEmpty()) {
        lists_[kDefaultAssocFileTypes].clear();
        SplitInto(AddExtra(inputs.productDefaultAssocFileTypes), false, lists_[kDefaultAssocFileTypes]);
    }

    for (PieceList& list : lists_)
        std::erase_if(list, [&](Piece piece) { return IsNeverListed(TextOf(piece)); });
    for (int index = kAudioDescriptions; index <= kUnknownDescriptions; ++index)
        lists_[kAllDescriptions].insert(lists_[kAllDescriptions].end(), lists_[index].begin(), lists_[index].end());

    document.ResetPos();
    if (document.FindElem(u"/*/MimeAssociations") && document.IntoElem()) {
        while (document.FindElem()) {
            mimeGroups_.Add(document.GetTagName());
            const int32_t group = mimeGroups_.GetSize() - 1;
            while (document.FindChildElem()) {
                MimeRecord record;
                record.group = group;
                std::u16string_view name;
                if (document.GetChildRawAttrib(u"Name", name))
                    record.name = plainOrExtra(name, false, [&] { VnXmlDocument::AppendUnescaped(name, extra_); });
                record.types = plainOrExtra(document.GetChildRawContent(), true, [&] { document.AppendChildData(extra_); });
                mimeRecords_.push_back(record);
            }
        }
    }
    mimeByName_.resize(mimeRecords_.size());
    for (uint32_t i = 0; i < mimeByName_.size(); ++i) mimeByName_[i] = i;
    std::stable_sort(mimeByName_.begin(), mimeByName_.end(), [&](uint32_t a, uint32_t b) {
        return VnString::CompareNoCase(TextOf(mimeRecords_[a].name), TextOf(mimeRecords_[b].name)) < 0;
    });
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
    VnStringArray strings;
    strings.Reserve(int32_t(lists_[index].size()));
    for (Piece entry : lists_[index]) strings.Add(VnString(TextOf(entry)));
    return strings;
}

VnStringArray CFileTypeCatalogueData::GetHandledDescriptions() const {
    FoldedSet engineTypes;
    for (int index = kProgramTypes; index <= kOtherTypes; ++index)
        for (Piece type : lists_[index]) engineTypes.insert(Folded(TextOf(type)));
    VnStringArray handled;
    for (const VnString& description : GetList(kAllDescriptions, false)) {
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
        for (Piece entry : lists_[index])
            if (extensions[i].EqualsNoCase(TextOf(entry))) return i;
    return -1;
}

CMimeInfo CFileTypeCatalogueData::FindMimeInfo(const VnString& extension) const {
    std::u16string_view name = extension.View();
    if (!name.empty() && name.front() == u'.') name.remove_prefix(1);
    if (name.empty()) return CMimeInfo();
    // The first record of that name in file order: the first of its equals.
    const auto found = std::lower_bound(mimeByName_.begin(), mimeByName_.end(), name, [&](uint32_t record, std::u16string_view wanted) {
        return VnString::CompareNoCase(TextOf(mimeRecords_[record].name), wanted) < 0;
    });
    if (found == mimeByName_.end() || VnString::CompareNoCase(TextOf(mimeRecords_[*found].name), name) != 0)
        return CMimeInfo();
    return MakeMimeInfo(mimeRecords_[*found]);
}

CMimeInfo CFileTypeCatalogueData::MakeMimeInfo(const MimeRecord& record) const {
    return CMimeInfo{VnString(TextOf(record.name)), VnString(TextOf(record.types)), mimeGroups_[record.group]};
}

VnCoreArray<CMimeInfo> CFileTypeCatalogueData::MimeInfos() const {
    VnCoreArray<CMimeInfo> infos;
    for (const MimeRecord& record : mimeRecords_) infos.Add(MakeMimeInfo(record));
    return infos;
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
