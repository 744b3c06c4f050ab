#include "EsecuzioneReport.h"

#include "gui/printing/AnteprimaReport.h"
#include "gui/printing/LavoroStampa.h"
#include "platform/Messaggi.h"
#include "platform/Servizi.h"

#include <QApplication>
#include <QPainter>
#include <QPrinter>

namespace Report {

bool StampaSu(const Documento& documento, const Stampante& stampante, const QString& titolo)
{
    LavoroStampa lavoro(stampante, titolo);
    if (lavoro.Prepara() != LavoroStampa::Esito::Pronto)
        return false;
    QPainter* painter = lavoro.Inizia();
    if (!painter)
        return false;
    Disegna(documento, *painter, lavoro.printer());
    return lavoro.Termina();
}

bool Esegui(const Richiesta& r)
{
    Documento documento;
    QString errore;
    if (!Componi(r, documento, &errore)) {
        messaggi().Messaggio(errore, Messaggi::Ok, Messaggi::Critical);
        return false;
    }

    if (r.destinazione == Destinazione::Stampante)
        return StampaSu(documento, r.stampante, r.titolo);

    if (!servizi().anteprima) {
        AnteprimaReport finestra(documento, r.stampante, r.titolo, QApplication::activeWindow());
        finestra.exec();
        return true;
    }
    QPrinter printer(QPrinter::HighResolution);
    AnteprimaReport::PaginaAnteprima(printer, r.titolo);
    bool disegnato = true;
    servizi().anteprima(printer, [&](QPrinter* p) {
        QPainter painter;
        if (!painter.begin(p)) {
            disegnato = false;
            return;
        }
        Disegna(documento, painter, *p);
        disegnato = painter.end() && disegnato;
    });
    if (!disegnato) {
        messaggi().Messaggio(
            QStringLiteral("La stampante non ha accettato la stampa."), Messaggi::Ok, Messaggi::Critical);
        return false;
    }
    return true;
}

} // namespace Report
