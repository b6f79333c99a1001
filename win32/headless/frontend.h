// frontend.h: the headless front end: message boxes recorded and answered OK,
// browse dialogs answered from the script, no animation time.
#ifndef W32_HEADLESS_FRONTEND_H
#define W32_HEADLESS_FRONTEND_H

#include <w32/user.h>

#include <deque>
#include <mutex>
#include <optional>
#include <string>

namespace w32 {

class HeadlessFrontEnd : public FrontEnd {
public:
    struct MessageBoxRecord {
        std::string caption, text;
    };

    int ShowMessageBox(HWND owner, const std::string &text, const std::string &caption, UINT type) override;
    bool BrowseForItem(HWND owner, const std::string &title, UINT flags, std::string *path) override;
    void Animate(HWND hwnd, DWORD milliseconds, DWORD flags) override;

    // The answer to the next browse dialog: a path, or nullopt to cancel.
    void QueueBrowseAnswer(std::optional<std::string> answer);
    std::optional<MessageBoxRecord> LastMessageBox();

private:
    std::mutex mutex_;
    std::deque<std::optional<std::string>> browseAnswers_;
    std::optional<MessageBoxRecord> lastMessageBox_;
};

}  // namespace w32

#endif
