#pragma once

class QApplication;
struct Sessione;

// Starts the windowed program: Italian translations, then the first window.
namespace Avvio {

void CaricaTraduzioni(QApplication& app);
// The selection window and what follows it work on `sessione`.
int Esegui(QApplication& app, Sessione& sessione);

} // namespace Avvio
