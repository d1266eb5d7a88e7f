// Our declarations of the client interface against the Firebird development headers:
// layouts, constants, entry-point signatures and the published item-name tables.
#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <type_traits>

#include <ibase.h>

#include "platform/CodePage.h"
#include "platform/Exception.h"
#include "providers/interbase/IBApi.h"
#include "providers/interbase/IBConnection.h"
#include "providers/interbase/IBTransaction.h"

using namespace vantrelo;

namespace {

// Our signature with our structure types replaced by the header's.
template <class T> struct Official { using type = T; };
template <> struct Official<ibapi::TXSQLDA*> { using type = XSQLDA*; };
template <> struct Official<const ibapi::TXSQLDA*> { using type = const XSQLDA*; };
template <> struct Official<ibapi::TQuad*> { using type = ISC_QUAD*; };
template <class R, class... A> struct Official<R (*)(A...)> {
    using type = typename Official<R>::type (*)(typename Official<A>::type...);
};
template <class Ours, class Theirs> constexpr bool SameSignature = std::is_same_v<typename Official<Ours>::type, Theirs>;

} // namespace

TEST(IBApiDeclarations, BasicTypes) {
    static_assert(sizeof(ibapi::TStatus) == sizeof(ISC_STATUS));
    static_assert(std::is_signed_v<ibapi::TStatus> == std::is_signed_v<ISC_STATUS>);
    static_assert(ibapi::StatusLength == ISC_STATUS_LENGTH);
    static_assert(std::is_same_v<ibapi::THandle, isc_db_handle>);
    static_assert(std::is_same_v<ibapi::THandle, isc_tr_handle>);
    static_assert(std::is_same_v<ibapi::THandle, isc_stmt_handle>);
    static_assert(std::is_same_v<ibapi::THandle, isc_blob_handle>);
    static_assert(sizeof(ibapi::TQuad) == sizeof(ISC_QUAD));
    static_assert(offsetof(ibapi::TQuad, High) == offsetof(ISC_QUAD, gds_quad_high));
    static_assert(offsetof(ibapi::TQuad, Low) == offsetof(ISC_QUAD, gds_quad_low));
    static_assert(sizeof(ibapi::TIscDate) == sizeof(ISC_DATE));
    static_assert(sizeof(ibapi::TIscTime) == sizeof(ISC_TIME));
    static_assert(sizeof(ibapi::TIscTimestamp) == sizeof(ISC_TIMESTAMP));
    static_assert(offsetof(ibapi::TIscTimestamp, Time) == offsetof(ISC_TIMESTAMP, timestamp_time));
    // The transaction-existence block: 12 bytes on 32-bit clients.
    static_assert(sizeof(void*) != 4 || sizeof(ibapi::TTransactionBlock) == 12);
    SUCCEED();
}

TEST(IBApiDeclarations, SqldaLayout) {
#define VANTRELO_SAME_MEMBER(member)                                                   \
    static_assert(offsetof(ibapi::TXSQLVAR_V1, member) == offsetof(XSQLVAR, member)); \
    static_assert(sizeof(ibapi::TXSQLVAR_V1::member) == sizeof(XSQLVAR::member))
    VANTRELO_SAME_MEMBER(sqltype);
    VANTRELO_SAME_MEMBER(sqlscale);
    VANTRELO_SAME_MEMBER(sqlsubtype);
    VANTRELO_SAME_MEMBER(sqllen);
    VANTRELO_SAME_MEMBER(sqldata);
    VANTRELO_SAME_MEMBER(sqlind);
    VANTRELO_SAME_MEMBER(sqlname_length);
    VANTRELO_SAME_MEMBER(sqlname);
    VANTRELO_SAME_MEMBER(relname_length);
    VANTRELO_SAME_MEMBER(relname);
    VANTRELO_SAME_MEMBER(ownname_length);
    VANTRELO_SAME_MEMBER(ownname);
    VANTRELO_SAME_MEMBER(aliasname_length);
    VANTRELO_SAME_MEMBER(aliasname);
#undef VANTRELO_SAME_MEMBER
    static_assert(sizeof(ibapi::TXSQLVAR_V1) == sizeof(XSQLVAR));
    static_assert(sizeof(ibapi::TXSQLDA) == sizeof(XSQLDA));
    static_assert(offsetof(ibapi::TXSQLDA, version) == offsetof(XSQLDA, version));
    static_assert(offsetof(ibapi::TXSQLDA, sqldaid) == offsetof(XSQLDA, sqldaid));
    static_assert(offsetof(ibapi::TXSQLDA, sqldabc) == offsetof(XSQLDA, sqldabc));
    static_assert(offsetof(ibapi::TXSQLDA, sqln) == offsetof(XSQLDA, sqln));
    static_assert(offsetof(ibapi::TXSQLDA, sqld) == offsetof(XSQLDA, sqld));
    static_assert(ibapi::SqldaVarOffset == offsetof(XSQLDA, sqlvar));
    static_assert(ibapi::SqldaVersion1 == SQLDA_VERSION1);
    // The 32-bit layouts the documentation gives: a 20-byte header, 152- and 300-byte variables.
    static_assert(sizeof(void*) != 4 || (ibapi::SqldaVarOffset == 20 && sizeof(ibapi::TXSQLVAR_V1) == 152 &&
                                         sizeof(ibapi::TXSQLVAR_V2) == 300));
    EXPECT_EQ(XSQLDA_LENGTH(3), ibapi::SqldaVarOffset + 3 * sizeof(ibapi::TXSQLVAR_V1));
}

TEST(IBApiDeclarations, Constants) {
    struct Pair {
        long long ours, theirs;
        const char* name;
    } pairs[] = {
#define P(ours, theirs) {(long long)(ours), (long long)(theirs), #theirs}
        P(ibapi::SqlVarying, SQL_VARYING), P(ibapi::SqlText, SQL_TEXT), P(ibapi::SqlDouble, SQL_DOUBLE),
        P(ibapi::SqlFloat, SQL_FLOAT), P(ibapi::SqlLong, SQL_LONG), P(ibapi::SqlShort, SQL_SHORT),
        P(ibapi::SqlTimestamp, SQL_TIMESTAMP), P(ibapi::SqlBlob, SQL_BLOB), P(ibapi::SqlDFloat, SQL_D_FLOAT),
        P(ibapi::SqlArray, SQL_ARRAY), P(ibapi::SqlQuad, SQL_QUAD), P(ibapi::SqlTypeTime, SQL_TYPE_TIME),
        P(ibapi::SqlTypeDate, SQL_TYPE_DATE), P(ibapi::SqlInt64, SQL_INT64), P(ibapi::SqlBooleanFB, SQL_BOOLEAN),
        P(ibapi::SqlNull, SQL_NULL), P(ibapi::SqlDialectV5, SQL_DIALECT_V5), P(ibapi::SqlDialectV6, SQL_DIALECT_V6),
        P(ibapi::DsqlClose, DSQL_close), P(ibapi::DsqlDrop, DSQL_drop),
        P(ibapi::DpbVersion1, isc_dpb_version1), P(ibapi::DpbSweepInterval, isc_dpb_sweep_interval),
        P(ibapi::DpbUserName, isc_dpb_user_name), P(ibapi::DpbPassword, isc_dpb_password),
        P(ibapi::DpbLcCtype, isc_dpb_lc_ctype), P(ibapi::DpbSqlRoleName, isc_dpb_sql_role_name),
        P(ibapi::DpbNoDbTriggers, isc_dpb_no_db_triggers), P(ibapi::DpbTrustedAuth, isc_dpb_trusted_auth),
        P(ibapi::DpbUtf8Filename, isc_dpb_utf8_filename),
        P(ibapi::TpbVersion3, isc_tpb_version3), P(ibapi::TpbConsistency, isc_tpb_consistency),
        P(ibapi::TpbConcurrency, isc_tpb_concurrency), P(ibapi::TpbNowait, isc_tpb_nowait),
        P(ibapi::TpbRead, isc_tpb_read), P(ibapi::TpbWrite, isc_tpb_write), P(ibapi::TpbLockRead, isc_tpb_lock_read),
        P(ibapi::TpbLockWrite, isc_tpb_lock_write), P(ibapi::TpbVerbTime, isc_tpb_verb_time),
        P(ibapi::TpbCommitTime, isc_tpb_commit_time), P(ibapi::TpbReadCommitted, isc_tpb_read_committed),
        P(ibapi::TpbRecVersion, isc_tpb_rec_version), P(ibapi::TpbLockTimeout, isc_tpb_lock_timeout),
        P(ibapi::BpbVersion1, isc_bpb_version1), P(ibapi::BpbSourceType, isc_bpb_source_type),
        P(ibapi::BpbTargetType, isc_bpb_target_type), P(ibapi::BpbType, isc_bpb_type),
        P(ibapi::BpbSourceInterp, isc_bpb_source_interp), P(ibapi::BpbTargetInterp, isc_bpb_target_interp),
        P(ibapi::BpbTypeStream, isc_bpb_type_stream),
        P(ibapi::InfoEnd, isc_info_end), P(ibapi::InfoTruncated, isc_info_truncated), P(ibapi::InfoError, isc_info_error),
        P(ibapi::InfoVersion, isc_info_version), P(ibapi::InfoDbSqlDialect, isc_info_db_sql_dialect),
        P(ibapi::InfoFirebirdVersion, isc_info_firebird_version),
        P(ibapi::InfoSqlSelect, isc_info_sql_select), P(ibapi::InfoSqlDescribeVars, isc_info_sql_describe_vars),
        P(ibapi::InfoSqlDescribeEnd, isc_info_sql_describe_end), P(ibapi::InfoSqlSqldaSeq, isc_info_sql_sqlda_seq),
        P(ibapi::InfoSqlStmtType, isc_info_sql_stmt_type), P(ibapi::InfoSqlRecords, isc_info_sql_records),
        P(ibapi::InfoSqlRelationAlias, isc_info_sql_relation_alias),
        P(ibapi::InfoReqUpdateCount, isc_info_req_update_count), P(ibapi::InfoReqDeleteCount, isc_info_req_delete_count),
        P(ibapi::InfoReqSelectCount, isc_info_req_select_count), P(ibapi::InfoReqInsertCount, isc_info_req_insert_count),
        P(ibapi::InfoBlobNumSegments, isc_info_blob_num_segments), P(ibapi::InfoBlobMaxSegment, isc_info_blob_max_segment),
        P(ibapi::InfoBlobTotalLength, isc_info_blob_total_length), P(ibapi::InfoBlobType, isc_info_blob_type),
        P(ibapi::stSelect, isc_info_sql_stmt_select), P(ibapi::stInsert, isc_info_sql_stmt_insert),
        P(ibapi::stUpdate, isc_info_sql_stmt_update), P(ibapi::stDelete, isc_info_sql_stmt_delete),
        P(ibapi::stDDL, isc_info_sql_stmt_ddl), P(ibapi::stGetSegment, isc_info_sql_stmt_get_segment),
        P(ibapi::stPutSegment, isc_info_sql_stmt_put_segment), P(ibapi::stExecProcedure, isc_info_sql_stmt_exec_procedure),
        P(ibapi::stStartTrans, isc_info_sql_stmt_start_trans), P(ibapi::stCommit, isc_info_sql_stmt_commit),
        P(ibapi::stRollback, isc_info_sql_stmt_rollback), P(ibapi::stSelectForUpdate, isc_info_sql_stmt_select_for_upd),
        P(ibapi::stSetGenerator, isc_info_sql_stmt_set_generator), P(ibapi::stSavepoint, isc_info_sql_stmt_savepoint),
        P(ibapi::IscSegment, isc_segment), P(ibapi::IscSegstrEof, isc_segstr_eof),
#undef P
    };
    for (const auto& p : pairs) EXPECT_EQ(p.ours, p.theirs) << p.name;
}

TEST(IBApiDeclarations, EntryPointSignatures) {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    static_assert(SameSignature<ibapi::TIscInterprete, decltype(&isc_interprete)>);
#pragma GCC diagnostic pop
    static_assert(SameSignature<ibapi::TIscGetClientVersion, decltype(&isc_get_client_version)>);
    static_assert(SameSignature<ibapi::TIscGetClientMajorVersion, decltype(&isc_get_client_major_version)>);
    static_assert(SameSignature<ibapi::TIscGetClientMinorVersion, decltype(&isc_get_client_minor_version)>);
    static_assert(SameSignature<ibapi::TIscAttachDatabase, decltype(&isc_attach_database)>);
    static_assert(SameSignature<ibapi::TIscDetachDatabase, decltype(&isc_detach_database)>);
    static_assert(SameSignature<ibapi::TIscDatabaseInfo, decltype(&isc_database_info)>);
    static_assert(SameSignature<ibapi::TIscStartMultiple, decltype(&isc_start_multiple)>);
    static_assert(SameSignature<ibapi::TIscTransactionCall, decltype(&isc_commit_transaction)>);
    static_assert(SameSignature<ibapi::TIscTransactionCall, decltype(&isc_commit_retaining)>);
    static_assert(SameSignature<ibapi::TIscTransactionCall, decltype(&isc_rollback_transaction)>);
    static_assert(SameSignature<ibapi::TIscTransactionCall, decltype(&isc_rollback_retaining)>);
    static_assert(SameSignature<ibapi::TIscDsqlAllocStatement2, decltype(&isc_dsql_alloc_statement2)>);
    static_assert(SameSignature<ibapi::TIscDsqlPrepare, decltype(&isc_dsql_prepare)>);
    static_assert(SameSignature<ibapi::TIscDsqlSqlInfo, decltype(&isc_dsql_sql_info)>);
    static_assert(SameSignature<ibapi::TIscDsqlDescribe, decltype(&isc_dsql_describe)>);
    static_assert(SameSignature<ibapi::TIscDsqlDescribe, decltype(&isc_dsql_describe_bind)>);
    static_assert(SameSignature<ibapi::TIscDsqlExecute, decltype(&isc_dsql_execute)>);
    static_assert(SameSignature<ibapi::TIscDsqlExecute2, decltype(&isc_dsql_execute2)>);
    static_assert(SameSignature<ibapi::TIscDsqlFetch, decltype(&isc_dsql_fetch)>);
    static_assert(SameSignature<ibapi::TIscDsqlFreeStatement, decltype(&isc_dsql_free_statement)>);
    static_assert(SameSignature<ibapi::TIscDsqlSetCursorName, decltype(&isc_dsql_set_cursor_name)>);
    static_assert(SameSignature<ibapi::TIscCreateBlob2, decltype(&isc_create_blob2)>);
    static_assert(SameSignature<ibapi::TIscOpenBlob2, decltype(&isc_open_blob2)>);
    static_assert(SameSignature<ibapi::TIscPutSegment, decltype(&isc_put_segment)>);
    static_assert(SameSignature<ibapi::TIscGetSegment, decltype(&isc_get_segment)>);
    static_assert(SameSignature<ibapi::TIscBlobInfo, decltype(&isc_blob_info)>);
    static_assert(SameSignature<ibapi::TIscCloseBlob, decltype(&isc_close_blob)>);
    static_assert(SameSignature<ibapi::TIscSqlcode, decltype(&isc_sqlcode)>);
    static_assert(SameSignature<ibapi::TIscSqlInterprete, decltype(&isc_sql_interprete)>);
    static_assert(SameSignature<ibapi::TFbShutdown, decltype(&fb_shutdown)>);
    SUCCEED();
}

// Every published DPB and TPB name maps to the header's code: through the buffer when we
// write the item, through the message when we refuse it.
TEST(IBApiDeclarations, ParameterBufferNameTables) {
    struct Item {
        const char* name;
        int code;
    };
#define D(n) {#n, isc_dpb_##n}
    const Item dpb[] = {
        D(cdd_pathname), D(allocation), D(journal), D(page_size), D(num_buffers), D(buffer_length), D(debug),
        D(garbage_collect), D(verify), D(sweep), D(enable_journal), D(disable_journal), D(dbkey_scope),
        D(number_of_users), D(trace), D(no_garbage_collect), D(damaged), D(license), D(sys_user_name),
        D(encrypt_key), D(activate_shadow), D(sweep_interval), D(delete_shadow), D(force_write), D(begin_log),
        D(quit_log), D(no_reserve), D(user_name), D(password), D(password_enc), D(sys_user_name_enc), D(interp),
        D(online_dump), D(old_file_size), D(old_num_files), D(old_file), D(old_start_page), D(old_start_seqno),
        D(old_start_file), D(drop_walfile), D(old_dump_id), D(wal_backup_dir), D(wal_chkptlen), D(wal_numbufs),
        D(wal_bufsize), D(wal_grp_cmt_wait), D(lc_messages), D(lc_ctype), D(cache_manager), D(shutdown), D(online),
        D(shutdown_delay), D(reserved), D(overwrite), D(sec_attach), D(disable_wal), D(connect_timeout),
        D(dummy_packet_interval), D(gbak_attach), D(sql_role_name), D(set_page_buffers), D(working_directory),
        D(sql_dialect), D(set_db_readonly), D(set_db_sql_dialect), D(gfix_attach), D(gstat_attach),
        D(set_db_charset), D(gsec_attach), D(address_path), D(process_id), D(no_db_triggers), D(trusted_auth),
        D(process_name), D(trusted_role), D(org_filename), D(utf8_filename), D(ext_call_depth), D(auth_block),
        D(client_version), D(remote_protocol), D(host_name), D(os_user), D(specific_auth_data),
        D(auth_plugin_list), D(auth_plugin_name), D(config), D(nolinger), D(reset_icu), D(map_attach),
    };
#undef D
    for (const auto& item : dpb) {
        std::u16string name = AsciiToUnicode(item.name);
        TIBDpbSettings s;
        s.ExtraParams = {name + u"=1"};
        try {
            std::string bytes = BuildDpb(s, 30000);
            ASSERT_GE(bytes.size(), 2u);
            EXPECT_EQ(std::uint8_t(bytes[1]), item.code) << item.name;
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), u"Unsupported DPB constant (isc_dpb_" + name + u")") << item.name;
        }
    }
#define T(n) {#n, isc_tpb_##n}
    const Item tpb[] = {
        T(consistency), T(concurrency), T(shared), T(protected), T(exclusive), T(wait), T(nowait), T(read),
        T(write), T(lock_read), T(lock_write), T(verb_time), T(commit_time), T(ignore_limbo), T(read_committed),
        T(autocommit), T(rec_version), T(no_rec_version), T(restart_requests), T(no_auto_undo), T(lock_timeout),
    };
#undef T
    for (const auto& item : tpb) {
        std::u16string name = AsciiToUnicode(item.name);
        try {
            std::string bytes = BuildTpb(ilCustom, false, {name + u"=1"});
            ASSERT_GE(bytes.size(), 2u);
            EXPECT_EQ(std::uint8_t(bytes[1]), item.code) << item.name;
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), u"Unsupported TPB constant (isc_tpb_" + name + u")") << item.name;
        }
    }
}
