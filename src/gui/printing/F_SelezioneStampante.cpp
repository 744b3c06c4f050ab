#include "F_SelezioneStampante.h"
#include "ui_F_SelezioneStampante.h"

#include "archive/Sessione.h"

#include "archive/ErroreArchivio.h"
#include "comune/Twips.h"
#include "gui/platform/ElencoStampanti.h"
#include "platform/Messaggi.h"
#include "gui/printing/Stampanti.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScreen>

F_SelezioneStampante::F_SelezioneStampante(Sessione& sessione, QWidget* parent)
    : QDialog(parent)
    , m_sessione(sessione)
    , m_ui(new Ui::F_SelezioneStampante)
{
    m_ui->setupUi(this);
    // The box shows the stored name but takes no typing: only a pick or Canc/Backspace change it.
    m_ui->prnDocs->lineEdit()->setReadOnly(true);
    m_ui->prnDocs->lineEdit()->setPlaceholderText(QStringLiteral("Stampante"));
    m_ui->prnDocs->installEventFilter(this);
    m_ui->prnDocs->lineEdit()->installEventFilter(this);
    connect(m_ui->prnDocs, &QComboBox::activated, this, &F_SelezioneStampante::prnDocs_Click);
    connect(m_ui->Fine, &QPushButton::clicked, this, &F_SelezioneStampante::Fine_Click);
    Form_Load();
}

F_SelezioneStampante::~F_SelezioneStampante() = default;

void F_SelezioneStampante::Mostra(Sessione& sessione, QWidget* parent)
{
    F_SelezioneStampante finestra(sessione, parent);
    finestra.exec();
}

void F_SelezioneStampante::Form_Load()
{
    const QList<Stampante> installate = ElencoStampanti::Installate();
    for (const Stampante& s : installate)
        m_ui->prnDocs->addItem(s.nome);

    adjustSize();
    if (QScreen* schermo = QGuiApplication::primaryScreen()) {
        const QRect area = schermo->availableGeometry();
        move(area.x() + (area.width() - width()) / 2,
            area.y() + (area.height() - height()) / 2 - Twips::pixel(200));
    }

    QString nome;
    int errore = 0;
    if (Stampanti::LeggiNomeMemorizzato(m_sessione.PercorsoArchivio, nome, &errore))
        m_ui->prnDocs->setEditText(nome);
    else if (errore == CodiciErrore::FileNonTrovato || errore == CodiciErrore::TabellaNonTrovata)
        messaggi().Messaggio(
            QStringLiteral("Eseguire creazione database"), Messaggi::Ok, Messaggi::Information);
    else
        m_ui->prnDocs->setEditText(QString());
}

void F_SelezioneStampante::showEvent(QShowEvent* evento)
{
    QDialog::showEvent(evento);
    m_ui->Fine->setFocus();
}

void F_SelezioneStampante::prnDocs_Click()
{
    QString descrizione;
    if (!Stampanti::MemorizzaStampanteDocumenti(m_sessione, m_ui->prnDocs->currentText(), &descrizione))
        messaggi().Messaggio(descrizione, Messaggi::Ok, Messaggi::Critical);
}

bool F_SelezioneStampante::prnDocs_KeyDown(int tasto)
{
    if (tasto == Qt::Key_Delete || tasto == Qt::Key_Backspace) {
        m_ui->prnDocs->setEditText(QString());
        prnDocs_Click();
        return true;
    }
    // Moving through the list and leaving the box still work from the keyboard.
    switch (tasto) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_F4:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Escape:
        return false;
    default:
        break;
    }
    return true;
}

bool F_SelezioneStampante::eventFilter(QObject* oggetto, QEvent* evento)
{
    if (evento->type() == QEvent::KeyPress
        && (oggetto == m_ui->prnDocs || oggetto == m_ui->prnDocs->lineEdit())) {
        const auto* tasto = static_cast<QKeyEvent*>(evento);
        return prnDocs_KeyDown(tasto->key());
    }
    return QDialog::eventFilter(oggetto, evento);
}

void F_SelezioneStampante::Fine_Click()
{
    close();
}
