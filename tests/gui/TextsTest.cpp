// Every fixed text of the windows: captions, labels, frame titles, tooltips and access keys.

#include <QGroupBox>
#include <QPushButton>

#include "GuiHarness.h"
#include "gui/AboutWindow.h"
#include "gui/SplashWindow.h"

using namespace talvik::gui;

namespace {

// Per window: control (empty: the window's caption), its caption or label (null: not checked,
// as for a box's value) and its tooltip (null: none).
struct TextRow {
    const char *object, *text, *tip = nullptr;
};

// clang-format off
const std::pair<const char*, std::vector<TextRow>> kTexts[] = {
    {"frmTALVIK", {{"lblProductName", "Kavrin ZEV KORVU Interface"}}},
    {"frmAbout", {
        {"", "About Talvik"}, {"lblTitle", "Talvik"}, {"lblVersion", "Version 3.1.71"},
        {"Label5", "Korvu Interface"}, {"Label1", "Kavrin ZEV"}, {"cmdOK", "OK"},
    }},
    {"frmKORVUX", {
        {"", "KORVU Interface"}, {"lblAction", "KORVU Project Aanmaken"},
        {"lblFieldfile", "Kavrin file (FLD):"},
        {"txtFieldfile", nullptr, "De Naam van de Kavrin Fieldfile"},
        {"cmdField", "Bladeren", "Opzoeken van Kavrin Fieldfile Locatie"},
        {"lblProjectfile", "KORVU file (PRJ):"},
        {"txtProjectfile", nullptr, "De Naam van het KORVU Project"},
        {"cmdProject", "Bladeren", "Opzoeken van KORVU Projectfile Locatie"},
        {"lblSaveAs", "Opslaan als KORVU versie:"}, {"optV3", "KORVU v3.0"}, {"optV1", "KORVU v1.0"},
        {"fraFace2", "Kijkerstand 2"}, {"optFace2Series", "Opnemen als Aparte Serie"},
        {"optFace2to1", "Omzetten naar Kijkerstand 1"},
        {"fraStdDevObservations", "StdAfw. Waarnemingen"}, {"lblAbs", "Abs."}, {"lblRel", "Rel."},
        {"lblHz", "Hz: (gon + gon/km)"}, {"lblV", "V:   (gon + gon/km)"},
        {"lblDis", "Afstand:  (m + ppm)"},
        {"txtAbsHor", nullptr, "Standaard Afwijking (Absoluut Deel) in GON"},
        {"txtRelHor", nullptr, "Standaard Afwijking Relatief Deel) in GON per KM"},
        {"txtAbsVer", nullptr, "Standaard Afwijking (Absoluut Deel) in GON"},
        {"txtRelVer", nullptr, "Standaard Afwijking Relatief Deel) in GON per KM"},
        {"txtAbsDis", nullptr, "Standaard Afwijking (Absoluut Deel) van de Afstandmeting in Meters"},
        {"txtRelDis", nullptr, "Standaard Afwijking (PPM) van de Afstandmeting in Meters"},
        {"chkHVD", "Hz en V dezelfde StdAfw.", "Std.Afw. van Hor.Rand wordt ook toegepast op de Ver.Rand"},
        {"fraStdDevCoordinates", "StdAfw. Coördinaten"}, {"lblStdAfw", "StdAfw."},
        {"lblXY", "X / Y-coördinaten: (m)"}, {"lblZ", "Z-coördinaat: (m)"},
        {"txtSDXY", nullptr, "Standaard Afwijking van X+Y in meters"},
        {"txtSDZ", nullptr, "Standaard Afwijking v.d. punthoogte in meters"},
        {"chkXYZ", "X, Y en Z dezelfde StdAfw.", "Std.Afw. van X+Y wordt ook toegepast op de Hoogte"},
        {"fraStdDevOther", "Overige Std.Afw."},
        {"lblSigmaCent", "Sigma Centrering:"}, {"lblSigmaInst", "Sigma Instr.Hoogte:"},
        {"txtSigmaCent", nullptr, "Standaard Afwijking van X+Y in meters"},
        {"txtSigmaInst", nullptr, "Standaard Afwijking v.d. punthoogte in meters"},
        {"fraSelCodes", "Code Selecties", "Waarnemingen met deze Object Codes worden gebruikt door KORVU"},
        {"lblSelSet", "Selectie Set"},
        {"txtSelNr", nullptr, "Tot 9 verschillende Sets met Selectie Codes zijn beschikbaar"},
        {"UpDown1", nullptr, "Tot 9 verschillende Sets met Selectie Codes zijn beschikbaar"},
        {"cmdExport", "Start &Export Zonder KORVU", "De Kavrin Gegevens verzamelen en exporteren naar een KORVU project; KORVU wordt niet gestart."},
        {"cmdStart", "&Start Export + Start KORVU", "De Kavrin Gegevens verzamelen en exporteren naar een KORVU project; KORVU meteen opstarten met dit project."},
        {"lblProgressCaption", " Voortgang:"}, {"lblProgress", ""},
    }},
    {"frmKORVUI", {
        {"", "KORVU Interface"}, {"lblAction", "KORVU Coördinaten Inlezen"},
        {"Frame3", "Import Instellingen", "Laagnaam/Code tbv. Import in Kavrin"},
        {"Label1", "Kavrin Laagnaam:"}, {"Label4", "Kavrin Grondslagcode:"},
        {"Label3", "Import Set"}, {"Label2", "KORVU file (COR):"},
        {"txtKVLayer", nullptr, "Kavrin Laag waarin KORVU Stations worden opgeslagen"},
        {"txtKVCode", nullptr, "Kavrin Code waarin KORVU Stations worden opgeslagen"},
        {"txtSelNr", nullptr, "Tot 9 verschillende Sets met Laagnaam/Code zijn beschikbaar"},
        {"UpDown1", nullptr, "Tot 9 verschillende Sets met Selectie Codes zijn beschikbaar"},
        {"txtCoordfile", nullptr, "De Naam van de KORVU Coördinatenfile"},
        {"cmdCoord", "Bladeren", "Opzoeken van KORVU Coördinatenfile"},
        {"cmdStart", "&Start Import", "De KORVU Stations nu verzamelen en importeren in Kavrin"},
    }},
};
// clang-format on

}  // namespace

class TextsTest : public QObject {
    Q_OBJECT

    talvik::gui::test::Harness export_, import_;
    QPointer<AboutWindow> about_;
    QHash<QString, QWidget*> windows_;

  private slots:
    void initTestCase() {
        QVERIFY(export_.Start("0 \"/data/net 1.prj\" \"/data/net 1.idx\""));
        QVERIFY(import_.Start("1 \"/data/net1.cor\" \"/data/net1.idx\""));
        windows_ = {{"frmKORVUX", export_.app->Export()},
                    {"frmKORVUI", import_.app->Import()},
                    {"frmTALVIK", export_.app->Splash()},
                    {"frmAbout", ShowAbout(about_, nullptr)}};
    }

    void cleanupTestCase() { delete about_; }

    void everyCaptionAndTooltip() {
        QStringList shown, expected;  // "window.control: caption | tooltip"
        for (const auto& [window, rows] : kTexts)
            for (const TextRow& row : rows) {
                QWidget* top = windows_.value(window);
                QWidget* widget = *row.object ? top->findChild<QWidget*>(row.object) : top;
                const QString where = QStringLiteral("%1.%2: ").arg(window, row.object);
                QVERIFY2(top->objectName() == window && widget, qPrintable(where));
                const char* property = widget == top                      ? "windowTitle"
                                       : qobject_cast<QGroupBox*>(widget) ? "title"
                                                                          : "text";
                const QString text = row.text ? widget->property(property).toString() : "-";
                shown << where + text + " | " + widget->toolTip();
                expected << where + (row.text ? row.text : "-") + " | " +
                                QString::fromUtf8(row.tip);
            }
        // Boxes 7, 9, 11, 13 and 15 carry the object tooltip, the other eleven the codes one.
        for (int i = 1; i <= 16; ++i) {
            const bool object = i == 7 || i == 9 || i == 11 || i == 13 || i == 15;
            shown << export_.Find(qPrintable(QStringLiteral("txtSelCode%1").arg(i)))->toolTip();
            expected << QStringLiteral("Waarnemingen met deze %1 worden gebruikt door KORVU")
                            .arg(object ? "Selectie Object" : "Object Codes");
        }
        QCOMPARE(shown, expected);
    }

    // The heading and the emblem open one modeless About box; its OK closes it.
    void aboutBoxFromHeadingAndEmblem() {
        QTest::mouseClick(export_.Find<QWidget>("lblAction"), Qt::LeftButton);
        QTest::mouseClick(export_.Find<QWidget>("Picture1"), Qt::LeftButton);
        const auto boxes = export_.Window()->findChildren<AboutWindow*>();
        QCOMPARE(boxes.size(), 1);
        QVERIFY(boxes[0]->isVisible() && !boxes[0]->isModal());
        QTest::mouseClick(boxes[0]->findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
        QVERIFY(!boxes[0]->isVisible());
    }
};

QTEST_MAIN(TextsTest)
#include "TextsTest.moc"
