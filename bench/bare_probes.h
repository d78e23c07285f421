#pragma once
// The yardstick for the program's probes: the Win32 calls they make on a loopback address, in
// the same order, by hand, with no wrappers, no timing and no heap buffer.

#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>
#include <ws2tcpip.h>
#include <icmpapi.h>

#include <mstcpip.h>

#include <cstdint>

inline bool bareTcp(const wchar_t* host, std::uint16_t port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    InetPtonW(AF_INET, host, &address.sin_addr);
    address.sin_port = htons(port);
    const SOCKET connection = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (connection == INVALID_SOCKET) return false;
    TCP_INITIAL_RTO_PARAMETERS parameters{TCP_INITIAL_RTO_UNSPECIFIED_RTT,
                                          TCP_INITIAL_RTO_NO_SYN_RETRANSMISSIONS};
    DWORD returned = 0;
    WSAIoctl(connection, SIO_TCP_INITIAL_RTO, &parameters, sizeof parameters, nullptr, 0, &returned,
             nullptr, nullptr);
    u_long nonBlocking = 1;
    ioctlsocket(connection, FIONBIO, &nonBlocking);
    bool connected =
        connect(connection, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    if (!connected) {
        fd_set writable;
        FD_ZERO(&writable);
        FD_SET(connection, &writable);
        fd_set failed;
        FD_ZERO(&failed);
        FD_SET(connection, &failed);
        timeval timeout{1, 0};
        int pendingError = 0;
        int length = sizeof pendingError;
        connected = select(0, nullptr, &writable, &failed, &timeout) > 0 &&
                    !FD_ISSET(connection, &failed) && FD_ISSET(connection, &writable) &&
                    getsockopt(connection, SOL_SOCKET, SO_ERROR,
                               reinterpret_cast<char*>(&pendingError), &length) == 0 &&
                    pendingError == 0;
    }
    closesocket(connection);
    return connected;
}

inline bool bareIcmp(const wchar_t* host) {
    IN_ADDR address{};
    InetPtonW(AF_INET, host, &address);
    const HANDLE icmp = IcmpCreateFile();
    if (icmp == INVALID_HANDLE_VALUE) return false;
    char request[] = {'p', 'i', 'n', 'g'};
    alignas(ICMP_ECHO_REPLY) unsigned char reply[76] = {};
    const DWORD replies = IcmpSendEcho(icmp, address.s_addr, request, sizeof request, nullptr,
                                       reply, sizeof reply, 1000);
    IcmpCloseHandle(icmp);
    return replies != 0 && reinterpret_cast<const ICMP_ECHO_REPLY*>(reply)->Status == IP_SUCCESS;
}
