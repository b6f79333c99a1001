/* convert.h: the listings and the decoding of the input, delivered to a box
   step target (the output) by the engine's piece generator. */
#ifndef BYTESCRIBE_CLI_CONVERT_H
#define BYTESCRIBE_CLI_CONVERT_H

#include "engine/pieces.h"

/* The listing of nMode; the input is open. */
void ListInput(int nMode, BoxStepProc pfnStep);

/* The hex pair decoding of the input's text. */
void DecodeInput(BoxStepProc pfnStep);

#endif
