// Every fixed text of the windows: captions, labels, frames, tooltips and access keys.

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "GuiHarness.h"
#include "gui/AboutWindow.h"
#include "gui/ExportWindow.h"
#include "gui/ImportWindow.h"
#include "gui/SplashWindow.h"

using namespace talvik::gui;

namespace {

struct TextRow {
    const char* window;
    const char* object;  // empty: the window itself
    const char* property;
    const char* text;
};

// clang-format off
const TextRow kTexts[] = {
    {"frmTALVIK", "lblProductName", "text", "Kavrin ZEV KORVU Interface"},
    {"frmTALVIK", "imgLogo", "objectName", "imgLogo"},

    {"frmAbout", "", "windowTitle", "About Talvik"},
    {"frmAbout", "lblTitle", "text", "Talvik"},
    {"frmAbout", "lblVersion", "text", "Version 3.1.71"},
    {"frmAbout", "Label5", "text", "Korvu Interface"},
    {"frmAbout", "Label1", "text", "Kavrin ZEV"},
    {"frmAbout", "cmdOK", "text", "OK"},
    {"frmAbout", "Picture1", "objectName", "Picture1"},

    {"frmKORVUX", "", "windowTitle", "KORVU Interface"},
    {"frmKORVUX", "lblAction", "text", "KORVU Project Aanmaken"},
    {"frmKORVUX", "Picture1", "objectName", "Picture1"},
    {"frmKORVUX", "lblFieldfile", "text", "Kavrin file (FLD):"},
    {"frmKORVUX", "txtFieldfile", "toolTip", "De Naam van de Kavrin Fieldfile"},
    {"frmKORVUX", "cmdField", "text", "Bladeren"},
    {"frmKORVUX", "cmdField", "toolTip", "Opzoeken van Kavrin Fieldfile Locatie"},
    {"frmKORVUX", "lblProjectfile", "text", "KORVU file (PRJ):"},
    {"frmKORVUX", "txtProjectfile", "toolTip", "De Naam van het KORVU Project"},
    {"frmKORVUX", "cmdProject", "text", "Bladeren"},
    {"frmKORVUX", "cmdProject", "toolTip", "Opzoeken van KORVU Projectfile Locatie"},
    {"frmKORVUX", "lblSaveAs", "text", "Opslaan als KORVU versie:"},
    {"frmKORVUX", "optV3", "text", "KORVU v3.0"},
    {"frmKORVUX", "optV1", "text", "KORVU v1.0"},
    {"frmKORVUX", "fraFace2", "title", "Kijkerstand 2"},
    {"frmKORVUX", "optFace2Series", "text", "Opnemen als Aparte Serie"},
    {"frmKORVUX", "optFace2to1", "text", "Omzetten naar Kijkerstand 1"},
    {"frmKORVUX", "fraStdDevObservations", "title", "StdAfw. Waarnemingen"},
    {"frmKORVUX", "lblHz", "text", "Hz: (gon + gon/km)"},
    {"frmKORVUX", "lblV", "text", "V:   (gon + gon/km)"},
    {"frmKORVUX", "lblDis", "text", "Afstand:  (m + ppm)"},
    {"frmKORVUX", "lblAbs", "text", "Abs."},
    {"frmKORVUX", "lblRel", "text", "Rel."},
    {"frmKORVUX", "txtAbsHor", "toolTip", "Standaard Afwijking (Absoluut Deel) in GON"},
    {"frmKORVUX", "txtRelHor", "toolTip", "Standaard Afwijking Relatief Deel) in GON per KM"},
    {"frmKORVUX", "txtAbsVer", "toolTip", "Standaard Afwijking (Absoluut Deel) in GON"},
    {"frmKORVUX", "txtRelVer", "toolTip", "Standaard Afwijking Relatief Deel) in GON per KM"},
    {"frmKORVUX", "txtAbsDis", "toolTip", "Standaard Afwijking (Absoluut Deel) van de Afstandmeting in Meters"},
    {"frmKORVUX", "txtRelDis", "toolTip", "Standaard Afwijking (PPM) van de Afstandmeting in Meters"},
    {"frmKORVUX", "chkHVD", "text", "Hz en V dezelfde StdAfw."},
    {"frmKORVUX", "chkHVD", "toolTip", "Std.Afw. van Hor.Rand wordt ook toegepast op de Ver.Rand"},
    {"frmKORVUX", "fraStdDevCoordinates", "title", "StdAfw. Coördinaten"},
    {"frmKORVUX", "lblXY", "text", "X / Y-coördinaten: (m)"},
    {"frmKORVUX", "lblZ", "text", "Z-coördinaat: (m)"},
    {"frmKORVUX", "lblStdAfw", "text", "StdAfw."},
    {"frmKORVUX", "txtSDXY", "toolTip", "Standaard Afwijking van X+Y in meters"},
    {"frmKORVUX", "txtSDZ", "toolTip", "Standaard Afwijking v.d. punthoogte in meters"},
    {"frmKORVUX", "chkXYZ", "text", "X, Y en Z dezelfde StdAfw."},
    {"frmKORVUX", "chkXYZ", "toolTip", "Std.Afw. van X+Y wordt ook toegepast op de Hoogte"},
    {"frmKORVUX", "fraStdDevOther", "title", "Overige Std.Afw."},
    {"frmKORVUX", "lblSigmaCent", "text", "Sigma Centrering:"},
    {"frmKORVUX", "lblSigmaInst", "text", "Sigma Instr.Hoogte:"},
    {"frmKORVUX", "txtSigmaCent", "toolTip", "Standaard Afwijking van X+Y in meters"},
    {"frmKORVUX", "txtSigmaInst", "toolTip", "Standaard Afwijking v.d. punthoogte in meters"},
    {"frmKORVUX", "fraSelCodes", "title", "Code Selecties"},
    {"frmKORVUX", "fraSelCodes", "toolTip", "Waarnemingen met deze Object Codes worden gebruikt door KORVU"},
    {"frmKORVUX", "lblSelSet", "text", "Selectie Set"},
    {"frmKORVUX", "txtSelNr", "toolTip", "Tot 9 verschillende Sets met Selectie Codes zijn beschikbaar"},
    {"frmKORVUX", "UpDown1", "toolTip", "Tot 9 verschillende Sets met Selectie Codes zijn beschikbaar"},
    {"frmKORVUX", "cmdExport", "text", "Start &Export Zonder KORVU"},
    {"frmKORVUX", "cmdExport", "toolTip", "De Kavrin Gegevens verzamelen en exporteren naar een KORVU project; KORVU wordt niet gestart."},
    {"frmKORVUX", "cmdStart", "text", "&Start Export + Start KORVU"},
    {"frmKORVUX", "cmdStart", "toolTip", "De Kavrin Gegevens verzamelen en exporteren naar een KORVU project; KORVU meteen opstarten met dit project."},
    {"frmKORVUX", "lblProgressCaption", "text", " Voortgang:"},
    {"frmKORVUX", "lblProgress", "text", ""},

    {"frmKORVUI", "", "windowTitle", "KORVU Interface"},
    {"frmKORVUI", "lblAction", "text", "KORVU Coördinaten Inlezen"},
    {"frmKORVUI", "txtKVLayer", "toolTip", "Kavrin Laag waarin KORVU Stations worden opgeslagen"},
    {"frmKORVUI", "txtKVCode", "toolTip", "Kavrin Code waarin KORVU Stations worden opgeslagen"},
    {"frmKORVUI", "txtSelNr", "toolTip", "Tot 9 verschillende Sets met Laagnaam/Code zijn beschikbaar"},
    {"frmKORVUI", "UpDown1", "toolTip", "Tot 9 verschillende Sets met Selectie Codes zijn beschikbaar"},
    {"frmKORVUI", "txtCoordfile", "toolTip", "De Naam van de KORVU Coördinatenfile"},
    {"frmKORVUI", "cmdCoord", "text", "Bladeren"},
    {"frmKORVUI", "cmdCoord", "toolTip", "Opzoeken van KORVU Coördinatenfile"},
    {"frmKORVUI", "cmdStart", "text", "&Start Import"},
    {"frmKORVUI", "cmdStart", "toolTip", "De KORVU Stations nu verzamelen en importeren in Kavrin"},
    {"frmKORVUI", "Frame3", "title", "Import Instellingen"},
    {"frmKORVUI", "Frame3", "toolTip", "Laagnaam/Code tbv. Import in Kavrin"},
    {"frmKORVUI", "Label1", "text", "Kavrin Laagnaam:"},
    {"frmKORVUI", "Label4", "text", "Kavrin Grondslagcode:"},
    {"frmKORVUI", "Label3", "text", "Import Set"},
    {"frmKORVUI", "Label2", "text", "KORVU file (COR):"},
};
// clang-format on

}  // namespace

class TextsTest : public QObject {
    Q_OBJECT

    QWidget* Window(const QString& name) {
        if (name == QLatin1String("frmKORVUX")) return export_.App().Export();
        if (name == QLatin1String("frmKORVUI")) return import_.App().Import();
        if (name == QLatin1String("frmTALVIK")) return export_.App().Splash();
        return ShowAbout(about_, nullptr);
    }

    talvik::gui::test::Harness export_;
    talvik::gui::test::Harness import_;
    QPointer<AboutWindow> about_;

  private slots:
    void initTestCase() {
        QVERIFY(export_.Start("0 \"/data/net 1.prj\" \"/data/net 1.idx\""));
        QVERIFY(import_.Start("1 \"/data/net1.cor\" \"/data/net1.idx\""));
    }

    void cleanupTestCase() { delete about_; }

    void text_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("object");
        QTest::addColumn<QByteArray>("property");
        QTest::addColumn<QString>("expected");
        for (const TextRow& row : kTexts) {
            QTest::addRow("%s.%s.%s", row.window, row.object, row.property)
                << row.window << row.object << QByteArray(row.property)
                << QString::fromUtf8(row.text);
        }
        // Boxes 7, 9, 11, 13 and 15 carry the object tooltip, the other eleven the codes one.
        for (int i = 1; i <= 16; ++i) {
            const bool object = i == 7 || i == 9 || i == 11 || i == 13 || i == 15;
            QTest::addRow("frmKORVUX.txtSelCode%d.toolTip", i)
                << "frmKORVUX" << QStringLiteral("txtSelCode%1").arg(i) << QByteArray("toolTip")
                << QStringLiteral("Waarnemingen met deze %1 worden gebruikt door KORVU")
                       .arg(object ? "Selectie Object" : "Object Codes");
        }
    }

    void text() {
        QFETCH(QString, window);
        QFETCH(QString, object);
        QFETCH(QByteArray, property);
        QFETCH(QString, expected);
        QWidget* top = Window(window);
        QCOMPARE(top->objectName(), window);
        QWidget* widget = object.isEmpty() ? top : top->findChild<QWidget*>(object);
        QVERIFY2(widget, qPrintable(object));
        QCOMPARE(widget->property(property.constData()).toString(), expected);
    }

    void setNumberBoxIsReadOnlyAndCentred() {
        auto* box = export_.Find("txtSelNr");
        QVERIFY(box->isReadOnly());
        QCOMPARE(box->alignment() & Qt::AlignHCenter, Qt::AlignHCenter);
    }

    void versionLineHasNoPadding() {
        QCOMPARE(VersionLine(3, 0, 0), QStringLiteral("Version 3.0.0"));
        QCOMPARE(VersionLine(10, 5, 7), QStringLiteral("Version 10.5.7"));
    }

    // The heading and the emblem open one modeless About box; OK closes it and a later click
    // opens a new one.
    void aboutBoxFromHeadingAndEmblem() {
        QWidget* window = export_.App().Export();
        QTest::mouseClick(export_.Find<QWidget>("lblAction"), Qt::LeftButton);
        QTest::mouseClick(export_.Find<QWidget>("Picture1"), Qt::LeftButton);
        const auto boxes = window->findChildren<AboutWindow*>();
        QCOMPARE(boxes.size(), 1);
        QVERIFY(boxes[0]->isVisible() && !boxes[0]->isModal());
        QPointer<AboutWindow> first(boxes[0]);
        QTest::mouseClick(first->findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(first.isNull());
        QTest::mouseClick(export_.Find<QWidget>("Picture1"), Qt::LeftButton);
        QVERIFY(window->findChild<AboutWindow*>()->isVisible());
    }
};

QTEST_MAIN(TextsTest)
#include "TextsTest.moc"
