// The file type catalogue as data: the fifteen lists and the MIME records read
// from the text of "FileAssociations.xml" (root "PMFA"), and the queries the
// association page and the association writer make on them. Pure text: where
// the file lies, the one shared instance and the failure message are in
// FileTypeCatalogue.h. The format is described in docs/file-type-catalogue.md.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "VnArray.h"
#include "VnString.h"

// The fifteen lists, by index.
enum FileTypeList : int {
    kAllDescriptions = 0,        // lists 1 to 6 concatenated, built after loading
    kAudioDescriptions = 1,      // "DescriptionTypes/Audio"
    kImageDescriptions = 2,      // "DescriptionTypes/Image"
    kVideoDescriptions = 3,      // "DescriptionTypes/Video"
    kDataDescriptions = 4,       // "DescriptionTypes/Data"
    kPlaylistDescriptions = 5,   // "DescriptionTypes/Playlist"
    kUnknownDescriptions = 6,    // "DescriptionTypes/Unknown"
    kDefaultFileTypes = 7,       // "DefaultFileTypes"
    kDefaultAssocFileTypes = 8,  // "DefaultAssocFileTypes"
    kProgramTypes = 9,           // "PMTypes": the program's own engine (and its input plug-ins)
    kImageTypes = 10,            // "IMGTypes"
    kDXTypes = 11,               // "DXTypes"
    kRPTypes = 12,               // "RPTypes"
    kQTTypes = 13,               // "QTTypes"
    kOtherTypes = 14,            // "OTTypes"
    kFileTypeListCount = 15,
};

// The product features that gate lists in GetList(index, true).
constexpr int kFeatureImageTypes = 18;   // lists 2 and 10
constexpr int kFeatureVideoTypes = 19;   // list 3
constexpr int kFeatureDataTypes = 20;    // list 4
constexpr int kFeatureOtherEngine = 2;   // list 14

// One MIME record: an extension without dot, its ";"-separated MIME types and
// the name of the group element it stood in.
struct CMimeInfo {
    VnString name;
    VnString types;
    VnString group;
};

// The installed input plug-ins whose types the program's engine opens.
class IInputPluginNames {
public:
    virtual ~IInputPluginNames() = default;
    // The names as registered, in registry order.
    virtual VnStringArray GetInputPluginNames() = 0;
    // Whether the plug-in record of that name can be read.
    virtual bool CanReadPluginRecord(const VnString& name) = 0;
};

// What the reader takes from outside the file.
struct FileTypeCatalogueInputs {
    IInputPluginNames* plugins = nullptr;   // none: no plug-in types
    VnString productDefaultFileTypes;       // "/*/Product/DefaultFileTypes" of the product
    VnString productDefaultAssocFileTypes;  // "/*/Product/DefaultAssocFileTypes"
    std::function<bool(int)> hasFeature;    // none: every feature is absent
};

// Why a text did not load, and the version text that was read ("Unknown"
// when the root has no "version").
struct FileTypeCatalogueReadResult {
    bool loaded = false;
    VnString versionText;
    VnString problem;
};

class CFileTypeCatalogueData {
public:
    // Replaces everything with what the text holds. On failure every list is
    // empty and there are no MIME records (the documented defaults).
    FileTypeCatalogueReadResult Read(const VnString& text, const FileTypeCatalogueInputs& inputs);

    // A copy of list `index` (0 to 14; any other index: empty). With
    // respectFeatures a list whose product feature is absent comes back empty.
    VnStringArray GetList(int index, bool respectFeatures) const;
    // List 0 less every description none of whose extensions is in lists 9 to 14.
    VnStringArray GetHandledDescriptions() const;
    // Position of the first of `extensions` found in list `index` (any case), or -1.
    int IsInList(const VnStringArray& extensions, int index) const;
    // The record named by the extension (any case, a leading "." ignored); empty when none.
    CMimeInfo FindMimeInfo(const VnString& extension) const;
    // The MIME types of the extension; with `wildcard` each as its family ("audio/*").
    VnStringArray GetExtensionMimeTypes(const VnString& extension, bool wildcard) const;
    // Every MIME record, in the order of the file.
    VnCoreArray<CMimeInfo> MimeInfos() const;

    // The extensions of the descriptions, in order, each once (any case).
    static VnStringArray GetExtensions(const VnStringArray& descriptions);
    // The extensions of one description: the text inside its last " (" ... ")",
    // split on ";", in lower case; a description without that part is its own list.
    static VnStringArray GetDescriptionExtensions(const VnString& description);

private:
    // An entry of a list, or a field of a MIME record: a piece of the
    // document's text where that needs no resolving (the common case), or of
    // `extra_` (resolved texts, the product's lists, plug-in types).
    // Strings are made only when asked for: a catalogue of 10,000 types
    // then costs a handful of allocations to read instead of some 60,000.
    struct Piece {
        uint32_t offset = 0;
        uint32_t length : 31 = 0;
        uint32_t extra : 1 = 0;
    };
    using PieceList = std::vector<Piece>;
    struct MimeRecord {
        Piece name, types;
        int32_t group = 0;  // index into mimeGroups_
    };
    std::u16string_view TextOf(Piece piece) const {
        return (piece.extra ? std::u16string_view(extra_) : source_.View()).substr(piece.offset, piece.length);
    }

    void Clear();
    CMimeInfo MakeMimeInfo(const MimeRecord& record) const;
    Piece AddExtra(std::u16string_view text);
    // The pieces of a list text: cut at every ";", or for descriptions at
    // the ";" outside parentheses only.
    void SplitInto(Piece text, bool descriptions, PieceList& list) const;
    void AddInputPluginTypes(IInputPluginNames& plugins);

    VnString source_;      // the document's text, shared with it
    std::u16string extra_;
    PieceList lists_[kFileTypeListCount];
    std::vector<MimeRecord> mimeRecords_;
    // mimeRecords_'s positions sorted by name (any case; records of one name
    // in file order), so FindMimeInfo answers without scanning every record.
    std::vector<uint32_t> mimeByName_;
    VnStringArray mimeGroups_;
    std::function<bool(int)> hasFeature_;
};
