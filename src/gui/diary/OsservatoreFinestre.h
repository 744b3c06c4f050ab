#pragma once

#include "diary/RegolaRientro.h"

#include <QObject>

class QWidget;
class QWindow;

// Watches the program's windows for the main window and says when the user came back to it from
// one of them (RegolaRientro decides whether that reloads and rebuilds). Any top-level window
// that is not a message, input or file box, the busy-archive window or a popup counts, once it
// has been active or when it closes back to the main window. A later window needs nothing
// special; one that must not cause a rebuild sets the property "CartaviaPasseggera" to true.
class OsservatoreFinestre : public QObject
{
    Q_OBJECT

public:
    // A child of `principale`. `saltaRicostruzione` is the calendar's one-shot flag (see
    // RegolaRientro).
    OsservatoreFinestre(QWidget* principale, bool& saltaRicostruzione);

    // Watches a window opened from the main window, also before it has been active.
    void osserva(QWidget* finestra);
    // Stops watching a window handed over to another main window.
    void dimentica(QWidget* finestra);
    // The return from `finestra` done at once, for windows that closed without the window system
    // ever reporting them active.
    void rientraDa(RegolaRientro::Finestra finestra);

signals:
    // The user is back on the main window: reload its lists, and rebuild the grid when
    // `ricostruisci`. Only while the main window is shown.
    void rientro(bool ricostruisci);

protected:
    bool eventFilter(QObject* oggetto, QEvent* evento) override;

private:
    void applicaEsito(RegolaRientro::Esito esito);
    void finestraAttivaCambiata(QWindow* finestra);
    RegolaRientro::Finestra classifica(QWidget* finestra) const;

    QWidget* const m_principale;
    RegolaRientro m_regola;
};
