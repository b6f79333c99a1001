// The message path: a worker's SendMessageA to a window of the UI thread
// while the UI thread waits in its message loop, against its peers: the same
// message on the owner's own thread, and a handoff through a condition
// variable (the UI thread runs each request and wakes the sender).
#include "bench/ui_thread.h"

#include <benchmark/benchmark.h>

#include <condition_variable>
#include <functional>
#include <mutex>

namespace {

constexpr int kOutputId = 1011;

void CrossThreadSendMessage(benchmark::State &state)
{
    BenchUiThread ui(kOutputId);
    HWND box = ui.Output();
    for (auto _ : state)
        benchmark::DoNotOptimize(SendMessageA(box, EM_GETLIMITTEXT, 0, 0));
}
BENCHMARK(CrossThreadSendMessage);

// The box steps of one listed byte, as the engine sends them.
void CrossThreadBoxStep(benchmark::State &state)
{
    BenchUiThread ui(kOutputId);
    HWND dialog = ui.Dialog();
    for (auto _ : state) {
        SendMessageA(GetDlgItem(dialog, kOutputId), EM_SETSEL, static_cast<WPARAM>(-1), -1);
        SendMessageA(GetDlgItem(dialog, kOutputId), EM_REPLACESEL, 0, reinterpret_cast<LPARAM>("\\x41"));
    }
    state.SetItemsProcessed(state.iterations() * 2);
}
BENCHMARK(CrossThreadBoxStep);

void SameThreadSendMessage(benchmark::State &state)
{
    LoadLibraryA("RICHED20.DLL");
    w32::CreateParams box;
    box.className = RICHEDIT_CLASSA;
    HWND hBox = w32::CreateWindowObject(box);
    for (auto _ : state)
        benchmark::DoNotOptimize(SendMessageA(hBox, EM_GETLIMITTEXT, 0, 0));
    DestroyWindow(hBox);
}
BENCHMARK(SameThreadSendMessage);

// The peer design: each message handed to the owner thread and waited for.
class Handoff {
public:
    Handoff()
    {
        owner_ = std::thread([this] {
            std::unique_lock<std::mutex> lock(mutex_);
            for (;;) {
                wake_.wait(lock, [this] { return pending_ || stop_; });
                if (stop_)
                    return;
                result_ = pending_();
                pending_ = nullptr;
                done_.notify_one();
            }
        });
    }
    ~Handoff()
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stop_ = true;
        }
        wake_.notify_one();
        owner_.join();
    }
    long Send(std::function<long()> call)
    {
        std::unique_lock<std::mutex> lock(mutex_);
        pending_ = std::move(call);
        wake_.notify_one();
        done_.wait(lock, [this] { return !pending_; });
        return result_;
    }

private:
    std::mutex mutex_;
    std::condition_variable wake_, done_;
    std::function<long()> pending_;
    long result_ = 0;
    bool stop_ = false;
    std::thread owner_;
};

void ConditionVariableHandoff(benchmark::State &state)
{
    Handoff handoff;
    long value = 7;
    for (auto _ : state)
        benchmark::DoNotOptimize(handoff.Send([&] { return value; }));
}
BENCHMARK(ConditionVariableHandoff);

}  // namespace
