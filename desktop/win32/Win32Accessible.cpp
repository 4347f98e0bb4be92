#include "desktop/win32/Win32Accessible.h"

#include "desktop/win32/ComApartment.h"

#include "desktop/win32/ComTypes.h"
#include "desktop/win32/Win32Desktop.h"

#include <oleacc.h>

#include <algorithm>
#include <vector>

namespace quorvel {

namespace {

// Defined here rather than taken from the import libraries: x86_64 MinGW's
// liboleacc.a resolves IID_IAccessible to an import thunk, whose bytes are no
// GUID, and every request for the interface then fails.
constexpr IID iidAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
constexpr IID iidUnknown = {0x00000000, 0x0000, 0x0000, {0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// What a call's result says about the object and its program. The codes
// that tell a program gone come from COM's channel, not from the object.
AccessAnswer answerOf(HRESULT hr)
{
    static constexpr HRESULT gone[] = {
        static_cast<HRESULT>(0x80010108), // RPC_E_DISCONNECTED
        static_cast<HRESULT>(0x80010007), // RPC_E_SERVER_DIED
        static_cast<HRESULT>(0x80010012), // RPC_E_SERVER_DIED_DNE
        static_cast<HRESULT>(0x800401FD), // CO_E_OBJNOTCONNECTED
        static_cast<HRESULT>(0x800706BA), // RPC_S_SERVER_UNAVAILABLE
        static_cast<HRESULT>(0x800706BE), // RPC_S_CALL_FAILED
        static_cast<HRESULT>(0x800706BF), // RPC_S_CALL_FAILED_DNE
    };
    static constexpr HRESULT busy[] = {
        static_cast<HRESULT>(0x80010001), // RPC_E_CALL_REJECTED
        static_cast<HRESULT>(0x8001010A), // RPC_E_SERVERCALL_RETRYLATER
        static_cast<HRESULT>(0x8001011F), // RPC_E_TIMEOUT
    };
    if (SUCCEEDED(hr))
        return AccessAnswer::answered;
    if (hr == E_INVALIDARG)
        return AccessAnswer::absent; // what an object answers for a child id it does not have
    if (std::find(std::begin(gone), std::end(gone), hr) != std::end(gone))
        return AccessAnswer::gone;
    if (std::find(std::begin(busy), std::end(busy), hr) != std::end(busy))
        return AccessAnswer::unanswered;
    return AccessAnswer::refused;
}

// A missing text (S_FALSE, a null BSTR) is an empty one.
std::u16string textOf(const Bstr& b)
{
    const auto* s = reinterpret_cast<const char16_t*>(b.get());
    const std::size_t n = std::min<std::size_t>(b.length(), maxAccessibleText + 1);
    return std::u16string(s ? s : u"", s ? std::find(s, s + n, u'\0') - s : 0);
}

std::unique_ptr<Accessible> wrap(ComPtr<IAccessible> object);

// A child as a VARIANT tells it: an id, or an object that must be accessible.
AccessibleChild childOf(const VARIANT& v)
{
    AccessibleChild child;
    if (v.vt == VT_I4) {
        child.kind = AccessibleChild::Kind::element;
        child.id = v.lVal;
    } else if (v.vt == VT_DISPATCH && v.pdispVal) {
        ComPtr<IAccessible> object;
        if (SUCCEEDED(v.pdispVal->QueryInterface(iidAccessible, reinterpret_cast<void**>(object.put()))) && object) {
            child.kind = AccessibleChild::Kind::object;
            child.object = wrap(std::move(object));
        }
    }
    return child;
}

class Win32Accessible final : public Accessible {
public:
    explicit Win32Accessible(ComPtr<IAccessible> object) : a_(std::move(object)) {}

    AccessAnswer role(std::int32_t child, std::uint32_t& role) override
    {
        Variant r;
        const HRESULT hr = a_->get_accRole(Variant(child).get(), r.put());
        // A role given as a string is none of the standard ones.
        role = r.get().vt == VT_I4 ? static_cast<std::uint32_t>(r.get().lVal) : 0;
        return answerOf(hr);
    }
    AccessAnswer name(std::int32_t child, std::u16string& name) override
    {
        Bstr b;
        const HRESULT hr = a_->get_accName(Variant(child).get(), b.put());
        name = textOf(b);
        return answerOf(hr);
    }
    AccessAnswer value(std::int32_t child, std::u16string& value) override
    {
        Bstr b;
        const HRESULT hr = a_->get_accValue(Variant(child).get(), b.put());
        value = textOf(b);
        return SUCCEEDED(hr) && !b.get() ? AccessAnswer::absent : answerOf(hr);
    }
    AccessAnswer state(std::int32_t child, std::uint32_t& state) override
    {
        Variant s;
        const HRESULT hr = a_->get_accState(Variant(child).get(), s.put());
        state = s.get().vt == VT_I4 ? static_cast<std::uint32_t>(s.get().lVal) : 0;
        return answerOf(hr);
    }
    AccessAnswer childCount(std::int32_t& count) override
    {
        LONG n = 0;
        const HRESULT hr = a_->get_accChildCount(&n);
        count = n;
        return answerOf(hr);
    }
    AccessAnswer children(std::int32_t first, std::int32_t count, std::vector<AccessibleChild>& out) override
    {
        if (count <= 0)
            return AccessAnswer::answered;
        std::vector<Variant> got(static_cast<std::size_t>(count));
        LONG obtained = 0;
        const HRESULT hr =
            ::AccessibleChildren(a_.get(), first, count, reinterpret_cast<VARIANT*>(got.data()), &obtained);
        if (FAILED(hr))
            return answerOf(hr);
        for (LONG i = 0; i < std::clamp<LONG>(obtained, 0, count); ++i)
            out.push_back(childOf(got[static_cast<std::size_t>(i)].get()));
        return AccessAnswer::answered;
    }
    AccessAnswer hitTest(Point at, AccessibleChild& found) override
    {
        Variant v;
        const HRESULT hr = a_->accHitTest(at.x, at.y, v.put());
        found = childOf(v.get());
        return answerOf(hr);
    }
    // The proxy manager answers for IUnknown itself, without a call to the program.
    std::uintptr_t identity() override
    {
        ComPtr<IUnknown> unknown;
        if (FAILED(a_->QueryInterface(iidUnknown, reinterpret_cast<void**>(unknown.put()))))
            return reinterpret_cast<std::uintptr_t>(a_.get());
        return reinterpret_cast<std::uintptr_t>(unknown.get());
    }

private:
    ComPtr<IAccessible> a_;
};

std::unique_ptr<Accessible> wrap(ComPtr<IAccessible> object)
{
    return std::make_unique<Win32Accessible>(std::move(object));
}

} // namespace

AccessAnswer Win32AccessibleWindows::clientObject(WindowHandle window, std::unique_ptr<Accessible>& object)
{
    object.reset();
    const HWND hwnd = toHwnd(window);
    DWORD_PTR answer = 0;
    ::SetLastError(ERROR_SUCCESS);
    if (!::SendMessageTimeoutW(hwnd, WM_GETOBJECT, 0, static_cast<LPARAM>(OBJID_CLIENT), SMTO_ABORTIFHUNG,
                               Win32Desktop::messageTimeoutMs, &answer))
        return ::GetLastError() == ERROR_ACCESS_DENIED ? AccessAnswer::refused
               : ::IsWindow(hwnd)                      ? AccessAnswer::unanswered
                                                       : AccessAnswer::gone;
    if (answer == 0)
        return AccessAnswer::answered; // the window makes no object of its own
    ComPtr<IAccessible> client;
    const HRESULT hr =
        ::ObjectFromLresult(static_cast<LRESULT>(answer), iidAccessible, 0, reinterpret_cast<void**>(client.put()));
    if (FAILED(hr) || !client)
        return SUCCEEDED(hr) ? AccessAnswer::refused : answerOf(hr);
    object = wrap(std::move(client));
    return AccessAnswer::answered;
}

std::shared_ptr<void> Win32AccessibleWindows::enterThread()
{
    return std::make_shared<ComApartment>();
}

} // namespace quorvel
