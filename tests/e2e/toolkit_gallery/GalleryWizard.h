// The toolkit gallery: a wizard whose pages show every kind of control of
// the window toolkit the way the installer's pages use them (header band,
// texts, licence box, radio group with descriptions, check box, path box,
// progress bar, picture, report list with groups and check boxes, push
// buttons). The screenshot script shows it under Wine; the toolkit's tests
// drive the same pages headless and on Windows.
#pragma once

#include "VnEditCtrl.h"
#include "VnLayout.h"
#include "VnProgressCtrl.h"
#include "VnRadioArray.h"
#include "VnReportCtrl.h"
#include "VnStatic.h"
#include "VnWizardPopupWnd.h"

namespace gallery {

inline const char16_t kLicence[] =
    u"SOFTWARE LICENSE AGREEMENT\r\n\r\n"
    u"This is a sample text for the toolkit gallery. It is long enough to need the scroll bar of the "
    u"read-only edit box, so that the picture shows how a licence agreement looks on the first page.\r\n\r\n"
    u"1. Grant. You may install and use the program on any number of computers that you own.\r\n\r\n"
    u"2. Restrictions. You may not rent, lease or lend the program.\r\n\r\n"
    u"3. No warranty. The program is provided as it is, without warranty of any kind.\r\n\r\n"
    u"4. Limitation of liability. In no event shall the maker be liable for any damages arising out of the use "
    u"of the program.\r\n\r\n"
    u"5. Termination. This licence ends when you remove the program from your computers.\r\n\r\n"
    u"6. Entire agreement. This is the entire agreement between you and the maker.\r\n";

// A page with its title, subtitle and caption given at construction.
class Page : public VnWizardPageWnd {
public:
    Page(const char16_t* title, const char16_t* subtitle) {
        SetTitle(title);
        SetSubtitle(subtitle);
        SetCaption(u"Tunaro - Install Wizard");
    }
};

class LicencePage : public Page {
public:
    LicencePage() : Page(u"Welcome", u"Welcome to the Install Wizard.") {}
    VnString GetNextText() override { return VN_LIT(u"Accept"); }
    VnStatic intro;
    VnEditCtrl licence;

protected:
    void BuildControls() override {
        intro.Create(*this, u"Please read the following license agreement carefully.");
        licence.Create(*this, kLicence, {}, kVnOptReadOnly | kVnOptMultiLine);
    }
    void Layout() override {
        VnColumn column(GetPageArea());
        column.Place(intro);
        column.Skip(VnLayout::kSpacing);
        column.Fill(licence);
    }
};

class SetupTypePage : public Page {
public:
    SetupTypePage() : Page(u"Setup Type", u"Choose the setup type that best suits your needs.") {
        types.AddChoice(u"&Express", u"Most common set of program features will be installed.");
        types.AddChoice(u"&Custom",
                        u"Choose program installation location and file associations. Recommended for advanced users.");
    }
    VnStatic intro;
    VnRadioArray types;
    VnCheckbox autoInstall;

protected:
    void BuildControls() override {
        intro.Create(*this, u"Please select a setup type.");
        types.Create(*this, 0);
        autoInstall.Create(*this, u"&Next time use Auto Install after 30 second timeout.", false);
    }
    void Layout() override {
        VnColumn column(GetPageArea());
        column.Place(intro);
        column.Skip(VnLayout::kParagraph);
        types.Place(column);
        column.Skip(VnLayout::kParagraph + VnLayout::kParagraph);
        column.Place(autoInstall);
    }
};

class DestinationPage : public Page {
public:
    DestinationPage()
        : Page(u"Destination Folder",
               u"Click Next to install to this folder, or click Change to install to a different folder.") {}
    VnStatic label;
    VnFilenameWnd path;
    VnStatic note;

protected:
    void BuildControls() override {
        label.Create(*this, u"&Install to:", {}, kVnOptMnemonic);
        path.SetBrowseText(u"&Change...");
        path.SetBrowseTitle(u"Choose the destination folder");
        path.Create(*this, u"C:\\Program Files\\V Arnel\\Tunaro 33\\");
        note.Create(*this, u"The program needs at least 20 MB of free disk space on the drive of this folder.");
    }
    void Layout() override {
        VnColumn column(GetPageArea());
        column.Place(label);
        column.Skip(3);
        column.Place(path);
        column.Skip(VnLayout::kParagraph);
        column.Place(note);
    }
};

class CopyPage : public Page {
public:
    CopyPage() : Page(u"Copying Files", u"Please wait while Install Wizard copies and registers files.") {}
    bool CanGoBack() override { return false; }
    bool CanCancel() override { return false; }
    VnString pictureFile;
    VnStatic status;
    VnProgressCtrl progress;
    VnImageCtrl picture;

protected:
    void BuildControls() override {
        status.Create(*this, u"Copying Tunaro.exe...");
        progress.Create(*this);
        progress.SetRange(0, 100);
        progress.SetPos(40);
        picture.Create(*this, u"Promotion picture");
    }
    void Layout() override {
        VnColumn column(GetPageArea());
        column.Place(status);
        column.Skip(VnLayout::kSpacing);
        column.Place(progress);
        column.Skip(VnLayout::kParagraph);
        column.Fill(picture);
        if (!pictureFile.IsEmpty() && picture.GetImageFile() != pictureFile) picture.SetImageFile(pictureFile);
    }
};

class AssociationsPage : public Page {
public:
    AssociationsPage() : Page(u"File Associations", u"Please select the file associations.") {}
    bool CanGoBack() override { return false; }
    VnReportCtrl types;
    VnButton selectAll;
    VnButton unselectAll;
    VnButton selectDefault;

protected:
    void BuildControls() override {
        types.AddColumn(u"Extension", 90);
        types.AddColumn(u"Description");
        const struct {
            int32_t group;
            const char16_t* title;
        } groups[] = {{1, u"Audio"}, {2, u"Image"}, {3, u"Video"}};
        for (const auto& group : groups) types.AddGroup(group.group, group.title);
        const struct {
            const char16_t* extension;
            const char16_t* description;
            int32_t group;
            bool checked;
        } rows[] = {{u"flac", u"Free Lossless Audio", 1, true}, {u"mp3", u"MPEG Layer 3 Audio", 1, true},
                    {u"wav", u"Wave Audio", 1, false},           {u"jpg", u"JPEG Image", 2, false},
                    {u"png", u"Portable Network Graphics", 2, true}, {u"mkv", u"Matroska Video", 3, true}};
        for (const auto& row : rows) {
            const int32_t item = types.AddItem(row.extension, row.group, row.checked);
            types.SetItemText(item, 1, row.description);
        }
        types.Create(*this);
        selectAll.Create(*this, u"Select &All");
        unselectAll.Create(*this, u"&Unselect All");
        selectDefault.Create(*this, u"Select &Default");
    }
    void Layout() override {
        const VnRect area = GetPageArea();
        const int32_t buttonHeight = VnLayout::ButtonHeight();
        types.SetRect(VnRect{area.left, area.top, area.right, area.bottom - buttonHeight - VnLayout::kSpacing});
        int32_t x = area.left;
        for (VnButton* button : {&selectAll, &unselectAll, &selectDefault}) {
            const int32_t width = button->GetPreferredWidth();
            button->SetRect(VnRect::At(x, area.bottom - buttonHeight, width, buttonHeight));
            x += width + VnLayout::kSpacing;
        }
    }
    void OnCommand(VnWnd& control, uint16_t code) override {
        if (code != kVnNotifyClicked) return;
        if (&control == &selectAll || &control == &unselectAll) types.SetAllChecked(&control == &selectAll);
        if (&control == &selectDefault)
            for (int32_t i = 0; i < types.GetItemCount(); ++i) types.SetItemChecked(i, types.GetItemGroup(i) == 1);
    }
};

class Wizard : public VnWizardPopupWnd {
public:
    Wizard() {
        for (VnWizardPageWnd* page : {static_cast<VnWizardPageWnd*>(&licencePage), static_cast<VnWizardPageWnd*>(&setupType),
                                      static_cast<VnWizardPageWnd*>(&destination), static_cast<VnWizardPageWnd*>(&copy),
                                      static_cast<VnWizardPageWnd*>(&associations)})
            AddPage(*page);
    }
    int32_t startPage = 0;
    VnString iconFile;
    LicencePage licencePage;
    SetupTypePage setupType;
    DestinationPage destination;
    CopyPage copy;
    AssociationsPage associations;

protected:
    void BuildControls() override {
        VnWizardPopupWnd::BuildControls();
        SetText(u"Tunaro - Install Wizard");
        if (!iconFile.IsEmpty()) SetIconFile(iconFile);
        SetActivePage(startPage, false);
    }
};

}  // namespace gallery
