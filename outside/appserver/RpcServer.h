#pragma once
// Serving automation objects over TCP with the remote-data wire protocol (docs/wire-protocol.md). Each
// client connection is a session on its own thread: "rpc.open" names the module, the server creates one
// object of it for the session, and every later call is Invoke on that object. A malformed frame or call
// gets an error answer; a client that vanishes ends only its own session.
#include "automation/Dispatch.h"
#include "core/Exceptions.h"
#include "data/WireCodec.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace appsrv {

using rt::Exception;
KVRT_EXCEPTION(EServerError, Exception)

struct RpcServerOptions {
    std::string Address = "127.0.0.1";
    int Port = rt::wire::kDefaultPort;             // 0 picks a free port (see Port())
    size_t MaxClients = 64;                        // further connections are answered "busy" and closed
    std::chrono::milliseconds FrameTimeout{30000}; // to finish a frame once begun, and to send an answer
    size_t MaxFrameSize = rt::wire::kMaxFrameSize;
};

// Creates the object of one session; raising refuses the session.
using ModuleFactory = std::function<rt::DispatchPtr()>;

class TRpcServer {
public:
    // modules: server name (matched ignoring case) -> factory.
    TRpcServer(RpcServerOptions options, std::map<std::string, ModuleFactory> modules);
    ~TRpcServer();
    TRpcServer(const TRpcServer&) = delete;
    TRpcServer& operator=(const TRpcServer&) = delete;

    // Binds and starts accepting; raises EServerError when the address cannot be bound.
    void Start();
    // Closes the listening socket and every session, and waits for their threads.
    void Stop();
    int Port() const { return FPort; }
    size_t ActiveSessions();

    // One frame's answer for a session (empty for a notification). Public for the fuzz target.
    std::string Handle(const std::string& payload, rt::DispatchPtr& session);

private:
    struct Session {
        int Fd = -1;
        std::thread Thread;
        std::atomic<bool> Done{false};
    };

    void AcceptLoop();
    void Serve(Session& session);
    void Reap(bool all);
    std::string Open(const rt::wire::CallRequest& request, rt::DispatchPtr& session);

    RpcServerOptions FOptions;
    std::map<std::string, ModuleFactory> FModules; // keys in upper case
    int FListenFd = -1;
    int FWake[2] = {-1, -1};
    int FPort = -1;
    std::atomic<bool> FStopping{false};
    std::thread FAcceptThread;
    std::mutex FMutex;
    std::list<std::unique_ptr<Session>> FSessions;
};

} // namespace appsrv
