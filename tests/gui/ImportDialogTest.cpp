// The import window over its model: refusals, the written IDEX file, the shared set number,
// the arrows and the coordinate-file prompt.

#include <QFile>
#include <QTest>

#include "GuiHarness.h"
#include "gui/ImportWindow.h"

using talvik::gui::test::Harness;

namespace {

const QString kNoLayer = QStringLiteral("Helaas, gaat niet. Kavrin Laagnaam ontbreekt");
const QString kNoCode = QStringLiteral("Helaas, gaat niet. Kavrin Grondslagcode ontbreekt");

std::string ImportLine(const Harness& h) {
    return "1 \"" + h.FolderBytes() + "/net1.cor\" \"" + h.FolderBytes() + "/out.idx\"";
}

}  // namespace

class ImportDialogTest : public QObject {
    Q_OBJECT

  private slots:
    void start_data() {
        QTest::addColumn<QString>("layer");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("both empty") << ""
                                    << "" << QStringList{kNoLayer, kNoCode};
        QTest::newRow("blank layer") << "  "
                                     << "GR" << QStringList{kNoLayer};
        QTest::newRow("empty code") << "PUNTEN"
                                    << "" << QStringList{kNoCode};
        QTest::newRow("written") << " GRONDSLAG "
                                 << "GR" << QStringList{};
    }

    // Refused input keeps the dialog open and writes nothing; otherwise the IDEX file is
    // written and the job ends without storing the set number.
    void start() {
        QFETCH(QString, layer);
        QFETCH(QString, code);
        QFETCH(QStringList, messages);
        Harness h;
        h.CopyExample(QStringLiteral("net1.cor"));
        QVERIFY(h.Start(ImportLine(h)));
        QCOMPARE(h.Text("txtCoordfile"), h.Folder() + "/net1.cor");
        h.Type("txtKVLayer", layer);
        h.Type("txtKVCode", code);
        h.Click("cmdStart");
        QStringList shown;
        for (const auto& message : h.messages) {
            QCOMPARE(message.title, QStringLiteral("Talvik"));
            shown << message.text;
        }
        QCOMPARE(shown, messages);
        const bool written = messages.isEmpty();
        QCOMPARE(h.finished, written);
        QCOMPARE(h.App().Import()->isVisible(), !written);
        QCOMPARE(QFile::exists(h.Folder() + "/out.idx"), written);
        if (written) {
            QFile idex(h.Folder() + "/out.idx");
            QVERIFY(idex.open(QIODevice::ReadOnly));
            const QByteArray text = idex.readAll();
            QVERIFY(text.contains("\" GRONDSLAG \"") && text.contains("155171.0042"));
            QCOMPARE(h.Stored("TalvikImport1"), " GRONDSLAG |GR");
            QCOMPARE(h.Stored("TalvikCurrentSel"), "<none>");
        }
    }

    // The set number is shared with the export dialog; the arrows store the set being left
    // and closing stores the set and its number.
    void setsAndClosing() {
        Harness h;
        h.Settings().Set("TalvikCurrentSel", "4");
        h.Settings().Set("TalvikImport4", "PUNTEN | GR");
        h.Settings().Set("TalvikImport5", "TOPO|K");
        QVERIFY(h.Start(ImportLine(h)));
        QCOMPARE(h.Text("txtSelNr"), QStringLiteral("4"));
        QCOMPARE(h.Text("txtKVLayer"), QStringLiteral("PUNTEN"));
        QCOMPARE(h.Text("txtKVCode"), QStringLiteral(" GR"));
        h.Arrow(true);
        QCOMPARE(h.Text("txtSelNr"), QStringLiteral("5"));
        QCOMPARE(h.Text("txtKVLayer"), QStringLiteral("TOPO"));
        QCOMPARE(h.Stored("TalvikImport4"), "PUNTEN| GR");
        h.Type("txtKVCode", "K9");
        h.App().Import()->close();
        QVERIFY(h.finished);
        QCOMPARE(h.Stored("TalvikImport5"), "TOPO|K9");
        QCOMPARE(h.Stored("TalvikCurrentSel"), "5");
    }

    void browse_data() {
        QTest::addColumn<QString>("pick");
        QTest::newRow("picked") << "/k/Oost ö.cor";
        QTest::newRow("cancelled") << "";
    }

    void browse() {
        QFETCH(QString, pick);
        Harness h;
        h.InstallHost();
        QVERIFY(h.Start(ImportLine(h)));
        h.picks.push_back(pick);
        h.Click("cmdCoord");
        QCOMPARE(h.prompts.size(), std::size_t(1));
        QCOMPARE(h.prompts[0].title,
                 QStringLiteral("Opzoeken van KORVU Coördinaten Files|*.cor| File"));
        QCOMPARE(h.prompts[0].nameFilters,
                 QStringList({"KORVU Coördinaten Files (*.cor)", "All Files (*.*)"}));
        QCOMPARE(h.Text("txtCoordfile"), pick);
        // The path reaches the run as the file system's bytes.
        QCOMPARE(h.App().Import()->Model().CoordFile(), pick.toStdString());
    }
};

QTEST_MAIN(ImportDialogTest)
#include "ImportDialogTest.moc"
