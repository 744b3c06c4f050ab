#include "ImmissioneDettaglio.h"

#include "ui_F_Avvio.h"

#include "archive/Sessione.h"

#include "archive/Module1.h"
#include "diary/ElencoStati.h"
#include "gui/diary/F_Avvio.h"
#include "comune/Griglia.h"
#include "diary/GrigliaDettaglio.h"
#include "comune/ModelloGriglia.h"
#include "diary/NoteGiorno.h"
#include "diary/RegoleCella.h"
#include "diary/SalvataggioMese.h"
#include "gui/diary/VistaGriglia.h"
#include "platform/Messaggi.h"

#include <QApplication>
#include <QFocusEvent>
#include <QHash>
#include <QKeyEvent>
#include <QScrollBar>
#include <QStatusBar>

#include <algorithm>
#include <utility>

namespace {

const QString TestoRegistra = QStringLiteral("Registra");
const QString TestoRegistrato = QStringLiteral("Registrazione Effettuata");
const QString NonUnoStato = QStringLiteral("«%1» non è uno stato della Tabella Stati");
constexpr int DurataSpiegazioneMs = 10000;
const QColor ColoreEtichettaVuota { 0xC0, 0xC0, 0xC0 };
const QColor ColoreEtichettaGiorno { 0x87, 0x96, 0xBE };
const QColor ColoreNotaSpenta { 0x80, 0x80, 0x80 };
const QColor ColoreNotaAttiva { 0xFF, 0xFF, 0xC0 };
// Progress repaints every so many grid rows: a month of a thousand rows is saved in a blink and
// must not spend it painting.
constexpr int RigheTraAggiornamenti = 25;

void coloraSfondo(QWidget* w, QPalette::ColorRole ruolo, const QColor& colore)
{
    QPalette p = w->palette();
    for (QPalette::ColorGroup g : { QPalette::Active, QPalette::Inactive, QPalette::Disabled })
        p.setColor(g, ruolo, colore);
    w->setPalette(p);
}

// Focus that moves because another window or a popup came up is not the user leaving or entering.
bool FocusDellUtente(const QEvent* evento)
{
    const Qt::FocusReason motivo = static_cast<const QFocusEvent*>(evento)->reason();
    return motivo != Qt::ActiveWindowFocusReason && motivo != Qt::PopupFocusReason;
}

// Keeps the user's clicks and keys away from a window while it saves: the busy-archive wait lets
// window events run, and the grid being saved must not change or be rebuilt meanwhile.
class BloccoInput : public QObject
{
public:
    explicit BloccoInput(QWidget* finestra)
        : m_finestra(finestra)
    {
        qApp->installEventFilter(this);
    }
    ~BloccoInput() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject* oggetto, QEvent* evento) override
    {
        switch (evento->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::ContextMenu: {
            auto* w = qobject_cast<QWidget*>(oggetto);
            return w && w->window() == m_finestra;
        }
        default:
            return false;
        }
    }

private:
    QWidget* m_finestra;
};

} // namespace

ImmissioneDettaglio::ImmissioneDettaglio(F_Avvio* finestra, Ui::F_Avvio* ui)
    : QObject(finestra)
    , m_finestra(finestra)
    , m_ui(ui)
{
    VistaGriglia* vista = m_ui->RigheArt;
    // The cell under the cursor shows the grids' highlight colour, not the view's own selection.
    vista->setSelectionMode(QAbstractItemView::NoSelection);
    vista->installEventFilter(this);
    m_ui->Note->installEventFilter(this);
    m_ui->Note->setAccessibleDescription(QStringLiteral("Nota del giorno selezionato"));
    fissaLarghezze();

    connect(vista->selectionModel(), &QItemSelectionModel::currentChanged, this,
        &ImmissioneDettaglio::RigheArt_SelChange);
    connect(m_ui->Ins, &QPushButton::clicked, this, &ImmissioneDettaglio::Ins_Click);
    connect(m_ui->Command1, &QPushButton::clicked, this, &ImmissioneDettaglio::Command1_Click);
    connect(m_ui->SalvaNote, &QPushButton::clicked, this, &ImmissioneDettaglio::SalvaNote_Click);
    connect(m_ui->cnote, &QPushButton::clicked, this, &ImmissioneDettaglio::cnote_Click);
    connect(finestra, &F_Avvio::grigliaRicostruita, this, &ImmissioneDettaglio::grigliaRicostruita);
    connect(&finestra->griglia(), &Griglia::ricostruzioneIniziata, this,
        &ImmissioneDettaglio::ricostruzioneIniziata);
    coloraNote(false);
}

const QString& ImmissioneDettaglio::archivio() const
{
    return m_finestra->sessione().PercorsoArchivio;
}

bool ImmissioneDettaglio::attiva() const
{
    return !m_finestra->VisualizzaTotali();
}

bool ImmissioneDettaglio::cellaGiorno(int riga, int colonna) const
{
    const Griglia& g = m_finestra->griglia();
    return riga >= GrigliaDettaglio::RigheFisse && riga < g.righe()
        && colonna >= GrigliaDettaglio::ColonneFisse && colonna < g.colonne();
}

QString ImmissioneDettaglio::chiaveCella(int riga, int colonna) const
{
    const Griglia& g = m_finestra->griglia();
    return g.testo(riga, 0) + QLatin1Char('\x1f') + g.testo(riga, 3) + QLatin1Char('\x1f')
        + QString::number(colonna);
}

void ImmissioneDettaglio::cambiaTesto(int riga, int colonna, const QString& testo)
{
    Griglia& g = m_finestra->griglia();
    if (g.testo(riga, colonna) == testo)
        return;
    g.impostaTesto(riga, colonna, testo);
    m_modificate.insert(chiaveCella(riga, colonna));
}

bool ImmissioneDettaglio::esisteStato(const QString& testo) const
{
    const QString codice = testo.trimmed();
    if (codice.isEmpty())
        return false;
    bool letto = true;
    const bool trovato = ControllaEsistenzaStato(archivio(), codice, &letto);
    // A code that cannot be checked now is left as it is: nothing typed is thrown away for an
    // archive that does not answer.
    return trovato || !letto;
}

// ---- keys

void ImmissioneDettaglio::RigheArt_KeyPress(const QString& tasto)
{
    if (!attiva())
        return;
    const QModelIndex cursore = m_ui->RigheArt->currentIndex();
    if (!cursore.isValid() || !cellaGiorno(cursore.row(), cursore.column()))
        return;
    const int r = cursore.row();
    const int c = cursore.column();
    const QString prima = m_finestra->griglia().testo(r, c);
    const RegoleCella::Riga tipoRiga = RegoleCella::TipoRiga(r, m_finestra->NumeroTipi());
    const QString dopo = RegoleCella::TastoPremuto(prima, tasto, tipoRiga);
    // A letter refused in an hours-only row: the status line says why nothing appeared.
    if (dopo == prima && tipoRiga == RegoleCella::Riga::Extra && tasto.size() == 1 && tasto.at(0).isLetter())
        spiega(QStringLiteral("«%1» non è ammesso: la riga %2 accetta solo ore")
                   .arg(tasto.toUpper(), m_finestra->griglia().testo(r, 3)));
    cambiaTesto(r, c, dopo);
}

void ImmissioneDettaglio::spiega(const QString& testo)
{
    m_finestra->statusBar()->showMessage(testo, DurataSpiegazioneMs);
}

void ImmissioneDettaglio::RigheArt_KeyDown(int tasto)
{
    if (!attiva())
        return;
    const QModelIndex cursore = m_ui->RigheArt->currentIndex();
    if (tasto == Qt::Key_Delete) {
        if (cursore.isValid() && cellaGiorno(cursore.row(), cursore.column()))
            cambiaTesto(cursore.row(), cursore.column(), QString());
    } else if (tasto == Qt::Key_Escape) {
        // Back to what is stored; the cursor stays where it was.
        const int alto = m_ui->RigheArt->verticalScrollBar()->value();
        const int sinistra = m_ui->RigheArt->horizontalScrollBar()->value();
        m_modificate.clear();
        m_finestra->DimensionaGriglia_Click();
        if (cursore.isValid())
            ripristinaCursore(cursore.row(), cursore.column(), alto, sinistra);
    }
}

void ImmissioneDettaglio::RigheArt_KeyUp()
{
    if (!attiva())
        return;
    m_ui->Ins->setText(TestoRegistra);
    m_ui->Ins->setEnabled(true);
}

// ---- the cursor

void ImmissioneDettaglio::RigheArt_SelChange()
{
    if (!attiva())
        return;
    Griglia& g = m_finestra->griglia();
    const QModelIndex cursore = m_ui->RigheArt->currentIndex();
    const int r = cursore.isValid() ? cursore.row() : -1;
    const int c = cursore.isValid() ? cursore.column() : -1;

    // A cell holding a code that is no longer a state is emptied as the cursor arrives.
    if (cellaGiorno(r, c)) {
        const QString testo = g.testo(r, c);
        if (!testo.isEmpty() && !RegoleCella::Numero(testo) && !esisteStato(testo)) {
            g.impostaTesto(r, c, QString());
            spiega(NonUnoStato.arg(testo.trimmed().toUpper()));
            messaggi().Beep();
        }
    }
    if (!cellaGiorno(r, c)) {
        m_finestra->PulisciCampiAnagraficaSelezionata();
        return;
    }

    // The cell left gets its colour back and its text in the stored form.
    if (m_rigaPrecedente != 0 && m_colonnaPrecedente != 0) {
        const int rp = m_rigaPrecedente;
        const int cp = m_colonnaPrecedente;
        g.impostaSfondo(rp, cp, m_sfondoPrecedente);
        const QString testo = g.testo(rp, cp);
        double valore = 0;
        if (RegoleCella::Numero(testo, &valore))
            g.impostaTesto(rp, cp, Module1::FormattaNumero(valore));
        else if (!testo.isEmpty() && !esisteStato(testo)) {
            g.impostaTesto(rp, cp, QString());
            spiega(NonUnoStato.arg(testo.trimmed().toUpper()));
        }
    }

    m_sfondoPrecedente = g.sfondo(r, c);
    g.impostaSfondo(r, c, ColoreEvidenza);
    m_rigaPrecedente = r;
    m_colonnaPrecedente = c;

    m_ui->IndiceAnagraficaSelezionata->setText(g.testo(r, 0));
    m_ui->CodiceAnagraficaSelezionata->setText(g.testo(r, 1));
    m_ui->AnagraficaSelezionata->setText(g.testo(r, 2));
    m_ui->tiposelezionato->setText(g.testo(r, 3));
    m_ui->GiornoAnagraficaSelezionata->setText(g.testo(1, c));

    CaricaNote();

    const QString indice = m_ui->IndiceAnagraficaSelezionata->text();
    if (indice.isEmpty() || Module1::ValoreNumerico(indice) == 0) {
        m_ui->Note->clear();
        m_notaCaricata.clear();
        m_ui->Label4->setText(QStringLiteral("SELEZIONA IL GIORNO..."));
        m_ui->Note->setEnabled(false);
        coloraNote(false);
    } else {
        m_ui->Note->setEnabled(true);
        coloraNote(true);
        m_ui->Label4->setText(QStringLiteral("NOTE DEL GIORNO: ") + m_ui->GiornoAnagraficaSelezionata->text()
            + QLatin1Char('/') + QString::number(Module1::NumeroMese(m_finestra->Mese())) + QLatin1Char('/')
            + m_finestra->Anno() + QStringLiteral(" - DIPENDENTE: ") + m_ui->AnagraficaSelezionata->text());
    }
}

void ImmissioneDettaglio::DimenticaCellaPrecedente()
{
    m_rigaPrecedente = 0;
    m_colonnaPrecedente = 0;
    m_sfondoPrecedente = QColor();
}

// The entry row keeps still while the user works: "Ins" is as wide as its longest caption, and the
// note column keeps one width whatever day and employee its caption names (the caption wraps).
void ImmissioneDettaglio::fissaLarghezze()
{
    QPushButton* ins = m_ui->Ins;
    const QString testo = ins->text();
    int larghezza = 0;
    for (const QString& t : { TestoRegistra, TestoRegistrato }) {
        ins->setText(t);
        larghezza = std::max(larghezza, ins->sizeHint().width());
    }
    ins->setText(testo);
    ins->setFixedWidth(larghezza);

    const int colonnaNote = m_ui->Note->fontMetrics().averageCharWidth() * 64;
    m_ui->Note->setFixedWidth(colonnaNote);
    QLabel* titolo = m_ui->Label4;
    titolo->setWordWrap(true);
    titolo->setFixedSize(colonnaNote, 2 * titolo->fontMetrics().lineSpacing() + 2 * titolo->margin());
}

void ImmissioneDettaglio::coloraNote(bool attiva)
{
    coloraSfondo(m_ui->Label4, QPalette::Window, attiva ? ColoreEtichettaGiorno : ColoreEtichettaVuota);
    coloraSfondo(m_ui->Note, QPalette::Base, attiva ? ColoreNotaAttiva : ColoreNotaSpenta);
}

void ImmissioneDettaglio::grigliaRicostruita()
{
    // The new grid has no highlight; the old edits come back only onto the same month.
    DimenticaCellaPrecedente();
    m_modificate.clear();
    coloraNote(false);
    if (!attiva()) {
        m_daRipristinare.clear();
        return;
    }
    m_meseGriglia = m_finestra->Mese();
    m_annoGriglia = m_finestra->Anno();
    if (m_daRipristinare.isEmpty())
        return;
    const QHash<QString, QString> modifiche = std::exchange(m_daRipristinare, {});
    if (m_meseDaRipristinare != m_meseGriglia || m_annoDaRipristinare != m_annoGriglia)
        return;
    Griglia& g = m_finestra->griglia();
    for (int r = GrigliaDettaglio::RigheFisse; r < g.righe(); ++r)
        for (int c = GrigliaDettaglio::ColonneFisse; c < g.colonne(); ++c) {
            const QString chiave = chiaveCella(r, c);
            const auto trovata = modifiche.constFind(chiave);
            if (trovata == modifiche.constEnd())
                continue;
            g.impostaTesto(r, c, *trovata);
            m_modificate.insert(chiave);
        }
}

void ImmissioneDettaglio::ripristinaCursore(int riga, int colonna, int alto, int sinistra)
{
    VistaGriglia* vista = m_ui->RigheArt;
    if (cellaGiorno(riga, colonna))
        vista->setCurrentIndex(vista->model()->index(riga, colonna));
    vista->verticalScrollBar()->setValue(alto);
    vista->horizontalScrollBar()->setValue(sinistra);
}

// ---- saving and clearing the month

void ImmissioneDettaglio::VisualizzaNascondiMessaggioSalvataggio(const QString& azione)
{
    if (azione == QLatin1String("Visualizza")) {
        m_ui->ProgressBar->setMaximum(std::max(m_finestra->griglia().righe(), 1));
        m_ui->ProgressBar->setValue(0);
        m_ui->FrameSalva->show();
        m_ui->FrameSalva->repaint();
    } else if (azione == QLatin1String("Nascondi")) {
        m_ui->FrameSalva->hide();
    }
}

void ImmissioneDettaglio::Ins_Click()
{
    if (!attiva())
        return;
    Registra();
    m_ui->RigheArt->setFocus();
}

bool ImmissioneDettaglio::ConfermaUscita(const QString& restaCodice, bool annullabile)
{
    if (m_modificate.isEmpty())
        return true;
    if (!restaCodice.isEmpty()) {
        const Griglia& g = m_finestra->griglia();
        bool altrove = false;
        for (int r = GrigliaDettaglio::RigheFisse; !altrove && r < g.righe(); ++r) {
            if (g.testo(r, 1).compare(restaCodice, Qt::CaseInsensitive) == 0)
                continue;
            for (int c = GrigliaDettaglio::ColonneFisse; !altrove && c < g.colonne(); ++c)
                altrove = m_modificate.contains(chiaveCella(r, c));
        }
        if (!altrove)
            return true;
    }
    const Messaggi::Risposta risposta = messaggi().Messaggio(
        QStringLiteral("Ci sono modifiche non registrate nel mese di %1 %2. Registrarle?")
            .arg(m_meseGriglia, m_annoGriglia),
        annullabile ? Messaggi::Yes | Messaggi::No | Messaggi::Cancel : Messaggi::Yes | Messaggi::No,
        Messaggi::Question, {}, Messaggi::Yes);
    if (risposta == Messaggi::Yes)
        return Registra();
    if (risposta == Messaggi::No) {
        m_modificate.clear();
        return true;
    }
    return false;
}

bool ImmissioneDettaglio::Registra()
{
    // The grid's own month: the month boxes may already show the next one.
    const QString mese = m_meseGriglia;
    const QString anno = m_annoGriglia;
    bool salvato = true;
    QString errore;
    if (m_finestra->griglia().righe() > GrigliaDettaglio::RigheFisse) {
        const BloccoInput blocco(m_finestra);
        VisualizzaNascondiMessaggioSalvataggio(QStringLiteral("Visualizza"));
        SalvataggioMese salvataggio(archivio(), m_finestra->griglia(), mese, anno);
        salvataggio.impostaAvanzamento(
            [this](int riga) {
                m_ui->ProgressBar->setValue(riga + 1);
                m_ui->ProgressBar->repaint();
            },
            RigheTraAggiornamenti);
        salvato = salvataggio.Salva();
        errore = salvataggio.descrizioneErrore();
        VisualizzaNascondiMessaggioSalvataggio(QStringLiteral("Nascondi"));
    }
    if (salvato) {
        m_modificate.clear();
        m_ui->Ins->setText(TestoRegistrato);
        messaggi().Messaggio(TestoRegistrato, Messaggi::Ok, Messaggi::Information);
    } else {
        QString testo
            = QStringLiteral("Attenzione! Il mese di %1 %2 NON è stato registrato: nessuna modifica è "
                             "stata salvata.\nLe modifiche sono rimaste nella griglia: riprovare a "
                             "registrare più tardi.")
                  .arg(mese, anno);
        if (!errore.isEmpty())
            testo += QStringLiteral("\n\n") + errore;
        messaggi().Messaggio(testo, Messaggi::Ok, Messaggi::Critical);
    }
    return salvato;
}

void ImmissioneDettaglio::Command1_Click()
{
    if (!attiva())
        return;
    const QString mese = m_finestra->Mese();
    const QString anno = m_finestra->Anno();
    if (messaggi().Messaggio(
            QStringLiteral("Attenzione questa operazione cancellerà tutti i dati del corrente mese!"),
            Messaggi::Ok | Messaggi::Cancel, Messaggi::Information)
        != Messaggi::Ok)
        return;
    if (messaggi().Messaggio(QStringLiteral("Sicuri di voler cancellare tutti dati contenuti nel mese di ")
                + mese + QLatin1Char(' ') + anno + QLatin1Char('?'),
            Messaggi::Yes | Messaggi::No, Messaggi::Warning, {}, Messaggi::No)
        != Messaggi::Yes)
        return;
    QString errore;
    const bool cancellato = SalvataggioMese::CancellaMese(archivio(), mese, anno, &errore);
    m_finestra->DimensionaGriglia_Click();
    if (cancellato) {
        messaggi().Messaggio(QStringLiteral("Cancellazione Effettuata"), Messaggi::Ok, Messaggi::Information);
    } else {
        QString testo
            = QStringLiteral("Attenzione! Il mese di %1 %2 NON è stato cancellato: i dati sono rimasti "
                             "come prima.")
                  .arg(mese, anno);
        if (!errore.isEmpty())
            testo += QStringLiteral("\n\n") + errore;
        messaggi().Messaggio(testo, Messaggi::Ok, Messaggi::Critical);
    }
}

// ---- day notes

namespace {
NoteGiorno::Cella cellaSelezionata(const F_Avvio& f, const Ui::F_Avvio& ui)
{
    NoteGiorno::Cella c;
    c.mese = f.Mese();
    c.anno = f.Anno();
    c.giorno = ui.GiornoAnagraficaSelezionata->text();
    c.indice = qint64(Module1::ValoreNumerico(ui.IndiceAnagraficaSelezionata->text()));
    c.tipo = ui.tiposelezionato->text();
    return c;
}
} // namespace

void ImmissioneDettaglio::CaricaNote()
{
    m_cellaNota = cellaSelezionata(*m_finestra, *m_ui);
    QString nota;
    if (m_cellaNota.indice != 0)
        NoteGiorno::Leggi(archivio(), m_cellaNota, &nota, nullptr);
    m_ui->Note->setPlainText(nota);
    m_notaCaricata = nota;
}

void ImmissioneDettaglio::Note_GotFocus()
{
    const NoteGiorno::Cella cella = cellaSelezionata(*m_finestra, *m_ui);
    if (cella.indice == 0)
        return;
    bool esiste = false;
    if (NoteGiorno::Leggi(archivio(), cella, nullptr, &esiste) && !esiste)
        messaggi().Messaggio(QStringLiteral("Salvare il mese prima di inserire le note del giorno!"),
            Messaggi::Ok, Messaggi::Information);
}

void ImmissioneDettaglio::SalvaNote_Click()
{
    const NoteGiorno::Cella cella = cellaSelezionata(*m_finestra, *m_ui);
    if (!attiva() || cella.indice == 0)
        return;
    const QString nota = m_ui->Note->toPlainText();
    switch (NoteGiorno::Scrivi(archivio(), cella, nota)) {
    case NoteGiorno::Esito::Memorizzata:
        m_notaCaricata = nota;
        break;
    case NoteGiorno::Esito::RigaMancante:
        if (!nota.isEmpty())
            messaggi().Messaggio(QStringLiteral("Attenzione! La nota non è stata memorizzata!"), Messaggi::Ok,
                Messaggi::Information);
        return;
    case NoteGiorno::Esito::NonRiuscita:
        messaggi().Messaggio(
            QStringLiteral("Attenzione! La nota non è stata memorizzata!"), Messaggi::Ok, Messaggi::Critical);
        return;
    }

    // The grid is read again so the note colours follow the archive; the cells typed and not yet
    // saved come back with it, so the refresh changes nothing but colours.
    VistaGriglia* vista = m_ui->RigheArt;
    const QModelIndex cursore = vista->currentIndex();
    const int alto = vista->verticalScrollBar()->value();
    const int sinistra = vista->horizontalScrollBar()->value();
    m_salvataggioNota = true;
    m_finestra->DimensionaGriglia_Click();
    m_salvataggioNota = false;
    if (cursore.isValid())
        ripristinaCursore(cursore.row(), cursore.column(), alto, sinistra);
}

void ImmissioneDettaglio::cnote_Click()
{
    m_ui->Note->clear();
    m_ui->Note->setFocus(Qt::OtherFocusReason);
}

void ImmissioneDettaglio::ricostruzioneIniziata()
{
    m_daRipristinare.clear();
    if (!m_modificate.isEmpty()) {
        const Griglia& g = m_finestra->griglia();
        m_meseDaRipristinare = m_meseGriglia;
        m_annoDaRipristinare = m_annoGriglia;
        for (int r = GrigliaDettaglio::RigheFisse; r < g.righe(); ++r)
            for (int c = GrigliaDettaglio::ColonneFisse; c < g.colonne(); ++c)
                if (const QString chiave = chiaveCella(r, c); m_modificate.contains(chiave))
                    m_daRipristinare.insert(chiave, g.testo(r, c));
    }

    // A note typed and not yet stored is stored before the grid it belongs to goes away (a month
    // button or another window may rebuild without the box losing the focus first).
    // The cell is the one the note was loaded for: the month may have changed already.
    if (m_salvataggioNota || !m_ui->Note->isEnabled() || m_ui->Note->toPlainText() == m_notaCaricata
        || m_cellaNota.indice == 0)
        return;
    if (NoteGiorno::Scrivi(archivio(), m_cellaNota, m_ui->Note->toPlainText())
        == NoteGiorno::Esito::Memorizzata)
        m_notaCaricata = m_ui->Note->toPlainText();
}

// ---- events

bool ImmissioneDettaglio::eventFilter(QObject* oggetto, QEvent* evento)
{
    if (oggetto == m_ui->RigheArt) {
        if (evento->type() == QEvent::KeyPress) {
            auto* tasto = static_cast<QKeyEvent*>(evento);
            if (tasto->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
                return false;
            switch (tasto->key()) {
            case Qt::Key_Delete:
                RigheArt_KeyDown(Qt::Key_Delete);
                return true;
            case Qt::Key_Escape:
                RigheArt_KeyDown(Qt::Key_Escape);
                return true;
            case Qt::Key_Backspace:
                RigheArt_KeyPress(QStringLiteral("\b"));
                return true;
            default:
                break;
            }
            // Characters go into the cell, never to the view's search; the rest moves the cursor.
            const QString testo = tasto->text();
            if (!testo.isEmpty() && (testo.at(0).isPrint() || testo.at(0).isSurrogate())) {
                RigheArt_KeyPress(testo);
                return true;
            }
            return false;
        }
        if (evento->type() == QEvent::KeyRelease && !static_cast<QKeyEvent*>(evento)->isAutoRepeat())
            RigheArt_KeyUp();
        return false;
    }
    if (oggetto == m_ui->Note) {
        if (evento->type() == QEvent::FocusIn && FocusDellUtente(evento))
            Note_GotFocus();
        else if (evento->type() == QEvent::FocusOut && FocusDellUtente(evento))
            SalvaNote_Click();
    }
    return false;
}
