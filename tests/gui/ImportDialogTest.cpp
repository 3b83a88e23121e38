// The import window over its model: refusals, the written IDEX file, the set arrows, the
// coordinate-file prompt and closing.

#include <QLabel>
#include <QProgressBar>

#include "GuiHarness.h"

using talvik::gui::test::Harness;

namespace {

const QString kNoLayer = "Talvik: Helaas, gaat niet. Kavrin Laagnaam ontbreekt";
const QString kNoCode = "Talvik: Helaas, gaat niet. Kavrin Grondslagcode ontbreekt";

std::string ImportLine(const Harness& h) {
    return "1 \"" + h.FolderBytes() + "/net1.cor\" \"" + h.FolderBytes() + "/out.idx\"";
}

}  // namespace

class ImportDialogTest : public QObject {
    Q_OBJECT

  private slots:
    // Refused input keeps the dialog open and writes nothing; then the IDEX file is written
    // and the job ends.
    void startRefusesThenWrites() {
        Harness h;
        h.CopyExample("net1.cor");
        QVERIFY(h.Start(ImportLine(h)));
        QCOMPARE(h.Text("txtCoordfile"), h.Folder() + "/net1.cor");
        const struct {
            QString layer, code;
            QStringList messages;  // title: text
        } cases[] = {
            {"", "", {kNoLayer, kNoCode}},
            {"  ", "GR", {kNoLayer}},
            {"PUNTEN", "", {kNoCode}},
            {" GRONDSLAG ", "GR", {}},
        };
        for (const auto& [layer, code, messages] : cases) {
            h.messages.clear();
            h.Type("txtKVLayer", layer);
            h.Type("txtKVCode", code);
            h.Click("cmdStart");
            QStringList shown;
            for (const auto& message : h.messages)
                shown << message.title + ": " + message.text;
            QCOMPARE(shown, messages);
            QCOMPARE(h.finished, messages.isEmpty());
            QCOMPARE(QFile::exists(h.Folder() + "/out.idx"), messages.isEmpty());
        }
        QVERIFY(!h.app->Import()->isVisible());
        // The progress line ends on the points written, the bar full.
        QCOMPARE(h.Find<QLabel>("lblProgress")->text(), "Inlezen KORVU Coördinaten: 6");
        const auto* bar = h.Find<QProgressBar>("prbProgress");
        QVERIFY(bar->isVisibleTo(h.Window()) && bar->value() == bar->maximum());
        QFile idex(h.Folder() + "/out.idx");
        QVERIFY(idex.open(QIODevice::ReadOnly));
        const QByteArray text = idex.readAll();
        QVERIFY(text.contains("\" GRONDSLAG \"") && text.contains("155171.0042"));
        QCOMPARE(h.Stored("TalvikImport1"), " GRONDSLAG |GR");
    }

    // The set number is shared with the export dialog; the arrows (or the Up/Down keys in the
    // read-only number box) store the set being left, the browse button puts the pick in the
    // box and the model, closing stores the set.
    void setsPromptAndClosing() {
        Harness h;
        h.settings.Set("TalvikCurrentSel", "4");
        h.settings.Set("TalvikImport4", "PUNTEN | GR");
        h.settings.Set("TalvikImport5", "TOPO|K");
        h.InstallHost();
        QVERIFY(h.Start(ImportLine(h)));
        QCOMPARE(h.Text("txtSelNr") + h.Text("txtKVLayer") + h.Text("txtKVCode"), "4PUNTEN GR");
        QVERIFY(h.Find("txtSelNr")->isReadOnly());
        QVERIFY(h.Find("txtSelNr")->focusPolicy() & Qt::TabFocus);
        QTest::keyClicks(h.Find("txtSelNr"), "7");
        QTest::keyClick(h.Find("txtSelNr"), Qt::Key_Up);
        QCOMPARE(h.Text("txtSelNr") + h.Text("txtKVLayer") + h.Text("txtKVCode"), "5TOPOK");
        QCOMPARE(h.Stored("TalvikImport4"), "PUNTEN| GR");
        h.pick = "/k/Oost ö.cor";
        h.Click("cmdCoord");
        QCOMPARE(h.Text("txtCoordfile"), h.pick);
        QCOMPARE(h.app->Import()->Model().CoordFile(), h.pick.toStdString());
        h.Type("txtKVCode", "K9");
        h.app->Import()->close();
        QVERIFY(h.finished);
        QCOMPARE(h.Stored("TalvikImport5") + h.Stored("TalvikCurrentSel"), "TOPO|K95");
    }
};

QTEST_MAIN(ImportDialogTest)
#include "ImportDialogTest.moc"
