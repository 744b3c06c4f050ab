#include "ElencoAnagrafiche.h"

#include "archive/Archivio.h"
#include "archive/GestioneErrore.h"
#include "archive/Module1.h"

#include <QSqlQuery>

const QStringList& ElencoAnagrafiche::Ordinamenti()
{
    static const QStringList voci { QStringLiteral("Ragione Sociale"), QStringLiteral("Codice"),
        QStringLiteral("Inserimento") };
    return voci;
}

QString ElencoAnagrafiche::Query(Filtro filtro, const QString& ordinamento)
{
    QString sql = QStringLiteral("SELECT Indice, Codice, RagSociale, Cellulare, Telefono, Attivo "
                                 "FROM TabellaAnagrafiche WHERE Indice > 0");
    if (filtro == Filtro::Attivi)
        sql += QStringLiteral(" AND Attivo <> 0");
    else if (filtro == Filtro::NonAttivi)
        sql += QStringLiteral(" AND NonAttivo <> 0");
    // Names and codes sort as the users read them, without regard to case.
    if (ordinamento == QLatin1String("Ragione Sociale"))
        sql += QStringLiteral(" ORDER BY RagSociale COLLATE NOCASE, Indice");
    else if (ordinamento == QLatin1String("Inserimento"))
        sql += QStringLiteral(" ORDER BY Indice");
    else if (ordinamento == QLatin1String("Codice"))
        sql += QStringLiteral(" ORDER BY Codice COLLATE NOCASE, Indice");
    return sql;
}

bool ElencoAnagrafiche::Carica(const QString& archivio, Filtro filtro, const QString& ordinamento)
{
    QList<QStringList> righe;
    const bool ok = EseguiPasso([&] {
        righe.clear();
        Archivio db(archivio);
        QSqlQuery q = db.esegui(Query(filtro, ordinamento));
        while (q.next()) {
            QStringList r;
            for (int c = ColIndice; c < ColAttivo; ++c)
                r << q.value(c).toString();
            const QVariant attivo = q.value(ColAttivo);
            r << ((!attivo.isNull() && attivo.toInt() != 0) ? QStringLiteral("SI") : QStringLiteral("NO"));
            righe << r;
        }
    });
    m_righe = ok ? righe : QList<QStringList>();
    m_sfondi.clear();
    m_evidenziata = 0;
    return ok;
}

QString ElencoAnagrafiche::testo(int riga, int colonna) const
{
    if (colonna < 0 || colonna >= NumeroColonne)
        return {};
    if (riga == 0) {
        static const QStringList intestazioni { QStringLiteral("Indice"), QStringLiteral("Codice"),
            QStringLiteral("Ragione Sociale"), QStringLiteral("Cellulare"), QStringLiteral("Telefono"),
            QStringLiteral("Attivo") };
        return intestazioni.at(colonna);
    }
    if (riga < 1 || riga >= righe())
        return {};
    return m_righe.at(riga - 1).at(colonna);
}

int ElencoAnagrafiche::larghezza(int colonna)
{
    static const int larghezze[NumeroColonne] = { 0, 800, 2600, 1600, 1600, 600 };
    return (colonna >= 0 && colonna < NumeroColonne) ? larghezze[colonna] : 0;
}

QColor ElencoAnagrafiche::sfondo(int riga) const
{
    return m_sfondi.value(riga);
}

qint32 ElencoAnagrafiche::indice(int riga) const
{
    return static_cast<qint32>(Module1::ValoreNumerico(testo(riga, ColIndice)));
}

void ElencoAnagrafiche::Seleziona(int riga)
{
    if (riga < 1 || riga >= righe())
        return;
    // Choosing the highlighted row again must not take the highlight for its own background.
    if (riga == m_evidenziata)
        return;
    const QColor sfondoRiga = sfondo(riga);
    if (m_evidenziata > 0 && m_evidenziata < righe())
        m_sfondi.insert(m_evidenziata, m_sfondoPrecedente);
    m_sfondi.insert(riga, ColoreEvidenza);
    m_sfondoPrecedente = sfondoRiga;
    m_evidenziata = riga;
}

void ElencoAnagrafiche::PulisciGriglia()
{
    if (m_evidenziata > 0 && m_evidenziata < righe())
        m_sfondi.insert(m_evidenziata, m_sfondoPrecedente);
    m_evidenziata = 0;
}
