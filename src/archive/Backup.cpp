#include "Backup.h"

#include "archive/IndirizzoServer.h"
#include "archive/Schema.h"
#include "archive/TrasferimentoArchivio.h"

#include "archive/Archivio.h"
#include "comune/Orologio.h"
#include "archive/CreazioneDB.h"
#include "archive/GestioneErrore.h"
#include "archive/LavoroInSottofondo.h"
#include "archive/Module1.h"
#include "archive/Percorsi.h"
#include "archive/Presenza.h"
#include "archive/Sessione.h"
#include "platform/Messaggi.h"
#include "platform/Piattaforma.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSqlQuery>
#include <QThread>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <system_error>

namespace Backup {

namespace {

// The number the program always gave a file held open by another user.
constexpr int PermessoNegato = 70;
// How long a compaction or restore waits for another instance's write to end.
constexpr int AttesaScritturaMs = 3000;
constexpr int MassimoBackupElencati = 1000;

std::filesystem::path percorsoFs(const QString& percorso)
{
#ifdef Q_OS_WIN
    return std::filesystem::path(percorso.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(percorso).toStdString());
#endif
}

// Puts `da` in the place of `a` in one step: `a` is either the old file or the new one, never
// missing. Both are in the same folder, so the rename never crosses file systems.
void rinomina(const QString& da, const QString& a)
{
    std::error_code ec;
    std::filesystem::rename(percorsoFs(da), percorsoFs(a), ec);
    if (ec)
        throw ErroreArchivio(CodiciErrore::Generico,
            QStringLiteral("Impossibile sostituire il file «%1»: %2")
                .arg(QDir::toNativeSeparators(a), QString::fromLocal8Bit(ec.message())));
}

// A plain copy finished under a temporary name, so an older `a` is replaced only by a whole file.
void copiaFile(const QString& da, const QString& a)
{
    const QString temporaneo = a + QStringLiteral(".tmp");
    QFile::remove(temporaneo);
    QFile sorgente(da);
    if (!sorgente.copy(temporaneo)) {
        QFile::remove(temporaneo);
        throw ErroreArchivio(CodiciErrore::Generico,
            QStringLiteral("Impossibile copiare «%1» in «%2»: %3")
                .arg(QDir::toNativeSeparators(da), QDir::toNativeSeparators(a), sorgente.errorString()));
    }
    try {
        rinomina(temporaneo, a);
    } catch (...) {
        QFile::remove(temporaneo);
        throw;
    }
}

ErroreArchivio backupNonValido(const QString& file)
{
    return { CodiciErrore::NonUnArchivio,
        QStringLiteral("Il file di backup «%1» non è un archivio valido oppure è danneggiato.\n"
                       "Ripristino non effettuato: l'archivio non è stato modificato.")
            .arg(QFileInfo(file).fileName()) };
}

ErroreArchivio ripristinoOccupato()
{
    return { PermessoNegato,
        QStringLiteral("L'archivio è in uso da parte di un'altra copia del programma.") };
}

ErroreArchivio ottimizzazioneOccupata()
{
    return { CodiciErrore::ArchivioInUso,
        QStringLiteral("L'archivio è in uso da parte di un'altra copia del programma.") };
}

// Throws unless the file opens as an archive and the engine finds every page of it whole.
void verificaArchivio(const QString& percorso, const Archivio::Avanzamento& avanzamento = {})
{
    Archivio::VerificaCompleta(percorso, avanzamento);
    Archivio db(percorso);
    db.valore(QStringLiteral("SELECT count(*) FROM sqlite_master"));
}

// The part `da`..`a` of a whole work's progress.
Archivio::Avanzamento tratto(const Archivio::Avanzamento& avanzamento, int da, int a)
{
    return [&avanzamento, da, a](
               int percento) { return !avanzamento || avanzamento(da + (a - da) * percento / 100); };
}

// A backup holding more free pages than this share is compacted before it takes its name.
constexpr int QuotaLiberaDaCompattare = 10;
// A copy's lock older than this is left from a computer that went off in the middle.
constexpr int DurataMassimaCopiaMs = 3600 * 1000;

// Takes the archive's write lock, so no other instance writes while its file is replaced; waits a
// little for a write in progress. Throws Bloccato when the archive stays busy.
void bloccaScritture(Archivio& db)
{
    QElapsedTimer attesa;
    attesa.start();
    for (;;) {
        try {
            db.inizia();
            return;
        } catch (const ErroreArchivio& e) {
            if (e.numero() != CodiciErrore::Bloccato || attesa.elapsed() > AttesaScritturaMs)
                throw;
            if (QCoreApplication::instance())
                QCoreApplication::processEvents();
            QThread::msleep(50);
        }
    }
}

int valoreFlag(const QVariant& v)
{
    const int n = v.toInt();
    return (n == 1 || n == -1) ? 1 : 0;
}

ImpostazioniBackup leggiImpostazioni(const QString& archivio)
{
    ImpostazioniBackup imp;
    imp.percorso = Piattaforma::CartellaBackupPredefinita();
    Archivio db(archivio);
    QSqlQuery q = db.esegui(QStringLiteral("SELECT PercorsoBackup, SalvataggioAutomatico FROM Configurazioni "
                                           "ORDER BY Indice LIMIT 1"));
    if (q.next()) {
        imp.riga = true;
        imp.memorizzato = q.value(0).toString();
        if (!imp.memorizzato.trimmed().isEmpty())
            imp.percorso = imp.memorizzato;
        imp.automatico = valoreFlag(q.value(1)) == 1;
    }
    return imp;
}

} // namespace

QString NomeBackup(const QDate& giorno, const QString& nomeArchivio)
{
    return giorno.toString(QStringLiteral("ddMMyy")) + QLatin1Char('-') + nomeArchivio;
}

QDate DataDaNomeBackup(const QString& nomeFile)
{
    if (nomeFile.size() < 6)
        return {};
    int parti[3] = { 0, 0, 0 };
    for (int i = 0; i < 6; ++i) {
        const QChar c = nomeFile.at(i);
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return {};
        parti[i / 2] = parti[i / 2] * 10 + (c.unicode() - '0');
    }
    // There are no backups from the future: a year after this one is from the last century.
    int anno = 2000 + parti[2];
    if (anno > Orologio::Oggi().year())
        anno -= 100;
    return QDate(anno, parti[1], parti[0]);
}

QString DataBackup(const QString& nomeFile)
{
    return Module1::FormattaData(DataDaNomeBackup(nomeFile));
}

QString DestinazioneBackup(const QString& archivio, const QString& cartellaBackup)
{
    // A server archive's backups are named after its database, as a file's after the file.
    const std::optional<IndirizzoServer> server = IndirizzoServer::Leggi(archivio);
    const QString nome = server ? server->database + QStringLiteral(".mdb") : QFileInfo(archivio).fileName();
    return QDir(cartellaBackup).absoluteFilePath(NomeBackup(Orologio::Oggi(), nome));
}

void CopiaControllata(
    const QString& archivio, const QString& destinazione, const Archivio::Avanzamento& avanzamento)
{
    const bool server = IndirizzoServer::E(archivio);
    if (archivio.trimmed().isEmpty()
        || (server ? !Archivio::Esiste(archivio) : !QFileInfo(archivio).isFile()))
        throw ErroreArchivio(CodiciErrore::FileNonTrovato,
            QStringLiteral("Impossibile trovare l'archivio «%1».").arg(QDir::toNativeSeparators(archivio)));
    const QString cartella = QFileInfo(destinazione).absolutePath();
    if (!QDir().mkpath(cartella))
        throw ErroreArchivio(CodiciErrore::PercorsoNonValido,
            QStringLiteral("Impossibile creare la cartella di backup «%1».")
                .arg(QDir::toNativeSeparators(cartella)));
    // One copy at a time into one backup file, in this program or another: the work files below
    // are then its own. A lock left by a copy whose program died is taken over.
    QLockFile blocco(destinazione + QStringLiteral(".lock"));
    blocco.setStaleLockTime(DurataMassimaCopiaMs);
    if (!blocco.tryLock(0))
        throw ErroreArchivio(CodiciErrore::FileInUso,
            QStringLiteral("Un altro salvataggio di questo archivio nella stessa cartella è in "
                           "corso: riprovare al suo termine."));
    // A copy cut off (the program ended, the computer went off) is only ever left under these
    // names, never under the backup's own; the next backup clears them.
    const QString temporaneo = destinazione + QStringLiteral(".tmp");
    const QString compatto = destinazione + QStringLiteral(".compatto");
    QFile::remove(temporaneo);
    QFile::remove(compatto);
    try {
        if (server) {
            // One snapshot of the server's tables into an ordinary archive file, which opens
            // anywhere without the server.
            TrasferimentoArchivio::Copia(archivio, temporaneo, tratto(avanzamento, 0, 90));
            Archivio::VerificaCompleta(temporaneo, tratto(avanzamento, 90, 99));
            rinomina(temporaneo, destinazione);
            if (avanzamento)
                avanzamento(100);
            return;
        }
        Archivio::CopiaIstantanea(archivio, temporaneo, tratto(avanzamento, 0, 60));
        // The copy is the archive page for page: checking it is checking the archive, without
        // holding the archive meanwhile. A damaged archive never replaces the day's backup.
        try {
            Archivio::VerificaCompleta(temporaneo, tratto(avanzamento, 60, 95));
        } catch (const ErroreArchivio& e) {
            if (e.numero() != CodiciErrore::NonUnArchivio)
                throw;
            Archivio::SegnaDanneggiato(archivio);
            throw ErroreArchivio(CodiciErrore::NonUnArchivio,
                QStringLiteral("L'archivio «%1» è danneggiato: il backup non è stato fatto e quelli "
                               "già presenti restano come sono.")
                    .arg(QFileInfo(archivio).fileName()));
        }
        qint64 pagine = 0;
        qint64 libere = 0;
        {
            Archivio copia(temporaneo);
            pagine = copia.valore(QStringLiteral("PRAGMA page_count")).toLongLong();
            libere = copia.valore(QStringLiteral("PRAGMA freelist_count")).toLongLong();
        }
        if (libere * 100 > pagine * QuotaLiberaDaCompattare) {
            Archivio::CopiaCompatta(temporaneo, compatto, tratto(avanzamento, 95, 99));
            rinomina(compatto, temporaneo);
        }
        rinomina(temporaneo, destinazione);
    } catch (const ErroreArchivio& e) {
        QFile::remove(temporaneo);
        QFile::remove(compatto);
        if ((e.numero() == CodiciErrore::DiscoPieno || e.numero() == CodiciErrore::ErroreDisco))
            throw ErroreArchivio(e.numero(),
                QStringLiteral("Impossibile scrivere la copia di backup nella cartella "
                               "«%1»: spazio su disco insufficiente o errore di "
                               "scrittura.")
                    .arg(QDir::toNativeSeparators(cartella)));
        throw;
    }
    if (avanzamento)
        avanzamento(100);
}

bool CopiaArchivio(const QString& archivio, const QString& cartellaBackup, QString* errore)
{
    if (cartellaBackup.trimmed().isEmpty()) {
        if (errore)
            *errore = QStringLiteral("Cartella di backup non indicata.");
        return false;
    }
    try {
        CopiaControllata(archivio, DestinazioneBackup(archivio, cartellaBackup));
    } catch (const ErroreArchivio& e) {
        if (errore)
            *errore = e.descrizione();
        return false;
    }
    return true;
}

bool CopiaArchivio(const Sessione& sessione)
{
    const QString cartella = sessione.CartellaBackup.isEmpty() ? Piattaforma::CartellaBackupPredefinita()
                                                               : sessione.CartellaBackup;
    return CopiaArchivio(sessione.PercorsoArchivio, cartella);
}

LavoroInSottofondo* PreparaCopia(
    const QString& archivio, const QString& cartellaBackup, QObject* proprietario)
{
    const QString destinazione = DestinazioneBackup(archivio, cartellaBackup);
    auto* lavoro = new LavoroInSottofondo(
        [archivio, destinazione](const LavoroInSottofondo::Avanzamento& avanzamento) {
            CopiaControllata(archivio, destinazione, avanzamento);
        },
        proprietario);
    return lavoro;
}

Esito Salvataggio(const QString& archivio, const QString& cartellaBackup)
{
    if (cartellaBackup.trimmed().isEmpty())
        return { false,
            QStringLiteral("ATTENZIONE: SALVATAGGIO NON RIUSCITO.\nCartella di backup non indicata."),
            Messaggi::Critical };
    const std::unique_ptr<LavoroInSottofondo> lavoro(PreparaCopia(archivio, cartellaBackup, nullptr));
    AttendiLavoro(*lavoro, QStringLiteral("Salvataggio dell'archivio in corso..."));
    if (lavoro->annullato())
        return { false, QStringLiteral("Salvataggio annullato: nessun backup è stato scritto."),
            Messaggi::Information };
    if (!lavoro->riuscito())
        return { false,
            QStringLiteral("ATTENZIONE: SALVATAGGIO NON RIUSCITO.\n") + lavoro->descrizioneErrore(),
            Messaggi::Critical };
    return { true, QStringLiteral("PROCEDURA TERMINATA"), Messaggi::Information };
}

Esito Verifica(const QString& archivio)
{
    LavoroInSottofondo lavoro([archivio](const LavoroInSottofondo::Avanzamento& avanzamento) {
        Archivio::VerificaCompleta(archivio, avanzamento);
    });
    AttendiLavoro(lavoro, QStringLiteral("Verifica dell'archivio in corso..."));
    const QString nome = QFileInfo(archivio).fileName();
    if (lavoro.riuscito())
        return { true, QStringLiteral("Verifica completata: l'archivio «%1» è integro.").arg(nome),
            Messaggi::Information };
    switch (lavoro.numeroErrore()) {
    case CodiciErrore::Annullato:
        return { false, QStringLiteral("Verifica annullata."), Messaggi::Information };
    case CodiciErrore::NonUnArchivio:
        return { false,
            QStringLiteral("Verifica completata: l'archivio «%1» è danneggiato.\nRipristinare "
                           "l'ultimo backup integro con «Ripristina Backup».")
                .arg(nome),
            Messaggi::Critical };
    default:
        return { false, QStringLiteral("Verifica non eseguita.\n") + lavoro.descrizioneErrore(),
            Messaggi::Warning };
    }
}

QStringList OrdinaBackup(const QStringList& nomi)
{
    struct Voce
    {
        QString nome;
        QDate data;
    };
    QList<Voce> voci;
    voci.reserve(nomi.size());
    for (const QString& n : nomi)
        voci.append({ n, DataDaNomeBackup(n) });
    std::stable_sort(voci.begin(), voci.end(), [](const Voce& a, const Voce& b) {
        if (a.data.isValid() != b.data.isValid())
            return a.data.isValid();
        if (a.data != b.data)
            return a.data > b.data;
        return a.nome.compare(b.nome, Qt::CaseInsensitive) < 0;
    });
    QStringList risultato;
    risultato.reserve(voci.size());
    for (const Voce& v : voci)
        risultato << v.nome;
    return risultato;
}

QStringList ElencoBackup(const QString& cartella, QString* avviso)
{
    if (avviso)
        avviso->clear();
    const QDir dir(cartella);
    if (cartella.trimmed().isEmpty() || !dir.exists() || dir.entryList(QDir::Files).isEmpty()) {
        if (avviso)
            *avviso = QStringLiteral("Attenzione percorso non corretto");
        return {};
    }
    const QStringList nomi = dir.entryList({ QStringLiteral("*.mdb") }, QDir::Files);
    return OrdinaBackup(nomi).mid(0, MassimoBackupElencati);
}

ImpostazioniBackup LeggiImpostazioniBackup(const QString& archivio)
{
    ImpostazioniBackup imp;
    imp.percorso = Piattaforma::CartellaBackupPredefinita();
    EseguiConAttesa([&] { imp = leggiImpostazioni(archivio); });
    return imp;
}

bool MemorizzaPercorsoBackup(const QString& archivio, const QString& percorsoBackup, bool automatico)
{
    return EseguiConAttesa([&] {
        Archivio db(archivio);
        InTransazione(db, [&] {
            const QVariant indice = db.valore(QStringLiteral("SELECT min(Indice) FROM Configurazioni"));
            if (indice.isNull())
                db.esegui(QStringLiteral("INSERT INTO Configurazioni (PercorsoBackup, SalvataggioAutomatico) "
                                         "VALUES (?, ?)"),
                    { percorsoBackup, automatico ? 1 : 0 });
            else
                db.esegui(
                    QStringLiteral("UPDATE Configurazioni SET PercorsoBackup = ?, SalvataggioAutomatico = ? "
                                   "WHERE Indice = ?"),
                    { percorsoBackup, automatico ? 1 : 0, indice });
        });
    });
}

void RipristinaArchivio(const QString& archivio, const QString& fileBackup, const QString& cartellaCopia)
{
    // A file that is no archive at all stops here; its pages are checked on the copy below.
    try {
        Archivio::VerificaApertura(fileBackup);
    } catch (const ErroreArchivio& e) {
        if (e.numero() != CodiciErrore::Bloccato)
            throw backupNonValido(fileBackup);
    }

    Presenza::Esclusiva esclusiva(archivio);
    if (esclusiva.stato() == Presenza::Stato::Occupata)
        throw ripristinoOccupato();

    if (IndirizzoServer::E(archivio)) {
        // Every page of the backup is read before the archive is touched, as the file's restore
        // checks its copy: a damaged backup is named as such, not taken for the archive.
        try {
            verificaArchivio(fileBackup);
        } catch (const ErroreArchivio&) {
            throw backupNonValido(fileBackup);
        }
        // A database without the archive (a new server, a dropped archive) gets the backup whole,
        // as a missing file is brought back.
        if (!Archivio::Esiste(archivio)) {
            TrasferimentoArchivio::Copia(fileBackup, archivio);
            return;
        }
        // The archive as it was goes into "copia.mdb" first; then the backup's rows take the
        // place of all of its rows in one transaction.
        Percorsi::CreaCartella(cartellaCopia);
        const QString copia = QDir(cartellaCopia).absoluteFilePath(QStringLiteral("copia.mdb"));
        QFile::remove(copia);
        TrasferimentoArchivio::Copia(archivio, copia);
        TrasferimentoArchivio::Sostituisci(fileBackup, archivio);
        return;
    }

    const bool esiste = QFileInfo::exists(archivio);
    std::unique_ptr<Archivio> blocco;
    if (esiste) {
        // A damaged archive cannot be locked, and there is no write to wait for in it.
        try {
            blocco = std::make_unique<Archivio>(archivio);
            bloccaScritture(*blocco);
        } catch (const ErroreArchivio& e) {
            if (e.numero() == CodiciErrore::Bloccato)
                throw ripristinoOccupato();
            blocco.reset();
        }
        Percorsi::CreaCartella(cartellaCopia);
        copiaFile(archivio, QDir(cartellaCopia).absoluteFilePath(QStringLiteral("copia.mdb")));
    }

    const QString temporaneo = archivio + QStringLiteral(".ripristino");
    try {
        copiaFile(fileBackup, temporaneo);
        try {
            verificaArchivio(temporaneo);
        } catch (const ErroreArchivio&) {
            throw backupNonValido(fileBackup);
        }
        if (esiste)
            QFile::setPermissions(temporaneo, QFile::permissions(archivio));
        rinomina(temporaneo, archivio);
    } catch (...) {
        QFile::remove(temporaneo);
        throw;
    }
    if (blocco)
        blocco->annulla();
}

Esito Ripristino(const QString& archivio, const QString& cartellaBackup, const QString& nomeBackup,
    const QString& cartellaCopia)
{
    if (cartellaBackup.size() < 2)
        return { false, QStringLiteral("Cartella di backup non valida"), Messaggi::Critical };
    const QString file = QDir(cartellaBackup).filePath(nomeBackup);
    if (nomeBackup.trimmed().isEmpty() || !QFileInfo(file).isFile())
        return { false,
            QStringLiteral("Problemi nella procedura di ripristino ... ripristino non effettuato"),
            Messaggi::Critical };

    try {
        RipristinaArchivio(archivio, file, cartellaCopia);
    } catch (const ErroreArchivio& e) {
        if (e.numero() == PermessoNegato)
            return { false,
                QStringLiteral("IN QUESTO MOMENTO L'ARCHIVIO RISULTA OCCUPATO, \n RITENTARE "
                               "L'OPERAZIONE DOPO AVER RIAVVIATO IL PROGRAMMA"),
                Messaggi::Critical };
        if (e.numero() == CodiciErrore::NonUnArchivio)
            return { false, e.descrizione(), Messaggi::Critical };
        return { false, e.descrizione() + QStringLiteral(" nr:") + QString::number(e.numero()),
            Messaggi::Critical };
    }
    // An older backup gets the tables and fields it lacks.
    CreazioneDB().CreaDB(archivio);
    return { true, {}, Messaggi::NoIcon };
}

void CompattaArchivio(const QString& archivio)
{
    if (IndirizzoServer::E(archivio)) {
        // The server reclaims space and refreshes its statistics while others go on working.
        Archivio db(archivio);
        for (const Schema::Tabella& t : Schema::Tabelle())
            if (db.esisteTabella(t.nome))
                db.esegui(QStringLiteral("VACUUM (ANALYZE) %1").arg(db.quota(t.nome)));
        return;
    }
    if (!QFileInfo(archivio).isFile())
        throw ErroreArchivio(CodiciErrore::FileNonTrovato,
            QStringLiteral("Impossibile trovare il file «%1».").arg(QDir::toNativeSeparators(archivio)));
    Presenza::Esclusiva esclusiva(archivio);
    if (esclusiva.stato() == Presenza::Stato::Occupata)
        throw ottimizzazioneOccupata();

    Archivio blocco(archivio);
    try {
        bloccaScritture(blocco);
    } catch (const ErroreArchivio& e) {
        if (e.numero() == CodiciErrore::Bloccato)
            throw ottimizzazioneOccupata();
        throw;
    }

    const QString temporaneo = archivio + QStringLiteral(".compatto");
    QFile::remove(temporaneo);
    try {
        Archivio::CopiaCompatta(archivio, temporaneo);
        verificaArchivio(temporaneo);
        QFile::setPermissions(temporaneo, QFile::permissions(archivio));
        rinomina(temporaneo, archivio);
    } catch (...) {
        QFile::remove(temporaneo);
        throw;
    }
    blocco.annulla();
}

Esito Ottimizzazione(const QString& archivio)
{
    try {
        CompattaArchivio(archivio);
    } catch (const ErroreArchivio& e) {
        if (e.numero() == CodiciErrore::ArchivioInUso)
            return { false,
                QStringLiteral("ATTENZIONE!   Ottimizzazione Impossibile.     La base-dati è occupata "
                               "da un'altra applicazione."),
                Messaggi::Warning };
        return { false, e.descrizione(), Messaggi::Critical };
    }
    return { true, QStringLiteral("Ottimizzazione conclusa"), Messaggi::Information };
}

} // namespace Backup

LavoroInSottofondo* PreparaSalvataggioAutomatico(const QString& archivio, QObject* proprietario)
{
    // A copy across the network at every start would make the start slow for everyone.
    if (archivio.isEmpty() || Piattaforma::PercorsoDiRete(archivio))
        return nullptr;
    Backup::ImpostazioniBackup imp;
    const bool letto = EseguiConAttesa([&] { imp = Backup::leggiImpostazioni(archivio); });
    if (!letto || !imp.riga || !imp.automatico)
        return nullptr;
    return Backup::PreparaCopia(archivio, imp.percorso, proprietario);
}
