#pragma once
// The three network operations of the monitoring engine: IPv4 name resolution, one ICMP echo
// request and one TCP connection attempt. Each answers whether the target answered and, for an
// answer, how long it took; none keeps state, logs or touches the target table, and none waits
// for more than about a second beyond the name look-up. Windows Sockets must already be
// started.

#include <cstdint>
#include <string>

struct sockaddr_in;

// Fills `out` with family AF_INET, the host's IPv4 address and port 0, the rest zero. A
// dotted-decimal host is parsed without asking a name service; a name is looked up and the
// first IPv4 address found is taken. False when no IPv4 address is found.
bool resolveIPv4(const std::wstring& host, sockaddr_in& out);

// Both probes set `roundTrip` to the time from the echo request or the connection attempt to
// its answer, in steady-clock nanoseconds (the name look-up is not counted), and to 0 when
// the target did not answer.

// True when the host answered one echo request ("ping") with a success reply within 1000 ms;
// an ICMP error reply (unreachable, time exceeded) is a failed probe.
bool probeIcmp(const std::wstring& host, std::int64_t& roundTrip);

// True when a TCP connection to host and `port` (host byte order) was established within
// 1 second. No data is sent; closing the socket is the only teardown.
bool probeTcp(const std::wstring& host, std::uint16_t port, std::int64_t& roundTrip);
