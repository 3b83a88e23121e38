#include "gui/QtUserInterface.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QEventLoop>

#include "gui/ScreenText.h"

namespace talvik::gui {

MessageBoxSpec MakeMessageBoxSpec(std::string_view text, Buttons buttons, Icon icon,
                                  std::string_view title) {
    MessageBoxSpec spec;
    spec.text = ScreenText(text);
    spec.title = ScreenText(title);
    switch (icon) {
        case Icon::None:
            spec.icon = QMessageBox::NoIcon;
            break;
        case Icon::Information:
            spec.icon = QMessageBox::Information;
            break;
        case Icon::Critical:
            spec.icon = QMessageBox::Critical;
            break;
    }
    spec.buttons = buttons == Buttons::OkCancel ? QMessageBox::Ok | QMessageBox::Cancel
                                                : QMessageBox::StandardButtons(QMessageBox::Ok);
    return spec;
}

void ConfigureMessageBox(QMessageBox& box, const MessageBoxSpec& spec) {
    box.setObjectName(QStringLiteral("MessageBox"));
    box.setWindowTitle(spec.title);
    box.setTextFormat(Qt::PlainText);
    box.setText(spec.text);
    box.setIcon(spec.icon);
    box.setStandardButtons(spec.buttons);
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(spec.buttons.testFlag(QMessageBox::Cancel) ? QMessageBox::Cancel
                                                                   : QMessageBox::Ok);
    // Lines are laid out by the caller: keep each on one row unless it is very long.
    if (auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))) {
        int widest = 0;
        for (const QString& line : spec.text.split(QLatin1Char('\n')))
            widest = qMax(widest, label->fontMetrics().horizontalAdvance(line));
        label->setMinimumWidth(qMin(widest + 4, 640));
    }
}

Answer ShowMessageBox(const MessageBoxSpec& spec, QWidget* parent) {
    QMessageBox box(parent);
    ConfigureMessageBox(box, spec);
    const int result = box.exec();
    return result == QMessageBox::Ok                    ? Answer::Ok
           : spec.buttons.testFlag(QMessageBox::Cancel) ? Answer::Cancel
                                                        : Answer::Ok;
}

QtUserInterface::QtUserInterface(MessagePresenter presenter) : presenter_(std::move(presenter)) {}

Answer QtUserInterface::Message(std::string_view text, Buttons buttons, Icon icon,
                                std::string_view title) {
    const MessageBoxSpec spec = MakeMessageBoxSpec(text, buttons, icon, title);
    if (presenter_) return presenter_(spec);
    return ShowMessageBox(spec, parent_);
}

void QtUserInterface::Progress(std::string_view text) {
    if (progress_) progress_->setText(ScreenText(text));
}

void QtUserInterface::Yield() {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace talvik::gui
