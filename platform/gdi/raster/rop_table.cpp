#include "platform/gdi/raster/rop_table.h"

#include <algorithm>

namespace platform::gdi {

namespace {

// Truth tables over (P << 2 | S << 1 | D) of the three inputs.
constexpr uint8_t kTruthD = 0xAA;
constexpr uint8_t kTruthS = 0xCC;
constexpr uint8_t kTruthP = 0xF0;

enum class Node : uint8_t { None, D, S, P, Zero, Ones, Not, And, Or, Xor };

struct Expr {
  Node node = Node::None;
  uint8_t left = 0;
  uint8_t right = 0;
  uint8_t cost = 0xFF;
};

// Cheapest expression tree for every truth table: relax until no function
// gets a cheaper form (a fixed point reached in a handful of passes).
constexpr std::array<Expr, 256> BuildExpressions() {
  std::array<Expr, 256> e{};
  e[0x00] = {Node::Zero, 0, 0, 1};
  e[0xFF] = {Node::Ones, 0, 0, 1};
  e[kTruthD] = {Node::D, 0, 0, 1};
  e[kTruthS] = {Node::S, 0, 0, 1};
  e[kTruthP] = {Node::P, 0, 0, 1};
  bool changed = true;
  while (changed) {
    changed = false;
    for (int f = 0; f < 256; ++f) {
      if (e[f].cost == 0xFF) continue;
      const uint8_t notF = static_cast<uint8_t>(~f);
      if (e[f].cost + 1 < e[notF].cost) {
        e[notF] = {Node::Not, static_cast<uint8_t>(f), 0, static_cast<uint8_t>(e[f].cost + 1)};
        changed = true;
      }
      for (int g = f; g < 256; ++g) {
        if (e[g].cost == 0xFF) continue;
        const int c = e[f].cost + e[g].cost + 1;
        if (c >= 0xFF) continue;
        const uint8_t results[3] = {static_cast<uint8_t>(f & g), static_cast<uint8_t>(f | g),
                                    static_cast<uint8_t>(f ^ g)};
        const Node nodes[3] = {Node::And, Node::Or, Node::Xor};
        for (int k = 0; k < 3; ++k) {
          if (c < e[results[k]].cost) {
            e[results[k]] = {nodes[k], static_cast<uint8_t>(f), static_cast<uint8_t>(g), static_cast<uint8_t>(c)};
            changed = true;
          }
        }
      }
    }
  }
  return e;
}

struct Emitter {
  const std::array<Expr, 256>& e;
  RopProgram program{};
  int depth = 0;
  int maxDepth = 0;
  bool overflow = false;

  constexpr int Need(uint8_t f) const {  // stack slots needed to evaluate f
    const Expr& x = e[f];
    switch (x.node) {
      case Node::Not: return Need(x.left);
      case Node::And:
      case Node::Or:
      case Node::Xor: {
        const int a = Need(x.left), b = Need(x.right);
        return a == b ? a + 1 : std::max(a, b);
      }
      default: return 1;
    }
  }
  constexpr void Push(RopStep s, int delta) {
    if (program.length == kMaxRopSteps) {
      overflow = true;
      return;
    }
    program.steps[program.length++] = s;
    depth += delta;
    maxDepth = std::max(maxDepth, depth);
  }
  constexpr void Emit(uint8_t f) {
    const Expr& x = e[f];
    switch (x.node) {
      case Node::D:
        Push(RopStep::PushD, 1);
        program.usesD = true;
        break;
      case Node::S:
        Push(RopStep::PushS, 1);
        program.usesS = true;
        break;
      case Node::P:
        Push(RopStep::PushP, 1);
        program.usesP = true;
        break;
      case Node::Zero: Push(RopStep::PushZero, 1); break;
      case Node::Ones: Push(RopStep::PushOnes, 1); break;
      case Node::Not:
        Emit(x.left);
        Push(RopStep::Not, 0);
        break;
      case Node::None: break;
      default: {
        // Deeper operand first keeps the stack shallow; all three are commutative.
        if (Need(x.left) >= Need(x.right)) {
          Emit(x.left);
          Emit(x.right);
        } else {
          Emit(x.right);
          Emit(x.left);
        }
        Push(x.node == Node::And ? RopStep::And : x.node == Node::Or ? RopStep::Or : RopStep::Xor, -1);
      }
    }
  }
};

struct Table {
  std::array<RopProgram, 256> programs{};
  size_t longest = 0;
  int deepest = 0;
};

constexpr Table BuildTable() {
  const std::array<Expr, 256> e = BuildExpressions();
  Table t{};
  for (int f = 0; f < 256; ++f) {
    Emitter em{e};
    em.Emit(static_cast<uint8_t>(f));
    if (em.maxDepth > static_cast<int>(kMaxRopStack)) em.program.length = 0;
    t.programs[f] = em.program;
    t.longest = std::max<size_t>(t.longest, em.overflow ? kMaxRopSteps + 1 : em.program.length);
    t.deepest = std::max(t.deepest, em.maxDepth);
  }
  return t;
}

// Built on first use (a few hundred microseconds) and read-only afterwards;
// compile-time evaluation would pass the compiler's constexpr budget.
const Table& TheTable() {
  static const Table table = BuildTable();
  return table;
}

}  // namespace

const RopProgram& RopFor(uint8_t index) { return TheTable().programs[index]; }

size_t LongestRopProgram() { return TheTable().longest; }
size_t DeepestRopStack() { return static_cast<size_t>(TheTable().deepest); }

uint8_t RopIndexForRop2(int rop2) {
  if (rop2 < 1 || rop2 > 16) return 0;
  // R2 codes minus one are truth tables over (P << 1 | D); the source is a
  // don't-care, so each entry is repeated for S = 0 and S = 1.
  const unsigned table = static_cast<unsigned>(rop2 - 1);
  uint8_t index = 0;
  for (unsigned p = 0; p < 2; ++p)
    for (unsigned s = 0; s < 2; ++s)
      for (unsigned d = 0; d < 2; ++d)
        if (table >> (p << 1 | d) & 1u) index |= static_cast<uint8_t>(1u << (p << 2 | s << 1 | d));
  return index;
}

void RunRop(const RopProgram& program, uint32_t* d, const uint32_t* s, const uint32_t* p, size_t n) {
  constexpr size_t kChunk = 256;
  uint32_t stack[kMaxRopStack][kChunk];
  for (size_t start = 0; start < n; start += kChunk) {
    const size_t count = std::min(kChunk, n - start);
    int top = -1;
    for (size_t i = 0; i < program.length; ++i) {
      switch (program.steps[i]) {
        case RopStep::PushD: std::copy_n(d + start, count, stack[++top]); break;
        case RopStep::PushS: std::copy_n(s + start, count, stack[++top]); break;
        case RopStep::PushP: std::copy_n(p + start, count, stack[++top]); break;
        case RopStep::PushZero: std::fill_n(stack[++top], count, 0u); break;
        case RopStep::PushOnes: std::fill_n(stack[++top], count, ~0u); break;
        case RopStep::Not:
          for (size_t k = 0; k < count; ++k) stack[top][k] = ~stack[top][k];
          break;
        case RopStep::And:
          for (size_t k = 0; k < count; ++k) stack[top - 1][k] &= stack[top][k];
          --top;
          break;
        case RopStep::Or:
          for (size_t k = 0; k < count; ++k) stack[top - 1][k] |= stack[top][k];
          --top;
          break;
        case RopStep::Xor:
          for (size_t k = 0; k < count; ++k) stack[top - 1][k] ^= stack[top][k];
          --top;
          break;
      }
    }
    std::copy_n(stack[0], count, d + start);
  }
}

}  // namespace platform::gdi
