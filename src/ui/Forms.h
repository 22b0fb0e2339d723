#pragma once
// A thin component, form and control layer over Win32: only what the
// launcher's windows need.
//
// Components own the components created with them as owner and destroy them
// with themselves. Controls are child windows of their parent control; every
// control, labels and pictures included, is a window of its own. Captions are
// the launcher's byte texts (GB2312, or BIG5 on a language-"B" form); the
// screen gets ScreenText(caption, form's language code).
//
// Event handlers run inside window procedures and timer callbacks; all of them
// are called through Application().Guard, so no error leaves them.

#include "util/WinHandles.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

class TForm;

class TComponent {
public:
    explicit TComponent(TComponent* owner);
    // Destroys the owned components, the last created first.
    virtual ~TComponent();
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    TComponent* Owner() const { return owner_; }
    // The owned components in creation order.
    int ComponentCount() const { return static_cast<int>(components_.size()); }
    TComponent* Components(int index) const { return components_.at(static_cast<size_t>(index)); }

protected:
    void DestroyComponents();

private:
    TComponent* owner_;
    std::vector<TComponent*> components_;
};

using TNotifyEvent = std::function<void()>;

// A visual control: a window with bounds, visibility, enabled state and a caption.
class TControl : public TComponent {
public:
    explicit TControl(TComponent* owner);
    ~TControl() override;

    HWND Handle() const { return handle_; }
    // The control this one lies on. Setting it creates the window once the
    // parent has one.
    TControl* Parent() const { return parent_; }
    void SetParent(TControl* parent);
    // The controls that lie on this one, in creation order.
    const std::vector<TControl*>& Children() const { return children_; }
    // The form this control lies on (itself for a form), or none.
    TForm* ParentForm();
    const TForm* ParentForm() const;

    // Position relative to the parent's client area (screen for a form) and
    // outer size.
    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetBounds(int left, int top, int width, int height);

    bool Visible() const { return visible_; }
    virtual void SetVisible(bool visible);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);

    const std::string& Caption() const { return caption_; }
    virtual void SetCaption(const std::string& caption);

    // Position in the parent's Tab sequence; controls without one come after
    // those with one.
    int TabOrder() const { return tabOrder_; }
    void SetTabOrder(int order) { tabOrder_ = order; }

    // The background colour as a system colour index; a control without a
    // colour of its own takes its parent's.
    int Color() const;
    void SetColor(int sysColor);
    HFONT Font() const;
    // The language code of the control's form ("A" without one).
    std::string LangCode() const;
    // The caption as the screen shows it.
    std::wstring ScreenCaption() const;

    void Invalidate();
    // Paints what needs painting now, without waiting for the message loop.
    void Update();

    static TControl* FromHandle(HWND wnd);

protected:
    struct CreateParams {
        const wchar_t* className = nullptr;  // nullptr: the layer's own window class
        DWORD style = 0;
        DWORD exStyle = 0;
    };
    virtual CreateParams GetCreateParams() const;
    // Messages of windows of the layer's own classes.
    virtual LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Draws the control; the background is already filled with Color().
    virtual void Paint(HDC /*dc*/) {}
    // A WM_COMMAND notification the control sent to its parent.
    virtual void Notify(WORD /*code*/) {}
    // The window exists: apply what needs the window.
    virtual void HandleCreated() {}
    virtual void CaptionChanged();
    // Children sorted into Tab order (those with one first), then the others.
    void ArrangeChildren();

    void CreateHandle();
    void DestroyHandle();
    void SetVisibleFlag(bool visible) { visible_ = visible; }

private:
    friend LRESULT CALLBACK ControlWindowProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT ParentNotification(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);

    HWND handle_ = nullptr;
    TControl* parent_ = nullptr;
    std::vector<TControl*> children_;  // in creation order
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    bool visible_ = true;
    bool enabled_ = true;
    int tabOrder_ = -1;
    int color_ = -1;
    std::string caption_;
};

inline constexpr int mrNone = 0;
inline constexpr int mrOK = 1;
inline constexpr int mrCancel = 2;

enum class TCloseAction { caNone, caHide };
enum class TPosition { poDesigned, poMainFormCenter };

// A top-level window with a fixed dialog frame and a close box.
class TForm : public TControl {
public:
    TForm();
    ~TForm() override;

    int ClientWidth() const;
    int ClientHeight() const;
    void SetClientSize(int width, int height);
    void SetPosition(TPosition position) { position_ = position; }
    // The font of the form and its controls, by face name and character height
    // (negative: the height of the characters without internal leading).
    void SetFont(const std::wstring& face, int height);
    HFONT FontHandle() const;

    void Show();
    void Hide();
    void SetVisible(bool visible) override;
    // Shows the form with the other windows of the program disabled and runs
    // the message loop until ModalResult is set or the application ends.
    int ShowModal();
    // A modal form: ModalResult := mrCancel. Otherwise the close event, then
    // the main window asks the application to end (it stays open until the
    // loop ends) and any other form hides.
    void Close();
    int ModalResult() const { return modalResult_; }
    void SetModalResult(int result) { modalResult_ = result; }

    // Language code of the form's texts: "A" (GB2312) unless a derived form decides.
    virtual std::string FormLangCode() const { return "A"; }

    // Runs the creation event. Call it once the form is fully constructed;
    // CreateForm does.
    void AfterConstruction();

    TNotifyEvent OnCreate;
    TNotifyEvent OnShow;
    std::function<void(TCloseAction& action)> OnClose;

    // Every form that exists, in creation order.
    static const std::vector<TForm*>& Forms();

protected:
    CreateParams GetCreateParams() const override;
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void CaptionChanged() override;

private:
    void PlaceAtFirstShow();
    void RunModalLoop();
    void CloseModal();
    void ClickButton(bool cancel);
    void FocusFirstControl();

    GdiObject font_;
    TPosition position_ = TPosition::poDesigned;
    int modalResult_ = mrNone;
    bool modal_ = false;
    bool shownBefore_ = false;
};

// Constructs a form and runs its creation event, as the platform does.
template <typename Form, typename... Args>
std::unique_ptr<Form> CreateForm(Args&&... args)
{
    auto form = std::make_unique<Form>(std::forward<Args>(args)...);
    form->AfterConstruction();
    return form;
}

// A text that sizes itself to its caption; drawn greyed (engraved) when disabled.
class TLabel : public TControl {
public:
    explicit TLabel(TComponent* owner);
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool autoSize);

protected:
    void Paint(HDC dc) override;
    void HandleCreated() override;
    void CaptionChanged() override;

private:
    void AdjustBounds();
    bool autoSize_ = true;
};

// A push button. Default: Enter presses it; Cancel: Esc presses it. A non-zero
// ModalResult becomes the form's when it is pressed.
class TPushButton : public TControl {
public:
    explicit TPushButton(TComponent* owner);
    bool Default() const { return default_; }
    void SetDefault(bool value);
    bool Cancel() const { return cancel_; }
    void SetCancel(bool value) { cancel_ = value; }
    int ModalResult() const { return modalResult_; }
    void SetModalResult(int result) { modalResult_ = result; }
    void Click();
    TNotifyEvent OnClick;

protected:
    CreateParams GetCreateParams() const override;
    void Notify(WORD code) override;

private:
    bool default_ = false;
    bool cancel_ = false;
    int modalResult_ = mrNone;
};

// A radio button. The radio buttons on one parent form one group: checking one
// unchecks the others. OnClick runs when it becomes checked at run time.
class TRadioButton : public TControl {
public:
    explicit TRadioButton(TComponent* owner);
    bool Checked() const { return checked_; }
    void SetChecked(bool checked);
    TNotifyEvent OnClick;

protected:
    CreateParams GetCreateParams() const override;
    void HandleCreated() override;
    void Notify(WORD code) override;

private:
    bool checked_ = false;
};

// A picture: a bitmap drawn unscaled from the top-left corner; with
// Transparent, its magenta pixels show the background.
class TImage : public TControl {
public:
    explicit TImage(TComponent* owner);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool value);
    HBITMAP Bitmap() const { return static_cast<HBITMAP>(bitmap_.get()); }
    void SetBitmap(GdiObject bitmap);
    // A bitmap resource of the executable; no picture when it has none.
    void LoadBitmapResource(const wchar_t* name);
    // The bitmap held in the bytes of a BMP file. Throws BitmapError when the
    // bytes are not a usable bitmap; the picture is then left as it was.
    void LoadBitmapFile(std::span<const std::uint8_t> file);

protected:
    void Paint(HDC dc) override;

private:
    GdiObject bitmap_;
    bool transparent_ = false;
};

// A rectangle with a black pen and a white brush (a line at one pixel height).
class TShape : public TControl {
public:
    explicit TShape(TComponent* owner);

protected:
    void Paint(HDC dc) override;
};

// A raised panel with a centred caption; may hold other controls.
class TPanel : public TControl {
public:
    explicit TPanel(TComponent* owner);

protected:
    CreateParams GetCreateParams() const override;
    void Paint(HDC dc) override;
};

// Calls OnTimer every Interval milliseconds while Enabled (off until enabled).
// A handler that switches its timer off makes it a one-shot timer.
class TTimer : public TComponent {
public:
    explicit TTimer(TComponent* owner);
    ~TTimer() override;
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    unsigned Interval() const { return interval_; }
    void SetInterval(unsigned milliseconds);
    TNotifyEvent OnTimer;

private:
    static void CALLBACK TimerProc(HWND, UINT, UINT_PTR id, DWORD);
    void UpdateTimer();
    void StopTimer();

    bool enabled_ = false;
    unsigned interval_ = 1000;
    UINT_PTR timerId_ = 0;
};
