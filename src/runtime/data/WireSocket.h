#pragma once
// Framing of the remote-data protocol on a TCP socket: each message is a 4-byte big-endian length
// followed by that many bytes of JSON. The client and the server both read and write frames through
// these functions. Sockets are non-blocking; every wait has a deadline, so a silent peer costs a
// timeout, never a hang.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace rt::wire {

using Clock = std::chrono::steady_clock;
// No value: wait as long as it takes (a server waiting for a client's next call).
using Deadline = std::optional<Clock::time_point>;

inline Deadline DeadlineIn(std::chrono::milliseconds ms) {
    return Clock::now() + ms;
}

enum class IoStatus {
    Ok,
    Closed,   // the peer closed the connection (before the first byte of a frame, or in the middle)
    TimedOut, // the deadline passed
    TooLarge, // the announced length exceeds the limit; nothing of the payload was read
    Failed,   // any other socket error
};

const char* IoStatusText(IoStatus s);

// Reads one frame into payload. firstByte bounds the wait for the frame to begin; once it has begun,
// the rest must arrive within frameTime. announced receives the length the peer announced.
IoStatus ReadFrame(int fd, std::string& payload, size_t maxSize, Deadline firstByte,
                   std::chrono::milliseconds frameTime, uint32_t* announced = nullptr);
// Writes one frame (length and payload). Never raises SIGPIPE.
IoStatus WriteFrame(int fd, std::string_view payload, Deadline deadline);

// A non-blocking TCP connection to address:port (numeric address or host name), or -1 with error set.
int ConnectTcp(const std::string& address, int port, std::chrono::milliseconds timeout, std::string& error);
// A non-blocking listening socket bound to address:port (port 0 picks a free one), or -1 with error.
int ListenTcp(const std::string& address, int port, int backlog, std::string& error);
// The port a bound socket listens on, or -1.
int LocalPort(int fd);
// Makes a socket non-blocking and closes it on exec.
bool PrepareSocket(int fd);

} // namespace rt::wire
