// Libraries the program can load by name, each with the code that sets it up.
#pragma once

namespace w32 {

using LibraryInit = void (*)();

// Makes a library loadable by LoadLibraryA (the name is matched without regard
// to case); init runs once, at its first load.
void RegisterLibrary(const char *name, LibraryInit init);

}  // namespace w32
