#include "providers/interbase/IBBlob.h"

#include <algorithm>

#include "dataaccess/DatabaseError.h"
#include "providers/interbase/IBConnection.h"
#include "providers/interbase/IBLibrary.h"

namespace vantrelo {
namespace {
constexpr std::size_t MaxSegmentRead = 65535;
}

void TIBBlob::Close(ibapi::THandle& blob) noexcept {
    if (blob == ibapi::NullHandle) return;
    ibapi::TStatusVector status{};
    TIBLibrary& library = FConnection.Library();
    TIBLibrary::TBusy busy(library);
    library.Api().isc_close_blob(status.data(), &blob);
    blob = ibapi::NullHandle;
}

void TIBBlob::Fail(ibapi::THandle& blob) {
    ibapi::TStatusVector failed = FStatus;  // closing overwrites the status
    Close(blob);
    FConnection.RaiseError(failed, FComponent);
}

void TIBBlob::Finish(ibapi::THandle& blob) {
    ibapi::TStatus result;
    {
        TIBLibrary::TBusy busy(FConnection.Library());
        result = FConnection.Library().Api().isc_close_blob(FStatus.data(), &blob);
    }
    FConnection.Check(result, FStatus, FComponent);
}

std::string_view TIBBlob::Read(ibapi::THandle* transaction, const ibapi::TQuad& id) {
    if (ibapi::IsNullQuad(id)) throw EDatabaseError(u"Invalid BLOB ID");
    TIBLibrary& library = FConnection.Library();
    const TIBFunctions& api = library.Api();
    ibapi::THandle blob = ibapi::NullHandle;
    ibapi::TQuad blobId = id;
    ibapi::TStatus result;
    {
        TIBLibrary::TBusy busy(library);
        result = api.isc_open_blob2(FStatus.data(), FConnection.DatabaseHandle(), transaction, &blob, &blobId, 0,
                                    nullptr);
    }
    FConnection.Check(result, FStatus, FComponent);
    // Segments are read until the end of the blob; the buffer grows by doubling and is
    // kept for the next blob, so a fetch of many blobs allocates once.
    std::size_t length = 0;
    while (true) {
        if (FBuffer.size() - length < MaxSegmentRead) FBuffer.resize(std::max(FBuffer.size() * 2, length + MaxSegmentRead));
        unsigned short got = 0;
        {
            TIBLibrary::TBusy busy(library);
            result = api.isc_get_segment(FStatus.data(), &blob, &got, static_cast<unsigned short>(MaxSegmentRead),
                                         FBuffer.data() + length);
        }
        if (result == 0 || result == ibapi::IscSegment) {
            length += got;
            continue;
        }
        if (result == ibapi::IscSegstrEof) break;
        Fail(blob);
    }
    Finish(blob);
    return {FBuffer.data(), length};
}

ibapi::TQuad TIBBlob::Write(ibapi::THandle* transaction, std::string_view data) {
    TIBLibrary& library = FConnection.Library();
    const TIBFunctions& api = library.Api();
    ibapi::THandle blob = ibapi::NullHandle;
    ibapi::TQuad id{};
    ibapi::TStatus result;
    {
        TIBLibrary::TBusy busy(library);
        result = api.isc_create_blob2(FStatus.data(), FConnection.DatabaseHandle(), transaction, &blob, &id, 0, nullptr);
    }
    FConnection.Check(result, FStatus, FComponent);
    for (std::size_t at = 0; at < data.size(); at += PieceSize) {
        std::size_t n = std::min(PieceSize, data.size() - at);
        {
            TIBLibrary::TBusy busy(library);
            result = api.isc_put_segment(FStatus.data(), &blob, static_cast<unsigned short>(n), data.data() + at);
        }
        if (result != 0) Fail(blob);
    }
    Finish(blob);
    return id;
}

} // namespace vantrelo
