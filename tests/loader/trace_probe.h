// trace_probe.h: what the loader tests see of the debug trace. Linked from
// trace_standin.cpp on the stand-in, which captures it; on Windows the trace
// goes to a debugger, and trace_unseen.cpp says it cannot be checked.
#pragma once

#include <string>
#include <vector>

void BeginTraceProbe();
void EndTraceProbe();
bool TraceIsVisible();
std::vector<std::string> TakeTraceLines();
