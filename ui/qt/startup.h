#pragma once

#include <optional>

class QCoreApplication;

// What the program does before and around its window.
namespace startup {

// Handles --help and --version, and refuses anything else, with no display
// needed. Returns the exit code when the command line asked for no window.
std::optional<int> HandleCommandLine(int argc, char* argv[]);

// Until the window's toolkit has started: when it finds no display to open
// the window on, says so in one line and ends the program with exit code 1,
// where Qt would abort with advice to reinstall.
void ExplainWhenNoDisplay();
// The toolkit has started; Qt's messages go their usual way again.
void DisplayFound();

// Gives the program's windows the icon, at the sizes title bars, task bars
// and window switchers ask for, drawn from its one 16 x 16 design.
void SetWindowIcon();

// Says on stderr which package to install when no installed font can draw
// the button's caption; the window would show it as a box.
void WarnOfMissingFaces();

// Loads Qt's own translations for the system's UI languages, so the standard
// buttons speak the user's language ("确定" on a Chinese system). The
// program's own texts are Chinese everywhere and are not translated.
void InstallQtTranslations(QCoreApplication& app);

}  // namespace startup
