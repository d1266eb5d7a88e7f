#include "dataaccess/DbProviders.h"

#include <mutex>
#include <vector>

#include "dataaccess/TextUtils.h"

namespace vantrelo {
namespace {

struct TRegistry {
    std::mutex Lock;
    std::vector<std::unique_ptr<TDbProvider>> Providers;
};

TRegistry& Registry() {
    static TRegistry registry;
    return registry;
}

} // namespace

void TDbProviders::RegisterProvider(std::unique_ptr<TDbProvider> provider) {
    TRegistry& r = Registry();
    std::lock_guard lock(r.Lock);
    for (const auto& p : r.Providers)
        if (SameText(p->GetProviderName(), provider->GetProviderName())) return;
    r.Providers.push_back(std::move(provider));
}

TDbProvider* TDbProviders::FindProvider(std::u16string_view name) {
    std::u16string wanted = Trim(name);
    TRegistry& r = Registry();
    std::lock_guard lock(r.Lock);
    for (const auto& p : r.Providers)
        if (SameText(p->GetProviderName(), wanted)) return p.get();
    return nullptr;
}

} // namespace vantrelo
