#include "LancioStampa.h"
#include "gui/printing/EsecuzioneReport.h"

#include "archive/Module1.h"
#include "comune/Twips.h"
#include "archive/Sessione.h"
#include "platform/Messaggi.h"
#include "printing/PaginaLavagna.h"

#include <QWidget>

namespace LancioStampa {

namespace {
constexpr int Allargamento = 2000; // twips
} // namespace

GrigliaAllargata::GrigliaAllargata(QWidget* griglia, bool allarga)
    : m_griglia(allarga ? griglia : nullptr)
    , m_dimensione(griglia ? griglia->size() : QSize())
{
    if (m_griglia)
        m_griglia->resize(m_dimensione.width() + Twips::pixel(Allargamento), m_dimensione.height());
}

void GrigliaAllargata::Restringi()
{
    if (m_griglia)
        m_griglia->resize(m_dimensione);
    m_griglia = nullptr;
}

QString TestoPeriodo(const QString& dal, const QString& al)
{
    if (Module1::LeggiData(dal).isValid() || Module1::LeggiData(al).isValid())
        return QStringLiteral("Dal: ") + dal + QStringLiteral("  al: ") + al;
    return {};
}

Stampante StampanteScelta(const Sessione& sessione, bool pdf)
{
    if (pdf)
        return sessione.StampantePdf;
    if (sessione.StampanteDocumentiTrovata)
        return sessione.StampanteDocumenti;
    return {};
}

Report::Richiesta RichiestaRiepilogo(const Richiesta& richiesta)
{
    Report::Richiesta r;
    r.modello = Report::StampaRiepilogativa;
    r.archivio = richiesta.archivio;
    r.formulaSelezione = Report::FormulaConfigurazioni;
    r.parametri = { { QStringLiteral("Periodo"), TestoPeriodo(richiesta.dal, richiesta.al) },
        { QStringLiteral("Mese"), richiesta.mese }, { QStringLiteral("Anno"), richiesta.anno } };
    r.stampante = richiesta.stampante;
    r.destinazione = richiesta.pdf ? Report::Destinazione::Stampante : Report::Destinazione::Anteprima;
    r.titolo = QStringLiteral("Riepilogo presenze ")
        + PaginaLavagna::NomePeriodo(richiesta.dal, richiesta.al, richiesta.mese, richiesta.anno);
    r.righeStampa2 = richiesta.righe;
    return r;
}

bool StampaRiepilogo(const Richiesta& richiesta, bool righeScritte)
{
    if (!righeScritte) {
        messaggi().Messaggio(QStringLiteral("Impossibile preparare la stampa del riepilogo: l'archivio non è "
                                            "stato aggiornato.\nRiprovare tra qualche istante."),
            Messaggi::Ok, Messaggi::Warning);
        return false;
    }
    return Report::Esegui(RichiestaRiepilogo(richiesta));
}

} // namespace LancioStampa
