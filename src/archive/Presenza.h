#pragma once

#include <QString>

#include <memory>

class Archivio;

// Which program instances use an archive. No connection stays open between operations, so the
// archive file itself cannot tell; a small file beside it can: every instance that works on the
// archive (from the selection window's OK to "Disconnetti" or the program end) holds a shared
// lock on "<archive>.presenze", and compaction and restore replace the archive only when they can
// take that lock exclusively. The locks are the system's record locks, which work on local disks
// and on network file systems and vanish with the process, so a crashed instance leaves nothing
// behind. They belong to the process: this instance's own presence never blocks its own
// maintenance. A server archive has the same, as an advisory lock of its database.
namespace Presenza {

enum class Stato {
    Ottenuta,
    Occupata, // another instance holds the lock the other way
    NonDisponibile, // the presence file cannot be made (read-only folder): nothing can be checked
};

QString FilePresenza(const QString& archivio);
// On a server the presence is this advisory lock of the database: shared while an instance uses
// the archive, exclusive for maintenance; it goes with the connection as the file lock goes with
// the process. One key for the whole database, which holds one archive.
constexpr qint64 ChiaveServer = 0x4341525441564941; // "CARTAVIA"

// Marks this instance as a user of `archivio` (dropping a previous one). Occupata while another
// instance is compacting or restoring it.
Stato Inizia(const QString& archivio);
// Gives the archive up; also done at the program end.
void Termina();
// The archive this instance uses, or "".
QString ArchivioInUso();

// Held for the length of a compaction or restore: exclusive use of the archive among the program
// instances. When this instance uses the same archive, its presence comes back afterwards.
class Esclusiva
{
public:
    explicit Esclusiva(const QString& archivio);
    ~Esclusiva();
    Esclusiva(const Esclusiva&) = delete;
    Esclusiva& operator=(const Esclusiva&) = delete;

    Stato stato() const { return m_stato; }

private:
    Stato m_stato = Stato::NonDisponibile;
    int m_fd = -1; // own descriptor, when this instance does not use the archive
    bool m_conversione = false; // the instance's own presence was raised to exclusive
    std::unique_ptr<Archivio> m_server; // the connection holding a server archive's lock
    QString m_ripresa; // this instance's presence on the server, taken again at the end
};

} // namespace Presenza
