// The desktop windows: the texts table and the rules every window keeps, the dialogs' shared
// scenarios with what Qt adds, and Qt's texts in Dutch; on a 1366 x 768 screen at 100-150 %.

#include <QCheckBox>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QTableWidget>
#include <QTimer>

#include "GuiHarness.h"
#include "Version.h"
#include "gui/AboutWindow.h"
#include "gui/Translations.h"
#include "texts/WindowTexts.h"

using namespace talvik;
using namespace talvik::gui;
using test::Harness;

class WindowsTest : public QObject {
    Q_OBJECT

    Harness export_, import_;
    QPointer<AboutWindow> about_;
    QList<QWidget*> windows_;  // in the order of texts::kWindows

    static QString Where(const QWidget* widget) {
        return widget->window()->objectName() + '.' + widget->objectName();
    }

    // What a control shows as its caption; null for a control that has none.
    static QString Caption(const QWidget* widget) {
        if (auto* label = qobject_cast<const QLabel*>(widget)) return label->text();
        if (auto* button = qobject_cast<const QAbstractButton*>(widget)) return button->text();
        if (auto* frame = qobject_cast<const QGroupBox*>(widget)) return frame->title();
        return {};
    }

  private slots:
    void initTestCase() {
        QVERIFY(export_.Start("0 \"/data/net 1.prj\" \"/data/net 1.idx\""));
        QVERIFY(import_.Start("1 \"/data/net1.cor\" \"/data/net1.idx\""));
        ShowAbout(about_, nullptr);
        export_.app->Splash()->show();
        windows_ = {export_.app->Splash(), export_.app->Export(), import_.app->Import(), about_};
        for (QWidget* window : windows_)
            QVERIFY(QTest::qWaitForWindowExposed(window));
    }

    void cleanupTestCase() { delete about_; }

    // In the dialogs, boxes, buttons, check boxes and set arrows carry a tooltip (option buttons
    // are explained by their caption); no window repeats an access key.
    void tableRules() {
        QStringList faults;
        for (const texts::WindowText* window : texts::kWindows) {
            QSet<QString> keys;
            for (const texts::ControlText& control : window->controls) {
                const QString name = QString::fromLatin1(control.name);
                const QString where = QString::fromLatin1(window->name) + '.' + name;
                const bool dialog = window == &texts::kExport || window == &texts::kImport;
                const bool worked = dialog && (name.startsWith("txt") || name.startsWith("cmd") ||
                                               name.startsWith("chk") || name.startsWith("UpDown"));
                if (worked && control.tip.empty()) faults << where + " has no tooltip";
                const auto mark = control.caption.find('&');
                if (mark == std::string_view::npos || mark + 1 == control.caption.size()) continue;
                const QString key = ScreenText(control.caption.substr(mark + 1, 1)).toUpper();
                if (keys.contains(key)) faults << where + " repeats access key " + key;
                keys << key;
            }
        }
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(", ")));
    }

    // Each window shows the table's name, title, captions and tooltips and no text of its own;
    // Tab visits the listed controls in the table's order.
    void windowsShowTheTable() {
        QStringList faults;
        for (qsizetype w = 0; w < windows_.size(); ++w) {
            QWidget* window = windows_[w];
            const texts::WindowText& table = *texts::kWindows[w];
            QCOMPARE(window->objectName(), QString::fromLatin1(table.name));
            QCOMPARE(window->windowTitle(), ScreenText(table.title));
            QStringList order;
            for (const texts::ControlText& control : table.controls) {
                order << QString::fromLatin1(control.name);
                auto* widget = window->findChild<QWidget*>(order.last());
                if (!widget) {
                    faults << QString::fromLatin1(table.name) + '.' + order.last() + " missing";
                    continue;
                }
                const QString caption = ScreenText(
                    control.name == "lblVersion"
                        ? texts::VersionLine(kVersionMajor, kVersionMinor, kVersionRevision)
                        : std::string(control.caption));
                if (Caption(widget) != caption)
                    faults << Where(widget) + " shows \"" + Caption(widget) + '"';
                if (widget->toolTip() != ScreenText(control.tip))
                    faults << Where(widget) + " has the tooltip \"" + widget->toolTip() + '"';
            }
            for (QWidget* widget : window->findChildren<QWidget*>()) {
                const bool texted = !Caption(widget).isEmpty() || !widget->toolTip().isEmpty();
                if (texted && !order.contains(widget->objectName()) &&
                    !qobject_cast<UpDownArrows*>(widget->parentWidget()))
                    faults << Where(widget) + " is not in the table";
            }
            qsizetype last = -1;
            for (QWidget* at = window->nextInFocusChain(); at != window;
                 at = at->nextInFocusChain()) {
                const qsizetype listed = order.indexOf(at->objectName());
                if (listed < 0 || !(at->focusPolicy() & Qt::TabFocus)) continue;
                if (listed < last) faults << Where(at) + " comes after " + order[last];
                last = listed;
            }
        }
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(", ")));
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
                    clipped << Where(control) +
                                   QStringLiteral(": %1 < %2").arg(control->width()).arg(needed);
            }
        }
        QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join(", ")));
    }

    // Every caption of the table leaves dark pixels in its control (a frame: its title; a check or
    // option button: beside the indicator), the scrolling form scrolled to it first.
    void everyCaptionIsDrawn() {
        QStringList blank;
        for (qsizetype w = 0; w < windows_.size(); ++w) {
            QImage shot;
            for (const texts::ControlText& control : texts::kWindows[w]->controls) {
                auto* widget = windows_[w]->findChild<QWidget*>(QString::fromLatin1(control.name));
                if (control.caption.empty() || !widget) continue;
                auto* area = windows_[w]->findChild<QScrollArea*>();
                if (area && widget->visibleRegion().boundingRect() != widget->rect())
                    area->ensureWidgetVisible(widget, 0, 0), shot = {};
                if (shot.isNull()) shot = windows_[w]->grab().toImage();
                QRectF at(widget->mapTo(windows_[w], QPoint(0, 0)), widget->size());
                if (qobject_cast<QGroupBox*>(widget)) at.setHeight(widget->fontMetrics().height());
                if (qobject_cast<QCheckBox*>(widget) || qobject_cast<QRadioButton*>(widget))
                    at.setLeft(at.left() + widget->style()->pixelMetric(QStyle::PM_IndicatorWidth));
                const qreal r = shot.devicePixelRatio();
                const QRect pixels = QRectF(at.topLeft() * r, at.size() * r).toRect();
                int dark = 0;
                for (int y = pixels.top(); y <= pixels.bottom(); ++y)
                    for (int x = pixels.left(); x <= pixels.right(); ++x)
                        dark += shot.valid(x, y) && qGray(shot.pixel(x, y)) < 110;
                if (dark < 5 || !widget->isVisible()) blank << Where(widget);
            }
        }
        QVERIFY2(blank.isEmpty(), qPrintable("nothing drawn: " + blank.join(", ")));
    }

    // Every window lies within the screen, its start buttons and progress line in view, and grows
    // no larger than its natural size (but for a scroll bar's width).
    void windowsFitTheScreen() {
        QStringList faults;
        for (QWidget* window : windows_) {
            if (!window->screen()->availableGeometry().contains(window->frameGeometry()))
                faults << window->objectName() + " beyond the screen";
            for (const char* name : {"cmdExport", "cmdStart", "fraProgress"}) {
                auto* control = window->findChild<QWidget*>(name);
                if (control && control->visibleRegion().boundingRect() != control->rect())
                    faults << Where(control) + " out of view";
            }
            const QSize size = window->size(), most = window->sizeHint().grownBy({0, 0, 16, 0});
            window->resize(2 * size);
            if (window->size() != window->size().boundedTo(most))
                faults << window->objectName() + " grows";
            window->resize(size);
        }
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(", ")));
    }

    // The heading and the emblem open one modeless About box; its OK closes it.
    void aboutBoxFromHeadingAndEmblem() {
        QTest::mouseClick(export_.Find<QWidget>("lblAction"), Qt::LeftButton);
        QTest::mouseClick(export_.Find<QWidget>("Picture1"), Qt::LeftButton);
        const auto boxes = export_.Window()->findChildren<AboutWindow*>();
        QCOMPARE(boxes.size(), 1);
        QVERIFY(boxes[0]->isVisible() && !boxes[0]->isModal());
        QTest::mouseClick(boxes[0]->findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
        QVERIFY(!boxes[0]->isVisible());
    }

    void screenTextAndNameFilters() {
        QCOMPARE(ScreenText("Co\xF6rdinaten \x80 \x93x\x94 a\rb\r\nc\r\r\nd\r"),
                 QString("Coördinaten € “x” a\nb\nc\n\nd\n"));
        QCOMPARE(NameFilters("Kavrin IDEX Files|*.idx|All Files (*.*)|*.*"),
                 QStringList({"Kavrin IDEX Files (*.idx)", "All Files (*.*) (*)"}));
        QCOMPARE(NameFilters("KORVU Co\xF6rdinaten Files|*.cor|"),
                 QStringList{"KORVU Coördinaten Files (*.cor)"});
    }

    // The scenarios both fronts pass, and the prompt folder and question buttons Qt adds.
    void dialogScenarios() {
        Harness first, prompts, closing, import;
        first.CopyExamples({"net1.fld", "net1.idx"});
        PASSES(testing::MessagesEndTheProcess<Harness>());
        PASSES(testing::FirstRunEditsArrowsAndReopening(first, {}));
        PASSES(testing::FilePrompts(prompts, "\xC3\xA9"));
        QCOMPARE(prompts.prompts[0].folder.toStdString(), prompts.Folder());
        PASSES(testing::StartButtons<Harness>([](Harness& h, const char* b) { h.Click(b); }));
        PASSES(testing::CloseDuringTheRun(closing));
        QCOMPARE(closing.messages[0].buttons, QMessageBox::Ok | QMessageBox::Cancel);
        PASSES(testing::ImportSetsRefusalImportAndClosing(import, {}));
    }

    // The check button pressed twice leaves one check window, of the second check; the export
    // window's heading stays legible on a dark palette.
    void oneCheckWindowAndADarkHeading() {
        Harness h;
        h.InstallHost();
        h.CopyExamples({"net1.fld", "net1.idx"});
        QVERIFY(h.Start(h.ExportLine()));
        h.Click("cmdCheck");
        QPointer<CheckWindow> first = h.app->Export()->Check();
        QVERIFY(first && first->isVisible());
        h.Click("cmdCheck");
        QTRY_VERIFY(first.isNull());
        int open = 0;
        for (QWidget* top : QApplication::topLevelWidgets())
            open += qobject_cast<CheckWindow*>(top) != nullptr && top->isVisible();
        QCOMPARE(open, 1);
        h.app->Export()->Check()->close();
        QPalette dark;
        dark.setColor(QPalette::Window, QColor(0x20, 0x20, 0x20));
        dark.setColor(QPalette::WindowText, QColor(0xe0, 0xe0, 0xe0));
        QApplication::setPalette(dark);
        Harness night;
        night.InstallHost();
        QVERIFY(night.Start(night.ExportLine()));
        const QColor heading =
            night.Find<QLabel>("lblAction")->palette().color(QPalette::WindowText);
        QApplication::setPalette(QPalette());
        QVERIFY2(heading.lightness() > 128, qPrintable(heading.name()));
    }

    // The first text box has the focus, and Enter in a text box starts nothing. Bladeren names
    // a new project: a typed name of a file that does not exist comes back.
    void enterAndANewProjectName() {
        Harness h;
        h.InstallHost();
        QVERIFY(h.Start(h.ExportLine()));
        QCOMPARE(QApplication::focusWidget(), h.Find("txtFieldfile"));
        for (QLineEdit* box : h.Window()->findChildren<QLineEdit*>())
            QTest::keyClick(box, Qt::Key_Return), QTest::keyClick(box, Qt::Key_Enter);
        QVERIFY(!h.finished && h.launcher.commandLines.empty() && h.messages.empty());
        h.realPrompt = true;
        QTimer driver;  // types the name, closes a refusal, and cancels when the name is refused
        connect(&driver, &QTimer::timeout, [typed = false]() mutable {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* refusal = qobject_cast<QMessageBox*>(modal)) refusal->done(0);
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            if (dialog && std::exchange(typed, true)) return dialog->reject();
            if (!dialog) return;
            dialog->findChild<QLineEdit*>("fileNameEdit")->setText("groot.prj");
            QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
        });
        driver.start(50);
        h.Click("cmdProject");
        QCOMPARE(h.Text("txtProjectfile"), h.Path("groot.prj"));
    }

    // Arrow keys move only among the option buttons of one choice, and not from a check box.
    void arrowsStayInTheirGroup() {
        QStringList faults;
        for (QAbstractButton* button : export_.Window()->findChildren<QAbstractButton*>()) {
            const bool option = qobject_cast<QRadioButton*>(button);
            if (!option && !qobject_cast<QCheckBox*>(button)) continue;
            for (const Qt::Key key : {Qt::Key_Down, Qt::Key_Up, Qt::Key_Right, Qt::Key_Left}) {
                button->setFocus();
                QTest::keyClick(button, key);
                QWidget* now = export_.Window()->focusWidget();
                if (now != button && !(option && qobject_cast<QRadioButton*>(now) &&
                                       now->parentWidget() == button->parentWidget()))
                    faults << Where(button) + " leaves its group";
            }
        }
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(", ")));
    }

    // After a refusal of the import the focus is on the box the message was about.
    void refusalFocusesItsBox() {
        Harness h;
        h.InstallHost();
        QVERIFY(h.Start("1 \"" + h.Path("none.cor") + "\" \"" + h.Path("out.idx") + "\""));
        for (const auto& [layer, code, focused] : {std::array{"", "K", "txtKVLayer"},
                                                   {"L", " ", "txtKVCode"},
                                                   {"L", "K", "txtCoordfile"}}) {
            h.Type("txtKVLayer", layer);
            h.Type("txtKVCode", code);
            h.Click("cmdStart");
            QCOMPARE(h.Window()->focusWidget(), h.Find(focused));
        }
    }

    // A box shown while no window shows, and the start-up window, centre on the screen.
    void firstBoxesAreCentred() {
        QWidget hidden;
        QtUserInterface ui;
        ui.SetParentWindow(&hidden);
        QPoint box;
        QTimer::singleShot(100, [&box] {
            box = QApplication::activeModalWidget()->frameGeometry().center();
            QApplication::activeModalWidget()->hide();
        });
        ui.Message("Kavrin niet gevonden; afbreken", Buttons::Ok, Icon::Critical, kAppTitle);
        SplashWindow splash;
        splash.show();
        for (const QPoint at : {box, splash.frameGeometry().center()})
            QVERIFY((at - splash.screen()->availableGeometry().center()).manhattanLength() < 8);
    }

    // With no host release registered (started from the desktop's menu) the IDEX prompt starts
    // in the home folder; the package search starts where Linux keeps programs, without *.exe.
    void linuxPromptFolders() {
        Harness h;
        h.pick = h.Path("net1.idx");
        QVERIFY(h.Start("") && !h.finished && h.messages.empty());
        QCOMPARE(h.prompts[0].folder, QDir::homePath());
        h.Click("cmdStart");
        QVERIFY(h.prompts.back().folder == "/opt" || h.prompts.back().folder == QDir::homePath());
        QCOMPARE(h.prompts.back().nameFilters,
                 QStringList({"KORVU (korvu*)", "All Files (*.*) (*)"}));
    }

    // The read-only set number takes the focus and its Up key presses the arrow; the browse button
    // fills the box; after the import the progress line shows the points written, the bar full.
    void importNumberKeysPromptAndProgress() {
        Harness h;
        h.settings.Set("TalvikCurrentSel", "4");
        h.settings.Set("TalvikImport5", "TOPO|K");
        h.InstallHost();
        h.CopyExamples({"net1.cor"});
        QVERIFY(h.Start("1 \"" + h.Path("a.cor") + "\" \"" + h.Path("out.idx") + "\""));
        QVERIFY(h.Find("txtSelNr")->focusPolicy() & Qt::TabFocus);
        QTest::keyClicks(h.Find("txtSelNr"), "7");
        QTest::keyClick(h.Find("txtSelNr"), Qt::Key_Up);
        QCOMPARE(h.Text("txtSelNr") + h.Text("txtKVLayer") + h.Text("txtKVCode"), "5TOPOK");
        h.pick = h.Path("net1.cor");
        h.Click("cmdCoord");
        QCOMPARE(h.Text("txtCoordfile"), h.pick);
        h.Click("cmdStart");
        QVERIFY(!h.finished && h.ShiftsVisible());
        QCOMPARE(h.Text("lblProgress"), "Inlezen KORVU Co\xF6rdinaten: 6");
        const auto* bar = h.Find<QProgressBar>("prbProgress");
        QVERIFY(bar->isVisibleTo(h.Window()) && bar->value() == bar->maximum());
    }

    // The shift report's window: the flagged row drawn red, a click on a heading sorts by that
    // column, the copy button puts the rows shown on the clipboard, the close button ends.
    void shiftReportSortsCopiesAndCloses() {
        Harness h;
        h.InstallHost();
        h.CopyExamples({"net1.cor"});
        std::string old = testing::ReadBytes(h.Source() / "tests" / "cli" / "data" / "back.idx");
        old.replace(old.find("155087.1234"), 11, "155087.1834");
        testing::WriteBytes(h.Path("out.idx"), old);
        QVERIFY(h.Start("1 \"" + h.Path("net1.cor") + "\" \"" + h.Path("out.idx") + "\""));
        h.Type("txtKVLayer", "PUNTEN");
        h.Type("txtKVCode", "GR");
        h.Type("txtTolerance", "0.1");
        h.Click("cmdStart");
        QVERIFY(h.ShiftsVisible() && QTest::qWaitForWindowExposed(h.Shifts()));
        QCOMPARE(h.ShiftLines().front().substr(0, 6), "2001|1");  // within 0.1 m: not flagged
        h.Shifts()->close();
        QVERIFY(h.finished);
        QCOMPARE(h.Stored("TalvikImportTolerance"), "0.1");

        testing::WriteBytes(h.Path("out.idx"), old);
        QVERIFY(h.Start("1 \"" + h.Path("net1.cor") + "\" \"" + h.Path("out.idx") + "\""));
        QCOMPARE(h.Text("txtTolerance"), "0.1");
        h.Type("txtTolerance", "0.05");
        h.Click("cmdStart");
        ShiftWindow* shifts = h.Shifts();
        QVERIFY(QTest::qWaitForWindowExposed(shifts));
        QTableWidget* table = shifts->Table();
        const auto redIn = [&](int row) {
            const QImage image = table->viewport()->grab().toImage();
            const QRect cells = table->visualItemRect(table->item(row, 0))
                                    .united(table->visualItemRect(table->item(row, 8)));
            const qreal ratio = image.devicePixelRatio();
            int red = 0;
            for (int y = int(cells.top() * ratio); y < int(cells.bottom() * ratio); ++y)
                for (int x = int(cells.left() * ratio); x < int(cells.right() * ratio); ++x) {
                    const QColor c = image.pixelColor(x, y);
                    red += c.red() > 180 && c.green() < 90 && c.blue() < 90;
                }
            return red;
        };
        QVERIFY(redIn(0) > 20);
        QCOMPARE(redIn(1), 0);
        QHeaderView* header = table->horizontalHeader();
        const QPoint heading(header->sectionViewportPosition(7) + 10, header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, heading);
        QStringList names;
        for (int r = 0; r < table->rowCount(); ++r)
            names << table->item(r, 0)->text();
        QCOMPARE(names, QStringList({"1001", "1002", "2002", "2003", "PM17", "2001"}));
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, heading);
        QCOMPARE(table->item(0, 0)->text(), "2001");
        QTest::mouseClick(shifts->findChild<QPushButton*>("cmdCopy"), Qt::LeftButton);
        const QStringList copied = QApplication::clipboard()->text().split('\n');
        QCOMPARE(copied.first(), "punt\tx\ty\th\tdx\tdy\tdh\tverschuiving\tstatus");
        QCOMPARE(copied.at(1),
                 "2001\t155087.1234\t463112.5678\t11.2345\t-0.0600\t0.0000\t0.0000\t"
                 "0.0600\tverschoven");
        QVERIFY(!h.finished);
        QTest::mouseClick(shifts->findChild<QPushButton*>("cmdClose"), Qt::LeftButton);
        QVERIFY(h.finished && h.exitCode == 0);
    }

    // Qt's own buttons and prompt labels are Dutch in any system language (last: sets the locale).
    void standardTextsAreDutch() {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        QVERIFY(InstallDutchTranslations(*QCoreApplication::instance()));
        QMessageBox box;
        ConfigureMessageBox(box, MakeMessageBoxSetup("?", Buttons::OkCancel, Icon::None, "T"));
        QFileDialog dialog;
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        ConfigureFileDialog(dialog, MakeFileDialogSetup({"", "Titel", "", "A|*.a|"}));
        QStringList shown;
        shown << box.button(QMessageBox::Ok)->text() << box.button(QMessageBox::Cancel)->text();
        for (const char* name : {"lookInLabel", "fileNameLabel", "fileTypeLabel"})
            shown << dialog.findChild<QLabel*>(name)->text();
        shown << dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Open)->text();
        QCOMPARE(shown, QStringList({"OK", "Annuleren", "Zoeken in:", "Bestands&naam:",
                                     "Bestanden van type:", "&Openen"}));
    }
};

QTEST_MAIN(WindowsTest)
#include "WindowsTest.moc"
