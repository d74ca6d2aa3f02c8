// What the build writes for a program: its header, its libraries and the
// shapes that units and the runtime share.
#pragma once

#include <cstdint>

#include "platform/types.h"
#include "runtime/core/notify.h"
#include "runtime/core/value.h"

namespace runtime {

// Property descriptors are filled by the windows-and-units layer.
struct PropertyDescriptor;

// Unit-type entry operations.
namespace unit_op {
inline constexpr int32_t kCreate = 1;
inline constexpr int32_t kSetProperty = 4;
inline constexpr int32_t kSaveProperties = 5;
inline constexpr int32_t kGetProperty = 6;
inline constexpr int32_t kKeyQuery = 8;
}  // namespace unit_op

// Maps an operation number to the unit type's function for it, or null.
using UnitTypeEntry = void* (*)(int32_t operation);

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

struct ProgramHeader {
  int32_t programKind = 3;  // 2 marks a debugging build
  int32_t reserved = 0;
  int32_t lastIdSerial = 0;
  const void* codeBase = nullptr;  // event-handler offsets in the form data count from here
  const uint8_t* constantBlock = nullptr;
  uint32_t constantBlockSize = 0;
  const uint8_t* formData = nullptr;
  uint32_t formDataSize = 0;
  int32_t libraryCount = 0;
  const LibraryEntry* const* libraries = nullptr;
  int32_t dllCommandCount = 0;
  const char* const* dllFiles = nullptr;     // per command: file name text (empty = system libraries)
  const char* const* dllRoutines = nullptr;  // per command: routine name, "#n" for an ordinal
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
