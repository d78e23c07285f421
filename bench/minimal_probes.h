#pragma once
// The yardstick for the program's probes: the same Win32 calls in the same order and
// nothing else, with no wrappers, no reply check and no heap buffer.

#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>
#include <ws2tcpip.h>
#include <icmpapi.h>

#include "bench_support.h"

inline bool bareTcp(std::uint16_t port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    InetPtonW(AF_INET, loopbackHost, &address.sin_addr);
    address.sin_port = htons(port);
    const SOCKET connection = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (connection == INVALID_SOCKET) return false;
    u_long nonBlocking = 1;
    ioctlsocket(connection, FIONBIO, &nonBlocking);
    if (connect(connection, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
        closesocket(connection);
        return true;
    }
    fd_set writable;
    FD_ZERO(&writable);
    FD_SET(connection, &writable);
    timeval timeout{1, 0};
    bool connected = false;
    if (select(0, nullptr, &writable, nullptr, &timeout) > 0 && FD_ISSET(connection, &writable)) {
        int pendingError = 0;
        int length = sizeof pendingError;
        getsockopt(connection, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&pendingError),
                   &length);
        connected = pendingError == 0;
    }
    closesocket(connection);
    return connected;
}

inline bool bareIcmp() {
    IN_ADDR address{};
    InetPtonW(AF_INET, loopbackHost, &address);
    const HANDLE icmp = IcmpCreateFile();
    if (icmp == INVALID_HANDLE_VALUE) return false;
    char request[] = {'p', 'i', 'n', 'g'};
    unsigned char reply[76] = {};
    const DWORD replies = IcmpSendEcho(icmp, address.s_addr, request, sizeof request, nullptr,
                                       reply, sizeof reply, 1000);
    IcmpCloseHandle(icmp);
    return replies != 0;
}
