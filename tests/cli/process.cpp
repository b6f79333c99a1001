// process.cpp: a child process with pipes; a thread of its own feeds the
// input, another drains standard error, so no pipe ever fills up.
#include "process.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace {

std::string Drain(int fd)
{
    std::string text;
    char block[65536];
    ssize_t got;
    while ((got = read(fd, block, sizeof block)) != 0) {
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            break;
        text.append(block, static_cast<size_t>(got));
    }
    close(fd);
    return text;
}

}  // namespace

ProcessResult RunProcess(const std::vector<std::string> &argv, const std::string &input, const OutputTo &output)
{
    int in[2], out[2], err[2];
    if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0)
        return {};
    int outFd = out[1];
    if (output.kind == OutputTo::File)
        outFd = open(output.path.c_str(), O_WRONLY | O_CLOEXEC);
    if (output.kind == OutputTo::ClosedPipe)
        close(out[0]);

    const pid_t pid = fork();
    if (pid == 0) {
        // The test runner may ignore SIGPIPE; the program must meet the default.
        signal(SIGPIPE, SIG_DFL);
        dup2(in[0], 0);
        dup2(outFd, 1);
        dup2(err[1], 2);
        std::vector<char *> args;
        for (const std::string &a : argv)
            args.push_back(const_cast<char *>(a.c_str()));
        args.push_back(nullptr);
        execv(args[0], args.data());
        _exit(127);
    }
    close(in[0]);
    close(out[1]);
    close(err[1]);
    if (output.kind == OutputTo::File)
        close(outFd);

    std::thread feeder([&] {
        // SIGPIPE is held back on this thread: a program that stops reading early is no failure here.
        sigset_t pipeSignal;
        sigemptyset(&pipeSignal);
        sigaddset(&pipeSignal, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &pipeSignal, nullptr);
        size_t done = 0;
        while (done < input.size()) {
            const ssize_t put = write(in[1], input.data() + done, input.size() - done);
            if (put < 0 && errno == EINTR)
                continue;
            if (put <= 0)
                break;
            done += static_cast<size_t>(put);
        }
        close(in[1]);
    });
    ProcessResult result;
    std::thread errors([&] { result.err = Drain(err[0]); });
    if (output.kind == OutputTo::Pipe)
        result.out = Drain(out[0]);
    errors.join();
    feeder.join();

    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return result;
}
