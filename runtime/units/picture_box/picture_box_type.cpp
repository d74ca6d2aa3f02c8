// The picture box type's descriptor, property table and operations.
#include <iterator>

#include "platform/memory/global_memory.h"
#include "runtime/core/type_block.h"
#include "runtime/units/picture_box/picture_box.h"

namespace runtime::units::picture_box {
namespace {

using namespace platform;
namespace dt = data_type;

constexpr auto kProperties = WithCommonProperties({
    OwnProperty(dt::kChoice),   // 8 border
    OwnProperty(dt::kColour),   // 9 background colour
    OwnProperty(dt::kPicture),  // 10 picture bytes
    OwnProperty(dt::kChoice),   // 11 display mode
    OwnProperty(dt::kBool),     // 12 animate
    OwnProperty(dt::kText),     // 13 data source
    OwnProperty(dt::kText),     // 14 data column
});
static_assert(kProperties.size() == 15);

PictureBox* AsBox(UnitObject* unit) { return dynamic_cast<PictureBox*>(unit); }

int32_t SetBoxProperty(UnitObject* unit, int32_t number, const RawValue* value) {
  if (PictureBox* box = AsBox(unit); box && value) box->SetProperty(number, *value);
  return 0;  // a picture box is never re-created
}

int32_t GetBoxProperty(UnitObject* unit, int32_t number, RawValue* value) {
  PictureBox* box = AsBox(unit);
  return box && value && box->GetProperty(number, value) ? 1 : 0;
}

HGLOBAL SaveBoxProperties(UnitObject* unit) {
  PictureBox* box = AsBox(unit);
  return box ? platform::GlobalAllocCopy(platform::GMEM_MOVEABLE, WritePictureBoxBlock(box->Block())) : 0;
}

HGLOBAL VisitBoxTexts(const uint8_t* data, int32_t length, TextVisitor visit, void* context) {
  auto block =
      ReadPictureBoxBlock(std::span<const uint8_t>(data, data && length > 0 ? static_cast<size_t>(length) : 0));
  if (!block) return 0;
  if (visit) {
    for (std::string* text : {&block->dataSource, &block->dataColumn})
      if (const char* replaced = visit(context, text->c_str(), 0)) *text = replaced;
  }
  return platform::GlobalAllocCopy(platform::GMEM_MOVEABLE, WritePictureBoxBlock(*block));
}

}  // namespace

const UnitTypeDescriptor& PictureBoxType() {
  static const UnitTypeDescriptor type{
      "\xCD\xBC\xC6\xAC\xBF\xF2",  // the GBK name
      "PicBox",
      0x840100C0,
      static_cast<int32_t>(kProperties.size()),
      kProperties.data(),
      &UnitOperations<&PictureBox::Create, &SetBoxProperty, &SaveBoxProperties, &GetBoxProperty, &VisitBoxTexts>};
  return type;
}

}  // namespace runtime::units::picture_box
