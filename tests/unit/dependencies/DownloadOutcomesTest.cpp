// DownloadFile against servers of the test on the loopback interface, grouped
// by how the server behaves: what the user is told, and what is left on disk.
#ifndef _WIN32

#include <chrono>

#include "DependencyTestFixture.h"
#include "HttpInternetReader.h"
#include "InstallOptions.h"
#include "VnFileSystem.h"

namespace {

using Connection = LoopbackHttpServer::Connection;

const std::string kBody = [] {
    std::string body;
    for (int i = 0; body.size() < 150000; ++i) body += "block " + std::to_string(i) + "\n";
    return body;
}();

std::string Chunked(const std::string& body, size_t piece) {
    std::string out = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";
    for (size_t at = 0; at < body.size(); at += piece) {
        const std::string part = body.substr(at, piece);
        char size[32];
        std::snprintf(size, sizeof size, "%zx;ext=1\r\n", part.size());
        out += size + part + "\r\n";
    }
    return out + "0\r\nX-Trailer: yes\r\n\r\n";
}

struct OutcomeCase {
    const char* name;
    std::function<void(Connection&)> server;
    // The box's text after "Failed to download from \n<address>\n", or the
    // whole text when it does not begin so; empty: no box, the file is kBody
    // (or `expectedBody`).
    std::string message;
    std::string expectedBody = kBody;
    std::string address = "/file.exe";  // a path on the server, or a whole address
};

class DownloadTest : public DependencyTest {
protected:
    void SetUp() override {
        DependencyTest::SetUp();
        saved_ = DefaultHttpReaderLimits();
        DefaultHttpReaderLimits().readTimeoutMs = 400;
        DefaultHttpReaderLimits().connectTimeoutMs = 400;
    }
    void TearDown() override {
        DefaultHttpReaderLimits() = saved_;
        DependencyTest::TearDown();
    }
    HttpReaderLimits saved_;
};

TEST_F(DownloadTest, EachServerBehaviourEndsInItsOutcomeAndNoPartialFile) {
    const std::string ok = "HTTP/1.1 200 OK\r\n";
    const OutcomeCase cases[] = {
        // Well-behaved servers.
        {"Content-Length", [](Connection& c) { c.Send(LoopbackHttpServer::Response("200 OK", kBody)); }, ""},
        {"chunked, with extensions and trailers", [](Connection& c) { c.Send(Chunked(kBody, 7000)); }, ""},
        {"body up to the close", [&](Connection& c) { c.Send(ok + "\r\n" + kBody); }, ""},
        {"interim 100 Continue first",
         [](Connection& c) { c.Send("HTTP/1.1 100 Continue\r\n\r\n" + LoopbackHttpServer::Response("200 OK", kBody)); },
         ""},
        {"redirects, relative and absolute",
         [](Connection& c) {
             if (c.Target() == "/file.exe") c.Send("HTTP/1.1 302 Found\r\nLocation: /moved\r\nContent-Length: 0\r\n\r\n");
             else if (c.Target() == "/moved") c.Send("HTTP/1.1 301 Moved\r\nLocation: http://localhost:" + c.Port() + "/final\r\n\r\n");
             else c.Send(LoopbackHttpServer::Response("200 OK", kBody));
         },
         ""},
        {"body longer than announced: the announced bytes",
         [](Connection& c) { c.Send("HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\n" + kBody); }, "", kBody.substr(0, 10)},
        // Answers that refuse.
        {"404", [](Connection& c) { c.Send(LoopbackHttpServer::Response("404 File not found", "none")); },
         "Server returned\n404 File not found."},
        {"500 without reason", [](Connection& c) { c.Send("HTTP/1.1 500\r\nContent-Length: 0\r\n\r\n"); },
         "Server returned\n500 ."},
        {"redirect loop", [](Connection& c) { c.Send("HTTP/1.1 302 Found\r\nLocation: /file.exe\r\n\r\n"); },
         "Server returned\n0 too many redirects (more than 10)."},
        {"redirect to https", [](Connection& c) { c.Send("HTTP/1.1 302 Found\r\nLocation: https://example.com/x\r\n\r\n"); },
         "Server returned\n0 redirected to an unsupported address."},
        // Broken heads.
        {"no status line", [](Connection& c) { c.Send("hello\r\n\r\n"); },
         "Server returned\n0 bad response from server (no status line)."},
        {"closed before answering", [](Connection&) {}, "Server returned\n0 bad response from server (no status line)."},
        {"negative Content-Length", [&](Connection& c) { c.Send(ok + "Content-Length: -5\r\n\r\nabc"); },
         "Server returned\n0 bad response from server (invalid Content-Length)."},
        {"huge Content-Length", [&](Connection& c) { c.Send(ok + "Content-Length: 99999999999999999999\r\n\r\nabc"); },
         "Server returned\n0 bad response from server (invalid Content-Length)."},
        {"10,000 headers",
         [&](Connection& c) {
             std::string head = ok;
             for (int i = 0; i < 10000; ++i) head += "X-Header-" + std::to_string(i) + ": value\r\n";
             c.Send(head + "\r\n");
         },
         "Server returned\n0 bad response from server (too many header lines)."},
        {"header line of 1 MB", [&](Connection& c) { c.Send(ok + "X-Big: " + std::string(1 << 20, 'x') + "\r\n\r\n"); },
         "Server returned\n0 bad response from server (header line too long)."},
        {"never answers", [](Connection& c) { c.Hold(5000); },
         "Server returned\n0 no answer from server (time-out)."},
        // Bodies that break off.
        {"closes halfway",
         [&](Connection& c) { c.Send(ok + "Content-Length: " + std::to_string(kBody.size()) + "\r\n\r\n" + kBody.substr(0, 60000)); },
         "Internet error."},
        {"stops sending halfway",
         [&](Connection& c) {
             c.Send(ok + "Content-Length: " + std::to_string(kBody.size()) + "\r\n\r\n" + kBody.substr(0, 60000));
             c.Hold(5000);
         },
         "Internet error."},
        {"bad chunk size", [&](Connection& c) { c.Send(ok + "Transfer-Encoding: chunked\r\n\r\n10\r\n0123456789abcdef\r\nzz\r\n"); },
         "Internet error."},
        // Addresses the reader does not take.
        {"https address", [](Connection&) {}, "Server returned\n0 unsupported address (only http:// addresses are read).",
         kBody, "https://127.0.0.1/file.exe"},
        {"ftp address", [](Connection&) {}, "Server returned\n0 unsupported address (only http:// addresses are read).",
         kBody, "ftp://127.0.0.1/file.exe"},
        {"a host beyond the machine", [](Connection&) {}, "Server returned\n0 server not found (error 11001).", kBody,
         "http://downloads.tunaro.example/file.exe"},
    };
    for (const OutcomeCase& c : cases) {
        SCOPED_TRACE(c.name);
        OpenMachine("");
        LoopbackHttpServer server(c.server);
        const std::string address = c.address[0] == '/' ? server.Url(c.address) : c.address;
        const VnString target = VnString(kSupport) + u"Downloads\\file.exe";
        CInstallDependencies worker(page);
        const auto started = std::chrono::steady_clock::now();
        const bool downloaded = worker.DownloadFile(VnString::FromUtf8(address), target);
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(4));
        EXPECT_EQ(downloaded, c.message.empty());
        if (c.message.empty()) {
            EXPECT_TRUE(Sim().ReadFile(target) == c.expectedBody);
            EXPECT_TRUE(Boxes().empty());
            continue;
        }
        EXPECT_FALSE(Sim().Exists(target)) << "no partial file";
        EXPECT_EQ(Boxes(), std::vector<std::string>{"Download Error: Failed to download from \n" + address + "\n" +
                                                    c.message});
    }
}

TEST_F(DownloadTest, ConnectionRefusedAndUncreatableFolderAreTold) {
    std::string address;
    {
        LoopbackHttpServer gone([](Connection&) {});
        address = gone.Url("/file.exe");
    }
    CInstallDependencies worker(page);
    EXPECT_FALSE(worker.DownloadFile(VnString::FromUtf8(address), VnString(kSupport) + u"file.exe"));
    EXPECT_EQ(Boxes().back(), "Download Error: Failed to download from \n" + address +
                                  "\nServer returned\n0 connection refused (error 10061).");

    OpenMachine("[Faults]\nUncreatableFolder=C:\\Locked\n");
    LoopbackHttpServer server([](Connection& c) { c.Send(LoopbackHttpServer::Response("200 OK", kBody)); });
    CInstallDependencies second(page);
    EXPECT_FALSE(second.DownloadFile(VnString::FromUtf8(server.Url("/file.exe")), u"C:\\Locked\\Support\\file.exe"));
    EXPECT_EQ(Boxes(), std::vector<std::string>{"Download Error: Failed to download from \n" + server.Url("/file.exe") +
                                                "\nCan not create file\n200 OK."});
    EXPECT_FALSE(Sim().Exists(u"C:\\Locked"));
}

TEST_F(DownloadTest, CancelBetweenBlocksDeletesThePartialFileAndStopsTheStep) {
    LoopbackHttpServer server([](Connection& c) {
        c.Send("HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(kBody.size()) + "\r\n\r\n");
        c.SendSlowly(kBody, 4096, 20);
    });
    ServeDownloadsFrom(server);
    int pumps = 0;
    SetMessagePump([&] {
        if (++pumps == 3) page.cancelRequested = true;
    });
    RunStep();
    SetMessagePump(nullptr);
    EXPECT_EQ(pumps, 3);
    EXPECT_FALSE(Sim().Exists(VnString(kSupport) + kDirectXSetup));
    EXPECT_EQ(Boxes(), std::vector<std::string>{"Download Error: Downloading of setup file was canceled."});
    EXPECT_TRUE(page.timersStarted.empty()) << "the copy does not follow";
    EXPECT_EQ(page.cancelAllowed, (std::vector<bool>{false, true, false})) << "allowed only while downloading";
    EXPECT_EQ(Starts(kDirectXSetup) + Starts(kWebViewSetup), 0);
}

}  // namespace

#endif
