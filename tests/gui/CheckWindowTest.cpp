// The check window offscreen, as a person meets it: marks where the model puts them, nothing in
// full red before a finding is chosen and, once one is, a change at its points and nowhere
// else; the table's cells whole; the window within the screen at every scale; the keys, the
// click on a point, sorting and copying.

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QTest>

#include "gui/CheckWindow.h"
#include "support/CheckReportSample.h"

namespace talvik::gui::test {

class CheckWindowTest : public QObject {
    Q_OBJECT

    static QImage Grab(SketchWidget* sketch) { return sketch->grab().toImage(); }
    // The colour at plan point (x, y), `du` canvas units to the right, two below.
    static QColor At(const QImage& image, const SketchView& view, double x, double y,
                     double du = 0.0) {
        const qreal ratio = image.devicePixelRatio();
        return image.pixelColor(
            QPointF((view.U(x) + du) * ratio, (view.V(y) + 2.0) * ratio).toPoint());
    }

  private slots:
    void ChoosingAFindingMarksItsPointsAndNothingElse() {
        const CheckReport report = testing::SampleCheckReport();
        CheckWindow window(report);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        SketchWidget* sketch = window.Sketch();
        const SketchView& view = sketch->View();
        // North up, east right: K2 right of K1, P3 above it.
        QVERIFY(view.U(1100.0) > view.U(1000.0) && view.V(2060.0) < view.V(2000.0));
        const QImage before = Grab(sketch);
        const QColor text = sketch->palette().color(QPalette::Text);
        QCOMPARE(At(before, view, 1000.0, 2000.0), text);
        // K2, named by the error, is a softer red before anything is chosen: not full red.
        const QColor named = At(before, view, 1100.0, 2000.0);
        QVERIFY(named != QColor(Qt::red) && named != text && named.red() > named.green());
        QCOMPARE(At(before, view, 1000.0, 2060.0), sketch->palette().color(QPalette::Base));

        // The warning names K1 and P3: they turn full red, and the picture changes only there
        // (the marks and their names).
        window.Findings()->selectRow(1);
        const QImage after = Grab(sketch);
        QCOMPARE(At(after, view, 1000.0, 2000.0), QColor(Qt::red));
        QCOMPARE(At(after, view, 1100.0, 2000.0), named);
        const qreal ratio = after.devicePixelRatio();
        int changed = 0;
        for (int y = 0; y < after.height(); ++y) {
            for (int x = 0; x < after.width(); ++x) {
                if (after.pixel(x, y) == before.pixel(x, y)) continue;
                ++changed;
                const double u = x / ratio, v = y / ratio;
                const auto near = [&](double px, double py) {
                    const double du = u - view.U(px), dv = v - view.V(py);
                    return du > -14 && du < 60 && dv > -30 && dv < 14;
                };
                if (!near(1000.0, 2000.0) && !near(1000.0, 2060.0))
                    QFAIL(qPrintable(QStringLiteral("changed at %1, %2").arg(u).arg(v)));
            }
        }
        QVERIFY(changed > 40);
        window.Findings()->selectRow(0);
        QCOMPARE(At(Grab(sketch), view, 1000.0, 2000.0), text);
        QCOMPARE(At(Grab(sketch), view, 1100.0, 2000.0), QColor(Qt::red));
    }

    // Every cell holds the whole text of the model and shows it whole: the wrapped text fits
    // the cell and the columns fit the table's width.
    void TheTableShowsWholeTexts() {
        CheckWindow window(testing::SampleCheckReport());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTableWidget* table = window.Findings();
        QCOMPARE(table->rowCount(), 2);
        QCOMPARE(table->item(0, 1)->text(),
                 QStringLiteral("bekend punt K2: vanuit K1 berekend op 0.120 m van de bekende "
                                "co\u00F6rdinaten"));
        QCOMPARE(table->item(0, 2)->text(), QStringLiteral("K2"));
        QCOMPARE(table->item(0, 3)->text(), QStringLiteral("0.120 m"));
        QCOMPARE(table->item(0, 4)->text(), QStringLiteral("0.010 m"));
        QCOMPARE(table->item(1, 2)->text(), QStringLiteral("K1, P3"));
        int widths = 0;
        for (int c = 0; c < table->columnCount(); ++c)
            widths += table->columnWidth(c);
        QVERIFY(widths <= table->viewport()->width());
        const QFontMetrics metrics(table->font());
        for (int r = 0; r < table->rowCount(); ++r) {
            for (int c = 0; c < table->columnCount(); ++c) {
                const QRect cell = table->visualItemRect(table->item(r, c));
                const QRect needed =
                    metrics.boundingRect(QRect(0, 0, cell.width() - 8, 10000), Qt::TextWordWrap,
                                         table->item(r, c)->text());
                QVERIFY2(needed.height() <= cell.height() && needed.width() <= cell.width(),
                         qPrintable(QStringLiteral("%1: %2x%3 in %4x%5")
                                        .arg(table->item(r, c)->text())
                                        .arg(needed.width())
                                        .arg(needed.height())
                                        .arg(cell.width())
                                        .arg(cell.height())));
            }
        }
        QCOMPARE(window.findChild<QLabel*>(QStringLiteral("lblCount"))->text(),
                 QStringLiteral("1 fout, 1 waarschuwing"));
        // Nothing found: the words instead of an empty table.
        CheckWindow clean(CheckReport{});
        clean.show();
        QVERIFY(QTest::qWaitForWindowExposed(&clean));
        QVERIFY(!clean.Findings()->isVisible());
        QVERIFY(clean.findChild<QLabel*>(QStringLiteral("lblEmpty"))->isVisible());
        QCOMPARE(clean.findChild<QLabel*>(QStringLiteral("lblEmpty"))->text(),
                 QStringLiteral("geen bevindingen"));
        QCOMPARE(clean.findChild<QLabel*>(QStringLiteral("lblCount"))->text(),
                 QStringLiteral("0 fouten, 0 waarschuwingen"));
    }

    // The whole window, its frame included, on a 1366 x 768 screen at this run's scale.
    void FitsTheScreen() {
        CheckWindow window(testing::SampleCheckReport());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QRect screen = window.screen()->availableGeometry();
        QVERIFY2(screen.contains(window.frameGeometry()),
                 qPrintable(QStringLiteral("%1x%2 on %3x%4")
                                .arg(window.frameGeometry().width())
                                .arg(window.frameGeometry().height())
                                .arg(screen.width())
                                .arg(screen.height())));
        for (const char* name : {"lblCount", "cmdFit", "cmdCopy", "cmdCoordinates", "cmdClose"}) {
            QWidget* child = window.findChild<QWidget*>(QString::fromLatin1(name));
            const QRect at(child->mapTo(&window, QPoint(0, 0)), child->size());
            QVERIFY2(window.rect().contains(at), name);
        }
    }

    void KeysClickSortCopyAndEscape() {
        // The window deletes itself when it is closed.
        const QPointer<CheckWindow> owner = new CheckWindow(testing::SampleCheckReport());
        CheckWindow& window = *owner;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        SketchWidget* sketch = window.Sketch();
        sketch->setFocus();
        const double fitted = sketch->View().Scale();
        QTest::keyClick(sketch, Qt::Key_Plus);
        QVERIFY(sketch->View().Scale() > fitted * 1.2);
        // A resize keeps the zoom, and K1 stays where it was relative to the middle.
        const double zoomed = sketch->View().Scale();
        window.resize(window.width() - 60, window.height() - 40);
        QTRY_VERIFY(sketch->View().Scale() == zoomed);
        const double u = sketch->View().U(1000.0);
        QTest::keyClick(sketch, Qt::Key_Left);
        QCOMPARE(sketch->View().U(1000.0), u + sketch->width() / 8.0);
        QTest::keyClick(sketch, Qt::Key_Minus);
        QVERIFY(sketch->View().Scale() < zoomed);
        QTest::keyClick(sketch, Qt::Key_Home);
        QCOMPARE(sketch->View().U(1050.0), sketch->width() / 2.0);
        // A click on K1 chooses the finding that names it.
        QTest::mouseClick(sketch, Qt::LeftButton, {},
                          QPointF(sketch->View().U(1000.0), sketch->View().V(2000.0)).toPoint());
        const auto selected = window.Findings()->selectionModel()->selectedRows();
        QCOMPARE(selected.size(), 1);
        QCOMPARE(window.Findings()->item(selected[0].row(), 2)->text(), QStringLiteral("K1, P3"));
        // Sorted by the tolerance: the row that has one first, then reversed.
        window.Findings()->horizontalHeader()->sectionClicked(4);
        QCOMPARE(window.Findings()->item(0, 4)->text(), QStringLiteral("0.010 m"));
        window.Findings()->horizontalHeader()->sectionClicked(4);
        QCOMPARE(window.Findings()->item(1, 4)->text(), QStringLiteral("0.010 m"));
        // Ctrl+C: the chosen row; everything chosen: the header and every row.
        window.Findings()->selectRow(1);
        QTest::keyClick(window.Findings(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(),
                 QStringLiteral("fout\tbekend punt K2: vanuit K1 berekend op 0.120 m van de "
                                "bekende co\u00F6rdinaten\tK2\t0.120 m\t0.010 m\r\n"));
        window.Findings()->selectAll();
        QTest::keyClick(window.Findings(), Qt::Key_C, Qt::ControlModifier);
        QVERIFY(QApplication::clipboard()->text().startsWith(
            QStringLiteral("ernst\tbevinding\tpunten\tgrootte\ttoegestaan\r\n")));
        QCOMPARE(QApplication::clipboard()->text().count(QStringLiteral("\r\n")), 3);
        // The coordinates button: every placed point as a tab-separated table.
        QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("cmdCoordinates")),
                          Qt::LeftButton);
        QCOMPARE(QApplication::clipboard()->text(),
                 QStringLiteral("punt\tx\ty\th\tsx\tsy\tsh\r\n"
                                "K1\t1000.0000\t2000.0000\t0.0000\t\t\t\r\n"
                                "K2\t1100.0000\t2000.0000\t0.0000\t\t\t\r\n"
                                "P3\t1000.0000\t2060.0000\t\t\t\t\r\n"));
        QTest::keyClick(window.Findings(), Qt::Key_Escape);
        QTRY_VERIFY(owner.isNull());
    }
};

}  // namespace talvik::gui::test

QTEST_MAIN(talvik::gui::test::CheckWindowTest)
#include "CheckWindowTest.moc"
