// libFuzzer target for the remote-data wire: any bytes as a Variant, a request, an answer, and as a frame
// handed to the session server. Nothing may crash or raise anything but the wire's own error, and a
// Variant that decodes must encode and decode to itself.
#include "RpcServer.h"

#include "data/WireCodec.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

class TEcho : public rt::TAutoObject {
public:
    TEcho() {
        AddMethod("Echo", [](std::vector<rt::Variant>& a) { return a.empty() ? rt::Variant() : a[0]; });
        AddMethod("Swap", [](std::vector<rt::Variant>& a) {
            if (a.size() == 2) std::swap(a[0], a[1]);
            return rt::Variant(static_cast<int>(a.size()));
        });
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    try {
        const rt::Variant v = rt::wire::DecodeVariant(text);
        if (!rt::wire::DecodeVariant(rt::wire::EncodeVariant(v)).Identical(v)) std::abort();
    } catch (const rt::wire::EWireError&) {
    }
    try {
        rt::wire::DecodeRequest(text);
    } catch (const rt::wire::EWireError&) {
    }
    try {
        rt::wire::DecodeResponse(text);
    } catch (const rt::wire::EWireError&) {
    }
    // The server's answer to the frame: first with no session, then inside an open one.
    static appsrv::TRpcServer server({}, {{"Fuzz.Echo", [] { return std::make_shared<TEcho>(); }}});
    rt::DispatchPtr session;
    server.Handle(text, session);
    session = std::make_shared<TEcho>();
    const std::string answer = server.Handle(text, session);
    if (!answer.empty()) rt::wire::DecodeResponse(answer); // the server's own answers always decode
    return 0;
}
