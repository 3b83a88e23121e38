// The import window over its model: the sets, refusals, the written IDEX file and closing
// (support/DialogScenarios.h), and what the Qt window adds: the number box's keys, the
// coordinate-file prompt and the progress bar.

#include <QProgressBar>

#include "GuiHarness.h"

using talvik::gui::test::Harness;
namespace scenarios = talvik::testing;

class ImportDialogTest : public QObject {
    Q_OBJECT

  private slots:
    void setsRefusalImportAndClosing() {
        Harness h;
        PASSES(scenarios::ImportSetsRefusalImportAndClosing(h, {}));
    }

    // The set number is read-only but takes the focus, and its Up/Down keys press the arrows;
    // the browse button puts the pick in the box and the model. After the import the progress
    // line ends on the points written, the bar full.
    void numberKeysPromptAndProgress() {
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
        QCOMPARE(h.app->Import()->Model().CoordFile(), h.pick);
        h.Click("cmdStart");
        QVERIFY(h.finished);
        QCOMPARE(h.Text("lblProgress"), "Inlezen KORVU Co\xF6rdinaten: 6");
        const auto* bar = h.Find<QProgressBar>("prbProgress");
        QVERIFY(bar->isVisibleTo(h.Window()) && bar->value() == bar->maximum());
    }
};

QTEST_MAIN(ImportDialogTest)
#include "ImportDialogTest.moc"
