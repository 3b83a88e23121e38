#pragma once
// The desktop program with message boxes and file prompts answered by the test, and the user's
// actions on the open dialog in the core's bytes (the harness of support/DialogScenarios.h).

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>
#include <filesystem>

#include "gui/Application.h"
#include "gui/ExportWindow.h"
#include "gui/ImportWindow.h"
#include "gui/QtFilePrompt.h"
#include "gui/QtUserInterface.h"
#include "gui/ScreenText.h"
#include "gui/SplashWindow.h"
#include "gui/Widgets.h"
#include "support/DialogScenarios.h"

// A scenario of support/DialogScenarios.h passes when it names no fault.
#define PASSES(scenario) \
    if (const std::string faults = scenario; !faults.empty()) QFAIL(faults.c_str())

namespace talvik::gui::test {

class Harness : public testing::HarnessBase<Harness, MessageBoxSetup, FileDialogSetup> {
    QtUserInterface ui_{[this](const MessageBoxSetup& setup) { return Shown(setup); }};
    QtFilePrompt prompt_{[this](const FileDialogSetup& setup) {
        return realPrompt ? ShowFileDialog(setup, Window()) : PathText(Asked(setup));
    }};

  public:
    std::unique_ptr<Application> app;
    bool realPrompt = false;  // the file prompts show the real dialog, for the test to drive

    static std::filesystem::path Source() { return TALVIK_SOURCE_DIR; }
    // The messages as RecordingUi keeps them, their lines apart.
    std::vector<std::string> Messages() const {
        std::vector<std::string> texts;
        for (const MessageBoxSetup& m : messages) {
            const char* icon = m.icon == QMessageBox::Information ? "i "
                               : m.icon == QMessageBox::Critical  ? "! "
                                                                  : "";
            texts.push_back((m.buttons & QMessageBox::Cancel ? "? " : "") + std::string(icon) +
                            ModelText(m.text) +
                            (m.title == "Talvik" ? "" : " @" + ModelText(m.title)));
        }
        return texts;
    }

    // Starts with no opening delay; `wait`: runs events until the dialog shows or the job ends.
    bool Start(const std::string& commandLine, bool wait = true) {
        app.reset();
        finished = false;
        app = std::make_unique<Application>(
            AppServices{ui_, prompt_, settings, registry, launcher, "/opt/talvik/talvik", 0});
        QObject::connect(app.get(), &Application::finished, [this](int code) { Ended(code); });
        const bool opening = app->Start(commandLine);
        if (opening && wait) WaitForDialog();
        return opening;
    }
    bool WaitForDialog() {
        return QTest::qWaitFor([this] { return finished || Window()->isVisible(); }, 10000);
    }
    bool SplashVisible() const { return app->Splash()->isVisible(); }
    bool DialogVisible() const { return Window()->isVisible(); }

    QWidget* Window() const {
        return app->Export() ? static_cast<QWidget*>(app->Export()) : app->Import();
    }
    template <typename T = QLineEdit>
    T* Find(const char* name) const {
        return Window()->findChild<T*>(QString::fromLatin1(name));
    }
    // A box's text (a path as the file system names it), or a label's or button's caption.
    std::string Text(const char* name) const {
        if (auto* label = Find<QLabel>(name)) return ModelText(label->text());
        const QString text = Find(name)->text();
        return IsPath(name) ? ModelPath(text) : ModelText(text);
    }
    void Type(const char* box, const std::string& text) {  // replaces the box's text
        Find(box)->selectAll();
        QTest::keyClick(Find(box), Qt::Key_Delete);
        QTest::keyClicks(Find(box), IsPath(box) ? PathText(text) : BoxText(text));
    }
    void Click(const char* button) {
        QTest::mouseClick(Find<QAbstractButton>(button), Qt::LeftButton);
    }
    bool Checked(const char* button) const { return Find<QAbstractButton>(button)->isChecked(); }
    bool Enabled(const char* name) const { return Find<QWidget>(name)->isEnabled(); }
    void Arrow(bool up) {
        auto* arrows = Find<UpDownArrows>("UpDown1");
        QTest::mouseClick(up ? arrows->UpButton() : arrows->DownButton(), Qt::LeftButton);
    }
    void Close() { Window()->close(); }

    // The shift report after an import: shown, its summary, its rows as shown (cells apart by
    // "|", "!" before a row drawn in red), and closing it.
    ShiftWindow* Shifts() const { return app->Import() ? app->Import()->Shifts() : nullptr; }
    bool ShiftsVisible() const { return Shifts() && Shifts()->isVisible(); }
    std::string ShiftSummary() const { return ModelText(Shifts()->Summary()->text()); }
    std::vector<std::string> ShiftLines() const {
        std::vector<std::string> lines;
        const QTableWidget* table = Shifts()->Table();
        for (int r = 0; r < table->rowCount(); ++r) {
            std::string line = table->item(r, 0)->foreground().color() == Qt::red ? "!" : "";
            for (int c = 0; c < table->columnCount(); ++c)
                line += (c ? "|" : "") + ModelText(table->item(r, c)->text());
            lines.push_back(line);
        }
        return lines;
    }
    void CloseShifts() { Shifts()->close(); }

  private:
    static bool IsPath(const char* name) { return std::string_view(name).ends_with("file"); }
};

}  // namespace talvik::gui::test
