// Raster operations as data. Each of the 256 ternary operations is turned,
// once on first use, into the shortest program of stack steps over
// whole rows: push destination, source or pattern, then NOT, AND, OR, XOR.
// The blit kernels run the program over a chunk of pixels at a time, so
// every operation costs a few vectorisable loops and no per-pixel branching.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace platform::gdi {

enum class RopStep : uint8_t { PushD, PushS, PushP, PushZero, PushOnes, Not, And, Or, Xor };

inline constexpr size_t kMaxRopSteps = 16;
inline constexpr size_t kMaxRopStack = 4;

struct RopProgram {
  std::array<RopStep, kMaxRopSteps> steps{};
  uint8_t length = 0;
  bool usesD = false;
  bool usesS = false;
  bool usesP = false;
};

// Program for a ternary operation index (the middle byte of a raster code).
const RopProgram& RopFor(uint8_t index);

// The ternary index of a whole raster code.
constexpr uint8_t RopIndex(uint32_t rop) { return static_cast<uint8_t>(rop >> 16); }

// The ternary index that applies a binary (pen) operation R2_* with the pen
// as pattern; 0 for codes outside 1..16.
uint8_t RopIndexForRop2(int rop2);

// Sizes of the built table; the table must fit the fixed arrays above.
size_t LongestRopProgram();
size_t DeepestRopStack();

// Runs `program` over n pixels. d is read and overwritten with the result;
// s and p may be null when the program does not use them.
void RunRop(const RopProgram& program, uint32_t* d, const uint32_t* s, const uint32_t* p, size_t n);

}  // namespace platform::gdi
