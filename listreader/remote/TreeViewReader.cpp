#include "listreader/remote/TreeViewReader.h"

#include "desktop/ControlMessages.h"
#include "listreader/Answers.h"
#include "listreader/ItemStates.h"
#include "listreader/remote/RemoteTexts.h"

#include <unordered_set>
#include <utility>

namespace quorvel {

namespace {

class TreeWalk {
public:
    TreeWalk(Reading& reading, WindowHandle tree, std::size_t limit) : reading_(reading), tree_(tree), limit_(limit) {}

    // The next item depth first and its depth below the top; nullopt at the
    // end, at an unanswered message, or where the walk would repeat an item
    // or pass the count.
    std::optional<std::pair<RemoteAddress, int>> next()
    {
        if (stopped_ || visited_.size() >= limit_)
            return std::nullopt;
        std::optional<RemoteAddress> item;
        if (!started_) {
            started_ = true;
            item = step(win::TVGN_ROOT, 0);
        } else {
            item = step(win::TVGN_CHILD, current_);
            if (item && *item) {
                parents_.push_back(current_);
            } else {
                item = step(win::TVGN_NEXT, current_);
                while (item && !*item && !parents_.empty()) {
                    current_ = parents_.back();
                    parents_.pop_back();
                    item = step(win::TVGN_NEXT, current_);
                }
            }
        }
        if (!item || !*item || !visited_.insert(*item).second) {
            stopped_ = true;
            return std::nullopt;
        }
        current_ = *item;
        return std::pair{current_, static_cast<int>(parents_.size())};
    }

private:
    std::optional<RemoteAddress> step(std::uintptr_t relation, RemoteAddress from)
    {
        MessageResult r = reading_.send(tree_, win::TVM_GETNEXTITEM, relation,
                                        static_cast<std::intptr_t>(static_cast<std::uintptr_t>(from)));
        if (!r.delivered)
            return std::nullopt;
        // A handle is a pointer of the reader's own width as the window
        // system hands it on; kept as an unsigned value of that width.
        return static_cast<RemoteAddress>(static_cast<std::uintptr_t>(r.answer));
    }

    Reading& reading_;
    WindowHandle tree_;
    std::size_t limit_;
    bool started_ = false;
    bool stopped_ = false;
    RemoteAddress current_ = 0;
    std::vector<RemoteAddress> parents_;
    std::unordered_set<RemoteAddress> visited_;
};

} // namespace

void readTreeView(Reading& reading, WindowHandle treeView, ClassInfo treeViewClass)
{
    reading.listing.kind = ListKind::treeView;
    const std::int32_t style = treeViewClass.systemStyles ? reading.desktop.getWindowLong(treeView, win::GWL_STYLE) : 0;
    ViewStates states(reading, treeView, win::TVM_GETITEMSTATE, win::TVM_GETIMAGELIST,
                      (style & win::TVS_CHECKBOXES) != 0);
    MessageResult count = reading.send(treeView, win::TVM_GETCOUNT, 0, 0);
    const std::int32_t items = low32(count.answer);
    if (!count.delivered || items <= 0)
        return;
    RemoteMemory memory(reading.desktop, treeView, batchBlockBytes);
    if (!reading.opened(memory, treeView))
        return;
    const TextMessage m{treeView, win::TVM_GETITEMW, treeViewItemLayout(memory.pointerBytes()), false};
    TreeWalk walk(reading, treeView, static_cast<std::size_t>(items));
    std::vector<TextQuery> queries;
    std::vector<int> depths;
    std::vector<std::u16string> texts;
    std::vector<bool> failed;
    // Items are walked a round at a time, then their texts fetched.
    std::size_t round = 0;
    for (bool more = true; more;) {
        queries.clear();
        depths.clear();
        const std::size_t roundSize = roundItems(round++);
        while (queries.size() < roundSize) {
            auto item = walk.next();
            if (!item) {
                more = false;
                break;
            }
            queries.push_back({0, win::TVIF_TEXT | win::TVIF_HANDLE, 0, item->first});
            depths.push_back(item->second);
        }
        texts.clear();
        failed.clear();
        // After an unanswered step asking for texts would only wait once more.
        if (reading.stopped() || !fetchTexts(reading, memory, m, queries, texts, &failed))
            more = false;
        for (std::size_t i = 0; i < texts.size(); ++i) {
            if (!states.read(static_cast<std::uintptr_t>(queries[i].handle), reading.listing.rows())) {
                more = false;
                break;
            }
            if (failed[i])
                reading.listing.addUnreadableItem(depths[i]);
            else
                reading.listing.addItem(texts[i], depths[i]);
        }
        reading.progress();
    }
}

} // namespace quorvel
