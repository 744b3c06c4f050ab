#pragma once

#include <QString>

// Archives damaged the way a disk or a network copy damages them, for the tests of what meets it.
namespace ArchivioDanneggiato {

// Fills `archivio`'s TabellaMovimenti with `righe` rows of month `mese`/`anno` (employee 1), each
// with a long note, so the table spans many pages.
void RiempiMovimenti(const QString& archivio, int righe, const QString& mese, const QString& anno);

// Overwrites one page in the middle of the table rows of `archivio` (not the first or last one
// of any table): opening the archive does not meet it, reading those rows does. False when the
// file holds no such page.
bool DanneggiaPaginaCentrale(const QString& archivio);

} // namespace ArchivioDanneggiato
