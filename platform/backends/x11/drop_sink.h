// What an XDND drag becomes on our side: calls into the platform's drag
// dispatcher, kept behind this small interface so the protocol handling can
// be tested with a recording sink. Effects and key states use the drop
// target's values (copy 1, move 2, link 4; MK_ key bits).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/base/types.h"

namespace platform::x11 {

inline constexpr DWORD kEffectNone = 0;
inline constexpr DWORD kEffectCopy = 1;
inline constexpr DWORD kEffectMove = 2;
inline constexpr DWORD kEffectLink = 4;

// What the source offers, known before its data arrives.
struct DragOffer {
  bool files = false;  // text/uri-list
  bool text = false;   // UTF-8 text
};

struct DroppedData {
  std::vector<std::string> files;  // local paths, bytes as the file system has them
  std::string text;                // UTF-8
};

class DropSink {
 public:
  virtual ~DropSink() = default;
  // The drag is at `screen`: returns the effect the target there chose.
  virtual DWORD Move(const DragOffer& offer, POINT screen, DWORD keys, DWORD allowed) = 0;
  // The data arrived: drops it where the last move was; returns the effect
  // performed, kEffectNone when nothing was dropped.
  virtual DWORD Drop(const DroppedData& data, DWORD keys, DWORD allowed) = 0;
  // The drag left, was refused or its data never came.
  virtual void Leave() = 0;
};

// The platform's drag dispatcher.
std::unique_ptr<DropSink> MakeDispatcherSink();

}  // namespace platform::x11
