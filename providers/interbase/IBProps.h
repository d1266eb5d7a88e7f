#pragma once
// Property codes of the provider's options, shared by the option list and the objects
// the options are applied to.

namespace vantrelo {

enum TIBProp : int {
    // connection
    prCharset = 1,
    prUseUnicode,
    prSQLDialect,
    prCharLength,
    prRole,
    prClientLibrary,
    prProtocol,
    prTrustedAuthentication,
    prNoDBTriggers,
    prSimpleNumericMap,
    prForceUnloadClientLibrary,
    // record set
    prFetchAll,
    prAutoClose,
    prFieldsAsString,
    prDeferredBlobRead,
    prCacheBlobs,
    prStreamedBlobs,
    prComplexArrayFields,
    prDeferredArrayRead,
    prCacheArrays,
    prKeyGenerator,
    prGeneratorMode,
    prGeneratorStep,
    prBooleanDomainFields,
    prDescribeParams,
    prSetDomainNames,
    prAutoCommit,
    prQueryRowsAffected,
};

enum TIBProtocol { _TCP, _NetBEUI, _SPX };

} // namespace vantrelo
