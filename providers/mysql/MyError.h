#pragma once
// The MySQL provider's error as the rest of the program sees it: the server's (or the
// client's) code and text, and the component that failed.
#include <memory>
#include <string>

#include "dataaccess/DatabaseError.h"

namespace vantrelo {

class EMyError : public EDataAccessError {
public:
    EMyError(int errorCode, std::u16string message, const TComponent* component = nullptr);

    // For a syntax error (1064): the line the server names at the end of its message.
    int LineNumber() const noexcept { return FLineNumber; }

    bool IsFatalError() const override;
    bool IsKeyViolation() const override;
    std::shared_ptr<const EDataAccessError> Clone() const override { return std::make_shared<EMyError>(*this); }

private:
    int FLineNumber = 0;
};

} // namespace vantrelo
