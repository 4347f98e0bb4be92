// The fake's declarations come before <windows.h>, whose macros would rewrite the constants they name.
#include "desktop/fake/FakeAccessible.h"

#include "AccessibleServer.h"

#include <oleacc.h>

#include <atomic>

namespace accserver {

namespace {

using namespace quorvel;

// Defined here: x86_64 MinGW's liboleacc.a links IID_IAccessible to an import thunk.
constexpr IID kIidAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
constexpr wchar_t kClass[] = L"QuorvelDrawnList";

HRESULT ResultOf(AccessAnswer a)
{
    constexpr HRESULT results[] = {S_OK,
                                   E_FAIL,
                                   E_INVALIDARG,
                                   DISP_E_MEMBERNOTFOUND,
                                   static_cast<HRESULT>(0x80010001) /* call rejected */,
                                   static_cast<HRESULT>(0x8001011F) /* timeout */,
                                   static_cast<HRESULT>(0x80010108) /* disconnected */};
    return results[static_cast<int>(a)];
}

// A text as a BSTR. No name (an empty one) and no value are told as S_FALSE and no BSTR, as the interface
// allows; a value that is there is there even when empty.
HRESULT TextOf(AccessAnswer a, const std::u16string& text, BSTR* out, bool name)
{
    *out = nullptr;
    if (name ? a == AccessAnswer::answered && text.empty() : a == AccessAnswer::noValue)
        return S_FALSE;
    if (a != AccessAnswer::answered)
        return ResultOf(a);
    *out = SysAllocStringLen(reinterpret_cast<const wchar_t*>(text.data()), static_cast<UINT>(text.size()));
    return S_OK;
}

#define QUORVEL_METHOD(signature) HRESULT STDMETHODCALLTYPE signature override
#define QUORVEL_NOT_TOLD(signature)                                                                                    \
    QUORVEL_METHOD(signature)                                                                                          \
    {                                                                                                                  \
        return DISP_E_MEMBERNOTFOUND;                                                                                  \
    }

// One fake object, served; a new one each time an object is asked for, as many servers make them.
class Server final : public IAccessible {
public:
    Server(HWND window, std::unique_ptr<Accessible> object) : window_(window), o_(std::move(object)) {}

    QUORVEL_METHOD(QueryInterface(REFIID iid, void** out))
    {
        // No IEnumVARIANT: the system asks for each child on its own.
        const bool known = iid == IID_IUnknown || iid == IID_IDispatch || iid == kIidAccessible;
        *out = known ? static_cast<IAccessible*>(this) : nullptr;
        return known ? (AddRef(), S_OK) : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = --refs_;
        if (!left)
            delete this;
        return left;
    }
    QUORVEL_METHOD(get_accChildCount(LONG* n))
    {
        std::int32_t count = 0;
        const HRESULT hr = ResultOf(o_->childCount(count));
        *n = count;
        return hr;
    }
    QUORVEL_METHOD(get_accChild(VARIANT id, IDispatch** out))
    {
        AccessibleChild child;
        const HRESULT hr = id.vt == VT_I4 && id.lVal > 0 ? ResultOf(o_->child(id.lVal - 1, child)) : E_INVALIDARG;
        const bool object = child.kind == AccessibleChild::Kind::object;
        *out = object ? new Server(window_, std::move(child.object)) : nullptr;
        return FAILED(hr) ? hr : object ? S_OK : S_FALSE;
    }
    QUORVEL_METHOD(get_accName(VARIANT id, BSTR* out))
    {
        std::u16string text;
        return TextOf(id.vt == VT_I4 ? o_->name(id.lVal, text) : AccessAnswer::noSuchChild, text, out, true);
    }
    QUORVEL_METHOD(get_accValue(VARIANT id, BSTR* out))
    {
        std::u16string text;
        return TextOf(id.vt == VT_I4 ? o_->value(id.lVal, text) : AccessAnswer::noSuchChild, text, out, false);
    }
    QUORVEL_METHOD(get_accRole(VARIANT id, VARIANT* out))
    {
        std::uint32_t role = 0;
        VariantInit(out);
        const HRESULT hr = ResultOf(id.vt == VT_I4 ? o_->role(id.lVal, role) : AccessAnswer::noSuchChild);
        out->vt = SUCCEEDED(hr) ? VT_I4 : VT_EMPTY;
        out->lVal = static_cast<LONG>(role);
        return hr;
    }
    QUORVEL_METHOD(accHitTest(LONG x, LONG y, VARIANT* out))
    {
        POINT p{x, y};
        ScreenToClient(window_, &p);
        AccessibleChild found;
        const HRESULT hr = ResultOf(o_->hitTest({p.x, p.y}, found));
        VariantInit(out);
        if (found.kind == AccessibleChild::Kind::element) {
            out->vt = VT_I4;
            out->lVal = found.id;
        } else if (found.kind == AccessibleChild::Kind::object) {
            out->vt = VT_DISPATCH;
            out->pdispVal = new Server(window_, std::move(found.object));
        }
        return FAILED(hr) || out->vt != VT_EMPTY ? hr : S_FALSE;
    }
    QUORVEL_NOT_TOLD(GetTypeInfoCount(UINT*))
    QUORVEL_NOT_TOLD(GetTypeInfo(UINT, LCID, ITypeInfo**))
    QUORVEL_NOT_TOLD(GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*))
    QUORVEL_NOT_TOLD(Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*))
    QUORVEL_NOT_TOLD(get_accParent(IDispatch**))
    QUORVEL_NOT_TOLD(get_accState(VARIANT, VARIANT*))
    QUORVEL_NOT_TOLD(get_accDescription(VARIANT, BSTR*))
    QUORVEL_NOT_TOLD(get_accHelp(VARIANT, BSTR*))
    QUORVEL_NOT_TOLD(get_accHelpTopic(BSTR*, VARIANT, LONG*))
    QUORVEL_NOT_TOLD(get_accKeyboardShortcut(VARIANT, BSTR*))
    QUORVEL_NOT_TOLD(get_accFocus(VARIANT*))
    QUORVEL_NOT_TOLD(get_accSelection(VARIANT*))
    QUORVEL_NOT_TOLD(get_accDefaultAction(VARIANT, BSTR*))
    QUORVEL_NOT_TOLD(accSelect(LONG, VARIANT))
    QUORVEL_NOT_TOLD(accLocation(LONG*, LONG*, LONG*, LONG*, VARIANT))
    QUORVEL_NOT_TOLD(accNavigate(LONG, VARIANT, VARIANT*))
    QUORVEL_NOT_TOLD(accDoDefaultAction(VARIANT))
    QUORVEL_NOT_TOLD(put_accName(VARIANT, BSTR))
    QUORVEL_NOT_TOLD(put_accValue(VARIANT, BSTR))

private:
    std::atomic<ULONG> refs_{1};
    HWND window_;
    std::unique_ptr<Accessible> o_;
};

// The server's own side of its objects: nobody times them here.
UnwatchedCalls unwatched;

LRESULT CALLBACK DrawnProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    auto* tree = reinterpret_cast<FakeAccessibleTree*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    std::unique_ptr<Accessible> client;
    if (tree && msg == WM_GETOBJECT && static_cast<DWORD>(lp) == static_cast<DWORD>(OBJID_CLIENT) &&
        tree->clientObject(static_cast<WindowHandle>(reinterpret_cast<INT_PTR>(hwnd)), client, unwatched) ==
            AccessAnswer::answered &&
        client) {
        auto* root = new Server(hwnd, std::move(client));
        const LRESULT r = LresultFromObject(kIidAccessible, wp, root);
        root->Release();
        return r;
    }
    if (!tree || msg != WM_PAINT)
        return DefWindowProcW(hwnd, msg, wp, lp);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    for (FakeAccNode& n : tree->nodes) {
        RECT r{n.bounds.left, n.bounds.top, n.bounds.right, n.bounds.bottom};
        if (!IsRectEmpty(&r)) // the benchmark's 100,000 items have no place on the screen
            DrawTextW(dc, reinterpret_cast<const wchar_t*>(n.name.c_str()), -1, &r, DT_SINGLELINE | DT_NOPREFIX);
    }
    EndPaint(hwnd, &ps);
    return 0;
}

} // namespace

HWND MakeWindow(HWND parent, RECT at, FakeAccessibleTree* tree, int root)
{
    WNDCLASSW wc{};
    wc.lpfnWndProc = DrawnProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kClass;
    RegisterClassW(&wc); // fails harmlessly once registered
    HWND w = CreateWindowExW(WS_EX_CLIENTEDGE, kClass, L"", WS_CHILD | WS_VISIBLE, at.left, at.top, at.right - at.left,
                             at.bottom - at.top, parent, nullptr, wc.hInstance, nullptr);
    if (!w)
        return nullptr;
    // The window's own object covers its client area.
    RECT client;
    GetClientRect(w, &client);
    tree->nodes[static_cast<std::size_t>(root)].bounds = {client.left, client.top, client.right, client.bottom};
    tree->clients[static_cast<WindowHandle>(reinterpret_cast<INT_PTR>(w))] = root;
    SetWindowLongPtrW(w, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(tree));
    return w;
}

} // namespace accserver
