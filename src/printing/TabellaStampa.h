#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The work table of the generic report: one record per printed line, read in Indice order.
namespace TabellaStampa {

// One record of Stampa. Only Descrizione is written; IndiceRif and DescrizioneMemo stay empty.
struct RigaStampa
{
    qint64 Indice = 0; // the archive's counter: ascending is the reading order
    QString Descrizione;

    bool operator==(const RigaStampa&) const = default;
};

// Empties Stampa and writes `righe` into it in one transaction, so two programs printing at once
// never mix their lines. Returns the lines as written (with their Indice): the report prints
// these. False in `ok` (and nothing changed) when the archive step was skipped.
QList<RigaStampa> Scrivi(const QString& archivio, const QStringList& righe, bool* ok = nullptr);

} // namespace TabellaStampa
