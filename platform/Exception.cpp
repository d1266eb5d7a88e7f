#include "platform/Exception.h"

#include <utility>

#include "platform/CodePage.h"

namespace vantrelo {

Exception::Exception(std::u16string message)
    : FMessage(std::move(message)), FWhat(UnicodeToUtf8(FMessage)) {}

} // namespace vantrelo
