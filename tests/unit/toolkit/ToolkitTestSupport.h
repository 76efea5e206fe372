// Shared pieces of the toolkit tests: a fixture that gives every test a
// fresh virtual clock (headless), and the gallery wizard that shows every
// kind of control.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "../../e2e/toolkit_gallery/GalleryWizard.h"
#include "VnToolkit.h"
#include "VnUiDriver.h"
#if VN_TOOLKIT_HEADLESS
#include "VnHeadlessUi.h"
#endif
#if VN_TOOLKIT_WIN32
#include "VnWin32Api.h"
#endif

class ToolkitTest : public ::testing::Test {
protected:
    void SetUp() override {
#if VN_TOOLKIT_WIN32
        // As the installer's manifest declares: layout is measured at the system DPI.
        SetProcessDPIAware();
#endif
        ASSERT_TRUE(VnToolkit::Initialize());
#if VN_TOOLKIT_HEADLESS
        VnHeadlessUi::Get().Reset();
#endif
    }
    void TearDown() override {
#if VN_TOOLKIT_HEADLESS
        VnHeadlessUi::Get().Reset();
#endif
    }
};

// A test on the gallery wizard, opened at a page.
class GalleryTest : public ToolkitTest {
protected:
    void Open(int32_t page) {
        wizard.startPage = page;
        ASSERT_TRUE(wizard.Create());
        wizard.Show(true);
    }
    gallery::Wizard wizard;
    VnUiDriver driver{&wizard};
};

inline std::string Utf8(const VnString& text) { return text.ToUtf8(); }
