/* The native Linux counterpart of the program's two loopback probes, timed like the Windows
 * benchmarks: a TCP connect to 127.0.0.1:<port> (non-blocking connect, poll for writable up
 * to 1 s, SO_ERROR, close) and one ICMP echo of 127.0.0.1 carrying "ping" over an ICMP
 * datagram socket (reply awaited up to 1000 ms), alternately. After five untimed warm-up
 * rounds prints "native tcp|icmp <nanoseconds> <1 answered|0 not>" per probe.
 * Usage: probe_native <listening port> <probes of each kind> */
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/ip_icmp.h>
#include <poll.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

static long long nowNanos(void) {
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (long long)now.tv_sec * 1000000000LL + now.tv_nsec;
}

static int probeTcp(unsigned short port) {
    struct sockaddr_in address = {0};
    address.sin_family = AF_INET;
    inet_pton(AF_INET, "127.0.0.1", &address.sin_addr);
    address.sin_port = htons(port);
    int fd = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (fd < 0) return 0;
    int nonBlocking = 1;
    ioctl(fd, FIONBIO, &nonBlocking);
    if (connect(fd, (struct sockaddr*)&address, sizeof address) == 0) {
        close(fd);
        return 1;
    }
    struct pollfd wait = {fd, POLLOUT, 0};
    int connected = 0;
    if (poll(&wait, 1, 1000) > 0 && (wait.revents & POLLOUT)) {
        int pendingError = 0;
        socklen_t length = sizeof pendingError;
        getsockopt(fd, SOL_SOCKET, SO_ERROR, &pendingError, &length);
        connected = pendingError == 0;
    }
    close(fd);
    return connected;
}

/* The kernel fills in the identifier and the checksum of a datagram ICMP socket's echo. */
static int probeIcmp(void) {
    struct sockaddr_in address = {0};
    address.sin_family = AF_INET;
    inet_pton(AF_INET, "127.0.0.1", &address.sin_addr);
    int fd = socket(AF_INET, SOCK_DGRAM, IPPROTO_ICMP);
    if (fd < 0) return 0;
    unsigned char request[sizeof(struct icmphdr) + 4] = {0};
    struct icmphdr* header = (struct icmphdr*)request;
    header->type = ICMP_ECHO;
    header->un.echo.sequence = htons(1);
    request[sizeof(struct icmphdr) + 0] = 'p';
    request[sizeof(struct icmphdr) + 1] = 'i';
    request[sizeof(struct icmphdr) + 2] = 'n';
    request[sizeof(struct icmphdr) + 3] = 'g';
    unsigned char reply[76] = {0};
    int answered = 0;
    if (sendto(fd, request, sizeof request, 0, (struct sockaddr*)&address, sizeof address) ==
        (ssize_t)sizeof request) {
        struct pollfd wait = {fd, POLLIN, 0};
        if (poll(&wait, 1, 1000) > 0 && recv(fd, reply, sizeof reply, 0) > 0) {
            answered = ((struct icmphdr*)reply)->type == ICMP_ECHOREPLY;
        }
    }
    close(fd);
    return answered;
}

int main(int argc, char** argv) {
    int port = argc > 1 ? atoi(argv[1]) : 0;
    long count = argc > 2 ? atol(argv[2]) : 0;
    if (port <= 0 || port > 65535 || count <= 0) {
        fprintf(stderr, "usage: %s <listening port> <probes of each kind>\n", argv[0]);
        return 2;
    }
    for (int round = 0; round < 5; ++round) {
        probeTcp((unsigned short)port);
        probeIcmp();
    }
    for (long round = 0; round < count; ++round) {
        long long start = nowNanos();
        int answered = probeTcp((unsigned short)port);
        printf("native tcp %lld %d\n", nowNanos() - start, answered);
        start = nowNanos();
        answered = probeIcmp();
        printf("native icmp %lld %d\n", nowNanos() - start, answered);
    }
    return 0;
}
