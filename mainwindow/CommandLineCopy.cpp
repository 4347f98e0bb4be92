#include "mainwindow/CommandLineCopy.h"

#include "finding/Naming.h"
#include "finding/Survey.h"
#include "listing/Utf8.h"

namespace quorvel {

std::u16string commandLineFor(WindowTree& tree, const ReadFound& found)
{
    // The read told the window's accessible lists: the survey asks nobody.
    ToldCensus told(found.handle, found.kind == ListKind::accessible ? found.listNames : std::vector<std::u16string>{});
    const Desk desk = survey(tree, {nullptr, &told, nullptr});
    std::size_t list = desk.listOf(found.handle);
    for (std::size_t i = 0; found.kind == ListKind::accessible && i < desk.lists.size(); ++i) {
        if (desk.lists[i].handle == found.handle && desk.lists[i].place == found.listNumber)
            list = i;
    }
    if (list == desk.lists.size() || (found.kind == ListKind::accessible && !desk.lists[list].accessible()))
        return u"quorvel --read " + decimal(found.handle);
    return u"quorvel --read \"" + Naming(desk).selectorFor(list) + u"\"";
}

} // namespace quorvel
