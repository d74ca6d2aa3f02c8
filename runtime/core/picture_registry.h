// The slot through which the application object owns the picture table that
// the picture folder implements; shutdown destroys what it still holds.
#pragma once

#include <memory>

namespace runtime {

class PictureRegistry {
 public:
  virtual ~PictureRegistry() = default;
  // Destroys every picture still registered and empties the table.
  virtual void DestroyAll() = 0;
};

// Installs the table (the application object owns it from then on) and returns
// the one installed, or null.
void InstallPictureRegistry(std::unique_ptr<PictureRegistry> registry);
PictureRegistry* InstalledPictureRegistry();

}  // namespace runtime
