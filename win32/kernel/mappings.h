// File mappings and their views, as the rest of the kernel sees them.
#pragma once

#include "files.h"

namespace w32 {

// Whether a mapping object of this file exists (a view keeps its mapping alive).
bool IsMapped(const FileId &file);

}  // namespace w32
