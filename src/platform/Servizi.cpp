#include "Servizi.h"

Servizi& servizi()
{
    static Servizi s;
    return s;
}
