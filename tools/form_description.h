// The tool's form as data: its one window, the eight units on it and each
// unit type's own property block. formgen turns this into the form data bytes
// the runtime reads at start-up; tests read it to know what to look for.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace formgen {

// Unit type codes: library number in the high half, type number in the low.
inline constexpr uint32_t kWindowType = 0x00010001;
inline constexpr uint32_t kPictureBoxType = 0x00010006;
inline constexpr uint32_t kDrawPanelType = 0x00010008;
inline constexpr uint32_t kDropObjectType = 0x00020001;

// Common flag bits of a unit record.
inline constexpr uint32_t kVisible = 1u << 0;

// COLORREF meaning "the system button-face colour".
inline constexpr uint32_t kSystemColour = 0xFF000000;

// One field of a unit type's property block.
struct Field {
  enum class Kind {
    kInt32,         // 4 bytes, little-endian
    kCountedBytes,  // int32 length, then the bytes; empty is length 0 alone
    kPhotograph,    // counted bytes holding the background photograph file
  };
  Kind kind;
  std::string_view name;        // for error messages and readers of this file
  uint32_t value = 0;           // kInt32, as its 32-bit pattern
  std::string_view bytes = {};  // kCountedBytes
};

constexpr Field Int32(std::string_view name, uint32_t value) { return {Field::Kind::kInt32, name, value}; }
constexpr Field Counted(std::string_view name, std::string_view bytes = {}) {
  return {Field::Kind::kCountedBytes, name, 0, bytes};
}
constexpr Field Photograph(std::string_view name) { return {Field::Kind::kPhotograph, name}; }

inline constexpr std::string_view kTitle = "Tessellon";

inline constexpr Field kWindowBlock[] = {
    Int32("version", 6),
    Int32("border style", 2),               // fixed frame
    Int32("background picture layout", 3),  // stretched over the client area
    Int32("background colour", kSystemColour),
    Int32("maximise button", 0),
    Int32("minimise button", 0),
    Int32("control box", 1),
    Int32("start position", 1),  // centred on the screen
    Int32("movable", 1),
    Int32("sound play mode", 0),
    Int32("Enter moves focus", 0),
    Int32("Esc closes", 0),
    Int32("F1 opens help", 0),
    Int32("help context", 0),
    Int32("show in taskbar", 1),
    Int32("drag by client area", 0),
    Int32("shape", 0),
    Int32("always on top", 0),
    Int32("keep title bar active", 0),
    Counted("class name"),  // empty: the default window class
    Photograph("background picture"),
    Counted("icon"),
    Counted("background sound"),
    Counted("title", kTitle),
    Counted("help file"),
};

inline constexpr Field kPictureBoxBlock[] = {
    Int32("version", 2),      Int32("border", 0),     Int32("background colour", kSystemColour),
    Int32("display mode", 1), Int32("animate", 1),    Counted("picture"),
    Counted("first text"),    Counted("second text"),
};

inline constexpr Field kDrawPanelBlock[] = {
    Int32("version", 1),
    Int32("border", 0),
    Int32("background colour", kSystemColour),
    Int32("background picture layout", 1),
    Int32("auto redraw", 1),
    Int32("scale mode", 0),
    Int32("pen style", 1),
    Int32("draw mode", 12),
    Int32("pen width", 0),
    Int32("pen colour", 0),
    Int32("brush type", 1),
    Int32("brush colour", 0x00FFFFFF),
    Int32("text colour", 0),
    Int32("text background colour", kSystemColour),
    Counted("font"),
    Photograph("background picture"),  // the canvas starts as the photograph
};

inline constexpr Field kDropObjectBlock[] = {
    Int32("version", 1), Int32("flag 1", 0), Int32("flag 2", 0), Int32("flag 3", 0), Int32("flag 4", 1),
};

// An event key bound to a logic routine, by its code offset from the first
// routine (the window creation handler).
struct Binding {
  int32_t event;
  int32_t handler_offset;
};

inline constexpr Binding kCreationBinding[] = {{0, 0}};
// Event 3 of a drop object: files dropped.
inline constexpr Binding kDrop1Binding[] = {{3, 0x1C9}};
inline constexpr Binding kDrop2Binding[] = {{3, 0x52F}};
inline constexpr Binding kDrop3Binding[] = {{3, 0x895}};

// A mouse pointer block whose first int32 is 0: no cursor of its own.
inline constexpr std::string_view kNoMousePointer{"\0\0\0\0", 4};

// One unit record. Members after type_block hold what every unit of this
// form shares; they are spelled out so the writer lays them down from data.
struct Unit {
  uint32_t id;
  uint32_t type;
  std::string_view name;  // GBK bytes, no terminating zero
  int32_t left;
  int32_t top;
  int32_t width;
  int32_t height;
  uint32_t flags;
  int32_t tab_order;
  std::span<const Binding> bindings;
  std::span<const Field> type_block;
  uint32_t event_source = 0;
  std::string_view second_name = {};
  uint32_t parent = 0;
  std::span<const uint32_t> children = {};
  std::string_view mouse_pointer = kNoMousePointer;
  std::string_view tag = {};
};

// Names: 图片框 CD BC C6 AC BF F2, 拖放对象 CD CF B7 C5 B6 D4 CF F3,
// 画板 BB AD B0 E5.
inline constexpr Unit kUnits[] = {
    {0x06010000, kWindowType, "", 50, 50, 501, 501, kVisible, 0, kCreationBinding, kWindowBlock},
    {0x1601000F,
     kPictureBoxType,
     "\xCD\xBC\xC6\xAC\xBF\xF2"
     "3",
     24,
     272,
     182,
     182,
     kVisible,
     0,
     {},
     kPictureBoxBlock},
    {0x1601000E,
     kPictureBoxType,
     "\xCD\xBC\xC6\xAC\xBF\xF2"
     "2",
     272,
     72,
     182,
     182,
     kVisible,
     0,
     {},
     kPictureBoxBlock},
    {0x1601000D,
     kPictureBoxType,
     "\xCD\xBC\xC6\xAC\xBF\xF2"
     "1",
     24,
     72,
     182,
     182,
     kVisible,
     0,
     {},
     kPictureBoxBlock},
    {0x16010008, kDropObjectType,
     "\xCD\xCF\xB7\xC5\xB6\xD4\xCF\xF3"
     "3",
     104, 360, 48, 40, 0, 0, kDrop3Binding, kDropObjectBlock},
    {0x16010007, kDropObjectType,
     "\xCD\xCF\xB7\xC5\xB6\xD4\xCF\xF3"
     "2",
     296, 144, 48, 40, 0, 0, kDrop2Binding, kDropObjectBlock},
    {0x16010006, kDropObjectType,
     "\xCD\xCF\xB7\xC5\xB6\xD4\xCF\xF3"
     "1",
     104, 144, 48, 40, 0, 0, kDrop1Binding, kDropObjectBlock},
    // Lies beyond the window's right edge: the hidden canvas.
    {0x16010005,
     kDrawPanelType,
     "\xBB\xAD\xB0\xE5"
     "1",
     584,
     160,
     2160,
     2160,
     kVisible,
     0,
     {},
     kDrawPanelBlock},
};

struct Window {
  uint32_t id;
  int32_t first_value;
  uint32_t second_value;
  std::string_view first_text;
  std::string_view second_text;
  std::span<const Unit> units;
};

inline constexpr Window kWindows[] = {
    {0x52010001, 0, 0x19010009, "", "", kUnits},
};

}  // namespace formgen
