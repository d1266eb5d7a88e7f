#pragma once
// Blob contents read and written in segments.
#include <string_view>
#include <vector>

#include "dataaccess/Component.h"
#include "providers/interbase/IBApi.h"

namespace vantrelo {

class TIBConnection;

class TIBBlob {
public:
    TIBBlob(TIBConnection& connection, const TComponent* component) : FConnection(connection), FComponent(component) {}

    // The whole contents of the blob, valid until the next Read. Raises "Invalid BLOB ID"
    // for a zero id.
    std::string_view Read(ibapi::THandle* transaction, const ibapi::TQuad& id);
    // A new blob holding the data; its id.
    ibapi::TQuad Write(ibapi::THandle* transaction, std::string_view data);

    static constexpr std::size_t PieceSize = 65514;  // bytes written per segment

private:
    void Close(ibapi::THandle& blob) noexcept;
    [[noreturn]] void Fail(ibapi::THandle& blob);  // raises the failed call's error, the blob closed
    void Finish(ibapi::THandle& blob);             // closes, raising a failure

    TIBConnection& FConnection;
    const TComponent* FComponent;
    ibapi::TStatusVector FStatus{};
    std::vector<char> FBuffer;  // grows to the largest blob read, and stays
};

} // namespace vantrelo
