// The export window over its model: first run, coupling, stored values, selection sets, the
// file prompts and the two start buttons.

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

#include "GuiHarness.h"
#include "gui/ExportWindow.h"
#include "gui/SplashWindow.h"
#include "gui/Widgets.h"

using talvik::Answer;
using talvik::gui::ExportWindow;
using talvik::gui::UpDownArrows;
using talvik::gui::test::Harness;

namespace {

const char* const kNone = "<none>";

std::string ExportLine(const Harness& h) {
    return "0 \"" + h.FolderBytes() + "/net1.prj\" \"" + h.FolderBytes() + "/net1.idx\"";
}

template <typename T = QLineEdit>
T* Find(Harness& h, const char* name) {
    T* widget = h.App().Export()->findChild<T*>(QString::fromLatin1(name));
    if (!widget) qWarning("no control %s", name);
    return widget;
}

// Replaces a box's text the way the user does: select everything, type.
void Type(Harness& h, const char* name, const QString& text) {
    QLineEdit* box = Find(h, name);
    box->selectAll();
    if (text.isEmpty())
        QTest::keyClick(box, Qt::Key_Delete);
    else
        QTest::keyClicks(box, text);
}

void Click(Harness& h, const char* name) {
    QTest::mouseClick(Find<QAbstractButton>(h, name), Qt::LeftButton);
}

void Arrow(Harness& h, bool up) {
    auto* arrows = Find<UpDownArrows>(h, "UpDown1");
    QTest::mouseClick(up ? arrows->UpButton() : arrows->DownButton(), Qt::LeftButton);
}

QString Text(Harness& h, const char* name) {
    return Find(h, name)->text();
}

std::string Stored(Harness& h, const char* key) {
    return h.Settings().Get(key, kNone);
}

}  // namespace

class ExportDialogTest : public QObject {
    Q_OBJECT

  private slots:
    void firstRunShowsDefaults() {
        Harness h;
        QVERIFY(h.Start(ExportLine(h)));
        QVERIFY(h.App().Export()->isVisible());
        QVERIFY(!h.App().Splash()->isVisible());
        struct Expect {
            const char* box;
            QString text;
            bool enabled;
        };
        const QString folder = h.Folder();
        const Expect rows[] = {
            {"txtProjectfile", folder + "/net1.prj", true},
            {"txtFieldfile", folder + "/net1.fld", true},
            {"txtAbsHor", "0.003", true},
            {"txtRelHor", "0.0003", true},
            {"txtAbsVer", "0.003", false},
            {"txtRelVer", "0.0003", false},
            {"txtAbsDis", "0.002", true},
            {"txtRelDis", "2", true},
            {"txtSDXY", "0.003", true},
            {"txtSDZ", "0.003", false},
            {"txtSigmaCent", "0.003", true},
            {"txtSigmaInst", "0.005", true},
            {"txtSelNr", "1", true},
            {"txtSelCode1", "999", true},
        };
        for (const Expect& row : rows) {
            QVERIFY2(Text(h, row.box) == row.text, row.box);
            QVERIFY2(Find(h, row.box)->isEnabled() == row.enabled, row.box);
        }
        for (int i = 2; i <= 16; ++i)
            QVERIFY(Text(h, qPrintable(QStringLiteral("txtSelCode%1").arg(i))).isEmpty());
        QVERIFY(Find<QCheckBox>(h, "chkHVD")->isChecked());
        QVERIFY(Find<QCheckBox>(h, "chkXYZ")->isChecked());
        QVERIFY(Find<QRadioButton>(h, "optV3")->isChecked());
        QVERIFY(Find<QRadioButton>(h, "optFace2Series")->isChecked());
        QVERIFY(Find<QLabel>(h, "lblProgress")->text().isEmpty());
        QCOMPARE(Stored(h, "TalvikCurrentSel"), kNone);  // opening stores nothing
    }

    void couplingFollowsTheCheckBoxes() {
        Harness h;
        QVERIFY(h.Start(ExportLine(h)));
        // step, action (box to type in, or check box to click), value, then expected
        // dependent box, its text and whether it is enabled
        struct Step {
            const char* target;
            QString value;  // empty: click the check box
            const char* dependent;
            QString text;
            bool enabled;
        };
        const Step steps[] = {
            {"txtAbsHor", "0.01", "txtAbsVer", "0.01", false},
            {"txtRelHor", "0.02", "txtRelVer", "0.02", false},
            {"chkHVD", "", "txtAbsVer", "0.01", true},
            {"txtAbsHor", "0.5", "txtAbsVer", "0.01", true},
            {"txtAbsVer", "0.7", "txtAbsVer", "0.7", true},
            {"chkHVD", "", "txtAbsVer", "0.5", false},
            {"txtAbsDis", "0.9", "txtRelDis", "2", true},  // distances are not coupled
            {"txtSDXY", "0.04", "txtSDZ", "0.04", false},
            {"chkXYZ", "", "txtSDZ", "0.04", true},
            {"txtSDZ", "0.05", "txtSDZ", "0.05", true},
            {"txtSDXY", "0.06", "txtSDZ", "0.05", true},
            {"chkXYZ", "", "txtSDZ", "0.06", false},
        };
        for (const Step& step : steps) {
            if (step.value.isEmpty())
                Click(h, step.target);
            else
                Type(h, step.target, step.value);
            const QString where = QStringLiteral("%1 -> %2").arg(step.target, step.value);
            QVERIFY2(Text(h, step.dependent) == step.text, qPrintable(where));
            QVERIFY2(Find(h, step.dependent)->isEnabled() == step.enabled, qPrintable(where));
        }
    }

    void closingAndReopeningKeepsEveryValue() {
        Harness h;
        QVERIFY(h.Start(ExportLine(h)));
        Click(h, "chkHVD");
        Click(h, "chkXYZ");
        Click(h, "optV1");
        Click(h, "optFace2to1");
        const std::pair<const char*, QString> edits[] = {
            {"txtAbsHor", "0.011"},    {"txtRelHor", "0.012"}, {"txtAbsVer", "0.013"},
            {"txtRelVer", "0.014"},    {"txtAbsDis", "0.015"}, {"txtRelDis", "3"},
            {"txtSDXY", "0.016"},      {"txtSDZ", "0.017"},    {"txtSigmaCent", "0.018"},
            {"txtSigmaInst", "0.019"}, {"txtSelCode1", "K1"},  {"txtSelCode2", ""},
            {"txtSelCode16", "Öst 2"},
        };
        Arrow(h, true);
        Arrow(h, true);  // set 3
        for (const auto& [box, value] : edits)
            Type(h, box, value);
        h.App().Export()->close();
        QVERIFY(h.finished);
        QCOMPARE(h.exitCode, 0);
        QCOMPARE(Stored(h, "TalvikSel3"), std::string("K1|||||||||||||||"
                                                      "\xD6st 2"));
        QCOMPARE(Stored(h, "TalvikStdDev"),
                 std::string("0.011|0.012|0.013|0.014|0.015|3|0.016|0.017|0|0|0.018|0.019"));

        QVERIFY(h.Start(ExportLine(h)));
        for (const auto& [box, value] : edits)
            QVERIFY2(Text(h, box) == value, box);
        QCOMPARE(Text(h, "txtSelNr"), QStringLiteral("3"));
        QVERIFY(!Find<QCheckBox>(h, "chkHVD")->isChecked());
        QVERIFY(!Find<QCheckBox>(h, "chkXYZ")->isChecked());
        QVERIFY(Find(h, "txtSDZ")->isEnabled());
        QVERIFY(Find<QRadioButton>(h, "optV1")->isChecked());
        QVERIFY(Find<QRadioButton>(h, "optFace2to1")->isChecked());
    }

    void arrowsStoreTheSetBeingLeft() {
        Harness h;
        h.Settings().Set("TalvikSel2", "B1|B2");
        QVERIFY(h.Start(ExportLine(h)));
        Type(h, "txtSelCode1", "A1");
        struct Press {
            bool up;
            QString number;
            QString code1;
            QString code2;
        };
        const Press presses[] = {
            {false, "1", "A1", ""},  // at the bottom: nothing moves
            {true, "2", "B1", "B2"},  {true, "3", "999", ""},
            {false, "2", "B1", "B2"}, {false, "1", "A1", ""},
        };
        for (const Press& press : presses) {
            Arrow(h, press.up);
            QCOMPARE(Text(h, "txtSelNr"), press.number);
            QCOMPARE(Text(h, "txtSelCode1"), press.code1);
            QCOMPARE(Text(h, "txtSelCode2"), press.code2);
        }
        QCOMPARE(Stored(h, "TalvikSel1"), std::string("A1|||||||||||||||"));
        QCOMPARE(Stored(h, "TalvikSel3"), std::string("999|||||||||||||||"));
        QCOMPARE(Stored(h, "TalvikSel0"), kNone);
        for (int i = 0; i < 10; ++i)
            Arrow(h, true);
        QCOMPARE(Text(h, "txtSelNr"), QStringLiteral("9"));
        QCOMPARE(Stored(h, "TalvikSel10"), kNone);
        QCOMPARE(Stored(h, "TalvikCurrentSel"), std::string("8"));
    }

    void startButtons_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("launches");
        QTest::newRow("export only") << "cmdExport" << false;
        QTest::newRow("export and start") << "cmdStart" << true;
    }

    void startButtons() {
        QFETCH(QString, button);
        QFETCH(bool, launches);
        Harness h;
        h.CopyExample(QStringLiteral("net1.fld"));
        h.CopyExample(QStringLiteral("net1.idx"));
        const std::string package = h.FolderBytes() + "/korvu";
        QFile program(QString::fromStdString(package));
        QVERIFY(program.open(QIODevice::WriteOnly));
        program.close();
        h.Settings().Set("Talvik3Path", package);
        QVERIFY(h.Start(ExportLine(h)));
        Type(h, "txtSelCode1", "K1");
        Type(h, "txtSelCode2", "K2");
        Click(h, qPrintable(button));

        QVERIFY(h.finished);
        QCOMPARE(h.exitCode, 0);
        QVERIFY(!h.App().Export()->isVisible());
        QVERIFY(!Find<QLabel>(h, "lblProgress")->text().isEmpty());
        for (const char* extension : {"PRJ", "OBS", "TCO"}) {
            QVERIFY2(QFile::exists(h.Folder() + "/net1." + extension), extension);
        }
        QCOMPARE(Stored(h, "TalvikSel1"), std::string("K1|K2||||||||||||||"));
        QCOMPARE(Stored(h, "TalvikStdDev"),
                 std::string("0.003|0.0003|0.003|0.0003|0.002|2|0.003|0.003|1|1|0.003|0.005"));
        QCOMPARE(Stored(h, "TalvikVersion"), std::string("1"));
        if (launches) {
            QCOMPARE(h.launcher.commandLines.size(), std::size_t(1));
            QCOMPARE(h.launcher.commandLines[0], package + " \"" + h.FolderBytes() + "/net1.prj\"");
        } else {
            QVERIFY(h.launcher.commandLines.empty());
        }
        QVERIFY(h.prompts.empty());
    }

    void emptyCommandLine_data() {
        QTest::addColumn<bool>("host");
        QTest::addColumn<QString>("pick");
        QTest::addColumn<bool>("opens");
        QTest::addColumn<QString>("message");
        QTest::newRow("no host") << false << "" << false << "Kavrin niet gevonden; afbreken";
        QTest::newRow("cancelled") << true << "" << false << "";
        QTest::newRow("picked") << true << "/survey/north 2.idx" << true << "";
    }

    void emptyCommandLine() {
        QFETCH(bool, host);
        QFETCH(QString, pick);
        QFETCH(bool, opens);
        QFETCH(QString, message);
        Harness h;
        if (host) h.InstallHost();
        if (!pick.isEmpty()) h.picks.push_back(pick);
        QVERIFY(h.Start(""));
        QCOMPARE(h.finished, !opens);
        if (message.isEmpty()) {
            QVERIFY(h.messages.empty());
        } else {
            QCOMPARE(h.messages.size(), std::size_t(1));
            QCOMPARE(h.messages[0].text, message);
            QCOMPARE(h.messages[0].title, QStringLiteral("Talvik"));
            QCOMPARE(h.messages[0].icon, QMessageBox::Critical);
        }
        if (host) {
            QCOMPARE(h.prompts.size(), std::size_t(1));
            QCOMPARE(h.prompts[0].title,
                     QStringLiteral("Opzoeken van Kavrin IDEX Files|*.idx| File"));
            QCOMPARE(h.prompts[0].initialName, QStringLiteral("*.idx"));
            QCOMPARE(h.prompts[0].folder, h.Folder());
            QCOMPARE(h.prompts[0].nameFilters,
                     QStringList({"Kavrin IDEX Files (*.idx)", "All Files (*.*)"}));
        }
        if (opens) {
            QCOMPARE(Text(h, "txtProjectfile"), QStringLiteral("/survey/north 2.prj"));
            QCOMPARE(Text(h, "txtFieldfile"), QStringLiteral("/survey/north 2.fld"));
            QCOMPARE(h.App().Export()->IdexFile(), std::string("/survey/north 2.idx"));
        } else {
            QCOMPARE(Stored(h, "TalvikCurrentSel"), kNone);
        }
    }

    void browseButtons_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("pick");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("title");
        QTest::newRow("field picked") << "cmdField"
                                      << "/f/Zuid é.fld"
                                      << "txtFieldfile"
                                      << "Opzoeken van Kavrin Field Files|*.fld| File";
        QTest::newRow("field cancelled") << "cmdField"
                                         << ""
                                         << "txtFieldfile"
                                         << "Opzoeken van Kavrin Field Files|*.fld| File";
        QTest::newRow("project picked") << "cmdProject"
                                        << "/f/p.prj"
                                        << "txtProjectfile"
                                        << "Opzoeken van KORVU Project Files|*.prj| File";
        QTest::newRow("project cancelled") << "cmdProject"
                                           << ""
                                           << "txtProjectfile"
                                           << "Opzoeken van KORVU Project Files|*.prj| File";
    }

    void browseButtons() {
        QFETCH(QString, button);
        QFETCH(QString, pick);
        QFETCH(QString, box);
        QFETCH(QString, title);
        Harness h;
        h.InstallHost();
        QVERIFY(h.Start(ExportLine(h)));
        const QString fieldBefore = Text(h, "txtFieldfile");
        const QString projectBefore = Text(h, "txtProjectfile");
        if (!pick.isEmpty()) h.picks.push_back(pick);
        Click(h, qPrintable(button));
        QVERIFY(!h.finished);
        QCOMPARE(h.prompts.size(), std::size_t(1));
        QCOMPARE(h.prompts[0].title, title);
        QCOMPARE(Text(h, qPrintable(box)), pick);  // a cancelled prompt empties the box
        const bool field = box == QLatin1String("txtFieldfile");
        QCOMPARE(Text(h, field ? "txtProjectfile" : "txtFieldfile"),
                 field ? projectBefore : fieldBefore);
        // The picked path reaches the run as the file system's bytes.
        h.App().Export()->close();
        const auto& model = h.App().Export()->Model();
        QCOMPARE(QString::fromStdString(field ? model.txtFieldfile : model.txtProjectfile), pick);
    }

    void browsingWithoutHostEndsWithoutStoring() {
        Harness h;
        QVERIFY(h.Start(ExportLine(h)));
        Click(h, "cmdField");
        QVERIFY(h.finished);
        QCOMPARE(h.messages.size(), std::size_t(1));
        QCOMPARE(h.messages[0].text, QStringLiteral("Kavrin niet gevonden; afbreken"));
        QVERIFY(!h.App().Export()->isVisible());
        QCOMPARE(Stored(h, "TalvikStdDev"), kNone);
    }

    void splashShowsUntilTheDialogOpens() {
        Harness h;
        QVERIFY(h.Start(ExportLine(h), false));
        QVERIFY(h.App().Splash()->isVisible());
        QVERIFY(!h.App().Export()->isVisible());
        h.WaitForDialog();
        QVERIFY(!h.App().Splash()->isVisible());
        QVERIFY(h.App().Export()->isVisible());
    }
};

QTEST_MAIN(ExportDialogTest)
#include "ExportDialogTest.moc"
