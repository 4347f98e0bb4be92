#include "finding/Desk.h"

namespace quorvel {

std::u16string TopWindow::exe() const
{
    const std::size_t slash = program.path.find_last_of(u"\\/");
    return slash == std::u16string::npos ? program.path : program.path.substr(slash + 1);
}

std::size_t Desk::listOf(WindowHandle handle) const
{
    for (const auto& [from, to] : standIns) {
        if (from == handle)
            handle = to;
    }
    for (std::size_t i = 0; i < lists.size(); ++i) {
        if (lists[i].handle == handle && !lists[i].accessible())
            return i;
    }
    return lists.size();
}

} // namespace quorvel
