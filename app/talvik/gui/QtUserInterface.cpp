#include "gui/QtUserInterface.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QEventLoop>
#include <algorithm>

#include "gui/ScreenText.h"

namespace talvik::gui {

MessageBoxSetup MakeMessageBoxSetup(std::string_view text, Buttons buttons, Icon icon,
                                    std::string_view title) {
    MessageBoxSetup setup;
    setup.text = ScreenText(text);
    setup.title = ScreenText(title);
    switch (icon) {
        case Icon::None:
            setup.icon = QMessageBox::NoIcon;
            break;
        case Icon::Information:
            setup.icon = QMessageBox::Information;
            break;
        case Icon::Critical:
            setup.icon = QMessageBox::Critical;
            break;
    }
    setup.buttons = buttons == Buttons::OkCancel ? QMessageBox::Ok | QMessageBox::Cancel
                                                 : QMessageBox::StandardButtons(QMessageBox::Ok);
    return setup;
}

void ConfigureMessageBox(QMessageBox& box, const MessageBoxSetup& setup) {
    box.setObjectName(QStringLiteral("MessageBox"));
    box.setWindowTitle(setup.title);
    box.setTextFormat(Qt::PlainText);
    box.setText(setup.text);
    box.setIcon(setup.icon);
    box.setStandardButtons(setup.buttons);
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(setup.buttons.testFlag(QMessageBox::Cancel) ? QMessageBox::Cancel
                                                                    : QMessageBox::Ok);
    // Lines are laid out by the caller: keep each on one row unless it is very long.
    if (auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))) {
        int widest = 0;
        for (const QString& line : setup.text.split(QLatin1Char('\n')))
            widest = qMax(widest, label->fontMetrics().horizontalAdvance(line));
        label->setMinimumWidth(qMin(widest + 4, 640));
    }
}

Answer ShowMessageBox(const MessageBoxSetup& setup, QWidget* parent) {
    QMessageBox box(parent);
    ConfigureMessageBox(box, setup);
    const int result = box.exec();
    return result == QMessageBox::Ok                     ? Answer::Ok
           : setup.buttons.testFlag(QMessageBox::Cancel) ? Answer::Cancel
                                                         : Answer::Ok;
}

QtUserInterface::QtUserInterface(MessagePresenter presenter) : presenter_(std::move(presenter)) {}

Answer QtUserInterface::Message(std::string_view text, Buttons buttons, Icon icon,
                                std::string_view title) {
    const MessageBoxSetup setup = MakeMessageBoxSetup(text, buttons, icon, title);
    if (presenter_) return presenter_(setup);
    return ShowMessageBox(setup, BoxParent());
}

QWidget* QtUserInterface::BoxParent() const {
    return parent_ && parent_->isVisible() ? parent_.data() : nullptr;
}

void QtUserInterface::Progress(std::string_view text) {
    if (progress_) progress_->setText(ScreenText(text));
}

void QtUserInterface::ProgressAmount(std::uint64_t done, std::uint64_t total) {
    if (!bar_) return;
    if (total == 0) {
        bar_->setRange(0, 0);  // busy: the amount of work is not known
    } else {
        const std::uint64_t part = std::min(done, total);
        // Per mille keeps the bar smooth; the arithmetic stays in range for any file size.
        const int value = static_cast<int>(
            part < (std::uint64_t{1} << 50) ? part * 1000 / total : part / (total / 1000 + 1));
        bar_->setRange(0, 1000);
        bar_->setValue(value);
    }
    bar_->setVisible(true);
}

void QtUserInterface::Yield() {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace talvik::gui
