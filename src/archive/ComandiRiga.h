#pragma once

#include <QStringList>

// The program's command-line options, which run without a display.
namespace ComandiRiga {

bool RichiedeSoloConsole(int argc, char* argv[]);
// Runs the command in `argomenti` (argv with the program name first); the exit code.
int Esegui(const QStringList& argomenti);

} // namespace ComandiRiga
