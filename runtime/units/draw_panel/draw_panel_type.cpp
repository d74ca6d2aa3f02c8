// The draw panel's descriptor, property table and unit-type operations.
#include <algorithm>
#include <cstring>
#include <span>

#include "platform/memory/global_memory.h"
#include "runtime/core/runtime_calls.h"
#include "runtime/units/draw_panel/draw_panel.h"

namespace runtime::units::draw_panel {
namespace {

using namespace platform;
namespace dt = data_type;

// Common properties, then the panel's own from #8.
constexpr auto kProperties = WithCommonProperties({
    OwnProperty(dt::kChoice),    // 8 border
    OwnProperty(dt::kColour),    // 9 background colour
    OwnProperty(dt::kPicture),   // 10 background picture
    OwnProperty(dt::kChoice),    // 11 background layout
    OwnProperty(dt::kBool),      // 12 auto redraw
    OwnProperty(dt::kChoice),    // 13 scale mode
    OwnProperty(dt::kChoice),    // 14 pen style
    OwnProperty(dt::kChoice),    // 15 drawing mode
    OwnProperty(dt::kInteger),   // 16 pen width
    OwnProperty(dt::kColour),    // 17 pen colour
    OwnProperty(dt::kChoice),    // 18 brush type
    OwnProperty(dt::kColour),    // 19 brush colour
    OwnProperty(dt::kColour),    // 20 text colour
    OwnProperty(dt::kColour),    // 21 text background colour
    OwnProperty(dt::kFont),      // 22 font
    OwnProperty(dt::kPosition),  // 23 drawing width, read only
    OwnProperty(dt::kPosition),  // 24 drawing height, read only
});
static_assert(kProperties.size() == 25);

// Type-specific numbers (property number - 8).
constexpr int32_t kBackgroundPicture = 2;
constexpr int32_t kFont = 14;
constexpr int32_t kDrawingWidth = 15;
constexpr int32_t kDrawingHeight = 16;

// The integer properties: where each lives, its range and what a change does.
enum class Effect { None, Border, Background, Repaint, AutoRedraw, Font, Pen, Brush };
struct IntegerProperty {
  int32_t number;
  int32_t DrawPanelProperties::*field;
  int32_t low, high;  // clamped to this range; low > high: any value
  Effect effect;
};
constexpr IntegerProperty kIntegers[] = {
    {0, &DrawPanelProperties::border, 0, 5, Effect::Border},
    {1, &DrawPanelProperties::background, 1, 0, Effect::Background},
    {3, &DrawPanelProperties::layout, 0, 2, Effect::Repaint},
    {4, &DrawPanelProperties::autoRedraw, 1, 0, Effect::AutoRedraw},
    {5, &DrawPanelProperties::scaleMode, 0, 5, Effect::Font},
    {6, &DrawPanelProperties::penStyle, 0, 6, Effect::Pen},
    {7, &DrawPanelProperties::drawMode, 0, 15, Effect::None},
    {8, &DrawPanelProperties::penWidth, 0, 32767, Effect::Pen},
    {9, &DrawPanelProperties::penColour, 1, 0, Effect::Pen},
    {10, &DrawPanelProperties::brushType, 0, 55, Effect::Brush},
    {11, &DrawPanelProperties::brushColour, 1, 0, Effect::Brush},
    {12, &DrawPanelProperties::textColour, 1, 0, Effect::None},
    {13, &DrawPanelProperties::textBackground, 1, 0, Effect::None},
};

const IntegerProperty* IntegerPropertyOf(int32_t number) {
  for (const IntegerProperty& p : kIntegers)
    if (p.number == number) return &p;
  return nullptr;
}

DrawPanel* AsPanel(UnitObject* unit) { return dynamic_cast<DrawPanel*>(unit); }

void Apply(DrawPanel& panel, Effect effect) {
  switch (effect) {
    case Effect::Border: panel.ApplyBorder(); break;
    case Effect::Background: panel.BackgroundChanged(); break;
    case Effect::Repaint: panel.Repaint(); break;
    case Effect::AutoRedraw: panel.AutoRedrawChanged(); break;
    case Effect::Font: panel.RemakeFont(); break;
    case Effect::Pen: panel.RemakePen(); break;
    case Effect::Brush: panel.RemakeBrush(); break;
    case Effect::None: break;
  }
}

std::vector<uint8_t> BytesOf(const RawValue& value) {
  const std::span<const uint8_t> given = ValueBytes(value);
  return std::vector<uint8_t>(given.begin(), given.end());
}

int32_t SetPanelProperty(UnitObject* object, int32_t number, const RawValue* value) {
  DrawPanel* panel = AsPanel(object);
  if (!panel || !value) return 0;
  DrawPanelProperties& p = panel->MutableProperties();
  if (const IntegerProperty* property = IntegerPropertyOf(number)) {
    int32_t v = static_cast<int32_t>(value->first);
    if (property->low <= property->high) v = std::clamp(v, property->low, property->high);
    // Only the border is applied again when it is set to what it was.
    if (p.*(property->field) == v && property->effect != Effect::Border) return 0;
    p.*(property->field) = v;
    Apply(*panel, property->effect);
  } else if (number == kBackgroundPicture) {
    p.picture = BytesOf(*value);
    panel->BackgroundPictureChanged();
  } else if (number == kFont) {
    p.font = BytesOf(*value);
    panel->RemakeFont();
  }
  return 0;  // the panel is never re-created
}

int32_t GetPanelProperty(UnitObject* object, int32_t number, RawValue* value) {
  DrawPanel* panel = AsPanel(object);
  if (!panel || !value) return 0;
  const DrawPanelProperties& p = panel->Properties();
  if (const IntegerProperty* property = IntegerPropertyOf(number)) {
    value->first = p.*(property->field);
  } else if (number == kBackgroundPicture) {
    *value = BytesValue(p.picture);
  } else if (number == kFont) {
    *value = BytesValue(p.font);
  } else if (number == kDrawingWidth || number == kDrawingHeight) {
    const SIZE size = panel->DrawingSize();
    value->first = number == kDrawingWidth ? size.cx : size.cy;
  } else {
    return 0;
  }
  return 1;
}

HGLOBAL SavePanelProperties(UnitObject* object) {
  DrawPanel* panel = AsPanel(object);
  if (!panel) return 0;
  const std::vector<uint8_t> block = WriteDrawPanelBlock(panel->Properties());
  return GlobalAllocCopy(GMEM_MOVEABLE, block);
}

// The face name of the font is the one text the block names; an answer
// replaces it (cut to what a face name holds).
HGLOBAL RewritePanelBlock(const uint8_t* block, int32_t length, TextVisitor visit, void* context) {
  const size_t size = block && length > 0 ? static_cast<size_t>(length) : 0;
  auto properties = ReadDrawPanelBlock(std::span<const uint8_t>(block, size));
  if (!properties) return 0;
  if (visit && properties->font.size() == sizeof(LOGFONTA)) {
    LOGFONTA font;
    std::memcpy(&font, properties->font.data(), sizeof font);
    font.lfFaceName[sizeof font.lfFaceName - 1] = 0;  // stored bytes need not end the name
    if (const char* replacement = visit(context, font.lfFaceName, 1)) {
      std::memset(font.lfFaceName, 0, sizeof font.lfFaceName);
      std::strncpy(font.lfFaceName, replacement, sizeof font.lfFaceName - 1);
      std::memcpy(properties->font.data(), &font, sizeof font);
    }
  }
  return GlobalAllocCopy(GMEM_MOVEABLE, WriteDrawPanelBlock(*properties));
}

}  // namespace

const UnitTypeDescriptor& DrawPanelType() {
  static const UnitTypeDescriptor type{"\xBB\xAD\xB0\xE5",  // the GBK name
                                       "DrawPanel",
                                       0x800200C0,
                                       static_cast<int32_t>(kProperties.size()),
                                       kProperties.data(),
                                       &UnitOperations<&DrawPanel::Create, &SetPanelProperty, &SavePanelProperties,
                                                       &GetPanelProperty, &RewritePanelBlock>};
  return type;
}

}  // namespace runtime::units::draw_panel
