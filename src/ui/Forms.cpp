#include "ui/Forms.h"

#include "ui/Application.h"
#include "ui/unGB2BIG5.h"
#include "util/BitmapInfo.h"
#include "util/Errors.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <map>

namespace {

constexpr wchar_t kControlProperty[] = L"Launcher.Control";
constexpr wchar_t kFormClass[] = L"LauncherForm";
constexpr wchar_t kControlClass[] = L"LauncherControl";
constexpr COLORREF kTransparentColour = RGB(255, 0, 255);
// Labels draw their text verbatim: no '&' underlines.
constexpr UINT kLabelTextFormat = DT_LEFT | DT_EXPANDTABS | DT_NOPREFIX;

std::vector<TForm*>& FormList()
{
    static std::vector<TForm*> forms;
    return forms;
}

// Child window identifiers above IDOK/IDCANCEL and the other dialog ids.
HMENU NextControlId()
{
    static UINT_PTR next = 1000;
    return reinterpret_cast<HMENU>(next++);
}

// Starts the visual styles of common controls 6 for the system control
// classes (when the executable's manifest asks for them).
void InitCommonControlsOnce()
{
    static const bool done = [] {
        INITCOMMONCONTROLSEX init{sizeof(init), ICC_STANDARD_CLASSES};
        ::InitCommonControlsEx(&init);
        return true;
    }();
    (void)done;
}

// BeginPaint/EndPaint for one WM_PAINT.
class PaintScope {
public:
    explicit PaintScope(HWND wnd) : wnd_(wnd), dc_(::BeginPaint(wnd, &ps_)) {}
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    ~PaintScope() { ::EndPaint(wnd_, &ps_); }
    HDC get() const { return dc_; }

private:
    HWND wnd_;
    PAINTSTRUCT ps_{};
    HDC dc_;
};

// Visits every control that lies on root, directly or further down.
template <typename Visit>
void ForEachDescendant(const TControl& root, Visit&& visit)
{
    for (TControl* child : std::vector<TControl*>(root.Children())) {
        visit(*child);
        ForEachDescendant(*child, visit);
    }
}

}  // namespace

LRESULT CALLBACK ControlWindowProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam);

namespace {

void RegisterWindowClasses()
{
    static const bool registered = [] {
        const HINSTANCE instance = ::GetModuleHandleW(nullptr);
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = ControlWindowProc;
        wc.hInstance = instance;
        wc.hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
        wc.style = CS_HREDRAW | CS_VREDRAW;
        wc.lpszClassName = kControlClass;
        ::RegisterClassExW(&wc);
        wc.style = 0;
        wc.lpszClassName = kFormClass;
        // The executable's first icon, when it has one, for the task bar.
        wc.hIcon = ::LoadIconW(instance, L"MAINICON");
        ::RegisterClassExW(&wc);
        return true;
    }();
    (void)registered;
}

}  // namespace

// The window procedure of the layer's own classes: the control travels in
// the creation parameter and is kept in the window's user data.
LRESULT CALLBACK ControlWindowProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* control = static_cast<TControl*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        control->handle_ = wnd;
        ::SetWindowLongPtrW(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(control));
    }
    auto* control = reinterpret_cast<TControl*>(::GetWindowLongPtrW(wnd, GWLP_USERDATA));
    if (!control) return ::DefWindowProcW(wnd, message, wParam, lParam);
    LRESULT result = 0;
    Application().Guard([&] { result = control->WndProc(message, wParam, lParam); });
    return result;
}

// --- TComponent ---------------------------------------------------------------

TComponent::TComponent(TComponent* owner) : owner_(owner)
{
    if (owner_) owner_->components_.push_back(this);
}

TComponent::~TComponent()
{
    DestroyComponents();
    if (owner_) {
        auto& list = owner_->components_;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
    }
}

void TComponent::DestroyComponents()
{
    while (!components_.empty()) {
        TComponent* last = components_.back();
        components_.pop_back();
        last->owner_ = nullptr;
        delete last;
    }
}

// --- TControl -----------------------------------------------------------------

TControl::TControl(TComponent* owner) : TComponent(owner) {}

TControl::~TControl()
{
    DestroyHandle();
    for (TControl* child : children_) child->parent_ = nullptr;
    if (parent_) {
        auto& list = parent_->children_;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
    }
}

TControl::CreateParams TControl::GetCreateParams() const
{
    return {};
}

void TControl::SetParent(TControl* parent)
{
    if (parent == parent_) return;
    DestroyHandle();
    if (parent_) {
        auto& list = parent_->children_;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
    }
    parent_ = parent;
    if (parent_) {
        parent_->children_.push_back(this);
        if (parent_->handle_) CreateHandle();
    }
}

TForm* TControl::ParentForm()
{
    for (TControl* c = this; c; c = c->parent_)
        if (auto* form = dynamic_cast<TForm*>(c)) return form;
    return nullptr;
}

const TForm* TControl::ParentForm() const
{
    return const_cast<TControl*>(this)->ParentForm();
}

void TControl::CreateHandle()
{
    if (handle_) return;
    RegisterWindowClasses();
    const CreateParams params = GetCreateParams();
    DWORD style = params.style;
    HWND parentWindow;
    HMENU id = nullptr;
    if (parent_) {
        style |= WS_CHILD | WS_CLIPSIBLINGS;
        if (visible_) style |= WS_VISIBLE;
        parentWindow = parent_->handle_;
        id = NextControlId();
    } else {
        // Top-level windows belong to the main window once there is one.
        parentWindow = Application().MainWindow();
        if (parentWindow && !::IsWindow(parentWindow)) parentWindow = nullptr;
    }
    if (!enabled_) style |= WS_DISABLED;
    const wchar_t* className = params.className ? params.className : parent_ ? kControlClass : kFormClass;
    const HWND wnd = ::CreateWindowExW(params.exStyle, className, ScreenCaption().c_str(), style, left_, top_,
                                       width_, height_, parentWindow, id, ::GetModuleHandleW(nullptr), this);
    if (!wnd) throw SystemError("CreateWindowEx failed", ::GetLastError());
    handle_ = wnd;
    ::SetPropW(wnd, kControlProperty, this);
    ::SendMessageW(wnd, WM_SETFONT, reinterpret_cast<WPARAM>(Font()), FALSE);
    HandleCreated();
    for (TControl* child : children_) child->CreateHandle();
}

void TControl::DestroyHandle()
{
    if (!handle_) return;
    for (TControl* child : children_) child->DestroyHandle();
    const HWND wnd = std::exchange(handle_, nullptr);
    ::RemovePropW(wnd, kControlProperty);
    // From here on our window procedure no longer reaches this object.
    if (::GetWindowLongPtrW(wnd, GWLP_USERDATA) == reinterpret_cast<LONG_PTR>(this))
        ::SetWindowLongPtrW(wnd, GWLP_USERDATA, 0);
    ::DestroyWindow(wnd);
}

TControl* TControl::FromHandle(HWND wnd)
{
    return wnd ? static_cast<TControl*>(::GetPropW(wnd, kControlProperty)) : nullptr;
}

void TControl::SetBounds(int left, int top, int width, int height)
{
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    if (handle_)
        ::SetWindowPos(handle_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TControl::SetVisible(bool visible)
{
    if (visible == visible_) return;
    visible_ = visible;
    if (handle_) ::ShowWindow(handle_, visible ? SW_SHOWNA : SW_HIDE);
}

void TControl::SetEnabled(bool enabled)
{
    if (enabled == enabled_) return;
    enabled_ = enabled;
    if (handle_) {
        ::EnableWindow(handle_, enabled ? TRUE : FALSE);
        Invalidate();
    }
}

void TControl::SetCaption(const std::string& caption)
{
    if (caption == caption_) return;
    caption_ = caption;
    if (handle_) CaptionChanged();
}

void TControl::CaptionChanged()
{
    ::SetWindowTextW(handle_, ScreenCaption().c_str());
    Invalidate();
}

int TControl::Color() const
{
    if (color_ >= 0) return color_;
    return parent_ ? parent_->Color() : COLOR_BTNFACE;
}

void TControl::SetColor(int sysColor)
{
    color_ = sysColor;
    Invalidate();
}

HFONT TControl::Font() const
{
    const TForm* form = ParentForm();
    return form ? form->FontHandle() : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
}

std::string TControl::LangCode() const
{
    const TForm* form = ParentForm();
    return form ? form->FormLangCode() : "A";
}

std::wstring TControl::ScreenCaption() const
{
    return ScreenText(caption_, LangCode());
}

void TControl::Invalidate()
{
    if (handle_) ::InvalidateRect(handle_, nullptr, TRUE);
}

void TControl::Update()
{
    if (handle_) ::UpdateWindow(handle_);
}

void TControl::ArrangeChildren()
{
    // Later-created controls without a Tab position lie above earlier ones.
    std::vector<TControl*> order(children_.rbegin(), children_.rend());
    std::stable_sort(order.begin(), order.end(), [](const TControl* a, const TControl* b) {
        const bool aTab = a->tabOrder_ >= 0, bTab = b->tabOrder_ >= 0;
        if (aTab != bTab) return aTab;
        return aTab && a->tabOrder_ < b->tabOrder_;
    });
    HWND previous = HWND_TOP;
    bool previousIsRadio = false;
    for (TControl* child : order) {
        if (!child->handle_) continue;
        ::SetWindowPos(child->handle_, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        previous = child->handle_;
        // Consecutive radio buttons form one group for the arrow keys.
        const bool isRadio = dynamic_cast<TRadioButton*>(child) != nullptr;
        LONG_PTR style = ::GetWindowLongPtrW(child->handle_, GWL_STYLE);
        style = (isRadio && previousIsRadio) ? (style & ~WS_GROUP) : (style | WS_GROUP);
        ::SetWindowLongPtrW(child->handle_, GWL_STYLE, style);
        previousIsRadio = isRadio;
        child->ArrangeChildren();
    }
}

LRESULT TControl::ParentNotification(UINT message, WPARAM wParam, LPARAM lParam, bool& handled)
{
    handled = false;
    const HWND childWindow = reinterpret_cast<HWND>(lParam);
    TControl* child = FromHandle(childWindow);
    switch (message) {
    case WM_COMMAND:
        if (child && child->parent_ == this) {
            handled = true;
            child->Notify(HIWORD(wParam));
        }
        return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
        handled = true;
        const int color = child ? child->Color() : Color();
        ::SetBkColor(reinterpret_cast<HDC>(wParam), ::GetSysColor(color));
        return reinterpret_cast<LRESULT>(::GetSysColorBrush(color));
    }
    default:
        return 0;
    }
}

LRESULT TControl::WndProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ERASEBKGND: {
        RECT rect;
        ::GetClientRect(handle_, &rect);
        ::FillRect(reinterpret_cast<HDC>(wParam), &rect, ::GetSysColorBrush(Color()));
        return 1;
    }
    case WM_PAINT: {
        PaintScope paint(handle_);
        Paint(paint.get());
        return 0;
    }
    case WM_WINDOWPOSCHANGED: {
        // Keeps the bounds right when Windows moves the window (a user
        // dragging a form).
        const auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
        if (!(pos->flags & SWP_NOMOVE)) {
            left_ = pos->x;
            top_ = pos->y;
        }
        if (!(pos->flags & SWP_NOSIZE)) {
            width_ = pos->cx;
            height_ = pos->cy;
        }
        break;
    }
    case WM_COMMAND:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
        bool handled;
        const LRESULT result = ParentNotification(message, wParam, lParam, handled);
        if (handled) return result;
        break;
    }
    default:
        break;
    }
    return ::DefWindowProcW(handle_, message, wParam, lParam);
}

// --- TForm --------------------------------------------------------------------

TForm::TForm() : TControl(nullptr)
{
    InitCommonControlsOnce();
    SetVisibleFlag(false);
    SetBounds(0, 0, 320, 240);
    FormList().push_back(this);
    CreateHandle();
    ::SetPropW(Handle(), kFormWindowProperty, reinterpret_cast<HANDLE>(1));
}

TForm::~TForm()
{
    auto& forms = FormList();
    forms.erase(std::remove(forms.begin(), forms.end(), this), forms.end());
    if (Handle() && Application().MainWindow() == Handle()) Application().SetMainWindow(nullptr);
    // The controls go before the window that holds theirs.
    DestroyComponents();
    if (Handle()) ::RemovePropW(Handle(), kFormWindowProperty);
    DestroyHandle();
}

const std::vector<TForm*>& TForm::Forms()
{
    return FormList();
}

TControl::CreateParams TForm::GetCreateParams() const
{
    CreateParams params;
    params.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_CLIPCHILDREN;
    params.exStyle = WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE | WS_EX_CONTROLPARENT;
    return params;
}

int TForm::ClientWidth() const
{
    RECT rect{};
    ::GetClientRect(Handle(), &rect);
    return rect.right;
}

int TForm::ClientHeight() const
{
    RECT rect{};
    ::GetClientRect(Handle(), &rect);
    return rect.bottom;
}

void TForm::SetClientSize(int width, int height)
{
    RECT rect{0, 0, width, height};
    ::AdjustWindowRectEx(&rect, static_cast<DWORD>(::GetWindowLongPtrW(Handle(), GWL_STYLE)), FALSE,
                         static_cast<DWORD>(::GetWindowLongPtrW(Handle(), GWL_EXSTYLE)));
    SetBounds(Left(), Top(), rect.right - rect.left, rect.bottom - rect.top);
    // The frame may differ from what AdjustWindowRectEx assumed; correct the
    // outer size by what the client area still lacks.
    const int dw = width - ClientWidth(), dh = height - ClientHeight();
    if (dw || dh) SetBounds(Left(), Top(), Width() + dw, Height() + dh);
}

void TForm::SetFont(const std::wstring& face, int height)
{
    GdiObject font(::CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET,
                                 OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                 DEFAULT_PITCH | FF_DONTCARE, face.c_str()));
    ::SendMessageW(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
    ForEachDescendant(*this, [&](TControl& control) {
        ::SendMessageW(control.Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    });
    font_ = std::move(font);
}

HFONT TForm::FontHandle() const
{
    return font_ ? static_cast<HFONT>(font_.get()) : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
}

void TForm::CaptionChanged()
{
    ::SetWindowTextW(Handle(), ScreenCaption().c_str());
}

void TForm::AfterConstruction()
{
    if (OnCreate) Application().Guard([&] { OnCreate(); });
}

void TForm::SetVisible(bool visible)
{
    if (visible)
        Show();
    else
        Hide();
}

void TForm::Show()
{
    if (Visible() && ::IsWindowVisible(Handle())) {
        ::SetForegroundWindow(Handle());
        return;
    }
    if (!shownBefore_) {
        shownBefore_ = true;
        ArrangeChildren();
        PlaceAtFirstShow();
    }
    SetVisibleFlag(true);
    if (OnShow) OnShow();
    ::ShowWindow(Handle(), SW_SHOW);
    FocusFirstControl();
}

void TForm::Hide()
{
    SetVisibleFlag(false);
    ::ShowWindow(Handle(), SW_HIDE);
}

void TForm::FocusFirstControl()
{
    const HWND focus = ::GetFocus();
    if (focus && (focus == Handle() || ::IsChild(Handle(), focus))) return;
    const HWND first = ::GetNextDlgTabItem(Handle(), nullptr, FALSE);
    ::SetFocus(first ? first : Handle());
}

// Centred over the main window at the first showing; the main window itself
// keeps its position, and without a main window the form is centred on the
// screen. Kept inside the work area.
void TForm::PlaceAtFirstShow()
{
    if (position_ != TPosition::poMainFormCenter) return;
    const HWND mainWindow = Application().MainWindow();
    if (mainWindow == Handle()) return;
    RECT workArea{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
    RECT over = workArea;
    if (mainWindow && ::IsWindow(mainWindow)) ::GetWindowRect(mainWindow, &over);
    int x = over.left + (over.right - over.left - Width()) / 2;
    int y = over.top + (over.bottom - over.top - Height()) / 2;
    x = std::max<int>(workArea.left, std::min<int>(x, workArea.right - Width()));
    y = std::max<int>(workArea.top, std::min<int>(y, workArea.bottom - Height()));
    SetBounds(x, y, Width(), Height());
}

namespace {

}  // namespace

int TForm::ShowModal()
{
    if (Visible() || modal_) throw LauncherError("Cannot make a visible window modal");
    const HWND previouslyActive = ::GetActiveWindow();
    modalResult_ = mrNone;
    RunModalLoop();
    if (previouslyActive && ::IsWindow(previouslyActive)) ::SetActiveWindow(previouslyActive);
    return modalResult_;
}

void TForm::RunModalLoop()
{
    // Left on every way out in reverse order: not modal any more, the other
    // windows enabled again, and only then this one hidden, so that Windows
    // can hand the activation back to them.
    struct HideOnExit {
        TForm& form;
        ~HideOnExit() { form.Hide(); }
    } hide{*this};
    OtherWindowsDisabled disabled(Handle());
    struct ModalOnlyHere {
        bool& modal;
        explicit ModalOnlyHere(bool& flag) : modal(flag) { modal = true; }
        ~ModalOnlyHere() { modal = false; }
    } modalFlag(modal_);

    Show();
    if (Application().Terminated()) modalResult_ = mrCancel;
    while (modalResult_ == mrNone) {
        Application().HandleMessage();
        if (Application().Terminated())
            modalResult_ = mrCancel;
        else if (modalResult_ != mrNone)
            CloseModal();
    }
}

void TForm::CloseModal()
{
    TCloseAction action = TCloseAction::caHide;
    if (OnClose) OnClose(action);
    if (action == TCloseAction::caNone) modalResult_ = mrNone;
}

void TForm::Close()
{
    if (modal_) {
        modalResult_ = mrCancel;
        return;
    }
    TCloseAction action = TCloseAction::caHide;
    if (OnClose) OnClose(action);
    if (action == TCloseAction::caNone) return;
    if (Application().MainWindow() == Handle())
        Application().Terminate();
    else
        Hide();
}

void TForm::ClickButton(bool cancel)
{
    TPushButton* target = nullptr;
    ForEachDescendant(*this, [&](TControl& control) {
        auto* button = dynamic_cast<TPushButton*>(&control);
        if (target || !button || !::IsWindowVisible(button->Handle()) || !::IsWindowEnabled(button->Handle()))
            return;
        if (cancel ? button->Cancel() : button->Default()) target = button;
    });
    if (target) target->Click();
}

LRESULT TForm::WndProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CLOSE:
        Close();
        return 0;
    case WM_COMMAND:
        // Enter and Esc, as the dialog keyboard handling reports them.
        if (!FromHandle(reinterpret_cast<HWND>(lParam))) {
            if (LOWORD(wParam) == IDOK) {
                ClickButton(false);
                return 0;
            }
            if (LOWORD(wParam) == IDCANCEL) {
                ClickButton(true);
                return 0;
            }
        }
        break;
    default:
        break;
    }
    return TControl::WndProc(message, wParam, lParam);
}

// --- TLabel -------------------------------------------------------------------

TLabel::TLabel(TComponent* owner) : TControl(owner) {}

void TLabel::SetAutoSize(bool autoSize)
{
    autoSize_ = autoSize;
    AdjustBounds();
}

void TLabel::HandleCreated()
{
    AdjustBounds();
}

void TLabel::CaptionChanged()
{
    TControl::CaptionChanged();
    AdjustBounds();
}

void TLabel::AdjustBounds()
{
    if (!autoSize_ || !Handle()) return;
    WindowDc screen(nullptr);
    SelectObjectScope font(screen.get(), Font());
    const std::wstring text = ScreenCaption();
    RECT rect{0, 0, 0, 0};
    ::DrawTextW(screen.get(), text.c_str(), static_cast<int>(text.size()), &rect, kLabelTextFormat | DT_CALCRECT);
    SetBounds(Left(), Top(), rect.right, rect.bottom);
}

void TLabel::Paint(HDC dc)
{
    SelectObjectScope font(dc, Font());
    ::SetBkMode(dc, TRANSPARENT);
    RECT rect;
    ::GetClientRect(Handle(), &rect);
    const std::wstring text = ScreenCaption();
    const int length = static_cast<int>(text.size());
    if (Enabled()) {
        ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
        ::DrawTextW(dc, text.c_str(), length, &rect, kLabelTextFormat);
        return;
    }
    // Engraved: a light copy one pixel down and right under a shadow-coloured one.
    ::OffsetRect(&rect, 1, 1);
    ::SetTextColor(dc, ::GetSysColor(COLOR_BTNHIGHLIGHT));
    ::DrawTextW(dc, text.c_str(), length, &rect, kLabelTextFormat);
    ::OffsetRect(&rect, -1, -1);
    ::SetTextColor(dc, ::GetSysColor(COLOR_BTNSHADOW));
    ::DrawTextW(dc, text.c_str(), length, &rect, kLabelTextFormat);
}

// --- TPushButton --------------------------------------------------------------

TPushButton::TPushButton(TComponent* owner) : TControl(owner) {}

TControl::CreateParams TPushButton::GetCreateParams() const
{
    CreateParams params;
    params.className = L"BUTTON";
    params.style = WS_TABSTOP | static_cast<DWORD>(default_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
    return params;
}

void TPushButton::SetDefault(bool value)
{
    default_ = value;
    if (Handle()) ::SendMessageW(Handle(), BM_SETSTYLE, value ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void TPushButton::Notify(WORD code)
{
    if (code == BN_CLICKED) Click();
}

void TPushButton::Click()
{
    if (modalResult_ != mrNone)
        if (TForm* form = ParentForm()) form->SetModalResult(modalResult_);
    if (OnClick) OnClick();
}

// --- TRadioButton -------------------------------------------------------------

TRadioButton::TRadioButton(TComponent* owner) : TControl(owner) {}

TControl::CreateParams TRadioButton::GetCreateParams() const
{
    CreateParams params;
    params.className = L"BUTTON";
    // Only the checked button of the group is a Tab stop.
    params.style = static_cast<DWORD>(BS_RADIOBUTTON) | (checked_ ? WS_TABSTOP : 0);
    return params;
}

void TRadioButton::HandleCreated()
{
    ::SendMessageW(Handle(), BM_SETCHECK, checked_ ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TRadioButton::Notify(WORD code)
{
    if (code == BN_CLICKED) SetChecked(true);
}

void TRadioButton::SetChecked(bool checked)
{
    if (checked == checked_) return;
    checked_ = checked;
    if (Handle()) {
        ::SendMessageW(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
        LONG_PTR style = ::GetWindowLongPtrW(Handle(), GWL_STYLE);
        style = checked ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP);
        ::SetWindowLongPtrW(Handle(), GWL_STYLE, style);
    }
    if (!checked) return;
    if (Parent())
        for (TControl* sibling : std::vector<TControl*>(Parent()->Children()))
            if (auto* radio = dynamic_cast<TRadioButton*>(sibling); radio && radio != this)
                radio->SetChecked(false);
    if (OnClick) OnClick();
}

// --- TImage -------------------------------------------------------------------

TImage::TImage(TComponent* owner) : TControl(owner) {}

void TImage::SetTransparent(bool value)
{
    transparent_ = value;
    Invalidate();
}

void TImage::SetBitmap(GdiObject bitmap)
{
    bitmap_ = std::move(bitmap);
    Invalidate();
}

void TImage::LoadBitmapResource(const wchar_t* name)
{
    SetBitmap(GdiObject(::LoadImageW(::GetModuleHandleW(nullptr), name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
}

void TImage::LoadBitmapFile(std::span<const std::uint8_t> file)
{
    ValidateBitmap(file);  // everything read below lies inside the bytes
    BITMAPFILEHEADER header;
    std::memcpy(&header, file.data(), sizeof header);
    const auto* info = reinterpret_cast<const BITMAPINFO*>(file.data() + sizeof header);
    WindowDc screen(nullptr);
    GdiObject bitmap(::CreateDIBitmap(screen.get(), &info->bmiHeader, CBM_INIT, file.data() + header.bfOffBits, info,
                                      DIB_RGB_COLORS));
    if (!bitmap) throw BitmapError("The banner is not a valid bitmap: Windows cannot draw it");
    SetBitmap(std::move(bitmap));
}

void TImage::Paint(HDC dc)
{
    if (!bitmap_) return;
    BITMAP info{};
    if (!::GetObjectW(bitmap_.get(), sizeof(info), &info)) return;
    MemoryDc source(::CreateCompatibleDC(dc));
    SelectObjectScope select(source.get(), bitmap_.get());
    if (transparent_)
        ::TransparentBlt(dc, 0, 0, info.bmWidth, info.bmHeight, source.get(), 0, 0, info.bmWidth, info.bmHeight,
                         kTransparentColour);
    else
        ::BitBlt(dc, 0, 0, info.bmWidth, info.bmHeight, source.get(), 0, 0, SRCCOPY);
}

// --- TShape -------------------------------------------------------------------

TShape::TShape(TComponent* owner) : TControl(owner) {}

void TShape::Paint(HDC dc)
{
    SelectObjectScope pen(dc, ::GetStockObject(BLACK_PEN));
    SelectObjectScope brush(dc, ::GetStockObject(WHITE_BRUSH));
    ::Rectangle(dc, 0, 0, Width(), Height());
}

// --- TPanel -------------------------------------------------------------------

TPanel::TPanel(TComponent* owner) : TControl(owner)
{
    SetColor(COLOR_BTNFACE);
}

TControl::CreateParams TPanel::GetCreateParams() const
{
    CreateParams params;
    params.style = WS_CLIPCHILDREN;
    params.exStyle = WS_EX_CONTROLPARENT;
    return params;
}

void TPanel::Paint(HDC dc)
{
    RECT rect;
    ::GetClientRect(Handle(), &rect);
    ::DrawEdge(dc, &rect, BDR_RAISEDINNER, BF_RECT);
    SelectObjectScope font(dc, Font());
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
    const std::wstring text = ScreenCaption();
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect,
                DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

// --- TTimer -------------------------------------------------------------------

namespace {

std::map<UINT_PTR, TTimer*>& RunningTimers()
{
    static std::map<UINT_PTR, TTimer*> timers;
    return timers;
}

}  // namespace

TTimer::TTimer(TComponent* owner) : TComponent(owner) {}

TTimer::~TTimer()
{
    StopTimer();
}

void TTimer::SetEnabled(bool enabled)
{
    if (enabled == enabled_) return;
    enabled_ = enabled;
    UpdateTimer();
}

void TTimer::SetInterval(unsigned milliseconds)
{
    if (milliseconds == interval_) return;
    interval_ = milliseconds;
    UpdateTimer();
}

void TTimer::StopTimer()
{
    if (!timerId_) return;
    ::KillTimer(nullptr, timerId_);
    RunningTimers().erase(timerId_);
    timerId_ = 0;
}

void TTimer::UpdateTimer()
{
    StopTimer();
    if (!enabled_ || interval_ == 0) return;
    timerId_ = ::SetTimer(nullptr, 0, interval_, TimerProc);
    if (timerId_) RunningTimers()[timerId_] = this;
}

void CALLBACK TTimer::TimerProc(HWND, UINT, UINT_PTR id, DWORD)
{
    const auto found = RunningTimers().find(id);
    if (found == RunningTimers().end()) return;
    TTimer* timer = found->second;
    Application().Guard([&] {
        if (timer->OnTimer) timer->OnTimer();
    });
}
