#pragma once
// A named part of the program (a connection, a query, the data module). The name only
// serves messages: errors of a named component start with "Name: ", those of a
// sub-component with "Owner.Name: ". Ownership of memory is never implied.
#include <string>

namespace vantrelo {

class TComponent {
public:
    explicit TComponent(std::u16string name = {}, const TComponent* owner = nullptr)
        : FName(std::move(name)), FOwner(owner) {}
    virtual ~TComponent() = default;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    const std::u16string& Name() const noexcept { return FName; }
    void SetName(std::u16string name) { FName = std::move(name); }
    const TComponent* Owner() const noexcept { return FOwner; }
    void SetOwner(const TComponent* owner) noexcept { FOwner = owner; }
    bool IsSubComponent() const noexcept { return FSubComponent; }
    void SetSubComponent(bool value) noexcept { FSubComponent = value; }

    // "" for an unnamed component, "Name: " or "Owner.Name: " otherwise.
    std::u16string MessagePrefix() const {
        if (FName.empty()) return {};
        if (FSubComponent && FOwner && !FOwner->Name().empty())
            return FOwner->Name() + u"." + FName + u": ";
        return FName + u": ";
    }

private:
    std::u16string FName;
    const TComponent* FOwner;
    bool FSubComponent = false;
};

} // namespace vantrelo
