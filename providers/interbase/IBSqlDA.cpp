#include "providers/interbase/IBSqlDA.h"

#include <cstring>

namespace vantrelo {

std::string_view TIBSqlVar::Name(short ibapi::TXSQLVAR_V1::*l1, short ibapi::TXSQLVAR_V2::*l2) const {
    const short& length = FV2 ? reinterpret_cast<ibapi::TXSQLVAR_V2*>(FVar)->*l2
                              : reinterpret_cast<ibapi::TXSQLVAR_V1*>(FVar)->*l1;
    const char* text = reinterpret_cast<const char*>(&length) + sizeof(short);
    std::size_t capacity = FV2 ? 68 : 32;
    std::size_t n = length < 0 ? 0 : std::size_t(length);
    return {text, n > capacity ? capacity : n};
}

TIBSqlDA::TIBSqlDA(short version) : FVersion(version) { Reserve(1); }

void TIBSqlDA::Reserve(int count) {
    if (count <= FCapacity) return;
    std::size_t length = Length(FVersion, count);
    auto buffer = std::make_unique<std::byte[]>(length);  // zeroed
    if (FBuffer) std::memcpy(buffer.get(), FBuffer.get(), Length(FVersion, FCapacity));
    FBuffer = std::move(buffer);
    FCapacity = count;
    ibapi::TXSQLDA& h = Header();
    h.version = FVersion;
    h.sqln = short(count);
    h.sqldabc = std::int32_t(length);
}

} // namespace vantrelo
