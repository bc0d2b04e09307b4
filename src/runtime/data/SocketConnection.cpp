#include "data/SocketConnection.h"

#include "data/WireSocket.h"

#include <mutex>
#include <unistd.h>

namespace rt {

// One TCP session with a server's module. Calls are serialised: one request, then its answer. After a
// transport failure the channel is closed for good and every later call fails at once.
class TWireChannel {
public:
    TWireChannel(int fd, std::chrono::milliseconds callTimeout) : FFd(fd), FCallTimeout(callTimeout) {}
    ~TWireChannel() { Close(); }

    void Close() {
        std::lock_guard lock(FMutex);
        CloseLocked();
    }

    bool IsOpen() {
        std::lock_guard lock(FMutex);
        return FFd >= 0;
    }

    // Sends one call and waits for its answer. Transport faults raise ESocketConnectionError; an error
    // answer raises EOleException with the server's message.
    wire::CallResponse Call(const std::string& method, DispatchKind kind, const std::vector<Variant>& args) {
        std::lock_guard lock(FMutex);
        if (FFd < 0) throw ESocketConnectionError("Not connected to the application server");
        wire::CallRequest request;
        request.IdJson = std::to_string(++FNextId);
        request.Method = method;
        request.Kind = kind;
        request.Args = args;
        const std::string frame = wire::EncodeRequest(request); // a dispatch argument raises here
        const wire::Deadline deadline = wire::DeadlineIn(FCallTimeout);
        wire::IoStatus s = wire::WriteFrame(FFd, frame, deadline);
        if (s != wire::IoStatus::Ok) Fail("sending the call of \"" + method + "\"", s);
        std::string answer;
        s = wire::ReadFrame(FFd, answer, wire::kMaxFrameSize, deadline, FCallTimeout);
        if (s != wire::IoStatus::Ok) Fail("waiting for the answer to \"" + method + "\"", s);
        wire::CallResponse response;
        try {
            response = wire::DecodeResponse(answer);
        } catch (const wire::EWireError& e) {
            CloseLocked();
            throw ESocketConnectionError("Unreadable answer from the application server: " + e.Message());
        }
        if (response.IdJson == request.IdJson) {
            if (!response.Ok) throw EOleException(response.ErrorMessage);
            return response;
        }
        CloseLocked();
        // An error without an id is about the frame itself (too large, server busy): its text says more
        // than a mismatch would.
        if (!response.Ok && response.IdJson == "null")
            throw ESocketConnectionError("The application server refused the call: " + response.ErrorMessage);
        throw ESocketConnectionError("The application server answered another call");
    }

private:
    [[noreturn]] void Fail(const std::string& what, wire::IoStatus s) {
        CloseLocked();
        throw ESocketConnectionError("Application server connection failed while " + what + ": " +
                                     wire::IoStatusText(s));
    }

    void CloseLocked() {
        if (FFd >= 0) ::close(FFd);
        FFd = -1;
    }

    std::mutex FMutex;
    int FFd;
    std::chrono::milliseconds FCallTimeout;
    int64_t FNextId = 0;
};

namespace {

// The remote module as an automation object: Invoke is a call over the channel.
class TRemoteModule : public IDispatch {
public:
    TRemoteModule(std::shared_ptr<TWireChannel> channel, std::string serverName)
        : FChannel(std::move(channel)), FServerName(std::move(serverName)) {}

    Variant Invoke(const std::string& name, DispatchKind kind, std::vector<Variant>& args) override {
        wire::CallResponse r = FChannel->Call(name, kind, args);
        for (auto& [index, value] : r.ByRef)
            if (index < args.size()) args[index] = std::move(value);
        return std::move(r.Value);
    }

    std::string DispatchClassName() const override { return FServerName; }

private:
    std::shared_ptr<TWireChannel> FChannel;
    std::string FServerName;
};

} // namespace

KVRT_PUBLISHED(TSocketConnection) {
    P.Property("Address", &TSocketConnection::FAddress, &TSocketConnection::SetAddress);
    P.Property("Port", &TSocketConnection::FPort, &TSocketConnection::SetPort);
    P.Property("ServerGUID", &TSocketConnection::FServerGUID, &TSocketConnection::SetServerGUID);
    P.Property("ServerName", &TSocketConnection::FServerName, &TSocketConnection::SetServerName);
    P.Property("SupportCallbacks", &TSocketConnection::FSupportCallbacks,
               &TSocketConnection::SetSupportCallbacks);
    P.Property("Connected", &TSocketConnection::Connected, &TSocketConnection::SetConnected);
}

TSocketConnection::~TSocketConnection() {
    Close();
}

void TSocketConnection::CheckClosed(const char* what) const {
    if (Connected())
        throw ESocketConnectionError(std::string("Cannot change ") + what + " of an open connection");
}

void TSocketConnection::SetAddress(const std::string& address) {
    CheckClosed("the address");
    FAddress = address;
}

void TSocketConnection::SetPort(int port) {
    CheckClosed("the port");
    FPort = port;
}

void TSocketConnection::SetServerName(const std::string& name) {
    CheckClosed("the server name");
    FServerName = name;
}

void TSocketConnection::Open() {
    if (Connected()) return;
    if (FServerName.empty()) throw ESocketConnectionError("No server name given for the connection");
    std::string error;
    const int fd = wire::ConnectTcp(FAddress.empty() ? "127.0.0.1" : FAddress, FPort, FConnectTimeout, error);
    if (fd < 0) throw ESocketConnectionError("Cannot connect to the application server: " + error);
    auto channel = std::make_shared<TWireChannel>(fd, FCallTimeout);
    try {
        channel->Call(wire::kOpenMethod, DispatchKind::Method,
                      {Variant(wire::kProtocolVersion), Variant(Utf8ToUtf16(FServerName))});
    } catch (const EOleException& e) {
        throw ESocketConnectionError("The application server refused the session: " + e.Message());
    }
    FChannel = std::move(channel);
    FRemoteServer = Variant(DispatchPtr(std::make_shared<TRemoteModule>(FChannel, FServerName)));
}

void TSocketConnection::Close() {
    if (FChannel) FChannel->Close();
    FChannel.reset();
    FRemoteServer = Variant();
}

bool TSocketConnection::Connected() const {
    return FChannel && FChannel->IsOpen();
}

void TSocketConnection::SetConnected(bool value) {
    if (IsLoading()) {
        FStreamedConnected = value;
        return;
    }
    if (value)
        Open();
    else
        Close();
}

void TSocketConnection::Loaded() {
    inherited::Loaded();
    if (FStreamedConnected) {
        FStreamedConnected = false;
        Open();
    }
}

Variant TSocketConnection::AppServer() const {
    if (HasLocalServer()) return FLocalServer;
    if (Connected()) return FRemoteServer;
    return Variant();
}

void TSocketConnection::SetAppServer(const Variant& server) {
    if (!server.IsEmpty() && server.VarType() != varDispatch)
        throw EOleError("The application server must be an automation object");
    FLocalServer = server;
}

} // namespace rt
