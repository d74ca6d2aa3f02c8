// Stand-ins for the picture box and the draw panel until their unit types
// exist: plain windows of the types' classes, so that the
// tool's form loads whole and its window shows. A stand-in box paints the
// background colour an empty box shows; it takes no property of its own.
#pragma once

#include "runtime/core/program.h"

namespace app {

const runtime::UnitTypeDescriptor& StandInPictureBox();
const runtime::UnitTypeDescriptor& StandInDrawPanel();

}  // namespace app
