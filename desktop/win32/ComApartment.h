// COM for one thread of Quorvel's, which asks objects of other programs.
#pragma once

#include <objbase.h>

namespace quorvel {

// COM for the calling thread, in the multithreaded apartment, which needs no
// message loop; left when this goes. Whatever the thread got from COM must be
// released before then.
class ComApartment {
public:
    ComApartment() : joined_(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_MULTITHREADED))) {}
    ~ComApartment()
    {
        if (joined_)
            ::CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool joined_;
};

} // namespace quorvel
