// platform/files: files as the runtime expects them. CreateFileA-shaped opens
// with access, share modes and creation dispositions, reads and writes,
// deletion, find-file and the program's paths (here), the share locks that
// hold between openers in this process and in others (share_locks.h), file
// mappings (file_mapping.h), files without a name (unnamed_file.h), replacing
// a file through its links (file_replace.h) by way of side files
// (side_files.h) and buffered streams (file_stream.h). Names are ANSI
// (GB18030) bytes and are converted at the OS boundary as ansi_text.h
// converts file names: every name the OS holds, UTF-8 or not, has one.
#pragma once

#include <cstdint>
#include <string>

#include "platform/base/last_error.h"
#include "platform/base/types.h"

namespace platform {

// Access
inline constexpr DWORD GENERIC_READ = 0x80000000;
inline constexpr DWORD GENERIC_WRITE = 0x40000000;
// Share modes
inline constexpr DWORD FILE_SHARE_READ = 0x1;
inline constexpr DWORD FILE_SHARE_WRITE = 0x2;
inline constexpr DWORD FILE_SHARE_DELETE = 0x4;
// Creation dispositions
inline constexpr DWORD CREATE_NEW = 1;
inline constexpr DWORD CREATE_ALWAYS = 2;
inline constexpr DWORD OPEN_EXISTING = 3;
inline constexpr DWORD OPEN_ALWAYS = 4;
inline constexpr DWORD TRUNCATE_EXISTING = 5;
// Attributes
inline constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x01;
inline constexpr DWORD FILE_ATTRIBUTE_HIDDEN = 0x02;
inline constexpr DWORD FILE_ATTRIBUTE_SYSTEM = 0x04;
inline constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;
inline constexpr DWORD FILE_ATTRIBUTE_ARCHIVE = 0x20;
inline constexpr DWORD FILE_ATTRIBUTE_DEVICE = 0x40;  // a FIFO, socket or device
inline constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;
inline constexpr DWORD FILE_ATTRIBUTE_REPARSE_POINT = 0x400;  // a symbolic link
// Flags, given with the attributes
// A symbolic link at the name is not followed: it is no file, so the open
// fails rather than reach the file it leads to.
inline constexpr DWORD FILE_FLAG_OPEN_REPARSE_POINT = 0x00200000;
inline constexpr DWORD INVALID_FILE_ATTRIBUTES = 0xFFFFFFFF;
inline constexpr DWORD INVALID_FILE_SIZE = 0xFFFFFFFF;

// Returns INVALID_HANDLE on failure.
HANDLE CreateFileA(const char* name, DWORD access, DWORD shareMode, DWORD disposition,
                   DWORD attributes = FILE_ATTRIBUTE_NORMAL);
BOOL ReadFile(HANDLE file, void* buffer, DWORD toRead, DWORD* read);
BOOL WriteFile(HANDLE file, const void* buffer, DWORD toWrite, DWORD* written);
// Size in bytes, or -1 on failure.
int64_t GetFileSizeEx(HANDLE file);
// Origin: 0 begin, 1 current, 2 end. Returns the new position or -1.
int64_t SetFilePointerEx(HANDLE file, int64_t distance, int origin);
BOOL CloseHandle(HANDLE handle);
BOOL DeleteFileA(const char* name);
// What stands at the name itself, links not followed; INVALID_FILE_ATTRIBUTES
// when nothing does.
DWORD GetFileAttributesA(const char* name);
BOOL MoveFileExA(const char* from, const char* to, bool replaceExisting);

// The underlying descriptor of an open file handle, for the platform's own
// mapping and stream code; -1 when the handle is not a file.
int FileDescriptorOf(HANDLE file);

struct FindData {
  DWORD attributes = 0;
  uint64_t size = 0;
  std::string name;  // ANSI
};
// Pattern: a directory and a last component with * and ? wildcards; '?' is
// one character, or one byte that is no UTF-8 character.
HANDLE FindFirstFileA(const char* pattern, FindData* data);
BOOL FindNextFileA(HANDLE search, FindData* data);
BOOL FindClose(HANDLE search);

// Paths, all ANSI.
// Empty when the path cannot be had.
std::string GetModuleFileNameA();  // the program's own path
BOOL SetCurrentDirectoryA(const char* path);
std::string GetTempPathA();  // $TMPDIR or /tmp, with a trailing '/'

}  // namespace platform
