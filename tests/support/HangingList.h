// An accessible list that hangs its reader in a call, for as long as a test wants.
#pragma once

#include "desktop/fake/FakeAccessible.h"
#include "desktop/fake/FakeDesktop.h"
#include "reading/ReadingThread.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace quorvel {

// An accessible list of four items, the second selected; hangs in the name of the third until let go.
struct HangingList {
    HangingList(FakeDesktop& d, WindowHandle target)
    {
        d.add(target).className = u"DrawnList";
        tree.clients[target] = tree.add({.role = acc::roleClient});
        list = tree.add({.role = acc::roleList}, tree.clients[target]);
        for (const char16_t* item : {u"a", u"b", u"c", u"d"})
            tree.add({.role = acc::roleListItem, .name = item, .state = item[0] == u'b' ? acc::stateSelected : 0u},
                     list);
        tree.onCall = [this](int node, FakeQuestion q) -> std::optional<AccessAnswer> {
            std::unique_lock lock(mutex);
            if (hangs && q == FakeQuestion::name && node == tree.nodes[static_cast<std::size_t>(list)].children[2])
                released.wait(lock, [&] { return letGo; });
            return std::nullopt;
        };
    }
    // Lets the call return, and waits for the thread given up to end by itself.
    void letItGo()
    {
        {
            std::lock_guard lock(mutex);
            letGo = true;
        }
        released.notify_all();
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while ((tree.liveObjects > 0 || ReadingThread::workersLeft() > 0) &&
               std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    FakeAccessibleTree tree;
    int list = 0;
    std::mutex mutex;
    std::condition_variable released;
    bool hangs = true, letGo = false;
};

} // namespace quorvel
