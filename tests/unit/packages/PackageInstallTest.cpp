// Packages by encoding: the same package written as XML and as INI installs
// the same way; then the package-level words and options, the per-file
// commands and their failure texts, and descriptions that are refused.
#ifndef _WIN32
#include "InstallPackage.h"
#include "LoopbackHttpServer.h"
#include "VnReaderExports.h"
#include "PackageTestSupport.h"
#include "VnFileSystem.h"

namespace {
using PackageInstallTest = PackageTest;

const char kXml[] = R"(<?xml version="1.0"?>
<PMPF version="2.0">
  <Package><Action>UNZIPDIR</Action><ActionOpt>SAVE_DIR_STRUCT</ActionOpt><Name>Tone Pack</Name>
    <URL>http://example.invalid/tone</URL><Version>1.1</Version><HasActions>1</HasActions></Package>
  <Actions>
    <FileEntry File="in_tone.dll"><Action Command="COPY_PLUGINDIR"/><Action Command="REG_PLUGIN"/></FileEntry>
    <FileEntry File="Docs\*.*"><Action Command="COPY_HELPDIR"/></FileEntry>
    <FileEntry File="reg"><Action Command="REGISTRY"
      Param="HKEY_CURRENT_USER|Software\[NameWithVersion]\Tone|Folder|[PROGRAMPATH]Tone"/>
      <Action Command="REGISTRY" Param="HKEY_NOWHERE|Software\ToneTest|Unknown root|x"/>
      <Action Command="REGISTRY" Param="HKEY_CURRENT_USER|Software\ToneTest|Too few"/>
      <Action Command="FROBNICATE"/></FileEntry>
  </Actions>
</PMPF>)";

const char kIni[] =
    "[Package]\r\nAction=UNZIPDIR\r\nActionOpt=SAVE_DIR_STRUCT\r\nName=Tone Pack\r\nUrl=http://example.invalid/tone\r\n"
    "Version=1.1\r\n[Action]\r\nFile1=in_tone.dll\r\nFile1Action1=COPY_PLUGINDIR\r\nFile1Action2=REG_PLUGIN\r\n"
    "File2=Docs\\*.*\r\nFile2Action1=COPY_HELPDIR\r\nFile3=reg\r\n"
    "File3Action1=REGISTRY HKEY_CURRENT_USER|Software\\[NameWithVersion]\\Tone|Folder|[PROGRAMPATH]Tone\r\n"
    "File3Action2=REGISTRY HKEY_NOWHERE|Software\\ToneTest|Unknown root|x\r\n"
    "File3Action3=REGISTRY HKEY_CURRENT_USER|Software\\ToneTest|Too few\r\nFile3Action4=FROBNICATE\r\n";

std::vector<TestZipEntry> Archive() {
    return {{"in_tone.dll", "plug-in input4"}, {"Docs/a.txt", "help a"}, {"Docs/Deep/b.txt", "help b"}};
}

TEST_F(PackageInstallTest, BothEncodingsInstallTheSamePackage) {
    for (const char* description : {kXml, kIni}) {
        const VnString file = WritePackage("Tone", description, Archive());
        WritePlugin(Path(u"x\\in_tone.dll"), "input4");  // the module table knows the name
        CInstallPackage package;
        ASSERT_TRUE(package.Load(file)) << package.GetLoadError().ToUtf8();
        EXPECT_EQ(package.GetName(), u"Tone Pack");
        EXPECT_TRUE(package.Description().hasFileActions);
        Sim().SimShell().QueueAnswer(vnwin::kIdYes);
        ASSERT_TRUE(package.Install({Installed(u""), false, &page}));
        package.RunPostInstall();

        EXPECT_EQ(ReadFile(Installed(u"Plugins\\in_tone.dll")), "plug-in input4");
        EXPECT_EQ(ReadFile(Installed(u"Help\\a.txt")), "help a");
        EXPECT_EQ(ReadFile(Installed(u"Help\\Deep\\b.txt")), "help b");
        EXPECT_EQ(ProductValue("Plugins\\Input\\TONE", "Plugin Description"), "Tone source");
        EXPECT_EQ(RegistryText(VnRegRoot::CurrentUser, u"Software\\Tunaro 33\\Tone", "Folder"),
                  Utf8(Installed(u"Tone")));
        EXPECT_EQ(RegistryText(VnRegRoot::CurrentUser, u"Software\\ToneTest", "Unknown root"), "x");
        EXPECT_EQ(RegistryText(VnRegRoot::CurrentUser, u"Software\\ToneTest", "Too few"), "<missing>");
        EXPECT_EQ(ProductValue("Plugins\\Uninstall", "Tone Pack"), "Package|" + Utf8(file));
        EXPECT_FALSE(Exists(package.GetUnpackFolder()));  // cleaned up
        ASSERT_FALSE(Boxes().empty());
        EXPECT_EQ(Boxes().back(),
                  "Confirm Action|Tunaro is about to install a component.  Do you wish to continue?");
        EXPECT_TRUE(LoggedContaining("Unknown command \"FROBNICATE\" skipped"));
        DeleteDirectoryTree(Installed(u""));
    }
}

TEST_F(PackageInstallTest, WordsOptionsAndFailures) {
    struct Case {
        const char* what;
        std::string description;
        std::vector<TestZipEntry> archive;
        bool silent;
        int answer;  // queued for the question, 0 for none
        bool installed;
        const char* lastBox;  // "" for none
        const char16_t* exists;
        const char16_t* missing;
    } cases[] = {
        {"NONE without actions installs nothing", "[Package]\r\nAction=NONE\r\nName=Empty\r\n", {}, false, 0, true,
         "", nullptr, nullptr},
        {"declined", "[Package]\r\nAction=NONE\r\nName=No\r\n[Action]\r\nFile1=a.txt\r\nFile1Action1=COPY_PLUGINDIR\r\n",
         {{"a.txt", "a"}}, false, vnwin::kIdNo, false, "", nullptr, u"Plugins\\a.txt"},
        {"UNZIPDIR without its archive",
         "[Package]\r\nAction=UNZIPDIR\r\nName=Gone\r\nUrl=http://example.invalid/gone\r\n", {}, true, 0, false,
         "Information|Failed to install package.\r\n\r\nMore Info: Failed to unzip file '", nullptr, nullptr},
        {"flat unless SAVE_DIR_STRUCT",
         "[Package]\r\nAction=UNZIPDIR\r\nName=Flat\r\n[Action]\r\nFile1=b.txt\r\nFile1Action1=COPY_VISUALIZATIONS\r\n",
         {{"Deep/b.txt", "b"}}, true, 0, true, "", u"Visualizations\\b.txt", nullptr},
        {"a skin goes to the folder of its kind",
         "[Package]\r\nAction=INSTALLSKIN\r\nName=Night\r\n", {{"main.xml", "<PMFS/>"}, {"bg.png", "png"}}, true, 0,
         true, "", u"Skins\\FullSkins\\Night\\bg.png", nullptr},
        {"a skin without main.xml", "[Package]\r\nAction=INSTALLSKIN\r\nName=Bad\r\n", {{"bg.png", "png"}}, true, 0,
         false, "Information|Failed to install package.\r\n\r\nMore Info: INSTALLSKIN action failed.", nullptr,
         nullptr},
        {"track info", "[Package]\r\nAction=INSTALLTRACKINFO\r\nName=Ti\r\n", {{"t.xml", "t"}}, true, 0, true, "",
         u"Visualizations\\Track Info\\t.xml", nullptr},
        {"a failing start names the file",
         "[Package]\r\nAction=NONE\r\nName=Run\r\n[Action]\r\nFile1=missing.exe\r\nFile1Action1=RUN /x\r\n", {}, true,
         0, true, "Information|Failed to start process.\r\n", nullptr, nullptr},
        {"a failing registration", "[Package]\r\nAction=NONE\r\nName=Reg\r\n[Action]\r\nFile1=c.dll\r\nFile1Action1=REGISTER\r\n",
         {{"c.dll", "c"}}, true, 0, true, "Information|Failed to register object.\r\n", nullptr, nullptr},
    };
    for (const Case& c : cases) {
        const VnString file = WritePackage("Case", c.description, c.archive);
        if (c.answer) Sim().SimShell().QueueAnswer(c.answer);
        const size_t boxes = Boxes().size();
        CInstallPackage package;
        ASSERT_TRUE(package.Load(file)) << c.what;
        EXPECT_EQ(package.Install({Installed(u""), c.silent, nullptr}), c.installed) << c.what;
        if (*c.lastBox) {
            ASSERT_GT(Boxes().size(), boxes) << c.what;
            EXPECT_EQ(Boxes().back().rfind(c.lastBox, 0), 0u) << c.what << ": " << Boxes().back();
        } else {
            EXPECT_EQ(Boxes().size(), boxes + (c.answer ? 1 : 0)) << c.what;
        }
        if (c.exists) {
            EXPECT_TRUE(Exists(Installed(c.exists))) << c.what;
        }
        if (c.missing) {
            EXPECT_FALSE(Exists(Installed(c.missing))) << c.what;
        }
        EXPECT_FALSE(Exists(package.GetUnpackFolder())) << c.what;
        DeleteDirectoryTree(ScratchFolder() + u"Packages\\");
    }
    // DONT_CLEANUP keeps the unpacked files.
    CInstallPackage kept;
    ASSERT_TRUE(kept.Load(WritePackage("Kept", "[Package]\r\nAction=UNZIPDIR\r\nActionOpt=DONT_CLEANUP\r\nName=K\r\n",
                                       {{"k.txt", "k"}})));
    ASSERT_TRUE(kept.Install({Installed(u""), true, nullptr}));
    EXPECT_EQ(ReadFile(kept.GetUnpackFolder() + u"k.txt"), "k");
}

TEST_F(PackageInstallTest, UnusableDescriptionsAreRefusedWhole) {
    std::string many = "[Package]\r\nAction=NONE\r\nName=Many\r\n[Action]\r\n";
    for (int i = 1; i <= 10001; ++i) many += "File" + std::to_string(i) + "=f.txt\r\n";
    struct Case {
        const char* what;
        std::string description;
        const char* reason;
    } cases[] = {
        {"neither", "just some words", "neither XML nor an INI description"},
        {"wrong root", "<PMXX version=\"2.0\"><Package/></PMXX>", "the root element is not"},
        {"wrong version", "<PMPF version=\"3.1\"><Package/></PMPF>", "format version \"3.1\""},
        {"no package", "<PMPF version=\"2\"></PMPF>", "no \"Package\" element 0"},
        {"broken XML", "<PMPF version=\"2.0\"><Package>", "not a well-formed description"},
        {"leaves the package", "<PMPF version=\"20\"><Package><Action>NONE</Action></Package><Actions>"
                               "<FileEntry File=\"..\\..\\evil.dll\"/></Actions></PMPF>",
         "lies outside the package"},
        {"10,001 entries", many, "more than 10000 file entries"},
    };
    for (const Case& c : cases) {
        CInstallPackage package;
        EXPECT_FALSE(package.Load(WritePackage("Bad", c.description))) << c.what;
        EXPECT_NE(package.GetLoadError().ToUtf8().find(c.reason), std::string::npos)
            << c.what << ": " << package.GetLoadError().ToUtf8();
    }
}

TEST_F(PackageInstallTest, WebLocationsAreDownloadedByTheReader) {
    VnRegisterReaderWithSim();
    LoopbackHttpServer server([](LoopbackHttpServer::Connection& connection) {
        connection.Send(connection.Target() == "/web.pmp"
                            ? LoopbackHttpServer::Response("200 OK", "[Package]\r\nName=Web Pack\r\nAction=NONE\r\n")
                            : LoopbackHttpServer::Response("404 Not Found", ""));
    });
    CInstallPackage web;
    ASSERT_TRUE(web.Load(VnString::FromUtf8(server.Url("/web.pmp")))) << web.GetLoadError().ToUtf8();
    EXPECT_EQ(web.GetName(), u"Web Pack");
    const size_t boxes = Boxes().size();
    CInstallPackage missing;
    EXPECT_FALSE(missing.Load(VnString::FromUtf8(server.Url("/gone.pmp"))));
    ASSERT_EQ(Boxes().size(), boxes + 1);  // the loader's text, once, under the package's title
    EXPECT_EQ(Boxes().back().rfind("Install Package|Failed to download from \n" + server.Url("/gone.pmp"), 0), 0u)
        << Boxes().back();
    EXPECT_NE(Boxes().back().find("404"), std::string::npos);
}
}  // namespace
#endif
