// The runtime-wide table of pictures handed to the program's logic. Each
// registered picture has a 32-bit handle (0 is none) that the logic holds in
// place of the record's address.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "runtime/core/picture_registry.h"
#include "runtime/picture/picture.h"
#include "runtime/picture/table/shared_decodes.h"

namespace runtime::picture::table {

class PictureTable final : public runtime::PictureRegistry {
 public:
  PictureTable() = default;
  PictureTable(const PictureTable&) = delete;
  PictureTable& operator=(const PictureTable&) = delete;
  ~PictureTable() override;

  // Adds the picture unless it is already there; returns its handle (0 for
  // null).
  uint32_t Register(Picture* picture);
  // Removes and destroys a registered picture; anything else is left alone.
  void Release(Picture* picture);
  bool IsRegistered(const Picture* picture) const;

  uint32_t HandleOf(const Picture* picture) const;
  Picture* PictureOf(uint32_t handle) const;
  size_t Count() const { return entries_.size(); }

  void DestroyAll() override;

  // Decodes of the same bytes share their pixels while any of them lives.
  SharedDecodes& Decodes() { return decodes_; }

 private:
  struct Entry {
    Picture* picture;
    uint32_t handle;
  };
  uint32_t NewHandle() const;

  std::vector<Entry> entries_;  // in order of registration
  uint32_t lastHandle_ = 0;
  SharedDecodes decodes_;
};

// The table the application object owns, or null before it is installed.
PictureTable* InstalledPictureTable();

// Installs a new table into the application object and answers requests
// notify::kRegisterPicture, notify::kReleasePicture and notify::kIsPictureRegistered from it.
void InstallPictureTable();

// A new picture of the bytes, or null; the bytes stay the caller's. While a
// table is installed, bytes decoded again while an earlier picture of them
// lives (a dropped file shown in its box, then loaded for drawing) share its
// pixels instead of decoding twice.
Picture* DecodePicture(const uint8_t* bytes, int64_t length);
// The same for bytes a unit keeps (its picture property): the picture is the
// caller's; null for bytes that do not decode.
PicturePtr DecodeOwnedPicture(std::span<const uint8_t> bytes);

// Handle -> picture for the units that receive handles from the logic; null
// when the handle names no registered picture.
Picture* PictureFromHandle(uint32_t handle);

}  // namespace runtime::picture::table
