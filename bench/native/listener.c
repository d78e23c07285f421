/* Accepts and closes connections on 127.0.0.1 at each given port until it is killed, so
 * that a benchmark's TCP probes find a listening port whose queue never fills up. Prints
 * "ready" once every port listens.
 * Usage: listener <port>... */
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <unistd.h>

enum { maxPorts = 64 };

static int listenOn(int port) {
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) return -1;
    int reuse = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse);
    struct sockaddr_in address = {0};
    address.sin_family = AF_INET;
    address.sin_port = htons((unsigned short)port);
    inet_pton(AF_INET, "127.0.0.1", &address.sin_addr);
    if (bind(fd, (struct sockaddr*)&address, sizeof address) != 0 || listen(fd, SOMAXCONN) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

int main(int argc, char** argv) {
    struct pollfd listening[maxPorts];
    int count = 0;
    for (int i = 1; i < argc && count < maxPorts; ++i) {
        int port = atoi(argv[i]);
        int fd = port > 0 && port < 65536 ? listenOn(port) : -1;
        if (fd < 0) {
            fprintf(stderr, "listener: cannot listen on 127.0.0.1:%s\n", argv[i]);
            return 1;
        }
        listening[count].fd = fd;
        listening[count].events = POLLIN;
        ++count;
    }
    if (count == 0) {
        fprintf(stderr, "usage: %s <port>...\n", argv[0]);
        return 2;
    }
    printf("ready\n");
    fflush(stdout);
    for (;;) {
        if (poll(listening, (nfds_t)count, -1) < 0) continue;
        for (int i = 0; i < count; ++i) {
            if (!(listening[i].revents & POLLIN)) continue;
            int connection = accept(listening[i].fd, NULL, NULL);
            if (connection >= 0) close(connection);
        }
    }
}
