// The base of every kernel object that a HANDLE can name.
#pragma once

namespace w32 {

// Kernel objects are shared (std::shared_ptr): the handle table holds one
// reference per open handle, and whoever is using an object (a wait in
// progress, a mapping over its file, a view over its mapping) holds another,
// so closing a handle never frees an object that is still in use.
class Object {
public:
    Object() = default;
    Object(const Object &) = delete;
    Object &operator=(const Object &) = delete;
    virtual ~Object() = default;
};

}  // namespace w32
