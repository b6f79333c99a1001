// The handle table: HANDLE values with generations, mapped to shared kernel objects.
#pragma once

#include "object.h"

#include <windows.h>

#include <memory>

namespace w32 {

// A new handle for the object, or NULL (last error set) when the table is full.
HANDLE AddHandle(std::shared_ptr<Object> object);

// The object a handle names, or null when the handle is closed, never was
// valid, or names an object of another kind. Sets ERROR_INVALID_HANDLE then.
std::shared_ptr<Object> FindObject(HANDLE handle);

template <class T>
std::shared_ptr<T> Find(HANDLE handle)
{
    std::shared_ptr<T> object = std::dynamic_pointer_cast<T>(FindObject(handle));
    if (!object)
        SetLastError(ERROR_INVALID_HANDLE);
    return object;
}

}  // namespace w32
