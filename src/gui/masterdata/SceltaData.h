#pragma once

#include <QString>

class QWidget;

// Opens the calendar picker on `dataIniziale` (a dd/MM/yyyy text, or "" for today) and returns
// the date chosen as dd/MM/yyyy, or "" when the user cancels. The services' pick answers in its
// place when set. `archivio` and `saltaRicostruzione` as for F_Calendario.
QString ScegliDataDaCalendario(QWidget* parent, const QString& dataIniziale, const QString& archivio = {},
    bool* saltaRicostruzione = nullptr);
