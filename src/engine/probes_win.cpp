#include "engine/probes.h"

#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>
#include <ws2tcpip.h>
#include <icmpapi.h>

#include <mstcpip.h>

#include <cstring>
#include <vector>

#include "model/clock.h"

namespace {

constexpr DWORD echoTimeoutMs = 1000;
constexpr long connectTimeoutSeconds = 1;
// One reply record, the four echoed bytes and room for the header an ICMP error carries back.
constexpr DWORD replyBufferSize = 76;
constexpr char echoData[] = {'p', 'i', 'n', 'g'};

// The result list of GetAddrInfoW, released on every path.
class AddressList {
public:
    AddressList() = default;
    ~AddressList() {
        if (list_) FreeAddrInfoW(list_);
    }
    AddressList(const AddressList&) = delete;
    AddressList& operator=(const AddressList&) = delete;

    PADDRINFOW* receiver() { return &list_; }
    const ADDRINFOW* first() const { return list_; }

private:
    PADDRINFOW list_ = nullptr;
};

// Owns one platform handle and closes it on every path.
template <typename Traits>
class Owned {
public:
    using Handle = typename Traits::Handle;
    explicit Owned(Handle handle) : handle_(handle) {}
    ~Owned() {
        if (isOpen()) Traits::close(handle_);
    }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;

    bool isOpen() const { return handle_ != Traits::invalid(); }
    Handle get() const { return handle_; }

private:
    Handle handle_;
};

struct IcmpTraits {
    using Handle = HANDLE;
    static Handle invalid() { return INVALID_HANDLE_VALUE; }
    static void close(Handle handle) { IcmpCloseHandle(handle); }
};
using IcmpHandle = Owned<IcmpTraits>;

struct SocketTraits {
    using Handle = SOCKET;
    static Handle invalid() { return INVALID_SOCKET; }
    static void close(Handle handle) { closesocket(handle); }
};
using TcpSocket = Owned<SocketTraits>;

// True when the first reply to one echo request reports success; `roundTrip` is then the
// time the request took. The handle is closed before the reply is looked at. The reply's own
// round-trip field counts whole milliseconds, too coarse for a loopback or a LAN answer.
bool echoAnswered(const sockaddr_in& address, std::int64_t& roundTrip) {
    std::vector<unsigned char> reply(replyBufferSize, 0);
    DWORD replies = 0;
    std::int64_t took = 0;
    {
        const IcmpHandle icmp(IcmpCreateFile());
        if (!icmp.isOpen()) return false;
        const std::int64_t sent = steadyNowNanos();
        replies =
            IcmpSendEcho(icmp.get(), address.sin_addr.s_addr, const_cast<char*>(echoData),
                         sizeof echoData, nullptr, reply.data(), replyBufferSize, echoTimeoutMs);
        took = steadyNowNanos() - sent;
    }
    if (replies == 0) return false;
    // Some stacks count an ICMP error (unreachable, time exceeded) as a reply.
    ICMP_ECHO_REPLY first{};
    std::memcpy(&first, reply.data(), sizeof first);
    if (first.Status != IP_SUCCESS) return false;
    roundTrip = took;
    return true;
}

// Waits for the pending connection to complete (the write set) or be refused (the exception
// set, where Windows signals a refusal), so a closed port fails as soon as its refusal comes
// and only a silent host waits for the time-out. `answeredAt` is when the wait ended.
bool connectionCompleted(const TcpSocket& connection, std::int64_t& answeredAt) {
    fd_set writable;
    FD_ZERO(&writable);
    FD_SET(connection.get(), &writable);
    fd_set failed;
    FD_ZERO(&failed);
    FD_SET(connection.get(), &failed);
    timeval timeout{connectTimeoutSeconds, 0};
    const int ready = select(0, nullptr, &writable, &failed, &timeout);
    answeredAt = steadyNowNanos();
    if (ready <= 0) return false;
    if (FD_ISSET(connection.get(), &failed) || !FD_ISSET(connection.get(), &writable)) {
        return false;
    }
    // A pending error that cannot be read is no proof of a connection.
    int pendingError = 0;
    int length = sizeof pendingError;
    if (getsockopt(connection.get(), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&pendingError),
                   &length) != 0) {
        return false;
    }
    return pendingError == 0;
}

// Windows answers a refused connect only after retrying the SYN, about 2 s later; without
// retries a closed port fails at once, and a silent host loses nothing, since the first retry
// would come only after about a second, when the probe has given up anyway. Where the request
// is not known (older Windows, Wine) it is refused and nothing else changes.
void askForNoSynRetries(const TcpSocket& connection) {
    TCP_INITIAL_RTO_PARAMETERS parameters{};
    parameters.Rtt = TCP_INITIAL_RTO_UNSPECIFIED_RTT;
    parameters.MaxSynRetransmissions = TCP_INITIAL_RTO_NO_SYN_RETRANSMISSIONS;
    DWORD returned = 0;
    WSAIoctl(connection.get(), SIO_TCP_INITIAL_RTO, &parameters, sizeof parameters, nullptr, 0,
             &returned, nullptr, nullptr);
}

}  // namespace

bool resolveIPv4(const std::wstring& host, sockaddr_in& out) {
    out = sockaddr_in{};
    out.sin_family = AF_INET;
    if (InetPtonW(AF_INET, host.c_str(), &out.sin_addr) == 1) return true;

    ADDRINFOW hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    AddressList found;
    if (GetAddrInfoW(host.c_str(), nullptr, &hints, found.receiver()) != 0) return false;
    const ADDRINFOW* first = found.first();
    if (!first || !first->ai_addr || first->ai_addr->sa_family != AF_INET) return false;
    out.sin_addr = reinterpret_cast<const sockaddr_in*>(first->ai_addr)->sin_addr;
    return true;
}

bool probeIcmp(const std::wstring& host, std::int64_t& roundTrip) {
    roundTrip = 0;
    sockaddr_in address;
    return resolveIPv4(host, address) && echoAnswered(address, roundTrip);
}

bool probeTcp(const std::wstring& host, std::uint16_t port, std::int64_t& roundTrip) {
    roundTrip = 0;
    sockaddr_in address;
    if (!resolveIPv4(host, address)) return false;
    address.sin_port = htons(port);

    const TcpSocket connection(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
    if (!connection.isOpen()) return false;
    askForNoSynRetries(connection);
    u_long nonBlocking = 1;
    ioctlsocket(connection.get(), FIONBIO, &nonBlocking);  // select() below settles the outcome
    // Whatever connect() answers short of success, pending or refused at once, is decided by
    // the wait: its error code is not read.
    const auto* target = reinterpret_cast<const sockaddr*>(&address);
    const std::int64_t attempted = steadyNowNanos();
    std::int64_t answeredAt = 0;
    if (connect(connection.get(), target, sizeof address) == 0) {
        answeredAt = steadyNowNanos();
    } else if (!connectionCompleted(connection, answeredAt)) {
        return false;
    }
    roundTrip = answeredAt - attempted;
    return true;
}
