#pragma once
// The platform's socket connection to an application server: address, port, the remote module's name
// (ServerName), Connected, and AppServer, the remote module as an automation object. Calls on AppServer
// travel over TCP (see data/WireCodec.h); by-reference arguments come back into the caller's vector.
// An application-server object created in this process can be attached instead (SetAppServer): AppServer
// is then that object and no socket is used.
//
// A component (owner, Name) so that form resources can declare it. Published: Address, Port, ServerName,
// ServerGUID and SupportCallbacks (kept only), Connected (from a resource it takes effect in Loaded).
#include "automation/Dispatch.h"
#include "core/Exceptions.h"
#include "core/Variant.h"

#include "data/WireCodec.h"
#include "ui/Component.h"

#include <chrono>
#include <memory>
#include <string>

namespace rt {

class TWireChannel; // one open TCP session (SocketConnection.cpp)

class TSocketConnection : public TComponent {
    KVRT_CLASS(TSocketConnection, TComponent)
public:
    explicit TSocketConnection(TComponent* AOwner = nullptr) : TComponent(AOwner) {}
    ~TSocketConnection() override;
    TSocketConnection(const TSocketConnection&) = delete;
    TSocketConnection& operator=(const TSocketConnection&) = delete;

    const std::string& Address() const { return FAddress; }
    void SetAddress(const std::string& address);
    int Port() const { return FPort; }
    void SetPort(int port);
    const std::string& ServerName() const { return FServerName; }
    void SetServerName(const std::string& name);
    // Kept for the resource; the wire protocol names the module by ServerName only.
    const std::string& ServerGUID() const { return FServerGUID; }
    void SetServerGUID(const std::string& guid) { FServerGUID = guid; }
    // Kept for the resource; the connection never carries server-to-client calls.
    bool SupportCallbacks() const { return FSupportCallbacks; }
    void SetSupportCallbacks(bool value) { FSupportCallbacks = value; }

    // Bounds on waiting: for the TCP connection to be made, and for each call's answer. A server that
    // does not answer in time gives ESocketConnectionError and the connection is closed.
    std::chrono::milliseconds ConnectTimeout() const { return FConnectTimeout; }
    void SetConnectTimeout(std::chrono::milliseconds t) { FConnectTimeout = t; }
    std::chrono::milliseconds CallTimeout() const { return FCallTimeout; }
    void SetCallTimeout(std::chrono::milliseconds t) { FCallTimeout = t; }

    // Connects to Address:Port and opens a session with the module ServerName. Raises
    // ESocketConnectionError when the server cannot be reached or refuses the session.
    void Open();
    void Close();
    bool Connected() const;
    void SetConnected(bool value);

    // The application server: the attached local object, else the remote module of the open session,
    // else unassigned.
    Variant AppServer() const;
    // Attaches a server object created in this process (the local-address case); unassigned detaches.
    void SetAppServer(const Variant& server);
    bool HasLocalServer() const { return FLocalServer.VarType() == varDispatch; }

    void Loaded() override;

private:
    void CheckClosed(const char* what) const;

    std::string FAddress;
    int FPort = wire::kDefaultPort;
    std::string FServerName;
    std::string FServerGUID;
    bool FSupportCallbacks = true;
    bool FStreamedConnected = false;
    std::chrono::milliseconds FConnectTimeout{10000};
    std::chrono::milliseconds FCallTimeout{60000};
    Variant FLocalServer;
    std::shared_ptr<TWireChannel> FChannel;
    Variant FRemoteServer; // the proxy over FChannel
};

} // namespace rt
