#pragma once
// The data-access error hierarchy:
//   Exception
//     EDatabaseError           a message (errors of the layer itself)
//       EDataAccessError       adds the error code and the component that failed
//         EDbError             a provider error raised again by a failed connect
//         EMyError, EIBError   the providers' own (providers/mysql, providers/interbase)
#include <memory>
#include <string>

#include "dataaccess/Component.h"
#include "platform/Exception.h"

namespace vantrelo {

class EDatabaseError : public Exception {
public:
    using Exception::Exception;
};

// Raises EDatabaseError with the component's name in front when it has one.
[[noreturn]] void DatabaseError(const std::u16string& message, const TComponent* component = nullptr);

class EDataAccessError : public EDatabaseError {
public:
    EDataAccessError(int errorCode, std::u16string message, const TComponent* component = nullptr)
        : EDatabaseError(std::move(message)), FErrorCode(errorCode), FComponent(component) {}

    int ErrorCode() const noexcept { return FErrorCode; }
    // Non-owning: the component may be gone when the error is read.
    const TComponent* Component() const noexcept { return FComponent; }
    void SetComponent(const TComponent* component) noexcept { FComponent = component; }

    // The provider connection is lost (no later call on it can succeed).
    virtual bool IsFatalError() const { return false; }
    virtual bool IsKeyViolation() const { return false; }
    // A copy of the most derived error, so that a wrapper can keep it.
    virtual std::shared_ptr<const EDataAccessError> Clone() const {
        return std::make_shared<EDataAccessError>(*this);
    }

private:
    int FErrorCode;
    const TComponent* FComponent;
};

class EDbError : public EDataAccessError {
public:
    explicit EDbError(const EDataAccessError& inner)
        : EDataAccessError(inner.ErrorCode(), inner.Message(), inner.Component()), FInner(inner.Clone()) {}

    const EDataAccessError& InnerError() const noexcept { return *FInner; }
    bool IsFatalError() const override { return FInner->IsFatalError(); }
    bool IsKeyViolation() const override { return FInner->IsKeyViolation(); }
    std::shared_ptr<const EDataAccessError> Clone() const override { return std::make_shared<EDbError>(*this); }

private:
    std::shared_ptr<const EDataAccessError> FInner;
};

} // namespace vantrelo
