// w32/shell.h: the shell's side doors for the headless driver and tests.
#ifndef W32_SHELL_H
#define W32_SHELL_H

#include <windows.h>

#include <string>
#include <vector>

namespace w32 {

// A drop handle holding these paths, as the shell hands one to WM_DROPFILES.
HDROP MakeDrop(const std::vector<std::string> &paths);
// Drop handles and item identifier lists handed out and not yet released.
int OutstandingDrops();
int OutstandingItemLists();

}  // namespace w32

#endif
