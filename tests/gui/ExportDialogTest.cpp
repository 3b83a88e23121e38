// The export window over its model: first run, coupling, stored values, selection sets, the
// file prompts and the two start buttons.

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QRadioButton>
#include <QTest>

#include "GuiHarness.h"
#include "gui/ExportWindow.h"
#include "gui/SplashWindow.h"

using talvik::gui::test::Harness;

namespace {

std::string ExportLine(const Harness& h) {
    return "0 \"" + h.FolderBytes() + "/net1.prj\" \"" + h.FolderBytes() + "/net1.idx\"";
}

bool Checked(const Harness& h, const char* name) {
    return h.Find<QAbstractButton>(name)->isChecked();
}

}  // namespace

class ExportDialogTest : public QObject {
    Q_OBJECT

  private slots:
    void firstRunShowsDefaultsAfterTheSplash() {
        Harness h;
        QVERIFY(h.Start(ExportLine(h), false));
        QVERIFY(h.App().Splash()->isVisible() && !h.App().Export()->isVisible());
        h.WaitForDialog();
        QVERIFY(!h.App().Splash()->isVisible() && h.App().Export()->isVisible());
        const QString folder = h.Folder();
        // clang-format off
        const struct { const char* box; QString text; bool enabled; } rows[] = {
            {"txtProjectfile", folder + "/net1.prj", true}, {"txtFieldfile", folder + "/net1.fld", true},
            {"txtAbsHor", "0.003", true},  {"txtRelHor", "0.0003", true},
            {"txtAbsVer", "0.003", false}, {"txtRelVer", "0.0003", false},
            {"txtAbsDis", "0.002", true},  {"txtRelDis", "2", true},
            {"txtSDXY", "0.003", true},    {"txtSDZ", "0.003", false},
            {"txtSigmaCent", "0.003", true}, {"txtSigmaInst", "0.005", true},
            {"txtSelNr", "1", true},       {"txtSelCode1", "999", true}, {"txtSelCode16", "", true},
        };
        // clang-format on
        for (const auto& row : rows) {
            QVERIFY2(h.Text(row.box) == row.text && h.Find(row.box)->isEnabled() == row.enabled,
                     row.box);
        }
        for (int i = 2; i <= 16; ++i)
            QVERIFY(h.Text(qPrintable(QStringLiteral("txtSelCode%1").arg(i))).isEmpty());
        for (const char* on : {"chkHVD", "chkXYZ", "optV3", "optFace2Series"})
            QVERIFY2(Checked(h, on), on);
        QCOMPARE(h.Stored("TalvikCurrentSel"), "<none>");  // opening stores nothing
    }

    void couplingFollowsTheCheckBoxes() {
        Harness h;
        QVERIFY(h.Start(ExportLine(h)));
        // Type value into target (or click it when value is empty); then the dependent box.
        // clang-format off
        const struct { const char* target; QString value; const char* dependent; QString text; bool enabled; } steps[] = {
            {"txtAbsHor", "0.01", "txtAbsVer", "0.01", false},
            {"txtRelHor", "0.02", "txtRelVer", "0.02", false},
            {"chkHVD", "", "txtAbsVer", "0.01", true},
            {"txtAbsHor", "0.5", "txtAbsVer", "0.01", true},
            {"chkHVD", "", "txtAbsVer", "0.5", false},
            {"txtAbsDis", "0.9", "txtRelDis", "2", true},  // distances are not coupled
            {"txtSDXY", "0.04", "txtSDZ", "0.04", false},
            {"chkXYZ", "", "txtSDZ", "0.04", true},
            {"txtSDXY", "0.06", "txtSDZ", "0.04", true},
            {"chkXYZ", "", "txtSDZ", "0.06", false},
        };
        // clang-format on
        for (const auto& step : steps) {
            if (step.value.isEmpty())
                h.Click(step.target);
            else
                h.Type(step.target, step.value);
            QVERIFY2(h.Text(step.dependent) == step.text &&
                         h.Find(step.dependent)->isEnabled() == step.enabled,
                     qPrintable(QStringLiteral("%1 %2").arg(step.target, step.value)));
        }
    }

    void closingAndReopeningKeepsEveryValue() {
        Harness h;
        QVERIFY(h.Start(ExportLine(h)));
        for (const char* button : {"chkHVD", "chkXYZ", "optV1", "optFace2to1"})
            h.Click(button);
        h.Arrow(true);
        h.Arrow(true);  // set 3
        // clang-format off
        const std::pair<const char*, QString> edits[] = {
            {"txtAbsHor", "0.011"}, {"txtRelHor", "0.012"}, {"txtAbsVer", "0.013"},
            {"txtRelVer", "0.014"}, {"txtAbsDis", "0.015"}, {"txtRelDis", "3"},
            {"txtSDXY", "0.016"},   {"txtSDZ", "0.017"},    {"txtSigmaCent", "0.018"},
            {"txtSigmaInst", "0.019"}, {"txtSelCode1", "K1"}, {"txtSelCode16", "Öst 2"},
        };
        // clang-format on
        for (const auto& [box, value] : edits)
            h.Type(box, value);
        h.App().Export()->close();
        QVERIFY(h.finished);
        QCOMPARE(h.Stored("TalvikSel3"),
                 "K1|||||||||||||||"
                 "\xD6st 2");
        QCOMPARE(h.Stored("TalvikStdDev"),
                 "0.011|0.012|0.013|0.014|0.015|3|0.016|0.017|0|0|0.018|0.019");

        QVERIFY(h.Start(ExportLine(h)));
        for (const auto& [box, value] : edits)
            QVERIFY2(h.Text(box) == value, box);
        QCOMPARE(h.Text("txtSelNr"), QStringLiteral("3"));
        for (const char* off : {"chkHVD", "chkXYZ", "optV3", "optFace2Series"})
            QVERIFY2(!Checked(h, off), off);
    }

    void arrowsStoreTheSetBeingLeft() {
        Harness h;
        h.Settings().Set("TalvikSel2", "B1|B2");
        QVERIFY(h.Start(ExportLine(h)));
        h.Type("txtSelCode1", "A1");
        // clang-format off
        const struct { bool up; QString number, code1, code2; } presses[] = {
            {false, "1", "A1", ""},  // at the bottom nothing moves
            {true, "2", "B1", "B2"}, {true, "3", "999", ""}, {false, "2", "B1", "B2"},
            {false, "1", "A1", ""},
        };
        // clang-format on
        for (const auto& press : presses) {
            h.Arrow(press.up);
            QCOMPARE(h.Text("txtSelNr"), press.number);
            QCOMPARE(h.Text("txtSelCode1"), press.code1);
            QCOMPARE(h.Text("txtSelCode2"), press.code2);
        }
        QCOMPARE(h.Stored("TalvikSel1"), "A1|||||||||||||||");
        QCOMPARE(h.Stored("TalvikSel3"), "999|||||||||||||||");
        QCOMPARE(h.Stored("TalvikSel0"), "<none>");
        for (int i = 0; i < 10; ++i)
            h.Arrow(true);
        QCOMPARE(h.Text("txtSelNr"), QStringLiteral("9"));
        QCOMPARE(h.Stored("TalvikSel10"), "<none>");
        QCOMPARE(h.Stored("TalvikCurrentSel"), "8");
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
        h.Settings().Set("Talvik3Path", package);
        QVERIFY(h.Start(ExportLine(h)));
        h.Type("txtSelCode2", "K1");
        h.Click(qPrintable(button));

        QVERIFY(h.finished && !h.App().Export()->isVisible());
        QCOMPARE(h.exitCode, 0);
        QVERIFY(!h.Find<QLabel>("lblProgress")->text().isEmpty());
        for (const char* extension : {"PRJ", "OBS", "TCO"})
            QVERIFY2(QFile::exists(h.Folder() + "/net1." + extension), extension);
        QCOMPARE(h.Stored("TalvikSel1"), "999|K1||||||||||||||");
        QCOMPARE(h.Stored("TalvikVersion"), "1");
        const std::vector<std::string> launched{package + " \"" + h.FolderBytes() + "/net1.prj\""};
        QCOMPARE(h.launcher.commandLines, launches ? launched : std::vector<std::string>{});
        QVERIFY(h.prompts.empty());
    }

    void emptyCommandLine_data() {
        QTest::addColumn<bool>("host");
        QTest::addColumn<QString>("pick");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("no host") << false << "" << QStringList{"Kavrin niet gevonden; afbreken"};
        QTest::newRow("cancelled") << true << "" << QStringList{};
        QTest::newRow("picked") << true << "/survey/north 2.idx" << QStringList{};
    }

    void emptyCommandLine() {
        QFETCH(bool, host);
        QFETCH(QString, pick);
        QFETCH(QStringList, messages);
        Harness h;
        if (host) h.InstallHost();
        h.picks.push_back(pick);
        QVERIFY(h.Start(""));
        QStringList shown;
        for (const auto& message : h.messages)
            shown << message.text;
        QCOMPARE(shown, messages);
        QCOMPARE(h.prompts.size(), std::size_t(host ? 1 : 0));
        if (host) {
            QCOMPARE(h.prompts[0].title,
                     QStringLiteral("Opzoeken van Kavrin IDEX Files|*.idx| File"));
            QCOMPARE(h.prompts[0].initialName, QStringLiteral("*.idx"));
            QCOMPARE(h.prompts[0].folder, h.Folder());
        }
        QCOMPARE(h.finished, pick.isEmpty());
        if (pick.isEmpty()) {
            QCOMPARE(h.Stored("TalvikCurrentSel"), "<none>");
        } else {
            QCOMPARE(h.Text("txtProjectfile"), QStringLiteral("/survey/north 2.prj"));
            QCOMPARE(h.Text("txtFieldfile"), QStringLiteral("/survey/north 2.fld"));
        }
    }

    void browseButtons_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("pick");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("other");
        QTest::addColumn<QString>("title");
        QTest::newRow("field picked") << "cmdField"
                                      << "/f/Zuid é.fld"
                                      << "txtFieldfile"
                                      << "txtProjectfile"
                                      << "Kavrin Field Files|*.fld|";
        QTest::newRow("project cancelled") << "cmdProject"
                                           << ""
                                           << "txtProjectfile"
                                           << "txtFieldfile"
                                           << "KORVU Project Files|*.prj|";
    }

    void browseButtons() {
        QFETCH(QString, button);
        QFETCH(QString, pick);
        QFETCH(QString, box);
        QFETCH(QString, other);
        QFETCH(QString, title);
        Harness h;
        h.InstallHost();
        QVERIFY(h.Start(ExportLine(h)));
        const QString otherBefore = h.Text(qPrintable(other));
        h.picks.push_back(pick);
        h.Click(qPrintable(button));
        QVERIFY(!h.finished);
        QCOMPARE(h.prompts.size(), std::size_t(1));
        QCOMPARE(h.prompts[0].title, "Opzoeken van " + title + " File");
        QCOMPARE(h.Text(qPrintable(box)), pick);  // a cancelled prompt empties the box
        QCOMPARE(h.Text(qPrintable(other)), otherBefore);
    }
};

QTEST_MAIN(ExportDialogTest)
#include "ExportDialogTest.moc"
