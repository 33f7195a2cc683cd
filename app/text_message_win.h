#pragma once
// Windows only: texts posted to a window from other threads. A text waits in a mailbox that the
// window shares with its senders, and the message that announces it carries no pointer (wParam
// and lParam are 0): any program on the desktop can post the same message number, and such a
// message must find nothing to take rather than a pointer to trust.
#include <windows.h>

#include <cstdint>
#include <list>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace orvello {

// Each text is taken at most once, by message, oldest first, so the texts of one message keep
// their order. A text whose message cannot be posted (the window is gone, its queue is full) is
// taken back by its sender; texts never taken go with the mailbox. Thread-safe.
class TextMailbox {
public:
    // Queues the text for `message` and posts `message` to `window` with wParam and lParam 0.
    // False when the message could not be posted; the text is then no longer queued.
    [[nodiscard]] bool Post(HWND window, UINT message, std::wstring text);

    // The oldest queued text for `message`; nothing when there is none (the message came from
    // another program, or from a sender that took its text back).
    [[nodiscard]] std::optional<std::wstring> Take(UINT message);

private:
    struct Letter {
        std::uint64_t id = 0;
        UINT message = 0;
        std::wstring text;
    };

    std::mutex mutex_;
    std::list<Letter> letters_;  // a node per text, freed when it is taken
    std::uint64_t nextId_ = 0;
};

// Senders on the service's threads may outlive the window, so they share the mailbox with it.
using SharedTextMailbox = std::shared_ptr<TextMailbox>;

}  // namespace orvello
