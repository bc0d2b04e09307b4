#pragma once
// The platform's exception hierarchy. Module code catches Exception at operation boundaries and lets
// anything else propagate.
#include <stdexcept>
#include <string>

namespace rt {

class Exception : public std::exception {
public:
    explicit Exception(std::string message) : FMessage(std::move(message)) {}
    const std::string& Message() const noexcept { return FMessage; }
    void SetMessage(std::string message) { FMessage = std::move(message); }
    const char* what() const noexcept override { return FMessage.c_str(); }
    virtual const char* ClassName() const noexcept { return "Exception"; }

private:
    std::string FMessage;
};

#define KVRT_EXCEPTION(Name, Base)                                                                           \
    class Name : public Base {                                                                               \
    public:                                                                                                  \
        using Base::Base;                                                                                    \
        const char* ClassName() const noexcept override { return #Name; }                                    \
    };

KVRT_EXCEPTION(EConvertError, Exception)
KVRT_EXCEPTION(EVariantError, Exception)
KVRT_EXCEPTION(EVariantTypeCastError, EVariantError)
KVRT_EXCEPTION(EVariantBadIndexError, EVariantError)
KVRT_EXCEPTION(EVariantArrayCreateError, EVariantError)
KVRT_EXCEPTION(EVariantArrayLockedError, EVariantError)
KVRT_EXCEPTION(EOleError, Exception)
KVRT_EXCEPTION(EOleSysError, EOleError)
KVRT_EXCEPTION(EOleException, EOleError)
KVRT_EXCEPTION(EInvalidOperation, Exception)
KVRT_EXCEPTION(EInvalidPointer, Exception)
KVRT_EXCEPTION(EAbstractError, Exception)
KVRT_EXCEPTION(EListError, Exception)
KVRT_EXCEPTION(EStringListError, EListError)
KVRT_EXCEPTION(EComponentError, Exception)
KVRT_EXCEPTION(EPropertyError, Exception)
KVRT_EXCEPTION(EReadError, Exception)
KVRT_EXCEPTION(EResNotFound, Exception)
KVRT_EXCEPTION(EOSError, Exception)
KVRT_EXCEPTION(ERegistryException, Exception)
KVRT_EXCEPTION(EIniFileException, Exception)
KVRT_EXCEPTION(EDBEditError, Exception)
KVRT_EXCEPTION(EAbort, Exception)
KVRT_EXCEPTION(EStreamError, Exception)
KVRT_EXCEPTION(EFOpenError, EStreamError)
KVRT_EXCEPTION(EFCreateError, EStreamError)
KVRT_EXCEPTION(ESocketConnectionError, Exception)

} // namespace rt
