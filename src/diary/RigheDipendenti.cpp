#include "RigheDipendenti.h"

#include "archive/Archivio.h"
#include "archive/GestioneErrore.h"
#include "archive/Module1.h"
#include "comune/Griglia.h"

#include <QSet>
#include <QSqlQuery>

namespace RigheDipendenti {

QStringList CaricaTipi(const QString& archivio, bool* ok)
{
    QStringList tipi;
    const bool letti = EseguiPasso([&] {
        tipi.clear();
        Archivio db(archivio);
        QSqlQuery q
            = db.esegui(QStringLiteral("SELECT Tipo FROM TabellaTipi ORDER BY Tipo COLLATE NOCASE, Indice"));
        // A type is its text: a code listed twice, or one named like the built-in row, would give
        // an employee two rows that share their stored entries, and a save would write one over
        // the other. Each text gets one row, compared as the grid and the save compare types.
        QSet<QString> visti { Ordinario.toCaseFolded() };
        while (tipi.size() < MassimoTipi && q.next()) {
            const QString tipo = q.value(0).toString();
            if (!visti.contains(tipo.toCaseFolded())) {
                visti.insert(tipo.toCaseFolded());
                tipi << tipo;
            }
        }
    });
    if (ok)
        *ok = letti;
    return tipi;
}

QString CondizioneDipendenti(const Criteri& criteri, const QString& alias, QVariantList& valori)
{
    const QString a = alias.isEmpty() ? QString() : alias + QLatin1Char('.');
    QString sql = a + QStringLiteral("Indice > 0");
    if (!criteri.codiceDipendente.isEmpty()) {
        // Codes compare without regard to case, as the archive always did.
        sql += QStringLiteral(" AND ") + a + QStringLiteral("Codice = ? COLLATE NOCASE");
        valori << criteri.codiceDipendente;
    }
    // A flag never set reads as "no"; -1 and 1 both read as "yes".
    if (criteri.filtro == Filtro::NonAttivi)
        sql += QStringLiteral(" AND COALESCE(") + a + QStringLiteral("Attivo, 0) = 0");
    else if (criteri.filtro == Filtro::Attivi)
        sql += QStringLiteral(" AND COALESCE(") + a + QStringLiteral("Attivo, 0) <> 0");
    return sql;
}

QList<Dipendente> LeggiDipendenti(Archivio& db, const Criteri& criteri)
{
    QVariantList valori;
    QString sql = QStringLiteral("SELECT Indice, Codice, RagSociale FROM TabellaAnagrafiche WHERE ")
        + CondizioneDipendenti(criteri, {}, valori);
    if (criteri.ordinamento == OrdinaRagioneSociale)
        sql += QStringLiteral(" ORDER BY RagSociale COLLATE NOCASE, Indice");
    else if (criteri.ordinamento == OrdinaInserimento)
        sql += QStringLiteral(" ORDER BY Indice");
    else if (criteri.ordinamento == OrdinaCodice)
        sql += QStringLiteral(" ORDER BY Codice COLLATE NOCASE, Indice");
    QList<Dipendente> elenco;
    QSqlQuery q = db.esegui(sql, valori);
    while (q.next())
        elenco.append({ q.value(0).toLongLong(), q.value(1).toString(), q.value(2).toString() });
    return elenco;
}

QList<Dipendente> LeggiDipendenti(const QString& archivio, const Criteri& criteri, bool* ok)
{
    QList<Dipendente> elenco;
    const bool letti = EseguiPasso([&] {
        Archivio db(archivio);
        elenco = LeggiDipendenti(db, criteri);
    });
    if (ok)
        *ok = letti;
    return elenco;
}

QList<Dipendente> ElencoPerSelezione(const QString& archivio, bool* ok)
{
    QList<Dipendente> elenco;
    const bool letti = EseguiPasso([&] {
        elenco.clear();
        Archivio db(archivio);
        QSqlQuery q = db.esegui(QStringLiteral("SELECT Indice, Codice, RagSociale FROM TabellaAnagrafiche "
                                               "ORDER BY RagSociale COLLATE NOCASE DESC, Indice"));
        while (q.next())
            elenco.append({ q.value(0).toLongLong(), q.value(1).toString(), q.value(2).toString() });
    });
    if (ok)
        *ok = letti;
    return elenco;
}

void CaricaDipendenti(Griglia& griglia, const QList<Dipendente>& dipendenti, const QStringList& tipi)
{
    Griglia::Ricostruzione blocco(griglia);
    griglia.impostaRighe(2);
    const Qt::Alignment sinistra = Qt::AlignLeft | Qt::AlignVCenter;
    bool primo = true;
    for (const Dipendente& d : dipendenti) {
        const QColor colore = primo ? ColorePrimoBlocco : ColoreSecondoBlocco;
        primo = !primo;
        const QString indice = QString::number(d.indice);
        for (int t = 0; t <= tipi.size(); ++t) {
            const int r = griglia.aggiungiRiga();
            griglia.impostaTesto(r, 0, indice);
            griglia.impostaTesto(r, 1, d.codice);
            griglia.impostaTesto(r, 2, t == 0 ? d.ragSociale : QString());
            griglia.impostaTesto(r, 3, t == 0 ? Ordinario : tipi.at(t - 1));
            griglia.impostaAllineamentoCella(r, 2, sinistra);
            griglia.impostaAllineamentoCella(r, 3, sinistra);
            for (int c = 1; c <= 3; ++c)
                griglia.impostaSfondo(r, c, colore);
        }
    }
}

bool CaricaDipendenti(
    const QString& archivio, Griglia& griglia, const Criteri& criteri, const QStringList& tipi)
{
    bool ok = false;
    const QList<Dipendente> dipendenti = LeggiDipendenti(archivio, criteri, &ok);
    CaricaDipendenti(griglia, dipendenti, tipi);
    return ok;
}

} // namespace RigheDipendenti
