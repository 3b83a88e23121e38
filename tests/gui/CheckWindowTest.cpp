// The check window offscreen: marks where the model puts them (known: filled triangles, placed:
// ringed circles, red when flagged), and a chosen finding turns its points red.

#include <QImage>
#include <QListWidget>
#include <QTest>

#include "gui/CheckWindow.h"
#include "support/CheckReportSample.h"

namespace talvik::gui::test {

class CheckWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void MarksStandWhereTheModelPutsThem() {
        const CheckReport report = testing::SampleCheckReport();
        CheckWindow window(report);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        SketchWidget* sketch = window.Sketch();
        const SketchView& view = sketch->View();
        const auto colour = [&](double x, double y, double du = 0.0) {
            const QImage image = sketch->grab().toImage();
            const qreal ratio = image.devicePixelRatio();
            return image.pixelColor(
                QPointF((view.U(x) + du) * ratio, (view.V(y) + 2.0) * ratio).toPoint());
        };
        // North up, east right: K2 right of K1, P3 above it.
        QVERIFY(view.U(1100.0) > view.U(1000.0) && view.V(2060.0) < view.V(2000.0));
        QCOMPARE(colour(1000.0, 2000.0), QColor(Qt::black));
        QCOMPARE(colour(1100.0, 2000.0), QColor(Qt::red));
        QCOMPARE(colour(1000.0, 2060.0), QColor(Qt::white));  // inside the ring
        QCOMPARE(colour(1000.0, 2060.0, 30.0), QColor(Qt::white));
        // The warning names K1 and P3: both red once it is chosen.
        window.Findings()->setCurrentRow(1);
        QCOMPARE(colour(1000.0, 2000.0), QColor(Qt::red));
        int red = 0;
        for (int du = -8; du <= 8; ++du)
            red +=
                colour(1000.0, 2060.0, du).red() > 200 && colour(1000.0, 2060.0, du).green() < 80;
        QVERIFY(red >= 2);  // the ring, both sides
        window.Findings()->setCurrentRow(0);
        QCOMPARE(colour(1000.0, 2000.0), QColor(Qt::black));
    }
};

}  // namespace talvik::gui::test

QTEST_MAIN(talvik::gui::test::CheckWindowTest)
#include "CheckWindowTest.moc"
