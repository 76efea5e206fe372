// The product information as read from "ProductInfo.xml": fixed fields,
// "/*/" queries with their defaults, the launcher path and the failures that
// end start-up.
#include "ToolsSingleton.h"
#include "ToolsTestMachine.h"

#ifndef _WIN32
#include "VnSimPlatform.h"
#endif

namespace {

TEST_F(ToolsTest, ProductFieldsComeFromTheFileWithWhiteSpaceTrimmed) {
    ASSERT_NO_FATAL_FAILURE(LoadTestProduct());

    const std::pair<int, const char16_t*> names[] = {
        {0, u"Tunaro"}, {1, u"Tunaro Test"}, {3, u"Tunaro Media"}, {4, u"Tunaro 9933"}, {6, u"Tunaro M\u00FCsik"}, {2, u""}};
    for (const auto& [form, name] : names) EXPECT_EQ(product->GetProductName(form), name) << form;
    EXPECT_EQ(product->GetProductVersion(), u"9933.0.44");
    EXPECT_EQ(product->GetExecutableName(), u"Tunaro.exe");
    EXPECT_EQ(product->GetMimeTypes(), u"application/x-a;application/x-b");
    EXPECT_EQ(product->GetStartMenuFolder(), u"Tunaro 9933");

    // "2; 18 ;x;;191": numbers with spaces count, words and empty items do not.
    for (int feature : {2, 18, 191}) EXPECT_TRUE(product->HasFeature(feature)) << feature;
    for (int feature : {19, 0}) EXPECT_FALSE(product->HasFeature(feature)) << feature;

    EXPECT_EQ(product->GetDownloadAddress(15), u"https://downloads.example/d3dx.exe");
    EXPECT_EQ(product->GetDownloadAddress(54), u"https://downloads.example/webview.exe");
    EXPECT_EQ(product->GetDownloadAddress(16), u"");

    // The same object comes back while the folder stays the same.
    VnString error;
    EXPECT_EQ(library->GetProductInformation(error), product);
}

TEST_F(ToolsTest, InfoPathsAnswerValuesOrTheDefaults) {
    ASSERT_NO_FATAL_FAILURE(LoadTestProduct());

    EXPECT_EQ(product->GetInfoString(u"/*/General/MegaSkin", u""), u"Standard View\\Graphite");
    EXPECT_EQ(product->GetInfoInt(u"/*/Installer/ShowLanguageSelection", 0), 1);
    EXPECT_EQ(product->GetInfoInt(u"/*/DefaultSettings/START_LOCATION", 3), 7);
    EXPECT_EQ(product->GetInfoInt(u"/*/Installer/PromoMinimumMilliseconds", 0), -200);
    // An empty element, a missing one and a word where a number belongs give the default.
    EXPECT_EQ(product->GetInfoString(u"/*/General/MegaSkinKey", u"Standard View Skin 2"), u"Standard View Skin 2");
    EXPECT_EQ(product->GetInfoString(u"/*/SpecialFeatures/MinIEVersion", u""), u"");
    EXPECT_EQ(product->GetInfoInt(u"/*/Installer/PromoCount", 1), 1);
    EXPECT_EQ(product->GetInfoInt(u"/*/DefaultSettings/RIP_EJECT", -5), -5);
    // An element with children has no value of its own.
    EXPECT_EQ(product->GetInfoString(u"/*/Installer", u"none"), u"none");
}

TEST_F(ToolsTest, LauncherPathFollowsTheProgramFolder) {
    ASSERT_NO_FATAL_FAILURE(LoadTestProduct());

    // During set-up, before any program folder is known: the payload's copy.
    EXPECT_EQ(product->GetLauncherPath(), ModuleFolder() + u"Tunaro Launcher.exe");
    // Once the destination is known (given without its backslash here).
    folders.programFolder = VN_LIT(u"D:\\Apps\\Tunaro");
    EXPECT_EQ(product->GetLauncherPath(), u"D:\\Apps\\Tunaro\\Tunaro Launcher.exe");
}

TEST_F(ToolsTest, FindTextIgnoresCaseOnlyInModeThree) {
    ASSERT_NO_FATAL_FAILURE(LoadTestProduct());

    VnString command = VN_LIT(u"\"C:\\Program Files\\Tunaro\\Tunaro Launcher.exe\" /Play \"%1\"");
    EXPECT_EQ(product->FindText(command, u"tunaro launcher.EXE", 3), 25);
    EXPECT_LT(product->FindText(command, u"tunaro launcher.EXE", 0), 0);
    EXPECT_EQ(product->FindText(command, u"Tunaro Launcher.exe", 0), 25);
    EXPECT_LT(product->FindText(command, u"", 3), 0);
}

TEST_F(ToolsTest, BrokenProductInformationIsReportedAndNotKept) {
    library = NewLibrary();
    VnString error;
    EXPECT_EQ(library->GetProductInformation(error), nullptr);
    EXPECT_TRUE(error.Contains(u"ProductInfo.xml")) << error.ToUtf8();

    WriteProductInfo("<TestProduct version=\"1.0\"><Names></Names>");  // the root never ends
    error.Empty();
    EXPECT_EQ(library->GetProductInformation(error), nullptr);
    EXPECT_FALSE(error.IsEmpty());

    WriteProductInfo("<TestProduct version=\"2.0\"><Version>1</Version></TestProduct>");
    error.Empty();
    EXPECT_EQ(library->GetProductInformation(error), nullptr);
    EXPECT_TRUE(error.Contains(u"2.0")) << error.ToUtf8();
    EXPECT_EQ(library->OpenPropertyStore(u"Properties"), nullptr);

    // Once the file is repaired the next request reads it.
    WriteProductInfo();
    product = library->GetProductInformation(error);
    ASSERT_NE(product, nullptr);
    EXPECT_EQ(product->GetProductName(4), u"Tunaro 9933");

    // A library that knows no folder at all says so.
    VnToolsLibrary unplaced;
    EXPECT_EQ(unplaced.GetProductInformation(error), nullptr);
    EXPECT_FALSE(error.IsEmpty());
}

TEST_F(ToolsTest, OnlyTheSupportedInterfaceVersionIsServed) {
    EXPECT_EQ(VnToolsAcquire(200047, VnString()), nullptr);
    ToolsInterface* tools = VnToolsAcquire(kToolsInterfaceVersion, VnString());
    ASSERT_NE(tools, nullptr);
    EXPECT_EQ(VnToolsAcquire(0x30D70, VnString()), tools);
    VnToolsRelease();
}

#ifndef _WIN32
TEST_F(ToolsTest, RunningProductIsFoundByItsWindowAndAskedToClose) {
    VnSimRunningProgram running;
    running.path = VN_LIT(u"C:\\Program Files\\Tunaro\\Tunaro.exe");
    running.processId = 77;
    running.windowClass = VN_LIT(u"PMFrame");
    running.windowTitle = VN_LIT(u"Tunaro");
    Sim().Facts().runningPrograms.Add(running);
    ASSERT_NO_FATAL_FAILURE(LoadTestProduct());
    EXPECT_TRUE(product->IsProductRunning());
    EXPECT_NE(product->GetProductWindow(), 0u);
    EXPECT_TRUE(product->CloseProduct());
    EXPECT_FALSE(product->IsProductRunning());
    EXPECT_FALSE(product->CloseProduct());
}
#endif

}  // namespace
