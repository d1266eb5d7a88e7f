#pragma once
// An XSQLDA of either published layout (version 1, or version 2 for InterBase 7 and later
// clients), sized for the variables it must hold.
#include <cstddef>
#include <memory>
#include <string_view>

#include "providers/interbase/IBApi.h"

namespace vantrelo {

// One XSQLVAR of either layout.
class TIBSqlVar {
    template <auto M1, auto M2> auto& Member() const {
        if (FV2) return reinterpret_cast<ibapi::TXSQLVAR_V2*>(FVar)->*M2;
        return reinterpret_cast<ibapi::TXSQLVAR_V1*>(FVar)->*M1;
    }

public:
    TIBSqlVar(std::byte* var, bool v2) : FVar(var), FV2(v2) {}

    short& SqlType() const { return Member<&ibapi::TXSQLVAR_V1::sqltype, &ibapi::TXSQLVAR_V2::sqltype>(); }
    short& SqlScale() const { return Member<&ibapi::TXSQLVAR_V1::sqlscale, &ibapi::TXSQLVAR_V2::sqlscale>(); }
    short& SqlSubtype() const { return Member<&ibapi::TXSQLVAR_V1::sqlsubtype, &ibapi::TXSQLVAR_V2::sqlsubtype>(); }
    short& SqlLen() const { return Member<&ibapi::TXSQLVAR_V1::sqllen, &ibapi::TXSQLVAR_V2::sqllen>(); }
    char*& SqlData() const { return Member<&ibapi::TXSQLVAR_V1::sqldata, &ibapi::TXSQLVAR_V2::sqldata>(); }
    short*& SqlInd() const { return Member<&ibapi::TXSQLVAR_V1::sqlind, &ibapi::TXSQLVAR_V2::sqlind>(); }
    void SetPrecision(short value) const {
        if (FV2) reinterpret_cast<ibapi::TXSQLVAR_V2*>(FVar)->sqlprecision = value;
    }
    short BaseType() const { return short(SqlType() & ~1); }
    bool Nullable() const { return (SqlType() & 1) != 0; }

    std::string_view SqlName() const { return Name(&ibapi::TXSQLVAR_V1::sqlname_length, &ibapi::TXSQLVAR_V2::sqlname_length); }
    std::string_view RelName() const { return Name(&ibapi::TXSQLVAR_V1::relname_length, &ibapi::TXSQLVAR_V2::relname_length); }
    std::string_view OwnName() const { return Name(&ibapi::TXSQLVAR_V1::ownname_length, &ibapi::TXSQLVAR_V2::ownname_length); }
    std::string_view AliasName() const { return Name(&ibapi::TXSQLVAR_V1::aliasname_length, &ibapi::TXSQLVAR_V2::aliasname_length); }

private:
    // Each name is its 16-bit length followed by its characters.
    std::string_view Name(short ibapi::TXSQLVAR_V1::*l1, short ibapi::TXSQLVAR_V2::*l2) const;

    std::byte* FVar;
    bool FV2;
};

class TIBSqlDA {
public:
    explicit TIBSqlDA(short version = ibapi::SqldaVersion1);

    // Room for at least count variables; the variables held so far are kept.
    void Reserve(int count);
    ibapi::TXSQLDA* Data() noexcept { return reinterpret_cast<ibapi::TXSQLDA*>(FBuffer.get()); }
    int Capacity() const noexcept { return FCapacity; }             // sqln
    int Count() const noexcept { return Header().sqld; }            // sqld, as the server reports it
    void SetCount(int count) noexcept { Header().sqld = short(count); }
    TIBSqlVar Var(int index) const noexcept {
        return {FBuffer.get() + ibapi::SqldaVarOffset + std::size_t(index) * VarSize(), FVersion == ibapi::SqldaVersion2};
    }
    short Version() const noexcept { return FVersion; }
    std::size_t VarSize() const noexcept {
        return FVersion == ibapi::SqldaVersion2 ? sizeof(ibapi::TXSQLVAR_V2) : sizeof(ibapi::TXSQLVAR_V1);
    }

    static std::size_t Length(short version, int count) {
        std::size_t var = version == ibapi::SqldaVersion2 ? sizeof(ibapi::TXSQLVAR_V2) : sizeof(ibapi::TXSQLVAR_V1);
        return ibapi::SqldaVarOffset + std::size_t(count < 1 ? 1 : count) * var;
    }

private:
    ibapi::TXSQLDA& Header() const noexcept { return *reinterpret_cast<ibapi::TXSQLDA*>(FBuffer.get()); }

    short FVersion;
    int FCapacity = 0;
    std::unique_ptr<std::byte[]> FBuffer;
};

} // namespace vantrelo
