// A 200 MB download from a server on the loopback interface through the
// stand-in reader library and the installer's DownloadFile (4096-byte blocks
// written straight to the simulated machine's disk), against `curl` fetching
// the same file from the same server in the same run.
//
// The server is a forked child that answers every request with the file
// (Content-Length, sendfile). Each download runs in a forked child of its
// own, so that its CPU time and peak resident memory come from wait4's
// rusage of that child alone. Order: curl, reader, reader, curl; the best of
// each is kept. Everything made is deleted afterwards.
//
//   download_bench [megabytes]   (default 200)
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/sendfile.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "InstallDependency.h"
#include "SimInstallerRun.h"
#include "VnSimPlatform.h"

namespace fs = std::filesystem;

namespace {

struct Run {
    double seconds = 0;
    double cpuSeconds = 0;
    long peakKb = 0;
    int status = 0;
};

// Serves `file` to every connection until killed.
[[noreturn]] void Serve(int listener, const std::string& file, off_t size) {
    for (;;) {
        const int client = ::accept(listener, nullptr, nullptr);
        if (client < 0) continue;
        char request[4096];
        (void)::recv(client, request, sizeof request, 0);
        const std::string head = "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(size) +
                                 "\r\nConnection: close\r\n\r\n";
        (void)::send(client, head.data(), head.size(), MSG_NOSIGNAL);
        const int fd = ::open(file.c_str(), O_RDONLY);
        off_t offset = 0;
        while (offset < size && ::sendfile(client, fd, &offset, size_t(size - offset)) > 0) {
        }
        ::close(fd);
        ::shutdown(client, SHUT_WR);
        ::close(client);
    }
}

// Runs `body` in a forked child and measures it.
template <typename Body>
Run Measure(Body body) {
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = ::fork();
    if (child == 0) std::_Exit(body());
    Run run;
    rusage usage{};
    ::wait4(child, &run.status, 0, &usage);
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.cpuSeconds = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                     double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    run.peakKb = usage.ru_maxrss;
    return run;
}


int ReaderDownload(const std::string& url, const fs::path& machineFolder) {
    std::string error;
    auto machine = VnSimPlatform::OpenMachine(machineFolder.string(), error);
    if (!machine) return 2;
    VnSetPlatform(machine.get());
    RegisterStandIns();
    QuietInstallStepPage page;
    CInstallDependencies worker(page);
    const bool ok = worker.DownloadFile(VnString::FromUtf8(url), u"C:\\Setup\\Support\\bench.bin");
    VnSetPlatform(nullptr);
    return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const long megabytes = argc > 1 ? std::atol(argv[1]) : 200;
    const fs::path work = fs::temp_directory_path() / ("download_bench." + std::to_string(::getpid()));
    fs::create_directories(work);
    const fs::path source = work / "source.bin";
    {
        std::ofstream out(source, std::ios::binary);
        std::string block(1 << 20, '\0');
        for (long m = 0; m < megabytes; ++m) {
            for (size_t i = 0; i < block.size(); ++i) block[i] = char((i * 31 + size_t(m) * 7) & 0xFF);
            out.write(block.data(), std::streamsize(block.size()));
        }
    }
    const off_t size = off_t(fs::file_size(source));

    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(listener, 8) != 0 ||
        ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        std::perror("download_bench: listen");
        return 1;
    }
    const pid_t server = ::fork();
    if (server == 0) Serve(listener, source.string(), size);
    ::close(listener);
    const std::string url = "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/bench.bin";

    const fs::path curlTarget = work / "curl.bin";
    auto curl = [&] {
        return Measure([&] {
            execlp("curl", "curl", "-s", "-f", "-o", curlTarget.c_str(), url.c_str(), static_cast<char*>(nullptr));
            return 127;
        });
    };
    int machines = 0;
    fs::path lastMachine;
    auto reader = [&] {
        lastMachine = work / ("machine" + std::to_string(++machines));
        return Measure([&] { return ReaderDownload(url, lastMachine); });
    };
    Run runs[4] = {curl(), reader(), reader(), curl()};
    ::kill(server, SIGTERM);
    ::waitpid(server, nullptr, 0);

    const fs::path downloaded = lastMachine / "drives/C/Setup/Support/bench.bin";
    bool same = fs::exists(downloaded) && fs::file_size(downloaded) == uint64_t(size) &&
                fs::exists(curlTarget) && fs::file_size(curlTarget) == uint64_t(size);
    for (const Run& run : runs) same = same && WIFEXITED(run.status) && WEXITSTATUS(run.status) == 0;
    if (same) {
        std::ifstream a(downloaded, std::ios::binary), b(source, std::ios::binary);
        same = std::equal(std::istreambuf_iterator<char>(a), {}, std::istreambuf_iterator<char>(b));
    }
    const Run& curlBest = runs[0].seconds < runs[3].seconds ? runs[0] : runs[3];
    const Run& readerBest = runs[1].seconds < runs[2].seconds ? runs[1] : runs[2];
    std::printf("download of %ld MB from a loopback server (best of 2 each)\n", megabytes);
    std::printf("  curl     %.3f s  cpu %.3f s  peak %ld KB\n", curlBest.seconds, curlBest.cpuSeconds, curlBest.peakKb);
    std::printf("  reader   %.3f s  cpu %.3f s  peak %ld KB (whole child: machine, libraries, buffers)\n",
                readerBest.seconds, readerBest.cpuSeconds, readerBest.peakKb);
    std::printf("  ratio    %.2f (reader / curl)\n", readerBest.seconds / curlBest.seconds);
    std::printf("  files    %s\n", same ? "identical" : "DIFFERENT OR MISSING");
    fs::remove_all(work);
    return same ? 0 : 1;
}
