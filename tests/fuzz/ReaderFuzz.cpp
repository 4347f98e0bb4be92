// A target that answers every message as the fuzzer says: any count, any
// length, any reply, no answer at all. The reader must stay within its
// buffers (the sanitizers watch) and show only whole items, each on a line.
#include "desktop/fake/FakeDesktop.h"
#include "tests/support/ReadText.h"
#include "tests/fuzz/FuzzScript.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

struct Script : FuzzScript {
    std::int32_t lastLength = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace quorvel;
    constexpr WindowHandle target = 77;
    FakeDesktop desktop;
    Script script{{data, size}};
    std::size_t fetchesAnswered = 0;
    desktop.add(target, FakeKind::listBox).hook = [&](unsigned msg, std::uintptr_t,
                                                      std::intptr_t lParam) -> std::optional<MessageResult> {
        // Once the input runs out the target stops answering, as a hung one does.
        if (script.exhausted())
            return MessageResult{};
        const std::uint8_t mode = script.byte();
        if (mode % 11 == 0)
            return MessageResult{};
        if (msg == win::LB_GETTEXTLEN || msg == win::CB_GETLBTEXTLEN) {
            script.lastLength = script.number();
            return MessageResult{true, script.lastLength};
        }
        if (msg == win::LB_GETTEXT || msg == win::CB_GETLBTEXT) {
            // The target writes no more than the length it gave, but may
            // answer any count of characters copied.
            ++fetchesAnswered;
            const std::int32_t n = script.lastLength > 0 ? script.byte() % (script.lastLength + 1) : 0;
            auto* out = reinterpret_cast<char16_t*>(lParam);
            for (std::int32_t i = 0; i < n; ++i)
                out[i] = static_cast<char16_t>(u'a' + (script.byte() % 3));
            out[n] = u'\0';
            return MessageResult{true, mode & 1 ? n : script.number()};
        }
        return MessageResult{true, script.number()};
    };
    const std::u16string items = readText(desktop, target);
    std::size_t lines = 0;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i] == u'\r') {
            if (i + 1 >= items.size() || items[i + 1] != u'\n' || i == 0 || items[i - 1] == u'\n')
                __builtin_trap(); // a line that is not a whole, non-empty item
            ++lines;
        }
    }
    if (!items.empty() && items.back() != u'\n')
        __builtin_trap();
    if (lines > fetchesAnswered || desktop.sentMessages.size() > 2 + 2 * size + 2)
        __builtin_trap();
    return 0;
}
