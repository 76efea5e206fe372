#include "Uninstaller.h"

#include <algorithm>
#include <set>
#include <string>

#include "AssociationGiveBack.h"
#include "CompanionRegistration.h"
#include "InstallRecord.h"
#include "ToolsProductFile.h"
#include "UninstallPlaces.h"
#include "UninstallPlan.h"
#include "VnPlatform.h"

namespace {

bool Gone(uint32_t error) { return error == vnwin::kErrorFileNotFound || error == vnwin::kErrorPathNotFound; }

std::u16string Folded(const VnString& text) {
    VnString lower = text;
    lower.MakeLower();
    return std::u16string(lower.View());
}

int Depth(const VnString& path) {
    int depth = 0;
    for (char16_t c : path.View()) depth += c == u'\\';
    return depth;
}

class Uninstall {
public:
    explicit Uninstall(const UninstallRequest& request)
        : request_(request),
          places_(request.installFolder, request.product.dataFolder),
          files_(VnPlatform().Files()),
          registry_(VnPlatform().Registry()) {}

    UninstallOutcome Run() {
        VnString why;
        if (!places_.InstallFolderIsSafe(why))
            return Fail(VnString::Format(u"The folder \"%s\" is not one to uninstall from: %s.", request_.installFolder, why));
        const VnString recordPath = places_.InstallFolder() + kInstallRecordFileName;
        std::string text;
        if (uint32_t error = files_.ReadFile(recordPath, text))
            return Fail(VnString::Format(u"The installation record \"%s\" cannot be read (error %u).", recordPath, error));
        const InstallRecordText record = ParseInstallRecord(text);
        for (const std::string& problem : record.problems)
            Log(VnString::Format(u"Record: %s", VnString::FromUtf8(problem)));
        if (!record.headerFound)
            return Fail(VnString::Format(u"\"%s\" is not an installation record.", recordPath));
        plan_ = PlanUninstall(record.entries);
        for (const PlannedFile& file : plan_.files) planned_.insert(Folded(file.path));
        planned_.insert(Folded(recordPath));
        for (const VnString& earlier : plan_.earlierFolders)
            if (!places_.AddEarlierInstallFolder(earlier, why)) Refuse(earlier, why);
        for (const VnString& earlier : places_.EarlierInstallFolders())
            planned_.insert(Folded(earlier + kInstallRecordFileName));

        const int steps = 9;
        int step = 0;
        auto next = [&](const char16_t* what) {
            if (request_.progress) request_.progress(step++, steps, VnString(what));
        };
        next(u"Unregistering components"), UnregisterComponents();
        next(u"Removing shortcuts"), RemoveLinks();
        next(u"Removing files"), RemoveFiles();
        next(u"Restoring registry values"), RestoreValues();
        next(u"Giving file types back to their programs"), GiveBackFileTypes();
        next(u"Removing registry keys"), RemoveKeys();
        next(u"Removing the installation's registration"), RemoveSettings(), RemoveInstallationRecord(),
            RemoveEmptyCompanyKeys();
        next(u"Removing the uninstaller"), RemoveRecordAndSelf(recordPath);
        next(u"Removing folders"), RemoveFolders();
        if (request_.progress) request_.progress(steps, steps, VN_LIT(u"Done"));
        outcome_.exitCode = !outcome_.notRemoved.IsEmpty()  ? kUninstallFailed
                            : !outcome_.atRestart.IsEmpty() ? kUninstallRestartNeeded
                                                            : kUninstallDone;
        return std::move(outcome_);
    }

private:
    UninstallOutcome Fail(const VnString& why) {
        outcome_.failure = why;
        Log(why);
        outcome_.exitCode = kUninstallFailed;
        return std::move(outcome_);
    }
    void Log(const VnString& line) { outcome_.log.Add(line); }
    void Refuse(const VnString& what, const VnString& why) {
        outcome_.refused.Add(VnString::Format(u"%s (%s)", what, why));
        Log(VnString::Format(u"Refused: %s: %s", what, why));
    }

    // Where a path of the record lies; what is refused is logged.
    UninstallPlace Place(const VnString& path, bool isLink) {
        VnString why;
        const UninstallPlace place = places_.Classify(path, isLink, why);
        if (place == UninstallPlace::Refused) Refuse(path, why);
        return place;
    }
    bool Removable(UninstallPlace place) const {
        return place == UninstallPlace::Program || place == UninstallPlace::Link ||
               (place == UninstallPlace::ProgramData && request_.removeSettings);
    }

    void UnregisterComponents() {
        for (const PlannedComponent& component : plan_.components) {
            if (Place(component.path, false) != UninstallPlace::Program) continue;  // shared files stay registered
            if (files_.GetFileAttributes(component.path) == vnwin::kInvalidFileAttributes) continue;
            uint32_t result = 0;
            if (component.how == kComponentRegSvr32 || component.how == kComponentRegSvr32x64)
                result = RunRegSvr32(component.path, component.how == kComponentRegSvr32x64);
            else
                result = RegisterComponentInProcess(component.path, false);
            Log(VnString::Format(u"Unregistered %s (%s): result %u", component.path, component.how, result));
        }
    }

    uint32_t RunRegSvr32(const VnString& path, bool use64Bit) {
        IVnSystem& system = VnPlatform().System();
        const bool redirectionOff = use64Bit && system.IsWow64Process() && system.EnableWow64FsRedirection(false);
        IVnProcesses& processes = VnPlatform().Processes();
        VnHandle process = 0;
        uint32_t result = processes.StartProgram(system.GetSystemDirectory() + u"\\RegSvr32.exe",
                                                 VnString::Format(u"/s /u \"%s\"", path), VnStartOptions(), process);
        if (redirectionOff) system.EnableWow64FsRedirection(true);
        if (!result && process) {
            processes.WaitForProcess(process, vnwin::kInfinite);
            processes.GetExitCodeProcess(process, result);
            processes.CloseHandle(process);
        }
        return result;
    }

    void RemoveLinks() {
        for (const VnString& link : plan_.links)
            if (Removable(Place(link, true))) RemoveFile(link);
    }

    void RemoveFiles() {
        for (const PlannedFile& file : plan_.files) {
            if (file.path.EqualsNoCase(request_.uninstallerPath)) continue;  // last, after the record
            const UninstallPlace place = Place(file.path, false);
            if (place == UninstallPlace::Shared) {
                Log(VnString::Format(u"Kept (other programs may use it): %s", file.path));
                continue;
            }
            if (Removable(place)) RemoveFile(file.path);
        }
    }

    // Deletes a file; a read-only one is made writable first, one in use is
    // left for the next restart. `mayWait`: a file that waits for the
    // restart is a reason to ask for one.
    void RemoveFile(const VnString& path, bool mayWait = true) {
        uint32_t error = files_.DeleteFile(path);
        if (error == vnwin::kErrorAccessDenied) {
            const uint32_t attributes = files_.GetFileAttributes(path);
            if (attributes != vnwin::kInvalidFileAttributes && (attributes & vnwin::kFileAttributeReadOnly)) {
                files_.SetFileAttributes(path, attributes & ~vnwin::kFileAttributeReadOnly);
                error = files_.DeleteFile(path);
            }
        }
        if (!error) {
            ++outcome_.removed;
            Log(VnString::Format(u"Removed %s", path));
            return;
        }
        if (Gone(error)) return;
        if (files_.MoveFileEx(path, VnString(), vnwin::kMoveFileDelayUntilReboot) == vnwin::kErrorSuccess) {
            waitingForRestart_.insert(Folded(path));
            if (mayWait) outcome_.atRestart.Add(path);
            Log(VnString::Format(u"In use (error %u), removed at the next restart: %s", error, path));
            return;
        }
        outcome_.notRemoved.Add(path);
        Log(VnString::Format(u"Could not be removed (error %u): %s", error, path));
    }

    bool UnderSettingsKey(VnRegRoot root, const VnString& path) const {
        return root == VnRegRoot::CurrentUser && !request_.product.settingsKey.IsEmpty() &&
               IsPathBelowOrAt(path, request_.product.settingsKey);
    }

    void RestoreValues() {
        for (auto it = plan_.values.rbegin(); it != plan_.values.rend(); ++it) {
            const PlannedValue& value = *it;
            const VnString where = VnString::Format(u"%s\\%s : \"%s\"", RegistryRootNameText(value.root), value.key, value.name);
            VnString why;
            if (!UninstallPlaces::IsAllowedKey(value.root, value.key, false, why)) {
                Refuse(where, why);
                continue;
            }
            if (UnderSettingsKey(value.root, value.key)) continue;  // the settings: kept, or removed whole
            VnRegKey key = 0;
            if (registry_.OpenKey(value.root, value.key, vnwin::kKeyReadWrite | value.view, key)) continue;
            RecordedValueData current;
            current.present = registry_.QueryRawValue(key, value.name, current.type, current.bytes) == 0;
            if (!current.present) current = {};
            if (!(current == value.after)) {
                Log(VnString::Format(u"Changed since the install, left as it is: %s", where));
            } else if (value.before.present) {
                registry_.SetRawValue(key, value.name, value.before.type, value.before.bytes);
                ++outcome_.removed;
                Log(VnString::Format(u"Put back: %s", where));
            } else if (current.present) {
                registry_.DeleteValue(key, value.name);
                ++outcome_.removed;
                Log(VnString::Format(u"Removed %s", where));
            }
            registry_.CloseKey(key);
        }
    }

    static VnString RegistryRootNameText(VnRegRoot root) { return VnString::FromUtf8(RegistryRootName(root)); }

    void GiveBackFileTypes() {
        if (request_.product.familyPrefix.IsEmpty()) {
            Log(VN_LIT(u"The product is unknown: file types are not given back"));
            return;
        }
        FileTypeGiveBack product{request_.product.familyPrefix, places_.InstallFolder(),
                                 request_.product.productExtension};
        FileTypeGiveBackResult result = ::GiveBackFileTypes(product);
        outcome_.removed += result.givenBack;
        for (const VnString& line : result.log) Log(line);
    }

    bool KeyIsEmpty(VnRegRoot root, uint32_t view, const VnString& path, bool& exists) {
        VnRegKey key = 0;
        exists = registry_.OpenKey(root, path, vnwin::kKeyRead | view, key) == vnwin::kErrorSuccess;
        if (!exists) return false;
        VnString name;
        const bool empty = registry_.EnumKey(key, 0, name) == vnwin::kErrorNoMoreItems &&
                           registry_.EnumValue(key, 0, name) == vnwin::kErrorNoMoreItems;
        registry_.CloseKey(key);
        return empty;
    }

    void RemoveKeys() {
        std::vector<PlannedKey> keys = plan_.keys;
        std::stable_sort(keys.begin(), keys.end(),
                         [](const PlannedKey& a, const PlannedKey& b) { return Depth(a.path) > Depth(b.path); });
        for (const PlannedKey& planned : keys) {
            const VnString where = VnString::Format(u"%s\\%s", RegistryRootNameText(planned.root), planned.path);
            VnString why;
            if (!UninstallPlaces::IsAllowedKey(planned.root, planned.path, true, why)) {
                Refuse(where, why);
                continue;
            }
            if (UnderSettingsKey(planned.root, planned.path)) continue;
            bool exists = false;
            if (!KeyIsEmpty(planned.root, planned.view, planned.path, exists)) {
                if (exists) Log(VnString::Format(u"Kept (holds what the install did not write): %s", where));
                continue;
            }
            VnString path = planned.path;
            path.Trim(u'\\');
            const int32_t cut = path.ReverseFind(u'\\');
            VnRegKey parent = static_cast<VnRegKey>(planned.root);
            const bool opened = cut > 0 && registry_.OpenKey(planned.root, path.Left(cut),
                                                             vnwin::kKeyReadWrite | planned.view, parent) == 0;
            if (cut > 0 && !opened) continue;
            if (registry_.DeleteKey(parent, path.Mid(cut + 1), planned.view) == vnwin::kErrorSuccess) {
                ++outcome_.removed;
                Log(VnString::Format(u"Removed %s", where));
            }
            if (opened) registry_.CloseKey(parent);
        }
    }

    void RemoveSettings() {
        if (!request_.removeSettings) {
            Log(VN_LIT(u"The settings and the library are kept"));
            return;
        }
        const VnString& settingsKey = request_.product.settingsKey;
        if (settingsKey.IsEmpty() || settingsKey.ReverseFind(u'\\') < 0) return;
        const int32_t cut = settingsKey.ReverseFind(u'\\');
        VnRegKey parent = 0;
        if (registry_.OpenKey(VnRegRoot::CurrentUser, settingsKey.Left(cut), vnwin::kKeyReadWrite, parent)) return;
        if (registry_.DeleteTree(parent, settingsKey.Mid(cut + 1)) == vnwin::kErrorSuccess) {
            ++outcome_.removed;
            Log(VnString::Format(u"Removed the settings HKCU\\%s", settingsKey));
        }
        registry_.CloseKey(parent);
    }

    // The installation record the product family reads (HKLM
    // "Software\V. Arnel\Tunacore\Installations\<name>"): the tools library
    // writes it through its own platform on Windows, so it may be missing
    // from the record; it is the product's own, removed by its name.
    void RemoveInstallationRecord() {
        const VnString& name = request_.product.recordName;
        if (name.IsEmpty() || name.Contains(u"\\")) return;
        const VnString installations = VN_LIT(u"Software\\V. Arnel\\Tunacore\\Installations");
        for (uint32_t view : {vnwin::kKeyWow64_32Key, vnwin::kKeyWow64_64Key}) {
            VnRegKey key = 0;
            if (registry_.OpenKey(VnRegRoot::LocalMachine, installations, vnwin::kKeyReadWrite | view, key)) continue;
            if (registry_.DeleteTree(key, name, view) == vnwin::kErrorSuccess) {
                ++outcome_.removed;
                Log(VnString::Format(u"Removed the installation record HKLM\\%s\\%s", installations, name));
            }
            VnRegValue current;
            if (registry_.QueryValue(key, VnString(), current) == 0 && current.text.EqualsNoCase(name))
                registry_.DeleteValue(key, VnString());
            registry_.CloseKey(key);
            for (const VnString& path : {installations, VnString(u"Software\\V. Arnel\\Tunacore")}) {
                bool exists = false;
                if (!KeyIsEmpty(VnRegRoot::LocalMachine, view, path, exists)) break;
                VnRegKey parent = 0;
                const int32_t cut = path.ReverseFind(u'\\');
                if (registry_.OpenKey(VnRegRoot::LocalMachine, path.Left(cut), vnwin::kKeyReadWrite | view, parent)) break;
                registry_.DeleteKey(parent, path.Mid(cut + 1), view);
                registry_.CloseKey(parent);
            }
        }
    }

    // The maker's key ("Software\V. Arnel", the settings key's parent) is
    // made by the first run of the installer, before anything is recorded;
    // it goes when nothing of the maker's is left in it.
    void RemoveEmptyCompanyKeys() {
        const VnString& settingsKey = request_.product.settingsKey;
        const int32_t cut = settingsKey.ReverseFind(u'\\');
        if (cut <= 0) return;
        const VnString company = settingsKey.Left(cut);
        const struct {
            VnRegRoot root;
            uint32_t view;
        } places[] = {{VnRegRoot::LocalMachine, vnwin::kKeyWow64_32Key},
                      {VnRegRoot::LocalMachine, vnwin::kKeyWow64_64Key},
                      {VnRegRoot::CurrentUser, 0}};
        for (const auto& place : places) {
            bool exists = false;
            if (!KeyIsEmpty(place.root, place.view, company, exists)) continue;
            VnRegKey software = 0;
            if (registry_.OpenKey(place.root, company.Left(company.ReverseFind(u'\\')),
                                  vnwin::kKeyReadWrite | place.view, software))
                continue;
            if (registry_.DeleteKey(software, company.Mid(company.ReverseFind(u'\\') + 1), place.view) == 0)
                Log(VnString::Format(u"Removed the empty %s\\%s", RegistryRootNameText(place.root), company));
            registry_.CloseKey(software);
        }
    }

    // The record (and those of earlier installs it took in) goes once the
    // work it names is done; the uninstaller's own file last. Windows keeps a running program's file: then it goes at the
    // next restart, which is no reason to ask for one.
    void RemoveRecordAndSelf(const VnString& recordPath) {
        RemoveFile(recordPath);
        for (const VnString& earlier : places_.EarlierInstallFolders()) RemoveFile(earlier + kInstallRecordFileName);
        if (!request_.uninstallerPath.IsEmpty() &&
            Place(request_.uninstallerPath, false) == UninstallPlace::Program)
            RemoveFile(request_.uninstallerPath, false);
    }

    // A folder whose every remaining entry waits for the restart goes at the restart too.
    void RemoveFolders() {
        std::vector<VnString> folders = plan_.folders;
        std::stable_sort(folders.begin(), folders.end(),
                         [](const VnString& a, const VnString& b) { return Depth(a) > Depth(b); });
        for (const VnString& folder : folders) {
            const UninstallPlace place = Place(folder, true);
            if (!Removable(place)) continue;
            uint32_t error = files_.RemoveDirectory(folder);
            const uint32_t attributes = files_.GetFileAttributes(folder);
            if (error == vnwin::kErrorAccessDenied && attributes != vnwin::kInvalidFileAttributes &&
                (attributes & vnwin::kFileAttributeReadOnly)) {  // the finish marks the installation folder so
                files_.SetFileAttributes(folder, attributes & ~vnwin::kFileAttributeReadOnly);
                error = files_.RemoveDirectory(folder);
            }
            if (!error) {
                ++outcome_.removed;
                Log(VnString::Format(u"Removed %s", folder));
                continue;
            }
            if (Gone(error)) continue;
            VnCoreArray<VnFindData> entries;
            files_.FindFiles(folder + u"\\*", entries);
            bool onlyWaiting = true;
            for (const VnFindData& entry : entries) {
                const VnString path = folder + u"\\" + entry.name;
                if (waitingForRestart_.count(Folded(path))) continue;
                onlyWaiting = false;
                if (!(entry.attributes & vnwin::kFileAttributeDirectory) && !planned_.count(Folded(path)))
                    outcome_.userFiles.Add(path);
            }
            if (onlyWaiting && !entries.IsEmpty() &&
                files_.MoveFileEx(folder, VnString(), vnwin::kMoveFileDelayUntilReboot) == vnwin::kErrorSuccess) {
                waitingForRestart_.insert(Folded(folder));
                Log(VnString::Format(u"Removed at the next restart: %s", folder));
                continue;
            }
            Log(VnString::Format(u"Kept (holds files the install did not make, error %u): %s", error, folder));
        }
    }

    const UninstallRequest& request_;
    UninstallPlaces places_;
    IVnFiles& files_;
    IVnRegistry& registry_;
    UninstallPlan plan_;
    UninstallOutcome outcome_;
    std::set<std::u16string> planned_;            // every file the record names
    std::set<std::u16string> waitingForRestart_;  // removed at the next restart
};

}  // namespace

UninstallOutcome RunUninstall(const UninstallRequest& request) { return Uninstall(request).Run(); }

bool ReadUninstallProduct(const VnString& installFolder, UninstallProduct& product) {
    ToolsProductFile file;
    VnString error;
    if (!file.Load(installFolder + ToolsProductFile::kFileName, error) || file.MajorVersion() <= 0) return false;
    product.displayName = file.Name(1);
    product.recordName = file.Name(4);
    product.settingsKey = VnString::Format(u"Software\\V. Arnel\\Tunaro %d", file.MajorVersion());
    VnString compact = file.Name(3);
    compact.Remove(u' ');
    product.familyPrefix = compact.IsEmpty() ? VnString() : compact + u".";
    product.productExtension = file.Extension();
    product.mainWindowClass = file.MainWindowClass();
    if (!product.productExtension.IsEmpty() && !product.productExtension.StartsWith(u"."))
        product.productExtension = u"." + product.productExtension;
    const VnString appData = VnPlatform().System().GetSpecialFolder(vnwin::kCsidlAppData);
    if (!appData.IsEmpty() && !file.Name(4).IsEmpty())
        product.dataFolder = appData + u"\\V. Arnel\\" + file.Name(4) + u"\\";
    return true;
}
