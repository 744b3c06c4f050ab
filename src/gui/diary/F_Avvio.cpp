#include "F_Avvio.h"
#include "ui_F_Avvio.h"

#include "archive/Sessione.h"
#include "archive/Archivio.h"
#include "archive/Backup.h"
#include "archive/CreazioneDB.h"
#include "archive/FestivitaAzienda.h"
#include "archive/FunzioniPerVariabili.h"
#include "archive/GestioneErrore.h"
#include "archive/Module1.h"
#include "archive/Password.h"
#include "comune/Twips.h"
#include "diary/GrigliaDettaglio.h"
#include "gui/diary/ImmissioneDettaglio.h"
#include "gui/diary/OsservatoreFinestre.h"
#include "diary/LegendaStati.h"
#include "comune/ModelloGriglia.h"
#include "comune/Orologio.h"
#include "gui/diary/SalvataggioAutomatico.h"
#include "gui/diary/VistaGriglia.h"
#include "gui/masterdata/F_Calendario.h"
#include "gui/masterdata/F_Configurazioni.h"
#include "gui/masterdata/F_SchedaDipendente.h"
#include "gui/masterdata/F_TabellaStati.h"
#include "gui/masterdata/F_TabellaTipi.h"
#include "gui/platform/FinestraAperta.h"
#include "gui/masterdata/SceltaData.h"
#include "platform/Messaggi.h"
#include "printing/Esportazione.h"
#include "platform/Servizi.h"
#include "platform/Piattaforma.h"
#include "gui/printing/F_SelezioneStampante.h"
#include "gui/printing/LancioStampa.h"
#include "gui/printing/StampaCartellini.h"
#include "gui/printing/StampaDettagliata.h"
#include "gui/printing/Stampanti.h"

#include <QDir>
#include <QFileInfo>
#include <QApplication>
#include <QProgressBar>
#include <QCloseEvent>
#include <QCompleter>
#include <QKeyEvent>
#include <QScreen>
#include <QStyle>
#include <QMenu>
#include <QTimer>

using namespace FunzioniPerVariabili;

namespace {
const QString VarOrdinamento = QStringLiteral("F_Avvio_Ordinamento");
const QString VarAttivi = QStringLiteral("F_Avvio_VisualizzaAttivi");
const QString VarNonAttivi = QStringLiteral("F_Avvio_VisualizzaNonAttivi");
const QString VarTutti = QStringLiteral("F_Avvio_VisualizzaTutti");
const QString VarEspandi = QStringLiteral("F_Avvio_EspandiCalendario");
const QColor ColoreOpzioneScelta { 0x80, 0x80, 0xFF };
const QColor ColoreOpzione { 0xD4, 0xD0, 0xC8 };
const QString TestoSelezionaGiorno = QStringLiteral("SELEZIONA IL GIORNO...");

void coloraSfondo(QWidget* w, const QColor& colore)
{
    // A button fills its background with its own role (Button), not the window's.
    QPalette p = w->palette();
    p.setColor(w->backgroundRole(), colore);
    w->setPalette(p);
    w->setAutoFillBackground(true);
}
} // namespace

F_Avvio::F_Avvio(Sessione& sessione, QWidget* parent)
    : QMainWindow(parent)
    , m_sessione(sessione)
    , m_ui(new Ui::F_Avvio)
    , m_modello(new ModelloGriglia(&m_griglia, this))
    , m_osservatore(new OsservatoreFinestre(this, m_sessione.SaltaRicostruzioneGriglia))
    , m_elencoTipi { RigheDipendenti::Ordinario }
{
    m_ui->setupUi(this);
    m_ui->RigheArt->impostaModello(m_modello);
    m_ui->Ordinamento->addItems({ RigheDipendenti::OrdinaRagioneSociale, RigheDipendenti::OrdinaCodice,
        RigheDipendenti::OrdinaInserimento });
    for (QComboBox* c : { m_ui->CodiceDipentente, m_ui->RagSocialeDipentente }) {
        c->setInsertPolicy(QComboBox::NoInsert);
        c->completer()->setCompletionMode(QCompleter::PopupCompletion);
        c->completer()->setCaseSensitivity(Qt::CaseInsensitive);
        c->completer()->setFilterMode(Qt::MatchContains);
    }
    m_ui->CodiceDipentente->lineEdit()->setMaxLength(
        Schema::Dimensione(QStringLiteral("TabellaAnagrafiche"), QStringLiteral("Codice")));
    m_ui->Picture1->setPixmap(style()->standardIcon(QStyle::SP_FileIcon).pixmap(24, 24));
    m_ui->Picture1->setCursor(Qt::PointingHandCursor);
    m_ui->Aggiorna->hide();
    m_ui->FramePeriodo->hide();
    // Code and day are short: they stay compact at the left, name and type take the width.
    m_ui->AnagraficaSelezionata->setMinimumWidth(220);
    m_ui->CodiceAnagraficaSelezionata->setMaximumWidth(140);
    m_ui->layoutAnagrafica->setColumnStretch(3, 1);
    m_ui->layoutAnagrafica->setAlignment(m_ui->GiornoAnagraficaSelezionata, Qt::AlignLeft);
    m_ui->Note->setEnabled(false);
    // The month frame keeps its place while a period hides it, so the top row does not jump.
    QSizePolicy politica = m_ui->FrameSelezioneMese->sizePolicy();
    politica.setRetainSizeWhenHidden(true);
    m_ui->FrameSelezioneMese->setSizePolicy(politica);
    PulisciCampiAnagraficaSelezionata();
    collega();

    m_ui->mFile->addSeparator();
    m_stampaCartellini = m_ui->mFile->addAction(QStringLiteral("Stampa &Cartellini"));
    m_stampaCartellini->setObjectName(QStringLiteral("mStampaCartellini"));
    connect(m_stampaCartellini, &QAction::triggered, this, &F_Avvio::StampaCartellini_Click);

    QMenu* modifica = new QMenu(QStringLiteral("&Modifica"), m_ui->menubar);
    modifica->setObjectName(QStringLiteral("mModifica"));
    m_ui->menubar->addMenu(modifica);
    ControlliImmissione c;
    c.griglia = m_ui->RigheArt;
    c.registra = m_ui->Ins;
    c.cancella = m_ui->Command1;
    c.registraNota = m_ui->SalvaNote;
    c.svuotaNota = m_ui->cnote;
    c.nota = m_ui->Note;
    c.titoloNota = m_ui->Label4;
    c.indice = m_ui->IndiceAnagraficaSelezionata;
    c.codice = m_ui->CodiceAnagraficaSelezionata;
    c.dipendente = m_ui->AnagraficaSelezionata;
    c.tipo = m_ui->tiposelezionato;
    c.giorno = m_ui->GiornoAnagraficaSelezionata;
    c.frameSalva = m_ui->FrameSalva;
    c.avanzamento = m_ui->ProgressBar;
    c.stato = statusBar();
    c.menuModifica = modifica;
    m_immissione = new ImmissioneDettaglio(
        m_documento, m_griglia, c, [this] { return !VisualizzaTotali(); },
        [this] { DimensionaGriglia_Click(); }, this);
    connect(this, &F_Avvio::grigliaRicostruita, m_immissione, &ImmissioneDettaglio::grigliaRicostruita);
}

F_Avvio::~F_Avvio()
{
    // The table windows belong to this session of the main window.
    delete m_schedaDipendente;
    // The entry logic filters the grid's events and reads the form: it goes before the form does,
    // not after it among the children (the grid's own destruction still sends it events).
    delete m_immissione;
    m_immissione = nullptr;
    delete m_osservatore;
}

void F_Avvio::collega()
{
    connect(m_ui->prec, &QToolButton::clicked, this, &F_Avvio::prec_Click);
    connect(m_ui->succ, &QToolButton::clicked, this, &F_Avvio::succ_Click);
    connect(m_ui->ImpostataMeseCorrente, &QPushButton::clicked, this, &F_Avvio::ImpostataMeseCorrente_Click);
    connect(m_ui->Mese, &QComboBox::activated, this, &F_Avvio::meseScelto);
    connect(m_ui->Anno, &QComboBox::activated, this, &F_Avvio::meseScelto);
    connect(m_ui->Ordinamento, &QComboBox::activated, this, &F_Avvio::Ordinamento_Click);
    connect(m_ui->VisualizzaTotali, &QCheckBox::clicked, this, &F_Avvio::VisualizzaTotali_Click);
    connect(m_ui->EspandiCalendario, &QCheckBox::clicked, this, &F_Avvio::EspandiCalendario_Click);
    for (QRadioButton* r : { m_ui->VisualizzaAttivi, m_ui->VisualizzaNonAttivi, m_ui->VisualizzaTutti })
        connect(r, &QRadioButton::clicked, this, &F_Avvio::SelezioneVisualizzazione);
    connect(m_ui->Command2, &QPushButton::clicked, this, &F_Avvio::Command2_Click);
    connect(m_ui->CodiceDipentente, &QComboBox::activated, this, &F_Avvio::CodiceDipentente_Click);
    connect(m_ui->RagSocialeDipentente, &QComboBox::activated, this, &F_Avvio::RagSocialeDipentente_Click);
    // Enter on a name or code typed in full picks it, as choosing it from the list does.
    for (QComboBox* c : { m_ui->CodiceDipentente, m_ui->RagSocialeDipentente }) {
        connect(c->lineEdit(), &QLineEdit::returnPressed, this, [this, c] {
            const int i = c->findText(c->currentText(), Qt::MatchFixedString);
            if (i < 0)
                return;
            if (c == m_ui->CodiceDipentente)
                CodiceDipentente_Click(i);
            else
                RagSocialeDipentente_Click(i);
        });
    }
    connect(m_ui->Command4, &QPushButton::clicked, this, &F_Avvio::Command4_Click);
    connect(m_ui->Aggiorna, &QPushButton::clicked, this, &F_Avvio::Aggiorna_Click);
    connect(m_ui->Dal, &QLineEdit::textChanged, this, &F_Avvio::applicaRegolaMese);
    connect(m_ui->Al, &QLineEdit::textChanged, this, &F_Avvio::applicaRegolaMese);
    connect(m_ui->IndiceAnagraficaSelezionata, &QLineEdit::textChanged, this,
        [this](const QString& t) { m_ui->Note->setEnabled(Module1::ValoreNumerico(t) != 0); });
    connect(m_ui->Disconnetti, &QPushButton::clicked, this, &F_Avvio::Disconnetti_Click);
    connect(m_ui->Anteprima, &QPushButton::clicked, this, &F_Avvio::Anteprima_Click);
    connect(m_ui->Command17, &QPushButton::clicked, this,
        [this] { F_SelezioneStampante::Mostra(m_sessione, this); });
    connect(m_ui->mConfigurazioni, &QAction::triggered, this, [this] {
        if (QWidget* w = F_Configurazioni::Apri(m_sessione, this))
            m_osservatore->osserva(w);
    });
    connect(m_ui->mTabellaDipendenti, &QAction::triggered, this, [this] {
        // Created once and kept, so the card reopens as it was left.
        if (!m_schedaDipendente)
            m_schedaDipendente = new F_SchedaDipendente(m_sessione);
        ApriFinestra(m_schedaDipendente);
    });
    connect(m_ui->mTabellaStati, &QAction::triggered, this,
        [this] { ApriFinestra(F_TabellaStati::Apri(m_sessione.PercorsoArchivio, this)); });
    connect(m_ui->mTabellaTipi, &QAction::triggered, this,
        [this] { ApriFinestra(F_TabellaTipi::Apri(m_sessione.PercorsoArchivio, this)); });
    connect(m_ui->Fine, &QPushButton::clicked, this, &F_Avvio::Fine_Click);
    connect(m_ui->mEsporta, &QAction::triggered, this, &F_Avvio::Esporta_Click);

    for (QWidget* w :
        QList<QWidget*> { m_ui->Mese, m_ui->Anno, m_ui->Ordinamento, m_ui->Dal, m_ui->Al, m_ui->Picture1 })
        w->installEventFilter(this);

    connect(m_osservatore, &OsservatoreFinestre::rientro, this, &F_Avvio::Form_Activate);
}

// ---- opening and loading

F_Avvio* F_Avvio::Corrente()
{
    return FinestraAperta<F_Avvio>([](const F_Avvio& f) { return !f.m_disconnessione; });
}

F_Avvio* F_Avvio::Apri(Sessione& sessione)
{
    FinestreTenute tenute;
    if (F_Avvio* precedente = Corrente()) {
        // Reopened from scratch (the settings window does so): the old window goes, its typed
        // cells saved or given up first; the windows opened from it stay open, with what is typed
        // in them.
        precedente->m_immissione->ConfermaUscita({}, false);
        precedente->m_disconnessione = true;
        precedente->close();
        tenute = precedente->cediFinestre();
    }
    auto* finestra = new F_Avvio(sessione);
    finestra->setAttribute(Qt::WA_DeleteOnClose);
    if (!finestra->Form_Load()) {
        for (const auto& [w, visibile] : tenute)
            delete w.data();
        delete finestra;
        return nullptr;
    }
    finestra->adottaFinestre(tenute);
    finestra->show();
    finestra->activateWindow();
    finestra->Form_Activate(true);
    return finestra;
}

F_Avvio::FinestreTenute F_Avvio::cediFinestre()
{
    FinestreTenute cedute;
    if (m_schedaDipendente)
        cedute.append({ m_schedaDipendente, m_schedaDipendente->isVisible() });
    m_schedaDipendente = nullptr;
    for (F_TabellaCodici* t : findChildren<F_TabellaCodici*>(Qt::FindDirectChildrenOnly))
        cedute.append({ t, t->isVisible() });
    for (const auto& [w, visibile] : cedute) {
        m_osservatore->dimentica(w);
        // Out of the children, which go with this window (this hides it until it is adopted).
        if (w->parent() == this) {
            const QByteArray posizione = w->saveGeometry();
            w->setParent(nullptr, w->windowFlags());
            w->restoreGeometry(posizione);
        }
    }
    return cedute;
}

void F_Avvio::adottaFinestre(const FinestreTenute& finestre)
{
    for (const auto& [w, visibile] : finestre) {
        if (!w)
            continue;
        if (qobject_cast<F_SchedaDipendente*>(w))
            m_schedaDipendente = w;
        else if (!w->parent()) {
            const QByteArray posizione = w->saveGeometry();
            w->setParent(this, w->windowFlags());
            w->restoreGeometry(posizione);
        }
        m_osservatore->osserva(w);
        if (visibile)
            w->show();
    }
}

void F_Avvio::centra()
{
    QScreen* s = screen();
    if (!s)
        return;
    const QRect schermo = s->availableGeometry();
    // On a small screen the window fits it; the grid gives up the height.
    resize(std::min(width(), schermo.width()), std::min(height(), schermo.height() - 40));
    move(schermo.x() + std::max(0, (schermo.width() - width()) / 2),
        schermo.y() + std::max(0, (schermo.height() - height()) / 2 - Twips::pixel(200)));
}

bool F_Avvio::Form_Load()
{
    centra();
    setWindowTitle(QStringLiteral("Cartavia") + QStringLiteral(" Ver.") + Module1::VersioneProgramma);

    const QDate oggi = Orologio::Oggi();
    m_ui->Mese->clear();
    for (int m = 1; m <= 12; ++m)
        m_ui->Mese->addItem(Module1::NomeMese(m));
    m_ui->Mese->setCurrentIndex(oggi.month() - 1);
    m_ui->Anno->clear();
    for (int a = oggi.year() - 8; a <= oggi.year() + 1; ++a)
        m_ui->Anno->addItem(QString::number(a));
    m_ui->Anno->setCurrentText(QString::number(oggi.year()));

    // A file that is there but is no whole archive is neither read nor "completed" into one:
    // the user hears why and the file stays as it is for a restore.
    try {
        Archivio::VerificaApertura(m_sessione.PercorsoArchivio);
    } catch (const ErroreArchivio& e) {
        if (e.numero() != CodiciErrore::FileNonTrovato) {
            messaggi().Messaggio(e.descrizione(), Messaggi::Ok, Messaggi::Critical);
            return false;
        }
    }
    if (!ControllaVersione(m_sessione.PercorsoArchivio, Module1::VersioneProgramma))
        return false;
    if (Piattaforma::PercorsoDiRete(m_sessione.PercorsoArchivio))
        setWindowTitle(windowTitle() + QStringLiteral(" (In Rete)"));

    // A file gone or a table missing since the selection: create or complete the archive, then
    // check its version again.
    int errore = 0;
    EseguiConAttesa([this] { Archivio db(m_sessione.PercorsoArchivio); }, &errore);
    if (errore == CodiciErrore::FileNonTrovato || errore == CodiciErrore::TabellaNonTrovata) {
        CreazioneDB().CreaDB_Click(m_sessione.PercorsoArchivio);
        if (!ControllaVersione(m_sessione.PercorsoArchivio, Module1::VersioneProgramma))
            return false;
    }
    Module1::CaricaConfigurazione(m_sessione);

    // The settings window reopens this window without asking the password again.
    if (!ConsumaSaltaPassword(m_sessione) && !ControllaPassword(m_sessione)) {
        Piattaforma::TerminaProgramma();
        return false;
    }

    m_ui->StampaPdf->setVisible(Stampanti::CaricaStampanti(m_sessione));

    const QString ordinamento = LeggiVariabile(m_sessione.PercorsoArchivio, VarOrdinamento);
    const int posizione = m_ui->Ordinamento->findText(ordinamento);
    m_ui->Ordinamento->setCurrentIndex(posizione >= 0 ? posizione : 0);

    const bool attivi = LeggiFlag(m_sessione.PercorsoArchivio, VarAttivi);
    const bool nonAttivi = LeggiFlag(m_sessione.PercorsoArchivio, VarNonAttivi);
    const bool tutti = LeggiFlag(m_sessione.PercorsoArchivio, VarTutti);
    // The options are set in order, so of two stored as selected the later one wins.
    if (tutti || (!attivi && !nonAttivi))
        m_ui->VisualizzaTutti->setChecked(true);
    else if (nonAttivi)
        m_ui->VisualizzaNonAttivi->setChecked(true);
    else
        m_ui->VisualizzaAttivi->setChecked(true);

    m_ui->EspandiCalendario->setChecked(
        Module1::ValoreNumerico(LeggiVariabile(m_sessione.PercorsoArchivio, VarEspandi)) != 0);

    SelezioneVisualizzazione();
    // The backup starts once the window is up, and runs beside it.
    m_salvataggio = SalvataggioAutomatico::Prepara(m_sessione.PercorsoArchivio, this);
    if (m_salvataggio)
        QTimer::singleShot(0, m_salvataggio, &SalvataggioAutomatico::inizia);
    return true;
}

void F_Avvio::Form_Activate(bool ricostruisci)
{
    CaricaTipi();
    CaricaCombo_Click();
    if (ricostruisci) {
        // Another window may have changed the employees, types or states the history refers to.
        m_documento.NuovaStoria();
        DimensionaGriglia_Click();
    }
    m_sessione.SaltaRicostruzioneGriglia = false;
    m_ui->LabelInfo->setText(LegendaStati::CaricaInfo(m_sessione.PercorsoArchivio));
}

// ---- window state

QString F_Avvio::Mese() const
{
    return m_ui->Mese->currentText();
}

QString F_Avvio::Anno() const
{
    return m_ui->Anno->currentText();
}

QString F_Avvio::Dal() const
{
    return m_ui->Dal->text();
}

QString F_Avvio::Al() const
{
    return m_ui->Al->text();
}

bool F_Avvio::VisualizzaTotali() const
{
    return m_ui->VisualizzaTotali->isChecked();
}

bool F_Avvio::EspandiCalendario() const
{
    return m_ui->EspandiCalendario->isChecked();
}

VistaGriglia* F_Avvio::RigheArt() const
{
    return m_ui->RigheArt;
}

RigheDipendenti::Criteri F_Avvio::CriteriDipendenti() const
{
    RigheDipendenti::Criteri c;
    if (m_ui->VisualizzaAttivi->isChecked())
        c.filtro = RigheDipendenti::Filtro::Attivi;
    else if (m_ui->VisualizzaNonAttivi->isChecked())
        c.filtro = RigheDipendenti::Filtro::NonAttivi;
    else
        c.filtro = RigheDipendenti::Filtro::Tutti;
    c.ordinamento = m_ui->Ordinamento->currentText();
    c.codiceDipendente = m_ui->CodiceDipentente->currentText();
    return c;
}

// ---- lists

void F_Avvio::CaricaTipi()
{
    m_elencoTipi = QStringList { RigheDipendenti::Ordinario }
        + RigheDipendenti::CaricaTipi(m_sessione.PercorsoArchivio);
}

void F_Avvio::CaricaDipendenti()
{
    RigheDipendenti::CaricaDipendenti(
        m_sessione.PercorsoArchivio, m_griglia, CriteriDipendenti(), m_elencoTipi.mid(1));
}

void F_Avvio::CaricaCombo_Click()
{
    bool letto = false;
    const QList<RigheDipendenti::Dipendente> elenco
        = RigheDipendenti::ElencoPerSelezione(m_sessione.PercorsoArchivio, &letto);
    if (!letto)
        return;
    QComboBox* codici = m_ui->CodiceDipentente;
    QComboBox* nomi = m_ui->RagSocialeDipentente;
    const QString codice = codici->currentText();
    const QString nome = nomi->currentText();
    const QSignalBlocker b1(codici);
    const QSignalBlocker b2(nomi);
    codici->clear();
    nomi->clear();
    for (const RigheDipendenti::Dipendente& d : elenco) {
        nomi->addItem(d.ragSociale);
        codici->addItem(d.codice);
    }
    codici->setCurrentIndex(-1);
    nomi->setCurrentIndex(-1);
    codici->setEditText(codice);
    nomi->setEditText(nome);
}

void F_Avvio::SelezioneVisualizzazione()
{
    ScriviFlag(m_sessione.PercorsoArchivio, VarAttivi, m_ui->VisualizzaAttivi->isChecked());
    ScriviFlag(m_sessione.PercorsoArchivio, VarNonAttivi, m_ui->VisualizzaNonAttivi->isChecked());
    ScriviFlag(m_sessione.PercorsoArchivio, VarTutti, m_ui->VisualizzaTutti->isChecked());
    for (QRadioButton* r : { m_ui->VisualizzaAttivi, m_ui->VisualizzaNonAttivi, m_ui->VisualizzaTutti })
        coloraSfondo(r, r->isChecked() ? ColoreOpzioneScelta : ColoreOpzione);
}

int F_Avvio::SelezionaTipo(const QString& tipo) const
{
    const int i = int(m_elencoTipi.indexOf(tipo));
    return i >= 0 ? i : NumeroTipi() + 1;
}

void F_Avvio::PulisciCampiAnagraficaSelezionata()
{
    m_ui->IndiceAnagraficaSelezionata->clear();
    m_ui->CodiceAnagraficaSelezionata->clear();
    m_ui->AnagraficaSelezionata->clear();
    m_ui->GiornoAnagraficaSelezionata->clear();
    m_ui->tiposelezionato->clear();
    m_ui->Note->clear();
    m_ui->Label4->setText(TestoSelezionaGiorno);
}

// ---- building the grid

int F_Avvio::CalcolaNumeroGiorniMese(const QString& mese, const QString& anno)
{
    return GrigliaDettaglio::CalcolaNumeroGiorniMese(mese, anno);
}

void F_Avvio::DimensionaGriglia_Click()
{
    // The build runs without letting events in, so the grid cannot be edited meanwhile; it is
    // not hidden, which would throw the keyboard focus out of it.
    m_ui->Aggiorna->hide();
    if (m_immissione)
        m_immissione->PrimaDellaRicostruzione();
    m_ui->RigheArt->setUpdatesEnabled(false);
    if (m_ui->VisualizzaTotali->isChecked()) {
        DimensionaGriglia2_Click();
        m_ui->Anteprima->setText(QStringLiteral("Stampa Riepilogo"));
    } else {
        DimensionaGriglia1_Click();
        m_ui->Anteprima->setText(QStringLiteral("Stampa Dettagliata"));
    }
    m_stampaCartellini->setEnabled(!m_ui->VisualizzaTotali->isChecked());
    m_ui->RigheArt->setUpdatesEnabled(true);
    ++m_ricostruzioni;
    emit grigliaRicostruita();
}

void F_Avvio::DimensionaGriglia1_Click()
{
    GrigliaDettaglio::Parametri p;
    p.archivio = m_sessione.PercorsoArchivio;
    p.mese = Mese();
    p.anno = Anno();
    p.espandiCalendario = m_ui->EspandiCalendario->isChecked();
    p.criteri = CriteriDipendenti();
    p.tipi = m_elencoTipi.mid(1);
    p.oggi = Orologio::Oggi();
    // Read at every build, so days changed in the settings show as soon as the grid comes back.
    const MeseAnno mese = MeseAnno::DaTesti(p.mese, p.anno);
    p.azienda = FestivitaAzienda::Leggi(m_sessione.PercorsoArchivio, mese.anno);
    m_documento.Carica(p);
    GrigliaDettaglio::Disegna(m_griglia, m_documento, p);
    m_legendaFeste = Festivita::Legenda(Festivita::DaEvidenziare(mese.anno, mese.mese, p.azienda));
    m_codiceMostrato = p.criteri.codiceDipendente;
    PulisciCampiAnagraficaSelezionata();
}

void F_Avvio::DimensionaGriglia2_Click()
{
    GrigliaTotali::Parametri p;
    p.archivio = m_sessione.PercorsoArchivio;
    p.mese = Mese();
    p.anno = Anno();
    p.dal = Dal();
    p.al = Al();
    p.criteri = CriteriDipendenti();
    p.tipi = m_elencoTipi.mid(1);
    QProgressBar* barra = m_ui->ProgressRiepilogo;
    barra->setValue(0);
    barra->show();
    p.avanzamento = [barra](int valore, int massimo) {
        barra->setMaximum(massimo);
        barra->setValue(valore);
        barra->repaint();
    };
    m_totali = GrigliaTotali::DimensionaGriglia2(m_griglia, p);
    barra->hide();
}

QList<TabellaStampa2::RigaStampa2> F_Avvio::PreparaStampa(bool* ok)
{
    if (!VisualizzaTotali()) {
        if (ok)
            *ok = false;
        return {};
    }
    return TabellaStampa2::PreparaStampa(m_sessione.PercorsoArchivio, m_griglia, m_totali, ok);
}

void F_Avvio::Anteprima_Click()
{
    m_sessione.StampaInCorso = false;
    const bool pdf = StampaPdfScelta();
    m_sessione.StampanteCorrente = LancioStampa::StampanteScelta(m_sessione, pdf);
    LancioStampa::GrigliaAllargata allargata(RigheArt(), EspandiCalendario());
    if (!VisualizzaTotali()) {
        PreparaStampa2();
        return;
    }
    bool scritte = false;
    LancioStampa::Richiesta richiesta;
    richiesta.righe = PreparaStampa(&scritte);
    allargata.Restringi();
    // The lines are the shown totals: the heading names the period they were built for, even when
    // the boxes were changed since without "Aggiorna".
    richiesta.archivio = m_sessione.PercorsoArchivio;
    richiesta.dal = m_totali.dal;
    richiesta.al = m_totali.al;
    richiesta.mese = m_totali.mese;
    richiesta.anno = m_totali.anno;
    richiesta.stampante = m_sessione.StampanteCorrente;
    richiesta.pdf = pdf;
    LancioStampa::StampaRiepilogo(richiesta, scritte);
}

void F_Avvio::StampaCartellini_Click()
{
    if (VisualizzaTotali()
        || !m_immissione->RegistraPrimaDi(
            QStringLiteral("Ci sono modifiche non registrate. Registrarle prima di stampare?")))
        return;
    // The month and the employees the grid shows.
    Cartellini::Richiesta richiesta;
    richiesta.archivio = m_sessione.PercorsoArchivio;
    richiesta.mese = m_documento.mese();
    richiesta.criteri = CriteriDipendenti();
    richiesta.criteri.codiceDipendente = m_codiceMostrato;
    richiesta.tipi = m_elencoTipi.mid(1);
    const bool pdf = StampaPdfScelta();
    StampaCartellini::Esegui(richiesta, LancioStampa::StampanteScelta(m_sessione, pdf), pdf, this);
}

void F_Avvio::PreparaStampa2()
{
    StampaDettagliata::PreparaStampa2({ &m_sessione, &m_griglia, m_ui->RigheArt, Dal(), Al(), Mese(), Anno(),
        LegendaStati(), NumeroTipi(), this, m_legendaFeste });
}

int F_Avvio::CalcolaNumeroRigheInStampa() const
{
    return StampaDettagliata::CalcolaNumeroRigheInStampa(*m_ui->RigheArt, NumeroTipi());
}

bool F_Avvio::StampaPdfScelta() const
{
    return !m_ui->StampaPdf->isHidden() && m_ui->AbilitaStampaPdf->isChecked();
}

QString F_Avvio::LegendaStati() const
{
    return m_ui->LabelInfo->text();
}

// ---- month and year

void F_Avvio::ImpostaMeseAnno(const QString& mese, int anno)
{
    m_ui->Mese->setCurrentIndex(Module1::NumeroMese(mese) - 1);
    const QString testo = QString::number(anno);
    if (m_ui->Anno->findText(testo) < 0) {
        // The list covers the years around today; going further back or on adds the year in
        // order instead of leaving the year unchanged.
        int i = 0;
        while (i < m_ui->Anno->count() && m_ui->Anno->itemText(i).toInt() < anno)
            ++i;
        m_ui->Anno->insertItem(i, testo);
    }
    m_ui->Anno->setCurrentText(testo);
}

// Showing another month drops the typed cells of this one: they are saved or given up first.
bool F_Avvio::lasciaMese(const QString& mese, const QString& anno)
{
    if (VisualizzaTotali() || (mese == m_immissione->meseGriglia() && anno == m_immissione->annoGriglia()))
        return true;
    return m_immissione->ConfermaUscita();
}

void F_Avvio::meseScelto()
{
    if (!lasciaMese(Mese(), Anno())) {
        ImpostaMeseAnno(m_immissione->meseGriglia(), m_immissione->annoGriglia().toInt());
        return;
    }
    DimensionaGriglia_Click();
}

void F_Avvio::prec_Click()
{
    vaiAlMese(MeseAnno::DaTesti(Mese(), Anno()).precedente());
}

void F_Avvio::succ_Click()
{
    vaiAlMese(MeseAnno::DaTesti(Mese(), Anno()).successivo());
}

void F_Avvio::vaiAlMese(const MeseAnno& m)
{
    if (!m.valido() || !lasciaMese(m.nomeMese(), m.testoAnno()))
        return;
    ImpostaMeseAnno(m.nomeMese(), m.anno);
    DimensionaGriglia_Click();
}

void F_Avvio::ImpostataMeseCorrente_Click()
{
    const QDate oggi = Orologio::Oggi();
    if (!lasciaMese(Module1::NomeMese(oggi.month()), QString::number(oggi.year())))
        return;
    ImpostaMeseAnno(Module1::NomeMese(oggi.month()), oggi.year());
    DimensionaGriglia_Click();
}

// ---- export

namespace {
const QString FiltroXlsx = QStringLiteral("Cartella di lavoro Excel (*.xlsx)");
const QString FiltroCsvMese = QStringLiteral("CSV del mese (*.csv)");
const QString FiltroCsvRighe = QStringLiteral("CSV righe, una per registrazione (*.csv)");
} // namespace

void F_Avvio::Esporta_Click()
{
    if (!m_immissione->RegistraPrimaDi(
            QStringLiteral("Ci sono modifiche non registrate. Registrarle prima di esportare?")))
        return;
    Esportazione::Richiesta r;
    r.archivio = m_sessione.PercorsoArchivio;
    r.mese = MeseAnno::DaTesti(Mese(), Anno());
    // The totals view exports its period when one is given.
    if (VisualizzaTotali()) {
        const QDate dal = Module1::LeggiData(Dal());
        const QDate al = Module1::LeggiData(Al());
        if (dal.isValid() && al.isValid()) {
            r.dal = dal;
            r.al = al;
        }
    }
    r.criteri = CriteriDipendenti();
    r.tipi = m_elencoTipi.mid(1);
    r.formato = Esportazione::Formato::Xlsx;
    const QString cartella = Piattaforma::CartellaSpeciale(QStringLiteral("CartellaDocumenti"));
    QString filtro = FiltroXlsx;
    QString file = messaggi().SalvaFile(QStringLiteral("Esporta presenze"),
        QDir(cartella).filePath(Esportazione::NomeProposto(r)),
        QStringList { FiltroXlsx, FiltroCsvMese, FiltroCsvRighe }.join(QStringLiteral(";;")), &filtro);
    if (file.isEmpty())
        return;
    // The extension typed decides between a spreadsheet and a CSV; the list, which CSV. A name
    // without one gets the extension of the form chosen in the list.
    const bool righe = filtro == FiltroCsvRighe;
    if (const auto f = Esportazione::FormatoDaEstensione(file)) {
        r.formato = *f == Esportazione::Formato::Xlsx ? *f
            : righe                                   ? Esportazione::Formato::CsvRighe
                                                      : Esportazione::Formato::CsvMese;
    } else {
        r.formato = righe             ? Esportazione::Formato::CsvRighe
            : filtro == FiltroCsvMese ? Esportazione::Formato::CsvMese
                                      : Esportazione::Formato::Xlsx;
        if (QFileInfo(file).suffix().isEmpty())
            file += r.formato == Esportazione::Formato::Xlsx ? QStringLiteral(".xlsx")
                                                             : QStringLiteral(".csv");
    }
    r.file = file;

    QProgressBar* barra = m_ui->ProgressRiepilogo;
    barra->setValue(0);
    barra->show();
    r.avanzamento = [barra](int fatto, int totale) {
        barra->setMaximum(std::max(totale, 1));
        barra->setValue(fatto);
        barra->repaint();
        return true;
    };
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const Esportazione::Esito esito = Esportazione::Esporta(r);
    QApplication::restoreOverrideCursor();
    barra->hide();
    if (esito.ok)
        messaggi().Messaggio(QStringLiteral("Esportazione completata: %1 dipendenti in «%2».")
                                 .arg(esito.dipendenti)
                                 .arg(QDir::toNativeSeparators(file)),
            Messaggi::Ok, Messaggi::Information);
    else
        messaggi().Messaggio(QStringLiteral("Esportazione non riuscita.\n\n") + esito.errore, Messaggi::Ok,
            Messaggi::Critical);
}

// ---- period

void F_Avvio::applicaRegolaMese()
{
    // In the summary a period replaces the month.
    const bool periodo = !m_ui->Dal->text().isEmpty() || !m_ui->Al->text().isEmpty();
    m_ui->FrameSelezioneMese->setVisible(!(periodo && m_ui->VisualizzaTotali->isChecked()));
}

void F_Avvio::chiediData(QLineEdit* casella)
{
    const QString data = ScegliDataDaCalendario(
        this, casella->text(), m_sessione.PercorsoArchivio, &m_sessione.SaltaRicostruzioneGriglia);
    if (!data.isEmpty()) {
        casella->setText(data);
        m_ui->Aggiorna->show();
    }
    // The return from the calendar, also when it closed before the window system reported it
    // active (the watch then finds nothing left to do).
    m_osservatore->rientraDa(RegolaRientro::Finestra::Calendario);
}

void F_Avvio::Dal_DblClick()
{
    chiediData(m_ui->Dal);
}

void F_Avvio::Al_DblClick()
{
    chiediData(m_ui->Al);
}

void F_Avvio::lasciaData(QLineEdit* casella, QString& memorizzata)
{
    QString testo = casella->text();
    Module1::ControllaData(testo);
    casella->setText(testo);
    // The end date decides whether there is a period to show.
    if (Module1::LeggiData(m_ui->Al->text()).isValid())
        m_ui->Aggiorna->show();
    memorizzata = casella->text();
}

void F_Avvio::Dal_LostFocus()
{
    lasciaData(m_ui->Dal, m_dalMemorizzato);
}

void F_Avvio::Al_LostFocus()
{
    lasciaData(m_ui->Al, m_alMemorizzato);
}

void F_Avvio::Command4_Click()
{
    m_ui->Dal->clear();
    m_ui->Al->clear();
    m_dalMemorizzato.clear();
    m_alMemorizzato.clear();
    m_ui->Aggiorna->show();
}

void F_Avvio::Aggiorna_Click()
{
    DimensionaGriglia_Click();
}

// ---- view, ordering, employee

void F_Avvio::VisualizzaTotali_Click()
{
    if (m_ui->VisualizzaTotali->isChecked() && !m_immissione->ConfermaUscita()) {
        m_ui->VisualizzaTotali->setChecked(false);
        return;
    }
    if (m_ui->VisualizzaTotali->isChecked()) {
        m_ui->Dal->setText(m_dalMemorizzato);
        m_ui->Al->setText(m_alMemorizzato);
        m_ui->FramePeriodo->show();
        PulisciCampiAnagraficaSelezionata();
        DimensionaGriglia_Click();
        for (QWidget* w :
            QList<QWidget*> { m_ui->Command1, m_ui->Ins, m_ui->mSchedeDipendenti, m_ui->SalvaNote })
            w->setEnabled(false);
        // The filter options move down into the place of the entry frame and the grid grows over
        // the rest of it (the layout does both once the frame is hidden).
        m_ui->FrameRegistra->hide();
    } else {
        m_ui->Dal->clear();
        m_ui->Al->clear();
        m_ui->FramePeriodo->hide();
        for (QWidget* w :
            QList<QWidget*> { m_ui->VisualizzaAttivi, m_ui->VisualizzaNonAttivi, m_ui->VisualizzaTutti,
                m_ui->Command1, m_ui->Ins, m_ui->Ordinamento, m_ui->mSchedeDipendenti, m_ui->SalvaNote })
            w->setEnabled(true);
        DimensionaGriglia_Click();
        m_ui->FrameRegistra->show();
    }
    applicaRegolaMese();
}

void F_Avvio::EspandiCalendario_Click()
{
    DimensionaGriglia_Click();
    ScriviVariabile(m_sessione.PercorsoArchivio, VarEspandi,
        m_ui->EspandiCalendario->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
}

void F_Avvio::Ordinamento_Click()
{
    ScriviVariabile(m_sessione.PercorsoArchivio, VarOrdinamento, m_ui->Ordinamento->currentText());
    DimensionaGriglia_Click();
}

void F_Avvio::Command2_Click()
{
    m_ui->CodiceDipentente->setCurrentIndex(-1);
    m_ui->RagSocialeDipentente->setCurrentIndex(-1);
    m_ui->CodiceDipentente->setEditText({});
    m_ui->RagSocialeDipentente->setEditText({});
    DimensionaGriglia_Click();
}

void F_Avvio::CodiceDipentente_Click(int indice)
{
    m_ui->CodiceDipentente->setCurrentIndex(indice);
    m_ui->RagSocialeDipentente->setCurrentIndex(indice);
    if (!VisualizzaTotali() && !m_immissione->ConfermaUscita(m_ui->CodiceDipentente->currentText()))
        return tornaAlDipendenteMostrato();
    DimensionaGriglia_Click();
}

void F_Avvio::RagSocialeDipentente_Click(int indice)
{
    m_ui->RagSocialeDipentente->setCurrentIndex(indice);
    m_ui->CodiceDipentente->setCurrentIndex(indice);
    if (!VisualizzaTotali() && !m_immissione->ConfermaUscita(m_ui->CodiceDipentente->currentText()))
        return tornaAlDipendenteMostrato();
    DimensionaGriglia_Click();
}

void F_Avvio::tornaAlDipendenteMostrato()
{
    const int i = m_codiceMostrato.isEmpty()
        ? -1
        : m_ui->CodiceDipentente->findText(m_codiceMostrato, Qt::MatchFixedString);
    m_ui->CodiceDipentente->setCurrentIndex(i);
    m_ui->RagSocialeDipentente->setCurrentIndex(i);
    if (i < 0) {
        m_ui->CodiceDipentente->setEditText(m_codiceMostrato);
        m_ui->RagSocialeDipentente->setEditText({});
    }
}

// ---- leaving

void F_Avvio::Disconnetti_Click()
{
    if (!m_immissione->ConfermaUscita())
        return;
    m_disconnessione = true;
    close();
    if (servizi().apriSelezione)
        servizi().apriSelezione();
}

void F_Avvio::Fine_Click()
{
    if (!m_immissione->ConfermaUscita())
        return;
    if (m_salvataggio)
        m_salvataggio->ferma();
    Piattaforma::TerminaProgramma();
}

void F_Avvio::closeEvent(QCloseEvent* evento)
{
    // Closing the main window ends the program as "Fine" does, once the typed cells are saved
    // or given up; a backup still running is stopped and its partial copy removed.
    if (!m_disconnessione && !m_immissione->ConfermaUscita()) {
        evento->ignore();
        return;
    }
    if (m_salvataggio)
        m_salvataggio->ferma();
    evento->accept();
    if (!m_disconnessione)
        Piattaforma::TerminaProgramma();
}

// ---- returning from the program's other windows

void F_Avvio::ApriFinestra(QWidget* finestra)
{
    if (!finestra)
        return;
    m_osservatore->osserva(finestra);
    finestra->show();
    finestra->raise();
    finestra->activateWindow();
}

void F_Avvio::FinestraFiglioChiusa()
{
    m_osservatore->rientraDa(RegolaRientro::Finestra::Programma);
}

bool F_Avvio::eventFilter(QObject* oggetto, QEvent* evento)
{
    switch (evento->type()) {
    case QEvent::KeyPress:
        // The month, year and ordering change only by picking from their lists: typing and
        // arrows are ignored; F4, Alt+Down and Space still open the list.
        if (oggetto == m_ui->Mese || oggetto == m_ui->Anno || oggetto == m_ui->Ordinamento) {
            auto* tasto = static_cast<QKeyEvent*>(evento);
            const int k = tasto->key();
            const bool apre = k == Qt::Key_F4 || k == Qt::Key_Space
                || ((k == Qt::Key_Down || k == Qt::Key_Up) && (tasto->modifiers() & Qt::AltModifier));
            if (!apre && k != Qt::Key_Tab && k != Qt::Key_Backtab)
                return true;
        }
        break;
    case QEvent::Wheel:
        if (oggetto == m_ui->Mese || oggetto == m_ui->Anno || oggetto == m_ui->Ordinamento)
            return true;
        break;
    case QEvent::MouseButtonDblClick:
        if (oggetto == m_ui->Dal) {
            Dal_DblClick();
            return true;
        }
        if (oggetto == m_ui->Al) {
            Al_DblClick();
            return true;
        }
        break;
    case QEvent::MouseButtonRelease:
        if (oggetto == m_ui->Picture1) {
            m_ui->AbilitaStampaPdf->setChecked(!m_ui->AbilitaStampaPdf->isChecked());
            return true;
        }
        break;
    case QEvent::FocusOut: {
        // Switching to another window is not leaving the box.
        const Qt::FocusReason motivo = static_cast<QFocusEvent*>(evento)->reason();
        if (motivo == Qt::ActiveWindowFocusReason || motivo == Qt::PopupFocusReason)
            break;
        if (oggetto == m_ui->Dal)
            Dal_LostFocus();
        else if (oggetto == m_ui->Al)
            Al_LostFocus();
        break;
    }
    default:
        break;
    }
    return QMainWindow::eventFilter(oggetto, evento);
}
