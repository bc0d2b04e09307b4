#include "data/WireSocket.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace rt::wire {
namespace {

// Waits until fd is ready for events or the deadline passes. True when ready.
IoStatus WaitFor(int fd, short events, Deadline deadline) {
    for (;;) {
        int timeout = -1;
        if (deadline) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(*deadline - Clock::now());
            if (left.count() <= 0) return IoStatus::TimedOut;
            timeout = static_cast<int>(std::min<int64_t>(left.count() + 1, INT32_MAX));
        }
        pollfd p{fd, events, 0};
        const int n = ::poll(&p, 1, timeout);
        if (n > 0) return IoStatus::Ok; // errors and hang-ups show up in the following read or write
        if (n == 0) continue;           // deadline checked again above
        if (errno != EINTR) return IoStatus::Failed;
    }
}

// Reads exactly size bytes.
IoStatus ReadExactly(int fd, char* data, size_t size, Deadline deadline) {
    size_t done = 0;
    while (done < size) {
        const ssize_t n = ::recv(fd, data + done, size - done, 0);
        if (n > 0) {
            done += static_cast<size_t>(n);
            continue;
        }
        if (n == 0) return IoStatus::Closed;
        if (errno == EINTR) continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK) {
            const IoStatus s = WaitFor(fd, POLLIN, deadline);
            if (s != IoStatus::Ok) return s;
            continue;
        }
        return errno == ECONNRESET ? IoStatus::Closed : IoStatus::Failed;
    }
    return IoStatus::Ok;
}

IoStatus WriteAll(int fd, const char* data, size_t size, Deadline deadline) {
    size_t done = 0;
    while (done < size) {
        const ssize_t n = ::send(fd, data + done, size - done, MSG_NOSIGNAL);
        if (n >= 0) {
            done += static_cast<size_t>(n);
            continue;
        }
        if (errno == EINTR) continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK) {
            const IoStatus s = WaitFor(fd, POLLOUT, deadline);
            if (s != IoStatus::Ok) return s;
            continue;
        }
        return (errno == EPIPE || errno == ECONNRESET) ? IoStatus::Closed : IoStatus::Failed;
    }
    return IoStatus::Ok;
}

struct AddrInfo {
    addrinfo* list = nullptr;
    ~AddrInfo() {
        if (list) ::freeaddrinfo(list);
    }
};

} // namespace

const char* IoStatusText(IoStatus s) {
    switch (s) {
    case IoStatus::Ok:
        return "ok";
    case IoStatus::Closed:
        return "the connection was closed by the other side";
    case IoStatus::TimedOut:
        return "timed out";
    case IoStatus::TooLarge:
        return "the frame exceeds the size limit";
    default:
        return "socket error";
    }
}

IoStatus ReadFrame(int fd, std::string& payload, size_t maxSize, Deadline firstByte,
                   std::chrono::milliseconds frameTime, uint32_t* announced) {
    unsigned char header[4];
    // The first byte may keep us waiting as long as the caller allows; the rest of the frame must
    // follow within frameTime, so a peer that stalls halfway does not hold the reader for ever.
    IoStatus s = ReadExactly(fd, reinterpret_cast<char*>(header), 1, firstByte);
    if (s != IoStatus::Ok) return s;
    Deadline rest = Clock::now() + frameTime;
    if (firstByte && *firstByte > *rest) rest = firstByte;
    s = ReadExactly(fd, reinterpret_cast<char*>(header) + 1, 3, rest);
    if (s != IoStatus::Ok) return s;
    const uint32_t size = (uint32_t(header[0]) << 24) | (uint32_t(header[1]) << 16) |
                          (uint32_t(header[2]) << 8) | uint32_t(header[3]);
    if (announced) *announced = size;
    if (size > maxSize) return IoStatus::TooLarge;
    // The buffer grows with what arrives, not with what was announced: a peer that announces a large
    // frame and sends little costs little.
    constexpr size_t kChunk = size_t{1} << 20;
    payload.clear();
    while (payload.size() < size) {
        const size_t have = payload.size();
        const size_t step = std::min<size_t>(kChunk, size - have);
        payload.resize(have + step);
        s = ReadExactly(fd, payload.data() + have, step, rest);
        if (s != IoStatus::Ok) return s;
    }
    return IoStatus::Ok;
}

IoStatus WriteFrame(int fd, std::string_view payload, Deadline deadline) {
    if (payload.size() > UINT32_MAX) return IoStatus::TooLarge;
    const auto size = static_cast<uint32_t>(payload.size());
    const char header[4] = {char(size >> 24), char((size >> 16) & 0xFF), char((size >> 8) & 0xFF),
                            char(size & 0xFF)};
    IoStatus s = WriteAll(fd, header, 4, deadline);
    if (s != IoStatus::Ok) return s;
    return WriteAll(fd, payload.data(), payload.size(), deadline);
}

bool PrepareSocket(int fd) {
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) < 0) return false;
    ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    return true;
}

int ConnectTcp(const std::string& address, int port, std::chrono::milliseconds timeout, std::string& error) {
    if (port <= 0 || port > 65535) {
        error = "invalid port " + std::to_string(port);
        return -1;
    }
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    AddrInfo found;
    const std::string service = std::to_string(port);
    if (int rc = ::getaddrinfo(address.c_str(), service.c_str(), &hints, &found.list); rc != 0) {
        error = "cannot resolve \"" + address + "\": " + ::gai_strerror(rc);
        return -1;
    }
    const Deadline deadline = DeadlineIn(timeout);
    error = "no address for \"" + address + "\"";
    for (addrinfo* ai = found.list; ai; ai = ai->ai_next) {
        const int fd = ::socket(ai->ai_family, ai->ai_socktype, ai->ai_protocol);
        if (fd < 0) {
            error = std::strerror(errno);
            continue;
        }
        if (!PrepareSocket(fd)) {
            error = std::strerror(errno);
            ::close(fd);
            continue;
        }
        int rc = ::connect(fd, ai->ai_addr, ai->ai_addrlen);
        if (rc != 0 && errno == EINPROGRESS) {
            const IoStatus s = WaitFor(fd, POLLOUT, deadline);
            if (s == IoStatus::TimedOut) {
                error = "connection to " + address + ":" + service + " timed out";
                ::close(fd);
                return -1;
            }
            int soError = 0;
            socklen_t len = sizeof soError;
            ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &soError, &len);
            rc = soError == 0 ? 0 : -1;
            errno = soError;
        }
        if (rc == 0) return fd;
        error = "cannot connect to " + address + ":" + service + ": " + std::strerror(errno);
        ::close(fd);
    }
    return -1;
}

int ListenTcp(const std::string& address, int port, int backlog, std::string& error) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE;
    AddrInfo found;
    const std::string service = std::to_string(port);
    if (int rc =
            ::getaddrinfo(address.empty() ? nullptr : address.c_str(), service.c_str(), &hints, &found.list);
        rc != 0) {
        error = "cannot resolve \"" + address + "\": " + ::gai_strerror(rc);
        return -1;
    }
    error = "no address for \"" + address + "\"";
    for (addrinfo* ai = found.list; ai; ai = ai->ai_next) {
        const int fd = ::socket(ai->ai_family, ai->ai_socktype, ai->ai_protocol);
        if (fd < 0) continue;
        const int one = 1;
        ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        if (::bind(fd, ai->ai_addr, ai->ai_addrlen) == 0 && ::listen(fd, backlog) == 0 && PrepareSocket(fd))
            return fd;
        error = "cannot listen on " + address + ":" + service + ": " + std::strerror(errno);
        ::close(fd);
    }
    return -1;
}

int LocalPort(int fd) {
    sockaddr_storage addr{};
    socklen_t len = sizeof addr;
    if (::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0) return -1;
    if (addr.ss_family == AF_INET) return ntohs(reinterpret_cast<sockaddr_in*>(&addr)->sin_port);
    if (addr.ss_family == AF_INET6) return ntohs(reinterpret_cast<sockaddr_in6*>(&addr)->sin6_port);
    return -1;
}

} // namespace rt::wire
