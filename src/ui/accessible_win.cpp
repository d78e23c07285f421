// commctrl.h needs windows.h before it.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on
#include "ui/accessible.h"

#include <oleacc.h>

namespace {

HRESULT textAnswer(const std::wstring& text, BSTR* answer) {
    *answer = text.empty() ? nullptr : SysAllocString(text.c_str());
    return *answer ? S_OK : S_FALSE;
}

HRESULT numberAnswer(LONG number, VARIANT* answer) {
    answer->vt = VT_I4;
    answer->lVal = number;
    return S_OK;
}

// COM interfaces have no virtual destructor: the object ends in its own Release.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
// The client object of one window. Questions about the window itself go to the standard
// object unless `client` says otherwise; items are children 1 to n, child windows follow.
class ClientObject final : public IAccessible {
public:
    ClientObject(HWND window, const AccessibleClient& client) : window_(window), client_(client) {
        CreateStdAccessibleObject(window, OBJID_CLIENT, __uuidof(IAccessible),
                                  reinterpret_cast<void**>(&standard_));
    }
    ~ClientObject() {
        if (standard_) standard_->Release();
    }
    ClientObject(const ClientObject&) = delete;
    ClientObject& operator=(const ClientObject&) = delete;

    STDMETHODIMP QueryInterface(REFIID id, void** object) override {
        if (id != __uuidof(IUnknown) && id != __uuidof(IDispatch) && id != __uuidof(IAccessible)) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        *object = static_cast<IAccessible*>(this);
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&references_); }
    STDMETHODIMP_(ULONG) Release() override {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0) delete this;
        return left;
    }

    // Readers call the IAccessible methods directly; no type information is offered.
    STDMETHODIMP GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                        UINT*) override {
        return E_NOTIMPL;
    }

    STDMETHODIMP get_accParent(IDispatch** parent) override {
        return AccessibleObjectFromWindow(window_, OBJID_WINDOW, __uuidof(IDispatch),
                                          reinterpret_cast<void**>(parent));
    }
    STDMETHODIMP get_accChildCount(LONG* count) override {
        if (!client_.items) return standard_ ? standard_->get_accChildCount(count) : E_FAIL;
        *count = static_cast<LONG>(client_.items(window_).size());
        for (HWND c = GetWindow(window_, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) ++*count;
        return S_OK;
    }
    STDMETHODIMP get_accChild(VARIANT child, IDispatch** object) override {
        *object = nullptr;
        if (!client_.items) return standard_ ? standard_->get_accChild(child, object) : E_FAIL;
        if (child.vt != VT_I4 || child.lVal < 1) return E_INVALIDARG;
        LONG index = child.lVal - static_cast<LONG>(client_.items(window_).size());
        if (index <= 0) return S_FALSE;  // an item: a simple child, asked through this object
        HWND c = GetWindow(window_, GW_CHILD);
        while (c && --index > 0) c = GetWindow(c, GW_HWNDNEXT);
        if (!c) return E_INVALIDARG;
        return AccessibleObjectFromWindow(c, OBJID_WINDOW, __uuidof(IDispatch),
                                          reinterpret_cast<void**>(object));
    }
    STDMETHODIMP get_accName(VARIANT child, BSTR* name) override {
        if (isSelf(child) && !client_.name.empty()) return textAnswer(client_.name, name);
        return itemText(child, &AccessibleItem::name, name, &IAccessible::get_accName);
    }
    STDMETHODIMP get_accValue(VARIANT child, BSTR* value) override {
        return itemText(child, &AccessibleItem::value, value, &IAccessible::get_accValue);
    }
    STDMETHODIMP get_accDescription(VARIANT child, BSTR* text) override {
        return itemText(child, &AccessibleItem::description, text,
                        &IAccessible::get_accDescription);
    }
    STDMETHODIMP get_accRole(VARIANT child, VARIANT* role) override {
        if (isSelf(child) && client_.role) return numberAnswer(client_.role, role);
        if (!drawsItems(child)) return standardAnswer(&IAccessible::get_accRole, child, role);
        AccessibleItem item;
        if (!findItem(child, item)) return E_INVALIDARG;
        return numberAnswer(item.role, role);
    }
    STDMETHODIMP get_accState(VARIANT child, VARIANT* state) override {
        if (!drawsItems(child)) return standardAnswer(&IAccessible::get_accState, child, state);
        AccessibleItem item;
        if (!findItem(child, item)) return E_INVALIDARG;
        LONG bits = STATE_SYSTEM_READONLY | (IsWindowVisible(window_) ? 0 : STATE_SYSTEM_INVISIBLE);
        if (client_.selected) {
            bits |= STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_SELECTABLE;
            if (child.lVal == client_.selected(window_))
                bits |= STATE_SYSTEM_SELECTED | (hasFocus() ? STATE_SYSTEM_FOCUSED : 0);
        }
        return numberAnswer(bits, state);
    }
    STDMETHODIMP get_accHelp(VARIANT child, BSTR* help) override {
        *help = nullptr;
        return drawsItems(child) ? S_FALSE : standardAnswer(&IAccessible::get_accHelp, child, help);
    }
    STDMETHODIMP get_accHelpTopic(BSTR* file, VARIANT, LONG* topic) override {
        *file = nullptr;
        *topic = 0;
        return S_FALSE;
    }
    STDMETHODIMP get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
        *shortcut = nullptr;
        return drawsItems(child)
                   ? S_FALSE
                   : standardAnswer(&IAccessible::get_accKeyboardShortcut, child, shortcut);
    }
    STDMETHODIMP get_accFocus(VARIANT* focus) override {
        focus->vt = VT_EMPTY;
        if (hasFocus() && selectedItem() > 0) return numberAnswer(selectedItem(), focus);
        return standard_ ? standard_->get_accFocus(focus) : S_FALSE;
    }
    STDMETHODIMP get_accSelection(VARIANT* selection) override {
        selection->vt = VT_EMPTY;
        if (!client_.items) return standardAnswer(&IAccessible::get_accSelection, selection);
        return selectedItem() > 0 ? numberAnswer(selectedItem(), selection) : S_FALSE;
    }
    STDMETHODIMP get_accDefaultAction(VARIANT child, BSTR* action) override {
        *action = nullptr;
        return drawsItems(child)
                   ? S_FALSE
                   : standardAnswer(&IAccessible::get_accDefaultAction, child, action);
    }
    STDMETHODIMP accSelect(LONG flags, VARIANT child) override {
        return drawsItems(child) ? E_NOTIMPL
                                 : standardAnswer(&IAccessible::accSelect, flags, child);
    }
    STDMETHODIMP accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                             VARIANT child) override {
        if (!client_.items && !isSelf(child))
            return standardAnswer(&IAccessible::accLocation, left, top, width, height, child);
        RECT box{};
        AccessibleItem item;
        if (isSelf(child)) {
            GetClientRect(window_, &box);
        } else if (findItem(child, item)) {
            box = item.box;
        } else {
            return E_INVALIDARG;
        }
        MapWindowPoints(window_, nullptr, reinterpret_cast<POINT*>(&box), 2);
        *left = box.left;
        *top = box.top;
        *width = box.right - box.left;
        *height = box.bottom - box.top;
        return S_OK;
    }
    STDMETHODIMP accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
        end->vt = VT_EMPTY;
        if (!client_.items)
            return standard_ ? standard_->accNavigate(direction, start, end) : E_FAIL;
        // The walk goes through the drawn items and on through the child windows, the same
        // children the count gives, so a reader can reach the buttons from the last item.
        LONG count = 0;
        get_accChildCount(&count);
        const LONG from = isSelf(start) ? 0 : start.lVal;
        LONG to = 0;
        if (direction == NAVDIR_FIRSTCHILD && from == 0) to = 1;
        if (direction == NAVDIR_LASTCHILD && from == 0) to = count;
        if ((direction == NAVDIR_NEXT || direction == NAVDIR_DOWN) && from > 0) to = from + 1;
        if ((direction == NAVDIR_PREVIOUS || direction == NAVDIR_UP) && from > 0) to = from - 1;
        if (to < 1 || to > count) return S_FALSE;
        if (to <= static_cast<LONG>(client_.items(window_).size())) return numberAnswer(to, end);
        VARIANT id{};
        id.vt = VT_I4;
        id.lVal = to;
        IDispatch* window = nullptr;
        if (get_accChild(id, &window) != S_OK || !window) return S_FALSE;
        end->vt = VT_DISPATCH;
        end->pdispVal = window;
        return S_OK;
    }
    STDMETHODIMP accHitTest(LONG x, LONG y, VARIANT* found) override {
        found->vt = VT_EMPTY;
        if (!client_.items) return standardAnswer(&IAccessible::accHitTest, x, y, found);
        POINT point{x, y};
        ScreenToClient(window_, &point);
        RECT client{};
        GetClientRect(window_, &client);
        if (!PtInRect(&client, point)) return S_FALSE;
        LONG id = CHILDID_SELF;
        const std::vector<AccessibleItem> items = client_.items(window_);
        for (std::size_t i = 0; i < items.size(); ++i)
            if (PtInRect(&items[i].box, point)) id = static_cast<LONG>(i) + 1;
        return numberAnswer(id, found);
    }
    STDMETHODIMP accDoDefaultAction(VARIANT child) override {
        return drawsItems(child) ? E_NOTIMPL
                                 : standardAnswer(&IAccessible::accDoDefaultAction, child);
    }
    STDMETHODIMP put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    STDMETHODIMP put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

private:
    bool hasFocus() const { return GetFocus() == window_; }
    LONG selectedItem() const { return client_.selected ? client_.selected(window_) : 0; }
    static bool isSelf(const VARIANT& child) {
        return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
    }
    // Whether `child` is one of the items this object draws and answers for. A named control
    // draws none: everything but its name, its parts included (a combo box's text, button
    // and list), is answered by the standard object, so a reader can still press the button.
    bool drawsItems(const VARIANT& child) const { return client_.items && !isSelf(child); }
    template <typename Method, typename... Arguments>
    HRESULT standardAnswer(Method method, Arguments... arguments) {
        return standard_ ? (standard_->*method)(arguments...) : E_FAIL;
    }
    bool findItem(const VARIANT& child, AccessibleItem& item) const {
        if (!client_.items || child.vt != VT_I4 || child.lVal < 1) return false;
        const std::vector<AccessibleItem> items = client_.items(window_);
        if (static_cast<std::size_t>(child.lVal) > items.size()) return false;
        item = items[static_cast<std::size_t>(child.lVal) - 1];
        return true;
    }
    using StandardText = HRESULT (STDMETHODCALLTYPE IAccessible::*)(VARIANT, BSTR*);
    HRESULT itemText(const VARIANT& child, std::wstring AccessibleItem::*field, BSTR* answer,
                     StandardText standardText) {
        *answer = nullptr;
        if (!drawsItems(child)) return standardAnswer(standardText, child, answer);
        AccessibleItem item;
        if (!findItem(child, item)) return E_INVALIDARG;
        return textAnswer(item.*field, answer);
    }

    HWND window_;
    AccessibleClient client_;
    IAccessible* standard_ = nullptr;
    LONG references_ = 1;
};
#pragma GCC diagnostic pop

// The subclass of a named control; `data` is its name, owned by the subclass.
LRESULT CALLBACK namedControlProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                                  UINT_PTR, DWORD_PTR data) {
    const auto* name = reinterpret_cast<const std::wstring*>(data);
    if (message == WM_GETOBJECT && asksForClient(lParam))
        return answerClientObject(control, wParam, {0, *name, nullptr});
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(control, namedControlProc, 0);
        delete name;
    }
    return DefSubclassProc(control, message, wParam, lParam);
}

}  // namespace

bool asksForClient(LPARAM lParam) {
    return static_cast<LONG>(static_cast<DWORD>(lParam)) == OBJID_CLIENT;
}

LRESULT answerClientObject(HWND window, WPARAM wParam, const AccessibleClient& client) {
    auto* object = new ClientObject(window, client);
    const LRESULT answer = LresultFromObject(__uuidof(IAccessible), wParam, object);
    object->Release();
    return answer;
}

void announceItemChanges(HWND window, const std::vector<AccessibleItem>& now,
                         std::vector<AccessibleItem>& last) {
    if (now.size() != last.size())
        NotifyWinEvent(EVENT_OBJECT_REORDER, window, OBJID_CLIENT, CHILDID_SELF);
    for (std::size_t i = 0; i < now.size() && i < last.size(); ++i) {
        const LONG child = static_cast<LONG>(i) + 1;
        if (now[i].name != last[i].name)
            NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, window, OBJID_CLIENT, child);
        if (now[i].value != last[i].value)
            NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, window, OBJID_CLIENT, child);
        if (now[i].description != last[i].description)
            NotifyWinEvent(EVENT_OBJECT_DESCRIPTIONCHANGE, window, OBJID_CLIENT, child);
    }
    last = now;
}

void announceSelectedItem(HWND window, LONG child) {
    NotifyWinEvent(EVENT_OBJECT_SELECTION, window, OBJID_CLIENT, child);
    NotifyWinEvent(EVENT_OBJECT_FOCUS, window, OBJID_CLIENT, child);
}

void setAccessibleName(HWND control, const std::wstring& name) {
    auto* owned = new std::wstring(name);
    if (!control ||
        !SetWindowSubclass(control, namedControlProc, 0, reinterpret_cast<DWORD_PTR>(owned)))
        delete owned;
}
