#include "FunzioniPerVariabili.h"

#include "archive/Archivio.h"
#include "archive/GestioneErrore.h"
#include "archive/Module1.h"
#include "archive/Schema.h"
#include "platform/FileIni.h"

// Setting names are compared without regard to case, as the archive's key always did.
namespace FunzioniPerVariabili {

bool ScriviVariabile(const QString& archivio, const QString& nome, const QString& valore)
{
    const QString n = nome.left(Schema::Dimensione(QStringLiteral("Variabili"), QStringLiteral("NomeVar")));
    const QString v
        = valore.left(Schema::Dimensione(QStringLiteral("Variabili"), QStringLiteral("ValoreStringa")));
    if (n.isEmpty())
        return false;
    return EseguiConAttesa([&] {
        Archivio db(archivio);
        InTransazione(db, [&] {
            QSqlQuery q = db.esegui(
                QStringLiteral("UPDATE Variabili SET ValoreStringa = ? WHERE NomeVar = ? COLLATE NOCASE"),
                { v, n });
            if (q.numRowsAffected() == 0)
                db.esegui(
                    QStringLiteral("INSERT INTO Variabili (NomeVar, ValoreStringa) VALUES (?, ?)"), { n, v });
        });
    });
}

bool ScriviFlag(const QString& archivio, const QString& nome, bool valore)
{
    return ScriviVariabile(archivio, nome, valore ? QStringLiteral("-1") : QStringLiteral("0"));
}

QString LeggiVariabile(const QString& archivio, const QString& nome)
{
    QString risultato;
    EseguiConAttesa([&] {
        Archivio db(archivio);
        risultato = db.valore(QStringLiteral(
                                  "SELECT ValoreStringa FROM Variabili WHERE NomeVar = ? COLLATE NOCASE"),
                          { nome })
                        .toString();
    });
    return risultato;
}

QHash<QString, QString> LeggiVariabili(const QString& archivio, const QStringList& nomi)
{
    QHash<QString, QString> risultato;
    if (nomi.isEmpty())
        return risultato;
    EseguiConAttesa([&] {
        risultato.clear();
        QHash<QString, QString> trovati; // by the name folded, as the key compares
        Archivio db(archivio);
        QStringList segnaposto;
        QVariantList valori;
        for (const QString& nome : nomi) {
            segnaposto << QStringLiteral("?");
            valori << nome;
        }
        QSqlQuery q
            = db.esegui(QStringLiteral("SELECT NomeVar, ValoreStringa FROM Variabili WHERE NomeVar COLLATE "
                                       "NOCASE IN (%1)")
                            .arg(segnaposto.join(QLatin1Char(','))),
                valori);
        while (q.next())
            trovati.insert(q.value(0).toString().toCaseFolded(), q.value(1).toString());
        for (const QString& nome : nomi)
            risultato.insert(nome, trovati.value(nome.toCaseFolded()));
    });
    return risultato;
}

bool LeggiFlag(const QString& archivio, const QString& nome)
{
    bool ok = false;
    const double v = LeggiVariabile(archivio, nome).trimmed().toDouble(&ok);
    return ok && v != 0.0;
}

bool ScriviValoreIni(
    const QString& file, const QString& sezione, const QString& chiave, const QString& valore)
{
    return FileIni::Scrivi(file, sezione, chiave, valore);
}

QString LeggiValoreIni(const QString& file, const QString& sezione, const QString& chiave)
{
    return FileIni::Leggi(file, sezione, chiave);
}

} // namespace FunzioniPerVariabili
