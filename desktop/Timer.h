// A window timer whose Enabled switch is its only state.
#pragma once

#include "desktop/Desktop.h"

namespace quorvel {

class Timer {
public:
    Timer(Desktop& desktop, WindowHandle owner, unsigned id, unsigned interval)
        : desktop_(desktop), owner_(owner), id_(id), interval_(interval)
    {
    }

    bool enabled() const { return enabled_; }
    void setEnabled(bool enabled)
    {
        if (enabled == enabled_)
            return;
        enabled_ = enabled;
        if (enabled)
            desktop_.setTimer(owner_, id_, interval_);
        else
            desktop_.killTimer(owner_, id_);
    }

private:
    Desktop& desktop_;
    WindowHandle owner_;
    unsigned id_;
    unsigned interval_;
    bool enabled_ = false;
};

} // namespace quorvel
