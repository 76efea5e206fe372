// The download of a dependency's set-up program through the product's reader
// library: straight to disk in blocks, the bar moving and the window alive
// after each block, Cancel honoured between blocks. Every failure ends in
// one message box, and a partial file never stays behind.
#include <iterator>

#include "DependenciesText.h"
#include "EngineLog.h"
#include "InstallDependency.h"
#include "InternetReader.h"
#include "ProcessInformationBlock.h"
#include "VnFileSystem.h"
#include "VnLibrary.h"
#include "ToolsLink.h"

namespace {

constexpr char16_t kSource[] = u"DownloadFile";
constexpr char16_t kReaderLibrary[] = u"VnReader.dll";
constexpr int32_t kBlockSize = 4096;
constexpr int64_t kUnknownLengthStep = 64 * 1024;  // bytes per bar step when the length is not known

void ShowDownloadMessage(const VnString& text) {
    EngineLog(kSource, text);
    if (ToolsInterface* tools = VnTools()) tools->ShowMessage(text, DependencyText(u"Download Error"));
}

// "Failed to download from \n<address>\n<what>\n<status code and text>."
VnString FourPartMessage(const VnString& address, const VnString& what, const VnString& status) {
    return VnString::Format(u"%s \n%s\n%s\n%s.", DependencyText(u"Failed to download from"), address, what, status);
}

VnString Header(InternetReader& reader, const char16_t* name) {
    char16_t buffer[512];
    const int32_t length = reader.GetHeader(name, buffer, int32_t(std::size(buffer)));
    return length < 0 ? VnString() : VnString(buffer);
}

// The product's reader library: in the product's module folder of the
// set-up, where the tools library came from; by its bare name otherwise.
VnString ReaderLibraryPath() {
    const VnString folder = ProcessInformationBlock::Get().GetModuleFolder();
    const VnString path = NormaliseFolder(folder) + kReaderLibrary;
    return !folder.IsEmpty() && VnFileSystem::FileExists(path) ? path : VnString(kReaderLibrary);
}

// Owns a reader for the length of the download.
struct ReaderHolder {
    InternetReader* reader;
    ~ReaderHolder() {
        if (reader) reader->Release();
    }
};

}  // namespace

bool CInstallDependencies::DownloadFile(const VnString& address, const VnString& destination) {
    ToolsLogScope scope(VnToolsLog(), kSource);
    scope.Write(VnString::Format(u"%s -> %s", address, destination));
    const auto report = [this](const VnString& text) {
        if (!messageSink_) return ShowDownloadMessage(text);
        EngineLog(kSource, text);
        messageSink_(text);
    };
    VnLibraryHolder library;
    VnLoadLibrary(ReaderLibraryPath(), kVnLoadLibraryLogFailure, library);
    auto create = reinterpret_cast<CreateInternetReaderFn>(library.Function(kCreateInternetReaderExport));
    ReaderHolder holder{create ? create(address.c_str()) : nullptr};
    if (!holder.reader) {
        report(VnString::Format(DependencyText(u"Failed to download from \n%s\nInternet reader not found.").View(), address));
        return false;
    }
    InternetReader& reader = *holder.reader;
    const bool opened = reader.Open();
    const VnString status = Header(reader, u"StatusCode") + u" " + Header(reader, u"StatusText");
    if (!opened) {
        report(FourPartMessage(address, DependencyText(u"Server returned"), status));
        return false;
    }

    VnFileSystem::MakeDirectoryTree(FolderOf(destination));
    IVnFiles& files = VnPlatform().Files();
    VnHandle file = 0;
    if (uint32_t error = files.CreateFileForWriting(destination, file)) {
        scope.Write(VnString::Format(u"Creating %s failed, error %d", destination, error));
        report(FourPartMessage(address, DependencyText(u"Can not create file"), status));
        return false;
    }

    const int64_t total = reader.GetTotalLength();
    page_.SetProgressRange(0, 100);
    page_.SetProgressPosition(0);
    char block[kBlockSize];
    int64_t received = 0;
    VnString failure;
    for (;;) {
        const int32_t count = reader.Read(block, kBlockSize);
        if (count == 0) break;
        if (count < 0) {
            failure = DependencyText(u"Failed to download from \n%s\nInternet error.");
            scope.Write(u"Read failed: " + Header(reader, u"StatusText"));
            break;
        }
        if (uint32_t error = files.WriteToFile(file, block, uint32_t(count))) {
            scope.Write(VnString::Format(u"Writing %s failed, error %d", destination, error));
            failure = DependencyText(u"Failed to download from \n%s\nInternet error.");
            break;
        }
        received += count;
        page_.SetProgressPosition(total > 0 ? int(received * 100 / total) : int((received / kUnknownLengthStep) % 101));
        PumpMessages();
        if (page_.IsCancelRequested()) {
            cancelled_ = true;
            failure = DependencyText(u"Downloading of setup file was canceled.");
            break;
        }
    }
    files.CloseFile(file);
    if (failure.IsEmpty()) {
        scope.Write(VnString::Format(u"%d bytes", static_cast<long long>(received)));
        return true;
    }
    VnFileSystem::DeleteFile(destination);
    report(cancelled_ ? failure : VnString::Format(failure.View(), address));
    return false;
}
