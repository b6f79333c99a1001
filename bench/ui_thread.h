// ui_thread.h: a UI thread for benchmarks: it owns a dialog-like window with
// an output box and waits in its message loop, as the program's UI thread does
// during a run.
#ifndef BENCH_UI_THREAD_H
#define BENCH_UI_THREAD_H

#include "user/core.h"

#include <richedit.h>

#include <w32/user.h>

#include <atomic>
#include <thread>

class BenchUiThread {
public:
    explicit BenchUiThread(int outputId)
    {
        thread_ = std::thread([this, outputId] {
            LoadLibraryA("RICHED20.DLL");
            w32::CreateParams dialog;
            dialog.className = "#32770";
            dialog.style = WS_POPUP;
            HWND hDialog = w32::CreateWindowObject(dialog);
            w32::CreateParams box;
            box.className = RICHEDIT_CLASSA;
            box.style = WS_CHILD | ES_MULTILINE;
            box.parent = hDialog;
            box.id = outputId;
            output_ = w32::CreateWindowObject(box);
            SendMessageA(output_, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
            dialog_ = hDialog;
            MSG msg;
            while (!stop_.load() && GetMessageA(&msg, nullptr, 0, 0))
                DispatchMessageA(&msg);
            DestroyWindow(hDialog);
        });
        while (dialog_.load() == nullptr)
            std::this_thread::yield();
    }

    ~BenchUiThread()
    {
        w32::InvokeOnOwner(dialog_.load(), [this] { stop_ = true; }, false);
        thread_.join();
    }

    HWND Dialog() const { return dialog_.load(); }
    HWND Output() const { return output_; }

private:
    std::thread thread_;
    std::atomic<HWND> dialog_{nullptr};
    HWND output_ = nullptr;
    std::atomic<bool> stop_{false};
};

#endif
