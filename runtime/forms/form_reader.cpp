#include <cstring>

#include "runtime/forms/window_definition.h"

namespace runtime::forms {
namespace {

// One sequential pass over the form data; any step past the end stops it.
class FormStream {
 public:
  explicit FormStream(std::span<const uint8_t> data) : data_(data) {}
  bool ok() const { return ok_; }
  bool AtEnd() const { return at_ == data_.size(); }
  uint32_t U32() {
    if (!ok_ || data_.size() - at_ < 4) return Fail(), 0;
    uint32_t v;
    std::memcpy(&v, data_.data() + at_, 4);
    at_ += 4;
    return v;
  }
  // Counted bytes; a length of 0 or less is empty and followed by nothing.
  std::span<const uint8_t> Counted() {
    const auto n = static_cast<int32_t>(U32());
    if (!ok_ || n <= 0) return {};
    if (static_cast<size_t>(n) > data_.size() - at_) return Fail(), std::span<const uint8_t>();
    auto bytes = data_.subspan(at_, static_cast<size_t>(n));
    at_ += static_cast<size_t>(n);
    return bytes;
  }
  std::string CountedText() {
    auto bytes = Counted();
    return std::string(bytes.begin(), bytes.end());
  }

 private:
  void Fail() { ok_ = false; }
  std::span<const uint8_t> data_;
  size_t at_ = 0;
  bool ok_ = true;
};

}  // namespace

std::optional<std::vector<WindowDefinition>> ReadFormData(std::span<const uint8_t> data,
                                                          std::span<const LogicRoutine> routines) {
  FormStream in(data);
  const auto table = in.Counted();
  if (!in.ok() || table.size() % 8 != 0) return std::nullopt;
  const size_t windows = table.size() / 8;
  std::vector<WindowDefinition> definitions;
  definitions.reserve(windows);
  for (size_t w = 0; w < windows; ++w) {
    WindowDefinition definition;
    std::memcpy(&definition.id, table.data() + w * 4, 4);
    definition.firstValue = static_cast<int32_t>(in.U32());
    definition.secondValue = in.U32();
    definition.firstText = in.CountedText();
    definition.secondText = in.CountedText();
    const auto count = static_cast<int32_t>(in.U32());
    const auto list = in.Counted();
    if (!in.ok()) return std::nullopt;
    auto units = UnitList::Parse(std::vector<uint8_t>(list.begin(), list.end()), count);
    if (!units) return std::nullopt;
    definition.units = std::move(*units);
    definitions.push_back(std::move(definition));
  }
  if (!in.AtEnd()) return std::nullopt;

  auto relocate = [&](int32_t stored) -> std::optional<int32_t> {
    if (stored == -1) return 0;
    for (size_t i = 0; i < routines.size(); ++i)
      if (routines[i].offset == stored && routines[i].routine) return static_cast<int32_t>(i + 1);
    return std::nullopt;
  };
  for (WindowDefinition& definition : definitions)
    if (!definition.units.RelocateHandlers(relocate)) return std::nullopt;
  return definitions;
}

}  // namespace runtime::forms
