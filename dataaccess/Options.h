#pragma once
// Provider options ("MySQL.Charset=latin1"): the list each provider declares, and the
// objects options are applied to.
#include <string>
#include <string_view>
#include <vector>

#include "dataaccess/Variant.h"

namespace vantrelo {

enum TOptionKind { okInteger, okBoolean, okString, okEnumerator };

enum TOptionTarget : unsigned {
    otConnection = 1,  // the provider connection object
    otDataSet = 2,     // the record set behind each query
};

struct TOption {
    std::u16string Name;
    TOptionKind Kind = okString;
    TVariant Default;            // bool, int32 (enumerator: index into EnumValues) or u16string
    int PropCode = 0;            // the provider object's property it sets
    unsigned Targets = otConnection;
    std::vector<std::u16string> EnumValues;  // okEnumerator: the accepted names, in order
    std::u16string OldName;      // older alias, empty if none
};

using TOptionsList = std::vector<TOption>;

// An object that options are applied to. Values arrive as bool (okBoolean), int32
// (okInteger, and okEnumerator as the index of the name) or u16string (okString).
class TPropertyTarget {
public:
    virtual ~TPropertyTarget() = default;
    virtual void SetProp(int prop, const TVariant& value) = 0;
};

} // namespace vantrelo
