#include "runtime/forms/font_property.h"

#include <cstring>
#include <string_view>

#include "platform/gdi/stock_objects.h"
#include "runtime/core/memory.h"

namespace runtime::forms {
namespace {

using platform::LOGFONTA;

constexpr int32_t kLogicalInch = 96;
constexpr int32_t kBoldWeight = 700;
constexpr const char kFallbackFace[] = "\xCB\xCE\xCC\xE5";  // the system's default Song face

int32_t MulDiv(int32_t a, int32_t b, int32_t c) {
  const int64_t product = static_cast<int64_t>(a) * b;
  return static_cast<int32_t>((product + (product >= 0 ? c / 2 : -c / 2)) / c);
}

int32_t PointsOf(const LOGFONTA& f) { return MulDiv(f.lfHeight < 0 ? -f.lfHeight : f.lfHeight, 72, kLogicalInch); }

// A face name that is missing or longer than `longest` gives the fallback.
void SetFace(LOGFONTA& f, const char* face, size_t longest) {
  const std::string_view name = face ? std::string_view(face) : std::string_view();
  const std::string_view chosen = (name.empty() || name.size() > longest) ? std::string_view(kFallbackFace) : name;
  std::memset(f.lfFaceName, 0, sizeof f.lfFaceName);
  std::memcpy(f.lfFaceName, chosen.data(), chosen.size());
}

void SetAngle(LOGFONTA& f, int32_t value) {
  int32_t angle = value % 3600;
  if (angle < 0) angle += 3600;
  f.lfEscapement = f.lfOrientation = angle;
}

}  // namespace

LOGFONTA FontOf(const RawValue& raw) {
  LOGFONTA font;
  if (raw.first && raw.second == static_cast<intptr_t>(sizeof(LOGFONTA)))
    std::memcpy(&font, AddressIn<const void>(raw.first), sizeof font);
  else
    font = platform::gdi::DefaultGuiFont();
  return font;
}

uint64_t FontValue(const RawValue& raw, int32_t selector) {
  const LOGFONTA f = FontOf(raw);
  switch (selector) {
    case 0: return static_cast<uint32_t>(f.lfEscapement);
    case 1: return f.lfWeight >= kBoldWeight ? 1 : 0;
    case 2: return f.lfItalic ? 1 : 0;
    case 3: return f.lfStrikeOut ? 1 : 0;
    case 4: return f.lfUnderline ? 1 : 0;
    case 5: return static_cast<uint32_t>(PointsOf(f));
    case 6: {
      const std::string_view face(f.lfFaceName, strnlen(f.lfFaceName, sizeof f.lfFaceName));
      return AddressPayload(CopyText(face));
    }
    case -1: {
      auto* record = static_cast<FontRecord*>(Allocate(sizeof(FontRecord)));
      *record = FontRecord{f.lfEscapement,
                           f.lfWeight >= kBoldWeight ? 1 : 0,
                           f.lfItalic ? 1 : 0,
                           f.lfStrikeOut ? 1 : 0,
                           f.lfUnderline ? 1 : 0,
                           PointsOf(f),
                           CopyText(std::string_view(f.lfFaceName, strnlen(f.lfFaceName, sizeof f.lfFaceName)))};
      return AddressPayload(record);
    }
    default: return 0;
  }
}

bool ChangeFont(LOGFONTA& f, int32_t selector, uint64_t payload) {
  const auto value = static_cast<int32_t>(payload);
  switch (selector) {
    case 0: SetAngle(f, value); return true;
    case 1: f.lfWeight = value ? kBoldWeight : 0; return true;
    case 2: f.lfItalic = value ? 1 : 0; return true;
    case 3: f.lfStrikeOut = value ? 1 : 0; return true;
    case 4: f.lfUnderline = value ? 1 : 0; return true;
    case 5: f.lfHeight = -MulDiv(value, kLogicalInch, 72); return true;
    case 6: SetFace(f, AddressIn<const char>(payload), 31); return true;
    case -1: {
      const auto* record = AddressIn<const FontRecord>(payload);
      if (!record) return false;
      f = LOGFONTA{};
      SetAngle(f, record->angle);
      f.lfWeight = record->bold ? kBoldWeight : 0;
      f.lfItalic = record->italic ? 1 : 0;
      f.lfStrikeOut = record->strikeOut ? 1 : 0;
      f.lfUnderline = record->underline ? 1 : 0;
      f.lfHeight = -MulDiv(record->points, kLogicalInch, 72);
      f.lfCharSet = 134;  // GB2312
      SetFace(f, record->face, 30);
      return true;
    }
    default: return true;
  }
}

}  // namespace runtime::forms
