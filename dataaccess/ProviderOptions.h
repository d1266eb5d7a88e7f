#pragma once
// The option lines of a connection or query: "Provider.Option=Value". Lines are validated
// by the provider they name (or the owner's provider when they name none) and stored in
// full form, with the option's canonical name and the provider name in front.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dataaccess/Options.h"

namespace vantrelo {

class TDbProvider;

struct TOptionLine {
    std::u16string Provider;  // empty when the line names none
    std::u16string Name;
    std::u16string Value;
};

// Splits at the first '=' and the name part at its first '.' (only if that '.' comes
// before the '='). Blanks are kept as written.
TOptionLine SplitOptionLine(std::u16string_view line);

class TProviderOptions {
public:
    // ownerProvider: the provider of the owning connection or query (may return null).
    explicit TProviderOptions(std::function<TDbProvider*()> ownerProvider = {});

    // Validates the line and stores it in full form, replacing a line for the same
    // provider and option. Raises "\"%s\" is not a valid option name for %s provider" or
    // "Invalid value: <value> for option <name>"; an invalid line is not stored.
    void Add(std::u16string_view line);
    void SetText(std::u16string_view lines);  // replaces all lines (one per text line)
    bool Remove(std::u16string_view name);    // by the lookup rules below
    void Clear();
    const std::vector<std::u16string>& Lines() const noexcept { return FLines; }
    std::size_t Count() const noexcept { return FLines.size(); }

    // Looks a line up by the name as written, then through the older alias, then with the
    // owner's provider prefixed; returns its value.
    std::optional<std::u16string> Value(std::u16string_view name) const;

    // Sets every option of the provider's list that applies to the target kind: the value
    // of the first line whose provider part is empty or the provider's name and whose
    // option name matches (ignoring case), else the option's default.
    void ApplyTo(const TDbProvider& provider, unsigned targetKind, TPropertyTarget& target) const;

    // Grows with every change, so owners can tell whether to apply the options again.
    std::uint64_t Version() const noexcept { return FVersion; }

private:
    std::optional<std::size_t> IndexOf(std::u16string_view name) const;

    std::function<TDbProvider*()> FOwnerProvider;
    std::vector<std::u16string> FLines;
    std::uint64_t FVersion = 0;
};

// The option's value parsed from a line's text (bool, int32, enumerator index or text);
// raises "Invalid value: ..." when the option does not accept it.
TVariant ParseOptionValue(const TOption& option, std::u16string_view value);

} // namespace vantrelo
