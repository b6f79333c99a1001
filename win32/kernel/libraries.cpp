// LoadLibraryA and GetModuleHandleA for the libraries the stand-in provides.
#include "libraries.h"

#include "last_error.h"
#include "singleton.h"

#include <windows.h>

#include <atomic>
#include <cctype>
#include <cstdint>
#include <list>
#include <mutex>
#include <string>

namespace w32 {
namespace {

struct Library {
    std::string name;  // upper case, with its extension
    LibraryInit init;
    std::once_flag initialised;
    std::atomic<bool> loaded{false};
};

// Upper case, and ".DLL" added to a name without an extension, as the
// platform's loader reads a bare name.
std::string CanonicalName(const char *name)
{
    std::string canonical;
    for (const char *c = name; *c; ++c)
        canonical += static_cast<char>(std::toupper(static_cast<unsigned char>(*c)));
    if (canonical.find('.') == std::string::npos)
        canonical += ".DLL";
    return canonical;
}

class Libraries {
public:
    void Register(const char *name, LibraryInit init)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        const std::string canonical = CanonicalName(name);
        Library *library = FindLocked(canonical);
        if (!library) {
            library = &libraries_.emplace_back();
            library->name = canonical;
        }
        library->init = init;
    }

    // Stable address (a list never moves its elements), used as the HMODULE.
    Library *Find(const char *name)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return FindLocked(CanonicalName(name));
    }

private:
    Library *FindLocked(const std::string &name)
    {
        for (Library &library : libraries_)
            if (library.name == name)
                return &library;
        return nullptr;
    }

    std::mutex mutex_;
    std::list<Library> libraries_;
};

Libraries &AllLibraries()
{
    return Singleton<Libraries>();
}

HMODULE ModuleOf(Library *library)
{
    return reinterpret_cast<HMODULE>(library);
}

}  // namespace

void RegisterLibrary(const char *name, LibraryInit init)
{
    AllLibraries().Register(name, init);
}

}  // namespace w32

HMODULE WINAPI LoadLibraryA(LPCSTR lpLibFileName)
{
    if (!lpLibFileName)
        return w32::Fail<HMODULE>(ERROR_INVALID_PARAMETER, nullptr);
    return w32::Guarded<HMODULE>(nullptr, [&]() -> HMODULE {
        w32::Library *library = w32::AllLibraries().Find(lpLibFileName);
        if (!library)
            return w32::Fail<HMODULE>(ERROR_MOD_NOT_FOUND, nullptr);
        // Outside the registry's lock: an init may register or load others.
        std::call_once(library->initialised, [library] {
            if (library->init)
                library->init();
            library->loaded.store(true);
        });
        return w32::ModuleOf(library);
    });
}

HMODULE WINAPI GetModuleHandleA(LPCSTR lpModuleName)
{
    if (!lpModuleName)  // the program itself, at the image base the platform gives an executable
        return reinterpret_cast<HMODULE>(static_cast<uintptr_t>(0x400000));
    return w32::Guarded<HMODULE>(nullptr, [&]() -> HMODULE {
        w32::Library *library = w32::AllLibraries().Find(lpModuleName);
        if (!library || !library->loaded.load())
            return w32::Fail<HMODULE>(ERROR_MOD_NOT_FOUND, nullptr);
        return w32::ModuleOf(library);
    });
}
