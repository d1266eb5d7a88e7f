#include "dataaccess/ProviderOptions.h"

#include <charconv>
#include <limits>

#include "dataaccess/DbProvider.h"
#include "dataaccess/DbProviders.h"
#include "dataaccess/TextUtils.h"
#include "platform/Exception.h"

namespace vantrelo {
namespace {

const TOption* FindOption(const TDbProvider& provider, std::u16string_view name) {
    for (const auto& o : provider.GetOptions())
        if (SameText(o.Name, name) || (!o.OldName.empty() && SameText(o.OldName, name))) return &o;
    return nullptr;
}

[[noreturn]] void InvalidValue(const TOption& option, std::u16string_view value) {
    throw Exception(u"Invalid value: " + std::u16string(value) + u" for option " + option.Name);
}

} // namespace

TOptionLine SplitOptionLine(std::u16string_view line) {
    TOptionLine r;
    std::size_t eq = line.find(u'=');
    std::u16string_view name = line.substr(0, eq);
    if (eq != std::u16string_view::npos) r.Value.assign(line.substr(eq + 1));
    std::size_t dot = name.find(u'.');
    if (dot != std::u16string_view::npos) {
        r.Provider.assign(name.substr(0, dot));
        r.Name.assign(name.substr(dot + 1));
    } else {
        r.Name.assign(name);
    }
    return r;
}

TVariant ParseOptionValue(const TOption& option, std::u16string_view value) {
    switch (option.Kind) {
    case okBoolean: {
        std::u16string v = Trim(value);
        if (SameText(v, u"True")) return TVariant(true);
        if (SameText(v, u"False")) return TVariant(false);
        InvalidValue(option, value);
    }
    case okInteger: {
        std::u16string v = Trim(value);
        std::string ascii;
        for (char16_t c : v) {
            if (c > 0x7F) InvalidValue(option, value);
            ascii.push_back(char(c));
        }
        std::int64_t n = 0;
        const char* b = ascii.data();
        if (!ascii.empty() && ascii[0] == '+') ++b;
        auto [end, ec] = std::from_chars(b, ascii.data() + ascii.size(), n);
        if (ascii.empty() || ec != std::errc() || end != ascii.data() + ascii.size() ||
            n < std::numeric_limits<std::int32_t>::min() || n > std::numeric_limits<std::int32_t>::max())
            InvalidValue(option, value);
        return TVariant(std::int32_t(n));
    }
    case okEnumerator: {
        std::u16string v = Trim(value);
        for (std::size_t i = 0; i < option.EnumValues.size(); ++i)
            if (SameText(option.EnumValues[i], v)) return TVariant(std::int32_t(i));
        InvalidValue(option, value);
    }
    case okString:
        break;
    }
    return TVariant(std::u16string(value));
}

TProviderOptions::TProviderOptions(std::function<TDbProvider*()> ownerProvider)
    : FOwnerProvider(std::move(ownerProvider)) {}

void TProviderOptions::Add(std::u16string_view text) {
    TOptionLine line = SplitOptionLine(text);
    TDbProvider* provider = nullptr;
    if (!line.Provider.empty()) {
        provider = TDbProviders::FindProvider(line.Provider);
        if (!provider) throw Exception(Trim(line.Provider) + u" is not a valid provider name");
    } else {
        provider = FOwnerProvider ? FOwnerProvider() : nullptr;
        if (!provider) throw Exception(u"Provider is not defined");
    }
    const TOption* option = FindOption(*provider, line.Name);
    if (!option)
        throw Exception(u"\"" + line.Name + u"\" is not a valid option name for " + provider->GetProviderName() +
                        u" provider");
    ParseOptionValue(*option, line.Value);

    std::u16string full = provider->GetProviderName() + u"." + option->Name + u"=" + line.Value;
    for (auto& existing : FLines) {
        TOptionLine e = SplitOptionLine(existing);
        if (SameText(e.Provider, provider->GetProviderName()) && SameText(e.Name, option->Name)) {
            existing = std::move(full);
            ++FVersion;
            return;
        }
    }
    FLines.push_back(std::move(full));
    ++FVersion;
}

void TProviderOptions::SetText(std::u16string_view lines) {
    std::vector<std::u16string> previous = std::move(FLines);
    FLines.clear();
    try {
        std::size_t start = 0;
        while (start <= lines.size()) {
            std::size_t end = lines.find(u'\n', start);
            std::u16string_view line = lines.substr(start, end == std::u16string_view::npos ? end : end - start);
            if (!line.empty() && line.back() == u'\r') line.remove_suffix(1);
            if (!Trim(line).empty()) Add(line);
            if (end == std::u16string_view::npos) break;
            start = end + 1;
        }
    } catch (...) {
        FLines = std::move(previous);
        throw;
    }
    ++FVersion;
}

std::optional<std::size_t> TProviderOptions::IndexOf(std::u16string_view name) const {
    auto find = [&](std::u16string_view wanted) -> std::optional<std::size_t> {
        TOptionLine w = SplitOptionLine(wanted);
        for (std::size_t i = 0; i < FLines.size(); ++i) {
            TOptionLine l = SplitOptionLine(FLines[i]);
            if (SameText(l.Name, w.Name) && (w.Provider.empty() ? l.Provider.empty() : SameText(l.Provider, w.Provider)))
                return i;
        }
        return std::nullopt;
    };
    if (auto i = find(name)) return i;
    TOptionLine w = SplitOptionLine(name);
    TDbProvider* own = FOwnerProvider ? FOwnerProvider() : nullptr;
    TDbProvider* provider = w.Provider.empty() ? own : TDbProviders::FindProvider(w.Provider);
    if (provider) {
        if (const TOption* o = FindOption(*provider, w.Name)) {
            std::u16string prefix = w.Provider.empty() ? std::u16string() : w.Provider + u".";
            if (auto i = find(prefix + o->Name)) return i;
            if (auto i = find(provider->GetProviderName() + u"." + o->Name)) return i;
        }
    }
    if (own && w.Provider.empty())
        if (auto i = find(own->GetProviderName() + u"." + w.Name)) return i;
    return std::nullopt;
}

std::optional<std::u16string> TProviderOptions::Value(std::u16string_view name) const {
    if (auto i = IndexOf(name)) return SplitOptionLine(FLines[*i]).Value;
    return std::nullopt;
}

bool TProviderOptions::Remove(std::u16string_view name) {
    if (auto i = IndexOf(name)) {
        FLines.erase(FLines.begin() + std::ptrdiff_t(*i));
        ++FVersion;
        return true;
    }
    return false;
}

void TProviderOptions::Clear() {
    FLines.clear();
    ++FVersion;
}

void TProviderOptions::ApplyTo(const TDbProvider& provider, unsigned targetKind, TPropertyTarget& target) const {
    std::vector<TOptionLine> lines;
    lines.reserve(FLines.size());
    for (const auto& l : FLines) lines.push_back(SplitOptionLine(l));
    for (const auto& option : provider.GetOptions()) {
        if (!(option.Targets & targetKind)) continue;
        const TOptionLine* chosen = nullptr;
        for (const auto& l : lines) {
            if (!l.Provider.empty() && !SameText(l.Provider, provider.GetProviderName())) continue;
            if (SameText(l.Name, option.Name) || (!option.OldName.empty() && SameText(l.Name, option.OldName))) {
                chosen = &l;
                break;
            }
        }
        target.SetProp(option.PropCode, chosen ? ParseOptionValue(option, chosen->Value) : option.Default);
    }
}

} // namespace vantrelo
