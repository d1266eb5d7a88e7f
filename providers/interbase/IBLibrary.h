#pragma once
// The InterBase/Firebird client library, loaded at run time and bound by name, and the
// process-wide list of loaded libraries.
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/DynamicLibrary.h"
#include "providers/interbase/IBApi.h"

namespace vantrelo {

// One pointer per entry point we call. An entry point the file lacks points at a stub
// that raises "GDS function is not linked".
struct TIBFunctions {
    ibapi::TIscGetClientVersion isc_get_client_version = nullptr;
    ibapi::TIscGetClientMajorVersion isc_get_client_major_version = nullptr;
    ibapi::TIscGetClientMinorVersion isc_get_client_minor_version = nullptr;
    ibapi::TIscTransactionCall isc_rollback_retaining = nullptr;

    ibapi::TIscAttachDatabase isc_attach_database = nullptr;
    ibapi::TIscDetachDatabase isc_detach_database = nullptr;
    ibapi::TIscDatabaseInfo isc_database_info = nullptr;

    ibapi::TIscStartMultiple isc_start_multiple = nullptr;
    ibapi::TIscTransactionCall isc_commit_transaction = nullptr;
    ibapi::TIscTransactionCall isc_commit_retaining = nullptr;
    ibapi::TIscTransactionCall isc_rollback_transaction = nullptr;

    ibapi::TIscDsqlAllocStatement2 isc_dsql_alloc_statement2 = nullptr;
    ibapi::TIscDsqlPrepare isc_dsql_prepare = nullptr;
    ibapi::TIscDsqlSqlInfo isc_dsql_sql_info = nullptr;
    ibapi::TIscDsqlDescribe isc_dsql_describe = nullptr;
    ibapi::TIscDsqlDescribe isc_dsql_describe_bind = nullptr;
    ibapi::TIscDsqlExecute isc_dsql_execute = nullptr;
    ibapi::TIscDsqlExecute2 isc_dsql_execute2 = nullptr;
    ibapi::TIscDsqlFetch isc_dsql_fetch = nullptr;
    ibapi::TIscDsqlFreeStatement isc_dsql_free_statement = nullptr;
    ibapi::TIscDsqlSetCursorName isc_dsql_set_cursor_name = nullptr;

    ibapi::TIscCreateBlob2 isc_create_blob2 = nullptr;
    ibapi::TIscPutSegment isc_put_segment = nullptr;
    ibapi::TIscOpenBlob2 isc_open_blob2 = nullptr;
    ibapi::TIscGetSegment isc_get_segment = nullptr;
    ibapi::TIscBlobInfo isc_blob_info = nullptr;
    ibapi::TIscCloseBlob isc_close_blob = nullptr;

    ibapi::TIscSqlcode isc_sqlcode = nullptr;
    ibapi::TIscSqlInterprete isc_sql_interprete = nullptr;
    ibapi::TIscInterprete isc_interprete = nullptr;

    ibapi::TFbShutdown fb_shutdown = nullptr;
};

struct TIBClientVersion {
    std::int64_t Version = 0;  // version number times 10000 (3.0 is 30000)
    std::u16string Text;
};

// The version from the isc_get_client_version text when it names Firebird, else from
// the major and minor numbers. versionText may be null (the entry point is missing).
TIBClientVersion DetectClientVersion(const char* versionText, int major, int minor);

// Client libraries of the listed versions may be called from several threads at once.
inline bool IsThreadSafeClient(std::int64_t version) {
    return (version >= 25000 && version < 60000) || version >= 90000;
}

// The platform's file names of the two client libraries, in the order tried for a
// database with the given file name (".fdb"/".fb" prefer the Firebird client).
std::vector<std::u16string> ClientLibraryOrder(std::u16string_view database);

class TIBLibrary {
public:
    // requestedName: the "ClientLibrary" option, or empty for the default files.
    TIBLibrary(std::u16string requestedName, std::vector<std::u16string> defaultOrder);
    ~TIBLibrary();
    TIBLibrary(const TIBLibrary&) = delete;
    TIBLibrary& operator=(const TIBLibrary&) = delete;

    // Raises "Cannot load client library" (default files) or "Cannot load client
    // library: <name>" (a named file).
    void Load();
    bool IsLoaded() const noexcept { return FModule.IsLoaded(); }
    // At process end: with forceUnload, fb_shutdown is called first and the library is
    // unloaded only when it succeeds.
    void Unload(bool forceUnload);

    const std::u16string& RequestedName() const noexcept { return FRequestedName; }
    const std::u16string& FileName() const noexcept { return FModule.FileName(); }
    const TIBFunctions& Api() const noexcept { return FApi; }
    std::int64_t ClientVersion() const noexcept { return FVersion.Version; }
    const std::u16string& VersionText() const noexcept { return FVersion.Text; }
    bool ThreadSafe() const noexcept { return IsThreadSafeClient(FVersion.Version); }
    bool HasFunction(const void* slot) const noexcept;

    // Held around every call into the library: serialises callers of a library that
    // is not thread-safe.
    class TBusy {
    public:
        explicit TBusy(TIBLibrary& library) : FLock(library.FCallLock, std::defer_lock) {
            if (!library.ThreadSafe()) FLock.lock();
        }

    private:
        std::unique_lock<std::mutex> FLock;
    };

    // Connections ask to be told when the library goes away.
    void AddUnloadListener(const void* owner, std::function<void()> onUnload);
    void RemoveUnloadListener(const void* owner);

    // For tests: binds from a symbol lookup instead of a loaded file.
    void BindForTests(const std::function<void*(const char*)>& lookup);

private:
    void Bind(const std::function<void*(const char*)>& lookup);
    void NotifyUnload();

    std::u16string FRequestedName;
    std::vector<std::u16string> FDefaultOrder;
    TDynamicLibrary FModule;
    TIBFunctions FApi;
    std::vector<const void*> FMissing;  // slots bound to stubs
    TIBClientVersion FVersion;
    std::mutex FCallLock;

    std::mutex FListenerLock;
    std::vector<std::pair<const void*, std::function<void()>>> FListeners;
};

// The process-wide registry of loaded client libraries.
class TIBLibraryList {
public:
    // The library for the name (trimmed, compared ignoring case; an empty name matches
    // the first loaded library), created and loaded when there is none. defaultOrder
    // serves a new library of an empty name.
    static TIBLibrary& GetLibrary(std::u16string_view name, const std::vector<std::u16string>& defaultOrder);
    // "ForceUnloadClientLibrary": remembered for the unload at process end.
    static void SetForceUnload(bool value);
};

} // namespace vantrelo
