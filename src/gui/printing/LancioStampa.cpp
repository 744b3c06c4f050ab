#include "LancioStampa.h"
#include "gui/printing/EsecuzioneReport.h"

#include "archive/Module1.h"
#include "comune/Twips.h"
#include "gui/diary/F_Avvio.h"
#include "gui/diary/VistaGriglia.h"
#include "platform/Messaggi.h"
#include "gui/printing/Lavagna.h"
#include "gui/printing/LavoroStampa.h"
#include "printing/PaginaLavagna.h"
#include "gui/printing/Stampanti.h"

namespace LancioStampa {

namespace {

constexpr int Allargamento = 2000; // twips

// The wider grid of an expanded calendar while a print is prepared; its width is given back
// exactly, whatever the layout did meanwhile.
class GrigliaAllargata
{
public:
    GrigliaAllargata(QWidget* griglia, bool allarga)
        : m_griglia(allarga ? griglia : nullptr)
        , m_dimensione(griglia ? griglia->size() : QSize())
    {
        if (m_griglia)
            m_griglia->resize(m_dimensione.width() + Twips::pixel(Allargamento), m_dimensione.height());
    }
    ~GrigliaAllargata() { Restringi(); }
    GrigliaAllargata(const GrigliaAllargata&) = delete;
    GrigliaAllargata& operator=(const GrigliaAllargata&) = delete;

    void Restringi()
    {
        if (m_griglia)
            m_griglia->resize(m_dimensione);
        m_griglia = nullptr;
    }

private:
    QWidget* m_griglia;
    QSize m_dimensione;
};

} // namespace

QString TestoPeriodo(const QString& dal, const QString& al)
{
    if (Module1::LeggiData(dal).isValid() || Module1::LeggiData(al).isValid())
        return QStringLiteral("Dal: ") + dal + QStringLiteral("  al: ") + al;
    return {};
}

Stampante StampanteScelta(bool pdf)
{
    if (pdf)
        return Stampanti::StampantePdf;
    if (Stampanti::StampanteDocumentiTrovata)
        return Stampanti::StampanteDocumenti;
    return {};
}

Report::Richiesta RichiestaRiepilogo(const QList<TabellaStampa2::RigaStampa2>& righe, const QString& dal,
    const QString& al, const QString& mese, const QString& anno, const Stampante& stampante, bool pdf)
{
    Report::Richiesta r;
    r.modello = Report::StampaRiepilogativa;
    r.archivio = Module1::PercorsoArchivio;
    r.formulaSelezione = Report::FormulaConfigurazioni;
    r.parametri = {{QStringLiteral("Periodo"), TestoPeriodo(dal, al)}, {QStringLiteral("Mese"), mese},
        {QStringLiteral("Anno"), anno}};
    r.stampante = stampante;
    r.destinazione = pdf ? Report::Destinazione::Stampante : Report::Destinazione::Anteprima;
    r.titolo = QStringLiteral("Riepilogo presenze ") + PaginaLavagna::NomePeriodo(dal, al, mese, anno);
    r.righeStampa2 = righe;
    return r;
}

void Anteprima_Click(F_Avvio& f)
{
    Lavagna::StampaInCorso = false;
    const bool pdf = f.StampaPdfScelta();
    StampaCorrente::StampanteCorrente = StampanteScelta(pdf);
    GrigliaAllargata allargata(f.RigheArt(), f.EspandiCalendario());

    if (f.VisualizzaTotali()) {
        bool scritte = false;
        const QList<TabellaStampa2::RigaStampa2> righe = f.PreparaStampa(&scritte);
        allargata.Restringi();
        if (!scritte) {
            messaggi().Messaggio(QStringLiteral("Impossibile preparare la stampa del riepilogo: l'archivio non è "
                                                "stato aggiornato.\nRiprovare tra qualche istante."),
                Messaggi::Ok, Messaggi::Warning);
            return;
        }
        // The lines are the shown totals: the heading names the period they were built for, even
        // when the boxes were changed since without "Aggiorna".
        const GrigliaTotali::Esito& totali = f.Totali();
        Report::Esegui(RichiestaRiepilogo(
            righe, totali.dal, totali.al, totali.mese, totali.anno, StampaCorrente::StampanteCorrente, pdf));
        return;
    }

    f.PreparaStampa2();
    allargata.Restringi();
}

} // namespace LancioStampa
