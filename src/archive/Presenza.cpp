#include "Presenza.h"

#include "archive/Archivio.h"
#include "archive/IndirizzoServer.h"

#include <memory>

#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace Presenza {

namespace {

#ifdef Q_OS_UNIX
struct InUso
{
    int fd = -1;
    QString archivio;
    dev_t dispositivo = 0;
    ino_t inode = 0;
};

InUso& inUso()
{
    static InUso u;
    return u;
}

// Whole-file record lock without waiting. False when another process holds a conflicting one.
bool blocca(int fd, short tipo, int* errore)
{
    struct flock l = {};
    l.l_type = tipo;
    l.l_whence = SEEK_SET;
    l.l_start = 0;
    l.l_len = 0;
    if (::fcntl(fd, F_SETLK, &l) == 0)
        return true;
    if (errore)
        *errore = errno;
    return false;
}

bool conflitto(int errore)
{
    return errore == EAGAIN || errore == EACCES;
}

// Opened for writing when possible, since an exclusive lock needs it; created readable and
// writable by everyone, so instances run by different users can all take their lock.
int apri(const QString& percorso)
{
    const QByteArray nome = QFile::encodeName(percorso);
    int fd = ::open(nome.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
        ::fchmod(fd, 0666);
        return fd;
    }
    if (errno == EEXIST) {
        fd = ::open(nome.constData(), O_RDWR | O_CLOEXEC);
        if (fd < 0)
            fd = ::open(nome.constData(), O_RDONLY | O_CLOEXEC);
    }
    return fd;
}

// The same presence file as the one this instance holds. Compared by identity, without opening
// it: closing any descriptor of a file drops every lock the process holds on it.
bool eQuelloInUso(const QString& percorso)
{
    const InUso& u = inUso();
    if (u.fd < 0)
        return false;
    struct stat st = {};
    if (::stat(QFile::encodeName(percorso).constData(), &st) != 0)
        return false;
    return st.st_dev == u.dispositivo && st.st_ino == u.inode;
}
#endif

struct PresenzaServer
{
    QString archivio;
    std::unique_ptr<Archivio> connessione;
};

PresenzaServer& presenzaServer()
{
    static PresenzaServer p;
    return p;
}

bool bloccoServer(Archivio& db, bool esclusivo)
{
    return db
        .valore(esclusivo ? QStringLiteral("SELECT pg_try_advisory_lock(?)")
                          : QStringLiteral("SELECT pg_try_advisory_lock_shared(?)"),
            { ChiaveServer })
        .toBool();
}

// Gives the lock back before the connection goes: a server notices a closed connection a moment
// later, and another copy asking meanwhile would find the archive still in use.
void lasciaServer(std::unique_ptr<Archivio>& connessione, bool esclusivo)
{
    if (!connessione)
        return;
    try {
        connessione->valore(esclusivo ? QStringLiteral("SELECT pg_advisory_unlock(?)")
                                      : QStringLiteral("SELECT pg_advisory_unlock_shared(?)"),
            { ChiaveServer });
    } catch (const ErroreArchivio&) {
        // The connection is gone already, and the lock with it.
    }
    connessione.reset();
}

Stato iniziaSuServer(const QString& archivio)
{
    try {
        auto db = std::make_unique<Archivio>(archivio);
        if (!bloccoServer(*db, false))
            return Stato::Occupata;
        presenzaServer() = { archivio, std::move(db) };
        return Stato::Ottenuta;
    } catch (const ErroreArchivio&) {
        return Stato::NonDisponibile;
    }
}

} // namespace

QString FilePresenza(const QString& archivio)
{
    return QFileInfo(archivio).absoluteFilePath() + QStringLiteral(".presenze");
}

Stato Inizia(const QString& archivio)
{
    if (IndirizzoServer::E(archivio)) {
        if (presenzaServer().connessione && presenzaServer().archivio == archivio)
            return Stato::Ottenuta;
        Termina();
        return iniziaSuServer(archivio);
    }
#ifdef Q_OS_UNIX
    const QString file = FilePresenza(archivio);
    if (eQuelloInUso(file)) {
        inUso().archivio = archivio;
        return Stato::Ottenuta;
    }
    Termina();
    const int fd = apri(file);
    if (fd < 0)
        return Stato::NonDisponibile;
    int errore = 0;
    if (!blocca(fd, F_RDLCK, &errore)) {
        ::close(fd);
        return conflitto(errore) ? Stato::Occupata : Stato::NonDisponibile;
    }
    struct stat st = {};
    ::fstat(fd, &st);
    inUso() = { fd, archivio, st.st_dev, st.st_ino };
    return Stato::Ottenuta;
#else
    Q_UNUSED(archivio);
    return Stato::NonDisponibile;
#endif
}

void Termina()
{
    lasciaServer(presenzaServer().connessione, false);
    presenzaServer() = PresenzaServer();
#ifdef Q_OS_UNIX
    InUso& u = inUso();
    if (u.fd >= 0)
        ::close(u.fd);
    u = InUso();
#endif
}

QString ArchivioInUso()
{
    if (presenzaServer().connessione)
        return presenzaServer().archivio;
#ifdef Q_OS_UNIX
    return inUso().archivio;
#else
    return {};
#endif
}

Esclusiva::Esclusiva(const QString& archivio)
{
    if (IndirizzoServer::E(archivio)) {
        // This instance's own presence steps aside for the length of the work, and comes back.
        if (presenzaServer().archivio == archivio && presenzaServer().connessione) {
            m_ripresa = archivio;
            lasciaServer(presenzaServer().connessione, false);
            presenzaServer() = PresenzaServer();
        }
        try {
            m_server = std::make_unique<Archivio>(archivio);
            m_stato = bloccoServer(*m_server, true) ? Stato::Ottenuta : Stato::Occupata;
        } catch (const ErroreArchivio&) {
            m_stato = Stato::NonDisponibile;
        }
        if (m_stato != Stato::Ottenuta)
            m_server.reset();
        return;
    }
#ifdef Q_OS_UNIX
    const QString file = FilePresenza(archivio);
    int errore = 0;
    if (eQuelloInUso(file)) {
        // Raising the process's own lock: it stays shared when another instance is there too.
        if (blocca(inUso().fd, F_WRLCK, &errore)) {
            m_conversione = true;
            m_stato = Stato::Ottenuta;
        } else {
            m_stato = conflitto(errore) ? Stato::Occupata : Stato::NonDisponibile;
        }
        return;
    }
    m_fd = apri(file);
    if (m_fd < 0) {
        m_stato = Stato::NonDisponibile;
        return;
    }
    if (blocca(m_fd, F_WRLCK, &errore)) {
        m_stato = Stato::Ottenuta;
        return;
    }
    m_stato = conflitto(errore) ? Stato::Occupata : Stato::NonDisponibile;
    ::close(m_fd);
    m_fd = -1;
#else
    Q_UNUSED(archivio);
#endif
}

Esclusiva::~Esclusiva()
{
    lasciaServer(m_server, true);
    if (!m_ripresa.isEmpty())
        iniziaSuServer(m_ripresa);
#ifdef Q_OS_UNIX
    if (m_conversione && inUso().fd >= 0)
        blocca(inUso().fd, F_RDLCK, nullptr);
    if (m_fd >= 0)
        ::close(m_fd);
#endif
}

} // namespace Presenza
