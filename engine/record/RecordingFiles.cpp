// Files and shell links as the recorder sees them: a folder created, a file
// created or replaced (by a copy, a move, a write, or a move that waits for
// the restart), a link saved.
#include "InstallRecorder.h"
#include "InstallRecorderParts.h"

namespace {

class RecordingFiles : public IVnFiles {
public:
    RecordingFiles(IVnFiles& inner, CInstallRecorder& recorder) : inner_(inner), recorder_(recorder) {}

    uint32_t GetFileAttributes(const VnString& path) override { return inner_.GetFileAttributes(path); }
    uint32_t GetAttributesError(const VnString& path) override { return inner_.GetAttributesError(path); }
    uint32_t SetFileAttributes(const VnString& path, uint32_t attributes) override {
        return inner_.SetFileAttributes(path, attributes);
    }
    uint32_t CreateDirectory(const VnString& path) override {
        uint32_t error = inner_.CreateDirectory(path);
        if (!error && !recorder_.IsExcludedPath(path)) recorder_.NoteFolder(path);
        return error;
    }
    uint32_t RemoveDirectory(const VnString& path) override { return inner_.RemoveDirectory(path); }
    uint32_t DeleteFile(const VnString& path) override { return inner_.DeleteFile(path); }
    uint32_t CopyFile(const VnString& from, const VnString& to, bool failIfExists) override {
        // A copy that may not overwrite has made a new file when it succeeds:
        // nothing was there to look at first.
        if (failIfExists) return Creating(to, [&] { return inner_.CopyFile(from, to, true); });
        return Writing(to, [&] { return inner_.CopyFile(from, to, false); });
    }
    uint32_t MoveFile(const VnString& from, const VnString& to) override {
        return Writing(to, [&] { return inner_.MoveFile(from, to); });
    }
    uint32_t MoveFileEx(const VnString& from, const VnString& to, uint32_t flags) override {
        if (to.IsEmpty()) return inner_.MoveFileEx(from, to, flags);  // a deletion
        return Writing(to, [&] { return inner_.MoveFileEx(from, to, flags); });
    }
    uint32_t CreateSymbolicLink(const VnString& link, const VnString& target, bool folder) override {
        uint32_t error = inner_.CreateSymbolicLink(link, target, folder);
        if (!error && !recorder_.IsExcludedPath(link)) recorder_.NoteLink(link);
        return error;
    }
    uint32_t FindFiles(const VnString& pattern, VnCoreArray<VnFindData>& found) override {
        return inner_.FindFiles(pattern, found);
    }
    uint32_t GetFileSize(const VnString& path, uint64_t& size) override { return inner_.GetFileSize(path, size); }
    uint32_t ReadFile(const VnString& path, std::string& bytes, uint64_t offset, uint64_t maxBytes) override {
        return inner_.ReadFile(path, bytes, offset, maxBytes);
    }
    uint32_t WriteFile(const VnString& path, const std::string& bytes) override {
        return Writing(path, [&] { return inner_.WriteFile(path, bytes); });
    }
    uint32_t CreateFileForWriting(const VnString& path, VnHandle& file, bool shareRead) override {
        return Writing(path, [&] { return inner_.CreateFileForWriting(path, file, shareRead); });
    }
    uint32_t WriteToFile(VnHandle file, const void* data, uint32_t size) override {
        return inner_.WriteToFile(file, data, size);
    }
    void CloseFile(VnHandle file) override { inner_.CloseFile(file); }
    uint32_t GetDiskFreeSpace(const VnString& rootPath, VnDiskSpace& space) override {
        return inner_.GetDiskFreeSpace(rootPath, space);
    }
    uint32_t GetFileVersion(const VnString& path, uint32_t& versionMS, uint32_t& versionLS) override {
        return inner_.GetFileVersion(path, versionMS, versionLS);
    }
    uint16_t GetPeMachine(const VnString& path) override { return inner_.GetPeMachine(path); }
    VnString GetPrivateProfileString(const VnString& path, const VnString& section, const VnString& key,
                                     const VnString& defaultValue, uint32_t bufferChars) override {
        return inner_.GetPrivateProfileString(path, section, key, defaultValue, bufferChars);
    }

private:
    // Runs a write of `path`; when it succeeds the file is recorded, as
    // replaced (with the version the file had) when it was there before.
    template <typename Write>
    uint32_t Writing(const VnString& path, Write write) {
        if (recorder_.IsExcludedPath(path)) return write();
        const uint32_t attributes = inner_.GetFileAttributes(path);
        const bool existed = attributes != vnwin::kInvalidFileAttributes;
        VnString version;
        uint32_t ms = 0, ls = 0;
        if (existed && inner_.GetFileVersion(path, ms, ls) == vnwin::kErrorSuccess && (ms || ls))
            version = VnString::Format(u"%u.%u.%u.%u", ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF);
        uint32_t error = write();
        if (!error) recorder_.NoteFile(path, existed, version);
        return error;
    }

    template <typename Create>
    uint32_t Creating(const VnString& path, Create create) {
        const uint32_t error = create();
        if (!error && !recorder_.IsExcludedPath(path)) recorder_.NoteFile(path, false, VnString());
        return error;
    }

    IVnFiles& inner_;
    CInstallRecorder& recorder_;
};

class RecordingShell : public IVnShell {
public:
    RecordingShell(IVnShell& inner, CInstallRecorder& recorder) : inner_(inner), recorder_(recorder) {}
    void ChangeNotify(uint32_t eventId, uint32_t flags) override { inner_.ChangeNotify(eventId, flags); }
    uint32_t CreateShellLink(const VnString& linkPath, const VnShellLink& link) override {
        uint32_t error = inner_.CreateShellLink(linkPath, link);
        if (!error && !recorder_.IsExcludedPath(linkPath)) recorder_.NoteLink(linkPath);
        return error;
    }
    int MessageBox(const VnString& text, const VnString& title, uint32_t type) override {
        return inner_.MessageBox(text, title, type);
    }
    int MessageBoxWithButtons(const VnString& text, const VnString& title, const VnStringArray& labels) override {
        return inner_.MessageBoxWithButtons(text, title, labels);
    }
    uint32_t RestartWindows(uint32_t flags, uint32_t reason) override { return inner_.RestartWindows(flags, reason); }

private:
    IVnShell& inner_;
    CInstallRecorder& recorder_;
};

}  // namespace

std::unique_ptr<IVnFiles> MakeRecordingFiles(IVnFiles& inner, CInstallRecorder& recorder) {
    return std::make_unique<RecordingFiles>(inner, recorder);
}
std::unique_ptr<IVnShell> MakeRecordingShell(IVnShell& inner, CInstallRecorder& recorder) {
    return std::make_unique<RecordingShell>(inner, recorder);
}
