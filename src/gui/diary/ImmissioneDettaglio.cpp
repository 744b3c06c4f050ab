#include "ImmissioneDettaglio.h"

#include "archive/Archivio.h"
#include "archive/FestivitaAzienda.h"
#include "archive/GestioneErrore.h"
#include "archive/Module1.h"
#include "comune/Griglia.h"
#include "comune/ModelloGriglia.h"
#include "diary/ElencoStati.h"
#include "diary/GrigliaDettaglio.h"
#include "diary/NoteGiorno.h"
#include "diary/RegoleCella.h"
#include "diary/SalvataggioMese.h"
#include "diary/SettimanaTipo.h"
#include "gui/diary/VistaGriglia.h"
#include "platform/Messaggi.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSet>
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

ImmissioneDettaglio::ImmissioneDettaglio(MeseDiario& documento, Griglia& griglia,
    const ControlliImmissione& controlli, std::function<bool()> vistaMese, std::function<void()> ricostruisci,
    QObject* parent)
    : QObject(parent)
    , m_documento(documento)
    , m_griglia(griglia)
    , m_c(controlli)
    , m_vistaMese(std::move(vistaMese))
    , m_ricostruisci(std::move(ricostruisci))
{
    VistaGriglia* vista = m_c.griglia;
    // A range of day cells is selected with the mouse or Shift and the arrows; the cell under the
    // cursor shows the grids' highlight colour, not the view's selection.
    vista->setSelectionMode(QAbstractItemView::ContiguousSelection);
    vista->setProperty("correnteSenzaSelezione", true);
    vista->installEventFilter(this);
    m_c.nota->installEventFilter(this);
    m_c.nota->setAccessibleDescription(QStringLiteral("Nota del giorno selezionato"));
    fissaLarghezze();
    creaComandi();

    connect(vista->selectionModel(), &QItemSelectionModel::currentChanged, this,
        &ImmissioneDettaglio::RigheArt_SelChange);
    connect(m_c.registra, &QPushButton::clicked, this, &ImmissioneDettaglio::Ins_Click);
    connect(m_c.cancella, &QPushButton::clicked, this, &ImmissioneDettaglio::Command1_Click);
    connect(m_c.registraNota, &QPushButton::clicked, this, &ImmissioneDettaglio::SalvaNote_Click);
    connect(m_c.svuotaNota, &QPushButton::clicked, this, &ImmissioneDettaglio::cnote_Click);
    connect(&m_documento, &MeseDiario::celleCambiate, this, &ImmissioneDettaglio::mostraCelle);
    connect(&m_documento, &MeseDiario::notaCambiata, this, &ImmissioneDettaglio::mostraNota);
    connect(&m_documento.storia(), &QUndoStack::indexChanged, this, &ImmissioneDettaglio::AggiornaComandi);
    coloraNote(false);
}

bool ImmissioneDettaglio::attiva() const
{
    return m_vistaMese();
}

bool ImmissioneDettaglio::cellaGiorno(int riga, int colonna) const
{
    return riga >= GrigliaDettaglio::RigheFisse && riga < m_griglia.righe()
        && colonna >= GrigliaDettaglio::ColonneFisse && colonna < m_griglia.colonne()
        && m_documento.cella(rigaDocumento(riga), giornoDocumento(colonna));
}

int ImmissioneDettaglio::rigaDocumento(int riga)
{
    return riga - GrigliaDettaglio::RigheFisse;
}

int ImmissioneDettaglio::giornoDocumento(int colonna)
{
    return GrigliaDettaglio::GiornoColonna(colonna);
}

MeseDiario::Area ImmissioneDettaglio::area() const
{
    MeseDiario::Area a;
    a.primaRiga = INT_MAX;
    a.primoGiorno = INT_MAX;
    a.ultimaRiga = -1;
    a.ultimoGiorno = 0;
    const auto aggiungi = [&](const QModelIndex& i) {
        if (!cellaGiorno(i.row(), i.column()))
            return;
        a.primaRiga = std::min(a.primaRiga, rigaDocumento(i.row()));
        a.ultimaRiga = std::max(a.ultimaRiga, rigaDocumento(i.row()));
        a.primoGiorno = std::min(a.primoGiorno, giornoDocumento(i.column()));
        a.ultimoGiorno = std::max(a.ultimoGiorno, giornoDocumento(i.column()));
    };
    if (const QItemSelectionModel* s = m_c.griglia->selectionModel())
        for (const QItemSelectionRange& r : s->selection())
            if (r.isValid()) {
                aggiungi(r.topLeft());
                aggiungi(r.bottomRight());
            }
    if (a.vuota())
        aggiungi(m_c.griglia->currentIndex());
    if (a.vuota())
        return {};
    return a;
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

ElencoStati ImmissioneDettaglio::stati() const
{
    ElencoStati elenco;
    EseguiPasso([&] {
        Archivio db(archivio());
        elenco = ElencoStati::Leggi(db);
    });
    return elenco;
}

void ImmissioneDettaglio::mostraCelle(const QList<QPoint>& celle)
{
    if (!attiva())
        return;
    for (const QPoint& c : celle)
        GrigliaDettaglio::DisegnaCella(m_griglia, m_documento, c.y(), c.x());
    if (m_documento.celleModificate() > 0) {
        m_c.registra->setText(TestoRegistra);
        m_c.registra->setEnabled(true);
    }
}

void ImmissioneDettaglio::mostraNota(int riga, int giorno)
{
    if (!attiva())
        return;
    const int r = riga + GrigliaDettaglio::RigheFisse;
    const int c = GrigliaDettaglio::ColonnaGiorno(giorno);
    const QColor colore = m_documento.nota(riga, giorno) ? GrigliaDettaglio::ColoreNota : QColor();
    // The highlighted cell gets its note colour back when the cursor leaves it.
    if (r == m_rigaPrecedente && c == m_colonnaPrecedente)
        m_sfondoPrecedente = colore;
    else
        m_griglia.impostaSfondo(r, c, colore);
}

// ---- keys

void ImmissioneDettaglio::RigheArt_KeyPress(const QString& tasto)
{
    if (!attiva())
        return;
    const QModelIndex cursore = m_c.griglia->currentIndex();
    if (!cursore.isValid() || !cellaGiorno(cursore.row(), cursore.column()))
        return;
    const int r = rigaDocumento(cursore.row());
    const int g = giornoDocumento(cursore.column());
    const QString prima = m_documento.testo(r, g);
    const RegoleCella::Riga tipoRiga = m_documento.riga(r).genere;
    const QString dopo = RegoleCella::TastoPremuto(prima, tasto, tipoRiga);
    // A letter refused in an hours-only row: the status line says why nothing appeared.
    if (dopo == prima && tipoRiga == RegoleCella::Riga::Extra && tasto.size() == 1 && tasto.at(0).isLetter())
        spiega(QStringLiteral("«%1» non è ammesso: la riga %2 accetta solo ore")
                   .arg(tasto.toUpper(), m_documento.riga(r).tipo));
    m_documento.Digita(r, g, dopo);
}

void ImmissioneDettaglio::spiega(const QString& testo)
{
    m_c.stato->showMessage(testo, DurataSpiegazioneMs);
}

void ImmissioneDettaglio::RigheArt_KeyDown(int tasto)
{
    if (!attiva())
        return;
    const QModelIndex cursore = m_c.griglia->currentIndex();
    if (tasto == Qt::Key_Delete) {
        CancellaCelle();
    } else if (tasto == Qt::Key_Escape) {
        // Back to what is stored; the cursor stays where it was.
        const int alto = m_c.griglia->verticalScrollBar()->value();
        const int sinistra = m_c.griglia->horizontalScrollBar()->value();
        m_documento.Abbandona();
        m_ricostruisci();
        if (cursore.isValid())
            ripristinaCursore(cursore.row(), cursore.column(), alto, sinistra);
    }
}

void ImmissioneDettaglio::RigheArt_KeyUp()
{
    if (!attiva())
        return;
    m_c.registra->setText(TestoRegistra);
    m_c.registra->setEnabled(true);
}

// ---- the cursor

void ImmissioneDettaglio::RigheArt_SelChange()
{
    if (!attiva())
        return;
    const QModelIndex cursore = m_c.griglia->currentIndex();
    const int r = cursore.isValid() ? cursore.row() : -1;
    const int c = cursore.isValid() ? cursore.column() : -1;

    // The cell left gets its colour back and its text in the stored form; what is typed next is
    // another step of the history.
    if (m_rigaPrecedente != 0 && m_colonnaPrecedente != 0) {
        const int rp = m_rigaPrecedente;
        const int cp = m_colonnaPrecedente;
        m_griglia.impostaSfondo(rp, cp, m_sfondoPrecedente);
        if (cellaGiorno(rp, cp)) {
            const QString testo = m_documento.testo(rigaDocumento(rp), giornoDocumento(cp));
            double valore = 0;
            if (RegoleCella::Numero(testo, &valore))
                m_documento.Digita(rigaDocumento(rp), giornoDocumento(cp), Module1::FormattaNumero(valore));
            else if (!testo.isEmpty() && !esisteStato(testo)) {
                m_documento.Digita(rigaDocumento(rp), giornoDocumento(cp), QString());
                spiega(NonUnoStato.arg(testo.trimmed().toUpper()));
            }
        }
    }
    m_documento.ChiudiDigitazione();

    // A cell holding a code that is no longer a state is emptied as the cursor arrives.
    if (cellaGiorno(r, c)) {
        const QString testo = m_documento.testo(rigaDocumento(r), giornoDocumento(c));
        if (!testo.isEmpty() && !RegoleCella::Numero(testo) && !esisteStato(testo)) {
            m_documento.Digita(rigaDocumento(r), giornoDocumento(c), QString());
            spiega(NonUnoStato.arg(testo.trimmed().toUpper()));
            messaggi().Beep();
        }
    }
    if (!cellaGiorno(r, c)) {
        DimenticaCellaPrecedente();
        PulisciCampi();
        return;
    }

    m_sfondoPrecedente = m_griglia.sfondo(r, c);
    m_griglia.impostaSfondo(r, c, ColoreEvidenza);
    m_rigaPrecedente = r;
    m_colonnaPrecedente = c;

    const MeseDiario::Riga& riga = m_documento.riga(rigaDocumento(r));
    m_c.indice->setText(QString::number(riga.indice));
    m_c.codice->setText(riga.codice);
    m_c.dipendente->setText(m_griglia.testo(r, 2));
    m_c.tipo->setText(riga.tipo);
    m_c.giorno->setText(QString::number(giornoDocumento(c)));

    CaricaNote();

    if (riga.indice == 0) {
        m_c.nota->clear();
        m_notaCaricata.clear();
        m_c.titoloNota->setText(QStringLiteral("SELEZIONA IL GIORNO..."));
        m_c.nota->setEnabled(false);
        coloraNote(false);
    } else {
        m_c.nota->setEnabled(true);
        coloraNote(true);
        m_c.titoloNota->setText(QStringLiteral("NOTE DEL GIORNO: ") + m_c.giorno->text() + QLatin1Char('/')
            + QString::number(m_documento.mese().mese) + QLatin1Char('/') + m_documento.mese().testoAnno()
            + QStringLiteral(" - DIPENDENTE: ") + m_c.dipendente->text());
    }
}

void ImmissioneDettaglio::DimenticaCellaPrecedente()
{
    m_rigaPrecedente = 0;
    m_colonnaPrecedente = 0;
    m_sfondoPrecedente = QColor();
}

void ImmissioneDettaglio::PulisciCampi()
{
    for (QLineEdit* e : { m_c.indice, m_c.codice, m_c.dipendente, m_c.giorno, m_c.tipo })
        e->clear();
    m_c.nota->clear();
    m_c.titoloNota->setText(QStringLiteral("SELEZIONA IL GIORNO..."));
}

// The entry row keeps still while the user works: "Ins" is as wide as its longest caption, and the
// note column keeps one width whatever day and employee its caption names (the caption wraps).
void ImmissioneDettaglio::fissaLarghezze()
{
    QPushButton* ins = m_c.registra;
    const QString testo = ins->text();
    int larghezza = 0;
    for (const QString& t : { TestoRegistra, TestoRegistrato }) {
        ins->setText(t);
        larghezza = std::max(larghezza, ins->sizeHint().width());
    }
    ins->setText(testo);
    ins->setFixedWidth(larghezza);

    const int colonnaNote = m_c.nota->fontMetrics().averageCharWidth() * 64;
    m_c.nota->setFixedWidth(colonnaNote);
    QLabel* titolo = m_c.titoloNota;
    titolo->setWordWrap(true);
    titolo->setFixedSize(colonnaNote, 2 * titolo->fontMetrics().lineSpacing() + 2 * titolo->margin());
}

void ImmissioneDettaglio::coloraNote(bool attiva)
{
    coloraSfondo(m_c.titoloNota, QPalette::Window, attiva ? ColoreEtichettaGiorno : ColoreEtichettaVuota);
    coloraSfondo(m_c.nota, QPalette::Base, attiva ? ColoreNotaAttiva : ColoreNotaSpenta);
}

void ImmissioneDettaglio::grigliaRicostruita()
{
    // The new grid has no highlight.
    DimenticaCellaPrecedente();
    coloraNote(false);
    AggiornaComandi();
    if (!attiva())
        return;
    m_meseGriglia = m_documento.mese().nomeMese();
    m_annoGriglia = m_documento.mese().testoAnno();
}

void ImmissioneDettaglio::ripristinaCursore(int riga, int colonna, int alto, int sinistra)
{
    VistaGriglia* vista = m_c.griglia;
    if (cellaGiorno(riga, colonna))
        vista->setCurrentIndex(vista->model()->index(riga, colonna));
    vista->verticalScrollBar()->setValue(alto);
    vista->horizontalScrollBar()->setValue(sinistra);
}

// ---- editing commands

void ImmissioneDettaglio::creaComandi()
{
    QMenu* menu = m_c.menuModifica;
    if (!menu)
        return;
    const auto crea = [&](const QString& nome, const QString& testo, const QList<QKeySequence>& tasti,
                          void (ImmissioneDettaglio::*azione)()) {
        auto* a = new QAction(testo, menu);
        a->setObjectName(nome);
        a->setShortcuts(tasti);
        // The keys act in the grid; in the note box and the other fields they keep editing text.
        a->setShortcutContext(Qt::WidgetShortcut);
        connect(a, &QAction::triggered, this, azione);
        menu->addAction(a);
        m_c.griglia->addAction(a);
        return a;
    };
    crea(QStringLiteral("mAnnulla"), QStringLiteral("Annulla"), { QKeySequence::Undo },
        &ImmissioneDettaglio::Annulla);
    crea(QStringLiteral("mRipeti"), QStringLiteral("Ripeti"),
        { QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z) },
        &ImmissioneDettaglio::Ripeti);
    menu->addSeparator();
    crea(QStringLiteral("mCopia"), QStringLiteral("Copia"), { QKeySequence::Copy },
        &ImmissioneDettaglio::Copia);
    crea(QStringLiteral("mIncolla"), QStringLiteral("Incolla"), { QKeySequence::Paste },
        &ImmissioneDettaglio::Incolla);
    crea(QStringLiteral("mCancellaCelle"), QStringLiteral("Cancella celle"), { QKeySequence(Qt::Key_Delete) },
        &ImmissioneDettaglio::CancellaCelle);
    menu->addSeparator();
    crea(QStringLiteral("mCompilaSelezione"), QStringLiteral("Compila selezione..."), {},
        &ImmissioneDettaglio::CompilaSelezione);
    crea(QStringLiteral("mSettimanaTipo"), QStringLiteral("Settimana tipo..."), {},
        &ImmissioneDettaglio::SettimanaTipo);
    AggiornaComandi();
}

QAction* ImmissioneDettaglio::comando(const QString& nome) const
{
    return m_c.menuModifica ? m_c.menuModifica->findChild<QAction*>(nome) : nullptr;
}

void ImmissioneDettaglio::AggiornaComandi()
{
    if (!m_c.menuModifica)
        return;
    const bool mese = attiva();
    m_c.menuModifica->setEnabled(mese);
    for (QAction* a : m_c.menuModifica->actions())
        a->setEnabled(mese);
    if (QAction* a = comando(QStringLiteral("mAnnulla")))
        a->setEnabled(mese && m_documento.storia().canUndo());
    if (QAction* a = comando(QStringLiteral("mRipeti")))
        a->setEnabled(mese && m_documento.storia().canRedo());
}

void ImmissioneDettaglio::Annulla()
{
    if (!attiva())
        return;
    m_documento.ChiudiDigitazione();
    m_documento.storia().undo();
}

void ImmissioneDettaglio::Ripeti()
{
    if (!attiva())
        return;
    m_documento.storia().redo();
}

void ImmissioneDettaglio::Copia()
{
    const MeseDiario::Area a = area();
    if (!attiva() || a.vuota())
        return;
    QGuiApplication::clipboard()->setText(m_documento.Copia(a));
    const int celle = (a.ultimaRiga - a.primaRiga + 1) * (a.ultimoGiorno - a.primoGiorno + 1);
    spiega(QStringLiteral("%1 celle copiate").arg(celle));
}

void ImmissioneDettaglio::Incolla()
{
    if (!attiva())
        return;
    const QString testo = QGuiApplication::clipboard()->text();
    QModelIndex inizio = m_c.griglia->currentIndex();
    if (!inizio.isValid() || !cellaGiorno(inizio.row(), inizio.column())) {
        const MeseDiario::Area a = area();
        if (a.vuota())
            return;
        inizio = m_c.griglia->model()->index(
            a.primaRiga + GrigliaDettaglio::RigheFisse, GrigliaDettaglio::ColonnaGiorno(a.primoGiorno));
    }
    if (testo.isEmpty()) {
        spiega(QStringLiteral("Niente da incollare: gli appunti sono vuoti"));
        return;
    }
    const MeseDiario::Esito esito
        = m_documento.Incolla(rigaDocumento(inizio.row()), giornoDocumento(inizio.column()), testo, stati());
    QString resoconto
        = QStringLiteral("Incollate %1 celle, rifiutate %2").arg(esito.scritte).arg(esito.rifiutate);
    if (esito.fuori > 0)
        resoconto += QStringLiteral(", %1 fuori dalla griglia").arg(esito.fuori);
    spiega(resoconto);
}

void ImmissioneDettaglio::CancellaCelle()
{
    const MeseDiario::Area a = area();
    if (!attiva() || a.vuota())
        return;
    m_documento.Svuota(a);
}

void ImmissioneDettaglio::CompilaSelezione()
{
    const MeseDiario::Area a = area();
    if (!attiva() || a.vuota())
        return;
    const QString valore = messaggi().InputBox(
        QStringLiteral("Valore da scrivere in ogni cella della selezione (ore o codice di uno stato):"),
        QStringLiteral("Compila selezione"), {});
    if (valore.trimmed().isEmpty())
        return;
    compila(a, valore);
}

void ImmissioneDettaglio::compila(const MeseDiario::Area& a, const QString& valore)
{
    const MeseDiario::Esito esito = m_documento.Compila(a, valore, stati());
    spiega(QStringLiteral("Compilate %1 celle, rifiutate %2").arg(esito.scritte).arg(esito.rifiutate));
}

void ImmissioneDettaglio::CompilaConCorrente()
{
    const QModelIndex cursore = m_c.griglia->currentIndex();
    if (!attiva() || !cursore.isValid() || !cellaGiorno(cursore.row(), cursore.column()))
        return;
    compila(area(), m_documento.testo(rigaDocumento(cursore.row()), giornoDocumento(cursore.column())));
}

void ImmissioneDettaglio::SettimanaTipo()
{
    if (!attiva() || m_documento.righe() == 0)
        return;
    // The employees of a selected range; all of them when the selection is one cell.
    const MeseDiario::Area a = area();
    const bool soloSelezionati
        = !a.vuota() && (a.primaRiga != a.ultimaRiga || a.primoGiorno != a.ultimoGiorno);
    QSet<qint64> dipendenti;
    if (soloSelezionati)
        for (int r = a.primaRiga; r <= a.ultimaRiga; ++r)
            dipendenti.insert(m_documento.riga(r).indice);
    QList<int> righe;
    for (int r = 0; r < m_documento.righe(); ++r)
        if (!soloSelezionati || dipendenti.contains(m_documento.riga(r).indice))
            righe << r;

    const MeseAnno& mese = m_documento.mese();
    bool letto = true;
    const ::SettimanaTipo settimana = ::SettimanaTipo::Leggi(archivio(), &letto);
    if (!letto) {
        messaggi().Messaggio(
            QStringLiteral("Impossibile leggere la settimana tipo: l'archivio non è raggiungibile."),
            Messaggi::Ok, Messaggi::Critical);
        return;
    }
    const auto giorni
        = settimana.GiorniDaCompilare(mese.anno, mese.mese, FestivitaAzienda::Leggi(archivio(), mese.anno));
    const int date = m_documento.CompilaSettimana(righe, giorni);
    spiega(date > 0 ? QStringLiteral("Settimana tipo: compilate %1 celle").arg(date)
                    : QStringLiteral("Settimana tipo: nessuna cella vuota da compilare"));
}

// ---- saving and clearing the month

void ImmissioneDettaglio::VisualizzaNascondiMessaggioSalvataggio(const QString& azione)
{
    if (azione == QLatin1String("Visualizza")) {
        m_c.avanzamento->setMaximum(std::max(m_griglia.righe(), 1));
        m_c.avanzamento->setValue(0);
        m_c.frameSalva->show();
        m_c.frameSalva->repaint();
    } else if (azione == QLatin1String("Nascondi")) {
        m_c.frameSalva->hide();
    }
}

void ImmissioneDettaglio::Ins_Click()
{
    if (!attiva())
        return;
    Registra();
    m_c.griglia->setFocus();
}

bool ImmissioneDettaglio::ConfermaUscita(const QString& restaCodice, bool annullabile)
{
    if (m_documento.celleModificate() == 0)
        return true;
    if (!restaCodice.isEmpty() && !m_documento.modificheAltrove(restaCodice))
        return true;
    const Messaggi::Risposta risposta = messaggi().Messaggio(
        QStringLiteral("Ci sono modifiche non registrate nel mese di %1 %2. Registrarle?")
            .arg(m_meseGriglia, m_annoGriglia),
        annullabile ? Messaggi::Yes | Messaggi::No | Messaggi::Cancel : Messaggi::Yes | Messaggi::No,
        Messaggi::Question, {}, Messaggi::Yes);
    if (risposta == Messaggi::Yes)
        return Registra();
    if (risposta == Messaggi::No) {
        m_documento.Abbandona();
        return true;
    }
    return false;
}

bool ImmissioneDettaglio::RegistraPrimaDi(const QString& domanda)
{
    if (!attiva() || m_documento.celleModificate() == 0)
        return true;
    const Messaggi::Risposta risposta = messaggi().Messaggio(
        domanda, Messaggi::Yes | Messaggi::No | Messaggi::Cancel, Messaggi::Question, {}, Messaggi::Yes);
    if (risposta == Messaggi::Yes)
        return Registra();
    return risposta == Messaggi::No;
}

bool ImmissioneDettaglio::Registra()
{
    // The grid's own month: the month boxes may already show the next one.
    const QString mese = m_meseGriglia;
    const QString anno = m_annoGriglia;
    bool salvato = true;
    QString errore;
    if (m_documento.righe() > 0) {
        const BloccoInput blocco(m_c.griglia->window());
        VisualizzaNascondiMessaggioSalvataggio(QStringLiteral("Visualizza"));
        SalvataggioMese salvataggio(m_documento);
        salvataggio.impostaAvanzamento(
            [this](int riga) {
                m_c.avanzamento->setValue(riga + 1);
                m_c.avanzamento->repaint();
            },
            RigheTraAggiornamenti);
        salvato = salvataggio.Salva();
        errore = salvataggio.descrizioneErrore();
        VisualizzaNascondiMessaggioSalvataggio(QStringLiteral("Nascondi"));
    }
    if (salvato) {
        m_c.registra->setText(TestoRegistrato);
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
    const QString mese = m_documento.mese().nomeMese();
    const QString anno = m_documento.mese().testoAnno();
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
    // The month is what the archive holds now: what was typed and its history go with it.
    m_documento.Abbandona();
    m_ricostruisci();
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

NoteGiorno::Cella ImmissioneDettaglio::cellaSelezionata() const
{
    const QModelIndex cursore = m_c.griglia->currentIndex();
    if (!cursore.isValid() || !cellaGiorno(cursore.row(), cursore.column()))
        return {};
    return m_documento.cellaNota(rigaDocumento(cursore.row()), giornoDocumento(cursore.column()));
}

void ImmissioneDettaglio::CaricaNote()
{
    m_cellaNota = cellaSelezionata();
    QString nota;
    if (m_cellaNota.indice != 0)
        NoteGiorno::Leggi(archivio(), m_cellaNota, &nota, nullptr);
    m_c.nota->setPlainText(nota);
    m_notaCaricata = nota;
}

void ImmissioneDettaglio::Note_GotFocus()
{
    const NoteGiorno::Cella cella = cellaSelezionata();
    if (cella.indice == 0)
        return;
    bool esiste = false;
    if (NoteGiorno::Leggi(archivio(), cella, nullptr, &esiste) && !esiste)
        messaggi().Messaggio(QStringLiteral("Salvare il mese prima di inserire le note del giorno!"),
            Messaggi::Ok, Messaggi::Information);
}

void ImmissioneDettaglio::SalvaNote_Click()
{
    const NoteGiorno::Cella cella = cellaSelezionata();
    if (!attiva() || cella.indice == 0)
        return;
    const QString nota = m_c.nota->toPlainText();
    const QModelIndex cursore = m_c.griglia->currentIndex();
    // The document keeps the cell's note colour in step.
    switch (m_documento.ScriviNota(rigaDocumento(cursore.row()), giornoDocumento(cursore.column()), nota)) {
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
}

void ImmissioneDettaglio::cnote_Click()
{
    m_c.nota->clear();
    m_c.nota->setFocus(Qt::OtherFocusReason);
}

void ImmissioneDettaglio::PrimaDellaRicostruzione()
{
    // A note typed and not yet stored is stored before the grid it belongs to goes away (a month
    // button or another window may rebuild without the box losing the focus first).
    // The cell is the one the note was loaded for: the month may have changed already.
    if (!m_c.nota->isEnabled() || m_c.nota->toPlainText() == m_notaCaricata || m_cellaNota.indice == 0)
        return;
    if (NoteGiorno::Scrivi(archivio(), m_cellaNota, m_c.nota->toPlainText())
        == NoteGiorno::Esito::Memorizzata)
        m_notaCaricata = m_c.nota->toPlainText();
}

// ---- events

bool ImmissioneDettaglio::eventFilter(QObject* oggetto, QEvent* evento)
{
    if (oggetto == m_c.griglia) {
        if (evento->type() == QEvent::KeyPress) {
            auto* tasto = static_cast<QKeyEvent*>(evento);
            if ((tasto->key() == Qt::Key_Return || tasto->key() == Qt::Key_Enter)
                && (tasto->modifiers() & Qt::ControlModifier)) {
                CompilaConCorrente();
                return true;
            }
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
    if (oggetto == m_c.nota) {
        if (evento->type() == QEvent::FocusIn && FocusDellUtente(evento))
            Note_GotFocus();
        else if (evento->type() == QEvent::FocusOut && FocusDellUtente(evento))
            SalvaNote_Click();
    }
    return false;
}
