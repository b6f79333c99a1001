// platform_standin.cpp: platform.h on the stand-in, through its own window
// manager and front end.
#include "platform.h"

#include "user/core.h"

#include <w32/user.h>

HWND MakeWindow(const char *cls, DWORD style, HWND parent, int id, const char *text)
{
    w32::CreateParams params;
    params.className = cls;
    params.style = style;
    params.parent = parent;
    params.id = id;
    params.text = text;
    return w32::CreateWindowObject(params);
}

void RegisterProbeClass(const char *name, WNDPROC proc)
{
    w32::RegisterWindowClass(name, proc);
}

std::string ClipboardText()
{
    return w32::CurrentFrontEnd().ClipboardText();
}

bool RunningUnderWine()
{
    return false;
}
