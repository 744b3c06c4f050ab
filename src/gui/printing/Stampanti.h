#pragma once

#include "gui/platform/ElencoStampanti.h"

#include <QString>

// The documents printer chosen once per archive (Configurazioni.prnDocs) and the PDF printer,
// kept in the session: the main window fills them at start; the printer window and the settings
// window refresh them; printing reads them.
struct Sessione;

namespace Stampanti {

// Reads prnDocs of the settings row into NomeStampanteDocumenti ("" without a row or a name).
void LeggiStampanteDocumenti(Sessione& sessione);
// Looks for an installed printer named exactly NomeStampanteDocumenti; when found it is kept
// in StampanteDocumenti. Callers keep the answer in StampanteDocumentiTrovata.
bool ImpostaStampante(Sessione& sessione);
// LeggiStampanteDocumenti, then ImpostaStampante with its answer kept in
// StampanteDocumentiTrovata: the documents printer as the archive names it now.
void RileggiStampanteDocumenti(Sessione& sessione);
// Looks for the installed printer named exactly "PDFCreator" and keeps it in StampantePdf.
bool TrovaStampantePdf(Sessione& sessione);

// The start-up sequence of the main window: stored name, documents printer, PDF printer.
// Answers whether the PDF printer is there (the main window then shows its PDF frame).
bool CaricaStampanti(Sessione& sessione);

// The stored name as the printer window shows it. `errore` receives the archive error number
// when it could not be read (0 otherwise); `nome` is left alone then.
bool LeggiNomeMemorizzato(const QString& archivio, QString& nome, int* errore = nullptr);
// Stores `nome` as prnDocs of the settings row, adding the row when the archive has none,
// then refreshes NomeStampanteDocumenti and StampanteDocumentiTrovata. On failure nothing is
// stored and `descrizione` says why.
bool MemorizzaStampanteDocumenti(Sessione& sessione, const QString& nome, QString* descrizione = nullptr);

} // namespace Stampanti
