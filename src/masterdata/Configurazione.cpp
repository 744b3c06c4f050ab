#include "Configurazione.h"

#include "archive/Archivio.h"
#include "archive/CreazioneDB.h"
#include "archive/GestioneErrore.h"
#include "archive/Module1.h"
#include "archive/Percorsi.h"
#include "archive/Schema.h"
#include "masterdata/ImmaginiDatabase.h"
#include "platform/Messaggi.h"
#include "platform/Piattaforma.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QSqlQuery>

// The picture resources live in the static core library: the linker keeps them only when asked.
static void CaricaRisorse()
{
    static const bool caricate = [] {
        Q_INIT_RESOURCE(resources);
        return true;
    }();
    Q_UNUSED(caricate);
}

namespace Configurazione {

namespace {

const QString Tabella = QStringLiteral("Configurazioni");
constexpr int LimiteProvincia = 2;

bool Flag(const QVariant& v)
{
    const int n = v.toInt();
    return n == 1 || n == -1;
}

// Empty settings are stored as empty texts, so reports joining them never meet a null.
QVariant Testo(const QString& s)
{
    return s.isNull() ? QString(QLatin1String("")) : s;
}

QString Colonne()
{
    QStringList c;
    for (const CampoTesto& campo : CampiTesto())
        c << campo.nome;
    c << QStringLiteral("VisualizzaIntestazione") << QStringLiteral("VisualizzaLogo")
      << QStringLiteral("SalvataggioAutomatico");
    return c.join(QStringLiteral(", "));
}

QVariantList Valori(const Dati& dati)
{
    QVariantList v;
    for (const CampoTesto& campo : CampiTesto())
        v << Testo(dati.*campo.valore);
    v << (dati.VisualizzaIntestazione ? 1 : 0) << (dati.VisualizzaLogo ? 1 : 0)
      << (dati.SalvataggioAutomatico ? 1 : 0);
    return v;
}

// The logo step: the bytes go through the work file into the field, inside a savepoint of the
// caller's transaction so that a failure takes back the logo only.
void SalvaLogo(Archivio& db, ImmaginiDatabase::Riga& riga, const QByteArray& logo)
{
    const QString file = ImmaginiDatabase::FileSalvataggio();
    QFile::remove(file);
    {
        QFile f(file);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(logo) != logo.size() || !f.flush())
            throw ErroreArchivio(CodiciErrore::ErroreDisco,
                QStringLiteral("Impossibile scrivere il file «%1»: %2")
                    .arg(QDir::toNativeSeparators(file), f.errorString()));
    }
    db.esegui(QStringLiteral("SAVEPOINT logo"));
    try {
        ImmaginiDatabase::SalvaFileInCampo(db, riga, QStringLiteral("Logo"), file, QString());
        db.esegui(QStringLiteral("RELEASE logo"));
    } catch (...) {
        db.esegui(QStringLiteral("ROLLBACK TO logo"));
        db.esegui(QStringLiteral("RELEASE logo"));
        QFile::remove(file);
        throw;
    }
    QFile::remove(file);
}

} // namespace

const QList<CampoTesto>& CampiTesto()
{
    static const QList<CampoTesto> campi {
        { QStringLiteral("RagSociale"), &Dati::RagSociale },
        { QStringLiteral("Indirizzo"), &Dati::Indirizzo },
        { QStringLiteral("Cap"), &Dati::Cap },
        { QStringLiteral("Comune"), &Dati::Comune },
        { QStringLiteral("Provincia"), &Dati::Provincia },
        { QStringLiteral("Piva"), &Dati::Piva },
        { QStringLiteral("CodiceFiscale"), &Dati::CodiceFiscale },
        { QStringLiteral("Tel"), &Dati::Tel },
        { QStringLiteral("Fax"), &Dati::Fax },
        { QStringLiteral("PercorsoBackup"), &Dati::PercorsoBackup },
        { QStringLiteral("prnDocs"), &Dati::prnDocs },
        { QStringLiteral("prnDocsPDF"), &Dati::prnDocsPDF },
        { QStringLiteral("Banca"), &Dati::Banca },
        { QStringLiteral("Cab"), &Dati::Cab },
        { QStringLiteral("Abi"), &Dati::Abi },
        { QStringLiteral("Cin"), &Dati::Cin },
        { QStringLiteral("CC"), &Dati::CC },
        { QStringLiteral("Iban"), &Dati::Iban },
        { QStringLiteral("Agenzia"), &Dati::Agenzia },
    };
    return campi;
}

int Limite(const QString& campo)
{
    if (campo == QLatin1String("Provincia"))
        return LimiteProvincia;
    return Schema::Dimensione(Tabella, campo);
}

Dati ValoriIniziali()
{
    Dati d;
    d.PercorsoBackup = Piattaforma::CartellaBackupPredefinita();
    return d;
}

Lettura Leggi(const QString& archivio)
{
    Lettura l;
    l.dati.PercorsoBackup = Piattaforma::CartellaBackupPredefinita();
    Archivio db(archivio);
    QSqlQuery q = db.esegui(
        QStringLiteral("SELECT Indice, %1 FROM Configurazioni ORDER BY Indice LIMIT 1").arg(Colonne()));
    ImmaginiDatabase::Riga riga { Tabella, {} };
    if (q.next()) {
        l.riga = true;
        riga.indice = q.value(0);
        int i = 1;
        for (const CampoTesto& campo : CampiTesto())
            l.dati.*campo.valore = q.value(i++).toString();
        l.dati.VisualizzaIntestazione = Flag(q.value(i++));
        l.dati.VisualizzaLogo = Flag(q.value(i++));
        l.dati.SalvataggioAutomatico = Flag(q.value(i++));
        if (l.dati.PercorsoBackup.trimmed().isEmpty())
            l.dati.PercorsoBackup = Piattaforma::CartellaBackupPredefinita();
    }
    q.finish();
    try {
        l.fileLogo = ImmaginiDatabase::LeggiFileDaCampo(db, riga, QStringLiteral("Logo"));
    } catch (const ErroreArchivio& e) {
        // A picture that cannot be shown must not hide the other settings; a busy archive is
        // waited for as for them.
        if (e.numero() == CodiciErrore::Bloccato)
            throw;
        l.erroreLogo = e.descrizione();
    }
    return l;
}

Esito Salva(const QString& archivio, const Dati& dati, const QByteArray& logo)
{
    Esito esito;
    Archivio db(archivio);
    InTransazione(db, [&] {
        ImmaginiDatabase::Riga riga { Tabella,
            db.valore(QStringLiteral("SELECT min(Indice) FROM Configurazioni")) };
        const QVariantList valori = Valori(dati);
        if (riga.fine()) {
            QStringList segnaposto;
            for (qsizetype i = 0; i < valori.size(); ++i)
                segnaposto << QStringLiteral("?");
            QSqlQuery q = db.esegui(QStringLiteral("INSERT INTO Configurazioni (%1) VALUES (%2)")
                                        .arg(Colonne(), segnaposto.join(QLatin1Char(','))),
                valori);
            riga.indice = q.lastInsertId();
        } else {
            QStringList assegnazioni;
            for (const QString& c : Colonne().split(QStringLiteral(", ")))
                assegnazioni << c + QStringLiteral(" = ?");
            db.esegui(QStringLiteral("UPDATE Configurazioni SET %1 WHERE Indice = ?")
                          .arg(assegnazioni.join(QStringLiteral(", "))),
                QVariantList(valori) << riga.indice);
        }
        if (logo.isEmpty())
            return;
        try {
            SalvaLogo(db, riga, logo);
        } catch (const ErroreArchivio& e) {
            esito.logoSalvato = false;
            esito.erroreLogo = e.descrizione();
        }
    });
    return esito;
}

bool SalvaConfigurazione(
    const QString& archivio, const Dati& dati, const QByteArray& logo, QString* errore, Avvisi avvisi)
{
    Esito esito;
    QString descrizione;
    const bool salvata = EseguiPasso([&] {
        try {
            esito = Salva(archivio, dati, logo);
        } catch (const ErroreArchivio& e) {
            descrizione = e.descrizione();
            throw;
        }
    });
    if (!salvata) {
        if (descrizione.isEmpty())
            descrizione = QStringLiteral("Impossibile scrivere nell'archivio.");
        if (errore)
            *errore = descrizione;
        if (avvisi == Avvisi::Messaggi)
            messaggi().Messaggio(QStringLiteral("ATTENZIONE: CONFIGURAZIONE NON REGISTRATA\n") + descrizione,
                Messaggi::Ok, Messaggi::Critical);
        return false;
    }
    if (avvisi == Avvisi::Messaggi)
        messaggi().Messaggio(QStringLiteral("REGISTRAZIONE EFFETTUATA"), Messaggi::Ok, Messaggi::Information);
    if (!esito.logoSalvato) {
        if (errore)
            *errore = esito.erroreLogo;
        if (avvisi == Avvisi::Messaggi)
            messaggi().Messaggio(QStringLiteral("ATTENZIONE: IL LOGO NON È STATO SALVATO.\n")
                    + esito.erroreLogo + QStringLiteral("\nLe altre impostazioni sono state registrate."),
                Messaggi::Ok, Messaggi::Warning);
    }
    return true;
}

QString FileNessunLogo(const QString& cartellaProgramma)
{
    const QString nome = QStringLiteral("Nessun logo.bmp");
    if (!cartellaProgramma.isEmpty()) {
        const QString locale = QDir(cartellaProgramma).filePath(nome);
        if (QFileInfo(locale).isFile())
            return locale;
    }
    CaricaRisorse();
    return QStringLiteral(":/") + nome;
}

QByteArray InBitmap(const QImage& immagine)
{
    if (immagine.isNull())
        return {};
    QByteArray dati;
    QBuffer buffer(&dati);
    buffer.open(QIODevice::WriteOnly);
    if (!immagine.save(&buffer, "BMP"))
        return {};
    return dati;
}

QByteArray BitmapDaFile(const QString& file, QString* errore)
{
    QImageReader lettore(file);
    lettore.setAutoTransform(true);
    const QImage immagine = lettore.read();
    if (immagine.isNull()) {
        if (errore)
            *errore = QStringLiteral("Il file «%1» non è un'immagine leggibile: %2")
                          .arg(QDir::toNativeSeparators(file), lettore.errorString());
        return {};
    }
    const QByteArray bitmap = InBitmap(immagine);
    if (bitmap.isEmpty() && errore)
        *errore
            = QStringLiteral("Impossibile convertire l'immagine «%1».").arg(QDir::toNativeSeparators(file));
    return bitmap;
}

bool CreaArchivio(const QString& cartella, const QString& nome, QString* errore)
{
    Percorsi::CreaCartella(cartella);
    const QString percorso = Percorsi::PercorsoArchivioDa(cartella, nome);
    if (QFileInfo::exists(percorso)) {
        if (errore)
            *errore = QStringLiteral("L'archivio «%1» esiste già.").arg(nome);
        return false;
    }
    CreazioneDB creazione;
    bool ok = creazione.CreaDB(percorso);
    QString erroreImpostazioni;
    // The settings save of the settings window, silent: the caller says what happened.
    if (ok)
        ok = SalvaConfigurazione(percorso, ValoriIniziali(), {}, &erroreImpostazioni, Avvisi::Nessuno);
    if (!ok) {
        if (errore) {
            *errore = erroreImpostazioni.isEmpty() ? creazione.DescrizioneUltimoErrore() : erroreImpostazioni;
            if (errore->isEmpty())
                *errore = QStringLiteral("Impossibile creare l'archivio «%1».")
                              .arg(QDir::toNativeSeparators(percorso));
        }
        // A half-made archive would be listed as if it were usable.
        QFile::remove(percorso);
        QFile::remove(percorso + QStringLiteral("-journal"));
    }
    return ok;
}

} // namespace Configurazione
