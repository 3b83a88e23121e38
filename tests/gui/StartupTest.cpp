// Start-up: which job a command line leads to, and the two messages that end the process.

#include <QTest>

#include "GuiHarness.h"
#include "gui/ExportWindow.h"
#include "gui/ImportWindow.h"
#include "gui/SplashWindow.h"

using talvik::gui::test::Harness;

class StartupTest : public QObject {
    Q_OBJECT

  private slots:
    void dispatch_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("window");
        QTest::newRow("export") << "0 \"/p/a.prj\" \"/p/a.idx\""
                                << "frmKORVUX";
        QTest::newRow("import") << "1 \"/p/a.cor\" \"/p/a.idx\""
                                << "frmKORVUI";
        QTest::newRow("other mode") << "2 \"/p/a.prj\" \"/p/a.idx\""
                                    << "frmKORVUX";
        QTest::newRow("no mode") << "\"/p/a.prj\" \"/p/a.idx\""
                                 << "frmKORVUX";
        QTest::newRow("old host") << "0 /p/a.prj /p/a.idx"
                                  << "";
    }

    void dispatch() {
        QFETCH(QString, line);
        QFETCH(QString, window);
        Harness h;
        QCOMPARE(h.Start(line.toStdString()), !window.isEmpty());
        QCOMPARE(h.messages.size(), std::size_t(window.isEmpty() ? 1 : 0));
        if (!window.isEmpty()) {
            QCOMPARE(h.Window()->objectName(), window);
            QVERIFY(h.Window()->isVisible());
        }
        QVERIFY(!h.App().Splash()->isVisible());
    }

    void endingMessages_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("host");
        QTest::addColumn<QString>("text");
        QTest::newRow("old host") << "5 no quotes" << false
                                  << "Kavrin 5.0 dient te worden opgewaardeerd naar Build 110 of "
                                     "hoger.\nNeem contact op met:\n     Draxmoor B.V.\nof   "
                                     "Pellvane B.V.\n     Afd. Support.";
        QTest::newRow("registered") << "/kavrin" << true
                                    << "Aanmelding bij Kavrin:\nGeslaagd voor versies: 5.0\n"
                                       "Mislukt voor versies: geen";
        QTest::newRow("no host") << "x /KAVRIN \"a\"" << false
                                 << "Aanmelding bij Kavrin:\nGeslaagd voor versies: geen\n"
                                    "Mislukt voor versies: geen";
    }

    void endingMessages() {
        QFETCH(QString, line);
        QFETCH(bool, host);
        QFETCH(QString, text);
        Harness h;
        if (host) h.InstallHost("5.0");
        QVERIFY(!h.Start(line.toStdString()));
        QCOMPARE(h.messages.size(), std::size_t(1));
        QCOMPARE(h.messages[0].text, text);
        QCOMPARE(h.messages[0].title, QStringLiteral("KORVU Interface"));
        QCOMPARE(h.messages[0].icon, QMessageBox::Information);
        QCOMPARE(h.messages[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QVERIFY(!h.App().Splash()->isVisible());
        std::string entry;
        h.Reg().GetStringValue(talvik::kHkeyCurrentUser,
                               "SOFTWARE\\ORNWALD\\KAVRIN\\5.0\\ZEV\\Data Conversions\\Import",
                               "MenuItem0", entry);
        QCOMPARE(entry, host ? "2|*.cor|Korvu Co\xF6rdinaten|/opt/talvik/talvik" : "");
    }
};

QTEST_MAIN(StartupTest)
#include "StartupTest.moc"
