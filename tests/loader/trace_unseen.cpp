// trace_unseen.cpp: the loader tests' trace probe on the platform itself,
// where the debug trace goes to a debugger the tests do not have.
#include "trace_probe.h"

void BeginTraceProbe() {}
void EndTraceProbe() {}

bool TraceIsVisible()
{
    return false;
}

std::vector<std::string> TakeTraceLines()
{
    return {};
}
