// holdfile: keeps a file open for writing, as an editor holding a document
// would (others may read it), until its standard input closes. Prints "held"
// once the file is open.
#include <windows.h>

#include <cstdio>
#include <unistd.h>

int main(int argc, char **argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: holdfile FILE\n");
        return 2;
    }
    HANDLE file = CreateFileA(argv[1], GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        fprintf(stderr, "holdfile: cannot open %s\n", argv[1]);
        return 1;
    }
    printf("held\n");
    fflush(stdout);
    char c;
    while (read(0, &c, 1) > 0) {
    }
    CloseHandle(file);
    return 0;
}
