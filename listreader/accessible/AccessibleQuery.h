// The questions the accessible readers ask, each through Reading::ask so that
// a cancel, a program gone or one that stops answering ends the read there,
// and the children of an object a batch at a time.
#pragma once

#include "listreader/Reading.h"

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
    AccessAnswer children(Accessible& object, std::int32_t first, std::int32_t count,
                          std::vector<AccessibleChild>& out);
    AccessAnswer hitTest(Accessible& object, Point at, AccessibleChild& found);

private:
    using TextQuestion = AccessAnswer (Accessible::*)(std::int32_t, std::u16string&);
    AccessAnswer askText(AccessibleItem item, TextQuestion question, std::u16string& text);

    WindowHandle window_;
};

// The children of an object, a batch at a time, up to the count it claims
// and at most limit. No batch comes once the read has stopped.
class ChildBatches {
public:
    ChildBatches(AccessibleQuery& query, Accessible& object, std::int32_t batch, std::int32_t limit = INT32_MAX)
        : query_(query), object_(object), batch_(batch), limit_(limit)
    {
    }

    // The next batch in place of the last; false at the end. A batch the
    // object does not give, or gives in part, is the last.
    bool next(std::vector<AccessibleChild>& children);

private:
    AccessibleQuery& query_;
    Accessible& object_;
    std::int32_t batch_, limit_;
    std::int32_t claimed_ = -1, first_ = 0;
};

} // namespace quorvel
