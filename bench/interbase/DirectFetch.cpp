// The peer of QueryBench: the same rows read with the client library alone: attach,
// prepare, fetch into its own XSQLDA, read each blob. The library is loaded at run time
// as the provider loads it; the declarations are the Firebird headers'.
#include <dlfcn.h>
#include <ibase.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"

namespace {

using bench::Env;

struct TApi {
    decltype(&isc_attach_database) attach;
    decltype(&isc_start_transaction) start;
    decltype(&isc_dsql_alloc_statement2) alloc;
    decltype(&isc_dsql_prepare) prepare;
    decltype(&isc_dsql_describe) describe;
    decltype(&isc_dsql_execute) execute;
    decltype(&isc_dsql_fetch) fetch;
    decltype(&isc_open_blob2) openBlob;
    decltype(&isc_get_segment) getSegment;
    decltype(&isc_close_blob) closeBlob;
    decltype(&isc_blob_info) blobInfo;
    decltype(&isc_commit_transaction) commit;
    decltype(&isc_detach_database) detach;
};

ISC_STATUS_ARRAY status;

void Check(ISC_STATUS result, const char* what) {
    if (result == 0) return;
    std::fprintf(stderr, "error in %s: %ld\n", what, long(status[1]));
    std::exit(1);
}

} // namespace

int main() {
    void* lib = dlopen(Env("VANTRELO_FB_CLIENT", "libfbclient.so.2").c_str(), RTLD_NOW);
    if (!lib) return std::fprintf(stderr, "no client library\n"), 1;
    TApi api{};
#define BIND(field, name) api.field = reinterpret_cast<decltype(api.field)>(dlsym(lib, #name))
    BIND(attach, isc_attach_database); BIND(start, isc_start_transaction); BIND(alloc, isc_dsql_alloc_statement2);
    BIND(prepare, isc_dsql_prepare); BIND(describe, isc_dsql_describe); BIND(execute, isc_dsql_execute);
    BIND(fetch, isc_dsql_fetch); BIND(openBlob, isc_open_blob2); BIND(getSegment, isc_get_segment);
    BIND(closeBlob, isc_close_blob); BIND(blobInfo, isc_blob_info); BIND(commit, isc_commit_transaction);
    BIND(detach, isc_detach_database);
#undef BIND
    bool withBlobInfo = Env("VANTRELO_BENCH_BLOB_INFO") == "1";

    auto started = std::chrono::steady_clock::now();
    std::string dpb(1, isc_dpb_version1);
    auto add = [&](char code, const std::string& v) { dpb += code; dpb += char(v.size()); dpb += v; };
    add(isc_dpb_user_name, Env("VANTRELO_FB_USER", "SYSDBA"));
    add(isc_dpb_password, Env("VANTRELO_FB_PASSWORD"));
    add(isc_dpb_lc_ctype, "utf-8");
    std::string path = Env("VANTRELO_FB_HOST", "127.0.0.1") + ":" + Env("VANTRELO_BENCH_DB");
    if (Env("VANTRELO_FB_PORT", "3050") != "3050")
        path = Env("VANTRELO_FB_HOST", "127.0.0.1") + "/" + Env("VANTRELO_FB_PORT") + ":" + Env("VANTRELO_BENCH_DB");
    isc_db_handle db = 0;
    isc_tr_handle tr = 0;
    isc_stmt_handle stmt = 0;
    Check(api.attach(status, short(path.size()), path.c_str(), &db, short(dpb.size()), dpb.data()), "attach");
    static char tpb[] = {isc_tpb_version3, isc_tpb_read_committed, isc_tpb_rec_version, isc_tpb_nowait, isc_tpb_write};
    Check(api.start(status, &tr, 1, &db, short(sizeof tpb), tpb), "start");
    Check(api.alloc(status, &db, &stmt), "alloc");
    std::vector<char> daBuffer(XSQLDA_LENGTH(200));
    auto* da = reinterpret_cast<XSQLDA*>(daBuffer.data());
    da->version = SQLDA_VERSION1;
    da->sqln = 200;
    Check(api.prepare(status, &tr, &stmt, 0, "select * from estoque order by EST_CODIGO", 3, nullptr), "prepare");
    Check(api.describe(status, &stmt, 1, da), "describe");
    std::vector<std::vector<char>> buffers(da->sqld);
    std::vector<short> indicators(da->sqld);
    for (int i = 0; i < da->sqld; ++i) {
        XSQLVAR& v = da->sqlvar[i];
        buffers[i].resize(v.sqllen + 2);
        v.sqldata = buffers[i].data();
        v.sqlind = &indicators[i];
    }
    Check(api.execute(status, &tr, &stmt, 1, nullptr), "execute");
    std::vector<char> blob(65536);
    std::size_t rows = 0, raw = 0;
    while (api.fetch(status, &stmt, 1, da) == 0) {
        ++rows;
        for (int i = 0; i < da->sqld; ++i) {
            XSQLVAR& v = da->sqlvar[i];
            if ((v.sqltype & 1) && indicators[i] < 0) continue;
            int type = v.sqltype & ~1;
            if (type == SQL_VARYING) {
                raw += *reinterpret_cast<unsigned short*>(v.sqldata);
            } else if (type == SQL_BLOB) {
                isc_blob_handle h = 0;
                Check(api.openBlob(status, &db, &tr, &h, reinterpret_cast<ISC_QUAD*>(v.sqldata), 0, nullptr), "open blob");
                if (withBlobInfo) {
                    char items[] = {isc_info_blob_num_segments, isc_info_blob_max_segment, isc_info_blob_total_length,
                                    isc_info_blob_type};
                    char info[32];
                    Check(api.blobInfo(status, &h, sizeof items, items, sizeof info, info), "blob info");
                }
                unsigned short got = 0;
                ISC_STATUS r;
                while ((r = api.getSegment(status, &h, &got, 65535, blob.data())) == 0 || r == isc_segment) raw += got;
                Check(api.closeBlob(status, &h), "close blob");
            } else {
                raw += v.sqllen;
            }
        }
    }
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    api.commit(status, &tr);
    api.detach(status, &db);
    std::printf("direct: rows=%zu columns=%d seconds=%.3f peak_rss_mb=%.1f raw_mb=%.1f\n", rows, int(da->sqld), seconds,
                bench::PeakRssMiB(), raw / 1048576.0);
    return 0;
}
