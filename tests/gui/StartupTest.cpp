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
        const bool opens = h.Start(line.toStdString());
        QCOMPARE(opens, !window.isEmpty());
        QWidget* shown =
            h.App().Export() ? static_cast<QWidget*>(h.App().Export()) : h.App().Import();
        QCOMPARE(shown ? shown->objectName() : QString(), window);
        if (shown) QVERIFY(shown->isVisible());
        QVERIFY(!h.App().Splash()->isVisible());
    }

    void oldHostMessage() {
        Harness h;
        QVERIFY(!h.Start("5 no quotes here"));
        QCOMPARE(h.messages.size(), std::size_t(1));
        const auto& message = h.messages[0];
        QCOMPARE(message.title, QStringLiteral("KORVU Interface"));
        QCOMPARE(message.icon, QMessageBox::Information);
        QCOMPARE(message.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QCOMPARE(message.text,
                 QStringLiteral("Kavrin 5.0 dient te worden opgewaardeerd naar Build 110 of "
                                "hoger.\nNeem contact op met:\n     Draxmoor B.V.\nof   Pellvane "
                                "B.V.\n     Afd. Support."));
        QVERIFY(!h.App().Splash()->isVisible());
    }

    void registrationMessage_data() {
        QTest::addColumn<bool>("host");
        QTest::addColumn<QString>("text");
        QTest::newRow("one release") << true
                                     << "Aanmelding bij Kavrin:\nGeslaagd voor versies: 5.0\n"
                                        "Mislukt voor versies: geen";
        QTest::newRow("no host") << false
                                 << "Aanmelding bij Kavrin:\nGeslaagd voor versies: geen\n"
                                    "Mislukt voor versies: geen";
    }

    void registrationMessage() {
        QFETCH(bool, host);
        QFETCH(QString, text);
        Harness h;
        if (host) h.InstallHost("5.0");
        QVERIFY(!h.Start("/kavrin"));
        QCOMPARE(h.messages.size(), std::size_t(1));
        QCOMPARE(h.messages[0].title, QStringLiteral("KORVU Interface"));
        QCOMPARE(h.messages[0].icon, QMessageBox::Information);
        QCOMPARE(h.messages[0].text, text);
        QVERIFY(!h.App().Splash()->isVisible());
        std::string entry;
        const bool stored = h.Reg().GetStringValue(
            talvik::kHkeyCurrentUser,
            "SOFTWARE\\ORNWALD\\KAVRIN\\5.0\\ZEV\\Data Conversions\\Import", "MenuItem0", entry);
        QCOMPARE(stored, host);
        if (host)
            QVERIFY(QByteArray::fromStdString(entry).startsWith("2|*.cor|Korvu Co\xF6rdinaten|"));
    }
};

QTEST_MAIN(StartupTest)
#include "StartupTest.moc"
