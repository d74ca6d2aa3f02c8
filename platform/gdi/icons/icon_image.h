// One image of an icon or cursor file made into an icon object. Internal to
// platform/gdi: icons and cursors share it.
#pragma once

#include <cstdint>
#include <memory>
#include <span>

#include "platform/gdi/gdi_objects.h"

namespace platform::gdi {

// A DIB with its AND mask, or a PNG file; null for anything else.
std::shared_ptr<IconObject> IconFromImage(std::span<const uint8_t> data);

}  // namespace platform::gdi
