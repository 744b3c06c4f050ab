#pragma once

#include <QString>

class LavoroInSottofondo;

// Starts `lavoro` (not started yet) and waits for its end behind a modal progress window with
// `testo` and "Annulla": window events keep running, so the program's windows repaint and the
// work can be stopped. Without a window system it just waits.
void AttendiLavoroConFinestra(LavoroInSottofondo& lavoro, const QString& testo);
