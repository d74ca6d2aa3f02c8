#include "runtime/forms/unit_types.h"

#include "runtime/core/application.h"

namespace runtime::forms {

const UnitTypeDescriptor* DescriptorOf(uint32_t typeCode) {
  const uint32_t top = typeCode >> 30;
  if (typeCode == 0 || (top != 0 && top != 3) || !App().header) return nullptr;
  return LookupUnitType(*App().header, typeCode);
}

}  // namespace runtime::forms
