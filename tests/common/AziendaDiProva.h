#pragma once

#include "masterdata/Configurazione.h"

// The company header the tests print and show: every field of the header set.
inline Configurazione::Dati AziendaDiProva()
{
    Configurazione::Dati d;
    d.RagSociale = QStringLiteral("Officine Rossi S.r.l.");
    d.Indirizzo = QStringLiteral("Via Roma 1");
    d.Cap = QStringLiteral("23900");
    d.Comune = QStringLiteral("Lecco");
    d.Provincia = QStringLiteral("LC");
    d.Piva = QStringLiteral("01234567890");
    d.CodiceFiscale = QStringLiteral("RSSMRA80A01E507X");
    d.Tel = QStringLiteral("0341 111");
    d.Fax = QStringLiteral("0341 222");
    d.VisualizzaIntestazione = true;
    return d;
}
