// Which dependency set-ups run, by Windows version, the installed web-view
// runtime's "pv" and what the system folder holds; the set-ups are the demo
// set-up's own copies in its support folder (nothing is downloaded).
#ifndef _WIN32

#include "DependencyTestFixture.h"
#include "InstallOptions.h"

namespace {

constexpr char16_t kWebViewKey[] =
    u"SOFTWARE\\Microsoft\\EdgeUpdate\\Clients\\{F3017226-FE2A-4295-8BDF-00C3A9A7E4C5}";

struct GateCase {
    const char* name;
    const char* windows;  // [Windows] Version
    const char16_t* pv;   // null: no key at all
    bool directXPresent;
    bool runsDirectX;
    bool runsWebView;
};

TEST_F(DependencyTest, SetupsRunOnlyWhereWindowsNeedsThemAndTheComponentIsMissingOrOld) {
    const GateCase cases[] = {
        {"Windows 11, nothing installed", "10.0.22631", nullptr, false, true, true},
        {"empty pv", "10.0.22631", u"", false, true, true},
        {"one build too old", "10.0.19045", u"126.0.2592.50", false, true, true},
        {"older major version", "10.0.19045", u"109.0.1518.140", true, false, true},
        {"exactly the needed version", "10.0.19045", u"126.0.2592.51", false, true, false},
        {"newer major version", "10.0.19045", u"127.0.0.0", false, true, false},
        {"unreadable pv left alone", "10.0.19045", u"126.0.beta", false, true, false},
        {"DirectX already there", "6.3.9600", nullptr, true, false, true},
        {"Windows 8", "6.2.9200", nullptr, false, true, true},
        {"Windows 7 has no web view", "6.1.7601", nullptr, false, true, false},
        {"Windows 2000 has neither", "5.0.2195", nullptr, false, false, false},
    };
    for (const GateCase& c : cases) {
        SCOPED_TRACE(c.name);
        OpenMachine(std::string("[Windows]\nVersion=") + c.windows + "\n");
        if (c.pv)
            Sim().SetValue(VnRegRoot::LocalMachine, kWebViewKey, u"pv", VnRegValue::String(c.pv));
        if (c.directXPresent) Sim().WriteFile(u"C:\\Windows\\SysWOW64\\d3dx9_43.dll", "dll");
        page = RecordingDependencyPage();
        RunStep();
        EXPECT_EQ(Starts(kDirectXSetup), c.runsDirectX ? 1 : 0);
        EXPECT_EQ(Starts(kWebViewSetup), c.runsWebView ? 1 : 0);
        if (c.runsWebView) {
            EXPECT_EQ(CommandLine(kWebViewSetup), "/silent /install");
        }
        EXPECT_EQ(page.timersStarted, std::vector<int32_t>{1}) << "the step hands over to the copy";
        EXPECT_TRUE(Boxes().empty());
        // What the set-ups leave behind makes a second run skip them.
        page = RecordingDependencyPage();
        RunStep();
        EXPECT_EQ(Starts(kDirectXSetup), c.runsDirectX ? 1 : 0);
        EXPECT_EQ(Starts(kWebViewSetup), c.runsWebView ? 1 : 0);
    }
}

TEST_F(DependencyTest, NoDependenciesPortableAndMissingSetupsAreNoReasonToStop) {
    struct Case {
        const char* name;
        bool noDependencies, portable, supportFolder;
    } cases[] = {
        {"NoDependencies", true, false, true},
        {"portable", false, true, true},
        {"no support folder and no local set-up", false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        OpenMachine("");
        InstallOptions& options = InstallOptions::Get();
        options.NoDependencies = c.noDependencies;
        options.PortableSetup = c.portable;
        if (!c.supportFolder) options.SupportFolders.RemoveAll();
        page = RecordingDependencyPage();
        RunStep();
        EXPECT_EQ(Starts(kDirectXSetup) + Starts(kWebViewSetup), 0);
        EXPECT_EQ(page.timersStarted, std::vector<int32_t>{1});
        EXPECT_FALSE(page.wizardCancelled);
        EXPECT_TRUE(Boxes().empty());
    }
}

TEST_F(DependencyTest, BundledMediaAreCopiedAndThePlaylistBecomesTheStartupMedia) {
    InstallOptions::Get().BundledMediaFolder = VnString(kSetup) + u"Media\\";
    RunStep();
    const VnString media = InstallOptions::Get().DestinationFolder + u"Media\\";
    EXPECT_TRUE(Sim().Exists(media + u"Sample Tone.wav"));
    EXPECT_EQ(Sim().Value(VnRegRoot::CurrentUser, u"Software\\V. Arnel\\Tunaro 33\\Properties",
                          "Install - Startup Media"),
              (media + u"Playlist.mpl").ToUtf8());
    EXPECT_NE(std::find(page.statusTexts.begin(), page.statusTexts.end(), "Installing media..."),
              page.statusTexts.end());
}

}  // namespace

#endif
