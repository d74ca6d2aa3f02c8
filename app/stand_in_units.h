// Stand-ins for the draw panel and the drop object until their unit types
// exist: plain windows of the types' classes, so that the tool's form loads
// whole and its window shows. A stand-in paints the background colour of its
// block; it takes no property of its own.
#pragma once

#include "runtime/core/program.h"

namespace app {

const runtime::UnitTypeDescriptor& StandInDrawPanel();
const runtime::UnitTypeDescriptor& StandInDropObject();

}  // namespace app
