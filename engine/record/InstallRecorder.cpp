#include "InstallRecorder.h"

#include "InstallRecorderParts.h"

namespace {

CInstallRecorder* g_active = nullptr;

// Without a "\\?\" prefix, for comparing and recording.
VnString PlainPath(const VnString& path) { return path.StartsWith(u"\\\\?\\") ? path.Mid(4) : path; }

bool IsBelow(const VnString& path, const VnString& folder) {
    if (folder.IsEmpty()) return false;
    VnString base = folder;
    base.TrimRight(u'\\');
    return path.StartsWithNoCase(base.View()) &&
           (path.GetLength() == base.GetLength() || path[base.GetLength()] == u'\\');
}

// The kind and the lower-case path as bytes, one a character for ASCII and
// 0xFF and two bytes for any other (so distinct paths stay distinct, even
// with lone surrogates).
std::string Folded(char kind, const VnString& identity) {
    // Folded a character at a time into the key, without a folded copy of the string.
    const VnStringGlobals& g = VnStringGlobals::Get();
    std::string folded;
    folded.reserve(size_t(identity.GetLength()) + 1);
    folded += kind;
    for (char16_t c : identity.View()) {
        c = g.Fold(c);
        if (c < 0x80) folded += char(c);
        else folded += {char(0xFF), char(c & 0xFF), char(c >> 8)};
    }
    return folded;
}

// The complete lines of the record at `path` after its header; false when
// there is no readable record.
bool ReadRecordLines(IVnFiles& files, const VnString& path, std::string& lines) {
    constexpr size_t kHeaderLength = sizeof(kInstallRecordHeader) - 1;
    if (files.ReadFile(path, lines) != vnwin::kErrorSuccess || lines.compare(0, kHeaderLength, kInstallRecordHeader) != 0) {
        lines.clear();
        return false;
    }
    lines.erase(lines.rfind('\n') + 1);  // a line an interrupted install did not end
    lines.erase(0, kHeaderLength);
    return true;
}

}  // namespace

CInstallRecorder::CInstallRecorder(IVnPlatform& inner, const VnStringArray& excludedFolders,
                                   const VnStringArray& excludedUserKeys)
    : inner_(inner), excludedFolders_(excludedFolders), excludedUserKeys_(excludedUserKeys) {
    registry_ = MakeRecordingRegistry(inner.Registry(), *this);
    files_ = MakeRecordingFiles(inner.Files(), *this);
    shell_ = MakeRecordingShell(inner.Shell(), *this);
    previousActive_ = g_active;
    g_active = this;
}

CInstallRecorder::~CInstallRecorder() {
    if (file_) inner_.Files().CloseFile(file_);
    g_active = previousActive_;
}

CInstallRecorder* CInstallRecorder::Active() { return g_active; }

IVnRegistry& CInstallRecorder::Registry() { return *registry_; }
IVnFiles& CInstallRecorder::Files() { return *files_; }
IVnShell& CInstallRecorder::Shell() { return *shell_; }

uint32_t CInstallRecorder::StartRecordFile(const VnString& installFolder, const VnString& productVersion,
                                           const VnString& takenOver) {
    if (file_) return vnwin::kErrorAlreadyExists;
    recordPath_ = installFolder + kInstallRecordFileName;
    // An earlier install into this folder keeps its lines: the uninstaller
    // needs what the machine held before the first of them.
    std::string kept, earlier;
    ReadRecordLines(inner_.Files(), recordPath_, kept);
    VnString earlierFolder = takenOver;
    if (!earlierFolder.IsEmpty() && !earlierFolder.EndsWith(u"\\")) earlierFolder += u"\\";
    if (!earlierFolder.IsEmpty() && !earlierFolder.EqualsNoCase(installFolder) &&
        ReadRecordLines(inner_.Files(), earlierFolder + kInstallRecordFileName, earlier)) {
        InstallRecordEntry line;
        line.kind = InstallRecordKind::Earlier;
        line.path = earlierFolder;
        const std::string earlierLine = FormatInstallRecordLine(line);
        if (("\n" + kept).find("\n" + earlierLine) == std::string::npos) kept = earlierLine + earlier + kept;
    }
    kept.insert(0, kInstallRecordHeader);
    InstallRecordEntry install;
    install.path = productVersion;
    kept += FormatInstallRecordLine(install) + held_;
    held_.clear();
    if (uint32_t error = inner_.Files().CreateFileForWriting(recordPath_, file_, true)) {
        file_ = 0;
        return error;
    }
    return inner_.Files().WriteToFile(file_, kept.data(), uint32_t(kept.size()));
}

void CInstallRecorder::Append(const InstallRecordEntry& entry) {
    const std::string line = FormatInstallRecordLine(entry);
    if (file_) inner_.Files().WriteToFile(file_, line.data(), uint32_t(line.size()));
    else held_ += line;
}

bool CInstallRecorder::FirstTime(char kind, const VnString& identity) {
    return seen_.Insert(Folded(kind, identity));
}

bool CInstallRecorder::IsExcludedPath(const VnString& path) const {
    const VnString plain = PlainPath(path);
    if (!recordPath_.IsEmpty() && plain.EqualsNoCase(recordPath_)) return true;
    for (const VnString& folder : excludedFolders_)
        if (IsBelow(plain, folder)) return true;
    return false;
}

bool CInstallRecorder::IsExcludedKey(VnRegRoot root, const VnString& path) const {
    if (root != VnRegRoot::CurrentUser) return false;
    for (const VnString& key : excludedUserKeys_)
        if (IsBelow(path, key)) return true;
    return false;
}

void CInstallRecorder::NotePath(InstallRecordKind kind, const VnString& path, bool replaced,
                                const VnString& detail) {
    VnString plain = PlainPath(path);
    if (kind == InstallRecordKind::Folder) plain.TrimRight(u'\\');
    if (!FirstTime(char(kind), plain)) return;
    InstallRecordEntry entry;
    entry.kind = kind;
    entry.path = plain;
    entry.replaced = replaced;
    entry.detail = detail;
    Append(entry);
}

void CInstallRecorder::NoteFolder(const VnString& path) { NotePath(InstallRecordKind::Folder, path, false, VnString()); }

void CInstallRecorder::NoteFile(const VnString& path, bool existedBefore, const VnString& replacedVersion) {
    NotePath(InstallRecordKind::File, path, existedBefore, replacedVersion);
}

void CInstallRecorder::NoteLink(const VnString& path) { NotePath(InstallRecordKind::Link, path, false, VnString()); }

void CInstallRecorder::NoteKey(VnRegRoot root, uint32_t view, const VnString& path) {
    InstallRecordEntry entry;
    entry.kind = InstallRecordKind::Key;
    entry.root = root;
    entry.view = view;
    entry.path = path;
    Append(entry);
}

void CInstallRecorder::NoteValue(VnRegRoot root, uint32_t view, const VnString& path, const VnString& name,
                                 const RecordedValueData& before, const RecordedValueData& after) {
    if (before == after) return;  // nothing changed
    InstallRecordEntry entry;
    entry.kind = InstallRecordKind::Value;
    entry.root = root;
    entry.view = view;
    entry.path = path;
    entry.valueName = name;
    entry.before = before;
    entry.after = after;
    Append(entry);
}

void CInstallRecorder::NoteComponent(const VnString& path, const char16_t* how) {
    NotePath(InstallRecordKind::Component, path, false, how);
}

void RecordInstalledComponent(const VnString& path, const char16_t* how) {
    if (CInstallRecorder* recorder = CInstallRecorder::Active()) recorder->NoteComponent(path, how);
}
