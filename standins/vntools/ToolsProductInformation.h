// ProductInformation over a read "ProductInfo.xml", with the running-product
// queries answered through the platform's window functions.
#pragma once

#include <memory>

#include "ToolsInterface.h"
#include "ToolsProductFile.h"

class ToolsProductInformation final : public ProductInformation {
public:
    // `folders` says where the product is installed; it must outlive this object.
    ToolsProductInformation(std::unique_ptr<ToolsProductFile> file, const ToolsProcessFolders& folders)
        : file_(std::move(file)), folders_(folders) {}
    ~ToolsProductInformation() override = default;

    const ToolsProductFile& File() const { return *file_; }

    VnString GetProductName(int form) override { return file_->Name(form); }
    VnString GetProductVersion() override { return file_->Version(); }
    VnString GetProductURL() override { return file_->Url(); }
    VnString GetExecutableName() override { return file_->ExecutableName(); }
    VnString GetLauncherName() override { return file_->LauncherName(); }
    VnString GetLauncherPath() override;
    VnString GetProductExtension() override { return file_->Extension(); }
    VnString GetMimeTypes() override { return file_->MimeTypes(); }
    VnString GetProtocols() override { return file_->Protocols(); }
    bool HasFeature(int feature) override { return file_->HasFeature(feature); }
    VnString GetDownloadAddress(int number) override { return file_->DownloadAddress(number); }
    VnString GetStartMenuFolder() override { return file_->StartMenuFolder(); }
    VnString GetInfoString(const VnString& path, const VnString& defaultValue) override;
    int GetInfoInt(const VnString& path, int defaultValue) override;
    bool IsProductRunning() override { return GetProductWindow() != 0; }
    uintptr_t GetProductWindow() override;
    bool CloseProduct() override;
    int FindText(const VnString& text, const VnString& part, int mode) override;

private:
    std::unique_ptr<ToolsProductFile> file_;
    const ToolsProcessFolders& folders_;
};
