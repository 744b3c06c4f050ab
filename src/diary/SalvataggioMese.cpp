#include "SalvataggioMese.h"

#include "archive/Archivio.h"
#include "archive/GestioneErrore.h"
#include "archive/Module1.h"
#include "diary/ElencoStati.h"
#include "diary/GrigliaDettaglio.h"
#include "diary/MeseAnno.h"
#include "diary/MeseDiario.h"
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
QString nonNullo(const QString& t)
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

// The month as the grid shows it when the save begins.
struct CelleMese
{
    QList<QDate> date; // the days the grid shows that are days of the month
    QList<RigaDaSalvare> righe;
    QList<qint64> dipendenti; // each employee once, in grid order
};

// Appends a row, counting its employee once.
void aggiungi(CelleMese& celle, QSet<qint64>& visti, RigaDaSalvare riga)
{
    if (!visti.contains(riga.indice)) {
        visti.insert(riga.indice);
        celle.dipendenti << riga.indice;
    }
    celle.righe << std::move(riga);
}

CelleMese leggiGriglia(const Griglia& griglia, int anno, int numeroMese)
{
    CelleMese letto;
    for (int c = GrigliaDettaglio::ColonnaGiorno(1); c < griglia.colonne(); ++c) {
        const QDate data(anno, numeroMese, GrigliaDettaglio::GiornoColonna(c));
        if (!data.isValid())
            break;
        letto.date << data;
    }

    QSet<qint64> visti;
    for (int r = GrigliaDettaglio::RigheFisse; r < griglia.righe(); ++r) {
        RigaDaSalvare riga;
        riga.riga = r;
        riga.indice = qint64(Module1::ValoreNumerico(griglia.testo(r, 0)));
        if (riga.indice <= 0)
            continue;
        riga.codice = griglia.testo(r, 1);
        riga.nome = griglia.testo(r, 2);
        riga.tipo = griglia.testo(r, 3);
        for (int g = 1; g <= letto.date.size(); ++g)
            riga.giorni << griglia.testo(r, GrigliaDettaglio::ColonnaGiorno(g));
        aggiungi(letto, visti, std::move(riga));
    }
    return letto;
}

// The month as a document holds it when the save begins; rows are numbered as the grid shows
// them, for the progress.
CelleMese leggiDocumento(const MeseDiario& documento)
{
    CelleMese letto;
    for (int g = 1; g <= documento.giorni(); ++g)
        letto.date << documento.mese().data(g);
    QSet<qint64> visti;
    for (int r = 0; r < documento.righe(); ++r) {
        const MeseDiario::Riga& d = documento.riga(r);
        RigaDaSalvare riga;
        riga.riga = r + GrigliaDettaglio::RigheFisse;
        riga.indice = d.indice;
        riga.codice = d.codice;
        // The name goes with the ORDINARIO row only, as the grid shows it.
        if (d.genere == RegoleCella::Riga::Ordinario)
            riga.nome = d.nome;
        riga.tipo = d.tipo;
        for (int g = 1; g <= documento.giorni(); ++g)
            riga.giorni << documento.testo(r, g);
        aggiungi(letto, visti, std::move(riga));
    }
    return letto;
}

// The stored rows of the month, by grid row and day. Two types that differ only in case share
// their stored rows, as they always did.
class Memorizzati
{
public:
    // The first stored row of grid row `i` on `giorno` (chiave 0 when there is none).
    const Esistente& primo(qsizetype i, int giorno) const { return m_primi.at(posto(i, giorno)); }
    // The other rows of the same day (older archives stored some days twice).
    QList<Esistente> altri(qsizetype i, int giorno) const { return m_altri.value(posto(i, giorno)); }

    static Memorizzati Leggi(Archivio& db, const CelleMese& celle, const QString& mese, const QString& anno)
    {
        Memorizzati m;
        const QList<RigaDaSalvare>& righe = celle.righe;
        // The grid rows of each employee; a stored row finds its grid row by employee and by type,
        // the few type texts of the month folded once.
        QHash<qint64, QList<qsizetype>> righeDipendente;
        QList<QString> tipiRiga(righe.size());
        for (qsizetype i = 0; i < righe.size(); ++i) {
            righeDipendente[righe.at(i).indice].append(i);
            tipiRiga[i] = righe.at(i).tipo.toCaseFolded();
        }
        m.m_primi.resize(righe.size() * (MassimoGiorni + 1));
        QList<QPair<QByteArray, QString>> tipiPiegati;
        for (qsizetype inizio = 0; inizio < celle.dipendenti.size(); inizio += DipendentiPerLettura) {
            const QList<qint64> gruppo = celle.dipendenti.mid(inizio, DipendentiPerLettura);
            QVariantList valori;
            QStringList segnaposto;
            for (qint64 d : gruppo) {
                valori << d;
                segnaposto << QStringLiteral("?");
            }
            valori << anno << mese;
            db.scorri(
                QStringLiteral("SELECT Indice, IndiceAnagrafica, Tipo, Giorno, Stato, StatoNum, Descrizione "
                               "FROM TabellaMovimenti WHERE IndiceAnagrafica IN (")
                    + segnaposto.join(QLatin1Char(',')) + QStringLiteral(") AND Anno = ? AND Mese = ?"),
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
                        tipiPiegati.append({ tipoGrezzo.toByteArray(), q.testo(2).toCaseFolded() });
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
                        const qsizetype p = posto(i, giorno);
                        if (m.m_primi.at(p).chiave == 0)
                            m.m_primi[p] = e;
                        else
                            m.m_altri[p].append(e);
                    }
                });
        }
        return m;
    }

private:
    static qsizetype posto(qsizetype i, int giorno) { return i * (MassimoGiorni + 1) + giorno; }

    QList<Esistente> m_primi;
    QHash<qsizetype, QList<Esistente>> m_altri;
};

// One statement the save needs: a missing day inserted, or a stored day that differs updated.
struct Differenza
{
    enum Tipo { Inserisci, AggiornaStato, AggiornaOre } tipo;
    QVariantList valori;
};

// The statements that bring day `g` (0-based) of grid row `i`, as stored, to `c`.
void differenzeGiorno(const CelleMese& celle, qsizetype i, qsizetype g, const Contenuto& c,
    const Memorizzati& memorizzati, const QString& mese, const QString& anno, QList<Differenza>& differenze)
{
    const RigaDaSalvare& riga = celle.righe.at(i);
    const int giorno = int(g) + 1;
    const Esistente& primo = memorizzati.primo(i, giorno);
    if (primo.chiave == 0) {
        const QVariant descrizione = c.conDescrizione() ? QVariant(c.descrizione) : QVariant();
        differenze.append({ Differenza::Inserisci,
            { riga.indice, nonNullo(riga.codice), nonNullo(riga.nome), nonNullo(riga.tipo),
                celle.date.at(g).toString(Qt::ISODate), QString::number(giorno), mese, anno,
                nonNullo(c.testo), c.numero, descrizione } });
        return;
    }
    const auto aggiorna = [&](const Esistente& e) {
        if (invariato(e, c))
            return;
        if (c.conDescrizione())
            differenze.append({ Differenza::AggiornaStato,
                { nonNullo(c.testo), c.numero, nonNullo(c.descrizione), e.chiave } });
        else
            differenze.append({ Differenza::AggiornaOre, { nonNullo(c.testo), c.numero, e.chiave } });
    };
    aggiorna(primo);
    // A day stored twice (older archives) gets the value on every row, so whichever the grid
    // shows is the one just saved.
    for (const Esistente& e : memorizzati.altri(i, giorno))
        aggiorna(e);
}

// What each grid row's cells were stored as, and how many rows it took.
struct MeseScritto
{
    QList<Contenuto> tipiDiContenuto;
    QList<QList<qsizetype>> contenuti; // per grid row and day, a position in tipiDiContenuto
    int inserite = 0;
    int aggiornate = 0;
};

// Writes the month inside the caller's transaction.
MeseScritto scriviMese(Archivio& db, const CelleMese& celle, const QString& mese, const QString& anno,
    const std::function<void(int)>& avanzamento, int ogniRighe)
{
    MeseScritto scritto;
    const ElencoStati stati = ElencoStati::Leggi(db);
    const Memorizzati memorizzati = Memorizzati::Leggi(db, celle, mese, anno);

    QSqlQuery aggiornaStato = db.prepara(QStringLiteral(
        "UPDATE TabellaMovimenti SET Stato = ?, StatoNum = ?, Descrizione = ? WHERE Indice = ?"));
    QSqlQuery aggiornaOre
        = db.prepara(QStringLiteral("UPDATE TabellaMovimenti SET Stato = ?, StatoNum = ? WHERE Indice = ?"));
    QSqlQuery inserisci = db.prepara(
        QStringLiteral("INSERT INTO TabellaMovimenti (IndiceAnagrafica, CodiceAnagrafica, RagSociale, Tipo, "
                       "Data, Giorno, "
                       "Mese, Anno, Stato, StatoNum, Descrizione) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));

    // Most cells repeat a few texts: each is classified once.
    QHash<QString, qsizetype> classificati;
    QList<Differenza> differenze;
    scritto.contenuti.reserve(celle.righe.size());
    for (qsizetype i = 0; i < celle.righe.size(); ++i) {
        const RigaDaSalvare& riga = celle.righe.at(i);
        QList<qsizetype> tipi;
        tipi.reserve(riga.giorni.size());
        differenze.clear();
        for (qsizetype g = 0; g < riga.giorni.size(); ++g) {
            const QString& cella = riga.giorni.at(g);
            auto trovato = classificati.constFind(cella);
            if (trovato == classificati.constEnd()) {
                trovato = classificati.insert(cella, scritto.tipiDiContenuto.size());
                scritto.tipiDiContenuto << RegoleCella::Classifica(cella, stati);
            }
            tipi << *trovato;
            differenzeGiorno(
                celle, i, g, scritto.tipiDiContenuto.at(*trovato), memorizzati, mese, anno, differenze);
        }
        for (const Differenza& d : differenze) {
            switch (d.tipo) {
            case Differenza::Inserisci:
                db.eseguiPreparata(inserisci, d.valori);
                ++scritto.inserite;
                break;
            case Differenza::AggiornaStato:
                db.eseguiPreparata(aggiornaStato, d.valori);
                ++scritto.aggiornate;
                break;
            case Differenza::AggiornaOre:
                db.eseguiPreparata(aggiornaOre, d.valori);
                ++scritto.aggiornate;
                break;
            }
        }
        scritto.contenuti << tipi;
        if (avanzamento && ((i + 1) % ogniRighe == 0 || i + 1 == celle.righe.size()))
            avanzamento(riga.riga);
    }
    return scritto;
}

// The grid shows what was stored.
void mostraScritto(Griglia& griglia, const CelleMese& celle, const MeseScritto& scritto)
{
    for (qsizetype i = 0; i < celle.righe.size() && i < scritto.contenuti.size(); ++i) {
        const RigaDaSalvare& riga = celle.righe.at(i);
        const QList<qsizetype>& tipi = scritto.contenuti.at(i);
        for (qsizetype g = 0; g < tipi.size(); ++g)
            griglia.impostaTesto(riga.riga, GrigliaDettaglio::ColonnaGiorno(int(g) + 1),
                scritto.tipiDiContenuto.at(tipi.at(g)).testo);
    }
}

} // namespace

SalvataggioMese::SalvataggioMese(
    const QString& archivio, Griglia& griglia, const QString& mese, const QString& anno)
    : m_griglia(&griglia)
    , m_mese(mese)
    , m_anno(anno)
    , m_archivio(archivio)
{ }

SalvataggioMese::SalvataggioMese(MeseDiario& documento)
    : m_documento(&documento)
    , m_mese(documento.mese().nomeMese())
    , m_anno(documento.mese().testoAnno())
    , m_archivio(documento.archivio())
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

    const MeseAnno mese = MeseAnno::DaTesti(m_mese, m_anno);
    if (!mese.valido()) {
        m_numeroErrore = CodiciErrore::Generico;
        m_descrizioneErrore = QStringLiteral("Mese o anno non validi.");
        return false;
    }

    const CelleMese celle
        = m_documento ? leggiDocumento(*m_documento) : leggiGriglia(*m_griglia, mese.anno, mese.mese);

    // A rebuild while saving (another month, another layout) leaves the new grid as it is.
    bool ricostruita = false;
    const int caricamenti = m_documento ? m_documento->caricamenti() : 0;
    QMetaObject::Connection osservazione;
    if (m_griglia)
        osservazione = QObject::connect(
            m_griglia, &Griglia::ricostruzioneIniziata, [&ricostruita] { ricostruita = true; });

    MeseScritto scritto;
    const bool salvato = EseguiPasso([&] {
        try {
            Archivio db(m_archivio);
            InTransazione(
                db, [&] { scritto = scriviMese(db, celle, m_mese, m_anno, m_avanzamento, m_ogniRighe); });
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
        return false;
    }
    m_numeroErrore = 0;
    m_descrizioneErrore.clear();
    m_inserite = scritto.inserite;
    m_aggiornate = scritto.aggiornate;
    if (m_documento && m_documento->caricamenti() == caricamenti) {
        QList<QStringList> scritti;
        scritti.reserve(scritto.contenuti.size());
        for (const QList<qsizetype>& tipi : std::as_const(scritto.contenuti)) {
            QStringList riga;
            riga.reserve(tipi.size());
            for (qsizetype t : tipi)
                riga << scritto.tipiDiContenuto.at(t).testo;
            scritti << riga;
        }
        m_documento->Registrato(scritti);
    } else if (m_griglia && !ricostruita) {
        mostraScritto(*m_griglia, celle, scritto);
    }
    return true;
}

bool SalvataggioMese::CancellaMese(
    const QString& archivio, const QString& mese, const QString& anno, QString* descrizioneErrore)
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
