#include "ImmaginiDatabase.h"

#include "archive/Archivio.h"
#include "archive/Schema.h"
#include "platform/Servizi.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <memory>

namespace ImmaginiDatabase {

namespace {

// Repaints between pieces, but no click may start another archive operation meanwhile; inside a
// caller's transaction nothing runs at all.
void LasciaDisegnare(const Archivio& db)
{
    if (!db.inTransazione() && QCoreApplication::instance())
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

// Table and field names cannot be bound: only the archive's own names are accepted.
void ControllaNomi(const QString& tabella, const QString& campo)
{
    const Schema::Tabella* t = Schema::TrovaTabella(tabella);
    if (t) {
        for (const Schema::Campo& c : t->campi) {
            if (c.nome == campo && c.tipo == Schema::Tipo::Binario)
                return;
        }
    }
    throw ErroreArchivio(CodiciErrore::CampoNonTrovato,
        QStringLiteral("Campo immagine sconosciuto: %1.%2").arg(tabella, campo));
}

QByteArray LeggiAPezzi(const QString& file, const Archivio& db)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        throw ErroreArchivio(CodiciErrore::Generico,
            QStringLiteral("Impossibile leggere il file «%1»: %2")
                .arg(QDir::toNativeSeparators(file), f.errorString()));
    const qint64 lunghezza = f.size();
    QByteArray dati;
    dati.reserve(lunghezza);
    auto leggi = [&](qint64 quanti) {
        const QByteArray pezzo = f.read(quanti);
        if (pezzo.size() != quanti)
            throw ErroreArchivio(CodiciErrore::ErroreDisco,
                QStringLiteral("Lettura incompleta del file «%1».").arg(QDir::toNativeSeparators(file)));
        dati += pezzo;
    };
    leggi(lunghezza % Pezzo);
    for (qint64 i = 0; i < lunghezza / Pezzo; ++i) {
        leggi(Pezzo);
        LasciaDisegnare(db);
    }
    return dati;
}

void ScriviAPezzi(const QString& file, const QByteArray& dati, const Archivio& db)
{
    QFile::remove(file);
    QFile f(file);
    auto errore = [&] {
        return ErroreArchivio(CodiciErrore::ErroreDisco,
            QStringLiteral("Impossibile scrivere il file «%1»: %2")
                .arg(QDir::toNativeSeparators(file), f.errorString()));
    };
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw errore();
    const qsizetype dimensione = dati.size();
    qsizetype posizione = 0;
    auto scrivi = [&](qsizetype quanti) {
        if (f.write(dati.constData() + posizione, quanti) != quanti)
            throw errore();
        posizione += quanti;
    };
    scrivi(dimensione % Pezzo);
    for (qsizetype i = 0; i < dimensione / Pezzo; ++i) {
        scrivi(Pezzo);
        LasciaDisegnare(db);
    }
    if (!f.flush())
        throw errore();
}

} // namespace

QString CartellaLavoro()
{
    if (!servizi().cartellaImmagini.isEmpty())
        return servizi().cartellaImmagini;
    static std::unique_ptr<QTemporaryDir> privata;
    if (!privata || !privata->isValid())
        privata = std::make_unique<QTemporaryDir>(QDir::temp().filePath(QStringLiteral("cartavia-XXXXXX")));
    return privata->isValid() ? privata->path() : QDir::tempPath();
}

QString FileSalvataggio()
{
    return QDir(CartellaLavoro()).filePath(QStringLiteral("tmp.bin"));
}

QString FileLettura()
{
    return QDir(CartellaLavoro()).filePath(QStringLiteral("img_temp.bin"));
}

void SalvaFileInCampo(
    Archivio& db, Riga& riga, const QString& campo, const QString& file, const QString& modo)
{
    ControllaNomi(riga.tabella, campo);
    const QString m = modo.toUpper();
    const bool aggiunta = m == QLatin1String("ADDNEW");
    const bool modifica = m == QLatin1String("EDIT");
    // The whole file is read before the archive is touched, so a bad file changes nothing.
    const QByteArray dati = LeggiAPezzi(file, db);

    auto scrivi = [&] {
        if (aggiunta) {
            QSqlQuery q = db.esegui(QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(riga.tabella));
            riga.indice = q.lastInsertId();
        }
        if (riga.fine())
            throw ErroreArchivio(CodiciErrore::Generico, QStringLiteral("Nessun record corrente."));
        db.esegui(QStringLiteral("UPDATE %1 SET %2 = ? WHERE Indice = ?").arg(riga.tabella, campo),
            { dati, riga.indice });
    };
    if ((aggiunta || modifica) && !db.inTransazione())
        InTransazione(db, scrivi);
    else
        scrivi();
}

QString LeggiFileDaCampo(Archivio& db, const Riga& riga, const QString& campo)
{
    ControllaNomi(riga.tabella, campo);
    if (riga.fine())
        return {};
    const QByteArray dati
        = db.valore(QStringLiteral("SELECT %1 FROM %2 WHERE Indice = ?").arg(campo, riga.tabella),
                { riga.indice })
              .toByteArray();
    const QString file = FileLettura();
    ScriviAPezzi(file, dati, db);
    return file;
}

} // namespace ImmaginiDatabase
