#include "runtime/picture/table/load_picture_command.h"

#include "runtime/picture/formats/picture_decode.h"
#include "runtime/picture/table/picture_table.h"

namespace runtime::picture::table {

namespace {

Picture* DecodeArgument(const runtime::ArgRecord& arg) {
  switch (arg.tag) {
    case runtime::TypeByteArray: {
      const void* block = arg.AsPointer<const void>();
      const int32_t length = runtime::ByteArrayLength(block);
      if (!block || length <= 0) return nullptr;
      return DecodePicture(runtime::ByteArrayData(block), length);
    }
    case runtime::TypeText: {
      const char* path = arg.AsText();
      if (!path || !*path) return nullptr;
      return formats::LoadPictureFile(path);
    }
    default: return nullptr;
  }
}

}  // namespace

void LoadPicture(runtime::ArgRecord* result, int32_t count, runtime::ArgRecord* args) {
  uint32_t handle = 0;
  if (count >= 1 && args) {
    PicturePtr picture(DecodeArgument(args[0]));
    if (PictureTable* table = picture ? InstalledPictureTable() : nullptr) handle = table->Register(picture.release());
  }
  if (result) *result = runtime::ArgRecord::Int(static_cast<int32_t>(handle));
}

}  // namespace runtime::picture::table
