#include "F_Configurazioni.h"
#include "ui_F_Configurazioni.h"

#include "archive/Sessione.h"
#include "archive/Backup.h"
#include "gui/archive/DialoghiBackup.h"
#include "archive/CreazioneDB.h"
#include "archive/ErroreArchivio.h"
#include "archive/FestivitaAzienda.h"
#include "archive/FunzioniPerVariabili.h"
#include "archive/GestioneErrore.h"
#include "archive/Module1.h"
#include "archive/Password.h"
#include "archive/Percorsi.h"
#include "archive/Schema.h"
#include "comune/Orologio.h"
#include "masterdata/BrowseForFolderModule.h"
#include "masterdata/DatiComputer.h"
#include "gui/masterdata/SceltaData.h"
#include "gui/platform/ElencoStampanti.h"
#include "gui/platform/FinestraAperta.h"
#include "platform/Messaggi.h"
#include "platform/Servizi.h"
#include "platform/Piattaforma.h"
#include "gui/printing/Stampanti.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QSaveFile>
#include <QTimer>

using Configurazione::Dati;

namespace {

const QString TestoInizialePassword = QStringLiteral("-----------------Inserisci password----------------");
const QString TestoRipristina = QStringLiteral("Ripristina Backup");
const QString ColoreRipristino = QStringLiteral("#C0FFC0");
const QString FestivitaNonRegistrate
    = QStringLiteral("Impossibile registrare le festività: l'archivio non è raggiungibile.");
const QString SettimanaNonRegistrata
    = QStringLiteral("Impossibile registrare la settimana tipo: l'archivio non è raggiungibile.");

// The main window may rebuild itself when it is shown again: never from inside a click of a
// window that is closing.
void RiapriPrincipale()
{
    QTimer::singleShot(0, qApp, [] {
        if (servizi().apriPrincipale)
            servizi().apriPrincipale();
    });
}

class CursoreOccupato
{
public:
    CursoreOccupato() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~CursoreOccupato() { QApplication::restoreOverrideCursor(); }
    CursoreOccupato(const CursoreOccupato&) = delete;
    CursoreOccupato& operator=(const CursoreOccupato&) = delete;
};

QByteArray LeggiFile(const QString& percorso)
{
    QFile f(percorso);
    if (percorso.isEmpty() || !f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

} // namespace

F_Configurazioni::F_Configurazioni(Sessione& sessione, QWidget* parent)
    : QWidget(nullptr, Qt::Window)
    , m_sessione(sessione)
    , m_ui(new Ui::F_Configurazioni)
    , m_archivio(m_sessione.PercorsoArchivio)
    , m_ricercaIp(new RicercaIpPubblico(this))
    , m_principale(parent)
{
    m_ui->setupUi(this);
    // Not a child of the main window, which may be rebuilt while this one closes; it follows the
    // main window away all the same (after "Disconnetti" another archive may be chosen).
    if (m_principale) {
        m_principale->installEventFilter(this);
        connect(m_principale, &QObject::destroyed, this, [this] {
            m_principale = nullptr;
            close();
        });
    }
    limitaCampi();
    collega();

    Form_Load();
    // Set after the load, so that only the user's changes enable the password's "Salva".
    connect(m_ui->Password, &QLineEdit::textChanged, this, &F_Configurazioni::Password_Change);
}

// Each box takes no more than its field holds.
void F_Configurazioni::limitaCampi()
{
    for (const Configurazione::CampoTesto& c : Configurazione::CampiTesto()) {
        if (auto* riga = findChild<QLineEdit*>(c.nome)) {
            const int limite = Configurazione::Limite(c.nome);
            if (limite > 0)
                riga->setMaxLength(limite);
        }
    }
    for (QComboBox* combo : { m_ui->prnDocs, m_ui->prnDocsPDF })
        combo->lineEdit()->setMaxLength(Configurazione::Limite(combo->objectName()));
    m_ui->Password->setMaxLength(Configurazione::Limite(QStringLiteral("Password")));
    m_ui->PercorsoBackup->setMaxLength(Configurazione::Limite(QStringLiteral("PercorsoBackup")));
    m_ui->NomePatrono->setMaxLength(
        Schema::Dimensione(QStringLiteral("Variabili"), QStringLiteral("ValoreStringa")));
}

// The events the window filters and the signals it answers.
void F_Configurazioni::collega()
{
    // The printer box shows the stored name but takes no typing; Backspace and Canc empty it.
    m_ui->prnDocs->lineEdit()->setReadOnly(true);
    m_ui->prnDocs->installEventFilter(this);
    m_ui->prnDocs->lineEdit()->installEventFilter(this);
    m_ui->Password->installEventFilter(this);

    connect(m_ui->Command4, &QPushButton::clicked, this, &F_Configurazioni::Command4_Click);
    connect(m_ui->Command1, &QPushButton::clicked, this, &F_Configurazioni::Command1_Click);
    connect(m_ui->Command2, &QPushButton::clicked, this, &F_Configurazioni::Command2_Click);
    connect(m_ui->Command8, &QPushButton::clicked, this, &F_Configurazioni::Command8_Click);
    connect(m_ui->Command20, &QPushButton::clicked, this, &F_Configurazioni::Command20_Click);
    connect(m_ui->Command11, &QPushButton::clicked, this, &F_Configurazioni::Command11_Click);
    connect(m_ui->VisualizzaIntestazione, &QCheckBox::clicked, this,
        &F_Configurazioni::VisualizzaIntestazione_Click);
    connect(m_ui->VisualizzaLogo, &QCheckBox::clicked, this, &F_Configurazioni::VisualizzaLogo_Click);
    connect(m_ui->Backup, &QPushButton::clicked, this, &F_Configurazioni::Backup_Click);
    connect(m_ui->Command5, &QPushButton::clicked, this, &F_Configurazioni::Command5_Click);
    connect(m_ui->Command9, &QPushButton::clicked, this, &F_Configurazioni::Command9_Click);
    connect(m_ui->List1, &QListWidget::currentRowChanged, this, &F_Configurazioni::List1_Click);
    connect(m_ui->DataBackup, &QLineEdit::textChanged, this, &F_Configurazioni::DataBackup_Change);
    connect(m_ui->RipristinaDb, &QPushButton::clicked, this, &F_Configurazioni::RipristinaDb_Click);
    connect(m_ui->Command3, &QPushButton::clicked, this, &F_Configurazioni::Command3_Click);
    connect(m_ui->VerificaArchivio, &QPushButton::clicked, this, &F_Configurazioni::VerificaArchivio_Click);
    connect(m_ui->Command21, &QPushButton::clicked, this, &F_Configurazioni::Command21_Click);
    connect(m_ui->Command10, &QPushButton::clicked, this, &F_Configurazioni::Command10_Click);
    connect(m_ui->Command6, &QPushButton::clicked, this, &F_Configurazioni::Command6_Click);
    connect(m_ui->MostraDati, &QPushButton::clicked, this, &F_Configurazioni::MostraDati_Click);
    connect(m_ui->MostraNome, &QCheckBox::clicked, this,
        [this] { Mostra_Click(m_ui->MostraNome, DatiComputer::VarMostraNome); });
    connect(m_ui->MostraIpPrivato, &QCheckBox::clicked, this,
        [this] { Mostra_Click(m_ui->MostraIpPrivato, DatiComputer::VarMostraIpPrivato); });
    connect(m_ui->MostraIpPubblico, &QCheckBox::clicked, this,
        [this] { Mostra_Click(m_ui->MostraIpPubblico, DatiComputer::VarMostraIpPubblico); });
    connect(m_ui->PaginaIpPubblico, &QLineEdit::editingFinished, this,
        &F_Configurazioni::PaginaIpPubblico_Change);
    connect(m_ricercaIp, &RicercaIpPubblico::trovato, this, &F_Configurazioni::IpPubblico_Trovato);
    connect(m_ui->EvidenziaFestivita, &QCheckBox::clicked, this, &F_Configurazioni::EvidenziaFestivita_Click);
    connect(m_ui->Patrono, &QLineEdit::editingFinished, this, &F_Configurazioni::Patrono_Change);
    connect(m_ui->NomePatrono, &QLineEdit::editingFinished, this, &F_Configurazioni::Patrono_Change);
    connect(m_ui->AnnoChiusure, &QSpinBox::valueChanged, this, &F_Configurazioni::CaricaChiusure);
    connect(m_ui->AggiungiChiusura, &QPushButton::clicked, this, &F_Configurazioni::AggiungiChiusura_Click);
    connect(m_ui->RimuoviChiusura, &QPushButton::clicked, this, &F_Configurazioni::RimuoviChiusura_Click);
    connect(m_ui->Chiusure, &QListWidget::itemSelectionChanged, this,
        &F_Configurazioni::Chiusure_SelectionChange);
    m_ui->Chiusure->installEventFilter(this);
    const std::array<QLineEdit*, 7> ore = CampiOre();
    for (int giorno = 0; giorno < int(ore.size()); ++giorno)
        connect(ore.at(size_t(giorno)), &QLineEdit::editingFinished, this,
            [this, giorno] { Ore_Change(giorno); });
}

F_Configurazioni::~F_Configurazioni() = default;

F_Configurazioni* F_Configurazioni::Apri(Sessione& sessione, QWidget* parent)
{
    if (F_Configurazioni* f = Aperta()) {
        f->show();
        f->raise();
        f->activateWindow();
        return f;
    }
    if (!sessione.SaltaPassword) {
        ControllaPassword(sessione);
        if (!sessione.PasswordVerificata) {
            Piattaforma::TerminaProgramma();
            return nullptr;
        }
    }
    auto* f = new F_Configurazioni(sessione, parent);
    f->setAttribute(Qt::WA_DeleteOnClose);
    if (parent) {
        // Over the window it was opened from, not wherever the window system puts new windows.
        f->adjustSize();
        f->move(parent->window()->geometry().center() - f->rect().center());
    }
    f->show();
    return f;
}

F_Configurazioni* F_Configurazioni::Aperta()
{
    return FinestraAperta<F_Configurazioni>();
}

void F_Configurazioni::Form_Load()
{
    using FunzioniPerVariabili::LeggiVariabile;
    auto spunta = [this](const QString& variabile) {
        return Module1::ValoreNumerico(LeggiVariabile(m_archivio, variabile)) != 0;
    };
    m_ui->MostraNome->setChecked(spunta(DatiComputer::VarMostraNome));
    m_ui->MostraIpPrivato->setChecked(spunta(DatiComputer::VarMostraIpPrivato));
    m_ui->MostraIpPubblico->setChecked(spunta(DatiComputer::VarMostraIpPubblico));
    m_ui->PaginaIpPubblico->setText(LeggiVariabile(m_archivio, DatiComputer::VarPaginaIpPubblico));
    CaricaFestivita();
    CaricaSettimanaTipo();
    m_ui->Password->setText(TestoInizialePassword);
    m_ui->Command11->setEnabled(false);
    caricastampanti();
    m_ui->PercorsoBackup->setText(Piattaforma::CartellaBackupPredefinita());
    m_ui->BackupNew->setText(QDir::toNativeSeparators(m_archivio));
    DataBackup_Change();

    Configurazione::Lettura letta;
    int errore = 0;
    if (!EseguiConAttesa([&] { letta = Configurazione::Leggi(m_archivio); }, &errore)) {
        if (errore == CodiciErrore::FileNonTrovato || errore == CodiciErrore::TabellaNonTrovata)
            messaggi().Messaggio(
                QStringLiteral("Eseguire creazione database"), Messaggi::Ok, Messaggi::Critical);
        return;
    }
    ScriviCampi(letta.dati);
    MostraLogo(LeggiFile(letta.fileLogo));
    // Nothing shown means nothing to store: the stored picture stays as it is.
    if (!letta.erroreLogo.isEmpty())
        m_ui->Logo->setText(QStringLiteral("(impossibile leggere il logo)"));
    if (!letta.fileLogo.isEmpty())
        QFile::remove(letta.fileLogo);
}

void F_Configurazioni::caricastampanti()
{
    const QString documenti = m_ui->prnDocs->currentText();
    const QString pdf = m_ui->prnDocsPDF->currentText();
    m_ui->prnDocs->clear();
    m_ui->prnDocsPDF->clear();
    const QList<Stampante> installate = ElencoStampanti::Installate();
    for (const Stampante& s : installate) {
        m_ui->prnDocs->addItem(s.nome);
        m_ui->prnDocsPDF->addItem(s.nome);
    }
    m_ui->prnDocs->setEditText(documenti);
    m_ui->prnDocsPDF->setEditText(pdf);
}

Dati F_Configurazioni::LeggiCampi() const
{
    Dati d;
    for (const Configurazione::CampoTesto& c : Configurazione::CampiTesto()) {
        if (const auto* riga = findChild<QLineEdit*>(c.nome))
            d.*c.valore = riga->text();
    }
    d.prnDocs = m_ui->prnDocs->currentText();
    d.prnDocsPDF = m_ui->prnDocsPDF->currentText();
    d.VisualizzaIntestazione = m_ui->VisualizzaIntestazione->isChecked();
    d.VisualizzaLogo = m_ui->VisualizzaLogo->isChecked();
    d.SalvataggioAutomatico = m_ui->SalvataggioAutomatico->isChecked();
    return d;
}

void F_Configurazioni::ScriviCampi(const Dati& dati)
{
    for (const Configurazione::CampoTesto& c : Configurazione::CampiTesto()) {
        if (auto* riga = findChild<QLineEdit*>(c.nome))
            riga->setText(dati.*c.valore);
    }
    m_ui->prnDocs->setEditText(dati.prnDocs);
    m_ui->prnDocsPDF->setEditText(dati.prnDocsPDF);
    m_ui->VisualizzaIntestazione->setChecked(dati.VisualizzaIntestazione);
    m_ui->VisualizzaLogo->setChecked(dati.VisualizzaLogo);
    m_ui->SalvataggioAutomatico->setChecked(dati.SalvataggioAutomatico);
}

void F_Configurazioni::ImpostaPercorsoBackup(const QString& percorso)
{
    m_ui->PercorsoBackup->setText(percorso);
}

void F_Configurazioni::MostraLogo(const QByteArray& bitmap)
{
    m_logo = bitmap;
    m_immagine = QImage::fromData(bitmap);
    if (m_immagine.isNull()) {
        m_ui->Logo->setPixmap({});
        // Bytes that are no picture are kept as they are: a save does not lose them.
        m_ui->Logo->setText(bitmap.isEmpty() ? QString() : QStringLiteral("(immagine non leggibile)"));
        return;
    }
    const QSize spazio = m_ui->Logo->contentsRect().size().boundedTo(m_ui->Logo->maximumSize());
    QPixmap p = QPixmap::fromImage(m_immagine);
    if (p.width() > spazio.width() || p.height() > spazio.height())
        p = p.scaled(spazio, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    m_ui->Logo->setPixmap(p);
}

void F_Configurazioni::Command4_Click()
{
    Configurazione::SalvaConfigurazione(m_archivio, LeggiCampi(), m_logo);
}

void F_Configurazioni::Command1_Click()
{
    Module1::CaricaConfigurazione(m_sessione);
    Stampanti::RileggiStampanteDocumenti(m_sessione);
    caricastampanti();
    m_sessione.SaltaPassword = true;
    close();
    RiapriPrincipale();
}

void F_Configurazioni::Command2_Click()
{
    m_ui->Command2->setEnabled(false);
    m_ui->Command1->setEnabled(false);
    m_ui->Command4->setEnabled(false);
    m_ui->StatoCreazione->clear();
    bool ok = false;
    CreazioneDB creazione;
    {
        CursoreOccupato cursore;
        ok = creazione.CreaDB_Click(m_sessione.PercorsoArchivio);
    }
    m_ui->Command2->setEnabled(true);
    m_ui->Command1->setEnabled(true);
    m_ui->Command4->setEnabled(true);
    if (ok) {
        m_ui->StatoCreazione->setText(QStringLiteral("CREAZIONE COMPLETATA CON SUCCESSO"));
        return;
    }
    const QString motivo = creazione.DescrizioneUltimoErrore();
    m_ui->StatoCreazione->setText(QStringLiteral("CREAZIONE NON COMPLETATA"));
    messaggi().Messaggio(
        QStringLiteral("CREAZIONE NON COMPLETATA\n") + motivo, Messaggi::Ok, Messaggi::Critical);
}

void F_Configurazioni::Command8_Click()
{
    const QString file = messaggi().ApriFile(QStringLiteral("Find Source File"),
        Piattaforma::CartellaSpeciale(QStringLiteral("CartellaDocumenti")),
        QStringLiteral("Immagini (*.jpg *.jpeg *.bmp)"));
    if (file.isEmpty())
        return;
    QString errore;
    const QByteArray bitmap = Configurazione::BitmapDaFile(file, &errore);
    if (bitmap.isEmpty()) {
        messaggi().Messaggio(errore, Messaggi::Ok, Messaggi::Warning);
        return;
    }
    MostraLogo(bitmap);
}

void F_Configurazioni::Command20_Click()
{
    const QByteArray segnaposto = LeggiFile(Configurazione::FileNessunLogo(m_sessione.CartellaProgramma));
    if (QImage::fromData(segnaposto).isNull())
        return;
    MostraLogo(segnaposto);
}

void F_Configurazioni::Command11_Click()
{
    if (SalvaPasswordProgramma(m_archivio, m_ui->Password->text()))
        m_ui->Command11->setEnabled(false);
}

void F_Configurazioni::Password_Change()
{
    m_ui->Command11->setEnabled(true);
}

// Either click clears the other switch, so two ticks stored by an older version go at once.
void F_Configurazioni::VisualizzaIntestazione_Click()
{
    m_ui->VisualizzaLogo->setChecked(false);
}

void F_Configurazioni::VisualizzaLogo_Click()
{
    m_ui->VisualizzaIntestazione->setChecked(false);
}

bool F_Configurazioni::prnDocs_KeyPress(int tasto)
{
    switch (tasto) {
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
        m_ui->prnDocs->setEditText(QString());
        return true;
    // Moving through the list and leaving the box still work from the keyboard.
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_F4:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return false;
    default:
        return true;
    }
}

bool F_Configurazioni::eventFilter(QObject* oggetto, QEvent* evento)
{
    if (oggetto == m_principale && evento->type() == QEvent::Hide) {
        close();
        return false;
    }
    if (oggetto == m_ui->Chiusure && evento->type() == QEvent::KeyPress
        && static_cast<QKeyEvent*>(evento)->key() == Qt::Key_Delete) {
        RimuoviChiusura_Click();
        return true;
    }
    if (evento->type() == QEvent::KeyPress
        && (oggetto == m_ui->prnDocs || oggetto == m_ui->prnDocs->lineEdit()))
        return prnDocs_KeyPress(static_cast<QKeyEvent*>(evento)->key());
    if (oggetto == m_ui->Password && evento->type() == QEvent::FocusIn) {
        // Entering the box starts a new password; coming back from another window does not.
        const Qt::FocusReason motivo = static_cast<QFocusEvent*>(evento)->reason();
        if (motivo != Qt::ActiveWindowFocusReason && motivo != Qt::PopupFocusReason)
            m_ui->Password->clear();
    }
    return QWidget::eventFilter(oggetto, evento);
}

void F_Configurazioni::Backup_Click()
{
    DialoghiBackup::EseguiBackup(m_archivio, m_ui->PercorsoBackup->text());
}

void F_Configurazioni::Command5_Click()
{
    const QString scelta = BrowseForFolderModule::ScegliCartella(m_ui->PercorsoBackup->text(), this);
    if (!scelta.isEmpty())
        m_ui->PercorsoBackup->setText(scelta);
}

void F_Configurazioni::Command9_Click()
{
    const QStringList backup = DialoghiBackup::ElencoBackup(m_ui->PercorsoBackup->text());
    m_ui->List1->clear();
    m_ui->List1->addItems(backup);
    m_ui->DataBackup->clear();
}

void F_Configurazioni::List1_Click()
{
    const QListWidgetItem* voce = m_ui->List1->currentItem();
    m_ui->DataBackup->setText(voce ? Backup::DataBackup(voce->text()) : QString());
}

void F_Configurazioni::DataBackup_Change()
{
    const QString data = m_ui->DataBackup->text();
    const bool scelto = !data.isEmpty();
    m_ui->RipristinaDb->setEnabled(scelto);
    m_ui->RipristinaDb->setText(
        scelto ? TestoRipristina + QStringLiteral(" (") + data + QLatin1Char(')') : TestoRipristina);
    m_ui->RipristinaDb->setStyleSheet(
        scelto ? QStringLiteral("QPushButton { background-color: %1; }").arg(ColoreRipristino) : QString());
}

void F_Configurazioni::RipristinaDb_Click()
{
    const QListWidgetItem* voce = m_ui->List1->currentItem();
    if (!DialoghiBackup::RipristinaBackup(m_archivio, m_ui->PercorsoBackup->text(),
            voce ? voce->text() : QString(), Percorsi::CartellaCopiaSicurezza(m_sessione)))
        return;
    // The main window loads the restored archive afresh, its password included.
    close();
    RiapriPrincipale();
}

void F_Configurazioni::Command3_Click()
{
    DialoghiBackup::OttimizzaArchivio(m_archivio, Messaggi::NoIcon);
}

void F_Configurazioni::VerificaArchivio_Click()
{
    DialoghiBackup::VerificaArchivio(m_archivio);
}

void F_Configurazioni::Command21_Click()
{
    const QString attuale = m_ui->BackupNew->text();
    const QString cartella
        = attuale.isEmpty() ? m_sessione.CartellaArchiviPredefinita : QFileInfo(attuale).absolutePath();
    const QString scelta = messaggi().ApriFile(QStringLiteral("Find Source File"),
        QDir(cartella).filePath(QStringLiteral("Archivio.mdb")), QStringLiteral("dBase Files (*.mdb)"));
    if (!scelta.isEmpty())
        m_ui->BackupNew->setText(QDir::toNativeSeparators(scelta));
}

void F_Configurazioni::Command10_Click()
{
    QString cartella = m_sessione.CartellaArchiviPredefinita;
    if (cartella.isEmpty())
        cartella
            = Piattaforma::UnisciPercorso(Piattaforma::CartellaSpeciale(QStringLiteral("CartellaDocumenti")),
                QStringLiteral("Archivi Cartavia"));
    m_ui->BackupNew->setText(
        QDir::toNativeSeparators(Piattaforma::UnisciPercorso(cartella, QStringLiteral("Archivio.mdb"))));
    Command6_Click();
}

void F_Configurazioni::Command6_Click()
{
    const QString percorso = QDir::fromNativeSeparators(m_ui->BackupNew->text().trimmed());
    if (percorso.isEmpty()) {
        messaggi().Messaggio(
            QStringLiteral("Nessun archivio indicato."), Messaggi::Ok, Messaggi::Information);
        return;
    }
    const QString cartellaTxt = m_sessione.CartellaInf.isEmpty()
        ? Percorsi::CartellaCopiaSicurezza(m_sessione)
        : m_sessione.CartellaInf;
    QSaveFile txt(QDir(cartellaTxt).filePath(QStringLiteral("Percorso.txt")));
    if (txt.open(QIODevice::WriteOnly | QIODevice::Text)) {
        txt.write((QDir::toNativeSeparators(percorso) + QLatin1Char('\n')).toUtf8());
        txt.commit();
    }
    // Only the path is remembered: the file it names is left as it is, whatever it holds, and the
    // tables are completed in the archive that is open.
    Command2_Click();
}

void F_Configurazioni::MostraDati_Click()
{
    if (m_ui->MostraIpPrivato->isChecked()) {
        const QString ip = DatiComputer::IpPrivato();
        m_ui->lblprivato->setText(ip.isEmpty() ? DatiComputer::ImpossibileTrovareIp : ip);
    }
    if (m_ui->MostraNome->isChecked())
        m_ui->lblnome->setText(DatiComputer::NomeComputer());
    if (m_ui->MostraIpPubblico->isChecked()) {
        m_ui->lblpubblico->setText(QStringLiteral("(ricerca in corso...)"));
        m_ricercaIp->Avvia(QUrl::fromUserInput(m_ui->PaginaIpPubblico->text().trimmed()));
    }
}

void F_Configurazioni::IpPubblico_Trovato(const QString& testo)
{
    m_ui->lblpubblico->setText(testo);
}

void F_Configurazioni::Mostra_Click(QCheckBox* casella, const QString& variabile)
{
    FunzioniPerVariabili::ScriviVariabile(
        m_archivio, variabile, casella->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
}

void F_Configurazioni::PaginaIpPubblico_Change()
{
    const QString pagina = m_ui->PaginaIpPubblico->text().trimmed();
    if (pagina != FunzioniPerVariabili::LeggiVariabile(m_archivio, DatiComputer::VarPaginaIpPubblico))
        FunzioniPerVariabili::ScriviVariabile(m_archivio, DatiComputer::VarPaginaIpPubblico, pagina);
}

void F_Configurazioni::CaricaFestivita()
{
    const int anno = Orologio::Oggi().year();
    const Festivita::GiorniAzienda g = FestivitaAzienda::Leggi(m_archivio, anno);
    m_ui->EvidenziaFestivita->setChecked(g.evidenzia);
    m_patrono = g.patrono() ? FestivitaAzienda::TestoGiornoMese(g.giornoPatrono, g.mesePatrono) : QString();
    m_nomePatrono = g.nomePatrono;
    m_ui->Patrono->setText(m_patrono);
    m_ui->NomePatrono->setText(m_nomePatrono);
    {
        const QSignalBlocker blocco(m_ui->AnnoChiusure);
        m_ui->AnnoChiusure->setValue(anno);
    }
    CaricaChiusure(anno);
}

void F_Configurazioni::EvidenziaFestivita_Click()
{
    const bool evidenzia = m_ui->EvidenziaFestivita->isChecked();
    if (!FestivitaAzienda::ScriviEvidenzia(m_archivio, evidenzia)) {
        m_ui->EvidenziaFestivita->setChecked(!evidenzia);
        messaggi().Messaggio(FestivitaNonRegistrate, Messaggi::Ok, Messaggi::Warning);
    }
}

void F_Configurazioni::Patrono_Change()
{
    const QString testo = m_ui->Patrono->text().trimmed();
    const QString nome = m_ui->NomePatrono->text().trimmed();
    int giorno = 0;
    int mese = 0;
    if (!testo.isEmpty() && !FestivitaAzienda::LeggiGiornoMese(testo, &giorno, &mese)) {
        // The stored day goes back first, so leaving the box for the message stores nothing.
        m_ui->Patrono->setText(m_patrono);
        messaggi().Messaggio(
            QStringLiteral("Giorno del patrono non valido: scrivere giorno e mese, per esempio 07/12."),
            Messaggi::Ok, Messaggi::Warning);
        m_ui->Patrono->setFocus();
        return;
    }
    const QString giornoMese = testo.isEmpty() ? QString() : FestivitaAzienda::TestoGiornoMese(giorno, mese);
    m_ui->Patrono->setText(giornoMese);
    if (giornoMese == m_patrono && nome == m_nomePatrono)
        return;
    if (!FestivitaAzienda::ScriviPatrono(m_archivio, giorno, mese, nome)) {
        messaggi().Messaggio(FestivitaNonRegistrate, Messaggi::Ok, Messaggi::Warning);
        return;
    }
    m_patrono = giornoMese;
    m_nomePatrono = nome;
}

void F_Configurazioni::CaricaChiusure(int anno)
{
    m_ui->Chiusure->clear();
    for (const QDate& d : FestivitaAzienda::Leggi(m_archivio, anno).chiusure) {
        auto* voce = new QListWidgetItem(Module1::FormattaData(d) + QStringLiteral(" - ")
                + Module1::NomeGiorno(Module1::NumeroGiornoSettimana(d)),
            m_ui->Chiusure);
        voce->setData(Qt::UserRole, d);
    }
    Chiusure_SelectionChange();
}

QList<QDate> F_Configurazioni::ChiusureMostrate() const
{
    QList<QDate> date;
    for (int i = 0; i < m_ui->Chiusure->count(); ++i)
        date << m_ui->Chiusure->item(i)->data(Qt::UserRole).toDate();
    return date;
}

void F_Configurazioni::Chiusure_SelectionChange()
{
    m_ui->RimuoviChiusura->setEnabled(!m_ui->Chiusure->selectedItems().isEmpty());
}

void F_Configurazioni::AggiungiChiusura_Click()
{
    const QDate data = Module1::LeggiData(
        ScegliDataDaCalendario(this, Module1::FormattaData(propostaChiusura()), m_archivio));
    if (!data.isValid() || !registraChiusura(data))
        return;
    {
        const QSignalBlocker blocco(m_ui->AnnoChiusure);
        m_ui->AnnoChiusure->setValue(data.year());
    }
    CaricaChiusure(data.year());
    for (int i = 0; i < m_ui->Chiusure->count(); ++i)
        if (m_ui->Chiusure->item(i)->data(Qt::UserRole).toDate() == data)
            m_ui->Chiusure->setCurrentRow(i);
}

// The picker opens on the day after the closure chosen or the last one, so a closure of several
// days is added one Enter at a time.
QDate F_Configurazioni::propostaChiusura() const
{
    const int anno = m_ui->AnnoChiusure->value();
    const QDate oggi = Orologio::Oggi();
    QDate proposta = oggi.year() == anno ? oggi : QDate(anno, 1, 1);
    const QList<QListWidgetItem*> scelte = m_ui->Chiusure->selectedItems();
    const QList<QDate> mostrate = ChiusureMostrate();
    if (!scelte.isEmpty())
        proposta = scelte.last()->data(Qt::UserRole).toDate().addDays(1);
    else if (!mostrate.isEmpty())
        proposta = mostrate.last().addDays(1);
    return proposta;
}

// Stores `data` among the closures of its year (a day already there is left as it is); false,
// said to the user, when it could not be stored.
bool F_Configurazioni::registraChiusura(const QDate& data)
{
    bool letto = false;
    QList<QDate> chiusure = FestivitaAzienda::Leggi(m_archivio, data.year(), &letto).chiusure;
    if (!letto) {
        messaggi().Messaggio(FestivitaNonRegistrate, Messaggi::Ok, Messaggi::Warning);
        return false;
    }
    if (!chiusure.contains(data)) {
        chiusure << data;
        if (!FestivitaAzienda::ChiusureCiStanno(data.year(), chiusure)) {
            messaggi().Messaggio(
                QStringLiteral("Le chiusure aziendali del %1 sono già troppe: la chiusura del %2 "
                               "non è stata registrata.")
                    .arg(data.year())
                    .arg(Module1::FormattaData(data)),
                Messaggi::Ok, Messaggi::Warning);
            return false;
        }
        if (!FestivitaAzienda::ScriviChiusure(m_archivio, data.year(), chiusure)) {
            messaggi().Messaggio(FestivitaNonRegistrate, Messaggi::Ok, Messaggi::Warning);
            return false;
        }
    }
    return true;
}

void F_Configurazioni::RimuoviChiusura_Click()
{
    const QList<QListWidgetItem*> scelte = m_ui->Chiusure->selectedItems();
    if (scelte.isEmpty())
        return;
    const int anno = m_ui->AnnoChiusure->value();
    bool letto = false;
    QList<QDate> chiusure = FestivitaAzienda::Leggi(m_archivio, anno, &letto).chiusure;
    if (!letto) {
        messaggi().Messaggio(FestivitaNonRegistrate, Messaggi::Ok, Messaggi::Warning);
        return;
    }
    for (const QListWidgetItem* voce : scelte)
        chiusure.removeAll(voce->data(Qt::UserRole).toDate());
    if (!FestivitaAzienda::ScriviChiusure(m_archivio, anno, chiusure))
        messaggi().Messaggio(FestivitaNonRegistrate, Messaggi::Ok, Messaggi::Warning);
    const int riga = m_ui->Chiusure->row(scelte.first());
    CaricaChiusure(anno);
    // The cursor stays where the removed day was, so Canc can go on removing.
    if (m_ui->Chiusure->count() > 0)
        m_ui->Chiusure->setCurrentRow(std::min(riga, m_ui->Chiusure->count() - 1));
}

std::array<QLineEdit*, 7> F_Configurazioni::CampiOre() const
{
    return { m_ui->OreLun, m_ui->OreMar, m_ui->OreMer, m_ui->OreGio, m_ui->OreVen, m_ui->OreSab,
        m_ui->OreDom };
}

void F_Configurazioni::CaricaSettimanaTipo()
{
    m_settimana = SettimanaTipo::Leggi(m_archivio);
    const std::array<QLineEdit*, 7> campi = CampiOre();
    for (size_t i = 0; i < campi.size(); ++i)
        campi.at(i)->setText(m_settimana.ore.at(i));
}

void F_Configurazioni::Ore_Change(int giorno)
{
    QLineEdit* campo = CampiOre().at(size_t(giorno));
    QString& memorizzate = m_settimana.ore.at(size_t(giorno));
    const std::optional<QString> ore = SettimanaTipo::Ore(campo->text());
    if (!ore) {
        // The stored hours go back first, so leaving the box for the message stores nothing.
        campo->setText(memorizzate);
        messaggi().Messaggio(
            QStringLiteral("%1 non valide: scrivere un numero da 0 a 24, per esempio 8 o 7,5.")
                .arg(campo->accessibleName()),
            Messaggi::Ok, Messaggi::Warning);
        campo->setFocus();
        return;
    }
    campo->setText(*ore);
    if (*ore == memorizzate)
        return;
    // The other days as stored now: another computer may have changed them since the window
    // opened, and a week that could not be read must not be written over.
    bool letto = false;
    SettimanaTipo settimana = SettimanaTipo::Leggi(m_archivio, &letto);
    settimana.ore.at(size_t(giorno)) = *ore;
    if (!letto || !SettimanaTipo::Scrivi(m_archivio, settimana)) {
        campo->setText(memorizzate);
        messaggi().Messaggio(SettimanaNonRegistrata, Messaggi::Ok, Messaggi::Warning);
        return;
    }
    memorizzate = *ore;
}
