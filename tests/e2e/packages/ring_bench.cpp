// ring_bench.exe: 100,000 short commands posted through the "VNPS" mailbox
// ring (CPostString, with its named lock) to a reader in another process,
// against a plain named-pipe round trip (message, one-byte answer) of the
// same commands in the same run. Windows only (real shared memory between
// processes); run under Wine or on Windows:
//
//   ring_bench.exe [count [rounds]]             the benchmark (default 100000, 3)
//   ring_bench.exe ring-reader|pipe-reader N    the reading side (started by it)
//
// The two take turns for the rounds; prints each round and the median
// commands per second of each, and their ratio.
#include "VnWin32Platform.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "PostString.h"
#include "ToolsLibrary.h"
#include "ToolsLink.h"

namespace {
constexpr char16_t kMailbox[] = u"Ring Bench FC_IPC";
constexpr wchar_t kPipe[] = L"\\\\.\\pipe\\vn_ring_bench";
constexpr int kBatch = 32;

VnString Command(int n) { return VnString::Format(u"/Play C:\\Music\\%d.mp3", n); }

// Reads as the media program does on each announcement: every queued entry
// under one taking of the lock.
int RingReader(int count) {
    CPostString mailbox(kMailbox, false);
    std::vector<PostedCommand> commands;
    for (int taken = 0; taken < count;) {
        commands.clear();
        if (mailbox.TakeAll(commands) == 0) {
            Sleep(1);  // empty: let the sender fill the ring rather than compete for its lock
            continue;
        }
        for (const PostedCommand& command : commands)
            if (command.text != Command(taken++)) return 1;
    }
    return 0;
}

int PipeReader(int count) {
    HANDLE pipe = INVALID_HANDLE_VALUE;
    for (int tries = 0; tries < 500 && pipe == INVALID_HANDLE_VALUE; ++tries) {
        pipe = CreateFileW(kPipe, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (pipe == INVALID_HANDLE_VALUE) Sleep(10);
    }
    if (pipe == INVALID_HANDLE_VALUE) return 1;
    wchar_t buffer[256];
    for (int n = 0; n < count; ++n) {
        DWORD read = 0, written = 0;
        if (!ReadFile(pipe, buffer, sizeof buffer, &read, nullptr)) return 1;
        const char answer = 1;
        if (!WriteFile(pipe, &answer, 1, &written, nullptr)) return 1;
    }
    CloseHandle(pipe);
    return 0;
}

HANDLE StartReader(const char* mode, int count) {
    wchar_t self[MAX_PATH], line[MAX_PATH + 64];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    swprintf(line, MAX_PATH + 64, L"\"%ls\" %hs %d", self, mode, count);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, line, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) return nullptr;
    CloseHandle(process.hThread);
    return process.hProcess;
}

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return double(to.QuadPart - from.QuadPart) / double(frequency.QuadPart);
}

// Posts every command (waiting while the ring is full) and waits for the
// reader to take them all.
double RingRun(int count) {
    CPostString mailbox(kMailbox, false);
    mailbox.Reset();
    HANDLE reader = StartReader("ring-reader", count);
    if (!reader) return -1;
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    // The sender waits for room for a batch rather than spill into ".pmd"
    // files; the longest command stands for every one of the batch.
    const VnString longest = Command(count);
    for (int n = 0; n < count;) {
        const int batch = std::min(kBatch, count - n);
        while (!mailbox.HasRoomFor(longest, uint32_t(batch))) Sleep(1);
        // Without a window the announcement fails; the entry is queued all the same.
        for (const int end = n + batch; n < end; ++n) mailbox.Post(Command(n), 0, 0);
    }
    WaitForSingleObject(reader, INFINITE);
    QueryPerformanceCounter(&end);
    DWORD code = 1;
    GetExitCodeProcess(reader, &code);
    CloseHandle(reader);
    return code == 0 ? Seconds(start, end) : -1;
}

double PipeRun(int count) {
    HANDLE pipe = CreateNamedPipeW(kPipe, PIPE_ACCESS_DUPLEX, PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT, 1,
                                   4096, 4096, 0, nullptr);
    if (pipe == INVALID_HANDLE_VALUE) return -1;
    HANDLE reader = StartReader("pipe-reader", count);
    if (!reader || (!ConnectNamedPipe(pipe, nullptr) && GetLastError() != ERROR_PIPE_CONNECTED)) return -1;
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    for (int n = 0; n < count; ++n) {
        const VnString text = Command(n);
        DWORD written = 0, read = 0;
        char answer = 0;
        WriteFile(pipe, text.c_str(), DWORD((text.GetLength() + 1) * 2), &written, nullptr);
        ReadFile(pipe, &answer, 1, &read, nullptr);
    }
    QueryPerformanceCounter(&end);
    WaitForSingleObject(reader, INFINITE);
    DWORD code = 1;
    GetExitCodeProcess(reader, &code);
    CloseHandle(reader);
    CloseHandle(pipe);
    return code == 0 ? Seconds(start, end) : -1;
}
}  // namespace

int main(int argc, char** argv) {
    static VnWin32Platform platform;
    VnSetPlatform(&platform);
    VnToolsLibrary tools;  // the named lock object
    VnSetTools(&tools);
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "ring-reader" && argc > 2) return RingReader(std::atoi(argv[2]));
    if (mode == "pipe-reader" && argc > 2) return PipeReader(std::atoi(argv[2]));
    const int count = argc > 1 ? std::atoi(argv[1]) : 100000;
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    std::vector<double> pipes, rings;
    for (int round = 0; round < rounds; ++round) {
        const double pipe = PipeRun(count), ring = RingRun(count);
        if (pipe <= 0 || ring <= 0) {
            std::printf("ring_bench: a run failed (pipe %.3f s, ring %.3f s)\n", pipe, ring);
            return 1;
        }
        std::printf("round %d: pipe %.3f s, ring %.3f s\n", round + 1, pipe, ring);
        pipes.push_back(pipe);
        rings.push_back(ring);
    }
    std::sort(pipes.begin(), pipes.end());
    std::sort(rings.begin(), rings.end());
    const double pipe = pipes[pipes.size() / 2], ring = rings[rings.size() / 2];
    std::printf("median of %d rounds, %d commands each:\n", rounds, count);
    std::printf("named pipe round trip  %8.3f s  %9.0f commands/s\n", pipe, count / pipe);
    std::printf("mailbox ring           %8.3f s  %9.0f commands/s  %.2fx the pipe's rate\n", ring, count / ring,
                pipe / ring);
    VnSetTools(nullptr);
    return 0;
}
