#pragma once

#include "printing/Report.h"

// Where a composed report goes: the preview window or a printer.
namespace Report {

// Prints the report as one job on `stampante` (invalid: the system's default). Every failure is
// told to the user; false then, and when the user cancelled the file choice of the PDF printer.
bool StampaSu(const Documento& documento, const Stampante& stampante, const QString& titolo);

// Produces the report now: the preview window (AnteprimaReport, whose "Stampa" prints on the
// request's printer; the services' preview in its place when set), or straight to the printer (the built-in
// PDF printer asks where to save). Every failure is told to the user; false then, and when the user cancelled
// the file choice.
bool Esegui(const Richiesta& richiesta);

} // namespace Report
