#include "desktop/win32/Win32Accessible.h"

// Before <windows.h>, whose macros would rewrite the constants the desktop names.
#include "desktop/win32/Win32Desktop.h"

#include "desktop/win32/ComApartment.h"
#include "desktop/win32/ComTypes.h"

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
constexpr IID iidEnumVariant = {0x00020404, 0x0000, 0x0000, {0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// What a call's result says about the object and its program. The codes
// that tell a program gone or busy come from COM's channel, not the object.
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
    // A program inside a call of its own (a modal loop, say) turns others
    // away for the moment; clients ask again.
    static constexpr HRESULT busy[] = {
        static_cast<HRESULT>(0x80010001), // RPC_E_CALL_REJECTED
        static_cast<HRESULT>(0x8001010A), // RPC_E_SERVERCALL_RETRYLATER
        static_cast<HRESULT>(0x8001011F), // RPC_E_TIMEOUT
    };
    if (SUCCEEDED(hr))
        return AccessAnswer::answered;
    if (hr == E_INVALIDARG)
        return AccessAnswer::noSuchChild; // what an object answers for a child id it does not have
    if (std::find(std::begin(gone), std::end(gone), hr) != std::end(gone))
        return AccessAnswer::gone;
    if (std::find(std::begin(busy), std::end(busy), hr) != std::end(busy))
        return AccessAnswer::busy;
    return AccessAnswer::refused;
}

// A missing text (S_FALSE, a null BSTR) is an empty one.
std::u16string textOf(const Bstr& b)
{
    const auto* s = reinterpret_cast<const char16_t*>(b.get());
    const std::size_t n = std::min<std::size_t>(b.length(), maxAccessibleText + 1);
    return std::u16string(s ? s : u"", s ? std::find(s, s + n, u'\0') - s : 0);
}

std::unique_ptr<Accessible> wrap(ComPtr<IAccessible> object, CallObserver& observer);

// A child as a VARIANT tells it: an id, or an object that must be accessible.
// Asking a proxy for another interface is a call into its program.
AccessibleChild childOf(const VARIANT& v, CallObserver& observer)
{
    AccessibleChild child;
    if (v.vt == VT_I4) {
        child.kind = AccessibleChild::Kind::element;
        child.id = v.lVal;
    } else if (v.vt == VT_DISPATCH && v.pdispVal) {
        ComPtr<IAccessible> object;
        HRESULT hr = E_FAIL;
        {
            ObservedCall call(observer, false);
            hr = v.pdispVal->QueryInterface(iidAccessible, reinterpret_cast<void**>(object.put()));
        }
        if (SUCCEEDED(hr) && object) {
            child.kind = AccessibleChild::Kind::object;
            child.object = wrap(std::move(object), observer);
        }
    }
    return child;
}

class Win32Accessible final : public Accessible {
public:
    Win32Accessible(ComPtr<IAccessible> object, CallObserver& observer) : a_(std::move(object)), observer_(observer) {}
    // Letting go of a proxy is a call into its program too.
    ~Win32Accessible() override
    {
        ObservedCall call(observer_, false);
        enumerator_.reset();
        a_.reset();
    }

    AccessAnswer role(std::int32_t child, std::uint32_t& role) override
    {
        Variant r;
        const HRESULT hr = ask([&] { return a_->get_accRole(Variant(child).get(), r.put()); });
        // A role given as a string is none of the standard ones.
        role = r.get().vt == VT_I4 ? static_cast<std::uint32_t>(r.get().lVal) : 0;
        return answerOf(hr);
    }
    AccessAnswer name(std::int32_t child, std::u16string& name) override
    {
        Bstr b;
        const HRESULT hr = ask([&] { return a_->get_accName(Variant(child).get(), b.put()); });
        name = textOf(b);
        return answerOf(hr);
    }
    AccessAnswer value(std::int32_t child, std::u16string& value) override
    {
        Bstr b;
        const HRESULT hr = ask([&] { return a_->get_accValue(Variant(child).get(), b.put()); });
        value = textOf(b);
        // An object that keeps no value says so in any of these ways.
        if ((SUCCEEDED(hr) && !b.get()) || hr == DISP_E_MEMBERNOTFOUND || hr == E_NOTIMPL)
            return AccessAnswer::noValue;
        return answerOf(hr);
    }
    AccessAnswer state(std::int32_t child, std::uint32_t& state) override
    {
        Variant s;
        const HRESULT hr = ask([&] { return a_->get_accState(Variant(child).get(), s.put()); });
        state = s.get().vt == VT_I4 ? static_cast<std::uint32_t>(s.get().lVal) : 0;
        return answerOf(hr);
    }
    AccessAnswer childCount(std::int32_t& count) override
    {
        LONG n = 0;
        const HRESULT hr = ask([&] { return a_->get_accChildCount(&n); });
        count = n;
        return answerOf(hr);
    }
    // As the system's own AccessibleChildren takes the answer: a child that
    // is no object of its own, or that the object will not hand out, is a
    // simple element of that id, asked about through its parent.
    AccessAnswer child(std::int32_t index, AccessibleChild& out) override
    {
        out = {};
        ComPtr<IDispatch> dispatch;
        const LONG id = index + 1;
        const HRESULT hr = ask([&] { return a_->get_accChild(Variant(id).get(), dispatch.put()); });
        const AccessAnswer a = answerOf(hr);
        if (a == AccessAnswer::noSuchChild || a == AccessAnswer::busy || a == AccessAnswer::gone)
            return a;
        if (dispatch) {
            VARIANT v;
            v.vt = VT_DISPATCH;
            v.pdispVal = dispatch.get();
            out = childOf(v, observer_);
            ObservedCall call(observer_, false);
            dispatch.reset();
        }
        if (out.kind == AccessibleChild::Kind::none) {
            out.kind = AccessibleChild::Kind::element;
            out.id = id;
        }
        return AccessAnswer::answered;
    }
    AccessAnswer hasEnumerator(bool& has) override
    {
        if (!enumeratorAsked_) {
            enumeratorAsked_ = true;
            ask([&] { return a_->QueryInterface(iidEnumVariant, reinterpret_cast<void**>(enumerator_.put())); });
        }
        has = static_cast<bool>(enumerator_);
        return AccessAnswer::answered;
    }
    AccessAnswer enumerate(std::int32_t index, std::int32_t count, std::vector<AccessibleChild>& out) override
    {
        if (!enumerator_)
            return AccessAnswer::refused;
        if (count <= 0)
            return AccessAnswer::answered;
        if (index != position_) {
            // Each a call of its own: the enumerator lives in the program.
            HRESULT hr = ask([&] { return enumerator_->Reset(); });
            if (SUCCEEDED(hr) && index > 0)
                hr = ask([&] { return enumerator_->Skip(static_cast<ULONG>(index)); });
            if (FAILED(hr))
                return answerOf(hr);
            position_ = index;
        }
        std::vector<Variant> got(static_cast<std::size_t>(count));
        ULONG fetched = 0;
        const HRESULT hr = ask([&] {
            return enumerator_->Next(static_cast<ULONG>(count), reinterpret_cast<VARIANT*>(got.data()), &fetched);
        });
        if (FAILED(hr))
            return answerOf(hr);
        fetched = std::min<ULONG>(fetched, static_cast<ULONG>(count));
        position_ += static_cast<std::int32_t>(fetched);
        for (ULONG i = 0; i < fetched; ++i)
            out.push_back(childOf(got[i].get(), observer_));
        ObservedCall call(observer_, false);
        got.clear();
        return AccessAnswer::answered;
    }
    AccessAnswer hitTest(Point at, AccessibleChild& found) override
    {
        found = {};
        Variant v;
        const HRESULT hr = ask([&] { return a_->accHitTest(at.x, at.y, v.put()); });
        found = childOf(v.get(), observer_);
        if (v.get().vt == VT_DISPATCH) {
            ObservedCall call(observer_, false);
            v.put();
        }
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
    template <typename Call> HRESULT ask(Call call)
    {
        ObservedCall observed(observer_, false);
        return call();
    }

    ComPtr<IAccessible> a_;
    CallObserver& observer_;
    ComPtr<IEnumVARIANT> enumerator_;
    bool enumeratorAsked_ = false;
    std::int32_t position_ = -1; // where the enumerator stands; -1: not known
};

std::unique_ptr<Accessible> wrap(ComPtr<IAccessible> object, CallObserver& observer)
{
    return std::make_unique<Win32Accessible>(std::move(object), observer);
}

} // namespace

AccessAnswer Win32AccessibleWindows::clientObject(WindowHandle window, std::unique_ptr<Accessible>& object,
                                                  CallObserver& observer)
{
    object.reset();
    const HWND hwnd = toHwnd(window);
    DWORD_PTR answer = 0;
    BOOL sent = FALSE;
    {
        ObservedCall call(observer, true);
        ::SetLastError(ERROR_SUCCESS);
        sent = ::SendMessageTimeoutW(hwnd, WM_GETOBJECT, 0, static_cast<LPARAM>(OBJID_CLIENT), SMTO_ABORTIFHUNG,
                                     Win32Desktop::messageTimeoutMs, &answer);
    }
    if (!sent)
        return ::GetLastError() == ERROR_ACCESS_DENIED ? AccessAnswer::refused
               : ::IsWindow(hwnd)                      ? AccessAnswer::unanswered
                                                       : AccessAnswer::gone;
    if (answer == 0)
        return AccessAnswer::answered; // the window makes no object of its own
    ComPtr<IAccessible> client;
    HRESULT hr = E_FAIL;
    {
        ObservedCall call(observer, false);
        hr =
            ::ObjectFromLresult(static_cast<LRESULT>(answer), iidAccessible, 0, reinterpret_cast<void**>(client.put()));
    }
    if (FAILED(hr) || !client)
        return SUCCEEDED(hr) ? AccessAnswer::refused : answerOf(hr);
    object = wrap(std::move(client), observer);
    return AccessAnswer::answered;
}

std::shared_ptr<void> Win32AccessibleWindows::enterThread()
{
    return std::make_shared<ComApartment>();
}

} // namespace quorvel
