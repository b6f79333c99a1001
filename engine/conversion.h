/* conversion.h: the conversion modes, shared by the engine, the worker and the
   dialog. A mode travels as the worker thread's pointer-sized parameter. */
#ifndef BYTESCRIBE_CONVERSION_H
#define BYTESCRIBE_CONVERSION_H

enum ConversionMode {
    ModeLittleEndian = 0, /* reversed escape listing */
    ModeBigEndian = 1,    /* forward escape listing */
    ModeAsm = 2           /* emit listing */
};

#endif
