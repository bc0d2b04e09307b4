// The TCP session server and the client connection: by-reference arguments, malformed frames, vanished
// clients and dead servers.
#include "RpcServer.h"

#include "data/SocketConnection.h"
#include "data/WireCodec.h"
#include "data/WireSocket.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <future>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace rt;
using namespace std::chrono_literals;

namespace {

constexpr const char* kName = "Test.Object";

// A small server object: Swap exchanges its two by-reference arguments; Hold waits until released.
class TTestObject : public TAutoObject {
public:
    std::promise<void>* Entered = nullptr;
    std::shared_future<void> Release;
    TTestObject() {
        AddMethod("Swap", [](std::vector<Variant>& a) {
            CheckArgCount("Swap", a, 2, 2);
            std::swap(a[0], a[1]);
            return Variant(u"swapped");
        });
        AddMethod("Hold", [this](std::vector<Variant>&) {
            if (Entered) Entered->set_value();
            Release.wait();
            return Variant(1);
        });
        AddMethod("Fail", [](std::vector<Variant>&) -> Variant {
            throw EConvertError("'abc' is not a valid integer");
        });
        AddMethod("Object",
                  [this](std::vector<Variant>&) { return Variant(DispatchPtr(shared_from_this())); });
    }
};

class RpcServerTest : public ::testing::Test {
protected:
    void SetUp() override {
        appsrv::RpcServerOptions o;
        o.Port = 0;
        o.MaxFrameSize = 1 << 20;
        server = std::make_unique<appsrv::TRpcServer>(
            o, std::map<std::string, appsrv::ModuleFactory>{{kName, [this] {
                                                                 auto obj = std::make_shared<TTestObject>();
                                                                 obj->Entered = entered;
                                                                 obj->Release = release;
                                                                 return obj;
                                                             }}});
        server->Start();
    }
    void Connect(TSocketConnection& c, const std::string& name = kName) {
        c.SetAddress("127.0.0.1");
        c.SetPort(server->Port());
        c.SetServerName(name);
        c.Open();
    }
    // A raw client socket for frames the connection would never send.
    int RawClient() {
        std::string error;
        const int fd = wire::ConnectTcp("127.0.0.1", server->Port(), 2000ms, error);
        EXPECT_GE(fd, 0) << error;
        return fd;
    }
    wire::CallResponse Exchange(int fd, const std::string& payload) {
        EXPECT_EQ(wire::WriteFrame(fd, payload, wire::DeadlineIn(2000ms)), wire::IoStatus::Ok);
        return Answer(fd);
    }
    wire::CallResponse Answer(int fd) {
        std::string answer;
        EXPECT_EQ(wire::ReadFrame(fd, answer, wire::kMaxFrameSize, wire::DeadlineIn(5000ms), 5000ms),
                  wire::IoStatus::Ok);
        return wire::DecodeResponse(answer);
    }
    std::string OpenRequest(const char* name = kName) {
        return wire::EncodeRequest({"1",
                                    wire::kOpenMethod,
                                    DispatchKind::Method,
                                    {Variant(wire::kProtocolVersion), Variant(Utf8ToUtf16(name))}});
    }

    std::promise<void>* entered = nullptr;
    std::promise<void> releaser;
    std::shared_future<void> release = releaser.get_future().share();
    std::unique_ptr<appsrv::TRpcServer> server;
};

TEST_F(RpcServerTest, ByReferenceArgumentsComeBackIntoTheCallersVariables) {
    TSocketConnection c;
    Connect(c);
    Variant a = VarArrayOf({Variant(1), Variant(u"一")});
    Variant b = Variant(TDateTime(46367.5));
    const Variant aBefore = a, bBefore = b;
    EXPECT_EQ(VarToStr(OleCall(c.AppServer(), "swap", {OleArg::ByRef(a), OleArg::ByRef(b)})), "swapped");
    EXPECT_TRUE(a.Identical(bBefore));
    EXPECT_TRUE(b.Identical(aBefore));
}

TEST_F(RpcServerTest, ServerExceptionsAndUntravellableValuesBecomeErrors) {
    TSocketConnection c;
    Connect(c);
    try {
        OleCall(c.AppServer(), "Fail");
        ADD_FAILURE() << "no exception";
    } catch (const EOleException& e) {
        EXPECT_EQ(e.Message(), "'abc' is not a valid integer");
    }
    EXPECT_THROW(OleCall(c.AppServer(), "Object"), EOleException);
    EXPECT_THROW(OleCall(c.AppServer(), "Swap", {Variant(c.AppServer())}), wire::EWireError); // not sent
    EXPECT_TRUE(c.Connected()); // all of these leave the session usable
    Variant x = 1, y = 2;
    OleCall(c.AppServer(), "Swap", {OleArg::ByRef(x), OleArg::ByRef(y)});
    EXPECT_EQ(x.AsInteger(), 2);
}

TEST_F(RpcServerTest, SessionsNeedAKnownServerAndProtocolVersion) {
    TSocketConnection c;
    EXPECT_THROW(Connect(c, "Other.Module"), ESocketConnectionError);
    EXPECT_FALSE(c.Connected());

    const int fd = RawClient();
    EXPECT_EQ(Exchange(fd, wire::EncodeRequest({"1", "Swap", DispatchKind::Method, {}})).ErrorCode,
              wire::errSessionNotOpen);
    EXPECT_EQ(
        Exchange(fd,
                 wire::EncodeRequest(
                     {"2", wire::kOpenMethod, DispatchKind::Method, {Variant(99), Variant(u"Test.Object")}}))
            .ErrorCode,
        wire::errProtocolVersion);
    EXPECT_TRUE(Exchange(fd, OpenRequest()).Ok);
    EXPECT_EQ(Exchange(fd, OpenRequest()).ErrorCode, wire::errInvalidRequest); // already open
    ::close(fd);
}

TEST_F(RpcServerTest, MalformedFramesGetErrorAnswersAndTheSessionGoesOn) {
    const int fd = RawClient();
    ASSERT_TRUE(Exchange(fd, OpenRequest()).Ok);
    struct Case {
        std::string payload;
        int code;
    };
    const Case cases[] = {
        {"", wire::errParse},
        {"{\"jsonrpc\":\"2.0\",", wire::errParse},
        {"\xff\xfe", wire::errParse},
        {R"([1,2])", wire::errInvalidRequest},
        {R"({"jsonrpc":"2.0","id":3})", wire::errInvalidRequest},
        {R"({"jsonrpc":"2.0","id":4,"method":"Nope"})", wire::errApplication}, // TAutoObject's own error
        {R"({"jsonrpc":"2.0","id":5,"method":"Swap","params":{"args":[{"t":"i4"}]}})",
         wire::errInvalidParams},
        {R"({"jsonrpc":"2.0","id":6,"method":"Swap","params":{"args":[{"t":"i4","v":1}]}})",
         wire::errApplication},
    };
    for (const auto& c : cases) {
        const wire::CallResponse r = Exchange(fd, c.payload);
        EXPECT_FALSE(r.Ok) << c.payload;
        EXPECT_EQ(r.ErrorCode, c.code) << c.payload;
    }
    // A notification gets no answer; the next call's answer is the next frame.
    ASSERT_EQ(wire::WriteFrame(fd, R"({"jsonrpc":"2.0","method":"Swap"})", wire::DeadlineIn(2000ms)),
              wire::IoStatus::Ok);
    const wire::CallResponse r = Exchange(
        fd,
        R"({"jsonrpc":"2.0","id":"last","method":"Swap","params":{"args":[{"t":"i4","v":1},{"t":"null"}]}})");
    EXPECT_TRUE(r.Ok);
    EXPECT_EQ(r.IdJson, "\"last\"");
    ASSERT_EQ(r.ByRef.size(), 2u);
    ::close(fd);
}

TEST_F(RpcServerTest, AnOversizedFrameIsAnsweredAndEndsOnlyThatSession) {
    TSocketConnection bystander;
    Connect(bystander);
    const int fd = RawClient();
    const unsigned char header[4] = {0x7f, 0xff, 0xff, 0xff};
    ASSERT_EQ(::send(fd, header, 4, MSG_NOSIGNAL), 4);
    const wire::CallResponse r = Answer(fd);
    EXPECT_EQ(r.ErrorCode, wire::errFrameTooLarge);
    std::string more;
    EXPECT_EQ(wire::ReadFrame(fd, more, 100, wire::DeadlineIn(5000ms), 5000ms), wire::IoStatus::Closed);
    ::close(fd);

    Variant x = 1, y = 2;
    EXPECT_NO_THROW(OleCall(bystander.AppServer(), "Swap", {OleArg::ByRef(x), OleArg::ByRef(y)}));
}

TEST_F(RpcServerTest, AClientThatVanishesMidCallCostsNothingElse) {
    std::promise<void> inCall;
    entered = &inCall;
    const int fd = RawClient();
    ASSERT_TRUE(Exchange(fd, OpenRequest()).Ok);
    ASSERT_EQ(wire::WriteFrame(fd, wire::EncodeRequest({"2", "Hold", DispatchKind::Method, {}}),
                               wire::DeadlineIn(2000ms)),
              wire::IoStatus::Ok);
    inCall.get_future().wait(); // the server is inside the call
    ::close(fd);
    entered = nullptr;
    releaser.set_value(); // the call ends; its answer has nowhere to go

    TSocketConnection next;
    Connect(next);
    Variant x = 1, y = 2;
    OleCall(next.AppServer(), "Swap", {OleArg::ByRef(x), OleArg::ByRef(y)});
    EXPECT_EQ(y.AsInteger(), 1);
    server->Stop(); // and the server still stops cleanly with a session open
    EXPECT_THROW(OleCall(next.AppServer(), "Swap", {OleArg::ByRef(x), OleArg::ByRef(y)}),
                 ESocketConnectionError);
    EXPECT_FALSE(next.Connected());
}

// A stand-in for a server that dies or hangs: accepts one client, reads its first frame, then acts.
class TDyingServer {
public:
    enum Mode { CloseAfterRequest, StayMute };
    explicit TDyingServer(Mode mode) {
        std::string error;
        FListen = wire::ListenTcp("127.0.0.1", 0, 4, error);
        FPort = wire::LocalPort(FListen);
        FThread = std::thread([this, mode] {
            pollfd p{FListen, POLLIN, 0};
            ::poll(&p, 1, 10000);
            const int fd = ::accept(FListen, nullptr, nullptr);
            if (fd < 0) return;
            std::string frame;
            wire::ReadFrame(fd, frame, wire::kMaxFrameSize, wire::DeadlineIn(10000ms), 10000ms);
            if (mode == StayMute) FDone.get_future().wait();
            ::close(fd);
        });
    }
    ~TDyingServer() {
        FDone.set_value();
        FThread.join();
        ::close(FListen);
    }
    int Port() const { return FPort; }

private:
    int FListen = -1;
    int FPort = 0;
    std::promise<void> FDone;
    std::thread FThread;
};

TEST(SocketConnection, AServerThatDiesDuringTheCallGivesAConnectionError) {
    TDyingServer dying(TDyingServer::CloseAfterRequest);
    TSocketConnection c;
    c.SetAddress("127.0.0.1");
    c.SetPort(dying.Port());
    c.SetServerName(kName);
    EXPECT_THROW(c.Open(), ESocketConnectionError);
    EXPECT_FALSE(c.Connected());
}

TEST(SocketConnection, AServerThatNeverAnswersGivesAConnectionErrorAfterTheCallTimeout) {
    TDyingServer mute(TDyingServer::StayMute);
    TSocketConnection c;
    c.SetAddress("127.0.0.1");
    c.SetPort(mute.Port());
    c.SetServerName(kName);
    c.SetCallTimeout(200ms);
    EXPECT_THROW(c.Open(), ESocketConnectionError);
}

TEST(SocketConnection, NoServerListeningGivesAConnectionError) {
    std::string error;
    const int fd = wire::ListenTcp("127.0.0.1", 0, 1, error);
    const int port = wire::LocalPort(fd);
    ::close(fd); // the port is free now: nobody listens there
    TSocketConnection c;
    c.SetAddress("127.0.0.1");
    c.SetPort(port);
    c.SetServerName(kName);
    EXPECT_THROW(c.Open(), ESocketConnectionError);
    EXPECT_EQ(c.AppServer().VarType(), varEmpty);
}

} // namespace
