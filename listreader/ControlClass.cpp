#include "listreader/ControlClass.h"

#include <array>
#include <string_view>
#include <utility>

namespace quorvel {

namespace {

constexpr std::array<std::pair<std::u16string_view, ControlClass>, 8> knownClasses{{
    {u"ListBox", ControlClass::listBox},
    {u"ComboLBox", ControlClass::listBox}, // a combo box's drop-down list
    {u"ComboBox", ControlClass::comboBox},
    {u"ComboBoxEx32", ControlClass::comboBoxEx},
    {u"Edit", ControlClass::edit},
    {u"SysListView32", ControlClass::listView},
    {u"SysTreeView32", ControlClass::treeView},
    {u"SysHeader32", ControlClass::header},
}};

char16_t lower(char16_t c)
{
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

bool equalsIgnoringCase(std::u16string_view a, std::u16string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

ControlClass byExactName(std::u16string_view name)
{
    for (const auto& [known, kind] : knownClasses) {
        if (equalsIgnoringCase(name, known))
            return kind;
    }
    return ControlClass::unknown;
}

} // namespace

ControlClass classifyControl(const std::u16string& className)
{
    const std::u16string_view name = className;
    if (ControlClass kind = byExactName(name); kind != ControlClass::unknown)
        return kind;
    // Windows Forms: "WindowsForms<version>.<system class>.app.<ids>".
    constexpr std::u16string_view forms = u"WindowsForms";
    if (name.size() <= forms.size() || !equalsIgnoringCase(name.substr(0, forms.size()), forms))
        return ControlClass::unknown;
    const std::size_t first = name.find(u'.');
    const std::size_t second = first == std::u16string_view::npos ? first : name.find(u'.', first + 1);
    if (second == std::u16string_view::npos || name.substr(second + 1, 4) != u"app.")
        return ControlClass::unknown;
    return byExactName(name.substr(first + 1, second - first - 1));
}

} // namespace quorvel
