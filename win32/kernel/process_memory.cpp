// GetCurrentProcess and ReadProcessMemory: a copy that survives a fault in its pages.
#include "faults.h"
#include "last_error.h"

#include <setjmp.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <cstring>
#include <mutex>

namespace {

// Armed only while this thread copies; a fault then returns to the copy's
// start instead of ending the process. The handler reads these, so they are
// plain thread-locals that need no allocation or lock.
thread_local sigjmp_buf *volatile t_copyTarget = nullptr;
thread_local void *volatile t_faultAddress = nullptr;

void OnFault(int signal, siginfo_t *info, void *)
{
    sigjmp_buf *target = t_copyTarget;
    // si_code > 0: raised by the hardware, not sent by kill() or raise().
    if (target && info->si_code > 0) {
        t_copyTarget = nullptr;
        t_faultAddress = info->si_addr;
        siglongjmp(*target, 1);
    }
    // Not ours: fall back to the default action. The signal is blocked while
    // this handler runs, so it is delivered (and ends the process) on return.
    struct sigaction standard = {};
    standard.sa_handler = SIG_DFL;
    sigemptyset(&standard.sa_mask);
    sigaction(signal, &standard, nullptr);
    raise(signal);
}

void InstallFaultHandler()
{
    static std::once_flag installed;
    std::call_once(installed, [] {
        struct sigaction action = {};
        action.sa_sigaction = OnFault;
        action.sa_flags = SA_SIGINFO;
        sigemptyset(&action.sa_mask);
        sigaction(SIGBUS, &action, nullptr);
        sigaction(SIGSEGV, &action, nullptr);
    });
}

// Copies n bytes; on a fault, the address that faulted (never null).
const void *GuardedCopy(void *destination, const void *source, size_t n)
{
    sigjmp_buf target;
    // Saving the signal mask undoes the handler's blocking of the signal.
    if (sigsetjmp(target, 1) != 0)
        return t_faultAddress ? t_faultAddress : source;
    t_copyTarget = &target;
    std::atomic_signal_fence(std::memory_order_seq_cst);
    std::memcpy(destination, source, n);
    std::atomic_signal_fence(std::memory_order_seq_cst);
    t_copyTarget = nullptr;
    return nullptr;
}

}  // namespace

HANDLE WINAPI GetCurrentProcess(void)
{
    return reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1));
}

BOOL WINAPI ReadProcessMemory(HANDLE hProcess, LPCVOID lpBaseAddress, LPVOID lpBuffer, SIZE_T nSize,
                              SIZE_T *lpNumberOfBytesRead)
{
    if (lpNumberOfBytesRead)
        *lpNumberOfBytesRead = 0;
    if (w32::TakeFailure("ReadProcessMemory"))
        return w32::Fail(ERROR_PARTIAL_COPY, FALSE);
    if (hProcess != GetCurrentProcess())  // only this process's memory is within reach
        return w32::Fail(ERROR_INVALID_HANDLE, FALSE);
    // For tests that end the process in the middle of a copy.
    if (w32::TakeFailure("ReadProcessMemory:hold")) {
        for (;;)
            pause();
    }
    if (nSize == 0)
        return TRUE;
    InstallFaultHandler();
    const void *fault = GuardedCopy(lpBuffer, lpBaseAddress, nSize);
    if (fault) {
        // How far the copy got is unknown: report none of it.
        const auto address = reinterpret_cast<uintptr_t>(fault);
        const auto source = reinterpret_cast<uintptr_t>(lpBaseAddress);
        const bool inSource = address >= source && address - source < nSize;
        return w32::Fail(inSource ? ERROR_PARTIAL_COPY : ERROR_NOACCESS, FALSE);
    }
    if (lpNumberOfBytesRead)
        *lpNumberOfBytesRead = nSize;
    return TRUE;
}
