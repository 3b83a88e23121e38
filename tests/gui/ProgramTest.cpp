// The desktop program: the start-up messages that end the process, where the core's
// Windows-1252 texts meet the screen, the scenarios of both dialogs (support/DialogScenarios.h)
// with what the Qt windows add (the number box's keys, the coordinate-file prompt, the progress
// bar), and Qt's own texts in Dutch.

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include "GuiHarness.h"
#include "gui/ScreenText.h"
#include "gui/Translations.h"

using namespace talvik;
using namespace talvik::gui;
using test::Harness;

class ProgramTest : public QObject {
    Q_OBJECT

  private slots:
    void messagesEndTheProcess() { PASSES(testing::MessagesEndTheProcess<Harness>()); }

    void screenTextAndNameFilters() {
        const std::pair<const char*, QString> texts[] = {
            {"Co\xF6rdinaten \x80 \x93x\x94", "Coördinaten € “x”"},
            {"a\rb\r", "a\nb\n"},
            {"a\r\nb", "a\nb"},
            {"a\r\r\nb", "a\n\nb"}};
        for (const auto& [bytes, shown] : texts)
            QCOMPARE(ScreenText(bytes), shown);
        QCOMPARE(NameFilters("Kavrin IDEX Files|*.idx|All Files (*.*)|*.*"),
                 QStringList({"Kavrin IDEX Files (*.idx)", "All Files (*.*) (*)"}));
        QCOMPARE(NameFilters("KORVU Co\xF6rdinaten Files|*.cor|"),
                 QStringList{"KORVU Coördinaten Files (*.cor)"});
    }

    void firstRunEditsArrowsAndReopening() {
        Harness h;
        h.CopyExamples({"net1.fld", "net1.idx"});
        PASSES(testing::FirstRunEditsArrowsAndReopening(h, {}));
    }

    void filePrompts() {
        Harness h;
        PASSES(testing::FilePrompts(h, "\xC3\xA9"));
        QCOMPARE(h.prompts[0].folder.toStdString(), h.Folder());
    }

    void startButtons() {
        PASSES(testing::StartButtons<Harness>([](Harness& h, const char* b) { h.Click(b); }));
    }

    void closeDuringTheRun() {
        Harness h;
        PASSES(testing::CloseDuringTheRun(h));
        QCOMPARE(h.messages[0].buttons, QMessageBox::Ok | QMessageBox::Cancel);
    }

    void importSetsRefusalImportAndClosing() {
        Harness h;
        PASSES(testing::ImportSetsRefusalImportAndClosing(h, {}));
    }

    // The set number is read-only but takes the focus, and its Up/Down keys press the arrows;
    // the browse button puts the pick in the box and the import reads it. After the import the
    // progress line ends on the points written, the bar full.
    void importNumberKeysPromptAndProgress() {
        Harness h;
        h.settings.Set("TalvikCurrentSel", "4");
        h.settings.Set("TalvikImport5", "TOPO|K");
        h.InstallHost();
        h.CopyExamples({"net1.cor"});
        QVERIFY(h.Start("1 \"" + h.Path("a.cor") + "\" \"" + h.Path("out.idx") + "\""));
        QVERIFY(h.Find("txtSelNr")->isReadOnly());
        QVERIFY(h.Find("txtSelNr")->focusPolicy() & Qt::TabFocus);
        QTest::keyClicks(h.Find("txtSelNr"), "7");
        QTest::keyClick(h.Find("txtSelNr"), Qt::Key_Up);
        QCOMPARE(h.Text("txtSelNr") + h.Text("txtKVLayer") + h.Text("txtKVCode"), "5TOPOK");
        h.pick = h.Path("net1.cor");
        h.Click("cmdCoord");
        QCOMPARE(h.Text("txtCoordfile"), h.pick);
        h.Click("cmdStart");
        QVERIFY(h.finished);
        QCOMPARE(h.Text("lblProgress"), "Inlezen KORVU Co\xF6rdinaten: 6");
        const auto* bar = h.Find<QProgressBar>("prbProgress");
        QVERIFY(bar->isVisibleTo(h.Window()) && bar->value() == bar->maximum());
    }

    // Qt's own buttons and prompt labels are Dutch, whatever language the system speaks (last:
    // it changes the program's locale).
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

QTEST_MAIN(ProgramTest)
#include "ProgramTest.moc"
