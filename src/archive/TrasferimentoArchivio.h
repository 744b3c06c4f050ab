#pragma once

#include <QList>
#include <QPair>
#include <QString>

#include <functional>

// Copies a whole archive into a new one, between the two engines in either direction: a file
// onto a server (how a company moves its archive there), a server archive into a file (its
// backups), or like to like. Every table, row and key as they are; all or nothing.
namespace TrasferimentoArchivio {

// Rows copied per table, in copy order.
using Righe = QList<QPair<QString, qint64>>;
// Progress 0-100; false stops the copy (it then throws error 3059 and leaves nothing behind).
using Avanzamento = std::function<bool(int percento)>;

// `destinazione` must hold no archive: a file that does not exist, or a server database without
// the program's tables. The source is read in one snapshot while others may go on writing. A
// file appears at its name only when complete; on a server the tables made for the copy are
// taken away again when it fails. Throws ErroreArchivio.
Righe Copia(const QString& sorgente, const QString& destinazione, const Avanzamento& avanzamento = {});

// Puts the rows of the archive file `sorgente` in place of every row of the server archive
// `destinazione`, in one transaction: the restore of a backup onto a server. Throws
// ErroreArchivio; the server archive is then unchanged.
Righe Sostituisci(const QString& sorgente, const QString& destinazione, const Avanzamento& avanzamento = {});

} // namespace TrasferimentoArchivio
