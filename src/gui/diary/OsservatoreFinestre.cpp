#include "OsservatoreFinestre.h"

#include "gui/archive/Attendere.h"
#include "gui/masterdata/F_Calendario.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QProgressDialog>
#include <QTimer>
#include <QWindow>

namespace {
const char* const ProprietaPasseggera = "CartaviaPasseggera";
const char* const ProprietaOsservata = "CartaviaOsservata";
} // namespace

OsservatoreFinestre::OsservatoreFinestre(QWidget* principale, bool& saltaRicostruzione)
    : QObject(principale)
    , m_principale(principale)
    , m_regola(saltaRicostruzione)
{
    connect(qApp, &QGuiApplication::focusWindowChanged, this, &OsservatoreFinestre::finestraAttivaCambiata);
}

void OsservatoreFinestre::osserva(QWidget* finestra)
{
    if (!finestra || finestra->property(ProprietaOsservata).toBool())
        return;
    finestra->setProperty(ProprietaOsservata, true);
    finestra->installEventFilter(this);
}

void OsservatoreFinestre::dimentica(QWidget* finestra)
{
    finestra->removeEventFilter(this);
    finestra->setProperty(ProprietaOsservata, false);
}

void OsservatoreFinestre::rientraDa(RegolaRientro::Finestra finestra)
{
    applicaEsito(m_regola.Attivata(finestra));
    applicaEsito(m_regola.Chiusa(finestra, true));
}

void OsservatoreFinestre::applicaEsito(RegolaRientro::Esito esito)
{
    if (esito.rientro && m_principale->isVisible())
        emit rientro(esito.ricostruisci);
}

RegolaRientro::Finestra OsservatoreFinestre::classifica(QWidget* finestra) const
{
    using F = RegolaRientro::Finestra;
    if (!finestra)
        return F::Passeggera;
    if (finestra == m_principale)
        return F::Principale;
    if (qobject_cast<F_Calendario*>(finestra))
        return F::Calendario;
    const Qt::WindowType tipo = finestra->windowType();
    if (tipo != Qt::Window && tipo != Qt::Dialog)
        return F::Passeggera;
    if (finestra->property(ProprietaPasseggera).toBool() || qobject_cast<QMessageBox*>(finestra)
        || qobject_cast<QInputDialog*>(finestra) || qobject_cast<QFileDialog*>(finestra)
        || qobject_cast<QProgressDialog*>(finestra) || qobject_cast<Attendere*>(finestra))
        return F::Passeggera;
    return F::Programma;
}

void OsservatoreFinestre::finestraAttivaCambiata(QWindow* finestra)
{
    if (!m_principale->isVisible())
        return;
    if (!finestra) {
        applicaEsito(m_regola.Attivata(RegolaRientro::Finestra::Esterna));
        return;
    }
    QWidget* widget = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->windowHandle() == finestra) {
            widget = w;
            break;
        }
    const RegolaRientro::Finestra tipo = classifica(widget);
    if (tipo == RegolaRientro::Finestra::Programma || tipo == RegolaRientro::Finestra::Calendario)
        osserva(widget);
    applicaEsito(m_regola.Attivata(tipo));
}

bool OsservatoreFinestre::eventFilter(QObject* oggetto, QEvent* evento)
{
    auto* w = qobject_cast<QWidget*>(oggetto);
    if (w && w->isWindow() && w != m_principale && evento->type() == QEvent::Hide) {
        // A window of ours closing hands the activation back to its owner; without a window
        // manager nobody does, so the return is done here once the close is over.
        const RegolaRientro::Finestra tipo = classifica(w);
        QWidget* padre = w->parentWidget();
        const bool versoPrincipale = !padre || padre->window() == m_principale;
        QTimer::singleShot(
            0, this, [this, tipo, versoPrincipale] { applicaEsito(m_regola.Chiusa(tipo, versoPrincipale)); });
    }
    return false;
}
