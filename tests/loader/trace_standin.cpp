// trace_standin.cpp: the loader tests' trace probe on the stand-in (see trace_probe.h).
#include "trace_probe.h"

#include <w32/standin.h>

void BeginTraceProbe()
{
    w32::ClearFailures();
    w32::CaptureTrace(true);
    w32::TakeTrace();
}

void EndTraceProbe()
{
    w32::CaptureTrace(false);
    w32::ClearFailures();
}

bool TraceIsVisible()
{
    return true;
}

std::vector<std::string> TakeTraceLines()
{
    return w32::TakeTrace();
}
