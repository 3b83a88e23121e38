#pragma once
// Small widgets the windows share: a label that reports clicks, the pair of arrows that steps
// a set number, and the progress line with its bar.

#include <QLabel>
#include <QLineEdit>
#include <QWidget>

class QFrame;
class QProgressBar;
class QScrollArea;
class QToolButton;

namespace talvik::texts {
struct WindowText;
}

namespace talvik::gui {

class ClickableLabel : public QLabel {
    Q_OBJECT
  public:
    explicit ClickableLabel(QWidget* parent = nullptr);

  signals:
    void clicked();

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

// Up and down arrows stacked beside a number box. The arrows only report the press; whether
// the number moves is the owner's decision. The arrows take no focus themselves: the number
// box they serve does, and its Up/Down (and Page Up/Page Down) keys press them.
class UpDownArrows : public QWidget {
    Q_OBJECT
  public:
    explicit UpDownArrows(QWidget* parent = nullptr);
    QToolButton* UpButton() const { return up_; }
    QToolButton* DownButton() const { return down_; }
    // Sets the tooltip of the control and of both arrows.
    void SetToolTip(const QString& text);
    // Makes the read-only number box reachable with Tab and lets its keys press the arrows.
    void ServeBox(QLineEdit* box);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  signals:
    void up();
    void down();

  private:
    QToolButton* up_;
    QToolButton* down_;
};

// The progress line below a dialog's controls: " Voortgang:", the text the core reports
// (lblProgress) and a bar with the percentage (prbProgress), hidden until an amount is known.
struct ProgressPanel {
    QFrame* frame = nullptr;
    QLabel* label = nullptr;
    QProgressBar* bar = nullptr;
};
ProgressPanel MakeProgressPanel(QWidget* parent);

// Shows a text without disturbing the cursor when the box already holds it.
inline void Show(QLineEdit* box, const QString& text) {
    if (box->text() != text) box->setText(text);
}

// A label for plain text (spaces kept as typed) with an object name.
QLabel* MakeLabel(const QString& name, QWidget* parent);

// A frameless scroll area for a window's body. Its natural size is the whole body's (a plain
// scroll area caps it at a few dozen lines), so the window shows everything where the screen
// has room and a scroll bar only where it has not.
QScrollArea* MakeBodyScrollArea(QWidget* body, QWidget* parent);

// Sizes a top-level window before it is shown: its natural size, or less where the screen's
// free area (less the window manager's frame) is smaller; centred on that area. The natural
// size is also the largest: enlarging or maximising adds nothing but empty space, so the window
// does not allow it.
void FitToScreen(QWidget* window);

// No push button of the window is a default button: Enter in a text box, or on the focused
// button's neighbours, starts nothing. A button is pressed by a click, its access key or Space.
void NoDefaultButtons(QWidget* window);

// Arrow keys move the focus only within a group, as in the host's dialogs: among the option
// buttons of one choice (Qt does that itself), and not at all from a check box, which is a
// group of its own.
void ArrowsStayInGroups(QWidget* window);

// Gives the window its title from the texts table, and every control the table lists its
// caption and tooltip (the arrows of a set number pass theirs on to both arrows).
void ApplyTexts(QWidget* window, const texts::WindowText& texts);

}  // namespace talvik::gui
