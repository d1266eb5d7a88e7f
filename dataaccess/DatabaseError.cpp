#include "dataaccess/DatabaseError.h"

namespace vantrelo {

void DatabaseError(const std::u16string& message, const TComponent* component) {
    throw EDatabaseError(component ? component->MessagePrefix() + message : message);
}

} // namespace vantrelo
