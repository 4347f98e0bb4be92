// The questions the accessible readers ask, each through Reading::ask so that
// a cancel, a program gone or one that stops answering ends the read there,
// and the children of an object a batch at a time.
#pragma once

#include "listreader/HeldRun.h"
#include "listreader/Reading.h"

#include <climits>

namespace quorvel {

// What a question is about: an object, or a simple element of one.
struct AccessibleItem {
    Accessible* object = nullptr;
    std::int32_t id = acc::self;
};

// The item a child stands for; none for a child told as nothing usable.
inline AccessibleItem itemOf(const AccessibleChild& child, Accessible& parent)
{
    if (child.kind == AccessibleChild::Kind::object)
        return {child.object.get(), acc::self};
    if (child.kind == AccessibleChild::Kind::element)
        return {&parent, child.id};
    return {};
}

class AccessibleQuery {
public:
    AccessibleQuery(Reading& reading, WindowHandle window) : reading(reading), window_(window) {}

    Reading& reading;

    AccessAnswer clientObject(AccessibleWindows& windows, std::unique_ptr<Accessible>& object);
    // Of an item that is none: refused, without a question.
    AccessAnswer role(AccessibleItem item, std::uint32_t& role);
    // A text longer than any item counts as refused.
    AccessAnswer name(AccessibleItem item, std::u16string& text);
    AccessAnswer value(AccessibleItem item, std::u16string& text);
    // Where the read wants the items' states (Reading::states), marks the
    // listing's row with those of item: one question; nothing when refused.
    void markStates(AccessibleItem item, std::size_t row);
    AccessAnswer childCount(Accessible& object, std::int32_t& count);
    AccessAnswer child(Accessible& object, std::int32_t index, AccessibleChild& out);
    AccessAnswer hasEnumerator(Accessible& object, bool& has);
    AccessAnswer enumerate(Accessible& object, std::int32_t index, std::int32_t count,
                           std::vector<AccessibleChild>& out);
    AccessAnswer hitTest(Accessible& object, Point at, AccessibleChild& found);

private:
    using TextQuestion = AccessAnswer (Accessible::*)(std::int32_t, std::u16string&);
    AccessAnswer askText(AccessibleItem item, TextQuestion question, std::u16string& text);

    WindowHandle window_;
};

// More refusals in a row than this end a read, the program refused: a list
// whose program counts two billion items it will not tell would otherwise
// cost weeks.
constexpr std::size_t maxRefusedRun = 256;
// Children asked for, one by one, of an object that would not tell how many
// it has; more end the read, the program refused.
constexpr std::int32_t maxUncounted = 1'000'000;

// The children of an object, a batch at a time, up to the count it claims
// and at most limit. Only the object ends them: a child it does not have,
// or fewer than asked of its enumerator. An object that would not tell its
// count is asked child by child until it says there are no more; one that
// would not hand out a batch ends the read, refused, where the read wants
// its children (a list's items), else only its children (a walk looking
// for lists). No batch comes once the read has stopped.
class ChildBatches {
public:
    enum class Refused { endsRead, endsChildren };
    ChildBatches(AccessibleQuery& query, Accessible& object, std::int32_t batch, std::int32_t limit = INT32_MAX,
                 Refused refused = Refused::endsRead)
        : query_(query), object_(object), batch_(batch), limit_(limit), refused_(refused)
    {
    }

    // The next batch in place of the last; false at the end.
    bool next(std::vector<AccessibleChild>& children);

private:
    bool start();

    AccessibleQuery& query_;
    Accessible& object_;
    std::int32_t batch_, limit_;
    Refused refused_;
    bool started_ = false, enumerates_ = false, counted_ = false, ended_ = false;
    std::int32_t end_ = 0, first_ = 0;
};

// Counts what a list would not tell as it is read: an item refused is held
// in a run until the list goes on past it or ends, and a run longer than
// maxRefusedRun ends the read, the program refused.
class Refusals {
public:
    explicit Refusals(Reading& reading) : reading_(reading), run_(reading.listing) {}
    // False once the run is too long: the read has then stopped, refused.
    bool refused(int depth = 0);
    // An item was told, or the list ended: the run is part of it.
    void settle() { run_.keep(); }

private:
    Reading& reading_;
    HeldRun run_;
};

} // namespace quorvel
