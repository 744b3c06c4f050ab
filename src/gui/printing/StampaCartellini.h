#pragma once

#include "platform/Stampante.h"
#include "printing/Cartellini.h"

class QWidget;

// "Stampa Cartellini" of the main window: the month's attendance sheets of the employees shown,
// read from the archive once and drawn sheet by sheet under a progress window that can stop them.
namespace StampaCartellini {

// Straight to `stampante` when `diretta` (the built-in PDF printer asks where to save), else the
// preview, whose "Stampa" prints there. Every failure is told in Italian; false then, and when
// the user stopped the drawing or cancelled the file choice.
bool Esegui(const Cartellini::Richiesta& richiesta, const Stampante& stampante, bool diretta,
    QWidget* genitore = nullptr);

} // namespace StampaCartellini
