#pragma once
// The start-up window: emblem and product name, shown while a job starts.

#include <QFrame>

namespace talvik::gui {

class SplashWindow : public QFrame {
    Q_OBJECT
  public:
    explicit SplashWindow(QWidget* parent = nullptr);
};

}  // namespace talvik::gui
