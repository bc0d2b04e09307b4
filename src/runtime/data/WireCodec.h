#pragma once
// The remote-data wire format: Variants as tagged JSON values and the JSON-RPC 2.0 messages that carry
// automation calls between a client and an application server. docs/wire-protocol.md describes it; the
// client (TSocketConnection) and the server program both use these functions, so the two sides cannot
// drift apart. JSON stays inside this unit: callers see texts and Variants only.
#include "automation/Dispatch.h"
#include "core/Exceptions.h"
#include "core/Variant.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace rt::wire {

// Version of the protocol, exchanged by "rpc.open".
constexpr int kProtocolVersion = 1;
// The port an application-server daemon listens on unless told otherwise.
constexpr int kDefaultPort = 7311;
// Largest frame either side accepts (the payload, without the 4-byte length).
constexpr size_t kMaxFrameSize = size_t{64} << 20;
// Deepest nesting of arrays a decoded Variant may have.
constexpr int kMaxNesting = 64;

// JSON-RPC error codes used on the wire.
enum ErrorCode : int {
    errParse = -32700,          // the frame is not JSON
    errInvalidRequest = -32600, // JSON, but not a request of this protocol
    errMethodNotFound = -32601, // no such member on the server object
    errInvalidParams = -32602,  // arguments of the wrong shape or a Variant that cannot be decoded
    errInternal = -32603,       // the server failed for a reason of its own
    errApplication = -32000,    // the server object raised an exception: message and class travel
    errSessionNotOpen = -32001, // a call before "rpc.open"
    errUnknownServer = -32002,  // "rpc.open" named a server this daemon does not serve
    errProtocolVersion = -32003,
    errFrameTooLarge = -32004,
    errServerBusy = -32005,
};

// A fault in a message: the JSON-RPC code, and the id of the request when it could be read (as JSON
// text, "null" otherwise) so that the answer can name it.
class EWireError : public Exception {
public:
    EWireError(int code, std::string message, std::string idJson = "null")
        : Exception(std::move(message)), FCode(code), FIdJson(std::move(idJson)) {}
    int Code() const noexcept { return FCode; }
    const std::string& IdJson() const noexcept { return FIdJson; }
    const char* ClassName() const noexcept override { return "EWireError"; }

private:
    int FCode;
    std::string FIdJson;
};

// One Variant as JSON text. A dispatch value (anywhere inside) raises EWireError(errInvalidParams):
// an object reference cannot travel.
std::string EncodeVariant(const Variant& v);
// The inverse; malformed input raises EWireError(errParse or errInvalidParams), never anything else.
Variant DecodeVariant(std::string_view json);

// Method names of the session itself (JSON-RPC reserves the "rpc." prefix for them).
inline constexpr const char* kOpenMethod = "rpc.open"; // args: protocol version (integer), server name

// A call of an automation member, or of a session method.
struct CallRequest {
    std::string IdJson; // JSON text of the id; empty for a notification (which gets no answer)
    std::string Method;
    DispatchKind Kind = DispatchKind::Method;
    std::vector<Variant> Args;
};

// The answer to one call: a value and the by-reference arguments that changed, or an error.
struct CallResponse {
    std::string IdJson = "null";
    bool Ok = true;
    Variant Value;
    std::vector<std::pair<size_t, Variant>> ByRef; // argument index and its final value
    int ErrorCode = 0;
    std::string ErrorMessage;
    std::string ErrorClass; // exception class name on the server, when known
};

std::string EncodeRequest(const CallRequest& r);
// Raises EWireError with the code the answer should carry (and the id once it was read).
CallRequest DecodeRequest(std::string_view json);

std::string EncodeResponse(const CallResponse& r);
CallResponse DecodeResponse(std::string_view json);
// An error answer; never raises.
std::string EncodeError(const std::string& idJson, int code, const std::string& message,
                        const std::string& errorClass = {});

// The by-reference part of an answer: the arguments that differ from what was sent.
std::vector<std::pair<size_t, Variant>> ChangedArguments(const std::vector<Variant>& before,
                                                         const std::vector<Variant>& after);

} // namespace rt::wire
