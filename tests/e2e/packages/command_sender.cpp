// command_sender.exe: commands to the running program through the
// installer's own CTNCommandLine, for scripts/wine-packages-e2e.sh.
//
//   command_sender.exe send <program folder> <sender> <count>
//     Hands <count> commands to the program of that folder, one after the
//     other: by turns a short one, one of exactly 128 and of 129 characters,
//     one of 2,000 characters and one holding "TREEPATH=". Each names the
//     sender and its number ("/Test S<sender> N<number> ..."), so that the
//     check below can tell every one apart. Exit code 0 when every command
//     was handed over.
//   command_sender.exe one <program folder> <command>
//     Hands over one command (the rest of the line).
//   command_sender.exe close <program folder>
//     Asks the running program to close (the tools library's CloseProduct).
//   command_sender.exe check <senders> <count>
//     Reads what the running demo program recorded (HKEY_CURRENT_USER
//     "Software\V. Arnel\Demo Commands\Tunaro.exe") and checks that every
//     command of every sender came exactly once, intact, and in its sender's
//     order. Prints "PASS ..." or "FAIL ...: ..." and "N passed, N failed".
#include "VnWin32Platform.h"

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "CompanionPackages.h"
#include "LoadedProduct.h"
#include "ProductCommandLine.h"
#include "VnFileSystem.h"

namespace {

constexpr char16_t kCommandsKey[] = u"Software\\V. Arnel\\Demo Commands\\Tunaro.exe";
int g_passed = 0, g_failed = 0;

void Check(const std::string& what, bool ok, const std::string& detail = std::string()) {
    if (ok) {
        ++g_passed;
        std::printf("PASS %s\n", what.c_str());
    } else {
        ++g_failed;
        std::printf("FAIL %s: %s\n", what.c_str(), detail.c_str());
    }
}

// The command a sender sends as its number `n`.
std::string CommandText(int sender, int n) {
    std::string text = "/Test S" + std::to_string(sender) + " N" + std::to_string(n);
    switch (n % 5) {
        case 0: return text;
        case 1: text.resize(128, 'a'); return text;
        case 2: text.resize(129, 'b'); return text;
        case 3: text.resize(2000, 'c'); return text;
        default: return text + " TREEPATH=\\Music\\Album " + std::to_string(n);
    }
}

int Send(const VnString& folder, int sender, int count) {
    CompanionProductTools tools(folder);
    int failed = 0;
    for (int n = 0; n < count; ++n) {
        CTNCommandLine command;
        if (!command.Execute(VnString::FromUtf8(CommandText(sender, n)))) {
            ++failed;
            std::printf("sender %d: command %d not handed over (%s)\n", sender, n, command.GetOutcome().ToUtf8().c_str());
        }
    }
    std::printf("sender %d: %d of %d handed over\n", sender, count - failed, count);
    return failed == 0 ? 0 : 1;
}

int CheckRecorded(int senders, int count) {
    IVnRegistry& registry = VnPlatform().Registry();
    VnRegKey key = 0;
    std::vector<std::string> recorded;
    if (registry.OpenKey(VnRegRoot::CurrentUser, kCommandsKey, vnwin::kKeyRead, key) == 0) {
        VnRegValue number;
        registry.QueryValue(key, u"Command Count", number);
        for (uint32_t n = 1; n <= number.number; ++n) {
            VnRegValue text;
            registry.QueryValue(key, VnString::Format(u"Command (%d)", int(n)), text);
            recorded.push_back(text.text.ToUtf8());
        }
        registry.CloseKey(key);
    }
    std::map<std::string, int> seen;
    std::map<int, std::vector<int>> order;  // sender -> numbers in the order received
    for (const std::string& text : recorded) {
        int sender = -1, n = -1;
        if (std::sscanf(text.c_str(), "/Test S%d N%d", &sender, &n) != 2) continue;
        ++seen[text];
        order[sender].push_back(n);
    }
    int missing = 0, twice = 0, damaged = 0;
    std::string firstProblem;
    for (int sender = 1; sender <= senders; ++sender)
        for (int n = 0; n < count; ++n) {
            const int times = seen.count(CommandText(sender, n)) ? seen[CommandText(sender, n)] : 0;
            if (times == 0) ++missing;
            if (times > 1) ++twice;
            if (times != 1 && firstProblem.empty())
                firstProblem = "S" + std::to_string(sender) + " N" + std::to_string(n) + " seen " + std::to_string(times);
        }
    for (const auto& [text, times] : seen) {
        int sender = 0, n = 0;
        std::sscanf(text.c_str(), "/Test S%d N%d", &sender, &n);
        if (text != CommandText(sender, n)) ++damaged;
    }
    Check("every command arrived", missing == 0, std::to_string(missing) + " missing; " + firstProblem);
    Check("no command arrived twice", twice == 0, std::to_string(twice) + " twice");
    Check("every command arrived intact", damaged == 0, std::to_string(damaged) + " changed");
    bool inOrder = true;
    for (const auto& [sender, numbers] : order)
        for (size_t i = 1; i < numbers.size(); ++i) inOrder = inOrder && numbers[i - 1] < numbers[i];
    Check("each sender's commands in its order", inOrder);
    std::printf("%d passed, %d failed\n", g_passed, g_failed);
    return g_failed == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    static VnWin32Platform platform;
    VnSetPlatform(&platform);
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "send" && argc == 5)
        return Send(NormaliseFolder(VnString::FromUtf8(argv[2])), std::atoi(argv[3]), std::atoi(argv[4]));
    if (mode == "one" && argc >= 4) {
        std::string command = argv[3];
        for (int i = 4; i < argc; ++i) command += std::string(" ") + argv[i];
        CompanionProductTools tools(NormaliseFolder(VnString::FromUtf8(argv[2])));
        return CTNCommandLine().Execute(VnString::FromUtf8(command)) ? 0 : 1;
    }
    if (mode == "close" && argc == 3) {
        CompanionProductTools tools(NormaliseFolder(VnString::FromUtf8(argv[2])));
        ProductInformation* product = LoadedProductInformation();
        return product && product->CloseProduct() ? 0 : 1;
    }
    if (mode == "check" && argc == 4) return CheckRecorded(std::atoi(argv[2]), std::atoi(argv[3]));
    std::printf("usage: command_sender.exe send <folder> <sender> <count> | one <folder> <command> | close <folder> | check <senders> <count>\n");
    return 2;
}
