#include "providers/interbase/IBTransaction.h"

#include <algorithm>
#include <array>

#include "dataaccess/DatabaseError.h"
#include "dataaccess/TextUtils.h"
#include "platform/CodePage.h"
#include "platform/FormatSettings.h"
#include "providers/interbase/IBConnection.h"
#include "providers/interbase/IBError.h"
#include "providers/interbase/IBLibrary.h"

namespace vantrelo {
namespace {

// The published TPB item names; the position in the table is the item code.
constexpr std::array<const char16_t*, ibapi::TpbLastPublished + 1> TpbNames = {
    u"",           u"consistency",     u"concurrency",   u"shared",           u"protected",
    u"exclusive",  u"wait",            u"nowait",        u"read",             u"write",
    u"lock_read",  u"lock_write",      u"verb_time",     u"commit_time",      u"ignore_limbo",
    u"read_committed", u"autocommit",  u"rec_version",   u"no_rec_version",   u"restart_requests",
    u"no_auto_undo", u"lock_timeout",  u"read_consistency",
};

void AppendCustomLine(std::string& tpb, std::vector<int>& written, const std::u16string& line) {
    auto [name, value, hasValue] = ParseIBParamLine(line, u"isc_tpb_");
    auto it = std::find_if(TpbNames.begin() + 1, TpbNames.end(), [&](const char16_t* n) { return name == n; });
    if (it == TpbNames.end()) throw EDatabaseError(u"Unknown TPB constant (" + name + u")");
    int code = int(it - TpbNames.begin());
    if (code == ibapi::TpbVerbTime || code == ibapi::TpbCommitTime)
        throw EDatabaseError(u"Unsupported TPB constant (isc_tpb_" + name + u")");
    bool tableLock = code == ibapi::TpbLockRead || code == ibapi::TpbLockWrite;
    // Table reservations may repeat, one per table; every other item is written once.
    if (!tableLock && std::find(written.begin(), written.end(), code) != written.end()) return;
    written.push_back(code);
    tpb += char(code);
    if (tableLock) {
        std::string table = UnicodeToAnsi(value).Bytes();
        if (table.size() > 255) throw EDatabaseError(u"Unsupported length");
        tpb += char(table.size());
        tpb += table;
    } else if (code == ibapi::TpbLockTimeout) {
        auto timeout = static_cast<std::uint32_t>(value.empty() ? 10 : StrToInt(value));
        tpb += char(4);
        for (int i = 0; i < 4; ++i) tpb += char((timeout >> (8 * i)) & 0xFF);
    }
}

} // namespace

std::string BuildTpb(TIsolationLevel level, bool readOnly, const std::vector<std::u16string>& customParams) {
    std::string tpb(1, ibapi::TpbVersion3);
    switch (level) {
    case ilReadCommitted:
        tpb += {ibapi::TpbReadCommitted, ibapi::TpbRecVersion, ibapi::TpbNowait};
        break;
    case ilRepeatableRead:
    case ilSnapshot:
        tpb += {ibapi::TpbConcurrency, ibapi::TpbNowait};
        break;
    case ilIsolated:
        tpb += ibapi::TpbConsistency;
        break;
    case ilCustom:
        break;
    case ilReadUnCommitted:
        throw EDatabaseError(u"Unsupported transaction isolation level");
    }
    if (level != ilCustom) {
        tpb += readOnly ? ibapi::TpbRead : ibapi::TpbWrite;
    } else {
        std::vector<int> written;
        for (const auto& line : customParams) AppendCustomLine(tpb, written, line);
    }
    return tpb;
}

TIBTransaction::TIBTransaction(TIBConnection& connection) { AddConnection(connection); }

TIBTransaction::~TIBTransaction() {
    if (InTransaction()) {
        try {
            Rollback();
        } catch (...) {
            // Nothing is left to report to; the handle is cleared either way.
        }
    }
    for (TIBConnection* c : FConnections) c->RemoveTransaction(this);
}

void TIBTransaction::AddConnection(TIBConnection& connection) {
    if (std::find(FConnections.begin(), FConnections.end(), &connection) != FConnections.end()) return;
    FConnections.push_back(&connection);
    connection.AddTransaction(this);
}

void TIBTransaction::ConnectionDestroyed(TIBConnection* connection) noexcept {
    std::erase(FConnections, connection);
    FHandle = ibapi::NullHandle;
}

void TIBTransaction::SetIsolationLevel(TIsolationLevel level) {
    if (level != FIsolationLevel) FParamsChanged = true;
    FIsolationLevel = level;
}

void TIBTransaction::SetReadOnly(bool value) {
    if (value != FReadOnly) FParamsChanged = true;
    FReadOnly = value;
}

void TIBTransaction::SetParams(std::vector<std::u16string> lines) {
    FParams = std::move(lines);
    FParamsChanged = true;
}

TIBConnection& TIBTransaction::CallConnection() const {
    if (FConnections.empty()) throw EDatabaseError(u"There are no connections in the transaction");
    return *FConnections.front();
}

void TIBTransaction::CheckActive() const {
    if (!InTransaction()) throw EDatabaseError(u"Can't perform operation on inactive transaction");
}

void TIBTransaction::StartTransaction() {
    if (InTransaction()) throw EDatabaseError(u"Transaction is already active");
    if (FConnections.empty()) throw EDatabaseError(u"There are no connections in the transaction");
    for (TIBConnection* c : FConnections)
        if (!c->GetConnected()) throw EDatabaseError(u"Can't start transaction with closed connection");
    if (FParamsChanged || FTpb.empty()) {
        try {
            FTpb = BuildTpb(FIsolationLevel, FReadOnly, FParams);
        } catch (...) {
            FTpb.clear();
            throw;
        }
        FParamsChanged = false;
    }
    std::vector<ibapi::TTransactionBlock> blocks;
    for (TIBConnection* c : FConnections)
        blocks.push_back({c->DatabaseHandle(), std::int32_t(FTpb.size()), FTpb.data()});
    TIBConnection& connection = CallConnection();
    TIBLibrary& library = connection.Library();
    ibapi::TStatus result;
    {
        TIBLibrary::TBusy busy(library);
        FHandle = ibapi::NullHandle;
        result = library.Api().isc_start_multiple(FStatus.data(), &FHandle, short(blocks.size()), blocks.data());
    }
    if (result != 0) {
        FHandle = ibapi::NullHandle;
        connection.RaiseError(FStatus, nullptr);
    }
}

ibapi::TStatus TIBTransaction::CallOnHandle(ibapi::TIscTransactionCall TIBFunctions::*entry) {
    CheckActive();
    TIBLibrary& library = CallConnection().Library();
    TIBLibrary::TBusy busy(library);
    return (library.Api().*entry)(FStatus.data(), &FHandle);
}

void TIBTransaction::Ended(ibapi::TStatus result) noexcept {
    if (!FRanDDL) return;
    for (TIBConnection* c : FConnections) c->MetadataChanged();
    // DDL whose commit failed is still pending: its end comes later.
    if (result == 0 || !InTransaction()) FRanDDL = false;
}

void TIBTransaction::Commit() {
    ibapi::TStatus result = CallOnHandle(&TIBFunctions::isc_commit_transaction);
    // A lost attachment ends the transaction too; any other failure leaves it open.
    if (result == 0 || IsFatalErrorNumber(FStatus[1])) FHandle = ibapi::NullHandle;
    Ended(result);
    CallConnection().Check(result, FStatus, nullptr);
}

void TIBTransaction::Rollback() {
    ibapi::TStatus result = CallOnHandle(&TIBFunctions::isc_rollback_transaction);
    FHandle = ibapi::NullHandle;
    Ended(result);
    CallConnection().Check(result, FStatus, nullptr);
}

void TIBTransaction::CommitRetaining() {
    ibapi::TStatus result = CallOnHandle(&TIBFunctions::isc_commit_retaining);
    Ended(result);
    CallConnection().Check(result, FStatus, nullptr);
}

void TIBTransaction::RollbackRetaining() {
    ibapi::TStatus result = CallOnHandle(&TIBFunctions::isc_rollback_retaining);
    Ended(result);
    CallConnection().Check(result, FStatus, nullptr);
}

} // namespace vantrelo
