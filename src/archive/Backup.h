#pragma once

#include "platform/Messaggi.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <functional>

class LavoroInSottofondo;
class QObject;

// The automatic backup at the main window's load, when switched on in the settings: the copy,
// owned by `proprietario` and not yet started, to run on a thread of its own. nullptr when none is
// due (switched off, no settings row, an archive on a network share).
LavoroInSottofondo* PreparaSalvataggioAutomatico(const QString& archivio, QObject* proprietario = nullptr);

// Dated backup copies, restore and compaction of an archive. The procedures take paths, so the
// selection window and the settings window share them; the interactive ones ask and say what the
// program always asked and said, and answer whether the work was done.
struct Sessione;

namespace Backup {

// "ddMMyy-" followed by the archive file name: one backup per archive and day.
QString NomeBackup(const QDate& giorno, const QString& nomeArchivio);
// The date a backup name starts with ("ddMMyy"; the century that puts it no later than this year),
// or an invalid date.
QDate DataDaNomeBackup(const QString& nomeFile);
// The same as a "dd/MM/yyyy" text, or "" (the date box beside the backup list).
QString DataBackup(const QString& nomeFile);

// Today's backup file of `archivio` in `cartellaBackup`.
QString DestinazioneBackup(const QString& archivio, const QString& cartellaBackup);
// Backs `archivio` up into `destinazione`, on any thread: a snapshot taken in steps while other
// instances keep working, checked page by page (a damaged archive is never backed up, 3049),
// compacted when it holds much free space, and given its name only once complete, replacing a
// backup of the same day. The folder is created when missing. Throws ErroreArchivio with an
// Italian reason; a failed or stopped copy (3059) leaves no file behind.
void CopiaControllata(const QString& archivio, const QString& destinazione,
    const std::function<bool(int percento)>& avanzamento = {});
// Today's backup of `archivio` in `cartellaBackup`, on the calling thread. False with the reason
// when no backup was made.
bool CopiaArchivio(const QString& archivio, const QString& cartellaBackup, QString* errore = nullptr);
// The same into the session's backup folder (the default one when it has none), silently.
bool CopiaArchivio(const Sessione& sessione);
// Today's backup of `archivio` as a work for a thread of its own, owned by `proprietario`, not
// yet started.
LavoroInSottofondo* PreparaCopia(
    const QString& archivio, const QString& cartellaBackup, QObject* proprietario);

// The "backup now" command: asks, backs up into `cartellaBackup` with a progress window (the
// copy runs on a thread of its own, the windows stay live), says "PROCEDURA TERMINATA" or why it
// failed. True when a backup was made.
bool EseguiBackup(const QString& archivio, const QString& cartellaBackup);

// The "Verifica Archivio" command: reads every page of the archive with a progress window and
// says whether it is whole. True when it is.
bool VerificaArchivio(const QString& archivio);

// The backup names ("*.mdb") of a folder, newest date first; names without a date come last.
QStringList OrdinaBackup(const QStringList& nomi);
// The backup list of a folder, at most 1000 names, newest first. A missing or empty folder says
// "Attenzione percorso non corretto" and gives an empty list.
QStringList ElencoBackup(const QString& cartella);

// The backup settings of an archive's Configurazioni row.
struct ImpostazioniBackup
{
    bool riga = false; // the archive has a settings row
    QString percorso; // the backup folder, the default when none is stored
    QString memorizzato; // the folder as stored: "" means each computer's default
    bool automatico = false;
};
ImpostazioniBackup LeggiImpostazioniBackup(const QString& archivio);
// Stores the backup folder and the automatic backup switch in the row (made when missing).
bool MemorizzaPercorsoBackup(const QString& archivio, const QString& percorsoBackup, bool automatico);

// The restore itself, without questions: checks the backup, leaves a safety copy of the archive
// as "copia.mdb" in `cartellaCopia`, copies the backup beside the archive, checks the copy and
// puts it in the archive's place in one rename. Throws ErroreArchivio: 70 when another instance
// uses the archive, 3049 when the backup is not a valid archive; the archive is then unchanged.
void RipristinaArchivio(const QString& archivio, const QString& fileBackup, const QString& cartellaCopia);
// The restore command: the two confirmations, the checks and the messages; the restored archive
// then gets any table or field it lacks. Says nothing on success (the caller reopens its windows).
bool RipristinaBackup(
    const QString& archivio, const QString& cartellaBackup, const QString& nomeBackup, const QString& cartellaCopia);

// Compacts the archive in place: a compacted copy beside it, checked, then one rename. Throws
// ErroreArchivio 3196 when another instance uses the archive (nothing changes then).
void CompattaArchivio(const QString& archivio);
// The compaction command: "confermo", the question, the work, "Ottimizzazione conclusa" with
// `iconaFine` (the selection window shows the information icon, the settings window none).
bool OttimizzaArchivio(const QString& archivio, Messaggi::Icona iconaFine);

} // namespace Backup
