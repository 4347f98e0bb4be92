#include "listreader/accessible/AccessibleWalk.h"

#include "listing/TextMatch.h"

#include <algorithm>

namespace quorvel {

namespace {

// Children asked for at a time in the walk: most objects have few, and the
// walk looks at no more than walkChildren in all. An object that would not
// hand them out holds no list the walk finds.
constexpr std::int32_t walkBatch = 32;
constexpr auto endsChildren = ChildBatches::Refused::endsChildren;

struct Found {
    std::unique_ptr<Accessible> object;
    std::uint32_t role;
};

// One object being walked, with the batch of its children at hand.
struct Frame {
    std::unique_ptr<Accessible> owned; // none for the root, which the caller keeps
    std::uintptr_t identity;
    ChildBatches batches;
    std::vector<AccessibleChild> batch;
    std::size_t next = 0;
};

class Walk {
public:
    explicit Walk(AccessibleQuery& query) : query_(query) {}

    // The lists under root, depth first; root itself is not one.
    std::vector<Found> lists(Accessible& root)
    {
        std::vector<Found> found;
        std::vector<Frame> frames;
        frames.push_back(
            {nullptr, root.identity(), ChildBatches(query_, root, walkBatch, INT32_MAX, endsChildren), {}, 0});
        std::size_t looked = 0;
        while (!frames.empty() && !query_.reading.stopped()) {
            Frame& f = frames.back();
            if (f.next == f.batch.size()) {
                f.next = 0;
                if (!f.batches.next(f.batch)) {
                    frames.pop_back();
                    continue;
                }
            }
            AccessibleChild child = std::move(f.batch[f.next++]);
            if (++looked > walkChildren)
                break;
            if (child.kind != AccessibleChild::Kind::object)
                continue;
            const std::uintptr_t id = child.object->identity();
            if (std::any_of(frames.begin(), frames.end(), [id](const Frame& a) { return a.identity == id; }))
                break;
            std::uint32_t role = 0;
            if (query_.role({child.object.get()}, role) != AccessAnswer::answered)
                continue;
            if (listLike(role))
                found.push_back({std::move(child.object), role});
            else if (frames.size() < walkDepth)
                push(frames, std::move(child.object));
        }
        return found;
    }

    // The deepest list on the path of hit tests from root down to the point.
    Found underPoint(Accessible& root, Point at)
    {
        std::vector<Found> path;
        std::vector<std::uintptr_t> seen{root.identity()};
        std::size_t deepest = walkDepth; // none
        Accessible* current = &root;
        while (path.size() < walkDepth) {
            AccessibleChild hit;
            if (query_.hitTest(*current, at, hit) != AccessAnswer::answered ||
                hit.kind != AccessibleChild::Kind::object)
                break;
            const std::uintptr_t id = hit.object->identity();
            if (std::count(seen.begin(), seen.end(), id) > 0)
                break;
            seen.push_back(id);
            std::uint32_t role = 0;
            if (query_.role({hit.object.get()}, role) == AccessAnswer::answered && listLike(role))
                deepest = path.size();
            path.push_back({std::move(hit.object), role});
            current = path.back().object.get();
        }
        return deepest < path.size() ? std::move(path[deepest]) : Found{};
    }

private:
    void push(std::vector<Frame>& frames, std::unique_ptr<Accessible> owned)
    {
        Accessible& object = *owned;
        frames.push_back({std::move(owned),
                          object.identity(),
                          ChildBatches(query_, object, walkBatch, INT32_MAX, endsChildren),
                          {},
                          0});
    }

    AccessibleQuery& query_;
};

// The one list found of the role and name of the one hit, for a program
// that makes a new object each time it is asked for one, so that the two
// are told apart by nothing else; found.size() when none or several are.
std::size_t sameNamed(AccessibleQuery& query, std::vector<Found>& found, Found& hit)
{
    std::u16string name, other;
    if (query.name({hit.object.get()}, name) != AccessAnswer::answered)
        return found.size();
    std::size_t match = found.size();
    for (std::size_t i = 0; i < found.size(); ++i) {
        if (found[i].role != hit.role || query.name({found[i].object.get()}, other) != AccessAnswer::answered ||
            other != name)
            continue;
        if (match != found.size())
            return found.size();
        match = i;
    }
    return match;
}

} // namespace

bool listLike(std::uint32_t role)
{
    return role == acc::roleList || role == acc::roleOutline || role == acc::roleTable || role == acc::roleComboBox;
}

ChosenList chooseList(AccessibleQuery& query, std::unique_ptr<Accessible> client, std::optional<Point> at,
                      const std::optional<std::u16string>& name, std::size_t number)
{
    ChosenList chosen;
    std::uint32_t role = 0;
    if (query.role({client.get()}, role) != AccessAnswer::answered)
        return chosen;
    Walk walk(query);
    std::vector<Found> found;
    if (listLike(role))
        found.push_back({std::move(client), role});
    else
        found = walk.lists(*client);
    chosen.count = found.size();
    // The names of all, for naming the one read among them.
    for (std::size_t i = 0; i < found.size() && !query.reading.stopped(); ++i) {
        std::u16string text;
        query.name({found[i].object.get()}, text);
        chosen.names.push_back(std::move(text));
    }
    std::size_t pick = found.size();
    if (at && client && !query.reading.stopped()) {
        if (Found hit = walk.underPoint(*client, *at); hit.object) {
            const std::uintptr_t id = hit.object->identity();
            pick = static_cast<std::size_t>(
                std::find_if(found.begin(), found.end(), [id](const Found& f) { return f.object->identity() == id; }) -
                found.begin());
            if (pick == found.size())
                pick = sameNamed(query, found, hit);
            if (pick == found.size()) {
                // Beyond the walk's bounds: read all the same, its place unknown.
                chosen.object = std::move(hit.object);
                chosen.role = hit.role;
                return chosen;
            }
        }
    }
    for (std::size_t i = 0; name && pick == found.size() && i < chosen.names.size(); ++i) {
        if (sameText(chosen.names[i], *name))
            pick = i;
    }
    if (pick == found.size() && !name && number)
        pick = std::min(number - 1, found.size());
    if (pick == found.size() && !name && !number && !found.empty())
        pick = 0;
    if (pick < found.size() && !query.reading.stopped()) {
        chosen.object = std::move(found[pick].object);
        chosen.role = found[pick].role;
        chosen.number = pick + 1;
    }
    return chosen;
}

} // namespace quorvel
