#pragma once

#include "AmbienteTest.h"

#include <QWidget>

// A named child the test cannot do without.
template<typename T>
T* w(QWidget* f, const char* nome)
{
    T* trovato = f->findChild<T*>(QLatin1String(nome));
    if (!trovato)
        qFatal("manca %s", nome);
    return trovato;
}

// "Dipendente 01", "Dipendente 02", ...
inline QString Nome(int i)
{
    return QStringLiteral("Dipendente %1").arg(i, 2, 10, QLatin1Char('0'));
}

// Active employees C01, C02, ... named Nome(1), Nome(2), ...; their keys are 1, 2, ...
inline void Dipendenti(AmbienteTest& amb, int quanti)
{
    for (int i = 1; i <= quanti; ++i)
        amb.sql(QStringLiteral("INSERT INTO TabellaAnagrafiche (Codice, RagSociale, Attivo) VALUES (?, ?, 1)"),
                {QStringLiteral("C%1").arg(i, 2, 10, QLatin1Char('0')), Nome(i)});
}
