#pragma once
// Our own declarations of the published InterBase/Firebird client interface: handles,
// status vector, XSQLDA/XSQLVAR layouts, parameter-buffer and information codes, and the
// signatures of the isc_ entry points we bind by name. The client library is loaded at
// run time, never linked, so none of its headers is needed to build.
#include <array>
#include <cstddef>
#include <cstdint>

#ifdef _WIN32
#define VANTRELO_ISC_CALL __stdcall
#else
#define VANTRELO_ISC_CALL
#endif

namespace vantrelo::ibapi {

// ---- basic types ----------------------------------------------------------------------

using TStatus = std::intptr_t;             // one word of the status vector
// The interface's 32-bit number, which it spells long where long has 32 bits (Windows).
#if defined(_LP64) || defined(__LP64__)
using TIscLong = int;
#else
using TIscLong = long;
#endif
constexpr std::size_t StatusLength = 20;   // words in a status vector
using TStatusVector = std::array<TStatus, StatusLength>;

// Handles are 32-bit numbers on 64-bit clients and pointers on 32-bit ones.
#if UINTPTR_MAX > 0xFFFFFFFFu
using THandle = std::uint32_t;
#else
using THandle = void*;
#endif
constexpr THandle NullHandle{};

struct TQuad {  // blob and array ids
    std::int32_t High;
    std::uint32_t Low;
};
inline bool IsNullQuad(const TQuad& q) noexcept { return q.High == 0 && q.Low == 0; }

using TIscDate = std::int32_t;   // days since 17 November 1858
using TIscTime = std::uint32_t;  // ten-thousandths of a second since midnight
struct TIscTimestamp {
    TIscDate Date;
    TIscTime Time;
};

// One database of isc_start_multiple.
struct TTransactionBlock {
    THandle* Database;
    std::int32_t TpbLength;
    const char* Tpb;
};

// ---- XSQLDA / XSQLVAR -------------------------------------------------------------------

constexpr short SqldaVersion1 = 1;
constexpr short SqldaVersion2 = 2;  // InterBase 7 and later clients

struct TXSQLVAR_V1 {
    short sqltype;
    short sqlscale;
    short sqlsubtype;
    short sqllen;
    char* sqldata;
    short* sqlind;
    short sqlname_length;
    char sqlname[32];
    short relname_length;
    char relname[32];
    short ownname_length;
    char ownname[32];
    short aliasname_length;
    char aliasname[32];
};

// The version-2 variable of InterBase 7: precision added, 68-byte names.
struct TXSQLVAR_V2 {
    short sqltype;
    short sqlscale;
    short sqlprecision;
    short sqlsubtype;
    short sqllen;
    char* sqldata;
    short* sqlind;
    short sqlname_length;
    char sqlname[68];
    short relname_length;
    char relname[68];
    short ownname_length;
    char ownname[68];
    short aliasname_length;
    char aliasname[68];
};

// The XSQLDA header; the variables follow at SqldaVarOffset.
struct TXSQLDA {
    short version;
    char sqldaid[8];
    std::int32_t sqldabc;
    short sqln;
    short sqld;
    TXSQLVAR_V1 sqlvar[1];
};
constexpr std::size_t SqldaVarOffset = offsetof(TXSQLDA, sqlvar);

// Server data types; the nullable variant is the code + 1.
constexpr short SqlVarying = 448;
constexpr short SqlText = 452;
constexpr short SqlDouble = 480;
constexpr short SqlFloat = 482;
constexpr short SqlLong = 496;
constexpr short SqlShort = 500;
constexpr short SqlTimestamp = 510;
constexpr short SqlBlob = 520;
constexpr short SqlDFloat = 530;
constexpr short SqlArray = 540;
constexpr short SqlQuad = 550;
constexpr short SqlTypeTime = 560;
constexpr short SqlTypeDate = 570;
constexpr short SqlInt64 = 580;
constexpr short SqlBooleanIB = 590;        // InterBase 7
constexpr short SqlBooleanFB = 32764;      // Firebird 3
constexpr short SqlNull = 32766;

// Numeric subtypes of integer columns.
constexpr short SubtypeNumeric = 1;
constexpr short SubtypeDecimal = 2;

// Character sets the provider tells apart.
constexpr int CharsetNone = 0;
constexpr int CharsetOctets = 1;
constexpr int CharsetUnicodeFss = 3;
constexpr int CharsetUtf8 = 4;

constexpr short SqlDialectV5 = 1;
constexpr short SqlDialectV6 = 3;

// isc_dsql_free_statement options.
constexpr unsigned short DsqlClose = 1;
constexpr unsigned short DsqlDrop = 2;

// ---- parameter buffers -------------------------------------------------------------------

constexpr char DpbVersion1 = 1;
constexpr char DpbSweepInterval = 22;
constexpr char DpbUserName = 28;
constexpr char DpbPassword = 29;
constexpr char DpbLcCtype = 48;
constexpr char DpbSqlRoleName = 60;
constexpr char DpbNoDbTriggers = 72;
constexpr char DpbTrustedAuth = 73;
constexpr char DpbUtf8Filename = 77;
constexpr int DpbLastPublished = 90;

constexpr char TpbVersion3 = 3;
constexpr char TpbConsistency = 1;
constexpr char TpbConcurrency = 2;
constexpr char TpbNowait = 7;
constexpr char TpbRead = 8;
constexpr char TpbWrite = 9;
constexpr char TpbLockRead = 10;
constexpr char TpbLockWrite = 11;
constexpr char TpbVerbTime = 12;
constexpr char TpbCommitTime = 13;
constexpr char TpbReadCommitted = 15;
constexpr char TpbRecVersion = 17;
constexpr char TpbLockTimeout = 21;
constexpr int TpbLastPublished = 22;

constexpr char BpbVersion1 = 1;
constexpr char BpbSourceType = 1;
constexpr char BpbTargetType = 2;
constexpr char BpbType = 3;
constexpr char BpbSourceInterp = 4;
constexpr char BpbTargetInterp = 5;
constexpr char BpbTypeStream = 1;

// ---- information items -------------------------------------------------------------------

constexpr char InfoEnd = 1;
constexpr char InfoTruncated = 2;
constexpr char InfoError = 3;
constexpr char InfoVersion = 12;
constexpr char InfoDbSqlDialect = 62;
constexpr char InfoFirebirdVersion = 103;

constexpr char InfoSqlSelect = 4;
constexpr char InfoSqlDescribeVars = 7;
constexpr char InfoSqlDescribeEnd = 8;
constexpr char InfoSqlSqldaSeq = 9;
constexpr char InfoSqlStmtType = 21;
constexpr char InfoSqlRecords = 23;
constexpr char InfoSqlRelationAlias = 25;
constexpr char InfoReqSelectCount = 13;
constexpr char InfoReqInsertCount = 14;
constexpr char InfoReqUpdateCount = 15;
constexpr char InfoReqDeleteCount = 16;

constexpr char InfoBlobNumSegments = 4;
constexpr char InfoBlobMaxSegment = 5;
constexpr char InfoBlobTotalLength = 6;
constexpr char InfoBlobType = 7;

// Statement types reported for InfoSqlStmtType.
enum TStatementType : int {
    stSelect = 1,
    stInsert = 2,
    stUpdate = 3,
    stDelete = 4,
    stDDL = 5,
    stGetSegment = 6,
    stPutSegment = 7,
    stExecProcedure = 8,
    stStartTrans = 9,
    stCommit = 10,
    stRollback = 11,
    stSelectForUpdate = 12,
    stSetGenerator = 13,
    stSavepoint = 14,
};

// ---- error numbers -----------------------------------------------------------------------

constexpr TStatus IscSegment = 335544366;    // segment only partly read
constexpr TStatus IscSegstrEof = 335544367;  // end of blob

// ---- entry points ------------------------------------------------------------------------

using TStatusPtr = TStatus*;

using TIscGetClientVersion = void(VANTRELO_ISC_CALL*)(char*);
using TIscGetClientMajorVersion = int(VANTRELO_ISC_CALL*)();
using TIscGetClientMinorVersion = int(VANTRELO_ISC_CALL*)();

using TIscAttachDatabase = TStatus(VANTRELO_ISC_CALL*)(TStatusPtr, short, const char*, THandle*, short, const char*);
using TIscDetachDatabase = TStatus(VANTRELO_ISC_CALL*)(TStatusPtr, THandle*);
using TIscDatabaseInfo = TStatus(VANTRELO_ISC_CALL*)(TStatusPtr, THandle*, short, const char*, short, char*);

using TIscStartMultiple = TStatus(VANTRELO_ISC_CALL*)(TStatusPtr, THandle*, short, void*);
using TIscTransactionCall = TStatus(VANTRELO_ISC_CALL*)(TStatusPtr, THandle*);

using TIscDsqlAllocStatement2 = TStatus(VANTRELO_ISC_CALL*)(TStatusPtr, THandle*, THandle*);
using TIscDsqlPrepare = TStatus(VANTRELO_ISC_CALL*)(TStatusPtr, THandle*, THandle*, unsigned short, const char*,
                                                    unsigned short, TXSQLDA*);
using TIscDsqlSqlInfo = TStatus(VANTRELO_ISC_CALL*)(TStatusPtr, THandle*, short, const char*, short, char*);
using TIscDsqlDescribe = TStatus(VANTRELO_ISC_CALL*)(TStatusPtr, THandle*, unsigned short, TXSQLDA*);
using TIscDsqlExecute = TStatus(VANTRELO_ISC_CALL*)(TStatusPtr, THandle*, THandle*, unsigned short, const TXSQLDA*);
using TIscDsqlExecute2 = TStatus(VANTRELO_ISC_CALL*)(TStatusPtr, THandle*, THandle*, unsigned short, const TXSQLDA*,
                                                     const TXSQLDA*);
using TIscDsqlFetch = TStatus(VANTRELO_ISC_CALL*)(TStatusPtr, THandle*, unsigned short, const TXSQLDA*);
using TIscDsqlFreeStatement = TStatus(VANTRELO_ISC_CALL*)(TStatusPtr, THandle*, unsigned short);
using TIscDsqlSetCursorName = TStatus(VANTRELO_ISC_CALL*)(TStatusPtr, THandle*, const char*, unsigned short);

using TIscCreateBlob2 = TStatus(VANTRELO_ISC_CALL*)(TStatusPtr, THandle*, THandle*, THandle*, TQuad*, short,
                                                    const char*);
using TIscOpenBlob2 = TStatus(VANTRELO_ISC_CALL*)(TStatusPtr, THandle*, THandle*, THandle*, TQuad*, unsigned short,
                                                  const unsigned char*);
using TIscPutSegment = TStatus(VANTRELO_ISC_CALL*)(TStatusPtr, THandle*, unsigned short, const char*);
using TIscGetSegment = TStatus(VANTRELO_ISC_CALL*)(TStatusPtr, THandle*, unsigned short*, unsigned short, char*);
using TIscBlobInfo = TStatus(VANTRELO_ISC_CALL*)(TStatusPtr, THandle*, short, const char*, short, char*);
using TIscCloseBlob = TStatus(VANTRELO_ISC_CALL*)(TStatusPtr, THandle*);

using TIscSqlcode = TIscLong(VANTRELO_ISC_CALL*)(const TStatus*);
using TIscSqlInterprete = void(VANTRELO_ISC_CALL*)(short, char*, short);
using TIscInterprete = TIscLong(VANTRELO_ISC_CALL*)(char*, TStatus**);

using TFbShutdown = int(VANTRELO_ISC_CALL*)(unsigned int, int);

} // namespace vantrelo::ibapi
