// A desktop to find lists on: two top-level windows alike but for their
// titles, lists nested in a panel; a registry editor with a hidden and a
// Windows Forms list view; a program that refuses to be asked, drawing lists
// it tells only through accessibility, two of its windows' ClassNNs alike;
// and a hidden and a cloaked window, which no search sees.
#pragma once

#include "desktop/fake/FakeAccessible.h"
#include "desktop/fake/FakeDesktop.h"

namespace quorvel {

struct FakeDesk {
    FakeDesktop d;
    FakeAccessibleTree tree;

    FakeWindow& add(WindowHandle h, FakeKind kind, WindowHandle parent, int process, std::int32_t id = 0,
                    std::u16string className = {})
    {
        FakeWindow& w = d.add(h, kind);
        w.parent = parent;
        w.process = process;
        w.id = id;
        w.className = std::move(className);
        return w;
    }
    // A window that tells these lists, each with one item, through accessibility.
    void tells(WindowHandle h, std::vector<std::u16string> names)
    {
        tree.clients[h] = tree.add({.role = acc::roleClient});
        for (const std::u16string& name : names) {
            const int list = tree.add({.role = acc::roleList, .name = name}, tree.clients[h]);
            tree.add({.role = acc::roleListItem, .name = u"item of " + name}, list);
        }
    }
    void twin(WindowHandle top, std::u16string title, std::u16string first)
    {
        add(top, FakeKind::other, 0, 2, 0, u"TwinFrame").text = std::move(title);
        add(top + 1, FakeKind::other, top, 2, 0, u"TwinPanel");
        add(top + 2, FakeKind::listBox, top + 1, 2, 1).items = {std::move(first), u"b"};
        add(top + 3, FakeKind::comboBox, top + 1, 2, 2).items = {u"x"};
        add(top + 4, FakeKind::edit, top + 3, 2);
        add(top + 5, FakeKind::listView, top, 2, 3).rows = {{u"r"}};
        add(top + 6, FakeKind::header, top + 5, 2);
    }

    FakeDesk()
    {
        d.process(1).path = u"C:\\Apps\\Reg\\regedit.exe";
        d.process(2).path = u"C:\\Apps\\Two\\twin.exe";
        d.process(2).pointerBytes = 4;
        d.process(3).queryDenied = true;
        twin(100, u"Twin A", u"a");
        twin(200, u"Twin B", u"B");
        add(700, FakeKind::other, 0, 1, 0, u"RegEdit_RegEdit").text = u"Registry Editor";
        add(701, FakeKind::treeView, 700, 1, 1).tree = {{u"HKEY"}, {u"SOFTWARE", 0}, {u"SYSTEM", 0}};
        add(702, FakeKind::listView, 700, 1, 2).rows = {{u"(Default)"}};
        add(703, FakeKind::header, 702, 1);
        add(704, FakeKind::listView, 700, 1, 3).visible = false; // a tab page not shown
        add(705, FakeKind::listView, 700, 1, 7, u"WindowsForms10.SysListView32.app.0.2bf8098_r6_ad1");
        add(800, FakeKind::other, 0, 3, 0, u"DrawnFrame").text = u"Drawn";
        for (WindowHandle h = 801; h <= 811; ++h)
            add(h, FakeKind::other, 800, 3, 0, u"Grid");
        add(812, FakeKind::other, 800, 3, 0, u"Grid1");
        add(813, FakeKind::other, 800, 3, 0, u"Panel");
        add(814, FakeKind::other, 800, 3, 0, u"Button");
        tells(811, {u"Sizes"});
        tells(812, {u"Other"});
        tells(813, {u"Fruits", u"Fruits"});
        tells(814, {u"Never asked"});
        add(500, FakeKind::other, 0, 1).visible = false;
        add(501, FakeKind::listBox, 500, 1);
        add(600, FakeKind::other, 0, 1).cloaked = true;
        add(601, FakeKind::listBox, 600, 1);
        d.window(100).z = -1; // topmost: its lists come first
    }
};

} // namespace quorvel
