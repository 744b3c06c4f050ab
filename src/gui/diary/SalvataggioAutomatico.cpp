#include "SalvataggioAutomatico.h"

#include "archive/Backup.h"
#include "archive/LavoroInSottofondo.h"

#include <QLabel>
#include <QMainWindow>
#include <QProgressBar>
#include <QStatusBar>

namespace {
constexpr int DurataNotaMs = 10000;
}

SalvataggioAutomatico* SalvataggioAutomatico::Prepara(const QString& archivio, QMainWindow* finestra)
{
    LavoroInSottofondo* lavoro = PreparaSalvataggioAutomatico(archivio);
    return lavoro ? new SalvataggioAutomatico(finestra, lavoro) : nullptr;
}

SalvataggioAutomatico::SalvataggioAutomatico(QMainWindow* finestra, LavoroInSottofondo* lavoro)
    : QObject(finestra)
    , m_finestra(finestra)
    , m_lavoro(lavoro)
    , m_etichetta(new QLabel(finestra))
    , m_barra(new QProgressBar(finestra))
{
    m_lavoro->setParent(this);
    m_barra->setRange(0, 100);
    m_barra->setMaximumWidth(180);
    m_barra->setAccessibleName(QStringLiteral("Avanzamento del salvataggio automatico"));
    QStatusBar* stato = finestra->statusBar();
    stato->addPermanentWidget(m_etichetta);
    stato->addPermanentWidget(m_barra);
    m_etichetta->hide();
    m_barra->hide();
    connect(m_lavoro, &LavoroInSottofondo::avanzamento, m_barra, &QProgressBar::setValue);
    connect(m_lavoro, &LavoroInSottofondo::terminato, this, &SalvataggioAutomatico::concluso);
}

void SalvataggioAutomatico::inizia()
{
    if (m_lavoro->avviato())
        return;
    m_etichetta->setText(QStringLiteral("Salvataggio automatico dell'archivio in corso..."));
    m_etichetta->setStyleSheet(QString());
    m_etichetta->show();
    m_barra->setValue(0);
    m_barra->show();
    m_lavoro->avvia();
}

void SalvataggioAutomatico::ferma()
{
    m_lavoro->annulla();
}

void SalvataggioAutomatico::concluso(bool riuscito)
{
    m_barra->hide();
    if (riuscito) {
        m_etichetta->hide();
        m_finestra->statusBar()->showMessage(
            QStringLiteral("Salvataggio automatico dell'archivio completato."), DurataNotaMs);
        return;
    }
    if (m_lavoro->annullato()) {
        m_etichetta->hide();
        return;
    }
    // A failure stays in sight: the user must know the day has no backup.
    m_etichetta->setStyleSheet(QStringLiteral("color: #A00000;"));
    m_etichetta->setText(
        QStringLiteral("Salvataggio automatico non riuscito: ") + m_lavoro->descrizioneErrore());
    m_etichetta->setToolTip(m_etichetta->text());
}

QString SalvataggioAutomatico::testoStato() const
{
    const QString nota = m_finestra->statusBar()->currentMessage();
    if (!nota.isEmpty())
        return nota;
    return m_etichetta->isVisibleTo(m_finestra) ? m_etichetta->text() : QString();
}
