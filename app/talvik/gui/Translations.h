#pragma once
// The program speaks Dutch whatever the system's language: the standard buttons and prompts
// that Qt draws itself (OK/Annuleren, the file prompt's labels) come from Qt's own Dutch
// translations, which are loaded at start.

class QCoreApplication;

namespace talvik::gui {

// Installs Qt's Dutch base translations into the application and makes Dutch the default
// locale of the widgets. False when the translation file could not be found; the program then
// runs with Qt's English texts for those parts.
bool InstallDutchTranslations(QCoreApplication& app);

}  // namespace talvik::gui
