#include "mainwindow/FieldAppend.h"

namespace quorvel {

bool appendToField(OwnWindow& own, WindowHandle field, const std::u16string& text)
{
    const auto [start, end] = own.getSelection(field);
    const int first = own.firstVisibleLine(field);
    own.setRedraw(field, false);
    const std::size_t length = own.textLength(field);
    own.setSelection(field, length, length);
    const bool took = own.replaceSelection(field, text);
    if (!took) {
        // Whatever part got in goes again: the field holds whole rows only.
        own.setSelection(field, length, own.textLength(field));
        own.replaceSelection(field, u"");
    }
    own.setSelection(field, start, end);
    own.scrollLines(field, first - own.firstVisibleLine(field));
    own.setRedraw(field, true);
    return took;
}

} // namespace quorvel
