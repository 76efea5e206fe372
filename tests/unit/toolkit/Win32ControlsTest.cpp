// The Win32 toolkit: the gallery's controls are standard Windows controls
// with the right classes, styles, texts, tab order and default button, and
// user actions go through them to the model (run under Wine).
#include "ToolkitTestSupport.h"

#if VN_TOOLKIT_WIN32

#include "VnWin32Api.h"

namespace {

HWND H(const VnWnd& wnd) { return static_cast<HWND>(wnd.GetNativeHandle()); }

std::wstring ClassOf(HWND hwnd) {
    wchar_t name[64] = {};
    GetClassNameW(hwnd, name, 64);
    return name;
}

std::wstring TextOf(HWND hwnd) {
    wchar_t text[512] = {};
    GetWindowTextW(hwnd, text, 512);
    return text;
}

LONG_PTR Style(HWND hwnd) { return GetWindowLongPtrW(hwnd, GWL_STYLE); }

// A list view's rows as a person sees them: "[x] text" or "[ ] text", and a
// group heading row (no check box) as its bare text; "|" between rows.
std::wstring ListRows(HWND list) {
    std::wstring rows;
    for (int row = 0; row < int(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); ++row) {
        wchar_t text[64] = {};
        LVITEMW item{};
        item.pszText = text;
        item.cchTextMax = 64;
        SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
        const LRESULT box = SendMessageW(list, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK) & LVIS_STATEIMAGEMASK;
        rows += std::wstring(rows.empty() ? L"" : L" | ") + (box == 0 ? L"" : box == INDEXTOSTATEIMAGEMASK(2) ? L"[x] " : L"[ ] ") + text;
    }
    return rows;
}

int ListRowOf(HWND list, const wchar_t* text) {
    LVFINDINFOW find{};
    find.flags = LVFI_STRING;
    find.psz = text;
    return int(SendMessageW(list, LVM_FINDITEMW, WPARAM(-1), reinterpret_cast<LPARAM>(&find)));
}

void SetBox(HWND list, int row, bool checked) {  // as a click on the row's box does
    LVITEMW state{};
    state.stateMask = LVIS_STATEIMAGEMASK;
    state.state = INDEXTOSTATEIMAGEMASK(checked ? 2 : 1);
    SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&state));
}
bool Has(HWND hwnd, LONG_PTR bits) { return (Style(hwnd) & bits) == bits; }

class Win32ControlsTest : public GalleryTest {
protected:
    // Moves on by the frame's own message (no click guard to wait for).
    void GoTo(int32_t page) {
        while (wizard.GetCurrentIndex() < page) {
            const int32_t before = wizard.GetCurrentIndex();
            wizard.SendMessage(VnWizardPopupWnd::kGoNextCommand);
            ASSERT_NE(wizard.GetCurrentIndex(), before);
        }
    }
};

}  // namespace

TEST_F(Win32ControlsTest, ControlsAreStandardWindowsWithTheirTextsAndStyles) {
    Open(1);
    auto& page = wizard.setupType;
    EXPECT_EQ(ClassOf(H(wizard)), L"VnPopupWnd");
    EXPECT_EQ(TextOf(H(wizard)), L"Tunaro - Install Wizard");
    EXPECT_TRUE(GetWindowLongPtrW(H(wizard), GWL_EXSTYLE) & WS_EX_CONTROLPARENT);

    HWND express = H(page.types.GetRadio(0));
    HWND custom = H(page.types.GetRadio(1));
    EXPECT_EQ(ClassOf(express), L"Button");
    EXPECT_EQ(Style(express) & BS_TYPEMASK, BS_AUTORADIOBUTTON);
    EXPECT_TRUE(Has(express, WS_GROUP | WS_TABSTOP));
    EXPECT_FALSE(Style(custom) & WS_GROUP);
    EXPECT_EQ(TextOf(express), L"&Express");
    EXPECT_EQ(SendMessageW(express, BM_GETCHECK, 0, 0), BST_CHECKED);

    HWND description = H(page.types.GetDescription(0));
    EXPECT_EQ(ClassOf(description), L"Static");
    EXPECT_TRUE(Has(description, WS_GROUP | SS_NOPREFIX));  // ends the radio group; "&" shown as written
    EXPECT_EQ(TextOf(description), L"Most common set of program features will be installed.");

    HWND box = H(page.autoInstall);
    EXPECT_EQ(Style(box) & BS_TYPEMASK, BS_AUTOCHECKBOX);
    EXPECT_TRUE(Has(box, WS_TABSTOP | WS_GROUP));

    EXPECT_EQ(Style(H(wizard.GetNextButton())) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    EXPECT_EQ(GetDlgCtrlID(H(wizard.GetCancelButton())), IDCANCEL);
    EXPECT_EQ(TextOf(H(wizard.GetBackButton())), L"< Back");

    // The header: bold title, regular subtitle, both in the message font's face.
    auto& header = wizard.GetHeader();
    HWND title = nullptr, subtitle = nullptr;
    for (VnWnd* child : header.GetChildren()) {
        if (child->GetText() == header.GetTitle()) title = H(*child);
        if (child->GetText() == header.GetSubtitle()) subtitle = H(*child);
    }
    ASSERT_TRUE(title && subtitle);
    LOGFONTW titleFont{}, subtitleFont{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(title, WM_GETFONT, 0, 0)), sizeof(titleFont), &titleFont);
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(subtitle, WM_GETFONT, 0, 0)), sizeof(subtitleFont), &subtitleFont);
    EXPECT_EQ(titleFont.lfWeight, FW_BOLD);
    EXPECT_LT(subtitleFont.lfWeight, FW_BOLD);
    EXPECT_STREQ(titleFont.lfFaceName, subtitleFont.lfFaceName);
}

TEST_F(Win32ControlsTest, LicencePathProgressAndListControls) {
    Open(0);
    HWND licence = H(wizard.licencePage.licence);
    EXPECT_EQ(ClassOf(licence), L"Edit");
    EXPECT_TRUE(Has(licence, ES_MULTILINE | ES_READONLY | WS_VSCROLL | WS_TABSTOP));
    EXPECT_EQ(VnFromWide(TextOf(licence).c_str()), VnString(gallery::kLicence).Left(511));

    GoTo(2);
    HWND label = H(wizard.destination.label);
    EXPECT_FALSE(Style(label) & SS_NOPREFIX);  // "&Install to:" gives the path box its access key
    // The label comes just before the path box, whose edit is its first tab stop.
    EXPECT_EQ(GetWindow(label, GW_HWNDNEXT), H(wizard.destination.path));
    EXPECT_EQ(GetNextDlgTabItem(H(wizard), label, FALSE), H(wizard.destination.path.GetEdit()));
    EXPECT_EQ(TextOf(H(wizard.destination.path.GetBrowseButton())), L"&Change...");

    GoTo(3);
    HWND bar = H(wizard.copy.progress);
    EXPECT_EQ(ClassOf(bar), L"msctls_progress32");
    EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), 40);
    EXPECT_EQ(SendMessageW(bar, PBM_GETRANGE, FALSE, 0), 100);

    GoTo(4);
    auto& types = wizard.associations.types;
    HWND list = H(types);
    EXPECT_EQ(ClassOf(list), L"SysListView32");
    EXPECT_EQ(Style(list) & LVS_TYPEMASK, LVS_REPORT);
    EXPECT_TRUE(SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_CHECKBOXES);
    // Group view shows the groups itself; without it (Wine, Windows 2000)
    // each group is a heading row above its rows.
    if (SendMessageW(list, LVM_ISGROUPVIEWENABLED, 0, 0)) {
        EXPECT_EQ(SendMessageW(list, LVM_GETGROUPCOUNT, 0, 0), 3);
        EXPECT_EQ(ListRows(list), L"[x] flac | [x] mp3 | [ ] wav | [ ] jpg | [x] png | [x] mkv");
    } else {
        EXPECT_EQ(ListRows(list), L"Audio | [x] flac | [x] mp3 | [ ] wav | Image | [ ] jpg | [x] png | Video | [x] mkv");
    }
}

TEST_F(Win32ControlsTest, TabOrderFollowsCreationAndEnterMeansTheDefaultButton) {
    Open(1);
    HWND popup = H(wizard);
    EXPECT_EQ(SendMessageW(popup, DM_GETDEFID, 0, 0), MAKELRESULT(VnWizardPopupWnd::kNextId, DC_HASDEFID));
    const HWND expected[] = {H(wizard.setupType.types.GetRadio(0)), H(wizard.setupType.autoInstall),
                             H(wizard.GetBackButton()), H(wizard.GetNextButton()), H(wizard.GetCancelButton())};
    for (size_t i = 0; i < std::size(expected); ++i) {
        HWND next = GetNextDlgTabItem(popup, expected[i], FALSE);
        EXPECT_EQ(next, expected[(i + 1) % std::size(expected)]) << "after stop " << i;
    }
    // Back is disabled on the first page: Tab passes over it.
    VnWnd& back = wizard.GetBackButton();
    back.Enable(false);
    EXPECT_EQ(GetNextDlgTabItem(popup, H(wizard.setupType.autoInstall), FALSE), H(wizard.GetNextButton()));
}

TEST_F(Win32ControlsTest, KeysInTheLicenceBoxNavigateAndEscCancels) {
    Open(0);
    HWND licence = H(wizard.licencePage.licence);
    SetForegroundWindow(H(wizard));
    SetFocus(licence);
    ASSERT_EQ(GetFocus(), licence);
    // Tab leaves the multi-line box (Back is disabled, so Accept is next).
    PostMessageW(licence, WM_KEYDOWN, VK_TAB, 0);
    VnToolkit::PumpMessages();
    EXPECT_EQ(GetFocus(), H(wizard.GetNextButton()));
    // Esc in the box cancels the wizard instead of closing the box's parent.
    SetFocus(licence);
    PostMessageW(licence, WM_KEYDOWN, VK_ESCAPE, 0);
    VnToolkit::PumpMessages();
    EXPECT_TRUE(wizard.licencePage.IsCreated());
    EXPECT_EQ(wizard.GetResultCode(), VnWizardPopupWnd::kResultCancelled);
}

TEST_F(Win32ControlsTest, UserActionsGoThroughTheRealControls) {
    Open(1);
    auto& page = wizard.setupType;
    ASSERT_TRUE(driver.Choose(u"Custom"));
    EXPECT_EQ(SendMessageW(H(page.types.GetRadio(1)), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageW(H(page.types.GetRadio(0)), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(page.types.GetSelectedIndex(), 1);
    ASSERT_TRUE(driver.Tick(u"Next time use Auto Install after 30 second timeout."));
    EXPECT_TRUE(page.autoInstall.IsChecked());

    GoTo(2);
    SetWindowTextW(H(wizard.destination.path.GetEdit()), L"D:\\Typed\\");  // as typing does
    EXPECT_EQ(wizard.destination.path.GetPath(), u"D:\\Typed\\");
    ASSERT_TRUE(driver.Type(u"Install to:", u"E:\\Driven\\"));
    EXPECT_EQ(TextOf(H(wizard.destination.path.GetEdit())), L"E:\\Driven\\");

    GoTo(4);
    auto& types = wizard.associations.types;
    HWND list = H(types);
    SetBox(list, ListRowOf(list, L"wav"), true);
    SetBox(list, ListRowOf(list, L"mkv"), false);
    EXPECT_TRUE(types.IsItemChecked(types.FindItem(u"wav")));
    EXPECT_FALSE(types.IsItemChecked(types.FindItem(u"mkv")));
    EXPECT_TRUE(types.IsItemChecked(types.FindItem(u"flac")));
    const int heading = ListRowOf(list, L"Video");
    if (heading >= 0) {  // a heading row never gets a box
        SetBox(list, heading, true);
        EXPECT_EQ(SendMessageW(list, LVM_GETITEMSTATE, heading, LVIS_STATEIMAGEMASK), 0);
    }
    ASSERT_TRUE(driver.Press(u"Select All"));
    EXPECT_EQ(ListRows(list).find(L"[ ]"), std::wstring::npos);
    if (heading >= 0) {
        EXPECT_EQ(SendMessageW(list, LVM_GETITEMSTATE, heading, LVIS_STATEIMAGEMASK), 0);
    }
    ASSERT_TRUE(driver.Press(u"Unselect All"));
    EXPECT_EQ(driver.Describe().Find(u"[x]"), -1);
    EXPECT_EQ(ListRows(list).find(L"[x]"), std::wstring::npos);
}

TEST_F(Win32ControlsTest, TimersAndPostedMessagesArriveThroughThePump) {
    Open(0);
    struct Counter : VnWnd {
        Counter() : VnWnd(VnWndKind::Pane) {}
        int ticks = 0;
        bool Make(VnWnd& parent) { return CreateChild(parent, {}, {}); }
        void OnTimer(uint32_t id) override { ticks += id == 0 ? 1 : 100; }
    } counter;
    ASSERT_TRUE(counter.Make(wizard));
    ASSERT_TRUE(counter.SetTimer(0, 10));
    for (int i = 0; i < 400 && counter.ticks < 2; ++i) {
        Sleep(5);
        VnToolkit::PumpMessages();
    }
    EXPECT_GE(counter.ticks, 2);
    EXPECT_TRUE(counter.KillTimer(0));

    wizard.PostMessage(VnWizardPopupWnd::kGoNextCommand);
    EXPECT_EQ(wizard.GetCurrentIndex(), 0);
    VnToolkit::PumpMessages();
    EXPECT_EQ(wizard.GetCurrentIndex(), 1);
}

TEST_F(Win32ControlsTest, LayoutUnitsAreScaledByTheDpi) {
    Open(0);
    const int dpi = VnToolkit::GetDpi();
    RECT host{};
    GetClientRect(H(wizard.GetPageHost()), &host);
    EXPECT_EQ(host.right, MulDiv(500, dpi, 96));
    EXPECT_EQ(host.bottom, MulDiv(300, dpi, 96));
    RECT client{};
    GetClientRect(H(wizard), &client);
    EXPECT_EQ(client.right, MulDiv(wizard.GetRect().Width(), dpi, 96));
}

#endif  // VN_TOOLKIT_WIN32
