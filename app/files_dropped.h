// The tool's handlers for the files-dropped event of its three drop objects.
#pragma once

#include <initializer_list>

#include "runtime/core/program.h"

namespace app {

void FilesDroppedOnBox1(runtime::HandlerCall& call);
void FilesDroppedOnBox2(runtime::HandlerCall& call);
void FilesDroppedOnBox3(runtime::HandlerCall& call);

// A new text holding the given texts in order (null counts as empty); always
// allocated, even when empty.
char* JoinTexts(std::initializer_list<const char*> texts);

}  // namespace app
