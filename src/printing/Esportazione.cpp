#include "Esportazione.h"

#include "printing/EsportazioneCsv.h"
#include "printing/EsportazioneDati.h"
#include "printing/EsportazioneXlsx.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryDir>

namespace Esportazione {

namespace {

const QString Annullata = QStringLiteral("Esportazione annullata: nessun file è stato scritto.");

// Why `file` could not be written, in words for the user.
QString motivo(const QFileDevice& file, const QString& percorso)
{
    const QFileInfo info(percorso);
    switch (file.error()) {
    case QFileDevice::ResourceError:
        return QStringLiteral("spazio su disco esaurito");
    case QFileDevice::OpenError:
    case QFileDevice::PermissionsError:
        if (!info.absoluteDir().exists())
            return QStringLiteral("la cartella «%1» non esiste")
                .arg(QDir::toNativeSeparators(info.absolutePath()));
        if (info.isDir())
            return QStringLiteral("c'è già una cartella con questo nome");
        return QStringLiteral("non si può scrivere nella cartella «%1» o il file è protetto (%2)")
            .arg(QDir::toNativeSeparators(info.absolutePath()), file.errorString());
    default:
        return QStringLiteral("errore di scrittura (%1)").arg(file.errorString());
    }
}

QString nonScritto(const QString& file, const QString& perche)
{
    return QStringLiteral("Impossibile scrivere il file «%1»: %2.")
        .arg(QDir::toNativeSeparators(file), perche);
}

// Copies the finished work file into the target, a block at a time.
bool copia(const QString& da, QSaveFile& a)
{
    QFile sorgente(da);
    if (!sorgente.open(QIODevice::ReadOnly))
        return false;
    QByteArray blocco;
    while (!(blocco = sorgente.read(1 << 16)).isEmpty())
        if (!ScriviTutto(a, blocco))
            return false;
    return sorgente.error() == QFileDevice::NoError;
}

} // namespace

Esito Esporta(const Richiesta& richiesta)
{
    Esito esito;
    if (richiesta.file.trimmed().isEmpty()) {
        esito.errore = QStringLiteral("Nessun file indicato per l'esportazione.");
        return esito;
    }
    const std::optional<Periodo> periodo = PeriodoRichiesto(richiesta, &esito.errore);
    if (!periodo)
        return esito;
    Lettura dati;
    if (const std::optional<QString> errore = Leggi(richiesta, *periodo, dati)) {
        esito.errore = *errore;
        return esito;
    }

    const int totale = int(dati.persone.size());
    const auto avanza
        = [&](int fatti) { return !richiesta.avanzamento || richiesta.avanzamento(fatti, totale); };
    if (!avanza(0)) {
        esito.errore = Annullata;
        return esito;
    }

    // The export is written beside the target and takes its name only when complete: a failure
    // or a stop leaves whatever was there before.
    QSaveFile file(richiesta.file);
    // Unbuffered: the writers hand over an employee's block at a time, and a short write is seen
    // when it happens (a buffered one is lost in the final flush).
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        esito.errore = nonScritto(richiesta.file, motivo(file, richiesta.file));
        return esito;
    }
    Risultato risultato = Risultato::Errore;
    QString perche;
    switch (richiesta.formato) {
    case Formato::CsvMese:
        risultato = Csv::ScriviMese(file, dati, avanza);
        break;
    case Formato::CsvRighe:
        risultato = Csv::ScriviRighe(file, dati, avanza);
        break;
    case Formato::Xlsx: {
        // The library writes a file of its own making: it is made among the work files, then
        // copied into place.
        QTemporaryDir lavoro;
        if (!lavoro.isValid()) {
            perche = QStringLiteral("non si possono creare i file di lavoro (%1)").arg(lavoro.errorString());
            break;
        }
        const QString libro = lavoro.filePath(QStringLiteral("esportazione.xlsx"));
        risultato = Xlsx::Scrivi(libro, lavoro.path(), richiesta, dati, avanza, &perche);
        if (risultato == Risultato::Fatto && !copia(libro, file))
            risultato = Risultato::Errore;
        break;
    }
    }

    if (risultato == Risultato::Annullato) {
        file.cancelWriting();
        esito.errore = Annullata;
        return esito;
    }
    if (risultato != Risultato::Fatto || !file.commit()) {
        if (perche.isEmpty() || file.error() != QFileDevice::NoError)
            perche = motivo(file, richiesta.file);
        file.cancelWriting();
        esito.errore = nonScritto(richiesta.file, perche);
        return esito;
    }
    esito.ok = true;
    esito.dipendenti = totale;
    return esito;
}

std::optional<Formato> FormatoDaEstensione(const QString& file)
{
    const QString estensione = QFileInfo(file).suffix().toLower();
    if (estensione == QLatin1String("xlsx"))
        return Formato::Xlsx;
    if (estensione == QLatin1String("csv"))
        return Formato::CsvMese;
    return std::nullopt;
}

QString NomeProposto(const Richiesta& richiesta)
{
    const QString cosa
        = richiesta.formato == Formato::CsvRighe ? QStringLiteral("Movimenti") : QStringLiteral("Presenze");
    const QString estensione
        = richiesta.formato == Formato::Xlsx ? QStringLiteral(".xlsx") : QStringLiteral(".csv");
    QString quando;
    if (richiesta.dal.isValid() && richiesta.al.isValid()) {
        const QString forma = QStringLiteral("dd-MM-yyyy");
        quando = QStringLiteral(" dal %1 al %2")
                     .arg(richiesta.dal.toString(forma), richiesta.al.toString(forma));
    } else if (richiesta.mese.valido()) {
        quando = QLatin1Char(' ') + richiesta.mese.nomeMese() + QLatin1Char(' ') + richiesta.mese.testoAnno();
    }
    return cosa + quando + estensione;
}

} // namespace Esportazione
