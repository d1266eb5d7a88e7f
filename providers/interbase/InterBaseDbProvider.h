#pragma once
// The "InterBase" provider of the registry: its options, SQL dialect and connection class.
#include "dataaccess/DbProvider.h"

namespace vantrelo {

class TInterBaseDbProvider : public TDbProvider {
public:
    TInterBaseDbProvider();

    std::u16string GetProviderName() const override { return u"InterBase"; }
    bool NeedTransaction() const override { return true; }
    std::unique_ptr<TProviderConnection> CreateConnection() const override;
    const TOptionsList& GetOptions() const override { return FOptions; }
    const TSqlDialect& GetSqlDialect() const override { return FDialect; }
    // Dialect-3 identifiers need quotes when they hold small letters or characters other
    // than letters, digits, '_' and '$', or start with a digit.
    std::u16string QuoteName(std::u16string_view name, bool always = false) const override;

private:
    TOptionsList FOptions;
    TSqlDialect FDialect;
};

// Registers the provider once; later calls do nothing.
void RegisterInterBaseProvider();

} // namespace vantrelo
