// Start-up: the two messages that end the process, where the core's Windows-1252 texts meet
// the screen, and Qt's own texts in Dutch.

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>

#include "GuiHarness.h"
#include "gui/ScreenText.h"
#include "gui/Translations.h"

using namespace talvik;
using namespace talvik::gui;

class StartupTest : public QObject {
    Q_OBJECT

  private slots:
    void messagesEndTheProcess() { PASSES(testing::MessagesEndTheProcess<test::Harness>()); }

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

    // Qt's own buttons and prompt labels are Dutch, whatever language the system speaks.
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

QTEST_MAIN(StartupTest)
#include "StartupTest.moc"
