#pragma once

// When the main window reloads its lists and rebuilds its grid on becoming active again: only when
// the user comes back to it from another window of this program (a table window, the employee
// card, the settings window, the calendar), because master data may have changed there. Message
// and input boxes, the busy-archive window and other applications do not count: coming back from
// them changes nothing. The calendar raises a one-shot flag on closing that spares the grid one
// rebuild (picking a date changes no data).
class RegolaRientro
{
public:
    enum class Finestra {
        Principale,
        Programma, // a window of the program that may change data
        Calendario,
        Passeggera, // message, input and file boxes, the busy-archive window, popups
        Esterna, // another application (no active window of ours)
    };

    struct Esito
    {
        bool rientro = false; // reload the lists (Form_Activate)
        bool ricostruisci = false; // and rebuild the grid
    };

    // `saltaRicostruzione` is the calendar's one-shot flag; consumed on every return.
    explicit RegolaRientro(bool& saltaRicostruzione);

    // `finestra` became the active window.
    Esito Attivata(Finestra finestra);
    // A window of the program closed (or was hidden); `versoPrincipale` when the activation goes
    // back to the main window (its owner), not to another window of ours.
    Esito Chiusa(Finestra finestra, bool versoPrincipale);

    // A window of ours was left for a return that has not happened yet.
    bool inSospeso() const { return m_lasciata != Finestra::Principale; }

private:
    Esito rientra();

    bool& m_salta;
    Finestra m_lasciata = Finestra::Principale;
};
