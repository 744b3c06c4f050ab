#include "StampaDettagliata.h"

#include "archive/Sessione.h"
#include "platform/Servizi.h"
#include "archive/GestioneErrore.h"
#include "archive/Module1.h"
#include "comune/Twips.h"
#include "comune/Griglia.h"
#include "gui/diary/VistaGriglia.h"
#include "gui/printing/LavoroStampa.h"
#include "gui/printing/Lavagna.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QScrollBar>

#include <memory>

namespace StampaDettagliata {

int CalcolaNumeroRigheInStampa(const VistaGriglia& vista, int numeroTipi)
{
    const QScreen* schermo = vista.screen() ? vista.screen() : QGuiApplication::primaryScreen();
    const int altezzaSchermo = schermo ? Twips::twips(schermo->geometry().height()) : 0;
    const int altezzaRiga0
        = vista.model() && vista.model()->rowCount() > 0 ? Twips::twips(vista.altezzaRiga(0)) : 0;
    // The window is made anew for every page, so the picture starts where it was designed.
    const int topImmagine = PaginaLavagna::Pagina().ImmagineStampa.top;
    return PaginaLavagna::CalcolaNumeroRigheInStampa(altezzaSchermo, topImmagine, altezzaRiga0, numeroTipi);
}

void PreparaStampa2(const Sorgente& s)
{
    if (!s.griglia || !s.vista)
        return;
    Griglia& griglia = *s.griglia;
    VistaGriglia& vista = *s.vista;
    QScrollBar* barra = vista.verticalScrollBar();
    const int scorrimento = barra->value();
    // At least one row a page, however small the screen (no page would ever end otherwise).
    const int perPagina = std::max(1, CalcolaNumeroRigheInStampa(vista, s.numeroTipi));
    const int n = griglia.righe();

    // The pages printed so far. They go to the printer as one job when the last one is printed,
    // so a job the printer refuses can be sent again from the last page, which stays open.
    struct PaginaStampata
    {
        PaginaLavagna::Pagina pagina;
        FotoGriglia foto;
    };
    QList<PaginaStampata> stampate;
    std::unique_ptr<LavoroStampa> lavoro;
    int corrente = 1;
    int pagine = 1;
    const QString titolo
        = QStringLiteral("Presenze dettagliate ") + PaginaLavagna::NomePeriodo(s.dal, s.al, s.mese, s.anno);
    const auto invia = [&]() {
        QPainter* painter = lavoro->Inizia();
        if (!painter)
            return false;
        QPrinter& printer = lavoro->printer();
        const QRectF area(QPointF(0, 0), printer.pageLayout().paintRectPixels(printer.resolution()).size());
        for (qsizetype i = 0; i < stampate.size(); ++i) {
            if (i > 0 && !lavoro->NuovaPagina())
                return false;
            Lavagna::DisegnaPagina(*painter, area, stampate.at(i).pagina, stampate.at(i).foto);
        }
        return lavoro->Termina();
    };
    const auto stampaPagina = [&](Lavagna& pagina) {
        // The first page checks the printer (and asks for the PDF file) before anything is kept.
        if (!lavoro) {
            lavoro = std::make_unique<LavoroStampa>(s.sessione->StampanteCorrente, titolo);
            if (lavoro->Prepara() != LavoroStampa::Esito::Pronto) {
                lavoro.reset();
                return false;
            }
        }
        stampate.resize(corrente - 1);
        stampate << PaginaStampata { pagina.pagina(), pagina.foto() };
        if (corrente < pagine)
            return true;
        const bool inviata = invia();
        lavoro.reset();
        return inviata;
    };

    QString legenda = s.legenda;
    if (!s.feste.isEmpty())
        legenda += (legenda.isEmpty() ? QString() : QStringLiteral("\n")) + s.feste;
    const auto mostraPagina = [&](const QString& testoPagina) {
        Lavagna pagina(*s.sessione, s.finestra);
        pagina.ImpostaStampaPagina(stampaPagina);
        // A header that cannot be read is waited for or left out, as the error routine says.
        EseguiPasso([&] { pagina.InserisciDatiTestata(legenda); });
        const FotoGriglia foto = FotoGriglia::Fotografa(
            griglia, [&vista](int riga) { return Twips::twips(vista.altezzaRiga(riga)); },
            vista.font().pointSizeF() > 0 ? vista.font().pointSizeF() : 8);
        pagina.PreparaPagina(foto, PaginaLavagna::TestoPeriodo(s.dal, s.al, s.mese, s.anno, testoPagina));
        if (servizi().mostraPagina)
            servizi().mostraPagina(pagina);
        else
            pagina.exec();
        while (!pagina.AnteprimaChiusa && pagina.isVisible())
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    };

    if (perPagina > n - 2) {
        barra->setValue(barra->minimum());
        mostraPagina(PaginaLavagna::TestoPagina(1, 1, false));
    } else {
        const int altezza = vista.altezzaRiga(1);
        pagine = PaginaLavagna::NumeroPagine(n, perPagina);
        for (int p = 1; p <= pagine; ++p) {
            corrente = p;
            vista.setUpdatesEnabled(false);
            for (int i = 2; i < n; ++i)
                vista.impostaAltezzaRiga(i, PaginaLavagna::PaginaDellaRiga(i, perPagina) == p ? altezza : 0);
            vista.setUpdatesEnabled(true);
            barra->setValue(barra->minimum());
            mostraPagina(PaginaLavagna::TestoPagina(p, pagine, true));
            if (!s.sessione->StampaInCorso)
                break;
            if (p < pagine) {
                if (servizi().pausaTraPagine)
                    servizi().pausaTraPagine(1);
                else
                    Module1::Pausa(1);
            }
        }
        vista.setUpdatesEnabled(false);
        for (int i = 2; i < n; ++i)
            vista.impostaAltezzaRiga(i, altezza);
        vista.setUpdatesEnabled(true);
    }
    // The scroll range follows the heights only once the view has laid its rows out again.
    vista.doItemsLayout();
    barra->setValue(scorrimento);
}

} // namespace StampaDettagliata
