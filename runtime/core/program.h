// What the build writes for a program: its header, its libraries and the
// shapes that units and the runtime share.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "platform/base/types.h"
#include "runtime/core/notification.h"
#include "runtime/core/value.h"

namespace runtime {

// One entry of a unit type's property table, entry n for property n.
struct PropertyDescriptor {
  const char* name = nullptr;
  const char* englishName = nullptr;
  uint16_t dataType = 0;  // a data type code below
  uint16_t flags = 0;
};

// The eight common properties carry 0xE000, a type's own 0x8000.
constexpr PropertyDescriptor CommonProperty(uint16_t dataType) { return {nullptr, nullptr, dataType, 0xE000}; }
constexpr PropertyDescriptor OwnProperty(uint16_t dataType, const char* englishName = nullptr) {
  return {nullptr, englishName, dataType, 0x8000};
}

// Property data type codes.
namespace data_type {
inline constexpr uint16_t kInteger = 1000;
inline constexpr uint16_t kPosition = 1001;
inline constexpr uint16_t kWide = 1002;
inline constexpr uint16_t kBool = 1003;
inline constexpr uint16_t kWide2 = 1004;
inline constexpr uint16_t kText = 1005;
inline constexpr uint16_t kChoice = 1006;
inline constexpr uint16_t kPicture = 1009;
inline constexpr uint16_t kIcon = 1010;
inline constexpr uint16_t kMousePointer = 1011;
inline constexpr uint16_t kSound = 1012;
inline constexpr uint16_t kFont = 1013;
inline constexpr uint16_t kOtherInteger = 1014;
inline constexpr uint16_t kOtherInteger2 = 1015;
inline constexpr uint16_t kOtherText = 1016;
inline constexpr uint16_t kColour = 1017;
inline constexpr uint16_t kOtherBytes = 1023;
inline constexpr uint16_t kOtherBytes2 = 1024;
// Codes outside this range carry nothing between the caller and the unit.
inline constexpr uint16_t kFirst = kInteger;
inline constexpr uint16_t kLast = kOtherBytes2;
}  // namespace data_type

// A type's property table: the eight common properties (left, top, width,
// height, tag, visible, disabled, mouse pointer), then the type's own.
template <size_t N>
constexpr std::array<PropertyDescriptor, 8 + N> WithCommonProperties(const PropertyDescriptor (&own)[N]) {
  std::array<PropertyDescriptor, 8 + N> table{
      CommonProperty(data_type::kPosition), CommonProperty(data_type::kPosition),
      CommonProperty(data_type::kPosition), CommonProperty(data_type::kPosition),
      CommonProperty(data_type::kText),     CommonProperty(data_type::kBool),
      CommonProperty(data_type::kBool),     CommonProperty(data_type::kMousePointer)};
  for (size_t i = 0; i < N; ++i) table[8 + i] = own[i];
  return table;
}

// A property value in the form unit types exchange it: two words. Byte data
// is (address, length), a text is (address, 0), a font (LOGFONT address, 60),
// a 64-bit value (low half, high half), anything else the first word.
struct RawValue {
  intptr_t first = 0;
  intptr_t second = 0;
};

class UnitObject;

// Unit-type entry operations.
namespace unit_op {
inline constexpr int32_t kCreate = 1;
inline constexpr int32_t kSetProperty = 4;
inline constexpr int32_t kSaveProperties = 5;
inline constexpr int32_t kGetProperty = 6;
inline constexpr int32_t kKeyQuery = 8;
inline constexpr int32_t kVisitTexts = 9;
}  // namespace unit_op

// The operations' shapes.
struct CreateParams {
  const uint8_t* block = nullptr;  // the type block
  int32_t blockLength = 0;
  uint32_t style = 0;
  platform::HWND parent = 0;  // parent window, or owner for the window itself
  int32_t controlId = 0;
  platform::HMENU menu = 0;
  int32_t x = 0, y = 0, width = 0, height = 0;
  WindowId window = 0;
  UnitId unit = 0;
  int32_t designer = 0;
};
using CreateUnitOp = UnitObject* (*)(const CreateParams& params);
// Returns 1 when the unit must be re-created.
using SetPropertyOp = int32_t (*)(UnitObject* unit, int32_t number, const RawValue* value);
// The unit's current type block as a movable global memory block, or 0.
using SavePropertiesOp = platform::HGLOBAL (*)(UnitObject* unit);
// Returns 1 when answered.
using GetPropertyOp = int32_t (*)(UnitObject* unit, int32_t number, RawValue* value);
// Returns 1 when the unit handles the key (a virtual-key code) itself, so
// its window leaves it alone.
using KeyQueryOp = int32_t (*)(UnitObject* unit, int32_t key);

// Shown each text a type block holds, in stored order, with a flag (0 for a
// plain text); a non-null answer replaces the text (read before the next call).
using TextVisitor = const char* (*)(void* context, const char* text, int32_t flag);
// Reads the given type block, shows its texts to `visit` and returns the
// block saved again as a movable global memory block; 0 for a block the type
// does not accept.
using VisitTextsOp = platform::HGLOBAL (*)(const uint8_t* block, int32_t length, TextVisitor visit, void* context);

// Maps an operation number to the unit type's function for it, or null.
using UnitTypeEntry = void* (*)(int32_t operation);

// The entry of a unit type that serves the operations above; a type without
// text visiting leaves the last one out.
template <CreateUnitOp kCreate, SetPropertyOp kSet, SavePropertiesOp kSave, GetPropertyOp kGet,
          VisitTextsOp kVisit = nullptr>
void* UnitOperations(int32_t operation) {
  switch (operation) {
    case unit_op::kCreate: return RoutineAddress(kCreate);
    case unit_op::kSetProperty: return RoutineAddress(kSet);
    case unit_op::kSaveProperties: return RoutineAddress(kSave);
    case unit_op::kGetProperty: return RoutineAddress(kGet);
    case unit_op::kVisitTexts: return RoutineAddress(kVisit);
    default: return nullptr;
  }
}

struct UnitTypeDescriptor {
  const char* name = nullptr;         // ANSI; null for a slot the program does not use
  const char* englishName = nullptr;  // "window", "PicBox", ...
  uint32_t typeFlags = 0;
  int32_t propertyCount = 0;
  const PropertyDescriptor* properties = nullptr;
  UnitTypeEntry entry = nullptr;
};

inline constexpr uint32_t kLibraryMagic = 0x01312D71;  // "q-1" then 0x01

struct LibraryEntry {
  uint32_t magic = kLibraryMagic;
  const char* identifier = nullptr;
  int32_t version[3] = {0, 0, 0};  // major, minor, build
  int32_t furtherVersions[4] = {0, 0, 0, 0};
  const char* displayName = nullptr;
  uint32_t flags = 0;
  int32_t unitTypeCount = 0;
  const UnitTypeDescriptor* unitTypes = nullptr;
  int32_t commandCount = 0;
  const CommandRoutine* commands = nullptr;
  NotifyRoutine notify = nullptr;
};

// A logic routine bound to events. Each argument arrives widened to 64 bits
// (a reference as the variable's address); a routine that returns a result
// sets hasResult.
struct HandlerCall {
  int32_t count = 0;
  uint64_t arguments[12] = {};
  bool hasResult = false;
  int64_t result = 0;
};
using HandlerRoutine = void (*)(HandlerCall& call);

// The program's routines that the form data binds, keyed by their offset from
// the code base.
struct LogicRoutine {
  int32_t offset = 0;
  HandlerRoutine routine = nullptr;
};

struct ProgramHeader {
  int32_t programKind = 3;  // 2 marks a debugging build
  int32_t reserved = 0;
  int32_t lastIdSerial = 0;
  const uint8_t* constantBlock = nullptr;
  uint32_t constantBlockSize = 0;
  const uint8_t* formData = nullptr;
  uint32_t formDataSize = 0;
  int32_t libraryCount = 0;
  const LibraryEntry* const* libraries = nullptr;
  int32_t dllCommandCount = 0;
  const char* const* dllFiles = nullptr;     // per command: file name text (empty = system libraries)
  const char* const* dllRoutines = nullptr;  // per command: routine name, "#n" for an ordinal
  const LogicRoutine* routines = nullptr;
  int32_t routineCount = 0;
};

// The type record of a library type tag, or null when the tag's library or
// type number is out of range.
const UnitTypeDescriptor* LookupUnitType(const ProgramHeader& header, TypeTag tag);

// Event records. Arguments are pointer-wide so that a variable's address fits.
struct EventRecord {
  WindowId window = 0;
  UnitId unit = 0;
  int32_t key = 0;
  int32_t argumentCount = 0;
  intptr_t arguments[5] = {};
  int32_t resultFlag = 0;
  int32_t result = 0;
};

struct EventArgument {
  uint64_t value = 0;
  TypeTag tag = 0;
  uint32_t flags = 0;  // bit 0: pass the first word (a reference); bit 1: both words
};

struct EventRecordEx {
  WindowId window = 0;
  UnitId unit = 0;
  int32_t key = 0;
  int32_t argumentCount = 0;
  EventArgument arguments[12] = {};
  int32_t resultFlag = 0;
  int64_t result = 0;
};

// A live unit or window object as the runtime sees it.
class UnitObject {
 public:
  virtual ~UnitObject() = default;
  virtual platform::HWND WindowHandle() const = 0;
  // Offered each message before dispatch; true consumes it.
  virtual bool PreTranslateMessage(const void* /*msg*/) { return false; }
};

}  // namespace runtime
