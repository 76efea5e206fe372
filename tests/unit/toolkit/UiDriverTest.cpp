// Acting on the gallery wizard by label and describing it (headless).
#include "ToolkitTestSupport.h"

#if VN_TOOLKIT_HEADLESS

using UiDriverTest = GalleryTest;

TEST_F(UiDriverTest, DescribesThePageOnScreen) {
    Open(0);
    EXPECT_EQ(Utf8(driver.Describe()),
              "popup \"Tunaro - Install Wizard\"\n"
              "  header \"Welcome\" / \"Welcome to the Install Wizard.\"\n"
              "  static \"Please read the following license agreement carefully.\"\n"
              "  edit read-only 16 lines \"SOFTWARE LICENSE AGREEMENT\"\n"
              "  button \"< Back\" disabled\n"
              "  button \"Accept\" default\n"
              "  button \"Cancel\"\n");

    VnHeadlessUi::Get().Advance(300);
    ASSERT_TRUE(driver.Press(u"Accept"));
    EXPECT_EQ(Utf8(driver.Describe()),
              "popup \"Tunaro - Install Wizard\"\n"
              "  header \"Setup Type\" / \"Choose the setup type that best suits your needs.\"\n"
              "  static \"Please select a setup type.\"\n"
              "  radio (o) \"Express\" focused\n"
              "  radio ( ) \"Custom\"\n"
              "  static \"Most common set of program features will be installed.\"\n"
              "  static \"Choose program installation location and file associations. Recommended for advanced users.\"\n"
              "  check [ ] \"Next time use Auto Install after 30 second timeout.\"\n"
              "  button \"< Back\"\n"
              "  button \"Next >\" default\n"
              "  button \"Cancel\"\n");
}

TEST_F(UiDriverTest, ChoosesTicksAndPressesByLabel) {
    Open(1);
    auto& page = wizard.setupType;
    EXPECT_TRUE(driver.Choose(u"custom"));  // "&Custom": case and mnemonic do not matter
    EXPECT_EQ(page.types.GetSelectedIndex(), 1);
    EXPECT_FALSE(page.types.GetRadio(0).IsChecked());
    EXPECT_TRUE(driver.Choose(u" &Express "));
    EXPECT_EQ(page.types.GetSelectedIndex(), 0);

    const char16_t box[] = u"Next time use Auto Install after 30 second timeout.";
    EXPECT_TRUE(driver.Tick(box));
    EXPECT_TRUE(page.autoInstall.IsChecked());
    EXPECT_TRUE(driver.Tick(box));  // already ticked: stays ticked
    EXPECT_TRUE(page.autoInstall.IsChecked());
    EXPECT_TRUE(driver.Tick(box, false));
    EXPECT_FALSE(page.autoInstall.IsChecked());

    page.types.Enable(false);
    EXPECT_FALSE(driver.Choose(u"Custom"));
    EXPECT_EQ(Utf8(driver.GetLastError()), "radio button \"Custom\" is disabled");
    EXPECT_EQ(page.types.GetSelectedIndex(), 0);
    EXPECT_FALSE(driver.Press(u"Change..."));  // on another page, not on screen
    EXPECT_EQ(Utf8(driver.GetLastError()), "button \"Change...\" is not on screen");
}

TEST_F(UiDriverTest, DisabledButtonsRefusePresses) {
    Open(0);
    EXPECT_FALSE(driver.Press(u"< Back"));
    EXPECT_EQ(Utf8(driver.GetLastError()), "button \"< Back\" is disabled");
    wizard.GetNextButton().Enable(false);
    VnHeadlessUi::Get().Advance(1000);
    EXPECT_FALSE(driver.Press(u"Accept"));
    EXPECT_FALSE(driver.PressEnter());
    EXPECT_EQ(wizard.GetCurrentIndex(), 0);
    wizard.GetNextButton().Enable(true);
    EXPECT_TRUE(driver.PressEnter());
    EXPECT_EQ(wizard.GetCurrentIndex(), 1);
}

TEST_F(UiDriverTest, TypesAndBrowsesInThePathBox) {
    Open(2);
    auto& path = wizard.destination.path;
    EXPECT_TRUE(driver.Type(u"Install to:", u"D:\\Apps\\Tunaro\\"));
    EXPECT_EQ(path.GetPath(), u"D:\\Apps\\Tunaro\\");
    EXPECT_TRUE(driver.Type(u"", u"E:\\"));  // the first editable box
    EXPECT_EQ(path.GetPath(), u"E:\\");
    EXPECT_FALSE(driver.Type(u"Nowhere:", u"x"));

    VnHeadlessUi& ui = VnHeadlessUi::Get();
    ui.QueueBrowseAnswer(u"F:\\Chosen");
    ui.QueueBrowseCancel();
    EXPECT_TRUE(driver.Press(u"Change..."));
    EXPECT_EQ(path.GetPath(), u"F:\\Chosen");
    EXPECT_TRUE(driver.Press(u"Change..."));  // cancelled: the text stays
    EXPECT_TRUE(driver.Press(u"Change..."));  // nothing queued: cancelled too
    EXPECT_EQ(path.GetPath(), u"F:\\Chosen");
    EXPECT_EQ(ui.GetBrowseCount(), 3);
    EXPECT_NE(driver.Describe().Find(u"  path \"F:\\\\Chosen\" [Change...]\n"), -1);
}

TEST_F(UiDriverTest, TicksReportRowsAndShowsThemByGroup) {
    Open(4);
    auto& list = wizard.associations.types;
    EXPECT_TRUE(driver.Tick(u"WAV"));
    EXPECT_TRUE(list.IsItemChecked(list.FindItem(u"wav")));
    EXPECT_TRUE(driver.Tick(u"mp3", false));
    EXPECT_FALSE(list.IsItemChecked(list.FindItem(u"mp3")));
    EXPECT_FALSE(driver.Tick(u"ogg"));

    EXPECT_TRUE(driver.Press(u"Unselect All"));
    for (int32_t i = 0; i < list.GetItemCount(); ++i) EXPECT_FALSE(list.IsItemChecked(i));
    EXPECT_TRUE(driver.Press(u"Select Default"));
    const VnString shown = driver.Describe();
    EXPECT_NE(shown.Find(u"  list 6 rows: \"Extension\" \"Description\"\n"
                         u"    group \"Audio\"\n"
                         u"      [x] \"flac\" \"Free Lossless Audio\"\n"
                         u"      [x] \"mp3\" \"MPEG Layer 3 Audio\"\n"
                         u"      [x] \"wav\" \"Wave Audio\"\n"
                         u"    group \"Image\"\n"
                         u"      [ ] \"jpg\" \"JPEG Image\"\n"),
              -1)
        << Utf8(shown);
}

TEST_F(UiDriverTest, ProgressAndPictureAreDescribed) {
    Open(3);
    std::vector<VnString> asked;
    VnHeadlessUi::Get().SetImageReader([&](const VnString& file) {
        asked.push_back(file);
        return file.EndsWith(u".png");
    });
    auto& page = wizard.copy;
    EXPECT_TRUE(page.picture.SetImageFile(u"C:\\Setup\\Promo1.png"));
    EXPECT_FALSE(page.picture.SetImageFile(u"C:\\Setup\\Promo2.jpg"));  // unreadable: keeps what it showed
    EXPECT_EQ(page.picture.GetImageFile(), u"C:\\Setup\\Promo1.png");
    EXPECT_EQ(asked.size(), 2u);
    page.progress.SetRange(0, 19);
    page.progress.StepIt();
    page.progress.OffsetPos(100);
    const VnString shown = driver.Describe();
    EXPECT_NE(shown.Find(u"  progress 0..19 at 19\n  image \"C:\\\\Setup\\\\Promo1.png\"\n"), -1) << Utf8(shown);
    EXPECT_NE(shown.Find(u"  button \"Cancel\" disabled\n"), -1);
}

#endif  // VN_TOOLKIT_HEADLESS
