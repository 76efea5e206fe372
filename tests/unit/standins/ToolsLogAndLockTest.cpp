// The log file with its scope lines, and the named lock.
#include <chrono>
#include <functional>
#include <memory>
#include <regex>
#include <thread>

#include "ToolsTestMachine.h"

#ifndef _WIN32
#include "VnSimPlatform.h"
#endif

namespace {

std::vector<std::string> LinesOf(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

TEST_F(ToolsTest, LogScopesWriteStartAndFinishLinesToTheTemporaryFolder) {
    library = NewLibrary();
    ToolsLog* log = library->GetLog();
    {
        ToolsLogScope scope(log, VN_LIT(u"CSettingsHelper::Set"));
        scope.Write(VN_LIT(u"SETTINGS_ENABLESHELLINTEGRATION (1)"));
        scope.SetResult(1);
    }
    { ToolsLogScope scope(log, VN_LIT(u"RunProgram")); }
    log->Flush();

    VnString path = log->GetLogFilePath();
    VnString temp = VnPlatform().System().GetSpecialFolder(vnwin::kCsidlLocalAppData) + u"\\Temp\\";
    EXPECT_EQ(path, temp + u"Tunaro Install Wizard.log");
    std::string text = ReadFile(path);
    ASSERT_EQ(text.substr(0, 3), "\xEF\xBB\xBF");
    std::vector<std::string> lines = LinesOf(text.substr(3));
    ASSERT_EQ(lines.size(), 5u) << text;
    const std::string stamp = R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} \[ *\d+\] )";
    const char* const expected[] = {"CSettingsHelper::Set: Start",
                                    R"(CSettingsHelper::Set: SETTINGS_ENABLESHELLINTEGRATION \(1\))",
                                    R"(CSettingsHelper::Set: Finish \(result: 1\) \(\d+ ms\))", "RunProgram: Start",
                                    R"(RunProgram: Finish \(\d+ ms\))"};
    for (size_t i = 0; i < lines.size(); ++i)
        EXPECT_TRUE(std::regex_match(lines[i], std::regex(stamp + expected[i]))) << lines[i];
}

// Without Flush, lines reach the file at once when the last write was 100 ms
// ago, and at the start and end of every scope, so a process killed at any
// time leaves its log complete up to the last phase it began.
TEST_F(ToolsTest, LogReachesTheFileWithoutFlushAndKeepsToItsOwnFile) {
    auto first = NewLibrary();
    ToolsLog* log = first->GetLog();
    VnString firstPath = log->GetLogFilePath();
    struct Step {
        const char* what;
        std::function<void()> act;
        const char* expected;  // now in the file
    };
    const Step steps[] = {
        {"a first line", [&] { log->Write(u"Batch", u"line 0"); }, "Batch: line 0\r\n"},
        {"a line after 100 ms",
         [&] {
             log->Write(u"Batch", u"line 1");
             std::this_thread::sleep_for(std::chrono::milliseconds(110));
             log->Write(u"Batch", u"line 2");
         },
         "Batch: line 2\r\n"},
        {"a scope's start", [&] { log->BeginScope(u"Phase"); }, "Phase: Start\r\n"},
        {"a line inside the scope, then its end",
         [&] {
             log->Write(u"Phase", u"inside");
             log->EndScope(u"Phase", 0, false, 0);
         },
         "Phase: Finish"},
    };
    for (const Step& step : steps) {
        step.act();
        EXPECT_NE(ReadFile(firstPath).find(step.expected), std::string::npos) << step.what;
    }

    // A second writer while the first holds the file gets its own.
    auto second = NewLibrary();
    VnString secondPath = second->GetLog()->GetLogFilePath();
    EXPECT_NE(secondPath, firstPath);
    EXPECT_TRUE(secondPath.EndsWith(VnString::Format(u"Tunaro Install Wizard (%u).log",
                                                     VnPlatform().System().GetCurrentProcessId())))
        << secondPath.ToUtf8();
    second->GetLog()->Write(VN_LIT(u"Second"), VN_LIT(u"own line"));
    first->GetLog()->Write(VN_LIT(u"First"), VN_LIT(u"last line"));
    second.reset();  // releasing the library writes what is pending
    first.reset();
    EXPECT_EQ(ReadFile(firstPath).find("Second:"), std::string::npos);
    EXPECT_NE(ReadFile(firstPath).find("First: last line"), std::string::npos);
    EXPECT_NE(ReadFile(secondPath).find("Second: own line"), std::string::npos);
}

// A long log is kept whole and in order: nothing at its start is given up for its end.
TEST_F(ToolsTest, LogOfTwoHundredThousandLinesHoldsThemAllInOrder) {
    constexpr int kLines = 200000;
    library = NewLibrary();
    ToolsLog* log = library->GetLog();
    for (int i = 0; i < kLines; ++i) log->Write(VN_LIT(u"Long"), VnString::Format(u"line %d", i));
    VnString path = log->GetLogFilePath();
    library.reset();

    std::string text = ReadFile(path);
    ASSERT_EQ(text.substr(0, 3), "\xEF\xBB\xBF");
    std::vector<std::string> lines = LinesOf(text.substr(3));
    ASSERT_EQ(lines.size(), size_t(kLines));
    int wrong = 0;
    for (int i = 0; i < kLines; ++i) {
        const std::string end = "Long: line " + std::to_string(i);
        if (lines[size_t(i)].size() < end.size() || lines[size_t(i)].compare(lines[size_t(i)].size() - end.size(),
                                                                               end.size(), end) != 0) {
            if (++wrong < 5) ADD_FAILURE() << "line " << i << ": " << lines[size_t(i)];
        }
    }
    EXPECT_EQ(wrong, 0);
}

TEST_F(ToolsTest, NamedLockHasOneHolderAtATime) {
    library = NewLibrary();
    const VnString name = VN_LIT(u"Varnel File Command Lock");
    std::unique_ptr<ToolsNamedLock> first(library->CreateNamedLock(name));
    std::unique_ptr<ToolsNamedLock> second(library->CreateNamedLock(name));
    std::unique_ptr<ToolsNamedLock> other(library->CreateNamedLock(u"Post String Lock - Tunaro 9933 FC_IPC"));

    ASSERT_TRUE(first->Lock(0));
    EXPECT_TRUE(first->IsLocked());
    EXPECT_FALSE(second->Lock(0));
    uint64_t before = VnPlatform().System().GetTickCount64();
    EXPECT_FALSE(second->Lock(50));
    EXPECT_GE(VnPlatform().System().GetTickCount64() - before, 50u);  // it waited for the lock
    EXPECT_FALSE(second->IsLocked());
    EXPECT_TRUE(other->Lock(0));  // another name is another lock

    first->Unlock();
    EXPECT_TRUE(second->Lock(1000));
    EXPECT_FALSE(first->Lock(0));
    second.reset();  // deleting a held lock releases it
    EXPECT_TRUE(first->Lock(0));

    std::unique_ptr<ToolsNamedLock> unnamed(library->CreateNamedLock(VnString()));
    EXPECT_FALSE(unnamed->Lock(0));
}

#ifndef _WIN32
TEST_F(ToolsTest, NamedLockHeldByAnotherProcessTimesOut) {
    Sim().Facts().heldMutexes.Add(VN_LIT(u"Varnel File Command Lock"));
    library = NewLibrary();
    std::unique_ptr<ToolsNamedLock> lock(library->CreateNamedLock(u"Varnel File Command Lock"));
    EXPECT_FALSE(lock->Lock(10000));
}

TEST_F(ToolsTest, MessageBoxesMapOwnButtonsToStandardOnes) {
    library = NewLibrary();
    VnSimShell& shell = Sim().SimShell();

    shell.QueueAnswer(vnwin::kIdYes);
    EXPECT_EQ(library->AskQuestion(u"Close it?", u"Tunaro Open"), kToolsAnswerYes);
    shell.QueueAnswer(vnwin::kIdNo);
    EXPECT_EQ(library->AskQuestion(u"Close it?", u"Tunaro Open"), kToolsAnswerNo);
    EXPECT_EQ(shell.Messages()[0].type & 0xF, vnwin::kMbYesNo);

    shell.QueueAnswer(vnwin::kIdCancel);
    EXPECT_EQ(library->ShowMessageWithButtons(u"Restart now?", u"Confirm Restart", u"Restart", u"Cancel", u""), 1);
    shell.QueueAnswer(vnwin::kIdOk);
    EXPECT_EQ(library->ShowMessageWithButtons(u"Restart now?", u"Confirm Restart", u"Restart", u"Cancel", u""), 0);
    const VnSimMessageRecord& restart = shell.Messages()[3];
    EXPECT_EQ(restart.type & 0xF, vnwin::kMbOkCancel);
    EXPECT_EQ(restart.text, u"Restart now?");
    EXPECT_EQ(restart.labels, (VnStringArray{u"Restart", u"Cancel"}));

    // An empty label leaves a gap: the answers keep the indexes of the labels given.
    shell.QueueAnswer(vnwin::kIdCancel);
    EXPECT_EQ(library->ShowMessageWithButtons(u"Which?", u"Choose", u"Keep", u"", u"Replace"), 2);
    shell.QueueAnswer(vnwin::kIdNo);
    EXPECT_EQ(library->ShowMessageWithButtons(u"Now?", u"Choose", u"Yes", u"No", u"Later"), 1);
    EXPECT_EQ(shell.Messages()[5].labels, (VnStringArray{u"Yes", u"No", u"Later"}));
    // A queued answer may name a label: "Retry" is the first button here, "Cancel" the second.
    shell.QueueAnswer(vnwin::kIdCancel);
    shell.QueueAnswer(vnwin::kIdRetry);
    EXPECT_EQ(library->ShowMessageWithButtons(u"Locked.", u"Failure", u"Retry", u"Cancel", u""), 1);
    EXPECT_EQ(library->ShowMessageWithButtons(u"Locked.", u"Failure", u"Retry", u"Cancel", u""), 0);

    EXPECT_EQ(library->ShowMessage(u"Done.", u"Information"), vnwin::kIdOk);
    library->GetLog()->Flush();
    std::string log = ReadFile(library->GetLog()->GetLogFilePath());
    EXPECT_NE(log.find("\"Confirm Restart\" (Restart/Cancel): Restart now?"), std::string::npos);
    EXPECT_NE(log.find("\"Confirm Restart\" answered 1"), std::string::npos);
}
#endif

}  // namespace
