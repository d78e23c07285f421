#include "engine/probes.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>

using namespace std::chrono_literals;

// Every probe here goes to 127.0.0.0/8 only; the suite runs in a network namespace with
// nothing but loopback, where the black hole address drops everything sent to it.
namespace {

// A loopback TCP socket on a free port: listening, or only bound so that nothing answers.
class LoopbackPort {
public:
    explicit LoopbackPort(bool listening) : socket_(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP)) {
        sockaddr_in address{AF_INET, 0, {}, {}};
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        int length = sizeof address;
        const auto* name = reinterpret_cast<sockaddr*>(&address);
        if (bind(socket_, name, length) == 0 && (!listening || listen(socket_, SOMAXCONN) == 0) &&
            getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
            port_ = ntohs(address.sin_port);
        }
    }
    ~LoopbackPort() { closesocket(socket_); }
    LoopbackPort(const LoopbackPort&) = delete;
    LoopbackPort& operator=(const LoopbackPort&) = delete;
    std::uint16_t port() const { return port_; }

private:
    SOCKET socket_;
    std::uint16_t port_ = 0;
};

// The import slots of this executable through which the program calls these two functions.
extern "C" void* __imp_GetAddrInfoW;
extern "C" void* __imp_getsockopt;

// Points one import slot at a stand-in while it lives, so the program's own calls of that
// Windows Sockets function reach the stand-in.
class ImportReplacement {
public:
    ImportReplacement(void*& slot, void* replacement)
        : slot_(slot), original_(exchange(replacement)) {}
    ~ImportReplacement() { exchange(original_); }
    ImportReplacement(const ImportReplacement&) = delete;
    ImportReplacement& operator=(const ImportReplacement&) = delete;
    void* original() const { return original_; }

private:
    void* exchange(void* value) {
        DWORD protection = 0;
        VirtualProtect(&slot_, sizeof slot_, PAGE_READWRITE, &protection);
        void* previous = slot_;
        slot_ = value;
        VirtualProtect(&slot_, sizeof slot_, protection, &protection);
        return previous;
    }

    void*& slot_;
    void* original_;
};

int nameLookups = 0;
decltype(&GetAddrInfoW) realGetAddrInfoW = nullptr;

INT WSAAPI countingGetAddrInfoW(PCWSTR node, PCWSTR service, const ADDRINFOW* hints,
                                PADDRINFOW* result) {
    ++nameLookups;
    return realGetAddrInfoW(node, service, hints, result);
}

int WSAAPI failingGetsockopt(SOCKET, int, int, char*, int*) {
    WSASetLastError(WSAENOTSOCK);
    return SOCKET_ERROR;
}

// A probe that gets no answer fails at its time-out of about one second.
void expectFailureAfterAboutOneSecond(const std::function<bool()>& probe) {
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(probe());
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took.count(), 0.9);
    EXPECT_LE(took.count(), 3.0);
}

class ProbesTest : public ::testing::Test {
protected:
    void SetUp() override {
        WSADATA data;
        ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &data), 0);
    }
    void TearDown() override { WSACleanup(); }
};

TEST_F(ProbesTest, DottedHostIsUsedWithoutANameLookup) {
    const ImportReplacement counting(__imp_GetAddrInfoW,
                                     reinterpret_cast<void*>(&countingGetAddrInfoW));
    realGetAddrInfoW = reinterpret_cast<decltype(&GetAddrInfoW)>(counting.original());
    for (const std::wstring host : {L"127.0.0.1", L"127.12.34.56", L"localhost"}) {
        sockaddr_in address;
        std::memset(&address, 0xA5, sizeof address);  // every byte must be set by the call
        ASSERT_TRUE(resolveIPv4(host, address)) << host;
        wchar_t text[INET_ADDRSTRLEN] = {};
        InetNtopW(AF_INET, &address.sin_addr, text, INET_ADDRSTRLEN);
        EXPECT_EQ(text, host == L"localhost" ? L"127.0.0.1" : host);
        EXPECT_EQ(address.sin_family, AF_INET);
        EXPECT_EQ(address.sin_port, 0);
        for (unsigned char byte : address.sin_zero) EXPECT_EQ(byte, 0);
    }
    EXPECT_EQ(nameLookups, 1);  // for the name only
}

TEST_F(ProbesTest, HostsWithoutAnIPv4AddressFailEveryProbe) {
    const LoopbackPort listener(true);
    ASSERT_NE(listener.port(), 0);
    for (const wchar_t* host : {L"::1", L"no-such-host.invalid", L" 127.0.0.1", L"127.0.0.1:80"}) {
        sockaddr_in address;
        EXPECT_FALSE(resolveIPv4(host, address)) << host;
        EXPECT_FALSE(probeTcp(host, listener.port())) << host;
        EXPECT_FALSE(probeIcmp(host)) << host;
    }
}

TEST_F(ProbesTest, LoopbackAnswersBothProbesButTcpOnlyWhenItsErrorCanBeRead) {
    EXPECT_TRUE(probeIcmp(L"127.0.0.1"));
    EXPECT_TRUE(probeIcmp(L"127.0.0.2"));
    const LoopbackPort listener(true);
    ASSERT_NE(listener.port(), 0);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(probeTcp(L"127.0.0.1", listener.port()));
    EXPECT_TRUE(probeTcp(L"localhost", listener.port()));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);  // neither waited for the time-out
    const ImportReplacement failing(__imp_getsockopt, reinterpret_cast<void*>(&failingGetsockopt));
    EXPECT_FALSE(probeTcp(L"127.0.0.1", listener.port()));
}

TEST_F(ProbesTest, TcpProbeToAPortNobodyListensOnFailsAtTheTimeOut) {
    const LoopbackPort bound(false);
    ASSERT_NE(bound.port(), 0);
    expectFailureAfterAboutOneSecond([&] { return probeTcp(L"127.0.0.1", bound.port()); });
}

// The sandbox's black hole drops everything; its unreachable host answers with an ICMP error,
// which the platform counts as a reply but is no answer.
TEST_F(ProbesTest, SilentAndUnreachableHostsFail) {
    const wchar_t* silent = _wgetenv(L"TARVEX_BLACK_HOLE");
    const wchar_t* unreachable = _wgetenv(L"TARVEX_UNREACHABLE");
    if (!silent || !unreachable) GTEST_SKIP() << "no black hole in this sandbox (no iptables)";
    ASSERT_EQ(std::wcsncmp(silent, L"127.", 4), 0) << "the black hole must be on loopback";
    ASSERT_EQ(std::wcsncmp(unreachable, L"127.", 4), 0) << "so must the unreachable host";
    expectFailureAfterAboutOneSecond([&] { return probeIcmp(silent); });
    expectFailureAfterAboutOneSecond([&] { return probeTcp(silent, 80); });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(probeIcmp(unreachable));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 900ms);  // an error, not the time-out
}

}  // namespace
