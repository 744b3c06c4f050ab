#include "DatiDiProva.h"

#include "AmbienteTest.h"

#include "archive/Archivio.h"
#include "archive/Module1.h"

#include <QSqlQuery>
#include <QStringList>

#include <algorithm>

ArchivioDiProva::ArchivioDiProva(const AmbienteTest& amb)
    : m_percorso(amb.archivio())
{ }

ArchivioDiProva::ArchivioDiProva(const QString& percorso)
    : m_percorso(percorso)
{ }

ArchivioDiProva::ArchivioDiProva(Archivio& db)
    : m_percorso(db.percorso())
    , m_db(&db)
{ }

qint64 ArchivioDiProva::inserisci(const char* tabella, Campi campi, const Campi& altri) const
{
    for (const auto& [nome, valore] : altri) {
        auto stesso = [nome](const auto& c) { return qstricmp(c.first, nome) == 0; };
        if (auto c = std::find_if(campi.begin(), campi.end(), stesso); c != campi.end())
            c->second = valore;
        else
            campi.append({ nome, valore });
    }
    QStringList nomi;
    QVariantList valori;
    for (const auto& [nome, valore] : campi) {
        nomi << QLatin1String(nome);
        valori << valore;
    }
    const QString sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3) RETURNING Indice")
                            .arg(QLatin1String(tabella), nomi.join(QLatin1String(", ")),
                                QStringList(nomi.size(), QStringLiteral("?")).join(QLatin1String(", ")));
    if (!m_db)
        return AmbienteTest::sqlSu(m_percorso, sql, valori).toLongLong();
    QSqlQuery q = m_db->esegui(sql, valori);
    return q.next() ? q.value(0).toLongLong() : 0;
}

qint64 dipendente(const ArchivioDiProva& a, const QString& codice, const QString& nome,
    const QVariant& attivo, const Campi& altri)
{
    const QVariant nonAttivo = attivo.isNull() ? QVariant() : QVariant(attivo.toInt() == 0 ? 1 : 0);
    return a.inserisci("TabellaAnagrafiche",
        { { "Codice", codice }, { "RagSociale", nome }, { "Attivo", attivo }, { "NonAttivo", nonAttivo } },
        altri);
}

void dipendenti(const ArchivioDiProva& a, int quanti)
{
    for (int i = 1; i <= quanti; ++i)
        dipendente(a, QStringLiteral("C%1").arg(i, 2, 10, QLatin1Char('0')), Nome(i));
}

qint64 tipo(const ArchivioDiProva& a, const QString& tipo, const QVariant& descrizione)
{
    return a.inserisci("TabellaTipi", { { "Tipo", tipo }, { "Descrizione", descrizione } });
}

qint64 stato(const ArchivioDiProva& a, const QString& codice, const QVariant& descrizione)
{
    return a.inserisci("TabellaStati", { { "Stato", codice }, { "Descrizione", descrizione } });
}

qint64 movimento(const ArchivioDiProva& a, qint64 dipendente, const QString& tipo, const QDate& data,
    const QVariant& stato, const QVariant& nota, const Campi& altri)
{
    return a.inserisci("TabellaMovimenti",
        { { "IndiceAnagrafica", dipendente }, { "Tipo", tipo }, { "Data", data.toString(Qt::ISODate) },
            { "Giorno", QString::number(data.day()) }, { "Mese", Module1::NomeMese(data.month()) },
            { "Anno", QString::number(data.year()) }, { "Stato", stato },
            { "StatoNum", Module1::ValoreNumerico(stato.toString()) }, { "Note", nota } },
        altri);
}

qint64 azienda(const ArchivioDiProva& a, const Campi& campi)
{
    return a.inserisci("Configurazioni", campi);
}

QString Nome(int i)
{
    return QStringLiteral("Dipendente %1").arg(i, 2, 10, QLatin1Char('0'));
}

Configurazione::Dati AziendaDiProva()
{
    Configurazione::Dati d;
    d.RagSociale = QStringLiteral("Officine Rossi S.r.l.");
    d.Indirizzo = QStringLiteral("Via Roma 1");
    d.Cap = QStringLiteral("23900");
    d.Comune = QStringLiteral("Lecco");
    d.Provincia = QStringLiteral("LC");
    d.Piva = QStringLiteral("01234567890");
    d.CodiceFiscale = QStringLiteral("RSSMRA80A01E507X");
    d.Tel = QStringLiteral("0341 111");
    d.Fax = QStringLiteral("0341 222");
    d.VisualizzaIntestazione = true;
    return d;
}
