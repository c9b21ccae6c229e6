#pragma once

#include <optional>

class QCoreApplication;

// What the program does before and around its window.
namespace startup {

// Handles --help and --version, and refuses anything else, with no display
// needed. Returns the exit code when the command line asked for no window.
std::optional<int> HandleCommandLine(int argc, char* argv[]);

// Loads Qt's own translations for the system's UI languages, so the standard
// buttons speak the user's language ("确定" on a Chinese system). The
// program's own texts are Chinese everywhere and are not translated.
void InstallQtTranslations(QCoreApplication& app);

}  // namespace startup
