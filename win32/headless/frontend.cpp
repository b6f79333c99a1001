// frontend.cpp: the headless front end (see frontend.h).
#include "headless/frontend.h"

namespace w32 {

int HeadlessFrontEnd::ShowMessageBox(HWND, const std::string &text, const std::string &caption, UINT)
{
    std::lock_guard<std::mutex> guard(mutex_);
    lastMessageBox_ = MessageBoxRecord{caption, text};
    return IDOK;
}

bool HeadlessFrontEnd::BrowseForItem(HWND, const std::string &, UINT, std::string *path)
{
    std::lock_guard<std::mutex> guard(mutex_);
    // With no answer queued the person cancels.
    if (browseAnswers_.empty())
        return false;
    std::optional<std::string> answer = browseAnswers_.front();
    browseAnswers_.pop_front();
    if (!answer)
        return false;
    *path = *answer;
    return true;
}

void HeadlessFrontEnd::Animate(HWND, DWORD, DWORD)
{
    // Nobody watches: the slide takes no time.
}

void HeadlessFrontEnd::QueueBrowseAnswer(std::optional<std::string> answer)
{
    std::lock_guard<std::mutex> guard(mutex_);
    browseAnswers_.push_back(std::move(answer));
}

std::optional<HeadlessFrontEnd::MessageBoxRecord> HeadlessFrontEnd::LastMessageBox()
{
    std::lock_guard<std::mutex> guard(mutex_);
    return lastMessageBox_;
}

}  // namespace w32
