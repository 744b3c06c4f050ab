#pragma once

#include <QString>

class QUrl;

// Small stand-ins for the host services the program was written against.
namespace Piattaforma {

// Ends the program at once (no further statements run in the real program), through the
// services' end. Callers must return right after calling it.
void TerminaProgramma();

// "CartellaProgrammi", "CartellaDocumenti" or "Desktop"; no trailing separator, "" when unknown.
QString CartellaSpeciale(const QString& nome);

// The shared folder outside the program folder ("C:\Rovello" on Windows).
QString CartellaCondivisa();
// The default backup folder ("c:\BackupCartavia\" on Windows), with a trailing separator.
QString CartellaBackupPredefinita();
// True for an archive on a network share: a "\\" prefix, or a network file system on Linux.
bool PercorsoDiRete(const QString& percorso);

// Opens a folder, document, mail address or web page with the desktop's handler.
bool ApriConShell(const QString& obiettivo);
// Hands a URL to the desktop (mail program, browser, file manager), through the services.
bool ApriUrl(const QUrl& url);

// Joins folder and name with the platform separator, never doubling it.
QString UnisciPercorso(const QString& cartella, const QString& nome);

} // namespace Piattaforma
