// Builds form data for tests, field by field in the stored layout.
#pragma once

#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "runtime/core/program.h"

namespace forms_test {

using Bytes = std::vector<uint8_t>;

inline void Put(Bytes& out, uint32_t v) {
  uint8_t b[4];
  std::memcpy(b, &v, 4);
  out.insert(out.end(), b, b + 4);
}
inline void PutText(Bytes& out, const std::string& s) {
  out.insert(out.end(), s.begin(), s.end());
  out.push_back(0);
}
inline void PutCounted(Bytes& out, const Bytes& bytes) {
  Put(out, static_cast<uint32_t>(bytes.size()));
  out.insert(out.end(), bytes.begin(), bytes.end());
}

struct Record {
  uint32_t id = 0;
  uint32_t type = 0;
  uint32_t eventSource = 0;
  std::string name;
  int32_t left = 0, top = 0, width = 0, height = 0;
  uint32_t parent = 0;
  std::vector<uint32_t> children;
  Bytes pointer = Bytes(4, 0);
  std::string tag;
  uint32_t flags = 1;
  int32_t tabOrder = 0;
  std::vector<std::pair<int32_t, int32_t>> bindings;
  Bytes block;
  Bytes menuBody;  // a menu item record's whole body, when set

  Bytes Body() const {
    if (!menuBody.empty()) return menuBody;
    Bytes b;
    Put(b, type);
    Put(b, eventSource);
    for (int i = 0; i < 4; ++i) Put(b, 0);
    PutText(b, name);
    PutText(b, "");
    Put(b, 0);  // object slot
    for (int32_t v : {left, top, width, height}) Put(b, static_cast<uint32_t>(v));
    Put(b, 0);  // cursor slot
    Put(b, parent);
    Put(b, static_cast<uint32_t>(children.size()));
    for (uint32_t c : children) Put(b, c);
    PutCounted(b, pointer);
    PutText(b, tag);
    Put(b, 0);
    Put(b, flags);
    Put(b, static_cast<uint32_t>(tabOrder));
    Put(b, static_cast<uint32_t>(bindings.size()));
    for (auto [key, handler] : bindings) {
      Put(b, static_cast<uint32_t>(key));
      Put(b, static_cast<uint32_t>(handler));
    }
    for (int i = 0; i < 5; ++i) Put(b, 0);
    b.insert(b.end(), block.begin(), block.end());
    return b;
  }
};

// A menu item record's body: its type, five reserved words, two texts, 12
// bytes, a third text, the handler, and a tail the reader does not touch.
inline Bytes MenuItemBody(int32_t handler, const std::string& caption = "&Open") {
  Bytes b;
  Put(b, 0x00010003);
  for (int i = 0; i < 5; ++i) Put(b, 0x11111111);
  PutText(b, caption);
  PutText(b, "");
  for (int i = 0; i < 3; ++i) Put(b, 0x22222222);
  PutText(b, "Ctrl+O");
  Put(b, static_cast<uint32_t>(handler));
  Put(b, 0x33333333);
  return b;
}

struct Window {
  uint32_t id = 0;
  std::vector<Record> records;

  Bytes UnitList() const {
    Bytes ids, offsets, records_;
    for (const Record& r : records) {
      Put(ids, r.id);
      Put(offsets, static_cast<uint32_t>(records_.size()));
      Bytes body = r.Body();
      PutCounted(records_, body);
    }
    Bytes list = ids;
    list.insert(list.end(), offsets.begin(), offsets.end());
    list.insert(list.end(), records_.begin(), records_.end());
    return list;
  }
};

inline Bytes FormData(const std::vector<Window>& windows) {
  Bytes table, out;
  for (const Window& w : windows) Put(table, w.id);
  for (size_t i = 0; i < windows.size(); ++i) Put(table, 0xDEADBEEF);  // slots, overwritten when read
  PutCounted(out, table);
  for (const Window& w : windows) {
    Put(out, 0);
    Put(out, 0x19010009);
    Put(out, 0);
    Put(out, 0);
    Put(out, static_cast<uint32_t>(w.records.size()));
    PutCounted(out, w.UnitList());
  }
  return out;
}

// A window block of version 6 with the given title, colour and picture.
inline Bytes WindowBlockBytes(const std::string& title, uint32_t background = 0xFF000000, int32_t border = 2,
                              const Bytes& picture = {}, int32_t layout = 3, int32_t startPosition = 1) {
  Bytes b;
  Put(b, 6);
  Put(b, static_cast<uint32_t>(border));
  Put(b, static_cast<uint32_t>(layout));
  Put(b, background);
  for (int32_t v : {0, 0, 1, startPosition, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0}) Put(b, static_cast<uint32_t>(v));
  Put(b, 0);  // class name
  PutCounted(b, picture);
  Put(b, 0);
  Put(b, 0);
  PutCounted(b, Bytes(title.begin(), title.end()));
  Put(b, 0);
  return b;
}

// The header of a test program with `formData` (which must outlive it), the
// given libraries and the logic's routines.
inline runtime::ProgramHeader TestProgramHeader(const Bytes& formData,
                                                std::span<const runtime::LibraryEntry* const> libraries,
                                                std::span<const runtime::LogicRoutine> routines = {}) {
  runtime::ProgramHeader header;
  header.lastIdSerial = 0x0001001D;
  header.formData = formData.data();
  header.formDataSize = static_cast<uint32_t>(formData.size());
  header.libraryCount = static_cast<int32_t>(libraries.size());
  header.libraries = libraries.data();
  header.routines = routines.data();
  header.routineCount = static_cast<int32_t>(routines.size());
  return header;
}

}  // namespace forms_test
