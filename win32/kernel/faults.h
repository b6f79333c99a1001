// Fault injection, as the stand-in's own functions see it.
#pragma once

#include <w32/standin.h>
