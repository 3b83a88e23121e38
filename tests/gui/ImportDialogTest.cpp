// The import window over its model: refusals, the written IDEX file, the shared set number,
// the arrows and the coordinate-file prompt.

#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include "GuiHarness.h"
#include "gui/ImportWindow.h"
#include "gui/Widgets.h"

using talvik::gui::UpDownArrows;
using talvik::gui::test::Harness;

namespace {

const char* const kNone = "<none>";
const QString kNoLayer = QStringLiteral("Helaas, gaat niet. Kavrin Laagnaam ontbreekt");
const QString kNoCode = QStringLiteral("Helaas, gaat niet. Kavrin Grondslagcode ontbreekt");

std::string ImportLine(const Harness& h) {
    return "1 \"" + h.FolderBytes() + "/net1.cor\" \"" + h.FolderBytes() + "/out.idx\"";
}

template <typename T = QLineEdit>
T* Find(Harness& h, const char* name) {
    return h.App().Import()->findChild<T*>(QString::fromLatin1(name));
}

void Type(Harness& h, const char* name, const QString& text) {
    QLineEdit* box = Find(h, name);
    box->selectAll();
    if (text.isEmpty())
        QTest::keyClick(box, Qt::Key_Delete);
    else
        QTest::keyClicks(box, text);
}

void Click(Harness& h, const char* name) {
    QTest::mouseClick(Find<QPushButton>(h, name), Qt::LeftButton);
}

QString Text(Harness& h, const char* name) {
    return Find(h, name)->text();
}

std::string Stored(Harness& h, const char* key) {
    return h.Settings().Get(key, kNone);
}

}  // namespace

class ImportDialogTest : public QObject {
    Q_OBJECT

  private slots:
    void refusesEmptyLayerOrCode_data() {
        QTest::addColumn<QString>("layer");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("both empty") << ""
                                    << "" << QStringList{kNoLayer, kNoCode};
        QTest::newRow("blank layer") << "  "
                                     << "GR" << QStringList{kNoLayer};
        QTest::newRow("empty code") << "PUNTEN"
                                    << "" << QStringList{kNoCode};
    }

    void refusesEmptyLayerOrCode() {
        QFETCH(QString, layer);
        QFETCH(QString, code);
        QFETCH(QStringList, expected);
        Harness h;
        h.CopyExample(QStringLiteral("net1.cor"));
        QVERIFY(h.Start(ImportLine(h)));
        Type(h, "txtKVLayer", layer);
        Type(h, "txtKVCode", code);
        Click(h, "cmdStart");
        QStringList shown;
        for (const auto& message : h.messages) {
            QCOMPARE(message.title, QStringLiteral("Talvik"));
            shown << message.text;
        }
        QCOMPARE(shown, expected);
        QVERIFY(!h.finished);
        QVERIFY(h.App().Import()->isVisible());
        QVERIFY(Find<QPushButton>(h, "cmdStart")->isEnabled());
        QVERIFY(!QFile::exists(h.Folder() + "/out.idx"));
    }

    void startWritesTheIdexFileAndEnds() {
        Harness h;
        h.CopyExample(QStringLiteral("net1.cor"));
        QVERIFY(h.Start(ImportLine(h)));
        QCOMPARE(Text(h, "txtCoordfile"), h.Folder() + "/net1.cor");
        QCOMPARE(Text(h, "txtSelNr"), QStringLiteral("1"));
        Type(h, "txtKVLayer", " GRONDSLAG ");
        Type(h, "txtKVCode", "GR");
        Click(h, "cmdStart");
        QVERIFY(h.finished);
        QCOMPARE(h.exitCode, 0);
        QVERIFY(h.messages.empty());
        QFile idex(h.Folder() + "/out.idx");
        QVERIFY(idex.open(QIODevice::ReadOnly));
        const QByteArray written = idex.readAll();
        QVERIFY(written.contains("\" GRONDSLAG \""));
        QVERIFY(written.contains("2002"));
        QVERIFY(written.contains("155171.0042"));
        QCOMPARE(Stored(h, "TalvikImport1"), std::string(" GRONDSLAG |GR"));
        // The run ends without the closing steps: the set number is not stored.
        QCOMPARE(Stored(h, "TalvikCurrentSel"), kNone);
    }

    // The set number is shared with the export dialog; the arrows store the set being left
    // and closing stores the set and its number.
    void setsAndClosing() {
        Harness h;
        h.Settings().Set("TalvikCurrentSel", "4");
        h.Settings().Set("TalvikImport4", "PUNTEN | GR");
        h.Settings().Set("TalvikImport5", "TOPO|K");
        QVERIFY(h.Start(ImportLine(h)));
        QCOMPARE(Text(h, "txtSelNr"), QStringLiteral("4"));
        QCOMPARE(Text(h, "txtKVLayer"), QStringLiteral("PUNTEN"));
        QCOMPARE(Text(h, "txtKVCode"), QStringLiteral(" GR"));
        auto* arrows = Find<UpDownArrows>(h, "UpDown1");
        QTest::mouseClick(arrows->UpButton(), Qt::LeftButton);
        QCOMPARE(Text(h, "txtSelNr"), QStringLiteral("5"));
        QCOMPARE(Text(h, "txtKVLayer"), QStringLiteral("TOPO"));
        QCOMPARE(Stored(h, "TalvikImport4"), std::string("PUNTEN| GR"));
        Type(h, "txtKVCode", "K9");
        h.App().Import()->close();
        QVERIFY(h.finished);
        QCOMPARE(Stored(h, "TalvikImport5"), std::string("TOPO|K9"));
        QCOMPARE(Stored(h, "TalvikCurrentSel"), std::string("5"));
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
        if (!pick.isEmpty()) h.picks.push_back(pick);
        Click(h, "cmdCoord");
        QCOMPARE(h.prompts.size(), std::size_t(1));
        QCOMPARE(h.prompts[0].title,
                 QStringLiteral("Opzoeken van KORVU Coördinaten Files|*.cor| File"));
        QCOMPARE(h.prompts[0].nameFilters,
                 QStringList({"KORVU Coördinaten Files (*.cor)", "All Files (*.*)"}));
        QCOMPARE(Text(h, "txtCoordfile"), pick);
        QCOMPARE(QString::fromStdString(h.App().Import()->Model().CoordFile()), pick);
    }
};

QTEST_MAIN(ImportDialogTest)
#include "ImportDialogTest.moc"
