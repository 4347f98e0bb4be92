#include "commandline/VersionLine.h"

// Written by CMake from the project's version.
#include "ProjectVersion.h"

namespace quorvel {

std::u16string versionLine()
{
    // The build's own pointer size: the same source makes either exe.
    constexpr const char16_t* bits = sizeof(void*) == 8 ? u"64-bit" : u"32-bit";
    return std::u16string(u"Quorvel " QUORVEL_VERSION_TEXT u" (") + bits + u")";
}

} // namespace quorvel
