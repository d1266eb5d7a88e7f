#pragma once
// The "MySQL" provider: our own implementation of the MySQL client/server protocol.
#include <memory>
#include <string>
#include <string_view>

#include "dataaccess/DbProvider.h"

namespace vantrelo {

class TMySQLDbProvider : public TDbProvider {
public:
    std::u16string GetProviderName() const override { return u"MySQL"; }
    bool NeedTransaction() const override { return false; }
    std::unique_ptr<TProviderConnection> CreateConnection() const override;
    const TOptionsList& GetOptions() const override;
    const TSqlDialect& GetSqlDialect() const override;
    std::u16string QuoteName(std::u16string_view name, bool always = false) const override;
};

// Registers the provider under "MySQL"; calling it again does nothing.
void RegisterMySQLProvider();

} // namespace vantrelo
