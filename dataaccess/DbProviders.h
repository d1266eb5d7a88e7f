#pragma once
// The process-wide provider registry. Providers register one instance under their name;
// lookup ignores letter case and surrounding blanks.
#include <memory>
#include <string>
#include <string_view>

#include "dataaccess/DbProvider.h"

namespace vantrelo {

class TDbProviders {
public:
    // Registers the provider unless one of that name is registered already. Thread-safe.
    static void RegisterProvider(std::unique_ptr<TDbProvider> provider);
    // The provider of that name, or null.
    static TDbProvider* FindProvider(std::u16string_view name);
};

} // namespace vantrelo
