#include "BenchAccessible.h"

#include <oleacc.h>

#include <vector>

namespace bench {

namespace {

constexpr IID kIidAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
constexpr LONG kBatch = 256;

} // namespace

bool AccessibleFloor(HWND window, DWORD timeoutMs, std::size_t& items, std::size_t& chars)
{
    items = chars = 0;
    if (FAILED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)))
        return false;
    DWORD_PTR answer = 0;
    IAccessible* list = nullptr;
    if (!SendMessageTimeoutW(window, WM_GETOBJECT, 0, static_cast<LPARAM>(OBJID_CLIENT), SMTO_ABORTIFHUNG, timeoutMs,
                             &answer) ||
        FAILED(ObjectFromLresult(static_cast<LRESULT>(answer), kIidAccessible, 0, reinterpret_cast<void**>(&list)))) {
        CoUninitialize();
        return false;
    }
    LONG count = 0;
    bool ok = SUCCEEDED(list->get_accChildCount(&count));
    std::vector<VARIANT> batch(kBatch);
    for (LONG first = 0; ok && first < count; first += kBatch) {
        LONG got = 0;
        ok = SUCCEEDED(AccessibleChildren(list, first, kBatch, batch.data(), &got));
        for (LONG i = 0; ok && i < got; ++i) {
            BSTR name = nullptr;
            ok = batch[i].vt == VT_I4 && SUCCEEDED(list->get_accName(batch[i], &name));
            chars += SysStringLen(name);
            ++items;
            SysFreeString(name);
        }
        for (VARIANT& v : batch)
            VariantClear(&v);
    }
    list->Release();
    CoUninitialize();
    return ok;
}

} // namespace bench
