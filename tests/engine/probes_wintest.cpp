#include "engine/probes.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>

// Every probe here goes to 127.0.0.0/8 only; the suite runs in a network namespace with
// nothing but loopback, where the black hole address drops everything sent to it.
namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// A loopback TCP socket on a free port: listening, or only bound so that nothing answers.
class LoopbackPort {
public:
    explicit LoopbackPort(bool listening) : socket_(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        int length = sizeof address;
        if (bind(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            (listening && listen(socket_, SOMAXCONN) != 0) ||
            getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
            return;
        }
        port_ = ntohs(address.sin_port);
    }
    ~LoopbackPort() { closesocket(socket_); }
    LoopbackPort(const LoopbackPort&) = delete;
    LoopbackPort& operator=(const LoopbackPort&) = delete;

    std::uint16_t port() const { return port_; }

private:
    SOCKET socket_;
    std::uint16_t port_ = 0;
};

// Points this executable's import slot for `function` of ws2_32.dll at `replacement` and
// answers what it pointed at before; null when there is no such slot.
void* replaceImport(const char* function, void* replacement) {
    auto* base = reinterpret_cast<unsigned char*>(GetModuleHandleW(nullptr));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* module = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         module->Name != 0; ++module) {
        if (lstrcmpiA(reinterpret_cast<const char*>(base + module->Name), "ws2_32.dll") != 0) {
            continue;
        }
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            const auto* named = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(
                base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(named->Name), function) != 0) continue;
            DWORD protection = 0;
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE,
                           &protection);
            void* previous = reinterpret_cast<void*>(slots->u1.Function);
            slots->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, protection,
                           &protection);
            return previous;
        }
    }
    return nullptr;
}

// Routes the program's calls of one Windows Sockets function to a stand-in while it lives.
template <typename Function>
class ImportReplacement {
public:
    ImportReplacement(const char* name, Function replacement)
        : name_(name),
          original_(reinterpret_cast<Function>(
              replaceImport(name, reinterpret_cast<void*>(replacement)))) {}
    ~ImportReplacement() {
        if (original_) replaceImport(name_, reinterpret_cast<void*>(original_));
    }
    ImportReplacement(const ImportReplacement&) = delete;
    ImportReplacement& operator=(const ImportReplacement&) = delete;

    Function original() const { return original_; }

private:
    const char* name_;
    Function original_;
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

class ProbesTest : public ::testing::Test {
protected:
    void SetUp() override {
        WSADATA data;
        ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &data), 0);
    }
    void TearDown() override { WSACleanup(); }

    // A loopback address the sandbox prepared (see scripts/sandbox.sh), or empty.
    static std::wstring sandboxAddress(const wchar_t* variable) {
        const wchar_t* address = _wgetenv(variable);
        return address ? address : L"";
    }
};

std::string addressText(const sockaddr_in& address) {
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &address.sin_addr, text, sizeof text);
    return text;
}

TEST_F(ProbesTest, DottedHostIsUsedWithoutANameLookup) {
    const ImportReplacement counting("GetAddrInfoW", &countingGetAddrInfoW);
    realGetAddrInfoW = counting.original();
    ASSERT_NE(realGetAddrInfoW, nullptr) << "GetAddrInfoW is not imported from ws2_32.dll";

    for (const char* host : {"127.0.0.1", "127.12.34.56", "127.255.255.254"}) {
        sockaddr_in address;
        std::memset(&address, 0xA5, sizeof address);  // every byte must be set by the call
        ASSERT_TRUE(resolveIPv4(std::wstring(host, host + std::strlen(host)), address)) << host;
        EXPECT_EQ(address.sin_family, AF_INET);
        EXPECT_EQ(address.sin_port, 0);
        EXPECT_EQ(addressText(address), host);
        for (unsigned char byte : address.sin_zero) EXPECT_EQ(byte, 0);
    }
    EXPECT_EQ(nameLookups, 0);

    // A name does go to the resolver: the count above can see a look-up.
    sockaddr_in address;
    ASSERT_TRUE(resolveIPv4(L"localhost", address));
    EXPECT_EQ(addressText(address), "127.0.0.1");
    EXPECT_EQ(nameLookups, 1);
}

TEST_F(ProbesTest, HostsWithoutAnIPv4AddressFailEveryProbe) {
    LoopbackPort listener(true);
    ASSERT_NE(listener.port(), 0);
    for (const wchar_t* host : {L"::1", L"no-such-host.invalid", L" 127.0.0.1", L"127.0.0.1:80"}) {
        sockaddr_in address;
        EXPECT_FALSE(resolveIPv4(host, address));
        EXPECT_FALSE(probeTcp(host, listener.port()));
        EXPECT_FALSE(probeIcmp(host));
    }
}

TEST_F(ProbesTest, TcpProbeConnectsToAListeningPort) {
    LoopbackPort listener(true);
    ASSERT_NE(listener.port(), 0);
    const Clock::time_point start = Clock::now();
    EXPECT_TRUE(probeTcp(L"127.0.0.1", listener.port()));
    EXPECT_TRUE(probeTcp(L"localhost", listener.port()));
    EXPECT_LT(secondsSince(start), 1.0);  // neither waited for the time-out
}

TEST_F(ProbesTest, TcpProbeFailsWhenThePendingErrorCannotBeRead) {
    LoopbackPort listener(true);
    ASSERT_NE(listener.port(), 0);
    const ImportReplacement failing("getsockopt", &failingGetsockopt);
    ASSERT_NE(failing.original(), nullptr) << "getsockopt is not imported from ws2_32.dll";
    EXPECT_FALSE(probeTcp(L"127.0.0.1", listener.port()));
}

TEST_F(ProbesTest, TcpProbeToAPortNobodyListensOnFailsAtTheTimeOut) {
    LoopbackPort bound(false);
    ASSERT_NE(bound.port(), 0);
    const Clock::time_point start = Clock::now();
    EXPECT_FALSE(probeTcp(L"127.0.0.1", bound.port()));
    const double seconds = secondsSince(start);
    EXPECT_GE(seconds, 0.9);
    EXPECT_LE(seconds, 3.0);
}

TEST_F(ProbesTest, IcmpProbeGetsAnAnswerFromLoopback) {
    EXPECT_TRUE(probeIcmp(L"127.0.0.1"));
    EXPECT_TRUE(probeIcmp(L"127.0.0.2"));
}

TEST_F(ProbesTest, IcmpErrorReplyIsAFailedProbe) {
    const std::wstring host = sandboxAddress(L"TARVEX_UNREACHABLE");
    if (host.empty()) GTEST_SKIP() << "no unreachable address in this sandbox (no iptables)";
    ASSERT_EQ(host.rfind(L"127.", 0), 0u) << "the unreachable host must be a loopback address";
    // The platform counts the "host unreachable" error as a reply; it is not an answer.
    const Clock::time_point start = Clock::now();
    EXPECT_FALSE(probeIcmp(host));
    EXPECT_LT(secondsSince(start), 0.9);  // an error came back, not the time-out
}

TEST_F(ProbesTest, SilentHostFailsBothProbesAfterAboutOneSecond) {
    const std::wstring host = sandboxAddress(L"TARVEX_BLACK_HOLE");
    if (host.empty()) GTEST_SKIP() << "no black hole address in this sandbox (no iptables)";
    ASSERT_EQ(host.rfind(L"127.", 0), 0u) << "the black hole must be a loopback address";

    Clock::time_point start = Clock::now();
    EXPECT_FALSE(probeIcmp(host));
    double seconds = secondsSince(start);
    EXPECT_GE(seconds, 0.9);
    EXPECT_LE(seconds, 3.0);

    start = Clock::now();
    EXPECT_FALSE(probeTcp(host, 80));
    seconds = secondsSince(start);
    EXPECT_GE(seconds, 0.9);
    EXPECT_LE(seconds, 3.0);
}

}  // namespace
