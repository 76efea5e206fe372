// Bad inputs as a new user meets them: the product's own files asking for
// values out of range, and damaged files of the simulated machine, each run
// through the runner program on a fresh machine with the demo set-up folder.
#ifndef _WIN32

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "HostFiles.h"

namespace fs = std::filesystem;

namespace {

fs::path BuildFolder() { return fs::canonical("/proc/self/exe").parent_path().parent_path(); }

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

struct RunOutcome {
    int status = -1;
    std::string output;
};

RunOutcome RunRunner(const std::string& arguments) {
    RunOutcome outcome;
    const std::string command = (BuildFolder() / "bin" / "vninstall-sim").string() + " " + arguments + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return outcome;
    char buffer[4096];
    for (size_t read; (read = fread(buffer, 1, sizeof buffer, pipe)) > 0;) outcome.output.append(buffer, read);
    const int status = pclose(pipe);
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return outcome;
}

struct HostileCase {
    const char* name;
    // Text of the demo's "Playmoor\ProductInfo.xml" replaced by another.
    const char* productFrom;
    const char* productTo;
    // A file of the machine folder ("registry.reg", "machine.ini") and its text.
    const char* machineFile;
    std::string machineText;
    int runnerStatus;
    const char* expected;       // in the runner's output
    const char* neverExpected;  // never in it
};

std::string Utf16Reg(const std::string& body) {
    const std::string text = "Windows Registry Editor Version 5.00\r\n\r\n" + body;  // ASCII
    return Utf16FileBytes(std::u16string(text.begin(), text.end()));
}

std::string DeepKey(int levels) {
    std::string key = "[HKEY_CURRENT_USER\\Software";
    for (int i = 1; i < levels; ++i) key += "\\k";
    return key + "]\r\n";
}

}  // namespace

TEST(HostileInputTest, EachBadInputEndsWithItsExitCodeAndMessage) {
    const fs::path demo = BuildFolder() / "setup";
    ASSERT_TRUE(fs::exists(demo / "Playmoor" / "ProductInfo.xml")) << "build vn_demo_setup first";
    const std::string namesOfDemo =
        "<Name Form=\"0\">Tunaro</Name>\n    <Name Form=\"1\">Tunaro 33</Name>\n    <Name Form=\"3\">Tunaro</Name>\n"
        "    <Name Form=\"4\">Tunaro 33</Name>";
    const std::string refused = "Exit code: 1603";
    const HostileCase cases[] = {
        // The slideshow is bounded: a silent install finishes and moves on.
        {"huge promo count", "<PromoCount>3<", "<PromoCount>2147483647<", nullptr, "", 0,
         "Exit code: 0 (completed)", "Critical Error"},
        {"huge promo time", "<PromoMinimumMilliseconds>6000<", "<PromoMinimumMilliseconds>2147483647<", nullptr, "",
         0, "Exit code: 0 (completed)", "Critical Error"},
        // Names that would climb out of their folder or key are refused before anything is written.
        {"name climbs out", "<Name Form=\"4\">Tunaro 33<", "<Name Form=\"4\">..\\..\\..\\Windows<", nullptr, "", 0,
         "product name (form 4) \\\"..\\\\..\\\\..\\\\Windows\\\", which cannot be used", "Uninstall\\.."},
        {"no names at all", namesOfDemo.c_str(), "", nullptr, "", 0,
         "product name (form 4) \\\"\\\", which cannot be used as a folder, file or registry key name: it is empty",
         "Installations"},
        {"forbidden character", "<Name Form=\"3\">Tunaro<", "<Name Form=\"3\">Tu|naro<", nullptr, "", 0,
         "holds the character \\\"|\\\"", "Installations"},
        {"device name", "<StartMenuFolder>Tunaro 33<", "<StartMenuFolder>nul.txt<", nullptr, "", 0,
         "Start Menu folder name \\\"nul.txt\\\"", "Installations"},
        {"executable in a subfolder", "<ExecutableName>Tunaro.exe<", "<ExecutableName>bin/Tunaro.exe<", nullptr, "",
         0, "main executable name", "Installations"},
        // Damaged machine files are refused with the line; sizes do not wrap.
        {"cut-off hex", nullptr, nullptr, "registry.reg",
         Utf16Reg("[HKEY_CURRENT_USER\\Software\\A]\r\n\"B\"=hex:01,02,\\\r\n"), 1,
         "line 4: hex data cut off after a continuation line", "Exit code"},
        {"hex ending in a comma", nullptr, nullptr, "registry.reg",
         Utf16Reg("[HKEY_CURRENT_USER\\Software\\A]\r\n\"B\"=hex:01,02,\r\n"), 1, "bytes are missing", "Exit code"},
        {"key too deep", nullptr, nullptr, "registry.reg", Utf16Reg(DeepKey(513)), 1,
         "a key more than 512 levels deep", "Exit code"},
        {"key as deep as Windows allows", nullptr, nullptr, "registry.reg", Utf16Reg(DeepKey(512)), 0,
         "Exit code: 0 (completed)", "levels deep"},
        {"free space of 2^64 - 2^40 bytes", nullptr, nullptr, "machine.ini",
         "[Drive C]\nFree=16777215 TB\nTotal=16777215 TB\n", 0, "Exit code: 0 (completed)", "Insufficient"},
    };
    for (const HostileCase& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path work = NewHostTempPath("vnhostile");
        fs::create_directories(work);
        fs::copy(demo, work / "setup", fs::copy_options::recursive);
        fs::create_directories(work / "machine");
        if (c.productFrom) {
            const std::string path = (work / "setup" / "Playmoor" / "ProductInfo.xml").string();
            const std::string text = ReadHostFile(path);
            ASSERT_NE(text.find(c.productFrom), std::string::npos);
            WriteHostFile(path, Replaced(text, c.productFrom, c.productTo));
        }
        if (c.machineFile) {
            // A machine that exists needs its facts file; an empty one keeps the defaults.
            WriteHostFile((work / "machine" / "machine.ini").string(), "");
            WriteHostFile((work / "machine" / c.machineFile).string(), c.machineText);
        }
        const RunOutcome run = RunRunner("--machine " + (work / "machine").string() + " --setup " +
                                         (work / "setup").string() + " -- /Silent /NoRun");
        EXPECT_EQ(run.status, c.runnerStatus) << run.output;
        EXPECT_NE(run.output.find(c.expected), std::string::npos) << run.output;
        EXPECT_EQ(run.output.find(c.neverExpected), std::string::npos) << run.output;
        if (c.productFrom && std::string(c.expected).find("cannot be used") != std::string::npos) {
            EXPECT_NE(run.output.find(refused), std::string::npos) << run.output;
        }
        fs::remove_all(work);
    }

    // A path longer than the system takes is named as such, not as missing.
    const RunOutcome tooLong = RunRunner("--machine /tmp/" + std::string(300, 'm') + " --setup " + demo.string());
    EXPECT_EQ(tooLong.status, 2);
    EXPECT_NE(tooLong.output.find("too long for the runner"), std::string::npos) << tooLong.output;
}

#endif
