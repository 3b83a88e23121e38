#include "gui/JobWindow.h"

#include <QCloseEvent>

namespace talvik::gui {

void JobWindow::End(int exitCode) {
    if (ended_) return;
    ended_ = true;
    BeforeEnd();
    hide();
    emit finished(exitCode);
}

void JobWindow::closeEvent(QCloseEvent* event) {
    if (running_) {
        event->ignore();
        return;
    }
    if (!ended_) {
        StoreOnClose();
        End(0);
    }
    event->accept();
}

}  // namespace talvik::gui
