#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

// Named settings: per-archive choices in the Variabili table, machine values in profile files.
namespace FunzioniPerVariabili {

// False when the value could not be stored (the archive stayed unreachable).
bool ScriviVariabile(const QString& archivio, const QString& nome, const QString& valore);
bool ScriviFlag(const QString& archivio, const QString& nome, bool valore);
// "" when the name was never written or the archive cannot be read.
QString LeggiVariabile(const QString& archivio, const QString& nome);
// Several names read in one opening of the archive: each name asked -> its text, "" for a
// name never written. Empty when the archive cannot be read.
QHash<QString, QString> LeggiVariabili(const QString& archivio, const QStringList& nomi);
// Yes when a row exists and its value read as a number is not 0.
bool LeggiFlag(const QString& archivio, const QString& nome);

bool ScriviValoreIni(
    const QString& file, const QString& sezione, const QString& chiave, const QString& valore);
QString LeggiValoreIni(const QString& file, const QString& sezione, const QString& chiave);

} // namespace FunzioniPerVariabili
