// Rules every window keeps, whatever its texts: each control the user works explains itself in
// a tooltip, access keys are unique within a window, and no caption is cut off. The tests run
// once at the normal scale and once at 150 % (QT_SCALE_FACTOR=1.5).

#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QKeySequence>
#include <QPushButton>
#include <QRadioButton>

#include "GuiHarness.h"
#include "gui/AboutWindow.h"
#include "gui/SplashWindow.h"

using namespace talvik::gui;

class ControlsTest : public QObject {
    Q_OBJECT

    talvik::gui::test::Harness export_, import_;
    QPointer<AboutWindow> about_;
    QList<QWidget*> windows_;

    // "window.control" for messages.
    static QString Where(const QWidget* widget) {
        return widget->window()->objectName() + '.' + widget->objectName();
    }

  private slots:
    void initTestCase() {
        QVERIFY(export_.Start("0 \"/data/net 1.prj\" \"/data/net 1.idx\""));
        QVERIFY(import_.Start("1 \"/data/net1.cor\" \"/data/net1.idx\""));
        ShowAbout(about_, nullptr);
        export_.app->Splash()->show();
        windows_ = {export_.app->Export(), import_.app->Import(), export_.app->Splash(), about_};
        for (QWidget* window : windows_)
            QVERIFY(QTest::qWaitForWindowExposed(window));
    }

    void cleanupTestCase() { delete about_; }

    // Boxes, push buttons, check boxes and the set arrows of the two dialogs carry a tooltip;
    // option buttons are explained by their caption.
    void everyControlHasATooltip() {
        QStringList missing;
        for (QWidget* window : {windows_[0], windows_[1]}) {
            for (QWidget* control : window->findChildren<QWidget*>()) {
                const bool needsTip =
                    qobject_cast<QLineEdit*>(control) || qobject_cast<QPushButton*>(control) ||
                    qobject_cast<QCheckBox*>(control) || qobject_cast<UpDownArrows*>(control);
                if (needsTip && control->toolTip().trimmed().isEmpty()) missing << Where(control);
            }
        }
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(", ")));
        QVERIFY(!windows_[0]->findChildren<QRadioButton*>().isEmpty());
    }

    void accessKeysAreUniquePerWindow() {
        for (QWidget* window : windows_) {
            QHash<QString, QString> owner;  // key -> control
            QStringList clashes;
            for (QWidget* control : window->findChildren<QWidget*>()) {
                QString caption;
                if (auto* button = qobject_cast<QAbstractButton*>(control))
                    caption = button->text();
                else if (auto* frame = qobject_cast<QGroupBox*>(control))
                    caption = frame->title();
                const QString key = QKeySequence::mnemonic(caption).toString().toUpper();
                if (key.isEmpty()) continue;
                if (owner.contains(key)) clashes << key + ": " + owner[key] + ", " + Where(control);
                owner[key] = Where(control);
            }
            QVERIFY2(clashes.isEmpty(), qPrintable(clashes.join(", ")));
        }
        QCOMPARE(QKeySequence::mnemonic(export_.Find<QPushButton>("cmdStart")->text()),
                 QKeySequence(Qt::ALT | Qt::Key_S));
    }

    // A label, button or frame title is never narrower than its text needs.
    void noCaptionIsClipped() {
        QStringList clipped;
        for (QWidget* window : windows_) {
            for (QWidget* control : window->findChildren<QWidget*>()) {
                if (!control->isVisible()) continue;
                int needed = 0;
                if (auto* label = qobject_cast<QLabel*>(control)) {
                    if (label->text().isEmpty() || label->wordWrap() || !label->pixmap().isNull())
                        continue;
                    needed = label->fontMetrics().horizontalAdvance(label->text());
                } else if (qobject_cast<QAbstractButton*>(control) ||
                           qobject_cast<QGroupBox*>(control)) {
                    needed = control->minimumSizeHint().width();
                } else {
                    continue;
                }
                if (control->width() < needed)
                    clipped << QStringLiteral("%1: %2 < %3")
                                   .arg(Where(control))
                                   .arg(control->width())
                                   .arg(needed);
            }
        }
        QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join(", ")));
    }

    // The heading and the emblem open one modeless About box; its OK closes it.
    void aboutBoxFromHeadingAndEmblem() {
        QTest::mouseClick(export_.Find<QWidget>("lblAction"), Qt::LeftButton);
        QTest::mouseClick(export_.Find<QWidget>("Picture1"), Qt::LeftButton);
        const auto boxes = export_.Window()->findChildren<AboutWindow*>();
        QCOMPARE(boxes.size(), 1);
        QVERIFY(boxes[0]->isVisible());
        QVERIFY(!boxes[0]->isModal());
        QTest::mouseClick(boxes[0]->findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
        QVERIFY(!boxes[0]->isVisible());
    }
};

QTEST_MAIN(ControlsTest)
#include "ControlsTest.moc"
