#include "DialoghiBackup.h"

#include "archive/Backup.h"

#include <QCursor>
#include <QGuiApplication>

namespace DialoghiBackup {

namespace {

class CursoreOccupato
{
public:
    CursoreOccupato()
    {
        if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
            QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
            m_attivo = true;
        }
    }
    ~CursoreOccupato()
    {
        if (m_attivo)
            QGuiApplication::restoreOverrideCursor();
    }
    CursoreOccupato(const CursoreOccupato&) = delete;
    CursoreOccupato& operator=(const CursoreOccupato&) = delete;

private:
    bool m_attivo = false;
};

// The busy cursor is gone before the message comes up.
template <typename Lavoro> Backup::Esito conCursoreOccupato(Lavoro&& lavoro)
{
    CursoreOccupato cursore;
    return lavoro();
}

bool mostra(const Backup::Esito& esito)
{
    if (!esito.testo.isEmpty())
        messaggi().Messaggio(esito.testo, Messaggi::Ok, esito.icona);
    return esito.riuscito;
}

} // namespace

bool EseguiBackup(const QString& archivio, const QString& cartellaBackup)
{
    if (messaggi().Messaggio(QStringLiteral("ESEGUO IL SALVATAGGIO ARCHIVIO SU HARD DISK?"),
            Messaggi::Yes | Messaggi::No, Messaggi::Information)
        != Messaggi::Yes)
        return false;
    return mostra(Backup::Salvataggio(archivio, cartellaBackup));
}

bool VerificaArchivio(const QString& archivio)
{
    return mostra(Backup::Verifica(archivio));
}

QStringList ElencoBackup(const QString& cartella)
{
    QString avviso;
    const QStringList elenco = Backup::ElencoBackup(cartella, &avviso);
    if (!avviso.isEmpty())
        messaggi().Messaggio(avviso, Messaggi::Ok, Messaggi::Critical);
    return elenco;
}

bool RipristinaBackup(const QString& archivio, const QString& cartellaBackup, const QString& nomeBackup,
    const QString& cartellaCopia)
{
    if (messaggi().Messaggio(
            QStringLiteral(
                "Attenzione: un errato ripristino potrebbe causare la perdita di tutti i dati, continuare?"),
            Messaggi::Yes | Messaggi::No, Messaggi::Question)
        != Messaggi::Yes)
        return false;
    if (messaggi()
            .InputBox(QStringLiteral("Confermare l'operazione di ripristino archivio digitando: SI"))
            .toUpper()
        != QLatin1String("SI"))
        return false;
    return mostra(conCursoreOccupato(
        [&] { return Backup::Ripristino(archivio, cartellaBackup, nomeBackup, cartellaCopia); }));
}

bool OttimizzaArchivio(const QString& archivio, Messaggi::Icona iconaFine)
{
    if (messaggi().InputBox(QStringLiteral("PER EFFETTUARE L'OPERAZIONE DIGITARE: confermo"))
        != QLatin1String("confermo"))
        return false;
    if (messaggi().Messaggio(QStringLiteral("CONFERMI L'OTTIMIZZAZIONE DEL DATABASE"),
            Messaggi::Yes | Messaggi::No, Messaggi::Question)
        != Messaggi::Yes)
        return false;
    Backup::Esito esito = conCursoreOccupato([&] { return Backup::Ottimizzazione(archivio); });
    if (esito.riuscito)
        esito.icona = iconaFine;
    return mostra(esito);
}

} // namespace DialoghiBackup
