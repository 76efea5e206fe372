#include "InstallFilesFixture.h"

#ifndef _WIN32

#include "InstallSteps.h"
#include "ProcessInformationBlock.h"
#include "VnFileSystem.h"

// ---- the recording page ----

void RecordingStepPage::SetStatusText(const VnString& text) {
    statusTexts.push_back(text.ToUtf8());
    events.push_back("status " + text.ToUtf8());
}

void RecordingStepPage::SetProgressRange(int minimum, int maximum) {
    events.push_back("range " + std::to_string(minimum) + ".." + std::to_string(maximum));
}

void RecordingStepPage::SetProgressPosition(int position) { events.push_back("position " + std::to_string(position)); }

void RecordingStepPage::SetHeader(const VnString& title, const VnString& subtitle) {
    events.push_back("header " + title.ToUtf8() + " | " + subtitle.ToUtf8());
}

void RecordingStepPage::SetCanCancel(bool allowed) { events.push_back(allowed ? "cancel allowed" : "cancel refused"); }

void RecordingStepPage::CancelWizard() {
    cancelled = true;
    events.push_back("cancel wizard");
}

void RecordingStepPage::StartStepTimer(int32_t step) {
    timersStarted.push_back(step);
    events.push_back("timer " + std::to_string(step));
}

std::vector<std::string> RecordingStepPage::PhaseEvents(const std::string& status) const {
    std::vector<std::string> phase;
    bool inside = false;
    for (const std::string& event : events) {
        if (event.rfind("status ", 0) == 0) {
            if (inside) break;
            inside = event == "status " + status;
            continue;
        }
        if (inside) phase.push_back(event);
    }
    return phase;
}

// ---- the fixture ----

void InstallFilesTest::SetUp() {
    EngineTest::SetUp();
    setup_ = VnString(u"C:\\Users\\User\\Downloads\\Tunaro Setup\\");
    ASSERT_TRUE(SimMachine().CopyDemoSetup(setup_))
        << "no demo set-up folder: build the target vn_demo_setup or set VN_DEMO_SETUP_DIR";
    Facts().installerPath = setup_ + u"Tunaro Install Wizard.exe";

    ProcessInformationBlock& block = ProcessInformationBlock::Get();
    block.SetModuleFolder(setup_ + u"Playmoor\\");
    Tools().SetProcessFolders(&block);
    Options().DestinationFolder = u"C:\\Program Files (x86)\\Tunaro\\";
    SetMessagePump([this] {
        page.events.push_back(Facts().run.wow64FsRedirection ? "pump" : "pump (redirection off)");
    });
}

void InstallFilesTest::TearDown() {
    SetMessagePump(nullptr);
    Tools().SetProcessFolders(nullptr);
    ProcessInformationBlock::Close();
    EngineTest::TearDown();
}

std::vector<int32_t> InstallFilesTest::RunStepChain() {
    std::vector<int32_t> ran;
    page.stepCounter = kDependencyStep;
    page.timersStarted.clear();
    ScheduleNextInstallStep(page);  // as the page does once it is built
    for (size_t next = 0; next < page.timersStarted.size() && ran.size() < 8; ++next) {
        const int32_t step = page.timersStarted[next];
        ran.push_back(step);
        if (step == kDependencyStep)
            InstallDependencies(page);
        else if (step == kCopyAndInstallStep)
            files.CopyAndInstall(&page);
        else if (step == kComponentStep)
            InstallComponents(page);
        else
            break;  // the finishing steps are the page's own
    }
    return ran;
}

bool InstallFilesTest::LoggedContaining(const std::string& part) { return LogText().find(part) != std::string::npos; }

std::vector<std::string> InstallFilesTest::LogLines() {
    std::vector<std::string> lines;
    const std::string text = LogText();
    for (size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
        const size_t afterThread = text.find("] ", start);
        if (afterThread < end) lines.push_back(text.substr(afterThread + 2, end - afterThread - 2));
    }
    return lines;
}

#endif
