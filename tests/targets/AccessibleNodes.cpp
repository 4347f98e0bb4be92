#include "AccessibleNodes.h"

#include <atomic>

namespace accnodes {

namespace {

// Defined here: x86_64 MinGW's liboleacc.a links IID_IAccessible to an import thunk.
constexpr IID kIidAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
constexpr wchar_t kClass[] = L"QuorvelDrawnList";

class NodeObject final : public IAccessible {
public:
    NodeObject(Table* t, int node) : t_(t), node_(node) {}

    // IUnknown, IDispatch
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        *out = nullptr;
        if (iid != IID_IUnknown && iid != IID_IDispatch && iid != kIidAccessible)
            return E_NOINTERFACE; // no IEnumVARIANT: the system asks for each child on its own
        AddRef();
        *out = static_cast<IAccessible*>(this);
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = --refs_;
        if (!left)
            delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override { return *n = 0, S_OK; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return E_NOTIMPL;
    }

    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** out) override
    {
        const int parent = t_->nodes[node_].parent;
        *out = parent < 0 ? nullptr : new NodeObject(t_, parent);
        return *out ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* n) override
    {
        const Node& self = t_->nodes[node_];
        *n = self.claim >= 0 ? self.claim : static_cast<LONG>(Kids().size());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT id, IDispatch** out) override
    {
        *out = nullptr;
        const int n = Resolve(id);
        if (n < 0 || n == node_)
            return E_INVALIDARG;
        if (t_->nodes[n].element)
            return S_FALSE;
        *out = new NodeObject(t_, n);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT id, BSTR* out) override
    {
        *out = nullptr;
        const int n = Resolve(id);
        if (n < 0)
            return E_INVALIDARG;
        const Node& node = t_->nodes[n];
        if (node.nameChars)
            *out = SysAllocStringLen(std::wstring(node.nameChars, L'x').c_str(), static_cast<UINT>(node.nameChars));
        else if (!node.name.empty())
            *out = SysAllocString(node.name.c_str());
        return *out ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT id, BSTR* out) override
    {
        *out = nullptr;
        const int n = Resolve(id);
        if (n < 0)
            return E_INVALIDARG;
        *out = t_->nodes[n].value ? SysAllocString(t_->nodes[n].value) : nullptr;
        return *out ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT id, VARIANT* out) override
    {
        VariantInit(out);
        const int n = Resolve(id);
        if (n < 0)
            return E_INVALIDARG;
        Sleep(t_->nodes[n].sleepMs);
        out->vt = VT_I4;
        out->lVal = t_->nodes[n].role;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT id, VARIANT* out) override
    {
        VariantInit(out);
        out->vt = VT_I4;
        out->lVal = 0;
        return Resolve(id) < 0 ? E_INVALIDARG : S_OK;
    }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* x, LONG* y, LONG* w, LONG* h, VARIANT id) override
    {
        const int n = Resolve(id);
        if (n < 0)
            return E_INVALIDARG;
        RECT r = RectOf(n);
        MapWindowPoints(t_->window, nullptr, reinterpret_cast<POINT*>(&r), 2);
        *x = r.left, *y = r.top, *w = r.right - r.left, *h = r.bottom - r.top;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* out) override
    {
        VariantInit(out);
        POINT p{x, y};
        ScreenToClient(t_->window, &p);
        const std::vector<int>& kids = Kids();
        for (std::size_t i = 0; i < kids.size(); ++i) {
            const RECT r = RectOf(kids[i]);
            if (!PtInRect(&r, p))
                continue;
            if (t_->nodes[kids[i]].element) {
                out->vt = VT_I4;
                out->lVal = static_cast<LONG>(i + 1);
            } else {
                out->vt = VT_DISPATCH;
                out->pdispVal = new NodeObject(t_, kids[i]);
            }
            return S_OK;
        }
        const RECT self = RectOf(node_);
        if (!PtInRect(&self, p))
            return S_FALSE;
        out->vt = VT_I4;
        out->lVal = CHILDID_SELF;
        return S_OK;
    }
#define QUORVEL_NOT_TOLD(signature)                                                                                    \
    HRESULT STDMETHODCALLTYPE signature override                                                                       \
    {                                                                                                                  \
        return DISP_E_MEMBERNOTFOUND;                                                                                  \
    }
    QUORVEL_NOT_TOLD(get_accDescription(VARIANT, BSTR*))
    QUORVEL_NOT_TOLD(get_accHelp(VARIANT, BSTR*))
    QUORVEL_NOT_TOLD(get_accHelpTopic(BSTR*, VARIANT, LONG*))
    QUORVEL_NOT_TOLD(get_accKeyboardShortcut(VARIANT, BSTR*))
    QUORVEL_NOT_TOLD(get_accFocus(VARIANT*))
    QUORVEL_NOT_TOLD(get_accSelection(VARIANT*))
    QUORVEL_NOT_TOLD(get_accDefaultAction(VARIANT, BSTR*))
    QUORVEL_NOT_TOLD(accSelect(LONG, VARIANT))
    QUORVEL_NOT_TOLD(accNavigate(LONG, VARIANT, VARIANT*))
    QUORVEL_NOT_TOLD(accDoDefaultAction(VARIANT))
    QUORVEL_NOT_TOLD(put_accName(VARIANT, BSTR))
    QUORVEL_NOT_TOLD(put_accValue(VARIANT, BSTR))
#undef QUORVEL_NOT_TOLD

private:
    const std::vector<int>& Kids() const
    {
        return t_->children[node_];
    }
    // The node a VARIANT names: this one, or its child of that id; -1 for none.
    int Resolve(const VARIANT& id) const
    {
        if (id.vt != VT_I4)
            return -1;
        const std::vector<int>& kids = Kids();
        if (id.lVal == CHILDID_SELF)
            return node_;
        return id.lVal >= 1 && static_cast<std::size_t>(id.lVal) <= kids.size() ? kids[id.lVal - 1] : -1;
    }
    // The window's own object covers its client area.
    RECT RectOf(int n) const
    {
        RECT r = t_->nodes[n].rect;
        if (n == 0)
            GetClientRect(t_->window, &r);
        return r;
    }

    std::atomic<ULONG> refs_{1};
    Table* t_;
    int node_; // 0: the window's own object
};

LRESULT CALLBACK DrawnProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    auto* t = reinterpret_cast<Table*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (msg == WM_NCCREATE) {
        t = static_cast<Table*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        t->window = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(t));
    } else if (msg == WM_GETOBJECT && static_cast<DWORD>(lp) == static_cast<DWORD>(OBJID_CLIENT) && t) {
        auto* root = new NodeObject(t, 0);
        const LRESULT r = LresultFromObject(kIidAccessible, wp, root);
        root->Release();
        return r;
    } else if (msg == WM_PAINT && t) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        SetBkMode(dc, TRANSPARENT);
        for (Node& n : t->nodes)
            DrawTextW(dc, n.name.c_str(), -1, &n.rect, DT_SINGLELINE | DT_NOPREFIX);
        EndPaint(hwnd, &ps);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

} // namespace

int Table::Add(LONG role, std::wstring name, int parent, bool element, RECT rect)
{
    nodes.push_back({role, std::move(name), parent, element, nullptr, rect});
    return static_cast<int>(nodes.size()) - 1;
}

HWND MakeWindow(HWND parent, RECT at, Table* table)
{
    WNDCLASSW wc{};
    wc.lpfnWndProc = DrawnProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kClass;
    RegisterClassW(&wc); // fails harmlessly once registered
    table->children.assign(table->nodes.size(), {});
    for (std::size_t i = 1; i < table->nodes.size(); ++i)
        table->children[table->nodes[i].parent].push_back(static_cast<int>(i));
    return CreateWindowExW(WS_EX_CLIENTEDGE, kClass, L"", WS_CHILD | WS_VISIBLE, at.left, at.top, at.right - at.left,
                           at.bottom - at.top, parent, nullptr, GetModuleHandleW(nullptr), table);
}

} // namespace accnodes
