// runner.cpp: the benchmark of the real program path (see runner.h).
#include "bench/program/runner.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace bench {

namespace {

constexpr double kMiB = 1024.0 * 1024.0;

struct Options {
    int maxMiB = 64;
    int repeat = 3;
    bool screen = false;
    std::vector<std::string> modes = {"little", "big", "asm"};
};

struct Run {
    bool ok = false;
    double wall = 0;      // seconds, from start to exit
    double processor = 0; // seconds on any processor, user and system
    double peakMiB = 0;   // the process's peak resident memory
    std::string output;   // what it printed
};

// Runs a program to its end with standard output into a file (or /dev/null).
Run Spawn(const std::vector<std::string> &args, const std::string &outputPath)
{
    Run run;
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid < 0)
        return run;
    if (pid == 0) {
        const int out = open(outputPath.empty() ? "/dev/null" : outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(out, 1);
        std::vector<char *> argv;
        for (const std::string &a : args)
            argv.push_back(const_cast<char *>(a.c_str()));
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    struct rusage usage = {};
    if (wait4(pid, &status, 0, &usage) != pid)
        return run;
    run.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.peakMiB = static_cast<double>(usage.ru_maxrss) / 1024.0;
    run.processor = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                    static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (!outputPath.empty()) {
        std::ifstream file(outputPath);
        std::getline(file, run.output);
    }
    return run;
}

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// What one case measured, each a median over the repeats.
struct Figures {
    double phase = 0, run = 0, phaseProcessor = 0, peakMiB = 0, clickMax = 0, clickMedian = 0, peer = 0,
           peerProcessor = 0;
};

std::string g_dir;

void WriteRandom(const std::string &path, size_t bytes, bool pairs)
{
    std::mt19937_64 rng(bytes);
    std::string data(pairs ? 2 * bytes : bytes, '\0');
    static const char digits[] = "0123456789abcdef";
    for (size_t i = 0; i < bytes; i += 8) {
        const uint64_t r = rng();
        for (size_t k = 0; k < 8 && i + k < bytes; k++) {
            const unsigned char b = static_cast<unsigned char>(r >> (8 * k));
            if (pairs) {
                data[2 * (i + k)] = digits[b >> 4];
                data[2 * (i + k) + 1] = digits[b & 15];
            } else {
                data[i + k] = static_cast<char>(b);
            }
        }
    }
    std::ofstream(path, std::ios::binary).write(data.data(), static_cast<std::streamsize>(data.size()));
}

// Plays a case `repeat` times, each beside one run of its peer on the same input.
bool Measure(const Options &o, const std::string &program, const std::vector<std::string> &caseArgs,
             const std::vector<std::string> &peer, Figures *f)
{
    std::vector<double> phase, run, processor, peak, clickMax, clickMedian, peerWall, peerProcessor;
    for (int i = 0; i < o.repeat; i++) {
        std::vector<std::string> args = {program};
        args.insert(args.end(), caseArgs.begin(), caseArgs.end());
        const Run r = Spawn(args, g_dir + "/case.out");
        double p = 0, w = 0, cpu = 0, cm = 0, cmed = 0;
        if (!r.ok || sscanf(r.output.c_str(), "%lf %lf %lf %lf %lf", &p, &w, &cpu, &cm, &cmed) != 5) {
            fprintf(stderr, "bytescribe-bench-program: the case failed: %s\n", r.output.c_str());
            return false;
        }
        phase.push_back(p);
        run.push_back(w);
        processor.push_back(cpu);
        peak.push_back(r.peakMiB);
        clickMax.push_back(cm);
        clickMedian.push_back(cmed);
        if (!peer.empty()) {
            const Run q = Spawn(peer, "");
            if (!q.ok) {
                fprintf(stderr, "bytescribe-bench-program: %s failed\n", peer[0].c_str());
                return false;
            }
            peerWall.push_back(q.wall);
            peerProcessor.push_back(q.processor);
        }
    }
    f->phase = Median(phase);
    f->run = Median(run);
    f->phaseProcessor = Median(processor);
    f->peerProcessor = Median(peerProcessor);
    f->peakMiB = Median(peak);
    f->clickMax = *std::max_element(clickMax.begin(), clickMax.end());
    f->clickMedian = Median(clickMedian);
    f->peer = Median(peerWall);
    return true;
}

void Line(const std::string &what, const char *figure, double value, const char *unit, const std::string &ratio)
{
    printf("%-28s %-12s %9.3f %-4s %s\n", what.c_str(), figure, value, unit, ratio.c_str());
    fflush(stdout);
}

std::string Ratio(double value, double to, const std::string &peer)
{
    char text[160];
    snprintf(text, sizeof(text), "%6.2f x %s", to > 0 ? value / to : 0.0, peer.c_str());
    return text;
}

void PrintMachine()
{
    std::string model = "unknown";
    std::ifstream cpu("/proc/cpuinfo");
    for (std::string line; std::getline(cpu, line);)
        if (line.rfind("model name", 0) == 0) {
            model = line.substr(line.find(':') + 2);
            break;
        }
    double load[3] = {};
    getloadavg(load, 3);
    long pages = sysconf(_SC_PHYS_PAGES), pageSize = sysconf(_SC_PAGE_SIZE);
    printf("machine: %s, %ld cores, %.0f GiB; load average %.2f at start\n", model.c_str(),
           sysconf(_SC_NPROCESSORS_ONLN), static_cast<double>(pages) * pageSize / (kMiB * 1024), load[0]);
}

// An X server of our own for the on-screen cases; its display number.
pid_t StartXvfb(std::string *display)
{
    int fds[2];
    if (pipe(fds) != 0)
        return -1;
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        const int devnull = open("/dev/null", O_WRONLY);
        dup2(devnull, 2);
        const std::string fd = std::to_string(fds[1]);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
               static_cast<char *>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    char number[16] = {};
    const ssize_t n = read(fds[0], number, sizeof(number) - 1);
    close(fds[0]);
    if (n <= 0) {
        waitpid(pid, nullptr, 0);
        return -1;
    }
    *display = ":" + std::string(number, strcspn(number, "\n"));
    return pid;
}

std::string Directory(const std::string &path)
{
    return path.substr(0, path.rfind('/'));
}

}  // namespace

int RunBenchmarks(int argc, char **argv)
{
    Options o;
    for (int i = 1; i < argc; i++) {
        const std::string a = argv[i];
        if (a == "--max-mib" && i + 1 < argc) {
            o.maxMiB = atoi(argv[++i]);
        } else if (a == "--repeat" && i + 1 < argc) {
            o.repeat = std::max(1, atoi(argv[++i]));
        } else if (a == "--screen") {
            o.screen = true;
        } else if (a == "--modes" && i + 1 < argc) {
            o.modes.clear();
            std::stringstream list(argv[++i]);
            for (std::string m; std::getline(list, m, ',');)
                o.modes.push_back(m);
        } else {
            fprintf(stderr,
                    "usage: %s [--max-mib N] [--repeat N] [--screen] [--modes little,big,asm]\n"
                    "       %s list little|big|asm FILE | decode FILE\n",
                    argv[0], argv[0]);
            return 2;
        }
    }

    char self[4096] = {};
    if (readlink("/proc/self/exe", self, sizeof(self) - 1) <= 0)
        return 1;
    const std::string headless = self;
    const std::string screen = Directory(headless) + "/bytescribe-bench-screen";
    char dirTemplate[] = "/tmp/bytescribe-bench-XXXXXX";
    if (mkdtemp(dirTemplate) == nullptr)
        return 1;
    g_dir = dirTemplate;

    std::string display;
    pid_t xvfb = -1;
    if (o.screen) {
        xvfb = StartXvfb(&display);
        if (xvfb < 0) {
            fprintf(stderr, "bytescribe-bench-program: cannot start Xvfb\n");
            return 1;
        }
        setenv("DISPLAY", display.c_str(), 1);
        setenv("XDG_RUNTIME_DIR", g_dir.c_str(), 0);
    }

    PrintMachine();
    printf("each figure the median of %d runs; the peer runs beside each, on the same input, output to /dev/null\n",
           o.repeat);
    bool ok = true;
    std::map<std::string, double> phasePerMiB;  // at 1 MiB, by series
    const int sizes[] = {1, 4, 16, 64};
    std::vector<std::string> inputs;
    for (const char *kind : {"list", "decode"}) {
        const std::vector<std::string> modes = std::string(kind) == "list" ? o.modes : std::vector<std::string>{""};
        for (const std::string &mode : modes) {
            for (int mib : sizes) {
                const bool listing = std::string(kind) == "list";
                if (mib > o.maxMiB || (listing && mib == 4))
                    continue;
                const std::string input = g_dir + (listing ? "/bytes" : "/pairs") + std::to_string(mib);
                if (access(input.c_str(), R_OK) != 0) {
                    WriteRandom(input, static_cast<size_t>(mib) << 20, !listing);
                    inputs.push_back(input);
                }
                std::vector<std::string> caseArgs = {kind};
                if (listing)
                    caseArgs.push_back(mode);
                caseArgs.push_back(input);
                const std::vector<std::string> peer =
                    listing ? std::vector<std::string>{"xxd", "-i", input} : std::vector<std::string>{"xxd", "-r", "-p", input};
                const std::string peerName = listing ? "xxd -i" : "xxd -r -p";
                const std::string series = listing ? "listing " + mode : "decoding";
                const std::string what = series + " " + std::to_string(mib) + " MiB";
                Figures f;
                if (!Measure(o, headless, caseArgs, peer, &f)) {
                    ok = false;
                    continue;
                }
                char peerText[64];
                snprintf(peerText, sizeof(peerText), " (%.3f s)", f.peer);
                Line(what, "phase", f.phase, "s", Ratio(f.phase, f.peer, peerName + peerText));
                snprintf(peerText, sizeof(peerText), " (%.3f s)", f.peerProcessor);
                Line(what, "phase cpu", f.phaseProcessor, "s", Ratio(f.phaseProcessor, f.peerProcessor, peerName + " cpu" + peerText));
                Line(what, "whole run", f.run, "s", Ratio(f.run, f.peer, peerName));
                Line(what, "peak memory", f.peakMiB, "MiB", Ratio(f.peakMiB, mib, "input"));
                if (mib == 1) {
                    phasePerMiB[series] = f.phase;
                    phasePerMiB[series + " cpu"] = f.phaseProcessor;
                } else if (phasePerMiB.count(series)) {
                    Line(what, "per MiB", f.phase / mib, "s", Ratio(f.phase / mib, phasePerMiB[series], "the phase per MiB at 1 MiB"));
                    Line(what, "per MiB cpu", f.phaseProcessor / mib, "s",
                         Ratio(f.phaseProcessor / mib, phasePerMiB[series + " cpu"], "the phase cpu per MiB at 1 MiB"));
                }
                if (o.screen) {
                    Figures s;
                    if (!Measure(o, screen, caseArgs, {}, &s)) {
                        ok = false;
                        continue;
                    }
                    Line("on screen " + what, "phase", s.phase, "s", Ratio(s.phase, f.phase, "headless"));
                    Line("on screen " + what, "whole run", s.run, "s", Ratio(s.run, f.run, "headless"));
                    Line("on screen " + what, "peak memory", s.peakMiB, "MiB", Ratio(s.peakMiB, f.peakMiB, "headless"));
                    char clicks[96];
                    snprintf(clicks, sizeof(clicks), "slowest of all runs; median %.1f ms", s.clickMedian);
                    Line("on screen " + what, "click answer", s.clickMax, "ms", clicks);
                }
            }
        }
    }

    if (xvfb > 0) {
        kill(xvfb, SIGTERM);
        waitpid(xvfb, nullptr, 0);
    }
    inputs.push_back(g_dir + "/case.out");
    for (const std::string &input : inputs)
        unlink(input.c_str());
    rmdir(g_dir.c_str());
    return ok ? 0 : 1;
}

}  // namespace bench
