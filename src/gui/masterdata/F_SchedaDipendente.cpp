#include "F_SchedaDipendente.h"
#include "ui_F_SchedaDipendente.h"

#include "archive/Sessione.h"
#include "gui/printing/StampaElenco.h"

#include "archive/FunzioniPerVariabili.h"
#include "archive/Module1.h"
#include "comune/Twips.h"
#include "masterdata/GrigliaAnagraficheModel.h"
#include "gui/masterdata/SceltaData.h"
#include "platform/Messaggi.h"
#include "platform/Piattaforma.h"
#include "gui/printing/F_SelezioneStampante.h"

#include <QFileInfo>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScreen>

#include <algorithm>

using Anagrafiche::Scheda;
using FunzioniPerVariabili::LeggiFlag;
using FunzioniPerVariabili::LeggiVariabile;
using FunzioniPerVariabili::ScriviFlag;
using FunzioniPerVariabili::ScriviVariabile;

namespace {

const QString VarAttivi = QStringLiteral("F_SchedaDipendente_Attivi");
const QString VarNonAttivi = QStringLiteral("F_SchedaDipendente_NonAttivi");
const QString VarTutti = QStringLiteral("F_SchedaDipendente_Tutti");
const QString VarOrdinamento = QStringLiteral("F_SchedaDipendente_Ordinamento");
const QColor ColoreObbligatorio(0xC0, 0xC0, 0xFF);

bool Apri(const QString& obiettivo)
{
    return Piattaforma::ApriConShell(obiettivo);
}

bool TastoInvio(const QEvent* evento)
{
    if (evento->type() != QEvent::KeyPress)
        return false;
    const int tasto = static_cast<const QKeyEvent*>(evento)->key();
    return tasto == Qt::Key_Return || tasto == Qt::Key_Enter;
}

// Focus that leaves because another window or a popup came up is not the user leaving a field.
bool UscitaDalCampo(const QEvent* evento)
{
    if (evento->type() != QEvent::FocusOut)
        return false;
    const Qt::FocusReason motivo = static_cast<const QFocusEvent*>(evento)->reason();
    return motivo != Qt::ActiveWindowFocusReason && motivo != Qt::PopupFocusReason;
}

void Colora(QWidget* w, const QColor& colore)
{
    QPalette p = w->palette();
    p.setColor(QPalette::Active, QPalette::Base, colore);
    p.setColor(QPalette::Inactive, QPalette::Base, colore);
    w->setPalette(p);
}

} // namespace

F_SchedaDipendente::F_SchedaDipendente(Sessione& sessione, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_sessione(sessione)
    , m_ui(new Ui::F_SchedaDipendente)
    , m_modello(new GrigliaAnagraficheModel(m_elenco, this))
{
    m_ui->setupUi(this);
    // "Esci" ends the window: the next opening loads it afresh, list re-read and card empty.
    setAttribute(Qt::WA_DeleteOnClose);
    m_ui->GrigliaAnagrafiche->setModel(m_modello);
    m_ui->GrigliaAnagrafiche->horizontalHeader()->setHighlightSections(false);
    m_ui->GrigliaAnagrafiche->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);

    // The code's label lines up with the card's labels below it.
    int colonnaEtichette = m_ui->LabelCodice->sizeHint().width();
    for (int r = 0; r < m_ui->layScheda->rowCount(); ++r) {
        QLayoutItem* voce = m_ui->layScheda->itemAtPosition(r, 0);
        if (voce && voce->widget() && m_ui->layScheda->itemAtPosition(r, 1) != voce)
            colonnaEtichette = std::max(colonnaEtichette, voce->widget()->sizeHint().width());
    }
    m_ui->LabelCodice->setFixedWidth(colonnaEtichette);
    m_ui->layScheda->setHorizontalSpacing(m_ui->rigaCodice->spacing());

    m_ui->Codice->setMaxLength(Anagrafiche::Limite(QStringLiteral("Codice")));
    for (const Anagrafiche::CampoScheda& c : Anagrafiche::CampiScheda()) {
        QWidget* w = findChild<QWidget*>(c.controllo);
        Q_ASSERT(w);
        m_catena << w;
        w->installEventFilter(this);
        const int limite = Anagrafiche::Limite(c.controllo);
        if (auto* combo = qobject_cast<QComboBox*>(w)) {
            if (limite > 0)
                combo->lineEdit()->setMaxLength(limite);
        } else if (auto* riga = qobject_cast<QLineEdit*>(w)) {
            if (limite > 0)
                riga->setMaxLength(limite);
        }
    }
    Colora(m_ui->Codice, ColoreObbligatorio);
    for (QComboBox* c : { m_ui->RagSociale, m_ui->Cognome, m_ui->Nome }) {
        Colora(c, ColoreObbligatorio);
        Colora(c->lineEdit(), ColoreObbligatorio);
    }

    m_ui->Codice->installEventFilter(this);
    m_ui->DataNascita->installEventFilter(this);
    m_ui->DataDocumento->installEventFilter(this);
    m_ui->GrigliaAnagrafiche->installEventFilter(this);
    m_ui->Ordinamento->installEventFilter(this);
    if (m_ui->Command1->icon().isNull())
        m_ui->Command1->setIcon(QIcon::fromTheme(QStringLiteral("mail-message-new")));
    if (m_ui->OpenUrl->icon().isNull())
        m_ui->OpenUrl->setIcon(QIcon::fromTheme(QStringLiteral("web-browser")));
    if (!m_ui->Command1->icon().isNull())
        m_ui->Command1->setText(QString());
    if (!m_ui->OpenUrl->icon().isNull())
        m_ui->OpenUrl->setText(QString());

    connect(m_ui->Codice, &QLineEdit::textChanged, this, &F_SchedaDipendente::Codice_Change);
    connect(m_ui->Indice, &QLineEdit::textChanged, this, &F_SchedaDipendente::Indice_Change);
    connect(
        m_ui->GrigliaAnagrafiche, &QTableView::clicked, this, &F_SchedaDipendente::GrigliaAnagrafiche_Click);
    for (QRadioButton* r : { m_ui->Attivi, m_ui->NonAttivi, m_ui->Tutti })
        connect(r, &QRadioButton::clicked, this, &F_SchedaDipendente::Visualizzazione_Click);
    connect(m_ui->Ordinamento, &QComboBox::activated, this, &F_SchedaDipendente::Ordinamento_Click);
    connect(m_ui->Command2, &QPushButton::clicked, this, &F_SchedaDipendente::Command2_Click);
    connect(m_ui->Command4, &QPushButton::clicked, this, &F_SchedaDipendente::Command4_Click);
    connect(m_ui->Command10, &QPushButton::clicked, this, &F_SchedaDipendente::Command10_Click);
    connect(m_ui->Anteprima, &QPushButton::clicked, this, &F_SchedaDipendente::Anteprima_Click);
    connect(m_ui->Command17, &QPushButton::clicked, this, &F_SchedaDipendente::Command17_Click);
    connect(m_ui->Command1, &QPushButton::clicked, this, &F_SchedaDipendente::Command1_Click);
    connect(m_ui->OpenUrl, &QPushButton::clicked, this, &F_SchedaDipendente::OpenUrl_Click);
    connect(m_ui->Fine, &QPushButton::clicked, this, &QWidget::close);

    Form_Load();
}

F_SchedaDipendente::~F_SchedaDipendente() = default;

void F_SchedaDipendente::Form_Load()
{
    if (QScreen* schermo = QGuiApplication::primaryScreen()) {
        const QRect area = schermo->availableGeometry();
        move(area.x() + (area.width() - width()) / 2,
            area.y() + (area.height() - height()) / 2 - Twips::pixel(200));
    }
    PulisciCampi();
    Codice_Change();
    Indice_Change();

    m_ui->Attivi->setChecked(LeggiFlag(m_sessione.PercorsoArchivio, VarAttivi));
    if (LeggiFlag(m_sessione.PercorsoArchivio, VarNonAttivi))
        m_ui->NonAttivi->setChecked(true);
    if (LeggiFlag(m_sessione.PercorsoArchivio, VarTutti))
        m_ui->Tutti->setChecked(true);
    if (!m_ui->Attivi->isChecked() && !m_ui->NonAttivi->isChecked())
        m_ui->Tutti->setChecked(true);

    // Only the list's own orderings can be shown; anything else falls back to the default.
    const int voce = m_ui->Ordinamento->findText(LeggiVariabile(m_sessione.PercorsoArchivio, VarOrdinamento));
    m_ui->Ordinamento->setCurrentIndex(voce >= 0 ? voce : 0);

    AggiornaGriglia_Click();
}

ElencoAnagrafiche::Filtro F_SchedaDipendente::filtro() const
{
    if (m_ui->Attivi->isChecked())
        return ElencoAnagrafiche::Filtro::Attivi;
    if (m_ui->NonAttivi->isChecked())
        return ElencoAnagrafiche::Filtro::NonAttivi;
    return ElencoAnagrafiche::Filtro::Tutti;
}

QString F_SchedaDipendente::ordinamento() const
{
    return m_ui->Ordinamento->currentText();
}

void F_SchedaDipendente::AggiornaGriglia_Click()
{
    m_ui->GrigliaAnagrafiche->setUpdatesEnabled(false);
    m_modello->ricarica([this] { m_elenco.Carica(m_sessione.PercorsoArchivio, filtro(), ordinamento()); });
    m_ui->GrigliaAnagrafiche->setUpdatesEnabled(true);
    DimensionaGriglia_Click();
}

void F_SchedaDipendente::DimensionaGriglia_Click()
{
    QTableView* g = m_ui->GrigliaAnagrafiche;
    for (int c = 0; c < ElencoAnagrafiche::NumeroColonne; ++c) {
        const int larghezza = ElencoAnagrafiche::larghezza(c);
        g->setColumnHidden(c, larghezza == 0);
        if (larghezza > 0)
            g->setColumnWidth(c, Twips::pixel(larghezza));
    }
}

void F_SchedaDipendente::GrigliaAnagrafiche_Click(const QModelIndex& indice)
{
    if (!indice.isValid())
        return;
    const int riga = GrigliaAnagraficheModel::rigaElenco(indice);
    m_elenco.Seleziona(riga);
    m_modello->sfondiCambiati();
    m_ui->Indice->setText(QString::number(m_elenco.indice(riga)));
    Aggiorna_Click();
}

void F_SchedaDipendente::Visualizzazione_Click()
{
    ScriviFlag(m_sessione.PercorsoArchivio, VarAttivi, m_ui->Attivi->isChecked());
    ScriviFlag(m_sessione.PercorsoArchivio, VarNonAttivi, m_ui->NonAttivi->isChecked());
    ScriviFlag(m_sessione.PercorsoArchivio, VarTutti, m_ui->Tutti->isChecked());
    AggiornaGriglia_Click();
    m_elenco.AzzeraSfondoMemorizzato();
}

void F_SchedaDipendente::Ordinamento_Click()
{
    ScriviVariabile(m_sessione.PercorsoArchivio, VarOrdinamento, m_ui->Ordinamento->currentText());
    AggiornaGriglia_Click();
    m_elenco.AzzeraSfondoMemorizzato();
}

QString F_SchedaDipendente::testo(const QString& controllo) const
{
    if (controllo == QLatin1String("Codice"))
        return m_ui->Codice->text();
    QWidget* w = findChild<QWidget*>(controllo);
    if (auto* c = qobject_cast<QComboBox*>(w))
        return c->currentText();
    if (auto* r = qobject_cast<QLineEdit*>(w))
        return r->text();
    if (auto* t = qobject_cast<QPlainTextEdit*>(w))
        return t->toPlainText();
    return {};
}

void F_SchedaDipendente::imposta(const QString& controllo, const QString& valore)
{
    QWidget* w = controllo == QLatin1String("Codice") ? m_ui->Codice : findChild<QWidget*>(controllo);
    if (auto* c = qobject_cast<QComboBox*>(w))
        c->setEditText(valore);
    else if (auto* r = qobject_cast<QLineEdit*>(w))
        r->setText(valore);
    else if (auto* t = qobject_cast<QPlainTextEdit*>(w))
        t->setPlainText(valore);
}

Scheda F_SchedaDipendente::LeggiCampi() const
{
    Scheda s;
    s.indice = m_ui->Indice->text();
    s.imposta(QStringLiteral("Codice"), m_ui->Codice->text());
    for (const Anagrafiche::CampoScheda& c : Anagrafiche::CampiScheda())
        s.imposta(c.controllo, testo(c.controllo));
    s.maschio = m_ui->Maschio->isChecked();
    s.femmina = m_ui->Femmina->isChecked();
    s.attivo = m_ui->Attivo->isChecked();
    s.nonAttivo = m_ui->NonAttivo->isChecked();
    return s;
}

void F_SchedaDipendente::ScriviCampi(const Scheda& s)
{
    m_ui->Indice->setText(s.indice);
    m_ui->Codice->setText(s.testo(QStringLiteral("Codice")));
    for (const Anagrafiche::CampoScheda& c : Anagrafiche::CampiScheda())
        imposta(c.controllo, s.testo(c.controllo));
    // One option of each pair is always set, whatever the record holds.
    (s.femmina && !s.maschio ? m_ui->Femmina : m_ui->Maschio)->setChecked(true);
    (s.nonAttivo && !s.attivo ? m_ui->NonAttivo : m_ui->Attivo)->setChecked(true);
}

void F_SchedaDipendente::Aggiorna_Click()
{
    const std::optional<Scheda> s = Anagrafiche::LeggiScheda(
        m_sessione.PercorsoArchivio, static_cast<qint32>(Module1::ValoreNumerico(m_ui->Indice->text())));
    if (s)
        ScriviCampi(*s);
    else
        PulisciCampi();
}

void F_SchedaDipendente::PulisciCampi()
{
    ScriviCampi(Scheda {});
}

void F_SchedaDipendente::PulisciGriglia()
{
    m_elenco.PulisciGriglia();
    m_modello->sfondiCambiati();
}

void F_SchedaDipendente::CercaAnagrafica()
{
    const QString codice = m_ui->Codice->text();
    const qint32 trovato = Anagrafiche::CercaCodice(m_sessione.PercorsoArchivio, codice);
    if (trovato > 0) {
        m_ui->Indice->setText(QString::number(trovato));
        Aggiorna_Click();
        return;
    }
    PulisciCampi();
    m_ui->Codice->setText(codice);
}

void F_SchedaDipendente::Codice_Change()
{
    m_ui->FrameScheda->setEnabled(!m_ui->Codice->text().isEmpty());
}

void F_SchedaDipendente::Indice_Change()
{
    const bool registrato = static_cast<qint32>(Module1::ValoreNumerico(m_ui->Indice->text())) != 0;
    m_ui->Command4->setText(registrato ? QStringLiteral("Modifica") : QStringLiteral("Inserisci"));
}

bool F_SchedaDipendente::Codice_KeyPress(int tasto)
{
    if (tasto != Qt::Key_Return && tasto != Qt::Key_Enter)
        return false;
    if (!m_ui->Codice->text().isEmpty() && m_ui->Codice->isModified())
        CercaAnagrafica();
    if (m_ui->FrameScheda->isEnabled())
        m_ui->RagSociale->setFocus(Qt::TabFocusReason);
    return true;
}

void F_SchedaDipendente::Codice_LostFocus()
{
    // Only a code the user changed is looked up again: leaving an unchanged code must not
    // reload the card over what was typed in it.
    if (m_ui->Codice->isModified())
        CercaAnagrafica();
}

bool F_SchedaDipendente::CampoSuccessivo(QWidget* campo)
{
    const qsizetype i = m_catena.indexOf(campo);
    if (i < 0 || i + 1 >= m_catena.size())
        return false;
    m_catena.at(i + 1)->setFocus(Qt::TabFocusReason);
    return true;
}

void F_SchedaDipendente::Data_DblClick(QWidget* campo)
{
    auto* riga = static_cast<QLineEdit*>(campo);
    const QString scelta = ScegliDataDaCalendario(this, riga->text(), m_sessione.PercorsoArchivio);
    if (!scelta.isEmpty())
        riga->setText(scelta);
}

void F_SchedaDipendente::Data_LostFocus(QWidget* campo)
{
    auto* riga = static_cast<QLineEdit*>(campo);
    QString testo = riga->text();
    Module1::ControllaData(testo);
    if (testo != riga->text())
        riga->setText(testo);
}

bool F_SchedaDipendente::eventFilter(QObject* oggetto, QEvent* evento)
{
    if (oggetto == m_ui->Codice) {
        if (evento->type() == QEvent::KeyPress && Codice_KeyPress(static_cast<QKeyEvent*>(evento)->key()))
            return true;
        if (UscitaDalCampo(evento))
            Codice_LostFocus();
        return QWidget::eventFilter(oggetto, evento);
    }
    if (oggetto == m_ui->DataNascita || oggetto == m_ui->DataDocumento) {
        if (evento->type() == QEvent::MouseButtonDblClick) {
            Data_DblClick(static_cast<QWidget*>(oggetto));
            return true;
        }
        if (UscitaDalCampo(evento))
            Data_LostFocus(static_cast<QWidget*>(oggetto));
    }
    if (oggetto == m_ui->GrigliaAnagrafiche && evento->type() == QEvent::KeyPress) {
        const int tasto = static_cast<QKeyEvent*>(evento)->key();
        if (tasto == Qt::Key_Escape) {
            PulisciGriglia();
            PulisciCampi();
            AggiornaGriglia_Click();
            return true;
        }
        // The keyboard chooses a row as a click does.
        if (tasto == Qt::Key_Return || tasto == Qt::Key_Enter || tasto == Qt::Key_Space) {
            GrigliaAnagrafiche_Click(m_ui->GrigliaAnagrafiche->currentIndex());
            return true;
        }
    }
    if (oggetto == m_ui->Ordinamento && evento->type() == QEvent::KeyPress) {
        // Typing would jump to a matching ordering; only a pick from the list may change it.
        if (!static_cast<QKeyEvent*>(evento)->text().trimmed().isEmpty())
            return true;
    }
    if (TastoInvio(evento) && oggetto->isWidgetType() && CampoSuccessivo(static_cast<QWidget*>(oggetto)))
        return true;
    return QWidget::eventFilter(oggetto, evento);
}

void F_SchedaDipendente::Command2_Click()
{
    PulisciCampi();
    AggiornaGriglia_Click();
    m_ui->Codice->setFocus(Qt::OtherFocusReason);
}

void F_SchedaDipendente::Command4_Click()
{
    Scheda s = LeggiCampi();
    const Anagrafiche::EsitoRegistrazione esito = Anagrafiche::Registra(m_sessione.PercorsoArchivio, s);
    // A composed name stays on the card even when the save is refused.
    if (s.testo(QStringLiteral("RagSociale")) != testo(QStringLiteral("RagSociale")))
        imposta(QStringLiteral("RagSociale"), s.testo(QStringLiteral("RagSociale")));
    switch (esito) {
    case Anagrafiche::EsitoRegistrazione::CodiceMancante:
        m_ui->Codice->setFocus(Qt::OtherFocusReason);
        break;
    case Anagrafiche::EsitoRegistrazione::Registrata:
        m_ui->Indice->setText(s.indice);
        PulisciCampi();
        AggiornaGriglia_Click();
        messaggi().Messaggio(QStringLiteral("Registrazione Effettuata"), Messaggi::Ok, Messaggi::Information);
        m_ui->Codice->setFocus(Qt::OtherFocusReason);
        break;
    default:
        break;
    }
}

void F_SchedaDipendente::Command10_Click()
{
    if (Anagrafiche::Cancella(m_sessione.PercorsoArchivio, LeggiCampi())
        != Anagrafiche::EsitoCancellazione::Cancellata)
        return;
    PulisciCampi();
    AggiornaGriglia_Click();
    messaggi().Messaggio(QStringLiteral("Cancellazione Effettuata"), Messaggi::Ok, Messaggi::Information);
    m_ui->Codice->setFocus(Qt::OtherFocusReason);
}

void F_SchedaDipendente::Anteprima_Click()
{
    if (stampaElenco)
        stampaElenco(filtro(), ordinamento());
    else
        StampaElenco::Anteprima_Click(m_sessione, filtro(), ordinamento());
}

void F_SchedaDipendente::Command17_Click()
{
    F_SelezioneStampante::Mostra(m_sessione, this);
}

void F_SchedaDipendente::Command1_Click()
{
    const QString email = m_ui->Email->text().trimmed();
    if (email.isEmpty())
        return;
    Apri(QStringLiteral("mailto:") + email);
}

void F_SchedaDipendente::OpenUrl_Click()
{
    const QString web = m_ui->Web->text().trimmed();
    if (web.isEmpty())
        return;
    // A bare site name is meant for the browser, not for the file manager.
    if (web.contains(QLatin1String("://")) || QFileInfo::exists(web))
        Apri(web);
    else
        Apri(QStringLiteral("http://") + web);
}
