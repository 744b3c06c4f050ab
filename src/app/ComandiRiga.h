#pragma once

#include <QStringList>

// The program's command-line options, which run without a display.
namespace ComandiRiga {

// True for every command line but none, `--apri-archivio` and the toolkit's own options: a wrong
// option is reported without a display.
bool RichiedeSoloConsole(int argc, char* argv[]);
// True for a command that lays text out on pages (the sheets' PDF): it runs on a graphical
// application of the offscreen platform, still without a display.
bool ImpaginaTesti(int argc, char* argv[]);
// Runs the command in `argomenti` (argv with the program name first); the exit code. A command
// line it cannot run prints what is wrong and the usage on stderr and returns 2.
int Esegui(const QStringList& argomenti);
// True when what is left of the command line is exactly `--apri-archivio PERCORSO`.
bool ApriArchivioValido(const QStringList& argomenti, QString* percorso);

} // namespace ComandiRiga
