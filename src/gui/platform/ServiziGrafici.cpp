#include "ServiziGrafici.h"

#include "gui/archive/Attendere.h"
#include "gui/archive/AttesaLavoro.h"
#include "gui/masterdata/F_Pass.h"
#include "gui/platform/MessaggiQt.h"
#include "platform/Servizi.h"

#include <QDialog>

namespace ServiziGrafici {

void Installa(Servizi& s)
{
    static MessaggiQt dialoghi;
    s.messaggi = &dialoghi;
    s.attesaOccupato = [] { Attendere::RiavviaAttesa(); };
    s.attendiLavoro = AttendiLavoroConFinestra;
    s.chiediPassword = [](const QString& archivio) {
        F_Pass prompt(archivio);
        return prompt.exec() == QDialog::Accepted;
    };
}

} // namespace ServiziGrafici
