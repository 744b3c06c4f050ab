#pragma once

#include <QString>

// Named settings: per-archive choices in the Variabili table, machine values in profile files.
namespace FunzioniPerVariabili {

// False when the value could not be stored (the archive stayed unreachable).
bool ScriviVariabile(const QString& nome, const QString& valore);
bool ScriviFlag(const QString& nome, bool valore);
// "" when the name was never written or the archive cannot be read.
QString LeggiVariabile(const QString& nome);
// Yes when a row exists and its value read as a number is not 0.
bool LeggiFlag(const QString& nome);

bool ScriviValoreIni(const QString& file, const QString& sezione, const QString& chiave, const QString& valore);
QString LeggiValoreIni(const QString& file, const QString& sezione, const QString& chiave);

} // namespace FunzioniPerVariabili
