#include "RegolaRientro.h"

RegolaRientro::RegolaRientro(bool& saltaRicostruzione)
    : m_salta(saltaRicostruzione)
{ }

RegolaRientro::Esito RegolaRientro::rientra()
{
    Esito e;
    if (m_lasciata != Finestra::Principale) {
        e.rientro = true;
        // The flag spares a rebuild only when the calendar itself hands back to the main window:
        // a calendar opened from the employee card must not swallow the rebuild due when the
        // card closes.
        e.ricostruisci = !(m_lasciata == Finestra::Calendario && m_salta);
        m_salta = false;
    }
    m_lasciata = Finestra::Principale;
    return e;
}

RegolaRientro::Esito RegolaRientro::Attivata(Finestra finestra)
{
    switch (finestra) {
    case Finestra::Principale:
        return rientra();
    case Finestra::Programma:
    case Finestra::Calendario:
        m_lasciata = finestra;
        break;
    case Finestra::Passeggera:
    case Finestra::Esterna:
        break;
    }
    return {};
}

RegolaRientro::Esito RegolaRientro::Chiusa(Finestra finestra, bool versoPrincipale)
{
    // A window closed while the main window was the active one was never returned from.
    if ((finestra != Finestra::Programma && finestra != Finestra::Calendario) || !inSospeso())
        return {};
    if (versoPrincipale)
        return rientra();
    // Back to the window that opened it, which is ours and was left for it.
    if (finestra == Finestra::Calendario)
        m_salta = false;
    m_lasciata = Finestra::Programma;
    return {};
}
