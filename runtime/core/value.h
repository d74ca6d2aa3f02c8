// Typed values as they cross between the program's logic, the runtime and its
// libraries: a 64-bit payload with a 32-bit type tag.
#pragma once

#include <concepts>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <type_traits>

namespace runtime {

using TypeTag = uint32_t;
using WindowId = int32_t;
using UnitId = int32_t;

inline constexpr TypeTag TypeNone = 0;
inline constexpr TypeTag TypeByte = 0x80000101;
inline constexpr TypeTag TypeShort = 0x80000201;
inline constexpr TypeTag TypeInt = 0x80000301;
inline constexpr TypeTag TypeInt64 = 0x80000401;
inline constexpr TypeTag TypeFloat = 0x80000501;
inline constexpr TypeTag TypeDouble = 0x80000601;
inline constexpr TypeTag TypeBool = 0x80000002;
inline constexpr TypeTag TypeDateTime = 0x80000003;
inline constexpr TypeTag TypeText = 0x80000004;
inline constexpr TypeTag TypeByteArray = 0x80000005;
// Only the generic event-argument passing uses it; it travels like TypeInt64.
inline constexpr TypeTag TypeWide = 0x80000008;

// Array element tags may carry this flag; type tests ignore it.
inline constexpr TypeTag TypeArrayFlag = 0x20000000;

enum class TypeClass { None, Basic, UserDefined, Library };

constexpr TypeClass ClassOf(TypeTag tag) {
  if (tag == 0) return TypeClass::None;
  if (tag >= 0x80000000u && tag <= 0xBFFFFFFFu) return TypeClass::Basic;
  if (tag >= 0x40000000u && tag <= 0x7FFFFFFFu) return TypeClass::UserDefined;
  return TypeClass::Library;
}

constexpr uint16_t LibraryNumberOf(TypeTag tag) { return static_cast<uint16_t>(tag >> 16); }
constexpr uint16_t TypeNumberOf(TypeTag tag) { return static_cast<uint16_t>(tag & 0xFFFF); }

// One value: 12 bytes, payload first. Texts and byte arrays keep a full
// pointer in the payload (the process is 64-bit).
// A runtime word that carries an address (a value's payload, a notification
// argument or answer, a property value, a window's data), and back. Words are
// pointer-wide inside the process, so an address always fits; these are the
// only places the runtime turns the one into the other.
template <class T>
intptr_t AddressWord(T* address) {
  return reinterpret_cast<intptr_t>(address);
}
template <class T>
uint64_t AddressPayload(T* address) {
  return static_cast<uint64_t>(reinterpret_cast<uintptr_t>(address));
}
template <class T, std::integral Word>
T* AddressIn(Word word) {
  return reinterpret_cast<T*>(static_cast<uintptr_t>(word));
}
// The same for a routine's address, as a word or as the untyped address a
// unit type's entry hands out.
template <class Routine>
requires std::is_function_v<std::remove_pointer_t<Routine>> Routine RoutineIn(intptr_t word) {
  return reinterpret_cast<Routine>(word);
}
template <class Routine>
requires std::is_function_v<std::remove_pointer_t<Routine>>
void* RoutineAddress(Routine routine) { return reinterpret_cast<void*>(routine); }
template <class Routine>
requires std::is_function_v<std::remove_pointer_t<Routine>> Routine RoutineAt(void* address) {
  return reinterpret_cast<Routine>(address);
}

#pragma pack(push, 4)
struct ArgRecord {
  uint64_t payload = 0;
  TypeTag tag = TypeNone;

  static ArgRecord Int(int32_t v) { return {static_cast<uint32_t>(v), TypeInt}; }
  static ArgRecord Int64(int64_t v) { return {static_cast<uint64_t>(v), TypeInt64}; }
  static ArgRecord Bool(bool v) { return {v ? 1u : 0u, TypeBool}; }
  static ArgRecord Byte(uint8_t v) { return {v, TypeByte}; }
  static ArgRecord Short(int16_t v) { return {static_cast<uint16_t>(v), TypeShort}; }
  static ArgRecord Float(float v) {
    uint32_t bits;
    std::memcpy(&bits, &v, 4);
    return {bits, TypeFloat};
  }
  static ArgRecord Double(double v, TypeTag tag = TypeDouble) {
    uint64_t bits;
    std::memcpy(&bits, &v, 8);
    return {bits, tag};
  }
  static ArgRecord DateTime(double v) { return Double(v, TypeDateTime); }
  static ArgRecord Pointer(const void* p, TypeTag tag) { return {AddressPayload(p), tag}; }
  static ArgRecord Text(const char* text) { return Pointer(text, TypeText); }
  static ArgRecord Bytes(const void* byteArray) { return Pointer(byteArray, TypeByteArray); }
  // A unit reference: window id in the low word, unit id in the high word.
  static ArgRecord UnitRef(TypeTag unitType, WindowId w, UnitId u) {
    return {static_cast<uint32_t>(w) | (static_cast<uint64_t>(static_cast<uint32_t>(u)) << 32), unitType};
  }

  uint32_t Low() const { return static_cast<uint32_t>(payload); }
  uint32_t High() const { return static_cast<uint32_t>(payload >> 32); }
  int32_t AsInt() const { return static_cast<int32_t>(Low()); }
  bool AsBool() const { return Low() != 0; }
  float AsFloat() const {
    uint32_t bits = Low();
    float f;
    std::memcpy(&f, &bits, 4);
    return f;
  }
  double AsDouble() const {
    uint64_t bits = payload;
    double d;
    std::memcpy(&d, &bits, 8);
    return d;
  }
  template <typename T>
  T* AsPointer() const {
    return AddressIn<T>(payload);
  }
  const char* AsText() const { return AsPointer<const char>(); }
  WindowId RefWindow() const { return static_cast<WindowId>(Low()); }
  UnitId RefUnit() const { return static_cast<UnitId>(High()); }
};
#pragma pack(pop)
static_assert(sizeof(ArgRecord) == 12);

// The shape of every command and unit method.
using CommandRoutine = void (*)(ArgRecord* result, int32_t count, ArgRecord* args);

// Byte array block: int32 dimension count (1), int32 length, then the bytes.
// Null is the empty byte array.
inline constexpr size_t kByteArrayHeader = 8;

inline int32_t ByteArrayLength(const void* block) {
  if (!block) return 0;
  int32_t length;
  std::memcpy(&length, static_cast<const uint8_t*>(block) + 4, 4);
  return length;
}
inline const uint8_t* ByteArrayData(const void* block) { return static_cast<const uint8_t*>(block) + kByteArrayHeader; }

// A text: NUL-terminated ANSI bytes; null is the empty text.
inline std::string_view TextView(const char* text) { return text ? std::string_view(text) : std::string_view(); }

}  // namespace runtime
