#include "StampaCartellini.h"

#include "gui/printing/AnteprimaReport.h"
#include "gui/printing/LavoroStampa.h"
#include "platform/Messaggi.h"
#include "platform/Servizi.h"

#include <QApplication>
#include <QFile>
#include <QPainter>
#include <QPointer>
#include <QPrinter>
#include <QProgressDialog>

#include <memory>

namespace StampaCartellini {

namespace {

// The progress window of one drawing of the sheets: it appears when the drawing takes a moment,
// and its "Annulla" stops it.
class Progresso
{
public:
    explicit Progresso(QWidget* genitore)
        : m_genitore(genitore)
    { }

    void Inizia() { m_fermata = false; }
    bool fermata() const { return m_fermata; }

    bool Avanza(int fatti, int totale)
    {
        if (!m_finestra) {
            m_finestra = std::make_unique<QProgressDialog>(
                QString(), QStringLiteral("Annulla"), 0, totale, m_genitore);
            m_finestra->setWindowTitle(QStringLiteral("Stampa Cartellini"));
            m_finestra->setWindowModality(Qt::WindowModal);
            m_finestra->setMinimumDuration(400);
            m_finestra->setAutoReset(false);
        }
        m_finestra->setMaximum(totale);
        m_finestra->setLabelText(
            QStringLiteral("Preparazione dei cartellini: %1 di %2").arg(fatti).arg(totale));
        m_finestra->setValue(fatti);
        if (m_finestra->wasCanceled())
            m_fermata = true;
        if (fatti >= totale || m_fermata)
            m_finestra.reset();
        return !m_fermata;
    }

private:
    QPointer<QWidget> m_genitore;
    std::unique_ptr<QProgressDialog> m_finestra;
    bool m_fermata = false;
};

struct Lavoro
{
    explicit Lavoro(Cartellini::Richiesta richiesta, QWidget* genitore)
        : progresso(genitore)
        , fogli([&] {
            richiesta.avanzamento = [this](int fatti, int totale) { return progresso.Avanza(fatti, totale); };
            return richiesta;
        }())
    { }

    // Draws every sheet on `printer`; false after the user stopped it or with the reason.
    bool Disegna(QPainter& painter, QPrinter& printer)
    {
        progresso.Inizia();
        errore.clear();
        return fogli.Disegna(painter, printer, &errore);
    }

    Progresso progresso;
    Cartellini::Fogli fogli;
    QString errore;
};

void Errore(const QString& testo)
{
    messaggi().Messaggio(testo, Messaggi::Ok, Messaggi::Critical);
}

// Prints the sheets as one job on `stampante`.
bool Stampa(Lavoro& lavoro, const Stampante& stampante, const QString& titolo)
{
    QString filePdf;
    {
        LavoroStampa stampa(stampante, titolo);
        if (stampa.Prepara() != LavoroStampa::Esito::Pronto)
            return false;
        QPainter* painter = stampa.Inizia();
        if (!painter)
            return false;
        if (lavoro.Disegna(*painter, stampa.printer()))
            return stampa.Termina();
        // The job is dropped as it goes out of scope, its half-written file after it.
        filePdf = stampa.fileOutput();
    }
    if (!filePdf.isEmpty())
        QFile::remove(filePdf);
    if (!lavoro.progresso.fermata())
        Errore(lavoro.errore);
    return false;
}

} // namespace

bool Esegui(
    const Cartellini::Richiesta& richiesta, const Stampante& stampante, bool diretta, QWidget* genitore)
{
    if (!genitore)
        genitore = QApplication::activeWindow();
    const QString titolo = Cartellini::Titolo(richiesta.mese);
    Lavoro lavoro(richiesta, genitore);
    QString errore;
    if (!lavoro.fogli.Leggi(&errore)) {
        Errore(errore);
        return false;
    }
    if (lavoro.fogli.numero() == 0) {
        messaggi().Messaggio(
            QStringLiteral("Nessun dipendente da stampare: i cartellini non sono stati stampati."),
            Messaggi::Ok, Messaggi::Information);
        return false;
    }

    if (diretta)
        return Stampa(lavoro, stampante, titolo);

    bool disegnato = true;
    const auto disegna
        = [&](QPainter& painter, QPrinter& printer) { disegnato = lavoro.Disegna(painter, printer); };
    if (servizi().anteprima) {
        QPrinter printer(QPrinter::HighResolution);
        AnteprimaReport::PaginaAnteprima(printer, titolo);
        servizi().anteprima(printer, [&](QPrinter* p) {
            QPainter painter;
            if (!painter.begin(p)) {
                disegnato = false;
                lavoro.errore = QStringLiteral("La stampante non ha accettato la stampa.");
                return;
            }
            disegna(painter, *p);
            painter.end();
        });
    } else {
        // The preview draws the sheets as it opens: stopped or failed, it is not shown.
        AnteprimaReport finestra(
            disegna, [&] { return Stampa(lavoro, stampante, titolo); }, stampante, titolo, genitore);
        if (disegnato) {
            finestra.exec();
            return true;
        }
    }
    if (!disegnato && !lavoro.progresso.fermata())
        Errore(lavoro.errore);
    return disegnato;
}

} // namespace StampaCartellini
