#include "MeseDiario.h"

#include "archive/Archivio.h"
#include "archive/GestioneErrore.h"
#include "diary/ElencoStati.h"

#include <algorithm>
#include <optional>

// One step of the history: the cells it changed, by employee, type and day, so it still finds
// them after a reload that ordered or filtered the rows differently.
class MeseDiario::Comando : public QUndoCommand
{
public:
    Comando(MeseDiario& mese, QList<Cambio> cambi, const QString& descrizione, quint64 digitazione)
        : QUndoCommand(descrizione)
        , m_mese(mese)
        , m_cambi(std::move(cambi))
        , m_digitazione(digitazione)
    { }

    void redo() override { m_mese.applica(m_cambi, true); }
    void undo() override { m_mese.applica(m_cambi, false); }
    // The keys typed in one cell make one step.
    int id() const override { return m_digitazione ? 1 : -1; }
    bool mergeWith(const QUndoCommand* altro) override
    {
        const auto* a = static_cast<const Comando*>(altro);
        if (a->m_digitazione != m_digitazione || a->m_cambi.size() != 1 || m_cambi.size() != 1)
            return false;
        const Cambio& mio = m_cambi.first();
        const Cambio& suo = a->m_cambi.first();
        if (mio.indice != suo.indice || mio.tipo != suo.tipo || mio.giorno != suo.giorno)
            return false;
        m_cambi.first().dopo = suo.dopo;
        // Typed and taken back: nothing to undo.
        if (mio.prima == mio.dopo)
            setObsolete(true);
        return true;
    }

private:
    MeseDiario& m_mese;
    QList<Cambio> m_cambi;
    quint64 m_digitazione;
};

MeseDiario::MeseDiario(QObject* parent)
    : QObject(parent)
{ }

MeseDiario::~MeseDiario()
{
    // The commands refer to this document: they go first.
    m_storia.clear();
}

namespace {
// Rows of one employee's type: types compare without regard to case, as the archive always did.
QPair<qint64, QString> chiavePiegata(qint64 indice, const QString& tipo)
{
    return { -indice - 1, tipo.toCaseFolded() };
}
} // namespace

bool MeseDiario::Carica(const GrigliaDettaglio::Parametri& p)
{
    const MeseAnno mese = MeseAnno::DaTesti(p.mese, p.anno);
    const bool stessoMese = m_caricato && mese == m_mese && p.archivio == m_archivio;
    QList<Cambio> modifiche;
    if (stessoMese) {
        for (int r = 0; r < righe(); ++r)
            for (int g = 1; g <= m_giorni; ++g)
                if (modificata(r, g))
                    modifiche << cambio(r, g, testo(r, g));
    } else {
        m_storia.clear();
    }
    m_archivio = p.archivio;
    m_mese = mese;
    m_caricato = true;
    ++m_caricamenti;
    m_tipi = p.tipi;
    m_giorni = mese.giorni();
    m_modificate = 0;

    bool tuttoLetto = EseguiPasso([&] {
        m_dipendenti.clear();
        Archivio db(p.archivio);
        m_dipendenti = RigheDipendenti::LeggiDipendenti(db, p.criteri);
    });

    m_righe.clear();
    m_righePerChiave.clear();
    QHash<QPair<qint64, QString>, int> piegate;
    m_righe.reserve(m_dipendenti.size() * (m_tipi.size() + 1));
    for (const RigheDipendenti::Dipendente& d : std::as_const(m_dipendenti))
        for (qsizetype t = 0; t <= m_tipi.size(); ++t) {
            Riga riga;
            riga.indice = d.indice;
            riga.codice = d.codice;
            riga.nome = d.ragSociale;
            riga.tipo = t == 0 ? RigheDipendenti::Ordinario : m_tipi.at(t - 1);
            riga.genere = t == 0 ? RegoleCella::Riga::Ordinario : RegoleCella::Riga::Extra;
            const int r = int(m_righe.size());
            m_righePerChiave.insert({ riga.indice, riga.tipo }, r);
            piegate.insert(chiavePiegata(riga.indice, riga.tipo), r);
            m_righe << riga;
        }
    m_celle = QList<Cella>(m_righe.size() * m_giorni);

    if (!m_dipendenti.isEmpty()) {
        // One query for the whole month: the entries of the same employees the rows show. CROSS
        // JOIN keeps the employees as the outer loop, so each one's month is found through the
        // (IndiceAnagrafica, Anno, Mese, Tipo) index instead of scanning every entry of every year.
        struct Movimento
        {
            qint64 indice;
            qsizetype posto;
            QString stato;
            bool nota;
        };
        QList<Movimento> trovati;
        const bool letti = EseguiPasso([&] {
            trovati.clear();
            Archivio db(p.archivio);
            QVariantList valori;
            const QString condizione
                = RigheDipendenti::CondizioneDipendenti(p.criteri, QStringLiteral("a"), valori);
            valori << p.anno << p.mese;
            db.scorri(QStringLiteral("SELECT m.Indice, m.IndiceAnagrafica, m.Tipo, m.Giorno, m.Stato, m.Note "
                                     "FROM TabellaAnagrafiche a CROSS JOIN TabellaMovimenti m ON "
                                     "m.IndiceAnagrafica = a.Indice WHERE ")
                    + condizione + QStringLiteral(" AND m.Anno = ? AND m.Mese = ?"),
                valori, [&](const RigaRapida& q) {
                    const auto riga = piegate.constFind(chiavePiegata(q.intero(1), q.testo(2)));
                    if (riga == piegate.constEnd())
                        return;
                    const int giorno = GrigliaDettaglio::NumeroGiorno(q.testo(3));
                    if (giorno < 1 || giorno > m_giorni)
                        return;
                    trovati.append({ q.intero(0), posto(*riga, giorno), q.testo(4),
                        !q.nullo(5) && !q.testo(5).isEmpty() });
                });
        });
        tuttoLetto = tuttoLetto && letti;
        // A day stored twice shows the later row, and keeps the note mark of any of them.
        std::sort(trovati.begin(), trovati.end(),
            [](const Movimento& a, const Movimento& b) { return a.indice < b.indice; });
        for (const Movimento& m : std::as_const(trovati)) {
            Cella& c = m_celle[m.posto];
            c.testo = m.stato;
            c.memorizzato = m.stato;
            c.nota = c.nota || m.nota;
        }
    }

    // The edits of the month shown come back onto the rows that are still there.
    for (const Cambio& c : std::as_const(modifiche)) {
        const int r = rigaDi(c.indice, c.tipo);
        if (r >= 0 && cella(r, c.giorno))
            imposta(r, c.giorno, c.dopo);
    }
    return tuttoLetto;
}

int MeseDiario::rigaDi(qint64 indice, const QString& tipo) const
{
    return m_righePerChiave.value({ indice, tipo }, -1);
}

QString MeseDiario::testo(int r, int giorno) const
{
    return cella(r, giorno) ? m_celle.at(posto(r, giorno)).testo : QString();
}

QString MeseDiario::memorizzato(int r, int giorno) const
{
    return cella(r, giorno) ? m_celle.at(posto(r, giorno)).memorizzato : QString();
}

bool MeseDiario::nota(int r, int giorno) const
{
    return cella(r, giorno) && m_celle.at(posto(r, giorno)).nota;
}

bool MeseDiario::modificata(int r, int giorno) const
{
    if (!cella(r, giorno))
        return false;
    const Cella& c = m_celle.at(posto(r, giorno));
    return c.testo != c.memorizzato;
}

bool MeseDiario::modificheAltrove(const QString& codice) const
{
    for (int r = 0; r < righe(); ++r) {
        if (m_righe.at(r).codice.compare(codice, Qt::CaseInsensitive) == 0)
            continue;
        for (int g = 1; g <= m_giorni; ++g)
            if (modificata(r, g))
                return true;
    }
    return false;
}

void MeseDiario::imposta(int r, int giorno, const QString& testo)
{
    Cella& c = m_celle[posto(r, giorno)];
    const bool prima = c.testo != c.memorizzato;
    c.testo = testo;
    const bool dopo = c.testo != c.memorizzato;
    m_modificate += int(dopo) - int(prima);
}

void MeseDiario::applica(const QList<Cambio>& cambi, bool dopo)
{
    QList<QPoint> cambiate;
    cambiate.reserve(cambi.size());
    for (const Cambio& c : cambi) {
        const int r = rigaDi(c.indice, c.tipo);
        if (r < 0 || !cella(r, c.giorno))
            continue;
        imposta(r, c.giorno, dopo ? c.dopo : c.prima);
        cambiate << QPoint(c.giorno, r);
    }
    if (!cambiate.isEmpty())
        emit celleCambiate(cambiate);
}

MeseDiario::Cambio MeseDiario::cambio(int r, int giorno, const QString& dopo) const
{
    const Riga& riga = m_righe.at(r);
    return { riga.indice, riga.tipo, giorno, testo(r, giorno), dopo };
}

void MeseDiario::spingi(QList<Cambio> cambi, const QString& descrizione, quint64 digitazione)
{
    cambi.removeIf([](const Cambio& c) { return c.prima == c.dopo; });
    if (cambi.isEmpty())
        return;
    m_storia.push(new Comando(*this, std::move(cambi), descrizione, digitazione));
}

void MeseDiario::Digita(int r, int giorno, const QString& testo)
{
    if (!cella(r, giorno))
        return;
    spingi({ cambio(r, giorno, testo) }, QStringLiteral("Digitazione"), m_digitazione);
}

void MeseDiario::ChiudiDigitazione()
{
    ++m_digitazione;
}

MeseDiario::Area MeseDiario::ritaglia(const Area& area) const
{
    return { std::max(area.primaRiga, 0), std::max(area.primoGiorno, 1),
        std::min(area.ultimaRiga, righe() - 1), std::min(area.ultimoGiorno, m_giorni) };
}

void MeseDiario::Svuota(const Area& area, const QString& descrizione)
{
    ChiudiDigitazione();
    QList<Cambio> cambi;
    const Area a = ritaglia(area);
    for (int r = a.primaRiga; r <= a.ultimaRiga; ++r)
        for (int g = a.primoGiorno; g <= a.ultimoGiorno; ++g)
            cambi << cambio(r, g, QString());
    spingi(std::move(cambi), descrizione);
}

std::optional<QString> MeseDiario::accettato(
    RegoleCella::Riga genere, const QString& valore, const ElencoStati& stati)
{
    // A dot is the decimal comma, as when the value is typed key by key ("7.5" is 7,5).
    QString testo = valore;
    testo.replace(QLatin1Char('.'), QLatin1Char(','));
    const RegoleCella::Contenuto c = RegoleCella::Classifica(testo, stati);
    switch (c.genere) {
    case RegoleCella::Contenuto::Genere::Vuoto:
    case RegoleCella::Contenuto::Genere::Ore:
        return c.testo;
    case RegoleCella::Contenuto::Genere::Stato:
        if (genere == RegoleCella::Riga::Ordinario)
            return c.testo;
        break;
    case RegoleCella::Contenuto::Genere::NonValido:
        break;
    }
    return std::nullopt;
}

MeseDiario::Esito MeseDiario::Compila(const Area& area, const QString& valore, const ElencoStati& stati)
{
    ChiudiDigitazione();
    Esito esito;
    QList<Cambio> cambi;
    // One value: judged once for each kind of row.
    const std::optional<QString> perOrdinario = accettato(RegoleCella::Riga::Ordinario, valore, stati);
    const std::optional<QString> perExtra = accettato(RegoleCella::Riga::Extra, valore, stati);
    const Area a = ritaglia(area);
    for (int r = a.primaRiga; r <= a.ultimaRiga; ++r)
        for (int g = a.primoGiorno; g <= a.ultimoGiorno; ++g) {
            const std::optional<QString>& testo
                = m_righe.at(r).genere == RegoleCella::Riga::Ordinario ? perOrdinario : perExtra;
            ++(testo ? esito.scritte : esito.rifiutate);
            cambi << cambio(r, g, testo.value_or(QString()));
        }
    spingi(std::move(cambi), QStringLiteral("Compila selezione"));
    return esito;
}

MeseDiario::Esito MeseDiario::Incolla(int r, int giorno, const QString& appunti, const ElencoStati& stati)
{
    ChiudiDigitazione();
    Esito esito;
    QStringList linee = appunti.split(QLatin1Char('\n'));
    // A copied block ends with a line break: no empty line after it.
    if (!linee.isEmpty() && linee.last().isEmpty())
        linee.removeLast();
    QList<Cambio> cambi;
    // Most values repeat a few texts: each is judged once per row kind.
    QHash<QString, std::optional<QString>> giudicati[2];
    for (qsizetype l = 0; l < linee.size(); ++l) {
        QStringView linea(linee.at(l));
        if (linea.endsWith(QLatin1Char('\r')))
            linea.chop(1);
        const int riga = r + int(l);
        qsizetype colonna = 0;
        for (QStringView valore : linea.split(QLatin1Char('\t'))) {
            const int g = giorno + int(colonna++);
            if (riga >= righe() || g > m_giorni || !cella(riga, g)) {
                ++esito.fuori;
                continue;
            }
            const RegoleCella::Riga genere = m_righe.at(riga).genere;
            auto& giudizi = giudicati[genere == RegoleCella::Riga::Ordinario ? 0 : 1];
            const QString testo = valore.toString();
            auto trovato = giudizi.constFind(testo);
            if (trovato == giudizi.constEnd())
                trovato = giudizi.insert(testo, accettato(genere, testo, stati));
            ++(*trovato ? esito.scritte : esito.rifiutate);
            cambi << cambio(riga, g, trovato->value_or(QString()));
        }
    }
    spingi(std::move(cambi), QStringLiteral("Incolla"));
    return esito;
}

QString MeseDiario::Copia(const Area& area) const
{
    QString testo;
    const Area a = ritaglia(area);
    for (int r = a.primaRiga; r <= a.ultimaRiga; ++r) {
        for (int g = a.primoGiorno; g <= a.ultimoGiorno; ++g) {
            if (g > a.primoGiorno)
                testo += QLatin1Char('\t');
            testo += this->testo(r, g);
        }
        testo += QLatin1Char('\n');
    }
    return testo;
}

int MeseDiario::CompilaSettimana(const QList<int>& righe, const QList<QPair<int, QString>>& giorni)
{
    ChiudiDigitazione();
    QList<Cambio> cambi;
    for (int r : righe) {
        if (r < 0 || r >= this->righe() || m_righe.at(r).genere != RegoleCella::Riga::Ordinario)
            continue;
        for (const auto& [g, ore] : giorni)
            if (cella(r, g) && testo(r, g).trimmed().isEmpty() && memorizzato(r, g).trimmed().isEmpty())
                cambi << cambio(r, g, ore);
    }
    const int date = int(cambi.size());
    spingi(std::move(cambi), QStringLiteral("Settimana tipo"));
    return date;
}

void MeseDiario::NuovaStoria()
{
    m_storia.clear();
}

void MeseDiario::Abbandona()
{
    m_storia.clear();
    QList<QPoint> cambiate;
    for (int r = 0; r < righe(); ++r)
        for (int g = 1; g <= m_giorni; ++g)
            if (modificata(r, g)) {
                imposta(r, g, memorizzato(r, g));
                cambiate << QPoint(g, r);
            }
    if (!cambiate.isEmpty())
        emit celleCambiate(cambiate);
}

void MeseDiario::Registrato(const QList<QStringList>& scritti)
{
    QList<QPoint> cambiate;
    m_modificate = 0;
    for (int r = 0; r < righe(); ++r)
        for (int g = 1; g <= m_giorni; ++g) {
            Cella& c = m_celle[posto(r, g)];
            if (r < scritti.size() && g <= scritti.at(r).size()) {
                const QString& scritto = scritti.at(r).at(g - 1);
                if (c.testo != scritto)
                    cambiate << QPoint(g, r);
                c.testo = scritto;
                c.memorizzato = scritto;
            }
            m_modificate += int(c.testo != c.memorizzato);
        }
    if (!cambiate.isEmpty())
        emit celleCambiate(cambiate);
}

NoteGiorno::Cella MeseDiario::cellaNota(int r, int giorno) const
{
    NoteGiorno::Cella c;
    if (!cella(r, giorno))
        return c;
    c.mese = m_mese.nomeMese();
    c.anno = m_mese.testoAnno();
    c.giorno = QString::number(giorno);
    c.indice = m_righe.at(r).indice;
    c.tipo = m_righe.at(r).tipo;
    return c;
}

NoteGiorno::Esito MeseDiario::ScriviNota(int r, int giorno, const QString& nota)
{
    const NoteGiorno::Esito esito = NoteGiorno::Scrivi(m_archivio, cellaNota(r, giorno), nota);
    if (esito == NoteGiorno::Esito::Memorizzata && cella(r, giorno)) {
        m_celle[posto(r, giorno)].nota = !nota.isEmpty();
        emit notaCambiata(r, giorno);
    }
    return esito;
}
