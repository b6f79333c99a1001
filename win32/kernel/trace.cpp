// OutputDebugStringA and the trace sink: silent, captured for tests, or echoed to standard error.
#include "singleton.h"

#include <w32/standin.h>

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace w32 {
namespace {

class TraceSink {
public:
    void Capture(bool on)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        capturing_ = on;
    }

    std::vector<std::string> Take()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return std::exchange(captured_, {});
    }

    void Write(const char *text)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (capturing_)
            captured_.emplace_back(text);
        // Asked at each string, so a test or a debugging session can switch
        // it on at any time; one line per string, written in one call.
        const char *echo = std::getenv("W32_TRACE");
        if (echo && *echo)
            std::fprintf(stderr, "%s\n", text);
    }

private:
    std::mutex mutex_;
    bool capturing_ = false;
    std::vector<std::string> captured_;
};

TraceSink &Sink()
{
    return Singleton<TraceSink>();
}

}  // namespace

void CaptureTrace(bool on)
{
    Sink().Capture(on);
}

std::vector<std::string> TakeTrace()
{
    return Sink().Take();
}

}  // namespace w32

void WINAPI OutputDebugStringA(LPCSTR lpOutputString)
{
    if (!lpOutputString)
        return;
    try {
        w32::Sink().Write(lpOutputString);
    } catch (...) {
        // A trace line that cannot be stored is dropped, as when nobody listens.
    }
}
