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
// selection window and the settings window share them. The commands of those windows ask their
// questions on the gui side (DialoghiBackup); the work here answers with an Esito, the text the
// user is told included.
struct Sessione;

namespace Backup {

// What a command did, and what the user is told of it: `testo` with `icona`, nothing when `testo`
// is "".
struct Esito
{
    bool riuscito = false;
    QString testo;
    Messaggi::Icona icona = Messaggi::NoIcon;
};

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

// The work of the "backup now" command: backs up into `cartellaBackup` with a progress window
// (the copy runs on a thread of its own, the windows stay live). "PROCEDURA TERMINATA", or why no
// backup was made.
Esito Salvataggio(const QString& archivio, const QString& cartellaBackup);

// The work of the "Verifica Archivio" command: reads every page of the archive with a progress
// window. Whether it is whole.
Esito Verifica(const QString& archivio);

// The backup names ("*.mdb") of a folder, newest date first; names without a date come last.
QStringList OrdinaBackup(const QStringList& nomi);
// The backup list of a folder, at most 1000 names, newest first. A missing or empty folder gives
// an empty list and the warning "Attenzione percorso non corretto" in `avviso`.
QStringList ElencoBackup(const QString& cartella, QString* avviso = nullptr);

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
// The work of the restore command once confirmed: the checks of folder and file, the restore,
// then any table or field the restored archive lacks. No text on success (the caller reopens its
// windows).
Esito Ripristino(const QString& archivio, const QString& cartellaBackup, const QString& nomeBackup,
    const QString& cartellaCopia);

// Compacts the archive in place: a compacted copy beside it, checked, then one rename. Throws
// ErroreArchivio 3196 when another instance uses the archive (nothing changes then).
void CompattaArchivio(const QString& archivio);
// The work of the compaction command once confirmed: "Ottimizzazione conclusa", or why not.
Esito Ottimizzazione(const QString& archivio);

} // namespace Backup
