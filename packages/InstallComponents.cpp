// Step 2 of the copy page: the shell integration, every plug-in package of
// the support folders and the WDM audio driver, or for the server product
// the server as a system service. No failure here stops the install.
#include <memory>

#include "ComponentRegistration.h"
#include "CopyRegistrationSeam.h"
#include "EngineLog.h"
#include "FileCopy.h"
#include "FileListing.h"
#include "InstallOptions.h"
#include "InstallPackage.h"
#include "InstallSteps.h"
#include "InstallWAPlugin.h"
#include "PackageFileActions.h"
#include "LoadedProduct.h"
#include "OperatingSystem.h"
#include "SettingsHelper.h"
#include "VnDllString.h"
#include "VnFileSystem.h"
#include "VnPlatform.h"

namespace {
constexpr char16_t kSource[] = u"CInstallComponents::Install";
constexpr int kWdmDriverVersion = 7;
constexpr int kDriverFeature = 191;

VnString Translated(const char16_t* literal) { return VnDllString(VnString(literal)).Get(); }

VnStringArray ListPackages(const InstallOptions& options) {
    VnStringArray packages;
    for (const VnString& folder : options.SupportFolders) {
        VnCoreArray<VnListedFile> files;
        ListFilesBelow(NormaliseFolder(folder), files);
        for (const VnListedFile& file : files)
            if (file.path.GetLength() > 4 && file.path.Right(4).EqualsNoCase(u".pmp")) packages.Add(file.path);
    }
    return packages;
}

// The 4-byte "InstallPackageError" block, zeroed, for the time of one package.
class PackageErrorBlock {
public:
    PackageErrorBlock() {
        bool existed = false;
        view_ = VnPlatform().Processes().CreateSharedMemory(VN_LIT(u"InstallPackageError"), 4, mapping_, existed);
        if (view_) *static_cast<volatile uint32_t*>(view_) = 0;
    }
    ~PackageErrorBlock() {
        if (mapping_ || view_) VnPlatform().Processes().CloseSharedMemory(mapping_, view_);
    }
    PackageErrorBlock(const PackageErrorBlock&) = delete;
    PackageErrorBlock& operator=(const PackageErrorBlock&) = delete;

private:
    VnHandle mapping_ = 0;
    void* view_ = nullptr;
};

void InstallOnePackage(const VnString& file, IInstallStepPage& page, const InstallOptions& options) {
    CInstallPackage package;
    if (!package.Load(file)) return;
    page.SetStatusText(VnString::Format(Translated(u"Installing plug-in '%s'"), package.GetName()));
    PackageErrorBlock block;
    PackageInstallContext context{options.DestinationFolder, true, &page};
    if (package.Install(context)) package.RunPostInstall();
    else StageForFinalize(file, VnString(), true);
    if (ToolsInterface* tools = VnTools()) {
        if (ToolsPropertyStore* store = tools->OpenPropertyStore(VN_LIT(u"Plugins\\System"))) {
            store->SetText(package.GetName(), VN_LIT(u"installed"), 0);
            delete store;
        }
    }
}

void InstallDriver(const InstallOptions& options, int osCode, ToolsPropertyStore* properties, IInstallStepPage& page) {
    if (properties && properties->GetNumber(VN_LIT(u"WDM Driver Installed Version"), 0) == kWdmDriverVersion) return;
    page.SetStatusText(Translated(u"Installing WDM driver"));
    const bool windows10 = osCode >= 1012 && osCode < 2000;
    RunPackageInstaller(u"/InstallWDMDriver " + options.DestinationFolder +
                        (windows10 ? u"Drivers\\WDM\\Win10\\VnWDMDriver.inf" : u"Drivers\\WDM\\Win8\\VnWDMDriver.inf"));
    if (properties) properties->SetNumber(VN_LIT(u"WDM Driver Installed Version"), kWdmDriverVersion, 0);
}
}  // namespace

void InstallComponents(IInstallStepPage& page) {
    ToolsLogScope scope(VnToolsLog(), kSource);
    InstallOptions& options = InstallOptions::Get();
    ProductInformation* product = LoadedProductInformation();
    page.SetHeader(Translated(u"Installing Plugins"),
                   Translated(u"Please wait while Install Wizard installs and registers plug-ins."));
    page.SetCanCancel(false);
    page.RefreshWizardFrame();
    page.SetProgressRange(0, 1);
    page.SetProgressPosition(0);
    page.SetStatusText(Translated(u"Initializing..."));

    const VnStringArray packages = ListPackages(options);
    const int osCode = GetOperatingSystemCode();
    const bool installDriver = !options.NoDriver && !options.PortableSetup && product &&
                               product->HasFeature(kDriverFeature) && osCode >= 1008;
    const bool server = product && product->GetExecutableName().ContainsNoCase(u"Orvan");
    const int count = packages.GetSize();
    page.SetProgressRange(0, server ? (count - 1) + 1 : (count - 1) + 2 + (installDriver ? 1 : 0));
    page.SetProgressPosition(0);

    if (server) {
        page.SetStatusText(Translated(u"Installing Orvan Server as system service"));
        StartComponentProgram(options.DestinationFolder + u"OrvanControl.exe", VN_LIT(u"/Install"), true);
        page.SetStatusText(VnString());
        page.SetProgressPosition(1);
        ScheduleNextInstallStep(page);
        return;
    }

    page.SetStatusText(VnString::Format(Translated(u"Installing %s Shell Integration"),
                                        product ? product->GetProductName(0) : VnString()));
    if (GetShellIntegrationSetting() != 0 && options.ShellExtensionReady)
        RunPackageInstaller(VN_LIT(u"/RegDLL Shell Extensions"));
    page.SetProgressPosition(1);

    int position = 2;
    QuietPackageMessages quiet(options.Silent);
    for (const VnString& file : packages) {
        InstallOnePackage(file, page, options);
        page.SetStatusText(VnString());
        page.SetProgressPosition(position++);
        PumpMessages();
    }

    ToolsInterface* tools = VnTools();
    std::unique_ptr<ToolsPropertyStore> properties(tools ? tools->OpenPropertyStore(VN_LIT(u"Properties")) : nullptr);
    if (installDriver) {
        InstallDriver(options, osCode, properties.get(), page);
        page.SetStatusText(VnString());
        page.SetProgressPosition(position);
    } else if (!options.PortableSetup) {
        RunPackageInstaller(VN_LIT(u"/RemoveWDMDriver"));
        if (properties) properties->DeleteValue(VN_LIT(u"WDM Driver Installed Version"));
    }
    ScheduleNextInstallStep(page);
}

void InstallWinampInputPlugin(const VnString& path, bool silent) { CInstallWAPlugin(silent).Install(path); }
