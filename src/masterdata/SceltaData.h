#pragma once

#include <QString>

#include <functional>

class QWidget;

// Opens the calendar picker on `dataIniziale` (a dd/MM/yyyy text, or "" for today) and returns
// the date chosen as dd/MM/yyyy, or "" when the user cancels.
QString ScegliDataDaCalendario(QWidget* parent, const QString& dataIniziale);

// Tests answer in place of the modal calendar; an empty function goes back to the real one.
void ImpostaSceltaData(std::function<QString(QWidget*, const QString&)> scelta);
