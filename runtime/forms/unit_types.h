// Unit type lookup (notify::kUnitTypeDescriptor) and the operations of a type's entry.
#pragma once

#include <cstdint>

#include "runtime/core/program.h"

namespace runtime::forms {

// Type flag bits the runtime tests.
namespace type_flag {
inline constexpr uint32_t kRaisesEvents = 0x04 | 0x40;
inline constexpr uint32_t kNeverRecreated = 0x10;
inline constexpr uint32_t kMovesChildrenOnRecreate = 0x80;
inline constexpr uint32_t kPagedContainer = 0x100;
inline constexpr uint32_t kNonVisual = 0x8000;
inline constexpr uint32_t kNoTabFocus = 0x10000;
inline constexpr uint32_t kTellParentOnRecreate = 0x100000;
}  // namespace type_flag

// The descriptor of a unit type code, or null: the code must be non-zero with
// its top two bits 00 or 11, and name a type slot of a library.
const UnitTypeDescriptor* DescriptorOf(uint32_t typeCode);

// The type's function for an operation, or null.
template <class Op>
Op OperationOf(const UnitTypeDescriptor* type, int32_t operation) {
  if (!type || !type->entry) return nullptr;
  return RoutineAt<Op>(type->entry(operation));
}

}  // namespace runtime::forms
