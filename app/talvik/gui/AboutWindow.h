#pragma once
// The About box: program name and version. Modeless; the opener keeps one instance.

#include <QDialog>
#include <QPointer>

namespace talvik::gui {

class AboutWindow : public QDialog {
    Q_OBJECT
  public:
    explicit AboutWindow(QWidget* parent = nullptr);
};

// Shows the About box of `owner`: creates it on the first request, and brings the open one
// forward on later ones. `slot` holds the open box between requests.
AboutWindow* ShowAbout(QPointer<AboutWindow>& slot, QWidget* owner);

}  // namespace talvik::gui
