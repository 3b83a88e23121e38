#pragma once
// A window built from a list of controls: each control has an id from the control table, a
// place in 96-dpi pixels and a font role. The form creates the controls with their caption and
// tooltip from the window's texts table, gives every one the system's dialog font, and lays
// them out again when the window moves to a screen of another scale. A window that would not
// fit its screen's work area at that scale is laid out at the largest scale that fits, fonts
// included. The windows are dialogs (dialog manager: tab order, access keys, arrow keys within
// a group) built from an empty template.

#include "win32/Win32.h"

#include <string>
#include <string_view>
#include <vector>

#include "texts/WindowTexts.h"
#include "win32/Controls.h"

namespace talvik::win32 {

enum class FontRole { Normal, Heading, Large, Title };

// Colour of the headings.
inline constexpr COLORREF kHeadingColour = RGB(0x12, 0x46, 0x5c);

// A control's place in pixels at 96 dpi.
struct Place {
    int x = 0, y = 0, w = 0, h = 0;
};

class Form {
  public:
    Form() = default;
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;
    virtual ~Form();

    HWND Handle() const { return hwnd_; }
    HWND Item(ControlId id) const { return GetDlgItem(hwnd_, static_cast<int>(id)); }
    HWND ToolTips() const { return tooltips_; }
    // The scale of the window's screen, in dots per inch.
    UINT Dpi() const { return dpi_; }
    // The scale the controls are laid out at: Dpi(), or less where the window must shrink to
    // fit the work area.
    UINT LayoutDpi() const { return layoutDpi_; }
    // The area the window must fit in, instead of its screen's work area (RECT{} again: the
    // screen's); the window is laid out again.
    void SetWorkArea(const RECT& area);

  protected:
    // Creates the (hidden) window with the given style, the title and texts of `texts` and the
    // client size at 96 dpi; Build() adds the controls before it is laid out.
    bool Create(HWND owner, DWORD style, DWORD exStyle, const texts::WindowText& texts, int width,
                int height);
    virtual void Build() = 0;
    // Every message of the window; the default handling when it returns false.
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    // Adds a control of a system class ("EDIT", "BUTTON", "STATIC", UPDOWN_CLASSA, ...) with
    // the caption and tooltip the texts table gives it.
    HWND Add(const char* windowClass, ControlId id, DWORD style, Place place,
             FontRole font = FontRole::Normal, DWORD exStyle = 0);
    // The usual controls: a frame (group box), a label (no access keys), a text box, a push
    // button, an option button (`first` starts its group), a check box, and the arrows of a set
    // number, which take the keyboard focus and step on the arrow keys. Every control but the
    // later buttons of an option group starts a group of its own, so the arrow keys move only
    // between the options of one group.
    void AddFrame(ControlId id, Place place);
    void AddLabel(ControlId id, Place place, DWORD style = 0);
    void AddEdit(ControlId id, Place place);
    void AddButton(ControlId id, Place place, bool isDefault = false);
    void AddOption(ControlId id, bool first, Place place);
    void AddCheck(ControlId id, Place place);
    void AddArrows(ControlId id, Place place);

    // A colour for the text of a static control; CLR_INVALID keeps the system's.
    virtual COLORREF TextColour(ControlId) const { return CLR_INVALID; }
    // The window's background; null keeps the dialog colour.
    virtual HBRUSH Background() const { return nullptr; }

    // Draws the program's icon into an owner-drawn static control.
    void DrawLogo(const DRAWITEMSTRUCT& item) const;

    int Scale(int pixels) const { return MulDiv(pixels, static_cast<int>(layoutDpi_), 96); }

  private:
    struct Entry {
        ControlId id;
        Place place;
        FontRole font;
        bool frameTip = false;
    };
    static LRESULT CALLBACK FrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR, DWORD_PTR);
    static LRESULT CALLBACK ArrowsProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR, DWORD_PTR);
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    // Attaches a tooltip to a control; for a frame, which lets the mouse through, the tooltip
    // covers its area of the window.
    void AddToolTip(ControlId id, std::string_view text);
    void MakeFonts();
    RECT WorkArea() const;
    void Layout();
    HFONT FontFor(FontRole role) const;

    HWND hwnd_ = nullptr;
    HWND tooltips_ = nullptr;
    const texts::WindowText* texts_ = nullptr;
    UINT dpi_ = 96;
    UINT layoutDpi_ = 96;
    RECT workArea_{};
    int width_ = 0;
    int height_ = 0;
    std::vector<Entry> entries_;
    HFONT fonts_[4] = {};
    mutable HICON logo_ = nullptr;
    mutable int logoSize_ = 0;
};

// The window's text of a control, and setting it only when it differs (so the caret stays).
std::string TextOf(HWND control);
void ShowText(HWND control, std::string_view text);

// Dots per inch of the window's screen.
UINT DpiOf(HWND hwnd);

}  // namespace talvik::win32
