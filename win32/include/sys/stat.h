/* sys/stat.h: the system's header, plus the C runtime's 64-bit file-status
   call that the program uses on Windows, with that runtime's rules for paths
   (no wildcards; a trailing separator only on a root; folders are 0 bytes).
   Only the fields the program reads are here. */
#ifndef W32_SYS_STAT_H
#define W32_SYS_STAT_H

#include_next <sys/stat.h>

#ifdef __cplusplus
extern "C" {
#endif

#define _S_IFDIR S_IFDIR

struct _stati64 {
    unsigned short st_mode;
    long long st_size;
};

int _stati64(const char *path, struct _stati64 *buffer);

#ifdef __cplusplus
}
#endif
#endif
