// What a notification is: the routine shape every notification entry has,
// the handlers folders above core install for the codes they answer, and the
// codes themselves.
#pragma once

#include <cstdint>

namespace runtime {

// (code, argument 1, argument 2) -> a 32-bit value or a pointer: the shape of
// every notification entry, and of the handlers that folders above core
// (window registry, events, picture table) install for the codes they answer.
using NotifyRoutine = intptr_t (*)(int32_t code, intptr_t arg1, intptr_t arg2);

namespace notify {
inline constexpr int32_t kObjectDestroyed = 2000;
inline constexpr int32_t kValueToInteger = 2001;
inline constexpr int32_t kAlwaysZero = 2002;
inline constexpr int32_t kProgramDirectory = 2003;
inline constexpr int32_t kProgramFileName = 2004;
inline constexpr int32_t kLoadWindow = 2005;
inline constexpr int32_t kFindUnitObject = 2006;
inline constexpr int32_t kFindUnitObjectOrFail = 2007;
inline constexpr int32_t kRaiseEvent = 2008;
inline constexpr int32_t kSuppressEvents = 2009;
inline constexpr int32_t kAllowEvents = 2010;
inline constexpr int32_t kCurrentEvent = 2017;
inline constexpr int32_t kProcessMessages = 2018;
inline constexpr int32_t kRegisterPicture = 2019;
inline constexpr int32_t kReleasePicture = 2020;
inline constexpr int32_t kIsPictureRegistered = 2021;
inline constexpr int32_t kUnitTypeOf = 2022;
inline constexpr int32_t kFreeArray = 2023;
inline constexpr int32_t kAllocate = 2024;
inline constexpr int32_t kFree = 2025;
inline constexpr int32_t kReallocate = 2026;
inline constexpr int32_t kRuntimeError = 2027;
inline constexpr int32_t kEndProgram = 2028;
inline constexpr int32_t kProgramKind = 2030;
inline constexpr int32_t kRaiseEventEx = 2031;
inline constexpr int32_t kWindowCount = 2032;
inline constexpr int32_t kWindowHandleAt = 2033;
inline constexpr int32_t kWindowTable = 1001;
inline constexpr int32_t kUnitTypeDescriptor = 1002;
inline constexpr int32_t kAddIdleRoutine = 1012;
inline constexpr int32_t kRemoveIdleRoutine = 1013;

// Library notification codes the runtime sends.
inline constexpr int32_t kLibraryAttach = 1;
inline constexpr int32_t kLibraryDetach = 6;
}  // namespace notify

}  // namespace runtime
