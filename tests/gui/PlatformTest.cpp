// The desktop's message boxes, file prompt and progress line, and the text conversions where
// the core's Windows-1252 texts meet the screen.

#include <QFileDialog>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

#include "gui/QtFilePrompt.h"
#include "gui/QtUserInterface.h"
#include "gui/ScreenText.h"

using namespace talvik;
using namespace talvik::gui;

Q_DECLARE_METATYPE(talvik::Buttons)
Q_DECLARE_METATYPE(talvik::Icon)

class PlatformTest : public QObject {
    Q_OBJECT

  private slots:
    void screenText_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("shown");
        QTest::newRow("plain") << QByteArray("Talvik") << "Talvik";
        QTest::newRow("1252 letters") << QByteArray("Co\xF6rdinaten \x80 \x93x\x94")
                                      << QString::fromUtf8("Coördinaten € “x”");
        QTest::newRow("lone CR") << QByteArray("a\rb\r") << "a\nb\n";
        QTest::newRow("CR LF") << QByteArray("a\r\nb") << "a\nb";
        QTest::newRow("LF") << QByteArray("a\nb") << "a\nb";
        QTest::newRow("CR CR LF") << QByteArray("a\r\r\nb") << "a\n\nb";
    }

    void screenText() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, shown);
        QCOMPARE(ScreenText(bytes.toStdString()), shown);
    }

    // What the user types reaches the core as Windows-1252; paths stay file-system bytes.
    void typedTexts() {
        QCOMPARE(ModelText(QString::fromUtf8("Öst €")), std::string("\xD6st \x80"));
        QCOMPARE(ModelText(QString::fromUtf8("日")), std::string("?"));
        QCOMPARE(BoxText(ModelText(QString::fromUtf8("ü|ß"))), QString::fromUtf8("ü|ß"));
        QCOMPARE(ModelPath(QString::fromUtf8("/d/ö.fld")), std::string("/d/\xC3\xB6.fld"));
        QCOMPARE(PathText("/d/\xC3\xB6.fld"), QString::fromUtf8("/d/ö.fld"));
    }

    void messageBox_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<talvik::Buttons>("buttons");
        QTest::addColumn<talvik::Icon>("icon");
        QTest::addColumn<QByteArray>("title");
        QTest::addColumn<int>("boxIcon");
        QTest::addColumn<int>("boxButtons");
        QTest::newRow("inform") << QByteArray("Klaar") << Buttons::Ok << Icon::None
                                << QByteArray("Talvik") << int(QMessageBox::NoIcon)
                                << int(QMessageBox::Ok);
        QTest::newRow("question") << QByteArray("Bestaat al.\rOverschrijven?") << Buttons::OkCancel
                                  << Icon::None << QByteArray("Talvik") << int(QMessageBox::NoIcon)
                                  << int(QMessageBox::Ok | QMessageBox::Cancel);
        QTest::newRow("information") << QByteArray("Aanmelding") << Buttons::Ok << Icon::Information
                                     << QByteArray("KORVU Interface")
                                     << int(QMessageBox::Information) << int(QMessageBox::Ok);
        QTest::newRow("critical") << QByteArray("Kavrin niet gevonden; afbreken") << Buttons::Ok
                                  << Icon::Critical << QByteArray("Talvik")
                                  << int(QMessageBox::Critical) << int(QMessageBox::Ok);
    }

    void messageBox() {
        QFETCH(QByteArray, text);
        QFETCH(talvik::Buttons, buttons);
        QFETCH(talvik::Icon, icon);
        QFETCH(QByteArray, title);
        QFETCH(int, boxIcon);
        QFETCH(int, boxButtons);
        const MessageBoxSpec spec =
            MakeMessageBoxSpec(text.toStdString(), buttons, icon, title.toStdString());
        QMessageBox box;
        ConfigureMessageBox(box, spec);
        QCOMPARE(box.text(), ScreenText(text.toStdString()));
        QCOMPARE(box.windowTitle(), QString::fromLatin1(title));
        QCOMPARE(int(box.icon()), boxIcon);
        QCOMPARE(int(box.standardButtons()), boxButtons);
        QCOMPARE(box.textFormat(), Qt::PlainText);

        // The presenter answers in place of the box.
        QtUserInterface ui([](const MessageBoxSpec& shown) {
            return shown.buttons.testFlag(QMessageBox::Cancel) ? Answer::Cancel : Answer::Ok;
        });
        const Answer answer = ui.Message(text.toStdString(), buttons, icon, title.toStdString());
        QCOMPARE(answer, buttons == Buttons::OkCancel ? Answer::Cancel : Answer::Ok);
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
            << QByteArray("KORVU Co\xF6rdinaten Files|*.cor|All Files (*.*)|*.*")
            << QStringList{QString::fromUtf8("KORVU Coördinaten Files (*.cor)"), "All Files (*.*)"};
        QTest::newRow("trailing bar")
            << QByteArray("Kavrin Field Files|*.fld|") << QStringList{"Kavrin Field Files (*.fld)"};
        QTest::newRow("pattern missing") << QByteArray("Alles") << QStringList{"Alles"};
        QTest::newRow("empty") << QByteArray() << QStringList{};
    }

    void nameFilters() {
        QFETCH(QByteArray, filter);
        QFETCH(QStringList, entries);
        QCOMPARE(NameFilters(filter.toStdString()), entries);
    }

    // The dialog shows the title with its bars, starts in the folder, offers the entries with
    // the first selected and proposes the initial name; a presenter answers in its place.
    void fileDialog() {
        QTemporaryDir folder;
        FilePromptRequest request;
        request.startFolder = folder.path().toStdString();
        request.title = "Opzoeken van Kavrin IDEX Files|*.idx| File";
        request.initialName = "*.idx";
        request.filter = "Kavrin IDEX Files|*.idx|All Files (*.*)|*.*";
        const FileDialogSpec spec = MakeFileDialogSpec(request);
        QFileDialog dialog;
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        ConfigureFileDialog(dialog, spec);
        QCOMPARE(dialog.windowTitle(),
                 QStringLiteral("Opzoeken van Kavrin IDEX Files|*.idx| File"));
        QCOMPARE(dialog.nameFilters(),
                 QStringList({"Kavrin IDEX Files (*.idx)", "All Files (*.*)"}));
        QCOMPARE(dialog.selectedNameFilter(), QStringLiteral("Kavrin IDEX Files (*.idx)"));
        QCOMPARE(dialog.directory().absolutePath(), QDir(folder.path()).absolutePath());
        QCOMPARE(dialog.fileMode(), QFileDialog::ExistingFile);

        // A host data folder ends with a backslash.
        request.startFolder += "\\";
        QCOMPARE(MakeFileDialogSpec(request).folder, folder.path());

        QtFilePrompt picked([](const FileDialogSpec&) { return QString::fromUtf8("/a/ö.idx"); });
        QCOMPARE(picked.PickFile(request), std::string("/a/\xC3\xB6.idx"));
        QtFilePrompt cancelled([](const FileDialogSpec&) { return QString(); });
        QCOMPARE(cancelled.PickFile(request), std::string());
    }

    void progressLine() {
        QtUserInterface ui;
        ui.Progress("dropped without a label");
        auto* label = new QLabel;
        ui.SetProgressLabel(label);
        ui.Progress("Regel 12 van net1.fld \xE9\xE9n");
        ui.Yield();
        QCOMPARE(label->text(), QString::fromUtf8("Regel 12 van net1.fld één"));
        delete label;
        ui.Progress("label gone");  // must not touch the deleted label
    }
};

QTEST_MAIN(PlatformTest)
#include "PlatformTest.moc"
