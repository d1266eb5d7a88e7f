#include "providers/interbase/IBLibrary.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "dataaccess/DatabaseError.h"
#include "dataaccess/TextUtils.h"
#include "platform/CodePage.h"

namespace vantrelo {
namespace {

// The Firebird client first, then the older InterBase one, as each platform names them.
#if defined(_WIN32)
constexpr const char16_t* FirebirdClient = u"fbclient.dll";
constexpr const char16_t* InterBaseClient = u"gds32.dll";
#elif defined(__APPLE__)
constexpr const char16_t* FirebirdClient = u"libfbclient.dylib";
constexpr const char16_t* InterBaseClient = u"libgds.dylib";
#else
constexpr const char16_t* FirebirdClient = u"libfbclient.so.2";
constexpr const char16_t* InterBaseClient = u"libgds.so";
#endif

[[noreturn]] void NotLinked() { throw EDatabaseError(u"GDS function is not linked"); }

template <class F> struct TStub;
template <class R, class... A> struct TStub<R(VANTRELO_ISC_CALL*)(A...)> {
    static R VANTRELO_ISC_CALL Call(A...) { NotLinked(); }
};

std::u16string LowerAsciiText(std::u16string_view text) {
    std::u16string r(text);
    for (auto& c : r) c = LowerAscii(c);
    return r;
}

// "3.0" → 30000; digits, one '.', digits; nothing else is read.
bool ParseVersionNumber(std::string_view text, std::int64_t& version) {
    std::size_t i = 0;
    double whole = 0, fraction = 0, scale = 1;
    bool digits = false;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') whole = whole * 10 + (text[i++] - '0'), digits = true;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
            scale /= 10;
            fraction += (text[i++] - '0') * scale;
            digits = true;
        }
    }
    if (!digits) return false;
    version = std::llround((whole + fraction) * 10000);
    return true;
}

} // namespace

TIBClientVersion DetectClientVersion(const char* versionText, int major, int minor) {
    if (versionText) {
        std::string lower(versionText);
        for (auto& c : lower) c = char(std::tolower(static_cast<unsigned char>(c)));
        std::size_t at = lower.find("firebird");
        if (at != std::string::npos) {
            std::size_t start = at + 8;
            if (start < lower.size() && lower[start] == ' ') ++start;
            std::size_t end = start;
            while (end < lower.size() && lower[end] != ' ' && lower[end] != '\0') ++end;
            std::string_view number(lower.data() + start, end - start);
            std::int64_t version;
            if (ParseVersionNumber(number, version)) return {version, AsciiToUnicode(number)};
        }
    }
    TIBClientVersion v;
    v.Version = std::llround((major + minor / 10.0) * 10000);
    v.Text = AsciiToUnicode(std::to_string(major) + "." + std::to_string(minor));
    return v;
}

std::vector<std::u16string> ClientLibraryOrder(std::u16string_view database) {
    std::u16string lower = LowerAsciiText(database);
    std::size_t dot = lower.find_last_of(u'.');
    std::size_t slash = lower.find_last_of(u"/\\");
    std::u16string ext = (dot != std::u16string::npos && (slash == std::u16string::npos || dot > slash))
                             ? lower.substr(dot)
                             : std::u16string();
    if (ext == u".fdb" || ext == u".fb") return {FirebirdClient, InterBaseClient};
    return {InterBaseClient, FirebirdClient};
}

TIBLibrary::TIBLibrary(std::u16string requestedName, std::vector<std::u16string> defaultOrder)
    : FRequestedName(std::move(requestedName)), FDefaultOrder(std::move(defaultOrder)) {}

TIBLibrary::~TIBLibrary() = default;

void TIBLibrary::Load() {
    if (IsLoaded()) return;
    if (!FRequestedName.empty()) {
        if (!FModule.Load(FRequestedName)) throw EDatabaseError(u"Cannot load client library: " + FRequestedName);
    } else {
        bool loaded = false;
        for (const auto& file : FDefaultOrder)
            if ((loaded = FModule.Load(file))) break;
        if (!loaded) throw EDatabaseError(u"Cannot load client library");
    }
    Bind([this](const char* name) { return FModule.Symbol(name); });
}

void TIBLibrary::BindForTests(const std::function<void*(const char*)>& lookup) { Bind(lookup); }

bool TIBLibrary::HasFunction(const void* slot) const noexcept {
    return std::find(FMissing.begin(), FMissing.end(), slot) == FMissing.end();
}

void TIBLibrary::Bind(const std::function<void*(const char*)>& lookup) {
    FMissing.clear();
    auto bind = [&](auto& slot, const char* name) {
        using F = std::remove_reference_t<decltype(slot)>;
        if (void* p = lookup(name)) {
            slot = reinterpret_cast<F>(p);
        } else {
            slot = &TStub<F>::Call;
            FMissing.push_back(&slot);
        }
    };
#define VANTRELO_IB_BIND(fn) bind(FApi.fn, #fn)
    VANTRELO_IB_BIND(isc_get_client_version);
    VANTRELO_IB_BIND(isc_get_client_major_version);
    VANTRELO_IB_BIND(isc_get_client_minor_version);
    VANTRELO_IB_BIND(isc_rollback_retaining);
    VANTRELO_IB_BIND(isc_attach_database);
    VANTRELO_IB_BIND(isc_detach_database);
    VANTRELO_IB_BIND(isc_database_info);
    VANTRELO_IB_BIND(isc_start_multiple);
    VANTRELO_IB_BIND(isc_commit_transaction);
    VANTRELO_IB_BIND(isc_commit_retaining);
    VANTRELO_IB_BIND(isc_rollback_transaction);
    VANTRELO_IB_BIND(isc_dsql_alloc_statement2);
    VANTRELO_IB_BIND(isc_dsql_prepare);
    VANTRELO_IB_BIND(isc_dsql_sql_info);
    VANTRELO_IB_BIND(isc_dsql_describe);
    VANTRELO_IB_BIND(isc_dsql_describe_bind);
    VANTRELO_IB_BIND(isc_dsql_execute);
    VANTRELO_IB_BIND(isc_dsql_execute2);
    VANTRELO_IB_BIND(isc_dsql_fetch);
    VANTRELO_IB_BIND(isc_dsql_free_statement);
    VANTRELO_IB_BIND(isc_dsql_set_cursor_name);
    VANTRELO_IB_BIND(isc_create_blob2);
    VANTRELO_IB_BIND(isc_put_segment);
    VANTRELO_IB_BIND(isc_open_blob2);
    VANTRELO_IB_BIND(isc_get_segment);
    VANTRELO_IB_BIND(isc_blob_info);
    VANTRELO_IB_BIND(isc_close_blob);
    VANTRELO_IB_BIND(isc_sqlcode);
    VANTRELO_IB_BIND(isc_sql_interprete);
    VANTRELO_IB_BIND(isc_interprete);
    VANTRELO_IB_BIND(fb_shutdown);
#undef VANTRELO_IB_BIND

    // Clients without isc_rollback_retaining are of the InterBase 5 generation.
    if (HasFunction(&FApi.isc_rollback_retaining)) FVersion = {60000, u"6"};
    else FVersion = {50000, u"5"};
    if (HasFunction(&FApi.isc_get_client_version)) {
        char text[64] = {};
        FApi.isc_get_client_version(text);
        text[sizeof text - 1] = '\0';
        int major = HasFunction(&FApi.isc_get_client_major_version) ? FApi.isc_get_client_major_version() : 0;
        int minor = HasFunction(&FApi.isc_get_client_minor_version) ? FApi.isc_get_client_minor_version() : 0;
        FVersion = DetectClientVersion(text, major, minor);
    }
}

void TIBLibrary::AddUnloadListener(const void* owner, std::function<void()> onUnload) {
    std::lock_guard lock(FListenerLock);
    for (auto& l : FListeners)
        if (l.first == owner) {
            l.second = std::move(onUnload);
            return;
        }
    FListeners.emplace_back(owner, std::move(onUnload));
}

void TIBLibrary::RemoveUnloadListener(const void* owner) {
    std::lock_guard lock(FListenerLock);
    std::erase_if(FListeners, [owner](const auto& l) { return l.first == owner; });
}

void TIBLibrary::NotifyUnload() {
    std::vector<std::pair<const void*, std::function<void()>>> listeners;
    {
        std::lock_guard lock(FListenerLock);
        listeners.swap(FListeners);
    }
    for (auto& l : listeners) {
        try {
            l.second();
        } catch (...) {
            // The library is going away; a connection that cannot close cleanly is dropped.
        }
    }
}

void TIBLibrary::Unload(bool forceUnload) {
    if (!IsLoaded()) return;
    NotifyUnload();
    if (forceUnload) {
        if (!HasFunction(&FApi.fb_shutdown) || FApi.fb_shutdown(10000, 0) != 0) return;
    }
    FModule.Unload();
    FApi = TIBFunctions();
}

namespace {

struct TLibraryRegistry {
    std::mutex Lock;
    std::vector<std::unique_ptr<TIBLibrary>> Libraries;
    bool ForceUnload = false;

    ~TLibraryRegistry() {
        for (auto& l : Libraries) l->Unload(ForceUnload);
    }
};

TLibraryRegistry& Registry() {
    static TLibraryRegistry registry;
    return registry;
}

} // namespace

TIBLibrary& TIBLibraryList::GetLibrary(std::u16string_view name, const std::vector<std::u16string>& defaultOrder) {
    std::u16string wanted = Trim(name);
    TLibraryRegistry& r = Registry();
    std::lock_guard lock(r.Lock);
    for (auto& l : r.Libraries) {
        if (!l->IsLoaded()) continue;
        if (wanted.empty() || SameText(l->RequestedName(), wanted) || SameText(l->FileName(), wanted)) return *l;
    }
    auto library = std::make_unique<TIBLibrary>(wanted, defaultOrder);
    library->Load();  // raises; nothing is registered then
    r.Libraries.push_back(std::move(library));
    return *r.Libraries.back();
}

void TIBLibraryList::SetForceUnload(bool value) {
    TLibraryRegistry& r = Registry();
    std::lock_guard lock(r.Lock);
    r.ForceUnload = value;
}

} // namespace vantrelo
