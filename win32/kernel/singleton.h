// Process-wide state of the stand-in, created on first use and never destroyed.
#pragma once

namespace w32 {

// Worker threads may still call into the stand-in while the process exits, so
// no global state may have a destructor that runs at exit: each one is made
// with new on first use and deliberately never deleted.
template <class T>
T &Singleton()
{
    static T *const instance = new T();
    return *instance;
}

}  // namespace w32
