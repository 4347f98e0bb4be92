// Which standard control a window of any process is, told by its class name.
#pragma once

#include <string>

namespace quorvel {

enum class ControlClass { unknown, listBox, comboBox, comboBoxEx, edit, listView, treeView, header };

// The control a class name names: the system's own class names, compared
// without regard to case, and the same names as Windows Forms embeds them
// ("WindowsForms10.SysListView32.app.0.2bf8098_r6_ad1"). Anything else is
// unknown: a custom control may give any private message any meaning.
ControlClass classifyControl(const std::u16string& className);

} // namespace quorvel
