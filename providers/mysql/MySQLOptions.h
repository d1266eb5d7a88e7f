#pragma once
// The option lines the MySQL provider understands ("MySQL.Charset=latin1"), with their
// defaults and the property codes they set on the provider's objects.
#include "dataaccess/Options.h"

namespace vantrelo {

enum TMyProtocol { mpDefault, mpTCP, mpPipe, mpMemory, mpSSL, mpHttp, mpSSLHttp };

enum TMySQLProp : int {
    // connection
    prConnectionTimeout = 1,
    prCharset,
    prUseUnicode,
    prCompress,
    prProtocol,
    prIPVersion,
    prInteractive,
    prOptimizedBigint,
    prEmbedded,
    prEmbeddedParams,
    prSSLCACert,
    prSSLCert,
    prSSLKey,
    prSSLChipherList,
    prSSLIgnoreServerCertificateValidity,
    prSSLIgnoreServerCertificateConstraints,
    prSSLTrustServerCertificate,
    prHttpUrl,
    prHttpUsername,
    prHttpPassword,
    prProxyHostname,
    prProxyPort,
    prProxyUsername,
    prProxyPassword,
    // record set
    prFetchAll = 100,
    prCommandTimeout,
    prEnableBoolean,
    prBinaryAsString,
    prFieldsAsString,
    prNullForZeroDate,
};

constexpr int DefaultConnectionTimeout = 15;  // seconds
constexpr bool DefaultCompress = false;
constexpr bool DefaultFetchAll = true;
constexpr bool DefaultEnableBoolean = true;
constexpr bool DefaultBinaryAsString = true;
constexpr bool DefaultFieldsAsString = false;
constexpr bool DefaultNullForZeroDate = true;
constexpr int DefaultCommandTimeout = 0;

const TOptionsList& MySQLOptionsList();

} // namespace vantrelo
