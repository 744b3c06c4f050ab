#pragma once

#include "platform/Messaggi.h"

#include <QString>
#include <QStringList>

// The backup commands of the selection window and the settings window as the user meets them:
// the questions before the work and the message after it. The work is Backup's.
namespace DialoghiBackup {

// "Backup now": asks, backs up into `cartellaBackup` with a progress window, says "PROCEDURA
// TERMINATA" or why it failed. True when a backup was made.
bool EseguiBackup(const QString& archivio, const QString& cartellaBackup);

// "Verifica Archivio": reads every page of the archive with a progress window and says whether
// it is whole. True when it is.
bool VerificaArchivio(const QString& archivio);

// The backup list of a folder, newest first; a missing or empty folder says "Attenzione percorso
// non corretto" and gives an empty list.
QStringList ElencoBackup(const QString& cartella);

// The restore command: the two confirmations, the work under a busy cursor, and the message when
// it failed. Says nothing on success (the caller reopens its windows).
bool RipristinaBackup(const QString& archivio, const QString& cartellaBackup, const QString& nomeBackup,
    const QString& cartellaCopia);

// The compaction command: "confermo", the question, the work under a busy cursor, "Ottimizzazione
// conclusa" with `iconaFine` (the selection window shows the information icon, the settings window
// none).
bool OttimizzaArchivio(const QString& archivio, Messaggi::Icona iconaFine);

} // namespace DialoghiBackup
