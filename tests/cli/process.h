// process.h: runs a program with given bytes on its standard input (through
// a pipe) and collects its standard output, standard error and exit status.
#ifndef TESTS_CLI_PROCESS_H
#define TESTS_CLI_PROCESS_H

#include <string>
#include <vector>

struct ProcessResult {
    std::string out;
    std::string err;
    int status = -1;  // the exit status, or 128 + the signal that ended it
};

// What standard output is: a pipe read to its end, a pipe whose reading end
// is closed before the program starts, or a file opened for writing.
struct OutputTo {
    enum Kind { Pipe, ClosedPipe, File } kind = Pipe;
    std::string path;
};

ProcessResult RunProcess(const std::vector<std::string> &argv, const std::string &input,
                         const OutputTo &output = {});

#endif
