// Items a list has but would not tell, in a run: held back while it lasts,
// because where a list's program miscounts its items, such a run may lie past
// their end. Kept in their place (counted as unreadable) once an item after
// them is told or the list ends where its program says it does; dropped
// where the run itself must end the read.
#pragma once

#include "listing/Listing.h"

#include <vector>

namespace quorvel {

class HeldRun {
public:
    explicit HeldRun(Listing& listing) : listing_(listing) {}

    // One more, an item at that depth.
    void hold(int depth = 0) { depths_.push_back(depth); }
    std::size_t size() const { return depths_.size(); }
    // The run is part of the list: each becomes an unreadable item.
    void keep()
    {
        for (int depth : depths_)
            listing_.addUnreadableItem(depth);
        depths_.clear();
    }
    void drop() { depths_.clear(); }

private:
    Listing& listing_;
    std::vector<int> depths_;
};

} // namespace quorvel
