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
        if (!closeRequested_) StoreOnClose();
        closeRequested_ = true;
        event->ignore();
        return;
    }
    if (!ended_) {
        StoreOnClose();
        End(0);
    }
    event->accept();
}

void JobWindow::RunDone() {
    running_ = false;
    if (closeRequested_) End(0);
}

}  // namespace talvik::gui
