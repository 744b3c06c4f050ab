#include "SalvataggioMese.h"

#include "archive/Archivio.h"
#include "archive/GestioneErrore.h"
#include "archive/Module1.h"
#include "diary/ElencoStati.h"
#include "diary/GrigliaDettaglio.h"
#include "comune/Griglia.h"
#include "diary/RegoleCella.h"

#include <QDate>
#include <QHash>
#include <QSet>
#include <QSqlQuery>

namespace {

using RegoleCella::Contenuto;

// One body row of the grid as it was when the save began: the save works on this copy, so
// nothing that happens to the grid meanwhile can mix two months or two layouts.
struct RigaDaSalvare
{
    int riga = 0;
    qint64 indice = 0;
    QString codice;
    QString nome;
    QString tipo;
    QStringList giorni; // the text of day 1, 2, ...
};

struct Esistente
{
    qint64 chiave = 0;
    QString stato;
    double statoNum = 0;
    bool statoNumNullo = true;
    QString descrizione;
};


constexpr int MassimoGiorni = 31;

// Texts are stored as texts, an empty one too (never as a missing value).
QString testo(const QString& t)
{
    return t.isNull() ? QStringLiteral("") : t;
}

// Bound values per statement stay well below the engine's limit.
constexpr int DipendentiPerLettura = 400;

bool invariato(const Esistente& e, const Contenuto& c)
{
    if (e.stato != c.testo || e.statoNumNullo || e.statoNum != c.numero)
        return false;
    return !c.conDescrizione() || e.descrizione == c.descrizione;
}

} // namespace

SalvataggioMese::SalvataggioMese(const QString& archivio, Griglia& griglia, const QString& mese, const QString& anno)
    : m_griglia(griglia)
    , m_mese(mese)
    , m_anno(anno)
    , m_archivio(archivio)
{ }

void SalvataggioMese::impostaAvanzamento(std::function<void(int)> avanzamento, int ogniRighe)
{
    m_avanzamento = std::move(avanzamento);
    m_ogniRighe = std::max(ogniRighe, 1);
}

bool SalvataggioMese::Salva()
{
    m_numeroErrore = 0;
    m_descrizioneErrore.clear();
    m_inserite = 0;
    m_aggiornate = 0;

    const int numeroMese = Module1::NumeroMese(m_mese);
    bool annoValido = false;
    const int anno = m_anno.toInt(&annoValido);
    if (numeroMese == 0 || !annoValido) {
        m_numeroErrore = CodiciErrore::Generico;
        m_descrizioneErrore = QStringLiteral("Mese o anno non validi.");
        return false;
    }

    // The days the grid shows that are days of the month.
    QList<QDate> date;
    for (int c = GrigliaDettaglio::ColonnaGiorno(1); c < m_griglia.colonne(); ++c) {
        const QDate data(anno, numeroMese, GrigliaDettaglio::GiornoColonna(c));
        if (!data.isValid())
            break;
        date << data;
    }

    QList<RigaDaSalvare> righe;
    QList<qint64> dipendenti;
    QSet<qint64> visti;
    for (int r = GrigliaDettaglio::RigheFisse; r < m_griglia.righe(); ++r) {
        RigaDaSalvare riga;
        riga.riga = r;
        riga.indice = qint64(Module1::ValoreNumerico(m_griglia.testo(r, 0)));
        if (riga.indice <= 0)
            continue;
        riga.codice = m_griglia.testo(r, 1);
        riga.nome = m_griglia.testo(r, 2);
        riga.tipo = m_griglia.testo(r, 3);
        for (int g = 1; g <= date.size(); ++g)
            riga.giorni << m_griglia.testo(r, GrigliaDettaglio::ColonnaGiorno(g));
        if (!visti.contains(riga.indice)) {
            visti.insert(riga.indice);
            dipendenti << riga.indice;
        }
        righe << riga;
    }

    // A rebuild while saving (another month, another layout) leaves the new grid as it is.
    bool ricostruita = false;
    const QMetaObject::Connection osservazione = QObject::connect(
        &m_griglia, &Griglia::ricostruzioneIniziata, [&ricostruita] { ricostruita = true; });

    // What each row's cells are stored as (positions in tipiDiContenuto), filled by the
    // transaction that succeeds.
    QList<Contenuto> tipiDiContenuto;
    QList<QList<qsizetype>> contenuti;
    const bool salvato = EseguiPasso([&] {
        try {
            contenuti.clear();
            tipiDiContenuto.clear();
            m_inserite = 0;
            m_aggiornate = 0;
            Archivio db(m_archivio);
            InTransazione(db, [&] {
                const ElencoStati stati = ElencoStati::Leggi(db);

                // The stored rows of each grid row, by day.
                // Two types that differ only in case share their stored rows, as they always did.
                // The grid rows of each employee; a stored row finds its grid row by employee and
                // by type, the few type texts of the month folded once.
                QHash<qint64, QList<qsizetype>> righeDipendente;
                QList<QString> tipiRiga(righe.size());
                for (qsizetype i = 0; i < righe.size(); ++i) {
                    righeDipendente[righe.at(i).indice].append(i);
                    tipiRiga[i] = righe.at(i).tipo.toCaseFolded();
                }
                // The first stored row of each grid row and day sits in `primi`; a day stored twice
                // (older archives) keeps the others in `altri`.
                QList<Esistente> primi(righe.size() * (MassimoGiorni + 1));
                QHash<qsizetype, QList<Esistente>> altri;
                QList<QPair<QByteArray, QString>> tipiPiegati;
                for (qsizetype inizio = 0; inizio < dipendenti.size(); inizio += DipendentiPerLettura) {
                    const QList<qint64> gruppo = dipendenti.mid(inizio, DipendentiPerLettura);
                    QVariantList valori;
                    QStringList segnaposto;
                    for (qint64 d : gruppo) {
                        valori << d;
                        segnaposto << QStringLiteral("?");
                    }
                    valori << m_anno << m_mese;
                    db.scorri(QStringLiteral("SELECT Indice, IndiceAnagrafica, Tipo, Giorno, Stato, StatoNum, Descrizione "
                                             "FROM TabellaMovimenti WHERE IndiceAnagrafica IN (")
                                  + segnaposto.join(QLatin1Char(','))
                                  + QStringLiteral(") AND Anno = ? AND Mese = ?"),
                              valori, [&](const RigaRapida& q) {
                                  const auto proprie = righeDipendente.constFind(q.intero(1));
                                  if (proprie == righeDipendente.constEnd())
                                      return;
                                  const QByteArrayView tipoGrezzo = q.grezzo(2);
                                  const QString* tipo = nullptr;
                                  for (const auto& t : tipiPiegati)
                                      if (t.first == tipoGrezzo) {
                                          tipo = &t.second;
                                          break;
                                      }
                                  if (!tipo) {
                                      tipiPiegati.append({tipoGrezzo.toByteArray(), q.testo(2).toCaseFolded()});
                                      tipo = &tipiPiegati.last().second;
                                  }
                                  const int giorno = GrigliaDettaglio::NumeroGiorno(q.testo(3));
                                  if (giorno < 1 || giorno > MassimoGiorni)
                                      return;
                                  bool letta = false;
                                  Esistente e;
                                  for (qsizetype i : *proprie) {
                                      if (tipiRiga.at(i) != *tipo)
                                          continue;
                                      if (!letta) {
                                          e = { q.intero(0), q.testo(4), q.reale(5), q.nullo(5), q.testo(6) };
                                          letta = true;
                                      }
                                      const qsizetype posto = i * (MassimoGiorni + 1) + giorno;
                                      if (primi.at(posto).chiave == 0)
                                          primi[posto] = e;
                                      else
                                          altri[posto].append(e);
                                  }
                              });
                }

                QSqlQuery aggiornaStato = db.prepara(QStringLiteral(
                    "UPDATE TabellaMovimenti SET Stato = ?, StatoNum = ?, Descrizione = ? WHERE Indice = ?"));
                QSqlQuery aggiornaOre = db.prepara(
                    QStringLiteral("UPDATE TabellaMovimenti SET Stato = ?, StatoNum = ? WHERE Indice = ?"));
                QSqlQuery inserisci = db.prepara(QStringLiteral(
                    "INSERT INTO TabellaMovimenti (IndiceAnagrafica, CodiceAnagrafica, RagSociale, Tipo, "
                    "Data, Giorno, "
                    "Mese, Anno, Stato, StatoNum, Descrizione) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));

                // Most cells repeat a few texts: each is classified once.
                QHash<QString, qsizetype> classificati;
                contenuti.reserve(righe.size());
                for (qsizetype i = 0; i < righe.size(); ++i) {
                    const RigaDaSalvare& riga = righe.at(i);
                    QList<qsizetype> celle;
                    celle.reserve(riga.giorni.size());
                    for (qsizetype g = 0; g < riga.giorni.size(); ++g) {
                        const QString& cella = riga.giorni.at(g);
                        auto trovato = classificati.constFind(cella);
                        if (trovato == classificati.constEnd()) {
                            trovato = classificati.insert(cella, tipiDiContenuto.size());
                            tipiDiContenuto << RegoleCella::Classifica(cella, stati);
                        }
                        const Contenuto& c = tipiDiContenuto.at(*trovato);
                        celle << *trovato;
                        const int giorno = int(g) + 1;
                        const qsizetype posto = i * (MassimoGiorni + 1) + giorno;
                        const Esistente& primo = primi.at(posto);
                        if (primo.chiave == 0) {
                            const QVariant descrizione
                                = c.conDescrizione() ? QVariant(c.descrizione) : QVariant();
                            db.eseguiPreparata(inserisci,
                                { riga.indice, testo(riga.codice), testo(riga.nome), testo(riga.tipo),
                                    date.at(g).toString(Qt::ISODate), QString::number(giorno), m_mese, m_anno,
                                    testo(c.testo), c.numero, descrizione });
                            ++m_inserite;
                            continue;
                        }
                        const auto aggiorna = [&](const Esistente& e) {
                            if (invariato(e, c))
                                return;
                            if (c.conDescrizione())
                                db.eseguiPreparata(aggiornaStato,
                                    { testo(c.testo), c.numero, testo(c.descrizione), e.chiave });
                            else
                                db.eseguiPreparata(aggiornaOre, { testo(c.testo), c.numero, e.chiave });
                            ++m_aggiornate;
                        };
                        aggiorna(primo);
                        // A day stored twice (older archives) gets the value on every row, so
                        // whichever the grid shows is the one just saved.
                        if (const auto doppi = altri.constFind(posto); doppi != altri.constEnd())
                            for (const Esistente& e : *doppi)
                                aggiorna(e);
                    }
                    contenuti << celle;
                    if (m_avanzamento && ((i + 1) % m_ogniRighe == 0 || i + 1 == righe.size()))
                        m_avanzamento(riga.riga);
                }
            });
        } catch (const ErroreArchivio& e) {
            m_numeroErrore = e.numero();
            m_descrizioneErrore = e.descrizione();
            throw;
        }
    });
    QObject::disconnect(osservazione);
    if (!salvato) {
        if (m_numeroErrore == 0)
            m_numeroErrore = CodiciErrore::Generico;
        m_inserite = 0;
        m_aggiornate = 0;
        return false;
    }
    m_numeroErrore = 0;
    m_descrizioneErrore.clear();

    // The grid shows what was stored.
    for (qsizetype i = 0; !ricostruita && i < righe.size() && i < contenuti.size(); ++i) {
        const RigaDaSalvare& riga = righe.at(i);
        const QList<qsizetype>& celle = contenuti.at(i);
        for (qsizetype g = 0; g < celle.size(); ++g)
            m_griglia.impostaTesto(riga.riga, GrigliaDettaglio::ColonnaGiorno(int(g) + 1),
                tipiDiContenuto.at(celle.at(g)).testo);
    }
    return true;
}

bool SalvataggioMese::CancellaMese(const QString& archivio, const QString& mese, const QString& anno, QString* descrizioneErrore)
{
    QString errore;
    const bool ok = EseguiPasso([&] {
        try {
            Archivio db(archivio);
            InTransazione(db, [&] {
                db.esegui(QStringLiteral("DELETE FROM TabellaMovimenti WHERE Mese = ? AND Anno = ?"),
                    { mese, anno });
            });
        } catch (const ErroreArchivio& e) {
            errore = e.descrizione();
            throw;
        }
    });
    if (descrizioneErrore)
        *descrizioneErrore = ok ? QString() : errore;
    return ok;
}
