#include "listreader/ControlClass.h"

#include "listreader/ClassTable.h"
#include "listing/TextMatch.h"

#include <optional>
#include <string_view>

namespace quorvel {

namespace {

using Name = std::u16string_view;

bool equalsIgnoringCase(Name a, Name b)
{
    return sameText(a, b);
}

bool startsWith(Name name, Name prefix)
{
    return name.size() >= prefix.size() && equalsIgnoringCase(name.substr(0, prefix.size()), prefix);
}

bool endsWith(Name name, Name suffix)
{
    return name.size() >= suffix.size() && equalsIgnoringCase(name.substr(name.size() - suffix.size()), suffix);
}

bool allOf(Name name, bool (*is)(char16_t))
{
    for (char16_t c : name) {
        if (!is(c))
            return false;
    }
    return true;
}

bool isDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

bool isHexDigit(char16_t c)
{
    return isDigit(c) || (folded(c) >= u'a' && folded(c) <= u'f');
}

// "WindowsForms<version>.<name>.app.<ids>": Windows Forms registers its own
// class for each system class it wraps.
std::optional<Name> windowsFormsBase(Name name)
{
    constexpr Name prefix = u"WindowsForms";
    if (!startsWith(name, prefix))
        return std::nullopt;
    const std::size_t first = name.find(u'.');
    const std::size_t second = first == Name::npos ? first : name.find(u'.', first + 1);
    if (second == Name::npos || !allOf(name.substr(prefix.size(), first - prefix.size()), isDigit) ||
        !startsWith(name.substr(second), u".app."))
        return std::nullopt;
    return name.substr(first + 1, second - first - 1);
}

// The name inside a framework's decoration, or nullopt when there is none or
// it names no class: ATL's "ATL:<address>" of a window class of its own says
// nothing about what the window does.
std::optional<Name> undecorated(Name name)
{
    if (auto forms = windowsFormsBase(name))
        return forms;
    if (startsWith(name, u"ATL:")) {
        const Name base = name.substr(4);
        return allOf(base, isHexDigit) ? std::nullopt : std::optional(base);
    }
    // TNT's Unicode controls.
    if (endsWith(name, u".UnicodeClass"))
        return name.substr(0, name.size() - 13);
    // MFC: "Afx:<name>:<instance>:<style>:<cursor>:<brush>"; its generic names
    // have an address where the name would be and match no row.
    if (startsWith(name, u"Afx:"))
        return name.substr(0, name.find(u':', 4));
    return std::nullopt;
}

std::optional<ClassInfo> byExactName(Name name)
{
    for (const ClassRow& row : classTable()) {
        if (equalsIgnoringCase(name, row.name))
            return ClassInfo{row.kind, row.systemStyles};
    }
    return std::nullopt;
}

} // namespace

ClassInfo classInfo(const std::u16string& className)
{
    if (auto known = byExactName(className))
        return *known;
    if (auto base = undecorated(className); base && !base->empty()) {
        if (auto known = byExactName(*base))
            return *known;
    }
    return {};
}

bool stateImagesAreCheckBoxes(const std::u16string& topLevelClass)
{
    for (Name exception : stateImageExceptions()) {
        if (equalsIgnoringCase(topLevelClass, exception))
            return false;
    }
    return true;
}

} // namespace quorvel
