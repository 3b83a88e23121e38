// Renders every window of the desktop program to PNG files, offscreen:
//   talvik_screenshots <folder>
// Each picture gets a plain title bar with the window's caption, as a window manager would
// draw it.

#include <QApplication>
#include <QDir>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QStyleFactory>
#include <QTest>

#include "GuiHarness.h"
#include "gui/AboutWindow.h"
#include "gui/ExportWindow.h"
#include "gui/ImportWindow.h"
#include "gui/Logo.h"
#include "gui/SplashWindow.h"
#include "startup/CommandLine.h"

using namespace talvik::gui;
using talvik::gui::test::Harness;

namespace {

QImage Framed(QWidget* window, bool titleBar) {
    window->ensurePolished();
    window->adjustSize();
    const QPixmap content = window->grab();
    if (!titleBar) return content.toImage();
    const int bar = 30;
    QImage image(content.width() + 2, content.height() + bar + 1, QImage::Format_ARGB32);
    image.fill(QColor(0x5a, 0x6b, 0x73));
    QPainter painter(&image);
    painter.fillRect(QRect(1, 1, content.width(), bar - 1), QColor(0x2b, 0x3a, 0x42));
    PaintLogo(painter, QRectF(8, 6, 18, 18));
    QFont font = QApplication::font();
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRect(34, 1, content.width() - 40, bar - 1), Qt::AlignVCenter,
                     window->windowTitle());
    painter.drawPixmap(1, bar, content);
    return image;
}

bool Save(QWidget* window, const QString& folder, const QString& name, bool titleBar = true) {
    const QString path = folder + QLatin1Char('/') + name;
    const bool saved = Framed(window, titleBar).save(path);
    qInfo("%s %s", saved ? "wrote" : "could not write", qPrintable(path));
    return saved;
}

void Type(QWidget* window, const char* box, const QString& text) {
    auto* edit = window->findChild<QLineEdit*>(QString::fromLatin1(box));
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

QWidget* MessageWindow(const MessageBoxSetup& setup) {
    auto* box = new QMessageBox;
    ConfigureMessageBox(*box, setup);
    box->show();
    return box;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), 9));
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(folder);
    bool ok = true;

    const std::string exportLine =
        "0 \"/home/landmeter/projecten/dorpsstraat/net1.prj\" "
        "\"/home/landmeter/projecten/dorpsstraat/net1.idx\"";
    {
        Harness h;
        h.Start(exportLine, false);
        ok &= Save(h.App().Splash(), folder, QStringLiteral("splash.png"), false);
        h.WaitForDialog();
        ExportWindow* window = h.App().Export();
        Type(window, "txtSelCode1", QStringLiteral("K1"));
        Type(window, "txtSelCode2", QStringLiteral("K2"));
        Type(window, "txtSelCode3", QStringLiteral("GR"));
        window->ProgressLabel()->setText(QString::fromUtf8("Opslaan Co\xC3\xB6rdinaten: 10"));
        window->resize(window->sizeHint());
        ok &= Save(window, folder, QStringLiteral("export-dialog.png"));
        QPointer<AboutWindow> about;
        ShowAbout(about, window);
        ok &= Save(about, folder, QStringLiteral("about.png"));
        delete about;
    }
    {
        Harness h;
        h.Start(
            "1 \"/home/landmeter/projecten/dorpsstraat/net1.cor\" "
            "\"/home/landmeter/projecten/dorpsstraat/korvu.idx\"");
        ImportWindow* window = h.App().Import();
        Type(window, "txtKVLayer", QStringLiteral("GRONDSLAG"));
        Type(window, "txtKVCode", QStringLiteral("GR"));
        ok &= Save(window, folder, QStringLiteral("import-dialog.png"));
    }
    {
        Harness h;
        h.InstallHost("5.0");
        h.InstallHost("6.0");
        h.Start("/KAVRIN");
        if (!h.messages.empty()) {
            std::unique_ptr<QWidget> box(MessageWindow(h.messages.front()));
            ok &= Save(box.get(), folder, QStringLiteral("registration-message.png"));
        }
    }
    {
        std::unique_ptr<QWidget> box(
            MessageWindow(MakeMessageBoxSetup(talvik::kOldHostMessage, talvik::Buttons::Ok,
                                              talvik::Icon::Information, talvik::kInterfaceTitle)));
        ok &= Save(box.get(), folder, QStringLiteral("old-host-message.png"));
    }
    return ok ? 0 : 1;
}
