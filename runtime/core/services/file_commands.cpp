#include "runtime/core/services/file_commands.h"

#include <cstdlib>
#include <cstring>
#include <limits>

#include "platform/files/files.h"
#include "runtime/core/byte_array_views.h"
#include "runtime/core/memory.h"
#include "runtime/core/notify.h"
#include "runtime/core/program.h"
#include "runtime/core/runtime_calls.h"

namespace runtime::services {
namespace {

using namespace platform;

const char* PathArgument(int32_t count, const ArgRecord* args) {
  return count >= 1 && args ? args[0].AsText() : nullptr;
}

// Closes a file handle on every path out of a command.
class OpenFile {
 public:
  explicit OpenFile(HANDLE handle) : handle_(handle) {}
  ~OpenFile() {
    if (valid()) CloseHandle(handle_);
  }
  OpenFile(const OpenFile&) = delete;
  OpenFile& operator=(const OpenFile&) = delete;
  bool valid() const { return handle_ != INVALID_HANDLE; }
  HANDLE get() const { return handle_; }
  // Closes now; false when the OS reports the close failed.
  bool Close() {
    HANDLE h = handle_;
    handle_ = INVALID_HANDLE;
    return CloseHandle(h) != FALSE;
  }

 private:
  HANDLE handle_;
};

// The bytes of a whole file, or null when it cannot be read.
void* ReadWholeFile(const char* path) {
  if (TextView(path).empty()) return nullptr;
  OpenFile file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING));
  if (!file.valid()) return nullptr;
  int64_t length = GetFileSizeEx(file.get());
  // A byte array holds at most 2^31 - 1 bytes; a larger file is not read.
  if (length <= 0 || length > std::numeric_limits<int32_t>::max()) return nullptr;
  // A large file is held once however many owners its bytes get.
  if (static_cast<size_t>(length) >= ByteArrayViews::kSmallestShared) {
    HeapBlock shared(ReadSharedByteArray(file.get(), static_cast<size_t>(length)));
    if (shared.Get()) return file.Close() ? shared.Release() : nullptr;
  }
  void* raw = TryAllocate(static_cast<size_t>(length) + kByteArrayHeader);
  if (!raw) return nullptr;  // too large for memory: an empty result, not an abort
  HeapBlock block(raw);
  DWORD read = 0;
  auto* bytes = static_cast<uint8_t*>(block.Get());
  if (!ReadFile(file.get(), bytes + kByteArrayHeader, static_cast<DWORD>(length), &read)) return nullptr;
  if (!file.Close()) return nullptr;
  if (read == 0) return nullptr;
  int32_t header[2] = {1, static_cast<int32_t>(read)};
  std::memcpy(bytes, header, sizeof header);
  return block.Release();
}

// A link that keeps coming back at the name is not chased further.
constexpr int kFreshFileAttempts = 3;

// The file written is always one at the name itself: a link there is
// replaced, never written through (the file it leads to stays as it is), and
// so is a FIFO or a device; a directory fails. A regular file is truncated as
// the share modes allow.
HANDLE CreateFreshFile(const char* path) {
  for (int attempt = 0; attempt < kFreshFileAttempts; ++attempt) {
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, CREATE_ALWAYS, FILE_FLAG_OPEN_REPARSE_POINT);
    if (file != INVALID_HANDLE) return file;
    const DWORD error = GetLastError();
    const DWORD standing = GetFileAttributesA(path);
    if (standing == INVALID_FILE_ATTRIBUTES || !(standing & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE)) ||
        !DeleteFileA(path)) {
      SetLastError(error);
      return INVALID_HANDLE;
    }
  }
  return INVALID_HANDLE;
}

}  // namespace

void ReadFileData(ArgRecord* result, int32_t count, ArgRecord* args) {
  result->payload = AddressPayload(ReadWholeFile(PathArgument(count, args)));
  result->tag = TypeByteArray;
}

void WriteFileData(ArgRecord* result, int32_t count, ArgRecord* args) {
  *result = ArgRecord::Bool(false);
  const char* path = PathArgument(count, args);
  if (TextView(path).empty()) return;
  OpenFile file(CreateFreshFile(path));
  if (!file.valid()) return;
  for (int32_t i = 1; i < count; ++i) {
    const void* block = args[i].AsPointer<const void>();
    int32_t length = ByteArrayLength(block);
    if (length <= 0) continue;
    DWORD written = 0;
    if (!WriteFile(file.get(), ByteArrayData(block), static_cast<DWORD>(length), &written) ||
        written != static_cast<DWORD>(length))
      return;
  }
  if (!file.Close()) return;
  *result = ArgRecord::Bool(true);
}

void RemoveFile(ArgRecord* result, int32_t count, ArgRecord* args) {
  const char* path = PathArgument(count, args);
  *result = ArgRecord::Bool(DeleteFileA(path ? path : "") != FALSE);
}

void GetProgramDirectory(ArgRecord* result, int32_t, ArgRecord*) {
  auto* directory = AddressIn<const char>(NotifyRuntime(notify::kProgramDirectory, 0, 0));
  *result = ArgRecord::Text(CopyText(directory));
}

void GetWindowHandle(ArgRecord* result, int32_t count, ArgRecord* args) {
  WindowId window = count >= 1 ? args[0].RefWindow() : 0;
  UnitId unit = count >= 1 ? args[0].RefUnit() : 0;
  UnitObject* object = Runtime().FindUnitObject(window, unit);
  *result = ArgRecord::Int(object ? static_cast<int32_t>(object->WindowHandle()) : 0);
}

}  // namespace runtime::services
