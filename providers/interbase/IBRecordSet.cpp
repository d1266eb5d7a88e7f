#include "providers/interbase/IBRecordSet.h"

#include <algorithm>
#include <cstring>

#include "dataaccess/DatabaseError.h"
#include "dataaccess/Field.h"
#include "dataaccess/TextUtils.h"
#include "platform/CodePage.h"
#include "providers/interbase/IBConnection.h"
#include "providers/interbase/IBDateTime.h"
#include "providers/interbase/IBError.h"
#include "providers/interbase/IBLibrary.h"
#include "providers/interbase/IBProps.h"
#include "providers/interbase/IBTransaction.h"

namespace vantrelo {
namespace {

template <class T> T Load(const char* data) {
    T v;
    std::memcpy(&v, data, sizeof v);
    return v;
}

bool IsAscii(std::string_view text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

std::u16string NameText(std::string_view name, bool unicodeAttachment) {
    return DecodeServerText(name, unicodeAttachment);
}

int BytesPerCharOf(int charsetId, const TIBColumnSettings& s) {
    if (charsetId == ibapi::CharsetUtf8) return 4;
    if (charsetId == ibapi::CharsetUnicodeFss) return 3;
    if (charsetId == s.ConnectionCharsetId && s.ConnectionCharLength > 0) return s.ConnectionCharLength;
    return 1;
}

// Blanks pad a CHAR value to its declared length; a longer text is cut.
template <class S> void FitToLength(S& text, std::size_t length) {
    text.resize(length, typename S::value_type(' '));
}

} // namespace

TIBFieldDesc DescribeIBColumn(const TIBSqlVar& var, const TIBColumnSettings& s) {
    TIBFieldDesc f;
    bool unicodeAttachment = TIBConnection::IsUnicodeCharset(s.ConnectionCharsetId);
    short type = var.BaseType();
    f.SqlType = type;
    f.Nullable = var.Nullable();
    f.Name = NameText(var.AliasName(), unicodeAttachment);
    f.ActualName = NameText(var.SqlName(), unicodeAttachment);
    f.TableName = NameText(var.RelName(), unicodeAttachment);
    f.ReadOnly = f.TableName.empty();
    f.SubType = var.SqlSubtype();
    f.Scale = -var.SqlScale();

    bool dbKey = (type == ibapi::SqlText || type == ibapi::SqlVarying) &&
                 (f.ActualName == u"DB_KEY" || f.ActualName == u"RDB$DB_KEY");
    f.Required = !f.Nullable && !f.TableName.empty() && !dbKey;
    if (dbKey) {
        f.Name = f.ActualName = u"RDB$DB_KEY";
        f.ReadOnly = true;
        f.IsRowId = true;
        f.DataType = ftBytes;
        f.Length = var.SqlLen();
        f.IsBinary = true;
        f.FetchKind = type == ibapi::SqlText ? fkBytes : fkVarBytes;
        return f;
    }

    auto numeric = [&](int precision) {
        // Scaled integers become doubles unless a decimal mapping is switched on; the
        // server converts them when the variable asks for a double.
        int places = -var.SqlScale();
        if (s.EnableBCD && places <= 4 && (!s.SimpleNumericMap || precision <= 14)) f.DataType = ftBCD;
        else if (s.EnableFMTBCD && s.Dialect != 1) f.DataType = ftFMTBcd;
        else f.DataType = ftFloat;
        var.SqlType() = short(ibapi::SqlDouble | (f.Nullable ? 1 : 0));
        var.SqlScale() = 0;
        var.SqlLen() = 8;
        f.FetchKind = fkDouble;
    };

    switch (type) {
    case ibapi::SqlText:
    case ibapi::SqlVarying: {
        bool fixed = type == ibapi::SqlText;
        f.CharsetId = var.SqlSubtype() & 0xFF;
        if (f.CharsetId == ibapi::CharsetOctets) {
            f.DataType = fixed ? ftBytes : ftVarBytes;
            f.Length = var.SqlLen();
            f.IsBinary = true;
            f.FetchKind = fixed ? fkBytes : fkVarBytes;
            break;
        }
        f.Utf8 = TIBConnection::IsUnicodeCharset(f.CharsetId);
        f.BytesPerChar = BytesPerCharOf(f.CharsetId, s);
        f.Length = var.SqlLen() / f.BytesPerChar;
        f.Fixed = fixed;
        if (s.UseUnicode) f.DataType = fixed ? ftFixedWideChar : ftWideString;
        else f.DataType = fixed ? ftFixedChar : ftString;
        f.FetchKind = fixed ? fkText : fkVarText;
        break;
    }
    case ibapi::SqlShort:
    case ibapi::SqlLong:
    case ibapi::SqlInt64: {
        bool isNumeric = var.SqlScale() != 0 ||
                         (s.SimpleNumericMap && (var.SqlSubtype() == ibapi::SubtypeNumeric ||
                                                 var.SqlSubtype() == ibapi::SubtypeDecimal));
        int precision = type == ibapi::SqlShort ? 4 : type == ibapi::SqlLong ? 9 : 18;
        if (isNumeric) {
            numeric(precision);
        } else if (type == ibapi::SqlShort) {
            f.DataType = ftSmallint;
            f.FetchKind = fkShort;
        } else if (type == ibapi::SqlLong) {
            f.DataType = ftInteger;
            f.FetchKind = fkLong;
        } else {
            f.DataType = ftLargeint;
            f.FetchKind = fkInt64;
        }
        break;
    }
    case ibapi::SqlDouble:
        f.DataType = ftFloat;
        f.FetchKind = fkDouble;
        break;
    case ibapi::SqlFloat:
        f.DataType = ftFloat;
        f.SubType = 1;  // single precision on the server
        f.FetchKind = fkFloat;
        break;
    case ibapi::SqlTimestamp:
        f.DataType = ftDateTime;
        f.FetchKind = fkTimestamp;
        break;
    case ibapi::SqlTypeDate:
        f.DataType = ftDate;
        f.FetchKind = fkDate;
        break;
    case ibapi::SqlTypeTime:
        f.DataType = ftTime;
        f.FetchKind = fkTime;
        break;
    case ibapi::SqlBlob:
        if (var.SqlSubtype() == 1) {
            // The character set of a text blob travels in the scale.
            f.CharsetId = var.SqlScale() & 0xFF;
            f.Utf8 = TIBConnection::IsUnicodeCharset(f.CharsetId);
            f.DataType = (s.UseUnicode && s.UnicodeDatabase) ? ftWideMemo : ftMemo;
            f.FetchKind = fkMemo;
        } else {
            f.DataType = ftBlob;
            f.IsBinary = true;
            f.FetchKind = fkBlob;
        }
        f.Scale = 0;
        break;
    case ibapi::SqlBooleanIB:
        f.DataType = ftBoolean;
        f.FetchKind = fkBoolean16;
        break;
    case ibapi::SqlBooleanFB:
        f.DataType = ftBoolean;
        f.FetchKind = fkBoolean8;
        break;
    default:
        throw EDatabaseError(u"Data type is not supported");
    }
    return f;
}

TIBRecordSet::TIBRecordSet(TIBConnection& connection)
    : FConnection(connection), FCommand(connection), FBlob(connection, nullptr) {}

TIBRecordSet::~TIBRecordSet() { FCommand.Unprepare(); }

void TIBRecordSet::SetProp(int prop, const TVariant& value) {
    switch (prop) {
    case prFetchAll: FFetchAll = value.AsBoolean(); break;
    case prAutoClose: FAutoClose = value.AsBoolean(); break;
    case prBooleanDomainFields: FBooleanDomainFields = value.AsBoolean(); break;
    case prCacheBlobs: FCacheBlobs = value.AsBoolean(); break;
    case prDeferredBlobRead: FDeferredBlobRead = value.AsBoolean(); break;
    case prDescribeParams: FCommand.DescribeParams = value.AsBoolean(); break;
    case prQueryRowsAffected: FCommand.QueryRowsAffected = value.AsBoolean(); break;
    default: break;  // options this record set has no use for
    }
}

void TIBRecordSet::SetTransaction(TProviderTransaction* transaction) {
    TProviderRecordSet::SetTransaction(transaction);
    FCommand.SetTransaction(dynamic_cast<TIBTransaction*>(transaction));
}

TIBTransaction* TIBRecordSet::IBTransaction() const { return FCommand.Transaction(); }

void TIBRecordSet::SetSQL(const TParsedSql& sql) {
    FCursorOpen = false;
    FSingletonPending = false;
    FRanWithoutRows = false;
    FCommand.SetComponent(FComponent);
    FCommand.SetSQL(sql);
    FFields.clear();
    FTableAliases.clear();
    FAliasesRead = false;
}

void TIBRecordSet::Prepare() {
    FCommand.SetComponent(FComponent);
    FCommand.Prepare();
    FOneShot = false;
}

void TIBRecordSet::Unprepare() {
    FCursorOpen = false;
    FSingletonPending = false;
    FCommand.Unprepare();
}

void TIBRecordSet::DescribeColumns() {
    FCommand.DescribeOutput();
    TIBSqlDA& out = FCommand.Output();
    TIBColumnSettings s;
    s.UseUnicode = FConnection.UseUnicode();
    s.EnableBCD = FConnection.EnableBCD();
    s.EnableFMTBCD = FConnection.EnableFMTBCD();
    s.SimpleNumericMap = FConnection.SimpleNumericMap();
    s.Dialect = FConnection.DatabaseSQLDialect();
    s.ConnectionCharsetId = FConnection.CharsetId();
    s.ConnectionCharLength = FConnection.CharLength();
    s.UnicodeDatabase = TIBConnection::IsUnicodeCharset(FConnection.DatabaseCharsetId());
    FFields.clear();
    FFields.reserve(std::size_t(out.Count()));
    for (int i = 0; i < out.Count(); ++i) FFields.push_back(DescribeIBColumn(out.Var(i), s));
    if (FBooleanDomainFields) ApplyBooleanDomains();
    FTableAliases.assign(FFields.size(), std::u16string());
    FAliasesRead = false;
    LayOutRowBuffer();
}

// Integer columns of a domain whose name says BOOLEAN are booleans. The catalogue is asked
// only about tables this attachment has not asked about yet, all of them in one statement.
void TIBRecordSet::ApplyBooleanDomains() {
    auto isInteger = [](const TIBFieldDesc& f) {
        return f.FetchKind == fkShort || f.FetchKind == fkLong || f.FetchKind == fkInt64;
    };
    std::vector<std::u16string> unknown;
    for (const auto& f : FFields)
        if (isInteger(f) && !f.TableName.empty() && !FConnection.BooleanDomainColumns(f.TableName) &&
            std::find(unknown.begin(), unknown.end(), f.TableName) == unknown.end())
            unknown.push_back(f.TableName);
    if (!unknown.empty()) {
        std::u16string list;
        for (const auto& t : unknown) {
            if (!list.empty()) list += u", ";
            list += QuotedSqlString(t);
        }
        auto rows = SelectRows(FConnection, *IBTransaction(),
                               u"SELECT RDB$RELATION_NAME, RDB$FIELD_NAME, RDB$FIELD_SOURCE FROM RDB$RELATION_FIELDS "
                               u"WHERE RDB$RELATION_NAME IN (" + list + u")");
        std::vector<std::vector<std::u16string>> columns(unknown.size());
        for (const auto& row : rows) {
            if (UpperCase(row[2].AsString()).find(u"BOOLEAN") == std::u16string::npos) continue;
            auto table = std::find(unknown.begin(), unknown.end(), Trim(row[0].AsString()));
            if (table != unknown.end()) columns[std::size_t(table - unknown.begin())].push_back(Trim(row[1].AsString()));
        }
        for (std::size_t i = 0; i < unknown.size(); ++i)
            FConnection.SetBooleanDomainColumns(unknown[i], std::move(columns[i]));
    }
    for (auto& f : FFields) {
        if (!isInteger(f) || f.TableName.empty()) continue;
        const std::vector<std::u16string>* booleans = FConnection.BooleanDomainColumns(f.TableName);
        if (!booleans || std::find(booleans->begin(), booleans->end(), f.ActualName) == booleans->end()) continue;
        f.DataType = ftBoolean;
        f.FetchKind = f.FetchKind == fkShort ? fkBoolean16 : f.FetchKind == fkLong ? fkBoolean32 : fkBoolean64;
    }
}

const std::u16string& TIBRecordSet::TableAlias(std::size_t field) {
    if (!FAliasesRead && FCommand.Prepared() && FConnection.IsFirebirdServer() &&
        FConnection.ServerMajorVersion() >= 2) {
        ReadAliases();
        FAliasesRead = true;
    }
    static const std::u16string none;
    return field < FTableAliases.size() ? FTableAliases[field] : none;
}

// The relation alias of each column, as the server reports it.
void TIBRecordSet::ReadAliases() {
    const char items[] = {ibapi::InfoSqlSelect, ibapi::InfoSqlDescribeVars, ibapi::InfoSqlSqldaSeq,
                          ibapi::InfoSqlRelationAlias, ibapi::InfoSqlDescribeEnd};
    std::vector<char> reply(1024);
    TIBLibrary& library = FConnection.Library();
    for (int attempt = 0; attempt < 8; ++attempt) {
        ibapi::TStatus result;
        {
            TIBLibrary::TBusy busy(library);
            result = library.Api().isc_dsql_sql_info(FCommand.Status().data(), FCommand.StatementHandle(),
                                                     short(sizeof items), items, short(reply.size()), reply.data());
        }
        FCommand.Check(result);
        bool truncated = false;
        std::size_t i = 0, seq = 0;
        bool unicode = FConnection.UnicodeAttachment();
        while (i < reply.size()) {
            char item = reply[i];
            if (item == ibapi::InfoEnd) break;
            if (item == ibapi::InfoTruncated) {
                truncated = true;
                break;
            }
            if (item == ibapi::InfoSqlSelect || item == ibapi::InfoSqlDescribeEnd) {
                ++i;
                continue;
            }
            if (i + 3 > reply.size()) break;
            std::size_t length = std::uint8_t(reply[i + 1]) | (std::size_t(std::uint8_t(reply[i + 2])) << 8);
            const char* data = reply.data() + i + 3;
            if (i + 3 + length > reply.size()) {
                truncated = true;
                break;
            }
            if (item == ibapi::InfoSqlSqldaSeq && length > 0) {
                seq = std::size_t(ReadInfoInteger(std::string_view(reply.data() + i, length + 3), item, 0));
            } else if (item == ibapi::InfoSqlRelationAlias && seq >= 1 && seq <= FTableAliases.size()) {
                FTableAliases[seq - 1] = NameText(std::string_view(data, length), unicode);
            }
            i += 3 + length;
        }
        if (!truncated) return;
        reply.resize(reply.size() * 4);
        if (reply.size() > 32767) reply.resize(32767);
    }
}

void TIBRecordSet::LayOutRowBuffer() {
    TIBSqlDA& out = FCommand.Output();
    std::size_t n = FFields.size();
    FOffsets.resize(n);
    FIndicators.assign(n, 0);
    std::size_t size = 0;
    for (std::size_t i = 0; i < n; ++i) {
        TIBSqlVar var = out.Var(int(i));
        std::size_t length = std::size_t(var.SqlLen()) + (var.BaseType() == ibapi::SqlVarying ? 2 : 0);
        FOffsets[i] = size;
        size += (length + 7) & ~std::size_t(7);
        FFields[i].SqlLength = var.SqlLen();
    }
    FRowBuffer.assign(std::max<std::size_t>(size, 8), 0);
    for (std::size_t i = 0; i < n; ++i) {
        TIBSqlVar var = out.Var(int(i));
        var.SqlData() = FRowBuffer.data() + FOffsets[i];
        var.SqlInd() = &FIndicators[i];
    }
}

bool TIBRecordSet::Execute(std::span<const TDbParam> params, bool wantRows) {
    if (FCursorOpen || FSingletonPending) CloseCursor();
    FCommand.SetComponent(FComponent);
    FOneShot = !FCommand.Prepared();
    try {
        FCommand.Prepare();
        int type = FCommand.StatementType();
        bool cursor = type == ibapi::stSelect || type == ibapi::stSelectForUpdate;
        bool singleton = false;
        if (cursor || type == ibapi::stExecProcedure) {
            DescribeColumns();
            singleton = type == ibapi::stExecProcedure && !FFields.empty();
        }
        if (wantRows && !cursor && !singleton) DatabaseError(u"SQL statement doesn't return rows", FComponent);
        FRanWithoutRows = false;
        FCommand.Execute(params, singleton);
        FRanWithoutRows = !cursor && !singleton;
        if (cursor) {
            FCursorOpen = true;
            return true;
        }
        if (singleton) {
            FSingletonPending = true;
            return true;
        }
        if (FOneShot) FCommand.Unprepare();
        return false;
    } catch (...) {
        if (FOneShot) FCommand.Unprepare();
        throw;
    }
}

std::vector<TFieldDesc> TIBRecordSet::DescribeFields() {
    return std::vector<TFieldDesc>(FFields.begin(), FFields.end());
}

void TIBRecordSet::StoreText(TRecordWriter& writer, std::size_t field, const TIBFieldDesc& f, const char* data,
                             std::size_t length) {
    std::string_view bytes(data, length);
    if (StorageKindOf(f.DataType) == TStorageKind::Wide) {
        std::u16string text = f.Utf8 ? Utf8ToUnicode(bytes) : AnsiToUnicode(bytes);
        if (f.Fixed) FitToLength(text, std::size_t(f.Length));
        writer.SetBytes(field, text.data(), text.size() * sizeof(char16_t));
        return;
    }
    // Most text is plain ASCII, the same in every encoding: it goes in as it came.
    if (!f.Utf8 || IsAscii(bytes)) {
        if (f.Fixed && f.Utf8) bytes = bytes.substr(0, std::min(bytes.size(), std::size_t(f.Length)));
        writer.SetBytes(field, bytes);
        return;
    }
    AnsiString text = Utf8ToAnsi(bytes);
    if (f.Fixed) FitToLength(text.Bytes(), std::size_t(f.Length));
    writer.SetBytes(field, text.View());
}

void TIBRecordSet::StoreRow(TRowStore& store) {
    TRecordWriter& w = store.Writer();
    std::size_t n = FFields.size();
    w.Reset(n);
    ibapi::THandle* transaction = nullptr;
    for (std::size_t i = 0; i < n; ++i) {
        const TIBFieldDesc& f = FFields[i];
        if (f.Nullable && FIndicators[i] < 0) continue;  // the record starts all-null
        const char* data = FRowBuffer.data() + FOffsets[i];
        switch (f.FetchKind) {
        case fkShort: w.SetInt32(i, Load<std::int16_t>(data)); break;
        case fkLong: w.SetInt32(i, Load<std::int32_t>(data)); break;
        case fkInt64: w.SetInt64(i, Load<std::int64_t>(data)); break;
        case fkFloat: w.SetDouble(i, Load<float>(data)); break;
        case fkDouble: w.SetDouble(i, Load<double>(data)); break;
        case fkDate: w.SetDateTime(i, DecodeIBDate(Load<ibapi::TIscDate>(data))); break;
        case fkTime: w.SetDateTime(i, DecodeIBTime(Load<ibapi::TIscTime>(data))); break;
        case fkTimestamp: w.SetDateTime(i, DecodeIBTimestamp(Load<ibapi::TIscTimestamp>(data))); break;
        case fkBoolean8: w.SetBoolean(i, Load<std::uint8_t>(data) != 0); break;
        case fkBoolean16: w.SetBoolean(i, Load<std::int16_t>(data) != 0); break;
        case fkBoolean32: w.SetBoolean(i, Load<std::int32_t>(data) != 0); break;
        case fkBoolean64: w.SetBoolean(i, Load<std::int64_t>(data) != 0); break;
        case fkText: StoreText(w, i, f, data, std::size_t(f.SqlLength)); break;
        case fkVarText: StoreText(w, i, f, data + 2, Load<std::uint16_t>(data)); break;
        case fkBytes: w.SetBytes(i, data, std::size_t(f.SqlLength)); break;
        case fkVarBytes: w.SetBytes(i, data + 2, Load<std::uint16_t>(data)); break;
        case fkBlob:
        case fkMemo: {
            if (!transaction) {
                TIBTransaction* t = IBTransaction();
                if (!t || !t->InTransaction()) throw EDatabaseError(u"Can't perform operation on inactive transaction");
                transaction = t->Handle();
            }
            std::string_view contents = FBlob.Read(transaction, Load<ibapi::TQuad>(data));
            if (f.FetchKind == fkBlob) w.SetBytes(i, contents);
            else StoreText(w, i, f, contents.data(), contents.size());
            break;
        }
        }
    }
    store.Append();
}

bool TIBRecordSet::Fetch(TRowStore& store, int maxRows) {
    if (FSingletonPending) {
        FSingletonPending = false;
        StoreRow(store);
        return false;
    }
    if (!FCursorOpen) {
        if (FCommand.State() == csFetched) return false;
        if (FRanWithoutRows) DatabaseError(u"Can't execute statement that doesn't return dataset", FComponent);
        DatabaseError(u"Cursor must be opened", FComponent);
    }
    if (FCommand.State() == csFetched) return false;
    FCommand.SetState(maxRows <= 0 ? csFetchingAll : csFetching);
    TIBLibrary& library = FConnection.Library();
    const TIBFunctions& api = library.Api();
    ibapi::TXSQLDA* out = FCommand.Output().Data();
    auto dialect = static_cast<unsigned short>(FConnection.SQLDialect());
    for (int rows = 0; maxRows <= 0 || rows < maxRows; ++rows) {
        ibapi::TStatus result;
        {
            TIBLibrary::TBusy busy(library);
            result = api.isc_dsql_fetch(FCommand.Status().data(), FCommand.StatementHandle(), dialect, out);
        }
        if (result == 100) {
            FCommand.SetState(csFetched);
            if (FAutoClose) {
                FCursorOpen = false;
                FCommand.CloseCursor();
                FCommand.SetState(csFetched);
            }
            return false;
        }
        if (result != 0) {
            FCommand.SetState(csFetched);
            FCommand.Check(result);
        }
        StoreRow(store);
    }
    return true;
}

void TIBRecordSet::CloseCursor() {
    FSingletonPending = false;
    bool open = FCursorOpen;
    FCursorOpen = false;
    try {
        if (open) FCommand.CloseCursor();
    } catch (...) {
        if (FOneShot) FCommand.Unprepare();
        throw;
    }
    if (FOneShot) FCommand.Unprepare();
}

std::vector<std::vector<TVariant>> SelectRows(TIBConnection& connection, TIBTransaction& transaction,
                                              std::u16string_view sql) {
    TIBRecordSet rs(connection);
    rs.SetProp(prBooleanDomainFields, TVariant(false));
    rs.SetTransaction(&transaction);
    TParsedSql parsed;
    parsed.Text = std::u16string(sql);
    parsed.Kind = skSelect;
    rs.SetSQL(parsed);
    rs.Execute({}, true);
    std::vector<TFieldDesc> fields = rs.DescribeFields();
    TRowStore store;
    store.SetLayout(fields);
    try {
        rs.Fetch(store, 0);
    } catch (...) {
        try {
            rs.CloseCursor();
        } catch (...) {
            // The fetch error is the one to report.
        }
        throw;
    }
    rs.CloseCursor();
    std::vector<std::vector<TVariant>> rows(store.RowCount());
    for (std::size_t r = 0; r < store.RowCount(); ++r) {
        TRecordView view = store.Row(r);
        rows[r].reserve(fields.size());
        for (std::size_t c = 0; c < fields.size(); ++c)
            rows[r].push_back(view.Value(c, StorageKindOf(fields[c].DataType)));
    }
    return rows;
}

} // namespace vantrelo
