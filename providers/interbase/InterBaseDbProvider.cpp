#include "providers/interbase/InterBaseDbProvider.h"

#include <mutex>

#include "dataaccess/DbProviders.h"
#include "providers/interbase/IBConnection.h"
#include "providers/interbase/IBProps.h"

namespace vantrelo {
namespace {

TOption Option(const char16_t* name, TOptionKind kind, TVariant defaultValue, int prop, unsigned targets,
               std::vector<std::u16string> values = {}) {
    TOption o;
    o.Name = name;
    o.Kind = kind;
    o.Default = std::move(defaultValue);
    o.PropCode = prop;
    o.Targets = targets;
    o.EnumValues = std::move(values);
    return o;
}

TOptionsList MakeOptions() {
    const TVariant no(false), yes(true), empty{std::u16string()};
    return {
        Option(u"Charset", okString, empty, prCharset, otConnection),
        Option(u"UseUnicode", okBoolean, no, prUseUnicode, otConnection),
        Option(u"SQLDialect", okInteger, TVariant(std::int32_t(3)), prSQLDialect, otConnection),
        Option(u"CharLength", okInteger, TVariant(std::int32_t(0)), prCharLength, otConnection),
        Option(u"Role", okString, empty, prRole, otConnection),
        Option(u"ClientLibrary", okString, empty, prClientLibrary, otConnection),
        Option(u"Protocol", okEnumerator, TVariant(std::int32_t(_TCP)), prProtocol, otConnection,
               {u"_TCP", u"_NetBEUI", u"_SPX"}),
        Option(u"TrustedAuthentication", okBoolean, no, prTrustedAuthentication, otConnection),
        Option(u"NoDBTriggers", okBoolean, no, prNoDBTriggers, otConnection),
        Option(u"SimpleNumericMap", okBoolean, yes, prSimpleNumericMap, otConnection),
        Option(u"ForceUnloadClientLibrary", okBoolean, no, prForceUnloadClientLibrary, otConnection),

        Option(u"FetchAll", okBoolean, no, prFetchAll, otDataSet),
        Option(u"AutoClose", okBoolean, no, prAutoClose, otDataSet),
        Option(u"FieldsAsString", okBoolean, no, prFieldsAsString, otDataSet),
        Option(u"DeferredBlobRead", okBoolean, no, prDeferredBlobRead, otDataSet),
        Option(u"CacheBlobs", okBoolean, yes, prCacheBlobs, otDataSet),
        Option(u"StreamedBlobs", okBoolean, no, prStreamedBlobs, otDataSet),
        Option(u"ComplexArrayFields", okBoolean, yes, prComplexArrayFields, otDataSet),
        Option(u"DeferredArrayRead", okBoolean, yes, prDeferredArrayRead, otDataSet),
        Option(u"CacheArrays", okBoolean, yes, prCacheArrays, otDataSet),
        Option(u"KeyGenerator", okString, empty, prKeyGenerator, otDataSet),
        Option(u"GeneratorMode", okEnumerator, TVariant(std::int32_t(1)), prGeneratorMode, otDataSet,
               {u"_gmInsert", u"_gmPost"}),
        Option(u"GeneratorStep", okInteger, TVariant(std::int32_t(1)), prGeneratorStep, otDataSet),
        Option(u"BooleanDomainFields", okBoolean, yes, prBooleanDomainFields, otDataSet),
        Option(u"DescribeParams", okBoolean, no, prDescribeParams, otDataSet),
        Option(u"SetDomainNames", okBoolean, no, prSetDomainNames, otDataSet),
        Option(u"AutoCommit", okBoolean, yes, prAutoCommit, otDataSet),
        Option(u"QueryRowsAffected", okBoolean, yes, prQueryRowsAffected, otDataSet),
    };
}

TSqlDialect MakeDialect() {
    TSqlDialect d;
    d.StringQuotes = u"'";
    d.BackslashEscapes = false;
    d.IdentifierQuote = u'"';
    d.IdentifierQuoteClose = u'"';
    d.HashLineComments = false;
    // Bodies of DDL and PSQL blocks use ':' for their own variables.
    d.ParamStopWords = {u"BEGIN", u"ALTER", u"CREATE", u"DECLARE", u"DROP", u"GRANT", u"REVOKE"};
    return d;
}

bool NeedsQuotes(std::u16string_view name) {
    if (name.empty()) return true;
    if (name[0] >= u'0' && name[0] <= u'9') return true;
    for (char16_t c : name) {
        bool plain = (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'_' || c == u'$';
        if (!plain) return true;
    }
    return false;
}

} // namespace

TInterBaseDbProvider::TInterBaseDbProvider() : FOptions(MakeOptions()), FDialect(MakeDialect()) {}

std::unique_ptr<TProviderConnection> TInterBaseDbProvider::CreateConnection() const {
    return std::make_unique<TIBConnection>();
}

std::u16string TInterBaseDbProvider::QuoteName(std::u16string_view name, bool always) const {
    if (name.size() >= 2 && name.front() == u'"' && name.back() == u'"') return std::u16string(name);
    if (!always && !NeedsQuotes(name)) return std::u16string(name);
    std::u16string quoted = u"\"";
    for (char16_t c : name) {
        if (c == u'"') quoted += u'"';
        quoted += c;
    }
    return quoted + u"\"";
}

void RegisterInterBaseProvider() {
    static std::once_flag once;
    std::call_once(once, [] { TDbProviders::RegisterProvider(std::make_unique<TInterBaseDbProvider>()); });
}

} // namespace vantrelo
