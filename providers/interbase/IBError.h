#pragma once
// Errors of the InterBase/Firebird provider, built from the client library's status vector.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "dataaccess/DatabaseError.h"
#include "providers/interbase/IBApi.h"

namespace vantrelo {

class TIBLibrary;

class EIBError : public EDataAccessError {
public:
    // errorCode: the SQL code; errorNumber: the client library's error number (status word 1).
    EIBError(int errorCode, std::int64_t errorNumber, std::u16string sqlErrorMsg, std::u16string message,
             const TComponent* component = nullptr);

    std::int64_t ErrorNumber() const noexcept { return FErrorNumber; }
    const std::u16string& SQLErrorMsg() const noexcept { return FSQLErrorMsg; }

    bool IsFatalError() const override;
    bool IsKeyViolation() const override;
    std::shared_ptr<const EDataAccessError> Clone() const override { return std::make_shared<EIBError>(*this); }

private:
    std::int64_t FErrorNumber;
    std::u16string FSQLErrorMsg;
};

// Error numbers that mean the attachment is lost.
bool IsFatalErrorNumber(std::int64_t errorNumber);
constexpr std::int64_t KeyViolationErrorNumber = 335544665;

// Texts of the client library: 8-bit ANSI, except on a Unicode attachment, where the
// server writes names and values in UTF-8.
std::u16string DecodeServerText(std::string_view text, bool unicodeAttachment);

// The error a failed call left in the status vector, read under the library's
// serialisation: SQL code, error number, the SQL message and the message lines joined by CR.
EIBError ReadIBError(TIBLibrary& library, const ibapi::TStatusVector& status, bool unicodeAttachment,
                     const TComponent* component);

} // namespace vantrelo
