#pragma once

class QApplication;

// Starts the windowed program: Italian translations, then the first window.
namespace Avvio {

void CaricaTraduzioni(QApplication& app);
int Esegui(QApplication& app);

} // namespace Avvio
