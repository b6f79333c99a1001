// dialogs.h: the dialog manager's helpers that controls need too.
#ifndef W32_USER_DIALOGS_H
#define W32_USER_DIALOGS_H

#include "user/core.h"

#include <vector>

namespace w32 {

// The controls of control's group in its dialog: from the nearest WS_GROUP
// at or before it up to the next WS_GROUP, in template order.
std::vector<Window *> DialogGroup(Window *control);

}  // namespace w32

#endif
