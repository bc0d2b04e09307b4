#include "data/WireSocket.h"

#include <gtest/gtest.h>

#include <thread>

#include <sys/socket.h>
#include <unistd.h>

using namespace rt::wire;
using namespace std::chrono_literals;

namespace {

// Two connected non-blocking stream sockets.
struct SocketPair {
    int a = -1, b = -1;
    SocketPair() {
        int fds[2];
        if (::socketpair(AF_UNIX, SOCK_STREAM, 0, fds) == 0) {
            a = fds[0];
            b = fds[1];
            PrepareSocket(a);
            PrepareSocket(b);
        }
    }
    ~SocketPair() {
        if (a >= 0) ::close(a);
        if (b >= 0) ::close(b);
    }
    void Send(std::string_view bytes) const {
        ASSERT_EQ(::send(a, bytes.data(), bytes.size(), 0), ssize_t(bytes.size()));
    }
};

TEST(WireFrames, AFrameArrivesWhole) {
    SocketPair p;
    const std::string big(3 << 20, 'x'); // larger than one read and than the socket buffer
    std::thread writer([&] { EXPECT_EQ(WriteFrame(p.a, big, DeadlineIn(5000ms)), IoStatus::Ok); });
    std::string got;
    EXPECT_EQ(ReadFrame(p.b, got, 4 << 20, DeadlineIn(5000ms), 5000ms), IoStatus::Ok);
    writer.join();
    EXPECT_EQ(got, big);
    ASSERT_EQ(WriteFrame(p.a, "", DeadlineIn(1000ms)), IoStatus::Ok);
    EXPECT_EQ(ReadFrame(p.b, got, 10, DeadlineIn(1000ms), 1000ms), IoStatus::Ok);
    EXPECT_EQ(got, "");
}

TEST(WireFrames, BrokenFramesEndWithTheirReason) {
    {
        SocketPair p; // announced above the limit: nothing of the payload is read
        p.Send(std::string("\x00\x00\x01\x00", 4));
        uint32_t announced = 0;
        std::string got;
        EXPECT_EQ(ReadFrame(p.b, got, 255, DeadlineIn(1000ms), 1000ms, &announced), IoStatus::TooLarge);
        EXPECT_EQ(announced, 256u);
    }
    {
        SocketPair p; // the peer leaves halfway
        p.Send(std::string("\x00\x00\x00\x05"
                           "ab",
                           6));
        ::close(p.a);
        p.a = -1;
        std::string got;
        EXPECT_EQ(ReadFrame(p.b, got, 100, DeadlineIn(1000ms), 1000ms), IoStatus::Closed);
    }
    {
        SocketPair p; // the peer stalls halfway: bounded by the frame time, not the first-byte wait
        p.Send(std::string("\x00\x00", 2));
        std::string got;
        EXPECT_EQ(ReadFrame(p.b, got, 100, std::nullopt, 50ms), IoStatus::TimedOut);
    }
    {
        SocketPair p; // nothing comes
        std::string got;
        EXPECT_EQ(ReadFrame(p.b, got, 100, DeadlineIn(20ms), 1000ms), IoStatus::TimedOut);
    }
}

TEST(WireFrames, WritingToAClosedPeerReportsClosedWithoutASignal) {
    SocketPair p;
    ::close(p.b);
    p.b = -1;
    EXPECT_EQ(WriteFrame(p.a, "hello", DeadlineIn(1000ms)), IoStatus::Closed);
}

} // namespace
