// The export window over its model: the first run, the bindings of boxes, buttons and arrows,
// the file prompts and the two start buttons.

#include <QLabel>
#include <fstream>

#include "GuiHarness.h"
#include "gui/SplashWindow.h"

using talvik::gui::test::Harness;

namespace {

// The start-up line of an export over copies of the example network.
std::string ExportLine(const Harness& h) {
    for (const char* name : {"net1.fld", "net1.idx"})
        h.CopyExample(name);
    return "0 \"" + h.FolderBytes() + "/net1.prj\" \"" + h.FolderBytes() + "/net1.idx\"";
}

}  // namespace

class ExportDialogTest : public QObject {
    Q_OBJECT

  private slots:
    // The splash shows until the dialog opens; with no store every box shows its default and
    // the coupled boxes are disabled, showing their sources. Typing into a source updates its
    // coupled box and the check boxes free the coupled ones; the arrows (and the keys in the
    // number box) store the set being left and show the next. Closing stores every value and
    // the next start shows it again.
    void firstRunEditsArrowsAndReopening() {
        Harness h;
        h.settings.Set("TalvikSel2", "B1|B2");
        QVERIFY(h.Start(ExportLine(h), false));
        QVERIFY(h.app->Splash()->isVisible() && !h.app->Export()->isVisible());
        QVERIFY(h.WaitForDialog());
        QVERIFY(!h.app->Splash()->isVisible());
        const QString folder = h.Folder();
        // Each box: its text on the first run, whether it is enabled then, a text typed later.
        // clang-format off
        const struct { const char* box; QString first; bool enabled; QString typed; } rows[] = {
            {"txtProjectfile", folder + "/net1.prj", true, {}},
            {"txtFieldfile", folder + "/net1.fld", true, {}},
            {"txtAbsHor", "0.003", true, "0.011"},  {"txtRelHor", "0.0003", true, "0.012"},
            {"txtAbsVer", "0.003", false, "0.013"}, {"txtRelVer", "0.0003", false, "0.014"},
            {"txtAbsDis", "0.002", true, "0.015"},  {"txtRelDis", "2", true, "3"},
            {"txtSDXY", "0.003", true, "0.016"},    {"txtSDZ", "0.003", false, "0.017"},
            {"txtSigmaCent", "0.003", true, "0.018"}, {"txtSigmaInst", "0.005", true, "0.019"},
            {"txtSelNr", "1", true, {}}, {"txtSelCode1", "999", true, "K1"},
            {"txtSelCode16", "", true, "Öst 2"},
        };
        // clang-format on
        for (const auto& row : rows) {
            QCOMPARE(h.Text(row.box), row.first);
            QVERIFY2(h.Find(row.box)->isEnabled() == row.enabled, row.box);
        }
        const char* const choices[] = {"chkHVD", "chkXYZ", "optV3", "optFace2Series"};
        for (const char* on : choices)
            QVERIFY2(h.Find<QAbstractButton>(on)->isChecked(), on);

        h.Type("txtAbsHor", "0.1");
        h.Type("txtRelHor", "0.2");
        h.Type("txtSDXY", "0.3");
        QCOMPARE(h.Text("txtAbsVer") + h.Text("txtRelVer") + h.Text("txtSDZ"), "0.10.20.3");
        for (const char* button : {"chkHVD", "chkXYZ", "optV1", "optFace2to1"})
            h.Click(button);
        for (const char* freed : {"txtAbsVer", "txtRelVer", "txtSDZ"})
            QVERIFY2(h.Find(freed)->isEnabled(), freed);
        h.Type("txtSelCode1", "A1");
        const auto step = [&h](bool up) {
            h.Arrow(up);
            return h.Text("txtSelNr") + ' ' + h.Text("txtSelCode1") + ' ' + h.Text("txtSelCode2");
        };
        QCOMPARE(step(false), "1 A1 ");  // at the bottom nothing moves
        QCOMPARE(step(true), "2 B1 B2");
        QTest::keyClick(h.Find("txtSelNr"), Qt::Key_PageDown);  // keys press the arrows too
        QTest::keyClick(h.Find("txtSelNr"), Qt::Key_Up);
        QCOMPARE(step(true), "3 999 ");
        for (const auto& row : rows) {
            if (!row.typed.isNull()) h.Type(row.box, row.typed);
        }
        h.app->Export()->close();
        QVERIFY(h.finished);
        QCOMPARE(h.Stored("TalvikSel3"), "K1|||||||||||||||\xD6st 2");

        QVERIFY(h.Start(ExportLine(h)));
        for (const auto& row : rows) {
            if (!row.typed.isNull()) QVERIFY2(h.Text(row.box) == row.typed, row.box);
        }
        for (const char* off : choices)
            QVERIFY2(!h.Find<QAbstractButton>(off)->isChecked(), off);
        QCOMPARE(step(false), "2 B1 B2");
        QCOMPARE(step(false), "1 A1 ");
    }

    // Without paths on the command line the IDEX file is asked for (cancelling ends the job);
    // a browse button shows the pick in its box, or empties it when cancelled.
    void filePrompts() {
        Harness h;
        h.InstallHost();
        QVERIFY(h.Start(""));
        QVERIFY(h.finished);
        QCOMPARE(h.prompts.size(), std::size_t{1});
        QCOMPARE(h.prompts[0].folder, h.Folder());
        h.pick = "/survey/north 2.idx";
        QVERIFY(h.Start(""));
        QCOMPARE(h.Text("txtProjectfile"), "/survey/north 2.prj");
        QCOMPARE(h.Text("txtFieldfile"), "/survey/north 2.fld");
        h.pick = "/f/Zuid é.fld";
        h.Click("cmdField");
        QCOMPARE(h.Text("txtFieldfile"), h.pick);
        h.pick.clear();
        h.Click("cmdProject");
        QCOMPARE(h.Text("txtProjectfile"), "");
        QCOMPARE(h.prompts.size(), std::size_t{4});
        QVERIFY(!h.finished);
    }

    // Both store the dialog, export the example and end; only Start launches the package.
    void startButtons() {
        for (const char* button : {"cmdExport", "cmdStart"}) {
            Harness h;
            const std::string package = h.FolderBytes() + "/korvu";
            QVERIFY(QFile(QString::fromStdString(package)).open(QIODevice::WriteOnly));
            h.settings.Set("Talvik3Path", package);
            QVERIFY(h.Start(ExportLine(h)));
            h.Type("txtSelCode2", "K1");
            h.Click(button);

            QVERIFY(h.finished);
            QCOMPARE(h.exitCode, 0);
            QVERIFY(!h.app->Export()->isVisible());
            QVERIFY(!h.Find<QLabel>("lblProgress")->text().isEmpty());
            for (const char* extension : {"PRJ", "OBS", "TCO"})
                QVERIFY2(QFile::exists(h.Folder() + "/net1." + extension), extension);
            QCOMPARE(h.Stored("TalvikSel1") + h.Stored("TalvikVersion"), "999|K1||||||||||||||1");
            std::vector<std::string> launched{package + " \"" + h.FolderBytes() + "/net1.prj\""};
            if (button == std::string_view("cmdExport")) launched.clear();
            QCOMPARE(h.launcher.commandLines, launched);
            QVERIFY(h.prompts.empty());
            QVERIFY(h.messages.empty());
        }
    }
    // Closing is never refused: a close request during the run is taken, and the run still
    // writes the whole project before the process ends.
    void closeDuringTheRun() {
        Harness h;
        std::ofstream(h.FolderBytes() + "/net1.PRJ", std::ios::binary) << "old\r\n";
        QVERIFY(h.Start(ExportLine(h)));
        h.Type("txtSelCode1", "K");
        h.duringMessage = [&h] { h.app->Export()->close(); };  // at the overwrite question
        h.Click("cmdExport");

        QVERIFY(h.finished);
        QCOMPARE(h.exitCode, 0);
        QVERIFY(!h.app->Export()->isVisible());
        QCOMPARE(h.messages.size(), std::size_t{1});
        QCOMPARE(h.messages[0].buttons, QMessageBox::Ok | QMessageBox::Cancel);  // may be kept
        QVERIFY(QFile(h.Folder() + "/net1.PRJ").size() > 100);
        QVERIFY(QFile::exists(h.Folder() + "/net1.TCO"));
        QCOMPARE(h.Stored("TalvikSel1"), std::string("K|||||||||||||||"));
    }
};

QTEST_MAIN(ExportDialogTest)
#include "ExportDialogTest.moc"
