#include "F_TabellaCodici.h"
#include "ui_F_TabellaCodici.h"

#include "archive/Schema.h"
#include "comune/Twips.h"
#include "comune/ModelloGriglia.h"
#include "gui/diary/VistaGriglia.h"
#include "platform/Messaggi.h"

#include <QFocusEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>

F_TabellaCodici::F_TabellaCodici(
    const QString& archivio, const DefinizioneTabellaCodici& definizione, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_ui(new Ui::F_TabellaCodici)
    , m_tabella(archivio, definizione)
    , m_modello(new ModelloGriglia(&m_tabella.griglia(), this))
{
    m_ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(definizione.titolo);
    m_ui->Codice->setObjectName(definizione.campoCodice);
    m_ui->Codice->setAccessibleName(definizione.campoCodice);
    m_ui->LabelCodice->setText(definizione.campoCodice);

    // The fields stand over the grid's columns, as wide as they are (less the grid line).
    m_ui->Codice->setFixedWidth(Twips::pixel(definizione.larghezzaCodice));
    m_ui->Descrizione->setFixedWidth(Twips::pixel(definizione.larghezzaDescrizione));
    m_ui->Codice->setMaxLength(Schema::Dimensione(definizione.tabella, definizione.campoCodice));
    m_ui->Descrizione->setMaxLength(Schema::Dimensione(definizione.tabella, QStringLiteral("Descrizione")));
    m_ui->Command2->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    m_ui->Command2->setIconSize(QSize(20, 20));
    const int marginePrimo = m_ui->RigheArt->frameWidth();
    m_ui->layoutCampi->setContentsMargins(marginePrimo, 0, 0, 0);

    VistaGriglia* vista = m_ui->RigheArt;
    vista->impostaModello(m_modello);
    vista->setSelectionMode(QAbstractItemView::NoSelection);
    const int larghezza = Twips::pixel(definizione.larghezzaCodice + 20)
        + Twips::pixel(definizione.larghezzaDescrizione + 20) + 2 * vista->frameWidth()
        + vista->verticalScrollBar()->sizeHint().width() + 2;
    vista->setMinimumWidth(larghezza);

    connect(vista->selectionModel(), &QItemSelectionModel::currentChanged, this,
        &F_TabellaCodici::RigheArt_Click);
    connect(vista, &QAbstractItemView::clicked, this, &F_TabellaCodici::RigheArt_Click);
    connect(m_ui->Command2, &QPushButton::clicked, this, &F_TabellaCodici::Command2_Click);
    connect(m_ui->Command15, &QPushButton::clicked, this, &F_TabellaCodici::Command15_Click);
    connect(m_ui->Fine, &QPushButton::clicked, this, &F_TabellaCodici::Fine_Click);
    for (QWidget* w : QList<QWidget*> { m_ui->Codice, m_ui->Descrizione, vista })
        w->installEventFilter(this);

    Form_Load();
}

F_TabellaCodici::~F_TabellaCodici() = default;

QLineEdit* F_TabellaCodici::campoCodice() const
{
    return m_ui->Codice;
}

QLineEdit* F_TabellaCodici::campoDescrizione() const
{
    return m_ui->Descrizione;
}

QString F_TabellaCodici::Indice() const
{
    return m_ui->Indice->text();
}

void F_TabellaCodici::Form_Load()
{
    adjustSize();
    if (QScreen* schermo = QGuiApplication::primaryScreen()) {
        const QRect area = schermo->availableGeometry();
        move(area.x() + (area.width() - width()) / 2,
            area.y() + (area.height() - height()) / 2 - Twips::pixel(200));
    }
    Aggiorna_Click();
}

void F_TabellaCodici::Aggiorna_Click()
{
    m_ui->RigheArt->setUpdatesEnabled(false);
    m_tabella.Aggiorna_Click();
    m_ui->RigheArt->setUpdatesEnabled(true);
    DimensionaGriglia_Click();
}

void F_TabellaCodici::DimensionaGriglia_Click()
{
    m_tabella.DimensionaGriglia_Click();
}

void F_TabellaCodici::PulisciCampi()
{
    m_ui->Indice->clear();
    m_ui->Codice->clear();
    m_ui->Descrizione->clear();
}

void F_TabellaCodici::PulisciGriglia()
{
    m_tabella.PulisciGriglia();
}

void F_TabellaCodici::RigheArt_Click()
{
    const QModelIndex corrente = m_ui->RigheArt->currentIndex();
    if (!corrente.isValid() || corrente.row() == 0)
        return;
    const TabellaCodici::Campi campi = m_tabella.Seleziona(corrente.row());
    m_ui->Indice->setText(campi.indice);
    m_ui->Codice->setText(campi.codice);
    m_ui->Descrizione->setText(campi.descrizione);
}

void F_TabellaCodici::Command2_Click()
{
    const TabellaCodici::Campi campi { m_ui->Indice->text(), m_ui->Codice->text(),
        m_ui->Descrizione->text() };
    switch (m_tabella.Registra(campi)) {
    case TabellaCodici::EsitoRegistrazione::Registrato:
        PulisciCampi();
        Aggiorna_Click();
        m_ui->Codice->setFocus();
        break;
    case TabellaCodici::EsitoRegistrazione::CodiceMancante:
    case TabellaCodici::EsitoRegistrazione::CodiceConNumeri:
        m_ui->Codice->setFocus();
        break;
    case TabellaCodici::EsitoRegistrazione::DescrizioneMancante:
        m_ui->Descrizione->setFocus();
        break;
    case TabellaCodici::EsitoRegistrazione::Annullato:
    case TabellaCodici::EsitoRegistrazione::NonRiuscito:
        break;
    }
}

void F_TabellaCodici::Command15_Click()
{
    if (m_tabella.Cancella(m_ui->Indice->text()) != TabellaCodici::EsitoCancellazione::Cancellato)
        return;
    PulisciCampi();
    Aggiorna_Click();
    messaggi().Messaggio(
        m_tabella.definizione().cancellazioneEffettuata, Messaggi::Ok, Messaggi::Information);
}

void F_TabellaCodici::Fine_Click()
{
    close();
}

void F_TabellaCodici::Esc()
{
    PulisciGriglia();
    PulisciCampi();
}

bool F_TabellaCodici::eventFilter(QObject* oggetto, QEvent* evento)
{
    if (evento->type() == QEvent::KeyPress) {
        const int tasto = static_cast<QKeyEvent*>(evento)->key();
        const bool invio = tasto == Qt::Key_Return || tasto == Qt::Key_Enter;
        if (tasto == Qt::Key_Escape) {
            Esc();
            return true;
        }
        if (invio && oggetto == m_ui->Codice) {
            m_ui->Descrizione->setFocus(Qt::TabFocusReason);
            return true;
        }
        if (invio && oggetto == m_ui->Descrizione) {
            Command2_Click();
            return true;
        }
    } else if (evento->type() == QEvent::FocusIn && oggetto == m_ui->Codice) {
        // After the click that gave the focus has placed the cursor.
        QTimer::singleShot(0, m_ui->Codice, [this] { m_ui->Codice->selectAll(); });
    }
    return QWidget::eventFilter(oggetto, evento);
}
