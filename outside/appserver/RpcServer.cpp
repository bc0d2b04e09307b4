#include "RpcServer.h"

#include "ModuleErrors.h"
#include "data/WireSocket.h"

#include <algorithm>
#include <cctype>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace appsrv {
namespace {

namespace wire = rt::wire;
using rt::Variant;

std::string UpperAscii(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::toupper(c); });
    return s;
}

} // namespace

TRpcServer::TRpcServer(RpcServerOptions options, std::map<std::string, ModuleFactory> modules)
    : FOptions(std::move(options)) {
    for (auto& [name, factory] : modules) FModules[UpperAscii(name)] = std::move(factory);
}

TRpcServer::~TRpcServer() {
    Stop();
}

void TRpcServer::Start() {
    if (FListenFd >= 0) return;
    std::string error;
    FListenFd = wire::ListenTcp(FOptions.Address, FOptions.Port, 64, error);
    if (FListenFd < 0) throw EServerError(error);
    FPort = wire::LocalPort(FListenFd);
    if (::pipe2(FWake, O_CLOEXEC | O_NONBLOCK) != 0) {
        ::close(FListenFd);
        FListenFd = -1;
        throw EServerError("Cannot create the wake-up pipe");
    }
    FStopping = false;
    FAcceptThread = std::thread([this] { AcceptLoop(); });
}

void TRpcServer::Stop() {
    if (FListenFd < 0) return;
    FStopping = true;
    const char byte = 1;
    [[maybe_unused]] const auto n = ::write(FWake[1], &byte, 1);
    if (FAcceptThread.joinable()) FAcceptThread.join();
    {
        // Wake every session blocked in a read; each thread then ends by itself.
        std::lock_guard lock(FMutex);
        for (auto& s : FSessions) ::shutdown(s->Fd, SHUT_RDWR);
    }
    Reap(true);
    ::close(FListenFd);
    ::close(FWake[0]);
    ::close(FWake[1]);
    FListenFd = FWake[0] = FWake[1] = -1;
}

size_t TRpcServer::ActiveSessions() {
    std::lock_guard lock(FMutex);
    return static_cast<size_t>(
        std::count_if(FSessions.begin(), FSessions.end(), [](auto& s) { return !s->Done; }));
}

void TRpcServer::Reap(bool all) {
    std::list<std::unique_ptr<Session>> finished;
    {
        std::lock_guard lock(FMutex);
        for (auto it = FSessions.begin(); it != FSessions.end();) {
            if (all || (*it)->Done) {
                finished.push_back(std::move(*it));
                it = FSessions.erase(it);
            } else {
                ++it;
            }
        }
    }
    for (auto& s : finished) {
        if (s->Thread.joinable()) s->Thread.join();
        ::close(s->Fd); // only now: a descriptor number must not be reused while Stop may shut it down
    }
}

void TRpcServer::AcceptLoop() {
    while (!FStopping) {
        pollfd p[2] = {{FListenFd, POLLIN, 0}, {FWake[0], POLLIN, 0}};
        if (::poll(p, 2, -1) < 0) continue; // EINTR
        if (p[1].revents) break;
        if (!(p[0].revents & POLLIN)) continue;
        const int fd = ::accept4(FListenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) continue;
        wire::PrepareSocket(fd);
        Reap(false);
        if (ActiveSessions() >= FOptions.MaxClients) {
            wire::WriteFrame(
                fd, wire::EncodeError("null", wire::errServerBusy, "The server has too many clients"),
                wire::DeadlineIn(std::chrono::milliseconds(1000)));
            ::close(fd);
            continue;
        }
        auto session = std::make_unique<Session>();
        session->Fd = fd;
        Session& s = *session;
        std::lock_guard lock(FMutex);
        FSessions.push_back(std::move(session));
        s.Thread = std::thread([this, &s] { Serve(s); });
    }
}

void TRpcServer::Serve(Session& session) {
    rt::DispatchPtr module;
    std::string payload;
    while (!FStopping) {
        uint32_t announced = 0;
        const wire::IoStatus s = wire::ReadFrame(session.Fd, payload, FOptions.MaxFrameSize, std::nullopt,
                                                 FOptions.FrameTimeout, &announced);
        if (s == wire::IoStatus::TooLarge) {
            // The rest of the stream cannot be trusted to be framed: answer, then end the session.
            wire::WriteFrame(session.Fd,
                             wire::EncodeError("null", wire::errFrameTooLarge,
                                               "A frame of " + std::to_string(announced) +
                                                   " bytes exceeds the limit of " +
                                                   std::to_string(FOptions.MaxFrameSize)),
                             wire::DeadlineIn(FOptions.FrameTimeout));
            break;
        }
        if (s != wire::IoStatus::Ok) break; // closed, stalled halfway or failed: nobody to answer
        const std::string answer = Handle(payload, module);
        if (!answer.empty() &&
            wire::WriteFrame(session.Fd, answer, wire::DeadlineIn(FOptions.FrameTimeout)) !=
                wire::IoStatus::Ok)
            break;
    }
    module.reset(); // the session's object goes with the session
    // The peer sees the end now; the descriptor itself is closed when the thread is reaped.
    ::shutdown(session.Fd, SHUT_RDWR);
    session.Done = true;
}

std::string TRpcServer::Open(const wire::CallRequest& request, rt::DispatchPtr& session) {
    const auto& a = request.Args;
    if (a.size() != 2 || a[0].IsText() || !a[0].IsNumeric() || !a[1].IsText())
        return wire::EncodeError(request.IdJson, wire::errInvalidParams,
                                 "rpc.open expects the protocol version and the server name");
    if (a[0].AsInteger() != wire::kProtocolVersion)
        return wire::EncodeError(request.IdJson, wire::errProtocolVersion,
                                 "Protocol version " + std::to_string(a[0].AsInteger()) +
                                     " is not served; this server speaks " +
                                     std::to_string(wire::kProtocolVersion));
    if (session)
        return wire::EncodeError(request.IdJson, wire::errInvalidRequest, "The session is already open");
    const std::string name = a[1].AsString();
    auto it = FModules.find(UpperAscii(name));
    if (it == FModules.end())
        return wire::EncodeError(request.IdJson, wire::errUnknownServer, "No server \"" + name + "\" here");
    try {
        session = it->second();
    } catch (const std::exception& e) {
        return wire::EncodeError(request.IdJson, wire::errInternal,
                                 std::string("Cannot create the server: ") + e.what());
    }
    if (!session) return wire::EncodeError(request.IdJson, wire::errInternal, "Cannot create the server");
    wire::CallResponse r;
    r.IdJson = request.IdJson;
    r.Value = rt::VarArrayOf({Variant(wire::kProtocolVersion), Variant(rt::Utf8ToUtf16(name))});
    return wire::EncodeResponse(r);
}

std::string TRpcServer::Handle(const std::string& payload, rt::DispatchPtr& session) {
    wire::CallRequest request;
    try {
        request = wire::DecodeRequest(payload);
    } catch (const wire::EWireError& e) {
        return wire::EncodeError(e.IdJson(), e.Code(), e.Message());
    }
    if (request.IdJson.empty()) return {}; // a notification: JSON-RPC wants no answer, and it does nothing
    if (request.Method == wire::kOpenMethod) return Open(request, session);
    if (!session) return wire::EncodeError(request.IdJson, wire::errSessionNotOpen, "Call rpc.open first");

    wire::CallResponse r;
    r.IdJson = request.IdJson;
    const std::vector<Variant> sent = request.Args;
    try {
        r.Value = session->Invoke(request.Method, request.Kind, request.Args);
        r.ByRef = wire::ChangedArguments(sent, request.Args);
    } catch (const EMemberNotFound& e) {
        return wire::EncodeError(request.IdJson, wire::errMethodNotFound, e.Message(), e.ClassName());
    } catch (const EBadArguments& e) {
        return wire::EncodeError(request.IdJson, wire::errInvalidParams, e.Message(), e.ClassName());
    } catch (const rt::Exception& e) {
        return wire::EncodeError(request.IdJson, wire::errApplication, e.Message(), e.ClassName());
    } catch (const std::exception& e) {
        return wire::EncodeError(request.IdJson, wire::errInternal, e.what());
    }
    std::string answer;
    try {
        answer = wire::EncodeResponse(r);
    } catch (const wire::EWireError& e) {
        return wire::EncodeError(request.IdJson, wire::errInternal,
                                 "The answer cannot travel: " + e.Message());
    }
    if (answer.size() > FOptions.MaxFrameSize)
        return wire::EncodeError(request.IdJson, wire::errFrameTooLarge,
                                 "The answer of " + std::to_string(answer.size()) +
                                     " bytes exceeds the frame limit");
    return answer;
}

} // namespace appsrv
