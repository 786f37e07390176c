#pragma once
// A file system with nothing on it, for doubles that override only what they are about: the
// in-memory disk with no look-ups set is exactly that.

#include "ui/memory/MemoryControls.h"

namespace prowl::test {

using EmptyFileSystem = MemoryFileSystem;

}  // namespace prowl::test
