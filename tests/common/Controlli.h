#pragma once

#include <QWidget>

// A named control the test cannot do without: its absence ends the test at once.
template <typename T> T* figlio(QWidget* f, const char* nome)
{
    T* trovato = f->findChild<T*>(QLatin1String(nome));
    if (!trovato)
        qFatal("controllo mancante: %s", nome);
    return trovato;
}

template <typename T> T* figlio(QWidget& f, const char* nome)
{
    return figlio<T>(&f, nome);
}

// The short name, where `w` is not already the window.
template <typename T> T* w(QWidget* f, const char* nome)
{
    return figlio<T>(f, nome);
}
