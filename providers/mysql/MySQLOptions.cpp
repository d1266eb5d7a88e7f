#include "providers/mysql/MySQLOptions.h"

namespace vantrelo {
namespace {

TOption Option(std::u16string name, TOptionKind kind, TVariant def, int prop, unsigned targets = otConnection,
               std::vector<std::u16string> enumValues = {}) {
    TOption o;
    o.Name = std::move(name);
    o.Kind = kind;
    o.Default = std::move(def);
    o.PropCode = prop;
    o.Targets = targets;
    o.EnumValues = std::move(enumValues);
    return o;
}

TOption Text(std::u16string name, int prop) { return Option(std::move(name), okString, TVariant(u""), prop); }
TOption Flag(std::u16string name, bool def, int prop, unsigned targets = otConnection) {
    return Option(std::move(name), okBoolean, TVariant(def), prop, targets);
}

TOptionsList Build() {
    return {
        Option(u"ConnectionTimeout", okInteger, TVariant(std::int32_t(DefaultConnectionTimeout)), prConnectionTimeout),
        Text(u"Charset", prCharset),
        Flag(u"UseUnicode", false, prUseUnicode),
        Flag(u"Compress", DefaultCompress, prCompress),
        Option(u"Protocol", okEnumerator, TVariant(std::int32_t(mpDefault)), prProtocol, otConnection,
               {u"mpDefault", u"mpTCP", u"mpPipe", u"mpMemory", u"mpSSL", u"mpHttp", u"mpSSLHttp"}),
        Option(u"IPVersion", okEnumerator, TVariant(std::int32_t(0)), prIPVersion, otConnection,
               {u"ivIPv4", u"ivIPv6", u"ivIPBoth"}),
        Flag(u"Interactive", false, prInteractive),
        Flag(u"OptimizedBigint", false, prOptimizedBigint),
        Flag(u"Embedded", false, prEmbedded),
        Text(u"EmbeddedParams", prEmbeddedParams),
        Text(u"SSLCACert", prSSLCACert),
        Text(u"SSLCert", prSSLCert),
        Text(u"SSLKey", prSSLKey),
        Text(u"SSLChipherList", prSSLChipherList),
        Flag(u"SSLIgnoreServerCertificateValidity", false, prSSLIgnoreServerCertificateValidity),
        Flag(u"SSLIgnoreServerCertificateConstraints", false, prSSLIgnoreServerCertificateConstraints),
        Flag(u"SSLTrustServerCertificate", false, prSSLTrustServerCertificate),
        Text(u"HttpUrl", prHttpUrl),
        Text(u"HttpUsername", prHttpUsername),
        Text(u"HttpPassword", prHttpPassword),
        Text(u"ProxyHostname", prProxyHostname),
        Option(u"ProxyPort", okInteger, TVariant(std::int32_t(0)), prProxyPort),
        Text(u"ProxyUsername", prProxyUsername),
        Text(u"ProxyPassword", prProxyPassword),

        Flag(u"FetchAll", DefaultFetchAll, prFetchAll, otDataSet),
        Option(u"CommandTimeout", okInteger, TVariant(std::int32_t(DefaultCommandTimeout)), prCommandTimeout,
               otDataSet),
        Flag(u"EnableBoolean", DefaultEnableBoolean, prEnableBoolean, otDataSet),
        Flag(u"BinaryAsString", DefaultBinaryAsString, prBinaryAsString, otDataSet),
        Flag(u"FieldsAsString", DefaultFieldsAsString, prFieldsAsString, otDataSet),
        Flag(u"NullForZeroDate", DefaultNullForZeroDate, prNullForZeroDate, otDataSet),
    };
}

} // namespace

const TOptionsList& MySQLOptionsList() {
    static const TOptionsList list = Build();
    return list;
}

} // namespace vantrelo
