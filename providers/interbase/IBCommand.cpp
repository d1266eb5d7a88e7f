#include "providers/interbase/IBCommand.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>

#include "dataaccess/DatabaseError.h"
#include "dataaccess/TextUtils.h"
#include "platform/CodePage.h"
#include "providers/interbase/IBBlob.h"
#include "providers/interbase/IBConnection.h"
#include "providers/interbase/IBDateTime.h"
#include "providers/interbase/IBError.h"
#include "providers/interbase/IBLibrary.h"
#include "providers/interbase/IBTransaction.h"

namespace vantrelo {
namespace {

bool IsWordChar(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'_' ||
           c == u'$' || c >= 0x80;
}

// Walks the words of a statement outside literals, quoted names and comments, handing each
// to visit until it returns false.
template <class F> void ForEachWord(std::u16string_view sql, F&& visit) {
    std::size_t i = 0;
    while (i < sql.size()) {
        char16_t c = sql[i];
        if (c == u'/' && i + 1 < sql.size() && sql[i + 1] == u'*') {
            std::size_t end = sql.find(u"*/", i + 2);
            i = end == std::u16string_view::npos ? sql.size() : end + 2;
        } else if (c == u'-' && i + 1 < sql.size() && sql[i + 1] == u'-') {
            std::size_t end = sql.find(u'\n', i);
            i = end == std::u16string_view::npos ? sql.size() : end + 1;
        } else if (c == u'\'' || c == u'"') {
            std::size_t j = i + 1;
            while (j < sql.size()) {
                if (sql[j] == c) {
                    if (j + 1 < sql.size() && sql[j + 1] == c) { j += 2; continue; }
                    break;
                }
                ++j;
            }
            i = j + 1;
        } else if (IsWordChar(c)) {
            std::size_t j = i;
            while (j < sql.size() && IsWordChar(sql[j])) ++j;
            if (!visit(sql.substr(i, j - i))) return;
            i = j;
        } else {
            ++i;
        }
    }
}

// Statement texts are mostly ASCII, the same bytes in UTF-8 and in the ANSI code page.
std::string StatementBytes(std::u16string_view sql, bool utf8) {
    if (std::all_of(sql.begin(), sql.end(), [](char16_t c) { return c < 0x80; })) {
        std::string bytes(sql.size(), '\0');
        std::transform(sql.begin(), sql.end(), bytes.begin(), [](char16_t c) { return char(c); });
        return bytes;
    }
    return utf8 ? UnicodeToUtf8(sql) : UnicodeToAnsi(sql).Bytes();
}

std::string CursorName() {
    static constexpr char hex[] = "0123456789ABCDEF";
    std::random_device device;
    std::mt19937_64 random(device());
    std::uint64_t bits = random();
    std::string name = "CUR_";
    for (int i = 0; i < 16; ++i) name += hex[(bits >> (4 * i)) & 0xF];
    return name;
}

template <class T> void StoreFixed(char* fixed, T value) { std::memcpy(fixed, &value, sizeof value); }

// Text of a parameter as 8-bit ANSI.
AnsiString AnsiOf(const TVariant& value) {
    if (auto u = value.TryGet<std::u16string>()) return UnicodeToAnsi(*u);
    return value.AsAnsiString();
}

std::string Utf8Of(const TVariant& value) {
    if (auto a = value.TryGet<AnsiString>()) return AnsiToUtf8(*a);
    if (auto b = value.TryGet<TBytes>()) return AnsiToUtf8(AnsiString(reinterpret_cast<const char*>(b->data()), b->size()));
    return UnicodeToUtf8(value.AsString());
}

} // namespace

TIBQueryType ParseIBQueryType(std::u16string_view sql, bool firebird) {
    TIBQueryType type = qtUnknown;
    std::size_t index = 0;
    bool execute = false, returning = false;
    ForEachWord(sql, [&](std::u16string_view word) {
        if (index == 0) {
            if (SameText(word, u"INSERT")) type = qtInsert;
            else if (SameText(word, u"UPDATE")) type = qtUpdate;
            else if (SameText(word, u"DELETE")) type = qtDelete;
            else if (SameText(word, u"SELECT") || SameText(word, u"WITH")) type = qtSelect;
            else if (SameText(word, u"CREATE") || SameText(word, u"RECREATE")) type = qtCreate;
            else if (SameText(word, u"DROP")) type = qtDrop;
            execute = SameText(word, u"EXECUTE");
        } else if (index == 1 && execute && SameText(word, u"BLOCK")) {
            type = qtExecuteBlock;
            return false;  // a block's RETURNING is not the statement's
        }
        ++index;
        if (firebird && SameText(word, u"RETURNING")) {
            returning = true;
            return false;
        }
        return firebird || index < 2;
    });
    return returning ? qtInsertReturning : type;
}

TIBRowCounts ParseRowCounts(std::string_view reply) {
    if (reply.empty() || reply[0] != ibapi::InfoSqlRecords) throw EDatabaseError(u"SQL information exception");
    TIBRowCounts counts;
    std::size_t i = 3;
    while (i + 3 <= reply.size() && reply[i] != ibapi::InfoEnd) {
        char item = reply[i];
        std::size_t length = std::uint8_t(reply[i + 1]) | (std::size_t(std::uint8_t(reply[i + 2])) << 8);
        if (i + 3 + length > reply.size()) break;
        std::int32_t value = 0;
        if (length == 4) std::memcpy(&value, reply.data() + i + 3, 4);  // little-endian on every target we build
        if (item == ibapi::InfoReqUpdateCount) counts.Updated = value;
        else if (item == ibapi::InfoReqDeleteCount) counts.Deleted = value;
        else if (item == ibapi::InfoReqInsertCount) counts.Inserted = value;
        i += 3 + length;
    }
    return counts;
}

TIBTextEncoding IBTextParamEncoding(bool useUnicode, int attachmentCharsetId, int ansiCharsetId) {
    bool unicodeAttachment = TIBConnection::IsUnicodeCharset(attachmentCharsetId);
    // UTF-8 bytes are tagged with the attachment's Unicode set, never left untagged: 0 is
    // also the id of NONE, whose columns take bytes as they are.
    short utf8Tag = short(unicodeAttachment ? attachmentCharsetId : 0);
    if (useUnicode) return {true, utf8Tag};
    if (!unicodeAttachment) return {false, 0};
    // 8-bit text keeps its bytes where the server knows the code page's set (NONE columns
    // take them unchanged); otherwise it goes as UTF-8.
    if (ansiCharsetId > 0) return {false, short(ansiCharsetId)};
    return {true, utf8Tag};
}

namespace {
short SqldaVersionFor(TIBConnection& connection) {
    return connection.Library().ClientVersion() >= 70000 ? ibapi::SqldaVersion2 : ibapi::SqldaVersion1;
}
} // namespace

TIBCommand::TIBCommand(TIBConnection& connection)
    : FConnection(connection), FInput(SqldaVersionFor(connection)), FOutput(SqldaVersionFor(connection)),
      FDescribedInput(SqldaVersionFor(connection)) {}

TIBCommand::~TIBCommand() { Unprepare(); }

void TIBCommand::Check(ibapi::TStatus result) { FConnection.Check(result, FStatus, FComponent); }

void TIBCommand::SetSQL(const TParsedSql& sql) {
    Unprepare();
    FSQL = sql.Text;
    FMarkers = sql.Params.size();
    FQueryType = qtUnparsed;
}

TIBQueryType TIBCommand::QueryType() {
    if (FQueryType == qtUnparsed) FQueryType = ParseIBQueryType(FSQL, FConnection.GetConnected() && FConnection.IsFirebirdServer());
    return FQueryType;
}

ibapi::THandle* TIBCommand::TransactionHandle() const {
    if (!FTransaction || !FTransaction->InTransaction())
        throw EDatabaseError(u"Can't perform operation on inactive transaction");
    return FTransaction->Handle();
}

void TIBCommand::Prepare() {
    if (Prepared()) return;
    FConnection.CheckConnected();
    ibapi::THandle* transaction = TransactionHandle();
    if (std::all_of(FSQL.begin(), FSQL.end(), [](char16_t c) { return c <= u' '; }))
        throw EDatabaseError(u"SQL statement cannot be empty");
    // The server reads the text in the attachment's character set.
    std::string text = StatementBytes(FSQL, FConnection.UseUnicode() || FConnection.UnicodeAttachment());
    TIBLibrary& library = FConnection.Library();
    const TIBFunctions& api = library.Api();
    ibapi::TStatus result;
    {
        TIBLibrary::TBusy busy(library);
        FHandle = ibapi::NullHandle;
        result = api.isc_dsql_alloc_statement2(FStatus.data(), FConnection.DatabaseHandle(), &FHandle);
    }
    if (result != 0) {
        FHandle = ibapi::NullHandle;
        Check(result);
    }
    FGeneration = FConnection.Generation();
    try {
        {
            TIBLibrary::TBusy busy(library);
            result = api.isc_dsql_prepare(FStatus.data(), transaction, &FHandle, 0, text.c_str(),
                                          static_cast<unsigned short>(FConnection.SQLDialect()), nullptr);
        }
        Check(result);
        ReadStatementType();
        if (FStatementType == ibapi::stGetSegment || FStatementType == ibapi::stPutSegment ||
            FStatementType == ibapi::stStartTrans)
            throw EDatabaseError(u"Unsupported SQL type");
        FState = csPrepared;
        FInputDescribed = false;
    } catch (...) {
        Unprepare();
        throw;
    }
}

void TIBCommand::ReadStatementType() {
    const char items[] = {ibapi::InfoSqlStmtType};
    char reply[8] = {};
    ibapi::TStatus result;
    {
        TIBLibrary::TBusy busy(FConnection.Library());
        result = FConnection.Library().Api().isc_dsql_sql_info(FStatus.data(), &FHandle, short(sizeof items), items,
                                                               short(sizeof reply), reply);
    }
    Check(result);
    if (reply[0] != ibapi::InfoSqlStmtType) throw EDatabaseError(u"SQL information exception");
    std::size_t length = std::uint8_t(reply[1]) | (std::size_t(std::uint8_t(reply[2])) << 8);
    if (length != 2 && length != 4) throw EDatabaseError(u"SQL information exception");
    FStatementType = int(ReadInfoInteger(std::string_view(reply, sizeof reply), ibapi::InfoSqlStmtType, 0));
}

void TIBCommand::Unprepare() noexcept {
    if (FHandle != ibapi::NullHandle && FGeneration == FConnection.Generation() && FConnection.GetConnected()) {
        TIBLibrary& library = FConnection.Library();
        TIBLibrary::TBusy busy(library);
        library.Api().isc_dsql_free_statement(FStatus.data(), &FHandle, ibapi::DsqlDrop);
    }
    FHandle = ibapi::NullHandle;
    FState = csInactive;
    FStatementType = 0;
    FInputDescribed = false;
}

void TIBCommand::DescribeOutput() {
    TIBLibrary& library = FConnection.Library();
    auto describe = [&] {
        ibapi::TStatus result;
        {
            TIBLibrary::TBusy busy(library);
            result = library.Api().isc_dsql_describe(FStatus.data(), &FHandle,
                                                     static_cast<unsigned short>(FConnection.SQLDialect()),
                                                     FOutput.Data());
        }
        Check(result);
    };
    describe();
    if (FOutput.Count() > FOutput.Capacity()) {
        FOutput.Reserve(FOutput.Count());
        describe();
    }
}

bool TIBCommand::ServerExpectsBoolean(std::size_t index) {
    if (!FInputDescribed) {
        TIBLibrary& library = FConnection.Library();
        FDescribedInput.Reserve(int(std::max<std::size_t>(FMarkers, 1)));
        for (int pass = 0; pass < 2; ++pass) {
            ibapi::TStatus result;
            {
                TIBLibrary::TBusy busy(library);
                result = library.Api().isc_dsql_describe_bind(FStatus.data(), &FHandle,
                                                              static_cast<unsigned short>(FConnection.SQLDialect()),
                                                              FDescribedInput.Data());
            }
            Check(result);
            if (FDescribedInput.Count() <= FDescribedInput.Capacity()) break;
            FDescribedInput.Reserve(FDescribedInput.Count());
        }
        FInputDescribed = true;
    }
    return int(index) < FDescribedInput.Count() &&
           FDescribedInput.Var(int(index)).BaseType() == ibapi::SqlBooleanFB;
}

void TIBCommand::WriteBlobParam(TParamBuffer& buffer, std::string_view data) {
    TIBBlob blob(FConnection, FComponent);
    buffer.BlobId = blob.Write(TransactionHandle(), data);
}

void TIBCommand::BindParam(std::size_t index, const TDbParam& param) {
    TIBSqlVar var = FInput.Var(int(index));
    TParamBuffer& b = FParamBuffers[index];
    var.SetPrecision(0);
    var.SqlScale() = 0;
    var.SqlSubtype() = 0;
    var.SqlInd() = &b.Indicator;
    var.SqlData() = b.Fixed;

    const TVariant& value = param.Value();
    bool isNull = !param.IsBound() || param.IsNull();
    b.Indicator = isNull ? -1 : 0;
    TFieldType type = param.DataType();
    if (type == ftUnknown) {
        if (isNull) {
            var.SqlType() = ibapi::SqlText + 1;
            var.SqlLen() = 0;
            return;
        }
        if (!value.TryGet<TBytes>()) throw EDatabaseError(u"Unknown data type of parameter " + param.Name());
        type = ftVarBytes;  // a byte array: the provider decides from the value
    }

    auto setType = [&](short sqlType, int length) {
        var.SqlType() = short(sqlType + 1);
        var.SqlLen() = short(length);
    };
    // Text and bytes too long for a CHAR or VARCHAR travel as a blob of their own.
    auto bindAsBlob = [&](short subtype, short charset) {
        setType(ibapi::SqlBlob, 8);
        var.SqlSubtype() = subtype;
        var.SqlScale() = charset;
        var.SqlData() = reinterpret_cast<char*>(&b.BlobId);
        if (!isNull) WriteBlobParam(b, b.Data);
    };
    const TIBTextEncoding encoding =
        IBTextParamEncoding(FConnection.UseUnicode(), FConnection.CharsetId(), FConnection.AnsiCharsetId());
    auto textBytes = [&] {
        if (isNull) return std::string();
        return encoding.Utf8 ? Utf8Of(value) : AnsiOf(value).Bytes();
    };
    const short textTag = encoding.Charset;

    switch (type) {
    case ftString: case ftFixedChar: case ftWideString: case ftFixedWideChar:
        b.Data = textBytes();
        if (b.Data.size() > MaxVaryingLength) {
            bindAsBlob(1, textTag);
            break;
        }
        setType(ibapi::SqlText, int(b.Data.size()));
        var.SqlSubtype() = textTag;
        var.SqlData() = b.Data.data();
        break;
    case ftMemo: case ftWideMemo:
        b.Data = textBytes();
        bindAsBlob(1, textTag);
        break;
    case ftBlob:
        b.Data.clear();
        if (!isNull) {
            TBytes bytes = value.AsBytes();
            b.Data.assign(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        }
        bindAsBlob(0, 0);
        break;
    case ftBytes: case ftVarBytes: {
        b.Data.clear();
        if (!isNull) {
            if (auto bytes = value.TryGet<TBytes>()) b.Data.assign(reinterpret_cast<const char*>(bytes->data()), bytes->size());
            else b.Data = value.AsAnsiString().Bytes();
        }
        if (b.Data.size() > MaxVaryingLength) {
            bindAsBlob(0, 0);
            break;
        }
        if (type == ftBytes) {
            setType(ibapi::SqlText, int(b.Data.size()));
        } else {
            auto length = static_cast<std::uint16_t>(b.Data.size());
            b.Data.insert(0, reinterpret_cast<const char*>(&length), 2);
            setType(ibapi::SqlVarying, int(b.Data.size()) - 2);
        }
        var.SqlData() = b.Data.data();
        break;
    }
    case ftShortint: case ftByte: case ftSmallint:
        setType(ibapi::SqlShort, 2);
        if (!isNull) StoreFixed(b.Fixed, std::int16_t(value.AsInteger()));
        break;
    case ftWord: {
        // 16-bit unsigned values above 32767 do not fit a SMALLINT.
        std::int32_t v = isNull ? 0 : value.AsInteger();
        if (v > 32767) {
            setType(ibapi::SqlLong, 4);
            StoreFixed(b.Fixed, v);
        } else {
            setType(ibapi::SqlShort, 2);
            StoreFixed(b.Fixed, std::int16_t(v));
        }
        break;
    }
    case ftInteger:
        setType(ibapi::SqlLong, 4);
        if (!isNull) StoreFixed(b.Fixed, value.AsInteger());
        break;
    case ftLargeint: case ftLongWord:
        setType(ibapi::SqlInt64, 8);
        if (!isNull) StoreFixed(b.Fixed, value.AsLargeInt());
        break;
    case ftSingle:
        setType(ibapi::SqlFloat, 4);
        if (!isNull) StoreFixed(b.Fixed, float(value.AsFloat()));
        break;
    case ftFloat:
        setType(ibapi::SqlDouble, 8);
        if (!isNull) StoreFixed(b.Fixed, value.AsFloat());
        break;
    case ftCurrency: case ftBCD:
        setType(ibapi::SqlInt64, 8);
        var.SqlScale() = -4;
        if (!isNull) StoreFixed(b.Fixed, std::int64_t(std::llround(value.AsFloat() * 10000)));
        break;
    case ftFMTBcd: {
        setType(ibapi::SqlInt64, 8);
        double v = isNull ? 0 : value.AsFloat();
        // The fewest decimal places that carry the value exactly (at most 18 digits in all).
        int places = 0;
        double scaled = v;
        while (places < 8 && std::fabs(scaled - std::nearbyint(scaled)) > 1e-9 * std::max(1.0, std::fabs(scaled)) &&
               std::fabs(scaled) < 1e17) {
            scaled *= 10;
            ++places;
        }
        var.SqlScale() = short(-places);
        StoreFixed(b.Fixed, std::int64_t(std::llround(scaled)));
        break;
    }
    case ftDate:
        if (FConnection.DatabaseSQLDialect() > 2) {
            setType(ibapi::SqlTypeDate, 4);
            if (!isNull) StoreFixed(b.Fixed, EncodeIBDate(value.AsDateTime()));
        } else {
            setType(ibapi::SqlTimestamp, 8);
            if (!isNull) StoreFixed(b.Fixed, EncodeIBTimestamp(value.AsDateTime()));
        }
        break;
    case ftTime:
        if (FConnection.DatabaseSQLDialect() > 2) {
            setType(ibapi::SqlTypeTime, 4);
            if (!isNull) StoreFixed(b.Fixed, EncodeIBTime(value.AsDateTime()));
        } else {
            setType(ibapi::SqlTimestamp, 8);
            if (!isNull) StoreFixed(b.Fixed, EncodeIBTimestamp(value.AsDateTime()));
        }
        break;
    case ftDateTime: case ftTimeStamp:
        setType(ibapi::SqlTimestamp, 8);
        if (!isNull) StoreFixed(b.Fixed, EncodeIBTimestamp(value.AsDateTime()));
        break;
    case ftBoolean: {
        bool v = !isNull && value.AsBoolean();
        std::int64_t client = FConnection.Library().ClientVersion();
        if (client >= 70000) {
            setType(ibapi::SqlBooleanIB, 2);
            StoreFixed(b.Fixed, std::int16_t(v));
        } else if (client >= 30000 && FConnection.IsFirebirdServer() && ServerExpectsBoolean(index)) {
            // Firebird 3 refuses a BOOLEAN for a SMALLINT column (the boolean domains of
            // older databases), so the one-byte boolean goes only where the server wants one.
            setType(ibapi::SqlBooleanFB, 1);
            StoreFixed(b.Fixed, std::uint8_t(v));
        } else {
            setType(ibapi::SqlShort, 2);
            StoreFixed(b.Fixed, std::int16_t(v));
        }
        break;
    }
    case ftUnknown:
        break;
    }
}

void TIBCommand::Bind(std::span<const TDbParam> params) {
    std::size_t count = std::max(params.size(), FMarkers);
    FInput.Reserve(int(std::max<std::size_t>(count, 1)));
    FInput.SetCount(int(count));
    if (FParamBuffers.size() < count) FParamBuffers.resize(count);
    static const TDbParam unbound;
    for (std::size_t i = 0; i < count; ++i) BindParam(i, i < params.size() ? params[i] : unbound);
    FState = csBound;
}

void TIBCommand::Execute(std::span<const TDbParam> params, bool withOutput) {
    if (!Prepared()) Prepare();
    ibapi::THandle* transaction = TransactionHandle();
    TIBCursorState previous = FState;
    try {
        Bind(params);
    } catch (...) {
        FState = previous;
        throw;
    }
    const ibapi::TXSQLDA* input = FInput.Count() > 0 ? FInput.Data() : nullptr;
    unsigned short dialect = static_cast<unsigned short>(FConnection.SQLDialect());
    TIBLibrary& library = FConnection.Library();
    const TIBFunctions& api = library.Api();
    FState = csExecuting;
    ibapi::TStatus result;
    {
        TIBLibrary::TBusy busy(library);
        switch (FStatementType) {
        case ibapi::stSelect:
        case ibapi::stSelectForUpdate:
            result = api.isc_dsql_execute2(FStatus.data(), transaction, &FHandle, dialect, input, nullptr);
            break;
        case ibapi::stExecProcedure:
            result = api.isc_dsql_execute2(FStatus.data(), transaction, &FHandle, dialect, input,
                                           withOutput ? FOutput.Data() : nullptr);
            break;
        default:
            result = api.isc_dsql_execute(FStatus.data(), transaction, &FHandle, dialect, input);
            break;
        }
        if (result == 0 && FStatementType == ibapi::stSelectForUpdate) {
            std::string name = CursorName();
            result = api.isc_dsql_set_cursor_name(FStatus.data(), &FHandle, name.c_str(), 0);
        }
    }
    if (result != 0) {
        FState = previous;
        Check(result);
    }
    FState = csExecuted;
    if (FStatementType == ibapi::stDDL) {
        FConnection.MetadataChanged();
        FTransaction->DDLExecuted();
    }
    ReadRowCounts();
}

bool TIBCommand::MayChangeRows() {
    switch (FStatementType) {
    case ibapi::stInsert:
    case ibapi::stUpdate:
    case ibapi::stDelete:
        return true;
    case ibapi::stDDL:
    case ibapi::stSetGenerator:
        return false;
    case ibapi::stExecProcedure:
        return QueryType() == qtInsertReturning || QueryType() == qtExecuteBlock;
    default:
        // A select has changed nothing when it starts, nor have transaction statements;
        // a select-like EXECUTE BLOCK or RETURNING may have.
        switch (QueryType()) {
        case qtInsert: case qtUpdate: case qtDelete: case qtInsertReturning: case qtUpdateReturning: case qtExecuteBlock:
            return true;
        default:
            return false;
        }
    }
}

void TIBCommand::ReadRowCounts() {
    FCounts = {};
    // The counts cost a round trip to the server: asked only of statements that can have
    // changed rows, the others' being 0.
    if (!QueryRowsAffected || !Prepared() || !MayChangeRows()) return;
    const char items[] = {ibapi::InfoSqlRecords};
    char reply[1024] = {};
    ibapi::TStatus result;
    {
        TIBLibrary::TBusy busy(FConnection.Library());
        result = FConnection.Library().Api().isc_dsql_sql_info(FStatus.data(), &FHandle, short(sizeof items), items,
                                                               short(sizeof reply), reply);
    }
    Check(result);
    FCounts = ParseRowCounts(std::string_view(reply, sizeof reply));
}

void TIBCommand::CloseCursor() {
    if (FState < csExecuted || FHandle == ibapi::NullHandle) return;
    bool cursor = FStatementType == ibapi::stSelect || FStatementType == ibapi::stSelectForUpdate;
    FState = csPrepared;
    if (!cursor || FGeneration != FConnection.Generation() || !FConnection.GetConnected()) return;
    ibapi::TStatus result;
    {
        TIBLibrary::TBusy busy(FConnection.Library());
        result = FConnection.Library().Api().isc_dsql_free_statement(FStatus.data(), &FHandle, ibapi::DsqlClose);
    }
    Check(result);
}

} // namespace vantrelo
