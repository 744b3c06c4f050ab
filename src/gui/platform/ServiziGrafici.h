#pragma once

struct Servizi;

// The windows' versions of the services: real dialogs, the busy window, the password prompt, the
// progress window, the calendar and the system's printers. The program installs them at start;
// a test of a window installs them and then replaces the ones it watches.
namespace ServiziGrafici {
void Installa(Servizi& servizi);
}
