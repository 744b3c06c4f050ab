#include "Percorsi.h"

#include "archive/Sessione.h"
#include "platform/Servizi.h"

#include "archive/Archivio.h"
#include "archive/GestioneErrore.h"
#include "archive/Module1.h"
#include "platform/FileIni.h"
#include "platform/Messaggi.h"
#include "platform/Piattaforma.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QTextStream>

namespace Percorsi {

namespace {
const QString FileLocalizzazione = QStringLiteral("Cartavia.inf");
const QString FileTest = QStringLiteral("test.inf");
const QString FilePercorso = QStringLiteral("Percorso.txt");
const QString SezioneDatabase = QStringLiteral("Database");

QString nativo(const QString& percorso)
{
    return QDir::toNativeSeparators(percorso);
}

bool stessoPercorso(const QString& a, const QString& b)
{
#ifdef Q_OS_WIN
    const Qt::CaseSensitivity cs = Qt::CaseInsensitive;
#else
    const Qt::CaseSensitivity cs = Qt::CaseSensitive;
#endif
    return QDir::cleanPath(QDir::fromNativeSeparators(a))
               .compare(QDir::cleanPath(QDir::fromNativeSeparators(b)), cs)
        == 0;
}

bool lettera(QChar c)
{
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
        || (c >= QLatin1Char('A') && c <= QLatin1Char('Z'));
}

bool cifra(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}
} // namespace

QString CartellaEseguibile()
{
    if (!servizi().cartellaEseguibile.isEmpty())
        return nativo(servizi().cartellaEseguibile);
    return nativo(QCoreApplication::applicationDirPath());
}

void CreaCartella(const QString& percorso)
{
    if (percorso.trimmed().isEmpty())
        return;
    QDir().mkpath(percorso);
}

bool CartellaScrivibile(const QString& cartella)
{
    if (cartella.isEmpty())
        return false;
    const QString file = QDir(cartella).filePath(FileTest);
    FileIni::Scrivi(file, QStringLiteral("Test"), QStringLiteral("Test"), QStringLiteral("OK"));
    return FileIni::Leggi(file, QStringLiteral("Test"), QStringLiteral("Test")) == QLatin1String("OK");
}

void InizializzaCartelle(Sessione& sessione)
{
    const QString eseguibile = CartellaEseguibile();
    // An installation whose folder holds no file is reached under its translated folder name.
    if (QDir(eseguibile).entryList(QDir::Files).isEmpty())
        sessione.CartellaProgramma = Module1::SostituisciTesto(
            eseguibile, QStringLiteral("program files"), QStringLiteral("programmi"));
    else
        sessione.CartellaProgramma = eseguibile;

    sessione.CartellaCondivisa = Piattaforma::CartellaCondivisa();
    CreaCartella(sessione.CartellaCondivisa);

    sessione.CartellaInf
        = CartellaScrivibile(sessione.CartellaProgramma) ? eseguibile : sessione.CartellaCondivisa;

    const QString documenti = Piattaforma::CartellaSpeciale(QStringLiteral("CartellaDocumenti"));
    sessione.CartellaArchiviPredefinita = nativo(QDir(documenti.isEmpty() ? QDir::homePath() : documenti)
                                                     .filePath(QStringLiteral("Archivi Cartavia")));

    ControllaEsistenzaFileInf(sessione);
    CreaCartella(sessione.CartellaArchiviPredefinita);
}

void ControllaEsistenzaFileInf(const Sessione& sessione)
{
    if (QFileInfo::exists(QDir(sessione.CartellaInf).filePath(QStringLiteral("Vendrale.inf"))))
        return;
    QFile vecchio(QDir(CartellaEseguibile()).filePath(FilePercorso));
    if (!vecchio.open(QIODevice::ReadOnly | QIODevice::Text))
        return;
    QTextStream in(&vecchio);
    const QString riga = in.readLine();
    const QString programmi = Piattaforma::CartellaSpeciale(QStringLiteral("CartellaProgrammi"));
    if (programmi.isEmpty() || riga.size() <= 3)
        return;
    const QString predefinito = QDir(programmi).filePath(QStringLiteral("Cartavia/Archivio.mdb"));
    if (!stessoPercorso(riga, predefinito))
        return;
    FileIni::Scrivi(
        FileInf(sessione), SezioneDatabase, QStringLiteral("Percorso"), nativo(QFileInfo(riga).path()));
}

QString FileInf(const Sessione& sessione)
{
    return QDir(sessione.CartellaInf).filePath(FileLocalizzazione);
}

QString FilePercorsoTxt(const Sessione& sessione)
{
    return QDir(sessione.CartellaInf).filePath(FilePercorso);
}

Posizione LeggiPosizione(const Sessione& sessione)
{
    return { FileIni::Leggi(FileInf(sessione), SezioneDatabase, QStringLiteral("Percorso")),
        FileIni::Leggi(FileInf(sessione), SezioneDatabase, QStringLiteral("Nome")) };
}

bool MemorizzaPercorso(const Sessione& sessione, const QString& percorso, const QString& nome)
{
    const bool a = FileIni::Scrivi(FileInf(sessione), SezioneDatabase, QStringLiteral("Percorso"), percorso);
    const bool b = FileIni::Scrivi(FileInf(sessione), SezioneDatabase, QStringLiteral("Nome"), nome);
    return a && b;
}

QString PercorsoArchivioDa(const QString& percorso, const QString& nome)
{
    return Piattaforma::UnisciPercorso(percorso, nome);
}

void AggiornaDBPath_e_Variabili(Sessione& sessione, const QString& percorso, const QString& nome)
{
    sessione.NomeArchivio = nome;
    sessione.CartellaArchiviScelta = percorso;
    sessione.PercorsoArchivio = PercorsoArchivioDa(percorso, nome);
    if (sessione.CartellaInf.isEmpty())
        return;
    QSaveFile f(FilePercorsoTxt(sessione));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Text))
        return;
    f.write((sessione.PercorsoArchivio + QLatin1Char('\n')).toUtf8());
    f.commit();
}

QStringList ElencoArchivi(const QString& cartella, int* numeroErrore, QString* descrizione)
{
    auto errore = [&](int numero, const QString& testo) {
        if (numeroErrore)
            *numeroErrore = numero;
        if (descrizione)
            *descrizione = testo;
        return QStringList();
    };
    if (numeroErrore)
        *numeroErrore = 0;
    if (descrizione)
        descrizione->clear();
    const QFileInfo info(cartella);
    if (cartella.trimmed().isEmpty() || !info.isDir())
        return errore(76, QStringLiteral("Impossibile trovare il percorso"));
    if (!info.isReadable())
        return errore(70, QStringLiteral("Autorizzazione negata"));
    QDir dir(cartella);
    dir.setNameFilters({ QStringLiteral("*.mdb") });
    dir.setFilter(QDir::Files | QDir::Readable);
    dir.setSorting(QDir::Name | QDir::IgnoreCase);
    return dir.entryList();
}

bool ControlloNomeDbOk(const QString& nome)
{
    static const QString ammessi = QStringLiteral("_- ()");
    bool valido = false;
    for (const QChar c : nome) {
        if (lettera(c) || cifra(c)) {
            valido = true;
        } else if (!ammessi.contains(c)) {
            messaggi().Messaggio(QStringLiteral("Il Carattere ") + c + QStringLiteral(" non è ammesso"),
                Messaggi::Ok, Messaggi::Information);
            return false;
        }
    }
    return valido;
}

QString CartellaCopiaSicurezza(const Sessione& sessione)
{
    if (!sessione.CartellaInf.isEmpty())
        return sessione.CartellaInf;
    return CartellaScrivibile(CartellaEseguibile()) ? CartellaEseguibile() : Piattaforma::CartellaCondivisa();
}

QString NomeScaricatore()
{
#ifdef Q_OS_WIN
    return QStringLiteral("Download.exe");
#else
    return QStringLiteral("Download");
#endif
}

EsitoAggiornamento AvviaAggiornamento(const Sessione& sessione)
{
    const QString condivisa = sessione.CartellaCondivisa.isEmpty() ? Piattaforma::CartellaCondivisa()
                                                                   : sessione.CartellaCondivisa;
    CreaCartella(condivisa);
    const QString inf = QDir(condivisa).filePath(QStringLiteral("Programma.inf"));
    QFile::remove(inf);
    FileIni::Scrivi(
        inf, QStringLiteral("Programma"), QStringLiteral("Programma"), QStringLiteral("Cartavia"));
    FileIni::Scrivi(inf, QStringLiteral("Programma"), QStringLiteral("Versione"), Module1::VersioneProgramma);
    FileIni::Scrivi(inf, QStringLiteral("Programma"), QStringLiteral("Percorso"), sessione.CartellaProgramma);

    const QString scaricatore = QDir(sessione.CartellaProgramma).filePath(NomeScaricatore());
    if (!QFileInfo(scaricatore).isFile())
        return EsitoAggiornamento::NonDisponibile;
#ifdef Q_OS_WIN
    const QString copia = QDir(condivisa).filePath(QStringLiteral("Downloadtmp.exe"));
#else
    const QString copia = QDir(condivisa).filePath(QStringLiteral("Downloadtmp"));
#endif
    QFile::remove(copia);
    if (!QFile::copy(scaricatore, copia))
        return EsitoAggiornamento::Errore;
    QFile::setPermissions(copia, QFile::permissions(copia) | QFileDevice::ExeOwner | QFileDevice::ExeUser);
    return QProcess::startDetached(copia, {}, condivisa) ? EsitoAggiornamento::Avviato
                                                         : EsitoAggiornamento::Errore;
}

} // namespace Percorsi
