// The runtime dependencies installed by the copy page's first step, before
// any file of the product is copied: the DirectX 9 extension libraries, the
// web-view runtime and the bundled sample media. Each is an IInstallDependency
// that lives only while it runs; CInstallDependencies is the step worker they
// report to, with the page and the flag that a cancelled download sets.
#pragma once

#include <functional>

#include "InstallStepPage.h"
#include "VnString.h"

class CInstallDependencies;

class IInstallDependency {
public:
    explicit IInstallDependency(CInstallDependencies& worker) : worker_(worker) {}
    virtual ~IInstallDependency() = default;
    // Makes sure the component is present. The three dependencies answer
    // true whatever their set-up did: a missing component does not stop the
    // install.
    virtual bool Install() = 0;
    // Asked only after Install returned false.
    virtual bool CanContinueAfterFailure() { return true; }

protected:
    CInstallDependencies& worker_;
};

class CInstallDirectX final : public IInstallDependency {
public:
    using IInstallDependency::IInstallDependency;
    bool Install() override;
};

class CInstallEdge final : public IInstallDependency {
public:
    using IInstallDependency::IInstallDependency;
    bool Install() override;
};

class CInstallBundledMedia final : public IInstallDependency {
public:
    using IInstallDependency::IInstallDependency;
    bool Install() override;
};

class CInstallDependencies {
public:
    explicit CInstallDependencies(IInstallStepPage& page) : page_(page) {}

    // The whole step: the header, the dependencies in order, the hand-over.
    void Run();

    // The set-up program from the first support folder that has it, or
    // downloaded (address number `downloadNumber` of the product
    // information) into the first support folder; empty when neither works.
    VnString GetSetupFile(const VnString& displayName, const VnString& fileName, int downloadNumber);
    // Finds or downloads the set-up program and runs it, waiting for it.
    // True once it has run.
    bool RunDependencySetup(const VnString& displayName, const VnString& fileName, const VnString& arguments,
                            int downloadNumber);
    // Downloads `address` into the file `destination` through the reader
    // library, block by block with progress and message pumping; Cancel on
    // the page stops it. False after its own message box; a partial file is
    // deleted.
    bool DownloadFile(const VnString& address, const VnString& destination);
    // DownloadFile's failure texts go to `sink` instead of its box (a plug-in
    // package shows them its own way).
    void SetMessageSink(std::function<void(const VnString&)> sink) { messageSink_ = std::move(sink); }

    IInstallStepPage& Page() { return page_; }
    bool IsCancelled() const { return cancelled_; }

private:
    // Runs one dependency; false when the step must stop here.
    bool RunOne(IInstallDependency& dependency);
    void AllowCancel(bool allowed);

    IInstallStepPage& page_;
    bool cancelled_ = false;
    std::function<void(const VnString&)> messageSink_;
};

// A page with nothing to show, for a download outside the copy page's
// dependency step (a plug-in package given by its web location, the
// download benchmark): no bar to move and no Cancel to offer.
class QuietInstallStepPage final : public IInstallStepPage {
public:
    void SetStatusText(const VnString&) override {}
    void SetProgressRange(int, int) override {}
    void SetProgressPosition(int) override {}
    void SetHeader(const VnString&, const VnString&) override {}
    void SetCanCancel(bool) override {}
    void RefreshWizardFrame() override {}
    void CancelWizard() override {}
    int32_t GetStepCounter() const override { return 0; }
    void SetStepCounter(int32_t) override {}
    void StartStepTimer(int32_t) override {}
};
