#include "AvvioSelezione.h"
#include "ui_AvvioSelezione.h"

#include "archive/Sessione.h"
#include "archive/Archivio.h"
#include "archive/CreazioneDB.h"
#include "archive/ImportazioneJet.h"
#include "archive/IndirizzoServer.h"
#include "archive/LavoroInSottofondo.h"
#include "gui/archive/Attendere.h"
#include "archive/Backup.h"
#include "gui/archive/DialoghiBackup.h"
#include "gui/archive/F_ArchivioServer.h"
#include "gui/archive/F_Info.h"
#include "gui/platform/Portachiavi.h"
#include "archive/Module1.h"
#include "archive/Percorsi.h"
#include "masterdata/Configurazione.h"
#include "archive/Presenza.h"
#include "comune/Twips.h"
#include "masterdata/BrowseForFolderModule.h"
#include "platform/FileIni.h"
#include "platform/Messaggi.h"
#include "platform/Servizi.h"
#include "platform/Piattaforma.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScreen>
#include <QSignalBlocker>

namespace {
constexpr int LarghezzaTwips = 9405;
constexpr int IntervalloRefreshMs = 5000;
// How long OK waits for another instance's compaction or restore to end.
constexpr int AttesaManutenzioneMs = 30000;

// Folder names up to this length always fit on one line of the path labels.
constexpr int ParteCorta = 24;

bool stessaCartella(const QString& a, const QString& b)
{
    return QDir::cleanPath(QDir::fromNativeSeparators(a)) == QDir::cleanPath(QDir::fromNativeSeparators(b));
}
} // namespace

QString PercorsoADaCapo(const QString& percorso)
{
    // A path may have no blank to wrap at: zero-width spaces give it places to break without
    // changing what is shown; after separators, and anywhere inside a name too long for a line.
    static const QString dopo = QStringLiteral("/\\_-.");
    const QChar spazioZero(0x200B);
    QString mostrato;
    mostrato.reserve(percorso.size() * 2);
    int parte = 0;
    for (int i = 0; i < percorso.size(); ++i) {
        const QChar c = percorso.at(i);
        mostrato.append(c);
        if (dopo.contains(c) || c.isSpace()) {
            parte = 0;
            if (!c.isSpace())
                mostrato.append(spazioZero);
            continue;
        }
        if (parte == 0) {
            int fine = i;
            while (
                fine < percorso.size() && !dopo.contains(percorso.at(fine)) && !percorso.at(fine).isSpace())
                ++fine;
            parte = fine - i;
        }
        if (parte > ParteCorta)
            mostrato.append(spazioZero);
    }
    return mostrato;
}

AvvioSelezione::AvvioSelezione(Sessione& sessione, QWidget* parent)
    : QWidget(parent)
    , m_sessione(sessione)
    , m_ui(new Ui::AvvioSelezione)
{
    m_ui->setupUi(this);
    m_ui->Messaggio->hide();
    // Its wrapped lines count in the window's fixed height.
    QLabel* suggerimento = m_ui->SuggerimentoCartellaVuota;
    suggerimento->setMinimumHeight(suggerimento->heightForWidth(suggerimento->maximumWidth()));
    suggerimento->hide();
    m_ui->OK->setEnabled(false);
    m_percorsoBackup = Piattaforma::CartellaBackupPredefinita();
    mostraPercorso(m_ui->PercorsoBackup, m_percorsoBackup);

    TimerRefresh.setInterval(IntervalloRefreshMs);
    collega();

    ApriChiudiImpostazioni(false);
    Percorsi::InizializzaCartelle(m_sessione);
    m_appenaCaricata = true;
}

void AvvioSelezione::collega()
{
    connect(&TimerRefresh, &QTimer::timeout, this, &AvvioSelezione::TimerRefresh_Timer);
    connect(m_ui->OK, &QPushButton::clicked, this, &AvvioSelezione::OK_Click);
    connect(m_ui->annulla, &QPushButton::clicked, this, &AvvioSelezione::annulla_Click);
    connect(m_ui->Impostazioni, &QPushButton::clicked, this, &AvvioSelezione::Impostazioni_Click);
    connect(m_ui->MostraInfo, &QPushButton::clicked, this, &AvvioSelezione::MostraInfo_Click);
    connect(m_ui->CreaNuovoArchivio, &QPushButton::clicked, this, &AvvioSelezione::CreaNuovoArchivio_Click);
    connect(m_ui->OttimizzaArchivio, &QPushButton::clicked, this, &AvvioSelezione::OttimizzaArchivio_Click);
    connect(m_ui->ArchivioSuServer, &QPushButton::clicked, this, &AvvioSelezione::ArchivioSuServer_Click);
    connect(m_ui->UltimoServer, &QPushButton::clicked, this, &AvvioSelezione::UltimoServer_Click);
    connect(m_ui->ImportaArchivioPrecedente, &QPushButton::clicked, this,
        &AvvioSelezione::ImportaArchivioPrecedente_Click);
    connect(m_ui->SelezionaPercorso, &QPushButton::clicked, this, &AvvioSelezione::SelezionaPercorso_Click);
    connect(m_ui->ReImpostaPercorso, &QPushButton::clicked, this, &AvvioSelezione::ReImpostaPercorso_Click);
    connect(
        m_ui->ApriCartellaArchivi, &QPushButton::clicked, this, &AvvioSelezione::ApriCartellaArchivi_Click);
    connect(m_ui->SelezionaPercorsoBackup, &QPushButton::clicked, this,
        &AvvioSelezione::SelezionaPercorsoBackup_Click);
    connect(m_ui->Backup, &QPushButton::clicked, this, &AvvioSelezione::Backup_Click);
    connect(m_ui->ApriCartellaBakcup, &QPushButton::clicked, this, &AvvioSelezione::ApriCartellaBakcup_Click);
    connect(
        m_ui->SalvataggioAutomatico, &QCheckBox::clicked, this, &AvvioSelezione::SalvataggioAutomatico_Click);
    connect(
        m_ui->AggiornamentoOnLine, &QPushButton::clicked, this, &AvvioSelezione::AggiornamentoOnLine_Click);
    connect(
        m_ui->CartellaArchivi, &QListWidget::currentRowChanged, this, &AvvioSelezione::CartellaArchivi_Click);
    connect(m_ui->CartellaArchivi, &QListWidget::itemDoubleClicked, this, &AvvioSelezione::OK_Click);
    m_ui->CartellaArchivi->installEventFilter(this);
}

AvvioSelezione::~AvvioSelezione() = default;

QString AvvioSelezione::Nome() const
{
    return m_ui->Nome->text();
}

QString AvvioSelezione::Messaggio() const
{
    return m_ui->Messaggio->text();
}

bool AvvioSelezione::ImpostazioniAperte() const
{
    return !m_ui->AreaImpostazioni->isHidden();
}

void AvvioSelezione::ImpostaNome(const QString& nome)
{
    if (m_ui->Nome->text() == nome)
        return;
    m_ui->Nome->setText(nome);
    m_ui->Nome->setToolTip(nome);
    AggiornaDBPath_e_Variabili();
    aggiornaOK();
}

void AvvioSelezione::ImpostaPercorso(const QString& percorso)
{
    m_percorso = percorso;
    mostraPercorso(m_ui->Percorso, percorso);
    AggiornaLista();
}

void AvvioSelezione::ImpostaMessaggio(const QString& testo)
{
    if (m_ui->Messaggio->text() == testo)
        return;
    m_ui->Messaggio->setText(testo);
    m_ui->Messaggio->setVisible(!testo.isEmpty());
    aggiornaOK();
    adattaAltezza();
}

void AvvioSelezione::aggiornaOK()
{
    // An error of the list is shown instead of an archive that might not be there.
    m_ui->OK->setEnabled(!Nome().trimmed().isEmpty() && Messaggio().isEmpty());
}

void AvvioSelezione::mostraPercorso(QLabel* etichetta, const QString& percorso)
{
    etichetta->setText(PercorsoADaCapo(percorso));
    etichetta->setToolTip(percorso);
    etichetta->setAccessibleDescription(percorso);
    adattaAltezza();
}

void AvvioSelezione::adattaAltezza()
{
    const int larghezza = Twips::pixel(LarghezzaTwips);
    QLayout* l = layout();
    if (!l)
        return;
    l->invalidate();
    l->activate();
    const int altezza
        = l->hasHeightForWidth() ? l->totalHeightForWidth(larghezza) : l->totalSizeHint().height();
    setFixedSize(larghezza, altezza);
}

void AvvioSelezione::showEvent(QShowEvent* evento)
{
    QWidget::showEvent(evento);
    if (!m_centrata) {
        m_centrata = true;
        adattaAltezza();
        if (QScreen* schermo = screen() ? screen() : QGuiApplication::primaryScreen()) {
            const QRect area = schermo->availableGeometry();
            move(area.x() + (area.width() - width()) / 2,
                area.y() + (area.height() - height()) / 2 - Twips::pixel(200));
        }
    }
    Form_Activate();
}

void AvvioSelezione::hideEvent(QHideEvent* evento)
{
    // A refresh behind the main window could change the archive it works on.
    TimerRefresh.stop();
    QWidget::hideEvent(evento);
}

void AvvioSelezione::changeEvent(QEvent* evento)
{
    QWidget::changeEvent(evento);
    if (evento->type() == QEvent::ActivationChange && isActiveWindow())
        Form_Activate();
}

bool AvvioSelezione::eventFilter(QObject* oggetto, QEvent* evento)
{
    if (oggetto == m_ui->CartellaArchivi && evento->type() == QEvent::KeyPress) {
        const int tasto = static_cast<QKeyEvent*>(evento)->key();
        if (tasto == Qt::Key_Return || tasto == Qt::Key_Enter) {
            OK_Click();
            return true;
        }
    }
    return QWidget::eventFilter(oggetto, evento);
}

void AvvioSelezione::Form_Activate()
{
    if (m_appenaCaricata) {
        m_appenaCaricata = false;
        const Percorsi::Posizione posizione = Percorsi::LeggiPosizione(m_sessione);
        ImpostaNome(posizione.nome);
        ImpostaPercorso(posizione.percorso.trimmed().isEmpty() ? m_sessione.CartellaArchiviPredefinita
                                                               : posizione.percorso);
        mostraUltimoServer();
    }
    // The archive used last is the one Enter opens: a server archive when it was one.
    if (m_ui->UltimoServer->isDefault() && m_ui->UltimoServer->isVisible())
        m_ui->UltimoServer->setFocus();
    else if (m_ui->CartellaArchivi->isEnabled() && m_ui->CartellaArchivi->isVisible())
        m_ui->CartellaArchivi->setFocus();
    else if (m_ui->OK->isEnabled() && m_ui->OK->isVisible())
        m_ui->OK->setFocus();
    setWindowTitle(QStringLiteral("Cartavia ver.") + Module1::VersioneProgramma);
}

void AvvioSelezione::MostraDiNuovo()
{
    show();
    raise();
    activateWindow();
    AggiornaLista();
}

void AvvioSelezione::ApriChiudiImpostazioni(bool apri)
{
    m_ui->AreaImpostazioni->setVisible(apri);
    m_ui->prima_linea->setVisible(!apri);
    adattaAltezza();
}

void AvvioSelezione::AggiornaDBPath_e_Variabili()
{
    Percorsi::AggiornaDBPath_e_Variabili(m_sessione, m_percorso, Nome());
}

void AvvioSelezione::MemorizzaPercorso()
{
    Percorsi::MemorizzaPercorso(m_sessione, m_percorso, Nome());
}

void AvvioSelezione::AggiornaLista()
{
    AggiornaDBPath_e_Variabili();
    int numero = 0;
    QString descrizione;
    const QStringList archivi = Percorsi::ElencoArchivi(m_percorso, &numero, &descrizione);
    QListWidget* lista = m_ui->CartellaArchivi;
    {
        const QSignalBlocker blocco(lista);
        lista->clear();
        lista->addItems(archivi);
    }
    // A folder read without error and empty: say how to begin instead of an empty list.
    mostraSuggerimentoCartellaVuota(numero == 0 && archivi.isEmpty());
    if (numero != 0) {
        nessunArchivioScelto();
        ImpostaMessaggio(QString::number(numero) + QStringLiteral(" (") + descrizione + QLatin1Char(')'));
        return;
    }
    // The folder was read: an error shown for an earlier read is over.
    ImpostaMessaggio(QString());

    const int riga = rigaDaScegliere(archivi);
    if (riga < 0) {
        nessunArchivioScelto();
        return;
    }
    {
        const QSignalBlocker blocco(lista);
        lista->setCurrentRow(riga);
    }
    // Choosing an entry is a click on it, but a re-read that keeps the same archive changes nothing.
    if (archivi.at(riga) != Nome()
        || Percorsi::PercorsoArchivioDa(m_percorso, archivi.at(riga)) != m_archivioAreaBackup)
        CartellaArchivi_Click();
}

void AvvioSelezione::mostraSuggerimentoCartellaVuota(bool vuota)
{
    if (m_ui->SuggerimentoCartellaVuota->isHidden() == vuota) {
        m_ui->SuggerimentoCartellaVuota->setVisible(vuota);
        adattaAltezza();
    }
}

void AvvioSelezione::nessunArchivioScelto()
{
    ImpostaNome(QString());
    if (!m_archivioAreaBackup.isEmpty())
        CaricaAreaBackup();
}

// The archive last used when the list has it, else the first; -1 for none.
int AvvioSelezione::rigaDaScegliere(const QStringList& archivi) const
{
    int riga = -1;
    if (!Nome().isEmpty()) {
        for (int i = 0; i < archivi.size() && riga < 0; ++i)
            if (archivi.at(i).compare(Nome(), Qt::CaseInsensitive) == 0)
                riga = i;
    }
    if (riga < 0 && !archivi.isEmpty() && !archivi.first().trimmed().isEmpty())
        riga = 0;
    return riga;
}

void AvvioSelezione::CartellaArchivi_Click()
{
    const QListWidgetItem* voce = m_ui->CartellaArchivi->currentItem();
    if (voce && !voce->text().isEmpty()) {
        ImpostaNome(voce->text());
        MemorizzaPercorso();
    }
    CaricaAreaBackup();
}

bool AvvioSelezione::archivioScelto()
{
    AggiornaDBPath_e_Variabili();
    return !Nome().trimmed().isEmpty() && QFileInfo(m_sessione.PercorsoArchivio).isFile();
}

void AvvioSelezione::CaricaAreaBackup()
{
    ImpostaMessaggio(QString());
    m_percorsoBackup = Piattaforma::CartellaBackupPredefinita();
    m_ui->LabelBackup->setText(QStringLiteral("PERCORSO CARTELLA BACKUP"));
    m_backupMemorizzato.clear();
    m_ui->SalvataggioAutomatico->setChecked(false);
    m_archivioAreaBackup.clear();
    if (archivioScelto()) {
        m_archivioAreaBackup = m_sessione.PercorsoArchivio;
        const Backup::ImpostazioniBackup imp = Backup::LeggiImpostazioniBackup(m_sessione.PercorsoArchivio);
        if (imp.riga) {
            m_percorsoBackup = imp.percorso;
            m_backupMemorizzato = imp.memorizzato;
            m_ui->SalvataggioAutomatico->setChecked(imp.automatico);
            m_ui->LabelBackup->setText(
                QStringLiteral("PERCORSO CARTELLA DI BACKUP PER L'ARCHIVIO: ") + Nome());
        }
    }
    mostraPercorso(m_ui->PercorsoBackup, m_percorsoBackup);
}

void AvvioSelezione::MemorizzaPercorsoBackup()
{
    if (!archivioScelto())
        return;
    // The archive may be shared: this computer's default folder is shown, never stored for others.
    if (Backup::MemorizzaPercorsoBackup(
            m_sessione.PercorsoArchivio, m_backupMemorizzato, m_ui->SalvataggioAutomatico->isChecked()))
        m_ui->LabelBackup->setText(QStringLiteral("PERCORSO CARTELLA DI BACKUP PER L'ARCHIVIO: ") + Nome());
}

void AvvioSelezione::OK_Click()
{
    if (Nome().trimmed().isEmpty())
        return;
    AggiornaDBPath_e_Variabili();
    MemorizzaPercorso();
    // The server archive stays offered, no longer as the one used last.
    FileIni::Scrivi(Percorsi::FileInf(m_sessione), QStringLiteral("Database"),
        QStringLiteral("ServerUsatoPerUltimo"), QStringLiteral("0"));
    mostraUltimoServer();
    apriScelto();
}

void AvvioSelezione::apriScelto()
{
    if (!apribile() || !presenzaOttenuta())
        return;

    ApriChiudiImpostazioni(false);
    if (servizi().apriPrincipale)
        servizi().apriPrincipale();
    // Without a main window on screen this window stays, so the program never runs unseen.
    bool altraFinestra = false;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w != this && w->isVisible() && !qobject_cast<Attendere*>(w))
            altraFinestra = true;
    if (altraFinestra)
        hide();
    else
        Presenza::Termina();
}

// The chosen archive opens; else the user is told why not.
bool AvvioSelezione::apribile()
{
    try {
        Archivio::VerificaApertura(m_sessione.PercorsoArchivio);
    } catch (const ErroreArchivio& e) {
        messaggi().Messaggio(e.descrizione(), Messaggi::Ok, Messaggi::Critical);
        return false;
    }
    return true;
}

// This program's presence in the chosen archive, waited for a while when another copy compacts
// or restores it; else the user is told.
bool AvvioSelezione::presenzaOttenuta()
{
    Presenza::Stato stato = Presenza::Inizia(m_sessione.PercorsoArchivio);
    QElapsedTimer attesa;
    attesa.start();
    while (stato == Presenza::Stato::Occupata && attesa.elapsed() < AttesaManutenzioneMs) {
        Attendere::RiavviaAttesa();
        Module1::Pausa(0.2);
        stato = Presenza::Inizia(m_sessione.PercorsoArchivio);
    }
    if (stato == Presenza::Stato::Occupata) {
        messaggi().Messaggio(
            QStringLiteral("L'archivio è in fase di ottimizzazione o di ripristino da parte di "
                           "un'altra copia del programma.\nRiprovare tra qualche istante."),
            Messaggi::Ok, Messaggi::Warning);
        return false;
    }
    return true;
}

void AvvioSelezione::annulla_Click()
{
    Piattaforma::TerminaProgramma();
}

void AvvioSelezione::Impostazioni_Click()
{
    ApriChiudiImpostazioni(!ImpostazioniAperte());
}

void AvvioSelezione::MostraInfo_Click()
{
    F_Info::Mostra(this);
}

void AvvioSelezione::CreaNuovoArchivio_Click()
{
    // A name refused for a character comes back in the box, to be corrected rather than retyped.
    QString risposta;
    do {
        risposta = messaggi().InputBox(QStringLiteral("Indicare il nome dell'archivio da creare"),
            QStringLiteral("Creazione Nuovo Archivio"), risposta);
        if (risposta.trimmed().isEmpty())
            return;
    } while (!Percorsi::ControlloNomeDbOk(risposta));
    const QString nome = risposta + QStringLiteral(".mdb");
    if (QFileInfo::exists(Percorsi::PercorsoArchivioDa(m_percorso, nome))) {
        messaggi().Messaggio(
            QStringLiteral("L'archivio «%1» esiste già.").arg(nome), Messaggi::Ok, Messaggi::Information);
        ImpostaNome(nome);
        AggiornaLista();
        return;
    }
    QString errore;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const bool creato = Configurazione::CreaArchivio(m_percorso, nome, &errore);
    QGuiApplication::restoreOverrideCursor();
    if (!creato) {
        AggiornaDBPath_e_Variabili();
        messaggi().Messaggio(QStringLiteral("Impossibile creare l'archivio «%1».\n%2").arg(nome, errore),
            Messaggi::Ok, Messaggi::Critical);
        return;
    }
    ImpostaNome(nome);
    AggiornaLista();
    messaggi().Messaggio(QStringLiteral("Operazione Effettuata"), Messaggi::Ok, Messaggi::Information);
}

void AvvioSelezione::OttimizzaArchivio_Click()
{
    if (!archivioScelto()) {
        messaggi().Messaggio(
            QStringLiteral("Nessun archivio selezionato."), Messaggi::Ok, Messaggi::Information);
        return;
    }
    DialoghiBackup::OttimizzaArchivio(m_sessione.PercorsoArchivio, Messaggi::Information);
}

void AvvioSelezione::ImportaArchivioPrecedente_Click()
{
    const QString titolo = QStringLiteral("Importa archivio precedente");
    const QString vecchio = messaggi().ApriFile(titolo, m_percorso,
        QStringLiteral("Archivi della versione precedente (*.mdb *.MDB);;Tutti i file (*)"));
    if (vecchio.isEmpty())
        return;
    QString risposta = QFileInfo(ImportazioneJet::NomeProposto(vecchio, m_percorso)).completeBaseName();
    do {
        risposta = messaggi().InputBox(
            QStringLiteral("Nome del nuovo archivio, nella cartella degli archivi"), titolo, risposta);
        if (risposta.trimmed().isEmpty())
            return;
    } while (!Percorsi::ControlloNomeDbOk(risposta));
    const QString nome = risposta + QStringLiteral(".mdb");
    const QString nuovo = Percorsi::PercorsoArchivioDa(m_percorso, nome);

    auto rapporto = std::make_shared<ImportazioneJet::Rapporto>();
    LavoroInSottofondo lavoro([vecchio, nuovo, rapporto](const LavoroInSottofondo::Avanzamento& avanzamento) {
        *rapporto = ImportazioneJet::Importa(
            vecchio, nuovo, [&avanzamento](const QString&, int percento) { return avanzamento(percento); });
    });
    AttendiLavoro(lavoro, QStringLiteral("Importazione dell'archivio precedente in corso..."));
    if (!lavoro.riuscito()) {
        if (lavoro.numeroErrore() != CodiciErrore::Annullato)
            messaggi().Messaggio(lavoro.descrizioneErrore(), Messaggi::Ok, Messaggi::Critical, titolo);
        return;
    }
    ImpostaNome(nome);
    AggiornaLista();
    messaggi().Messaggio(QStringLiteral("Archivio importato: «%1».\n\n%2")
                             .arg(nome, rapporto->Righe().join(QLatin1Char('\n'))),
        Messaggi::Ok, Messaggi::Information, titolo);
}

void AvvioSelezione::ArchivioSuServer_Click()
{
    const QString titolo = QStringLiteral("Archivio su server");
    const QString inf = Percorsi::FileInf(m_sessione);
    F_ArchivioServer finestra(this);
    const QString ultimo = FileIni::Leggi(inf, QStringLiteral("Database"), QStringLiteral("Server"));
    finestra.Imposta(ultimo);
    if (!ultimo.isEmpty()) {
        const QString tenuta = Portachiavi::Leggi(ultimo);
        finestra.PasswordServer->setText(tenuta);
        finestra.RicordaPassword->setChecked(!tenuta.isEmpty());
    }
    if (finestra.exec() != QDialog::Accepted)
        return;
    const IndirizzoServer server = finestra.Indirizzo();
    const QString indirizzo = server.Testo();
    IndirizzoServer::ImpostaPassword(indirizzo, finestra.Password());
    if (finestra.RicordaPassword->isChecked() && !finestra.Password().isEmpty()) {
        QString motivo;
        if (!Portachiavi::Scrivi(indirizzo, finestra.Password(), &motivo))
            messaggi().Messaggio(
                QStringLiteral("La password non è stata ricordata (%1): vale fino alla chiusura "
                               "del programma.")
                    .arg(motivo),
                Messaggi::Ok, Messaggi::Information, titolo);
    } else if (!finestra.RicordaPassword->isChecked()) {
        Portachiavi::Togli(indirizzo);
    }
    apriServer(indirizzo, titolo);
}

void AvvioSelezione::UltimoServer_Click()
{
    const QString titolo = QStringLiteral("Archivio su server");
    const QString indirizzo
        = FileIni::Leggi(Percorsi::FileInf(m_sessione), QStringLiteral("Database"), QStringLiteral("Server"));
    if (!IndirizzoServer::E(indirizzo))
        return;
    if (IndirizzoServer::Password(indirizzo).isEmpty())
        IndirizzoServer::ImpostaPassword(indirizzo, Portachiavi::Leggi(indirizzo));
    // A server that refuses (a password to type) or cannot be reached: its window, to fix it.
    if (!apriServer(indirizzo, titolo))
        ArchivioSuServer_Click();
}

bool AvvioSelezione::apriServer(const QString& indirizzo, const QString& titolo)
{
    const IndirizzoServer server = *IndirizzoServer::Leggi(indirizzo);
    const QString inf = Percorsi::FileInf(m_sessione);
    bool archivio = false;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        archivio = Archivio(indirizzo).esisteTabella(QStringLiteral("TabellaVersione"));
    } catch (const ErroreArchivio& e) {
        QGuiApplication::restoreOverrideCursor();
        messaggi().Messaggio(e.descrizione(), Messaggi::Ok, Messaggi::Critical, titolo);
        return false;
    }
    QGuiApplication::restoreOverrideCursor();
    if (!archivio) {
        if (messaggi().Messaggio(
                QStringLiteral("Il database %1 non contiene ancora un archivio di Cartavia.\n"
                               "Crearlo ora?")
                    .arg(server.Descrizione()),
                Messaggi::Yes | Messaggi::No, Messaggi::Question, titolo)
            != Messaggi::Yes)
            return true;
        CreazioneDB creazione;
        if (!creazione.CreaDB(indirizzo)) {
            messaggi().Messaggio(QStringLiteral("Impossibile creare l'archivio %1.\n%2")
                                     .arg(server.Descrizione(), creazione.DescrizioneUltimoErrore()),
                Messaggi::Ok, Messaggi::Critical, titolo);
            return true;
        }
    }
    // Remembered without its password, to be offered again next time, first when used last.
    FileIni::Scrivi(inf, QStringLiteral("Database"), QStringLiteral("Server"), indirizzo);
    FileIni::Scrivi(
        inf, QStringLiteral("Database"), QStringLiteral("ServerUsatoPerUltimo"), QStringLiteral("1"));
    mostraUltimoServer();
    m_sessione.PercorsoArchivio = indirizzo;
    m_sessione.NomeArchivio = server.database;
    apriScelto();
    return true;
}

void AvvioSelezione::mostraUltimoServer()
{
    const QString inf = Percorsi::FileInf(m_sessione);
    const QString indirizzo = FileIni::Leggi(inf, QStringLiteral("Database"), QStringLiteral("Server"));
    const std::optional<IndirizzoServer> server = IndirizzoServer::Leggi(indirizzo);
    m_ui->LabelUltimoServer->setVisible(server.has_value());
    m_ui->UltimoServer->setVisible(server.has_value());
    // Without the mark (settings of an earlier release, which kept the address only while the
    // server archive was the last used) the address alone says so.
    const bool ultimo = server
        && FileIni::Leggi(inf, QStringLiteral("Database"), QStringLiteral("ServerUsatoPerUltimo"))
            != QLatin1String("0");
    m_ui->UltimoServer->setDefault(ultimo);
    if (server) {
        m_ui->UltimoServer->setText(server->Descrizione());
        m_ui->UltimoServer->setToolTip(indirizzo);
        m_ui->UltimoServer->setAccessibleName(QStringLiteral("Apri ") + server->Descrizione());
    }
    adattaAltezza();
}

void AvvioSelezione::SelezionaPercorso_Click()
{
    const QString scelta = BrowseForFolderModule::ScegliCartella(m_percorso, this);
    if (scelta.trimmed().isEmpty())
        return;
    ImpostaPercorso(scelta);
    MemorizzaPercorso();
}

void AvvioSelezione::ReImpostaPercorso_Click()
{
    const QString predefinito = m_sessione.CartellaArchiviPredefinita;
    if (stessaCartella(m_percorso, predefinito)) {
        messaggi().Messaggio(QStringLiteral("Il percorso predefinito è già quello impostato"), Messaggi::Ok,
            Messaggi::Information);
        return;
    }
    if (messaggi().Messaggio(
            QStringLiteral("Reimpostare il percorso della cartella archivi in :\n\n") + predefinito,
            Messaggi::Yes | Messaggi::No, Messaggi::Question)
        != Messaggi::Yes)
        return;
    ImpostaPercorso(predefinito);
    MemorizzaPercorso();
}

void AvvioSelezione::ApriCartellaArchivi_Click()
{
    TimerRefresh.start();
    Piattaforma::ApriConShell(m_percorso);
}

void AvvioSelezione::SelezionaPercorsoBackup_Click()
{
    const QString scelta = BrowseForFolderModule::ScegliCartella(m_percorsoBackup, this);
    if (scelta.trimmed().isEmpty())
        return;
    m_percorsoBackup = scelta;
    m_backupMemorizzato = scelta;
    mostraPercorso(m_ui->PercorsoBackup, scelta);
    MemorizzaPercorsoBackup();
}

void AvvioSelezione::Backup_Click()
{
    if (!archivioScelto()) {
        messaggi().Messaggio(
            QStringLiteral("Nessun archivio selezionato."), Messaggi::Ok, Messaggi::Information);
        return;
    }
    DialoghiBackup::EseguiBackup(m_sessione.PercorsoArchivio, m_percorsoBackup);
}

void AvvioSelezione::ApriCartellaBakcup_Click()
{
    TimerRefresh.start();
    Percorsi::CreaCartella(m_percorsoBackup);
    Piattaforma::ApriConShell(m_percorsoBackup);
}

void AvvioSelezione::SalvataggioAutomatico_Click()
{
    MemorizzaPercorsoBackup();
}

void AvvioSelezione::AggiornamentoOnLine_Click()
{
    if (messaggi().Messaggio(QStringLiteral("Controllare su internet la presenza di aggiornamenti?"),
            Messaggi::Yes | Messaggi::No, Messaggi::Question)
        != Messaggi::Yes)
        return;
    switch (Percorsi::AvviaAggiornamento(m_sessione)) {
    case Percorsi::EsitoAggiornamento::Avviato:
        break;
    case Percorsi::EsitoAggiornamento::NonDisponibile:
        messaggi().Messaggio(QStringLiteral("Funzione non disponibile"), Messaggi::Ok, Messaggi::Warning);
        break;
    case Percorsi::EsitoAggiornamento::Errore:
        messaggi().Messaggio(QStringLiteral("Impossibile avviare il programma di aggiornamento."),
            Messaggi::Ok, Messaggi::Critical);
        break;
    }
}

void AvvioSelezione::TimerRefresh_Timer()
{
    AggiornaLista();
}
