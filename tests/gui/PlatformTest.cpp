// The desktop's message boxes, file prompt and progress line, and the text conversions where
// the core's Windows-1252 texts meet the screen.

#include <QFileDialog>
#include <QLabel>
#include <QTest>

#include "gui/QtFilePrompt.h"
#include "gui/QtUserInterface.h"
#include "gui/ScreenText.h"

using namespace talvik;
using namespace talvik::gui;

class PlatformTest : public QObject {
    Q_OBJECT

  private slots:
    void screenText_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("shown");
        QTest::newRow("1252 letters") << QByteArray("Co\xF6rdinaten \x80 \x93x\x94")
                                      << QString::fromUtf8("Coördinaten € “x”");
        QTest::newRow("lone CR") << QByteArray("a\rb\r") << "a\nb\n";
        QTest::newRow("CR LF") << QByteArray("a\r\nb") << "a\nb";
        QTest::newRow("CR CR LF") << QByteArray("a\r\r\nb") << "a\n\nb";
    }

    void screenText() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, shown);
        QCOMPARE(ScreenText(bytes.toStdString()), shown);
    }

    void messageBox() {
        const MessageBoxSetup setup = MakeMessageBoxSetup(
            "Bestaat al.\rOverschrijven?", Buttons::OkCancel, Icon::Critical, "Talvik");
        QMessageBox box;
        ConfigureMessageBox(box, setup);
        QCOMPARE(box.text(), QStringLiteral("Bestaat al.\nOverschrijven?"));
        QCOMPARE(box.windowTitle(), QStringLiteral("Talvik"));
        QCOMPARE(box.icon(), QMessageBox::Critical);
        QCOMPARE(box.standardButtons(), QMessageBox::Ok | QMessageBox::Cancel);
        QCOMPARE(box.escapeButton(), box.button(QMessageBox::Cancel));
        QCOMPARE(box.textFormat(), Qt::PlainText);
    }

    void nameFilters_data() {
        QTest::addColumn<QByteArray>("filter");
        QTest::addColumn<QStringList>("entries");
        QTest::newRow("idex") << QByteArray("Kavrin IDEX Files|*.idx|All Files (*.*)|*.*")
                              << QStringList{"Kavrin IDEX Files (*.idx)", "All Files (*.*)"};
        QTest::newRow("package program")
            << QByteArray("KORVU.EXE (*.EXE)|*.exe|All Files (*.*)|*.*")
            << QStringList{"KORVU.EXE (*.EXE)", "All Files (*.*)"};
        QTest::newRow("1252 description")
            << QByteArray("KORVU Co\xF6rdinaten Files|*.cor|")
            << QStringList{QString::fromUtf8("KORVU Coördinaten Files (*.cor)")};
    }

    void nameFilters() {
        QFETCH(QByteArray, filter);
        QFETCH(QStringList, entries);
        QCOMPARE(NameFilters(filter.toStdString()), entries);
    }

    // The dialog shows the title with its bars, starts in the folder (the host's trailing
    // backslash dropped), offers the entries with the first selected.
    void fileDialog() {
        const QString folder = QDir::tempPath();
        FilePromptRequest request{folder.toStdString() + "\\",
                                  "Opzoeken van Kavrin IDEX Files|*.idx| File", "*.idx",
                                  "Kavrin IDEX Files|*.idx|All Files (*.*)|*.*"};
        QFileDialog dialog;
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        ConfigureFileDialog(dialog, MakeFileDialogSetup(request));
        QCOMPARE(dialog.windowTitle(),
                 QStringLiteral("Opzoeken van Kavrin IDEX Files|*.idx| File"));
        QCOMPARE(dialog.nameFilters(),
                 QStringList({"Kavrin IDEX Files (*.idx)", "All Files (*.*)"}));
        QCOMPARE(dialog.selectedNameFilter(), QStringLiteral("Kavrin IDEX Files (*.idx)"));
        QCOMPARE(dialog.directory().absolutePath(), QDir(folder).absolutePath());
        QCOMPARE(dialog.fileMode(), QFileDialog::ExistingFile);
    }

    void progressLine() {
        QtUserInterface ui;
        auto* label = new QLabel;
        ui.SetProgressLabel(label);
        ui.Progress("Regel 12 van \xE9\xE9n");
        ui.Yield();
        QCOMPARE(label->text(), QString::fromUtf8("Regel 12 van één"));
        delete label;
        ui.Progress("label gone");  // must not touch the deleted label
    }
};

QTEST_MAIN(PlatformTest)
#include "PlatformTest.moc"
