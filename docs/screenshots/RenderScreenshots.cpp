// Renders every window of the desktop program to PNG files, offscreen:
//   talvik_screenshots <folder>
// Each picture gets a plain title bar with the window's caption, as a window manager would
// draw it.

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QPainter>
#include <QStyleFactory>

#include "GuiHarness.h"
#include "check/CheckReading.h"
#include "gui/AboutWindow.h"
#include "gui/CheckWindow.h"
#include "gui/Logo.h"
#include "gui/SplashWindow.h"
#include "gui/Translations.h"
#include "support/RecordingUi.h"

using namespace talvik::gui;

namespace {

QString folder;
bool ok = true;

void Save(QWidget* window, const QString& name, bool titleBar = true) {
    window->ensurePolished();
    // The job windows have sized themselves to the screen; adjustSize would keep a window within
    // two thirds of it.
    if (!window->testAttribute(Qt::WA_Resized)) window->adjustSize();
    const QPixmap content = window->grab();
    QImage image = content.toImage();
    if (titleBar) {
        const int bar = 30;
        image = QImage(content.width() + 2, content.height() + bar + 1, QImage::Format_ARGB32);
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
    }
    const bool saved = image.save(folder + '/' + name);
    qInfo("%s %s/%s", saved ? "wrote" : "could not write", qPrintable(folder), qPrintable(name));
    ok &= saved;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create("Fusion"));
    QApplication::setFont(QFont("DejaVu Sans", 9));
    InstallDutchTranslations(app);
    folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString(".");
    QDir().mkpath(folder);
    const std::string job = "\"/home/landmeter/projecten/dorpsstraat/net1.";
    {
        test::Harness h;
        h.Start("0 " + job + "prj\" " + job + "idx\"", false);
        Save(h.app->Splash(), "splash.png", false);
        h.WaitForDialog();
        h.Type("txtSelCode1", "K1");
        h.Type("txtSelCode2", "K2");
        h.Type("txtSelCode3", "GR");
        h.app->Export()->ProgressLabel()->setText("Opslaan Coördinaten: 10");
        h.app->Context().ui.ProgressAmount(62, 100);
        Save(h.app->Export(), "export-dialog.png");
        QPointer<AboutWindow> about;
        Save(ShowAbout(about, h.app->Export()), "about.png");
        delete about;
    }
    {
        test::Harness h;
        h.Start("1 " + job + "cor\" \"/home/landmeter/projecten/dorpsstraat/korvu.idx\"");
        h.Type("txtKVLayer", "GRONDSLAG");
        h.Type("txtKVCode", "GR");
        Save(h.app->Import(), "import-dialog.png");
        h.app->Context().ui.Progress("Inlezen KORVU Co\xF6rdinaten: 118");
        h.app->Context().ui.ProgressAmount(7, 10);
        Save(h.app->Import(), "import-progress.png");
    }
    {
        // The shift report over a drawing where 2001 lay 6 cm east, 1002 1 mm south, PM17
        // was missing and 1003 is not adjusted.
        test::Harness h;
        h.CopyExamples({"net1.cor"});
        std::string old = talvik::testing::ReadBytes(test::Harness::Source() / "tests" / "cli" /
                                                     "data" / "back.idx");
        old.replace(old.find("155087.1234"), 11, "155087.1834");
        old.replace(old.find("463210.9870"), 11, "463210.9860");
        const std::size_t pm17 = old.find("    6, \"PM17\"");
        old.replace(pm17, old.find("END POINTS") - pm17,
                    "    6, \"1003\", 154870.310,  463188.020,  10.550,  \"GR\", 0;\r\n  ");
        talvik::testing::WriteBytes(h.Path("korvu.idx"), old);
        h.Start("1 \"" + h.Path("net1.cor") + "\" \"" + h.Path("korvu.idx") + "\"");
        h.Type("txtKVLayer", "GRONDSLAG");
        h.Type("txtKVCode", "GR");
        h.Click("cmdStart");
        if (h.Shifts()) {
            h.Shifts()->resize(760, 360);
            Save(h.Shifts(), "shift-report.png");
        }
    }
    {
        // The check of the example with one blunder, its finding chosen.
        talvik::ExportOptions options;
        options.Fieldfile = (test::Harness::Source() / "examples" / "net2.fld").string();
        options.IdexFile = (test::Harness::Source() / "examples" / "net1.idx").string();
        options.SelCode[1] = "K";
        talvik::testing::RecordingUi ui;
        if (const std::optional<talvik::CheckReport> report = talvik::CheckFiles(options, ui)) {
            CheckWindow window(*report);
            window.resize(900, 540);
            window.show();
            if (window.Findings()->rowCount() > 0) window.Findings()->selectRow(0);
            QApplication::processEvents();
            Save(&window, "check-window.png");
        } else {
            ok = false;
        }
    }
    {
        // Qt's own parts in Dutch: the overwrite question and the file prompt.
        QMessageBox box;
        ConfigureMessageBox(box, MakeMessageBoxSetup("KORVU Project bestaat reeds! Oude project "
                                                     "verwijderen?",
                                                     talvik::Buttons::OkCancel, talvik::Icon::None,
                                                     talvik::kAppTitle));
        box.show();
        Save(&box, "overwrite-question.png");
        QTemporaryDir survey(QDir::tempPath() + "/dorpsstraat-XXXXXX");
        for (const char* name : {"net1.fld", "net1.idx", "net1.cor"})
            QFile::copy(QStringLiteral(TALVIK_EXAMPLES_DIR "/") + name, survey.filePath(name));
        QFileDialog dialog;
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        ConfigureFileDialog(
            dialog, MakeFileDialogSetup({survey.path().toStdString(), "Kavrin IDEX file", "",
                                         "Kavrin IDEX Files|*.idx|"}));
        dialog.show();
        QTest::qWait(500);  // the folder is listed in the background
        Save(&dialog, "file-prompt.png");
    }
    for (const auto& [line, name] : {std::pair{"/KAVRIN", "registration-message.png"},
                                     {"0 no quotes", "old-host-message.png"}}) {
        test::Harness h;
        h.InstallHost("5.0");
        h.InstallHost("6.0");
        h.Start(line);
        for (const MessageBoxSetup& message : h.messages) {
            QMessageBox box;
            ConfigureMessageBox(box, message);
            box.show();
            Save(&box, name);
        }
    }
    return ok ? 0 : 1;
}
