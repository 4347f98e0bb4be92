#include "AccessibleNodes.h"

#include <atomic>

namespace accnodes {

namespace {

// Defined here: x86_64 MinGW's liboleacc.a links IID_IAccessible to an import thunk.
constexpr IID kIidAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
constexpr wchar_t kClass[] = L"QuorvelDrawnList";

#define QUORVEL_METHOD(signature) HRESULT STDMETHODCALLTYPE signature override
#define QUORVEL_NOT_TOLD(signature)                                                                                    \
    QUORVEL_METHOD(signature)                                                                                          \
    {                                                                                                                  \
        return DISP_E_MEMBERNOTFOUND;                                                                                  \
    }

// One node as an object; a new one each time a node is asked for, as many servers make them.
class NodeObject final : public IAccessible {
public:
    NodeObject(Table* t, int node) : t_(t), node_(node) {}

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
        *n = t_->nodes[node_].claim >= 0 ? t_->nodes[node_].claim : static_cast<LONG>(Kids().size());
        return S_OK;
    }
    QUORVEL_METHOD(get_accChild(VARIANT id, IDispatch** out))
    {
        const int n = Resolve(id);
        *out = n > 0 && n != node_ && !t_->nodes[n].element ? new NodeObject(t_, n) : nullptr;
        return n < 0 || n == node_ ? E_INVALIDARG : *out ? S_OK : S_FALSE;
    }
    QUORVEL_METHOD(get_accName(VARIANT id, BSTR* out))
    {
        const int n = Resolve(id);
        const Node& node = t_->nodes[n < 0 ? 0 : n];
        const std::wstring name = node.nameChars ? std::wstring(node.nameChars, L'x') : node.name;
        *out = n < 0 || name.empty() ? nullptr : SysAllocString(name.c_str()); // no name: S_FALSE, as allowed
        return n < 0 ? E_INVALIDARG : *out ? S_OK : S_FALSE;
    }
    QUORVEL_METHOD(get_accValue(VARIANT id, BSTR* out))
    {
        const int n = Resolve(id);
        *out = n >= 0 && t_->nodes[n].value ? SysAllocString(t_->nodes[n].value) : nullptr;
        return n < 0 ? E_INVALIDARG : *out ? S_OK : S_FALSE;
    }
    QUORVEL_METHOD(get_accRole(VARIANT id, VARIANT* out))
    {
        const int n = Resolve(id);
        if (n >= 0)
            Sleep(t_->nodes[n].sleepMs);
        return n < 0 ? E_INVALIDARG : (Id(out, t_->nodes[n].role), S_OK);
    }
    QUORVEL_METHOD(accHitTest(LONG x, LONG y, VARIANT* out))
    {
        POINT p{x, y};
        ScreenToClient(t_->window, &p);
        const std::vector<int>& kids = Kids();
        for (std::size_t i = 0; i < kids.size(); ++i) {
            if (!PtInRect(&t_->nodes[kids[i]].rect, p))
                continue;
            if (t_->nodes[kids[i]].element)
                return Id(out, static_cast<LONG>(i + 1)), S_OK;
            VariantInit(out);
            out->vt = VT_DISPATCH;
            out->pdispVal = new NodeObject(t_, kids[i]);
            return S_OK;
        }
        RECT self = t_->nodes[node_].rect;
        if (node_ == 0)
            GetClientRect(t_->window, &self); // the window's own object covers its client area
        VariantInit(out);
        return PtInRect(&self, p) ? (Id(out, CHILDID_SELF), S_OK) : S_FALSE;
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
    static void Id(VARIANT* out, LONG id)
    {
        VariantInit(out);
        out->vt = VT_I4;
        out->lVal = id;
    }
    const std::vector<int>& Kids() const { return t_->children[node_]; }
    // The node a VARIANT names: this one, or its child of that id; -1 for none.
    int Resolve(const VARIANT& id) const
    {
        const std::vector<int>& kids = Kids();
        if (id.vt != VT_I4 || id.lVal < 0 || static_cast<std::size_t>(id.lVal) > kids.size())
            return -1;
        return id.lVal == CHILDID_SELF ? node_ : kids[id.lVal - 1];
    }

    std::atomic<ULONG> refs_{1};
    Table* t_;
    int node_;
};

LRESULT CALLBACK DrawnProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_NCCREATE)
        SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams));
    auto* t = reinterpret_cast<Table*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!t)
        return DefWindowProcW(hwnd, msg, wp, lp);
    if (msg == WM_GETOBJECT && static_cast<DWORD>(lp) == static_cast<DWORD>(OBJID_CLIENT)) {
        auto* root = new NodeObject(t, 0);
        const LRESULT r = LresultFromObject(kIidAccessible, wp, root);
        root->Release();
        return r;
    }
    if (msg != WM_PAINT)
        return DefWindowProcW(hwnd, msg, wp, lp);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    for (Node& n : t->nodes) {
        if (!IsRectEmpty(&n.rect)) // the benchmark's 100,000 items have no place on the screen
            DrawTextW(dc, n.name.c_str(), -1, &n.rect, DT_SINGLELINE | DT_NOPREFIX);
    }
    EndPaint(hwnd, &ps);
    return 0;
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
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kClass;
    RegisterClassW(&wc); // fails harmlessly once registered
    table->children.assign(table->nodes.size(), {});
    for (std::size_t i = 1; i < table->nodes.size(); ++i)
        table->children[table->nodes[i].parent].push_back(static_cast<int>(i));
    table->window = CreateWindowExW(WS_EX_CLIENTEDGE, kClass, L"", WS_CHILD | WS_VISIBLE, at.left, at.top,
                                    at.right - at.left, at.bottom - at.top, parent, nullptr, wc.hInstance, table);
    return table->window;
}

} // namespace accnodes
