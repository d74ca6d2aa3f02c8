// The drop object type's descriptor, property table and operations.
#include <iterator>

#include "platform/memory/global_memory.h"
#include "runtime/units/drop_object/drop_object.h"

namespace runtime::units::drop_object {
namespace {

using namespace platform;
namespace dt = data_type;

// Common properties, then the four accept flags.
constexpr auto kProperties = WithCommonProperties({
    OwnProperty(dt::kBool, "AcceptText"),   // 0
    OwnProperty(dt::kBool, "AcceptHtml"),   // 1
    OwnProperty(dt::kBool, "AcceptUrl"),    // 2
    OwnProperty(dt::kBool, "AcceptFiles"),  // 3
});
static_assert(kProperties.size() == 12);

DropObject* AsDropObject(UnitObject* unit) { return dynamic_cast<DropObject*>(unit); }

int32_t SetDropProperty(UnitObject* object, int32_t number, const RawValue* value) {
  DropObject* unit = AsDropObject(object);
  if (!unit || !value) return 0;
  if (int32_t* flag = unit->Properties().Field(number)) *flag = static_cast<int32_t>(value->first);
  return 0;  // never re-created
}

int32_t GetDropProperty(UnitObject* object, int32_t number, RawValue* value) {
  DropObject* unit = AsDropObject(object);
  int32_t* flag = unit ? unit->Properties().Field(number) : nullptr;
  if (!flag || !value) return 0;
  value->first = *flag;
  return 1;
}

HGLOBAL SaveDropProperties(UnitObject* object) {
  DropObject* unit = AsDropObject(object);
  if (!unit) return 0;
  return GlobalAllocCopy(GMEM_MOVEABLE | GMEM_SHARE, WriteDropProperties(unit->Properties()));
}

}  // namespace

const UnitTypeDescriptor& DropObjectUnitType() {
  static const UnitTypeDescriptor type{
      "\xCD\xCF\xB7\xC5\xB6\xD4\xCF\xF3",  // the GBK name
      "DropTarget",
      0x80008040,
      static_cast<int32_t>(kProperties.size()),
      kProperties.data(),
      &UnitOperations<&DropObject::Create, &SetDropProperty, &SaveDropProperties, &GetDropProperty>};
  return type;
}

}  // namespace runtime::units::drop_object
