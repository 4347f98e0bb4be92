// Told of each call into another program while it is inside, so that a read
// can tell a program that takes its time from one that has stopped answering.
#pragma once

namespace quorvel {

class CallObserver {
public:
    virtual ~CallObserver() = default;
    // bounded: a window message, which its own time limit ends; otherwise a
    // question to an accessible object of another program, or the release of
    // one, which have none.
    virtual void callStarted(bool bounded) = 0;
    virtual void callReturned() = 0;
};

// Brackets one call for an observer, also when it throws.
class ObservedCall {
public:
    ObservedCall(CallObserver& observer, bool bounded) : observer_(observer) { observer_.callStarted(bounded); }
    ~ObservedCall() { observer_.callReturned(); }
    ObservedCall(const ObservedCall&) = delete;
    ObservedCall& operator=(const ObservedCall&) = delete;

private:
    CallObserver& observer_;
};

} // namespace quorvel
