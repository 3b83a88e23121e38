// The export window over its model: the first run, the bindings of boxes, buttons and arrows,
// the file prompts, the two start buttons and closing during a run (support/DialogScenarios.h).

#include "GuiHarness.h"

using talvik::gui::test::Harness;
namespace scenarios = talvik::testing;

class ExportDialogTest : public QObject {
    Q_OBJECT

  private slots:
    void firstRunEditsArrowsAndReopening() {
        Harness h;
        h.CopyExamples({"net1.fld", "net1.idx"});
        PASSES(scenarios::FirstRunEditsArrowsAndReopening(h, {}));
    }

    void filePrompts() {
        Harness h;
        PASSES(scenarios::FilePrompts(h, "\xC3\xA9"));
        QCOMPARE(h.prompts[0].folder.toStdString(), h.Folder());
    }

    void startButtons() {
        PASSES(scenarios::StartButtons<Harness>([](Harness& h, const char* b) { h.Click(b); }));
    }

    void closeDuringTheRun() {
        Harness h;
        PASSES(scenarios::CloseDuringTheRun(h));
        QCOMPARE(h.messages[0].buttons, QMessageBox::Ok | QMessageBox::Cancel);
    }
};

QTEST_MAIN(ExportDialogTest)
#include "ExportDialogTest.moc"
