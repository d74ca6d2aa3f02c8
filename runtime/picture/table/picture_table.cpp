#include "runtime/picture/table/picture_table.h"

#include <algorithm>
#include <memory>
#include <span>

#include "runtime/core/notify.h"
#include "runtime/core/value.h"
#include "runtime/picture/formats/picture_decode.h"

namespace runtime::picture::table {

PictureTable::~PictureTable() { DestroyAll(); }

uint32_t PictureTable::NewHandle() const {
  // Counting up keeps a released handle from naming a later picture until
  // the count wraps; after a wrap, handles still in use are passed over.
  uint32_t handle = lastHandle_;
  for (;;) {
    ++handle;
    if (handle == 0) continue;
    const bool taken =
        std::any_of(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.handle == handle; });
    if (!taken) return handle;
  }
}

uint32_t PictureTable::Register(Picture* picture) {
  if (!picture) return 0;
  if (const uint32_t existing = HandleOf(picture)) return existing;
  const uint32_t handle = NewHandle();
  entries_.push_back({picture, handle});
  lastHandle_ = handle;
  return handle;
}

void PictureTable::Release(Picture* picture) {
  auto it = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.picture == picture; });
  if (it == entries_.end() || !picture) return;
  entries_.erase(it);
  DestroyPicture(picture);
}

bool PictureTable::IsRegistered(const Picture* picture) const { return HandleOf(picture) != 0; }

uint32_t PictureTable::HandleOf(const Picture* picture) const {
  if (!picture) return 0;
  for (const Entry& e : entries_) {
    if (e.picture == picture) return e.handle;
  }
  return 0;
}

Picture* PictureTable::PictureOf(uint32_t handle) const {
  if (handle == 0) return nullptr;
  for (const Entry& e : entries_) {
    if (e.handle == handle) return e.picture;
  }
  return nullptr;
}

void PictureTable::DestroyAll() {
  std::vector<Entry> entries;
  entries.swap(entries_);
  for (const Entry& e : entries) DestroyPicture(e.picture);
}

PictureTable* InstalledPictureTable() { return dynamic_cast<PictureTable*>(runtime::InstalledPictureRegistry()); }

Picture* PictureFromHandle(uint32_t handle) {
  const PictureTable* table = InstalledPictureTable();
  return table ? table->PictureOf(handle) : nullptr;
}

namespace {

PicturePtr DecodeBytes(std::span<const uint8_t> bytes) {
  MemorySource source(bytes);
  return formats::DecodePictureFrom(source, DecodeLimits{});
}

}  // namespace

Picture* DecodePicture(const uint8_t* bytes, int64_t length) {
  if (!bytes || length < 8) return nullptr;
  const std::span<const uint8_t> span(bytes, static_cast<size_t>(length));
  if (PictureTable* table = InstalledPictureTable()) return table->Decodes().Decode(span, DecodeBytes).release();
  return DecodeBytes(span).release();
}

PicturePtr DecodeOwnedPicture(std::span<const uint8_t> bytes) {
  return PicturePtr(DecodePicture(bytes.data(), static_cast<int64_t>(bytes.size())));
}

namespace {

intptr_t AnswerPictureRequest(int32_t code, intptr_t arg1, intptr_t) {
  PictureTable* table = InstalledPictureTable();
  auto* picture = AddressIn<Picture>(arg1);
  if (!table) return 0;
  switch (code) {
    case notify::kRegisterPicture: table->Register(picture); return 0;
    case notify::kReleasePicture: table->Release(picture); return 0;
    case notify::kIsPictureRegistered: return table->IsRegistered(picture) ? 1 : 0;
    default: return 0;
  }
}

}  // namespace

void InstallPictureTable() {
  runtime::InstallPictureRegistry(std::make_unique<PictureTable>());
  runtime::InstallNotificationHandler(notify::kRegisterPicture, AnswerPictureRequest);
  runtime::InstallNotificationHandler(notify::kReleasePicture, AnswerPictureRequest);
  runtime::InstallNotificationHandler(notify::kIsPictureRegistered, AnswerPictureRequest);
}

}  // namespace runtime::picture::table
