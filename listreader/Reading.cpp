#include "listreader/Reading.h"

namespace quorvel {

bool Reading::mayContinue()
{
    if (!stopped() && control_.cancelled())
        stop(ReadEnd::cancelled);
    return !stopped();
}

void Reading::stopUnanswered(WindowHandle window, const MessageResult& r)
{
    // A window whose program ended may fail its message with any error, a
    // refusal included (so Wine); a refusal only counts from a window that is there.
    if (!desktop.isWindow(window))
        stop(ReadEnd::windowGone);
    else if (r.denied)
        stop(ReadEnd::accessDenied);
    else
        stop(ReadEnd::notAnswering);
}

MessageResult Reading::send(WindowHandle window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam)
{
    if (!mayContinue())
        return {};
    MessageResult r;
    {
        ObservedCall call(control_, true);
        r = desktop.sendMessage(window, message, wParam, lParam);
    }
    if (!r.delivered)
        stopUnanswered(window, r);
    return r;
}

MessageResult Reading::fetchText(WindowHandle window, unsigned message, std::uintptr_t index, std::size_t capacity,
                                 std::u16string& text)
{
    text.clear();
    if (!mayContinue())
        return {};
    MessageResult r;
    {
        ObservedCall call(control_, true);
        r = desktop.fetchText(window, message, index, capacity, text);
    }
    if (!r.delivered)
        stopUnanswered(window, r);
    return r;
}

AccessAnswer Reading::ask(WindowHandle window, const std::function<AccessAnswer()>& question)
{
    if (!mayContinue())
        return AccessAnswer::unanswered;
    const std::uint64_t first = control_.nowMs();
    AccessAnswer a = question();
    while (a == AccessAnswer::busy && control_.nowMs() - first < answerBoundMs) {
        control_.pause(busyPauseMs);
        if (!mayContinue())
            return AccessAnswer::unanswered;
        a = question();
    }
    if (a == AccessAnswer::busy)
        a = AccessAnswer::unanswered;
    if (a == AccessAnswer::refused && !desktop.isWindow(window))
        a = AccessAnswer::gone;
    if (a == AccessAnswer::gone)
        stop(ReadEnd::windowGone);
    else if (a == AccessAnswer::unanswered)
        stop(ReadEnd::notAnswering);
    return a;
}

bool Reading::opened(const RemoteMemory& memory, WindowHandle window)
{
    if (memory.isOpen())
        return true;
    if (memory.denied())
        stop(ReadEnd::accessDenied);
    else if (!desktop.isWindow(window))
        stop(ReadEnd::windowGone);
    else
        stop(ReadEnd::memoryFailed);
    return false;
}

bool Reading::written(RemoteMemory& memory, RemoteAddress at, std::span<const std::uint8_t> bytes)
{
    if (at && memory.write(at, bytes))
        return true;
    stop(ReadEnd::memoryFailed);
    return false;
}

bool Reading::readBack(RemoteMemory& memory, RemoteAddress at, std::span<std::uint8_t> bytes)
{
    if (memory.read(at, bytes))
        return true;
    stop(ReadEnd::memoryFailed);
    return false;
}

} // namespace quorvel
