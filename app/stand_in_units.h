// A stand-in for the picture box until its unit type exists: a plain window
// of its class, so that the tool's form loads whole and its window shows. It
// paints the background colour an empty box shows and takes no property of
// its own.
#pragma once

#include "runtime/core/program.h"

namespace app {

const runtime::UnitTypeDescriptor& StandInPictureBox();

}  // namespace app
