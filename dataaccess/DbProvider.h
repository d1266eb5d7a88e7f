#pragma once
// A database provider as the connection layer sees it.
#include <memory>
#include <string>
#include <string_view>

#include "dataaccess/Options.h"
#include "dataaccess/ProviderConnection.h"
#include "dataaccess/SqlParser.h"

namespace vantrelo {

class TDbProvider {
public:
    virtual ~TDbProvider() = default;

    virtual std::u16string GetProviderName() const = 0;  // "MySQL", "InterBase"
    virtual bool IsDatabaseSupported() const { return true; }
    virtual bool IsPortSupported() const { return true; }
    // Opening a query must start the connection's transaction first.
    virtual bool NeedTransaction() const = 0;

    virtual std::unique_ptr<TProviderConnection> CreateConnection() const = 0;
    // Every option the provider knows, connection and dataset options alike.
    virtual const TOptionsList& GetOptions() const = 0;

    virtual const TSqlDialect& GetSqlDialect() const = 0;
    // A table or column name as the generated statements write it: quoted only where the
    // dialect needs quotes (or always, when asked).
    virtual std::u16string QuoteName(std::u16string_view name, bool always = false) const = 0;
};

} // namespace vantrelo
