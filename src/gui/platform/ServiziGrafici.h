#pragma once

struct Servizi;

// The windows' versions of the services the core cannot fall back on by itself: real dialogs, the
// busy window, the password prompt and the progress window. The program installs them at start;
// a test of a window installs them and then replaces the ones it watches.
namespace ServiziGrafici {
void Installa(Servizi& servizi);
}
