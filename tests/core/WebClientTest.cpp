// The web client against servers on 127.0.0.1: results for good answers, and every kind of bad
// server ending within its bound.
#include "WebClient.h"

#include "FileVersion.h"
#include "ServiceAddress.h"

#include "../audio/HttpTestServer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <thread>

using namespace tunola;
using tunaudio::test::DeadPort;
using tunaudio::test::THttpRoute;
using tunaudio::test::THttpTestServer;
using namespace std::chrono_literals;

namespace {

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

TWebBounds Short() {
    TWebBounds b;
    b.connectMs = 500;
    b.stallMs = 500;
    b.totalMs = 1500;
    b.maxBytes = 1u << 20;
    return b;
}

} // namespace

TEST(UrlCoding, EncodeKeepsOnlyAsciiLettersAndDigits) {
    const struct {
        std::string in, out;
    } cases[] = {
        {"a b", "a%20b"},
        {"A-1", "A%2D1"},
        {"", ""},
        {"azAZ09", "azAZ09"},
        {"~._*+&=%", "%7E%2E%5F%2A%2B%26%3D%25"},
        {"\xC4\xE3\xBA\xC3", "%C4%E3%BA%C3"}, // 你好 in GBK
        {std::string("\0\xFF", 2), "%00%FF"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(UrlEncode(c.in), c.out) << c.in;
}

TEST(UrlCoding, DecodeStopsAtAmpersandAndAlwaysTakesTwoCharacters) {
    const struct {
        std::string in, out;
    } cases[] = {
        {"a%41+b&c", "aA b"},
        {"%c4%E3%BA%c3", "\xC4\xE3\xBA\xC3"},
        {"&x", ""},
        {"%4G1", std::string("\x04") + "1"}, // hex read up to the first non-digit
        {"%G1x", std::string("\0x", 2)},     // first not a digit: 0, both consumed
        {"%&ab&c", std::string("\0b", 2)},   // the two after "%" are taken, "&" too
        {"ab%4", std::string("ab\x04")},     // short at the end
        {"ab%", std::string("ab\0", 3)},
        {"+%2B+", " + "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(UrlDecode(c.in), c.out) << c.in;
    // Every encoded byte string decodes back (as long as it holds no "&" once encoded: none).
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    EXPECT_EQ(UrlDecode(UrlEncode(all)), all);
}

TEST(UrlCoding, SplitUrl) {
    const struct {
        std::string in, host, object;
    } cases[] = {
        {"http://example.com/lrcpost.asp", "example.com", "lrcpost.asp"},
        {"HTTP://Host:8080/a/b?c=1", "Host:8080", "a/b?c=1"},
        {"http://example.com/", "example.com", ""},
        {"example.com/x", "example.com", "x"},
        {"http://example.com", "", "example.com"},
        {"https://h/x", "https:", "/h/x"},
        {"", "", ""},
    };
    for (const auto& c : cases) {
        const TSplitUrl s = SplitUrl(c.in);
        EXPECT_EQ(s.host, c.host) << c.in;
        EXPECT_EQ(s.object, c.object) << c.in;
    }
}

TEST(FileVersion, ComesFromTheProjectVersion) {
    const TFileVersion v = GetFileVersion();
    EXPECT_EQ(v.Major, 2);
    EXPECT_EQ(v.Minor, 0);
    EXPECT_EQ(v.Release, 0);
    EXPECT_EQ(v.Build, 0);
    EXPECT_EQ(WebAgentName(), "Tunola/2.0.0.0");
}

TEST(ServiceAddress, HostFromTheConfigurationWithADefault) {
    ::unsetenv(kServiceHostVariable); // the suite's own setting
    const std::string file =
        std::string(::getenv("TMPDIR") ? ::getenv("TMPDIR") : "/tmp") + "/service-address.xml";
    std::remove(file.c_str());
    EXPECT_EQ(ReadServiceHost(file), "127.0.0.1:7860");
    {
        std::ofstream out(file);
        out << "<TUNOLA.CONFIG><Service HOST=\" music.example:8080 \"/></TUNOLA.CONFIG>";
    }
    EXPECT_EQ(ReadServiceHost(file), "music.example:8080");
    ::setenv(kServiceHostVariable, "127.0.0.1:9", 1);
    EXPECT_EQ(ReadServiceHost(file), "127.0.0.1:9") << "the environment stands in";
    ::setenv(kServiceHostVariable, "", 1);
    EXPECT_EQ(ReadServiceHost(file), "music.example:8080");
    ::unsetenv(kServiceHostVariable);
    EXPECT_EQ(ServiceUrl("music.example:8080", kServiceCheckPath),
              "http://music.example:8080/soft/updata.asp");
    std::remove(file.c_str());
}

TEST(WebGet, BodiesPlainChunkedAndCutAtTheFirstZero) {
    THttpTestServer server;
    THttpRoute plain;
    plain.body = "hello tunola";
    server.Route("/plain", plain);
    THttpRoute chunked;
    chunked.body = std::string(100000, 'c') + "end";
    chunked.chunked = true;
    chunked.chunk = 777;
    server.Route("/chunked", chunked);
    THttpRoute zero;
    zero.body = std::string("before\0after", 12);
    zero.chunk = 3; // the zero lies inside a later read
    server.Route("/zero", zero);
    THttpRoute redirect;
    redirect.status = 302;
    redirect.location = "/plain";
    server.Route("/moved", redirect);
    THttpRoute ftp;
    ftp.status = 302;
    ftp.location = "ftp://127.0.0.1/x";
    server.Route("/to-ftp", ftp);
    THttpRoute error;
    error.status = 500;
    error.body = "tunola internal error";
    server.Route("/error", error);
    ASSERT_TRUE(server.Start());

    EXPECT_EQ(WebGet("  " + server.Url("/plain") + "\r\n"), "hello tunola");
    EXPECT_EQ(WebGet(server.Url("/chunked")), chunked.body);
    EXPECT_EQ(WebGet(server.Url("/zero")), "before");
    EXPECT_EQ(WebGetResponse(server.Url("/zero")).body, zero.body);
    EXPECT_EQ(WebGet(server.Url("/moved")), "hello tunola");
    EXPECT_EQ(WebGet(server.Url("/to-ftp")), "");
    EXPECT_EQ(WebGet(server.Url("/error")), "");
    EXPECT_EQ(WebGetResponse(server.Url("/error")).status, 500);
    EXPECT_EQ(WebGet("file:///etc/passwd"), "");

    const std::string head = server.LastRequest().head;
    EXPECT_NE(head.find("User-Agent: Tunola/2.0.0.0"), std::string::npos) << head;
    EXPECT_EQ(head.find("Cookie"), std::string::npos) << head;
}

TEST(WebPostForm, SendsTheBodyAndReturnsExactlyTheAnswer) {
    THttpTestServer server;
    THttpRoute answer;
    answer.body = std::string("ok\0more", 7);
    server.Route("/lrcpost.asp", answer);
    THttpRoute error;
    error.status = 404;
    error.body = "gone";
    server.Route("/error", error);
    THttpRoute cut;
    cut.body = std::string(10000, 'p');
    cut.stallAfter = 5000; // half an answer, then silence
    server.Route("/cut", cut);
    ASSERT_TRUE(server.Start());

    const std::string host = "127.0.0.1:" + std::to_string(server.Port());
    const std::string body = "ltitle=%C4%E3&lsinger=a%20b&llrc=tun%5F12345";
    EXPECT_EQ(WebPostForm("http://" + host + "/lrcpost.asp", body), answer.body);
    const auto request = server.LastRequest();
    EXPECT_EQ(request.method, "POST");
    EXPECT_EQ(request.path, "/lrcpost.asp");
    EXPECT_EQ(request.body, body);
    EXPECT_EQ(request.head.rfind("POST /lrcpost.asp HTTP/1.0\r\n", 0), 0u) << request.head;
    EXPECT_NE(request.head.find("Content-Type: application/x-www-form-urlencoded"),
              std::string::npos);
    EXPECT_NE(request.head.find("Accept: */*"), std::string::npos);

    EXPECT_EQ(WebPostForm("http://" + host + "/error", body), "");
    EXPECT_EQ(WebPostForm("http://" + host + "/cut", body, Short()), "");
    EXPECT_EQ(WebPostForm("http://" + host, body), ""); // no "/": no host
}

// Each bad server ends the call within its bound, and with nothing.
TEST(WebBounds, DeadSilentTricklingAndHugeServersEndInTime) {
    THttpTestServer silent;
    ASSERT_TRUE(silent.Start(true));
    THttpTestServer server;
    THttpRoute trickle;
    trickle.body = std::string(100, 't');
    trickle.chunk = 1;
    trickle.pause = 1000ms;
    server.Route("/trickle", trickle);
    THttpRoute fast;
    fast.body = std::string(100, 't');
    fast.chunk = 1;
    fast.pause = 100ms; // under the stall bound, but the whole takes 10 s
    server.Route("/slow", fast);
    THttpRoute huge; // far beyond the cap, never ending
    huge.body = std::string(64u << 10, 'h');
    huge.endless = true;
    huge.sendLength = false;
    server.Route("/huge", huge);
    THttpRoute stalled;
    stalled.body = std::string(1000, 's');
    stalled.stallAfter = 10;
    server.Route("/stalled", stalled);
    ASSERT_TRUE(server.Start());

    const TWebBounds bounds = Short();
    const struct {
        std::string name, url;
        double limit; // seconds
    } cases[] = {
        {"dead port", "http://127.0.0.1:" + std::to_string(DeadPort()) + "/", 1.0},
        {"accepts, never answers", silent.Url("/"), 1.0},
        {"one byte a second", server.Url("/trickle"), 1.2},
        {"ten bytes a second", server.Url("/slow"), 2.0},
        {"endless answer", server.Url("/huge"), 1.0},
        {"stops half-way", server.Url("/stalled"), 1.2},
    };
    for (const auto& c : cases) {
        const auto start = std::chrono::steady_clock::now();
        const TWebResponse r = WebGetResponse(c.url, bounds);
        const double took = SecondsSince(start);
        EXPECT_FALSE(r.ok) << c.name;
        EXPECT_TRUE(r.body.empty()) << c.name;
        EXPECT_LT(took, c.limit) << c.name << ": " << r.error;
    }
}

TEST(WebCancel, EndsARunningCallFromAnotherThreadAndLaterOnes) {
    THttpTestServer silent;
    ASSERT_TRUE(silent.Start(true));
    TWebBounds patient;
    patient.stallMs = patient.totalMs = 60000;
    TWebCancel cancel;
    std::string result = "unset";
    const auto start = std::chrono::steady_clock::now();
    std::thread worker([&] { result = WebGet(silent.Url("/"), patient, &cancel); });
    std::this_thread::sleep_for(200ms);
    cancel.Cancel();
    worker.join();
    EXPECT_LT(SecondsSince(start), 0.5);
    EXPECT_EQ(result, "");

    const auto again = std::chrono::steady_clock::now();
    EXPECT_EQ(WebPostForm(silent.Url("/x"), "a=1", patient, &cancel), "");
    EXPECT_LT(SecondsSince(again), 0.1);
}
