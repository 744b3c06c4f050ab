#pragma once

#include "platform/Messaggi.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// What every fuzz target shares: a message door that answers without a window and counts, the
// input bytes as text, and a failed invariant that stops the run with the input's text.
class MessaggiMuti : public Messaggi
{
public:
    Risposta Messaggio(const QString& testo, Pulsanti, Icona, const QString&, Risposta predefinito) override
    {
        ++messaggi;
        ultimo = testo;
        return predefinito == Messaggi::NoButton ? Messaggi::Ok : predefinito;
    }
    QString InputBox(const QString&, const QString&, const QString&) override { return {}; }
    QString ApriFile(const QString&, const QString&, const QString&) override { return {}; }
    QString SalvaFile(const QString&, const QString&, const QString&, QString*) override { return {}; }
    QString ScegliCartella(const QString&, const QString&) override { return {}; }
    void Beep() override { }

    int messaggi = 0;
    QString ultimo;
};

// Installed once; the count starts again for every input.
inline MessaggiMuti& messaggiMuti()
{
    static MessaggiMuti muti;
    static const bool installato = (impostaMessaggi(&muti), true);
    (void)installato;
    muti.messaggi = 0;
    muti.ultimo.clear();
    return muti;
}

// An odd first byte reads the rest as raw UTF-16 (lone surrogates included, as a keyboard or a
// damaged file can give them), an even one as UTF-8.
inline QString TestoDaByte(const uint8_t* dati, size_t dimensione)
{
    if (dimensione == 0)
        return {};
    const char* resto = reinterpret_cast<const char*>(dati + 1);
    const size_t n = dimensione - 1;
    if (dati[0] & 1) {
        QString t(qsizetype(n / 2), Qt::Uninitialized);
        for (size_t i = 0; i < n / 2; ++i)
            t[qsizetype(i)] = QChar(char16_t(uint8_t(resto[2 * i]) | (uint8_t(resto[2 * i + 1]) << 8)));
        return t;
    }
    return QString::fromUtf8(resto, qsizetype(n));
}

[[noreturn]] inline void Violazione(const char* regola, const QString& ingresso)
{
    std::fprintf(stderr, "Invariante violata: %s\nIngresso: \"%s\"\n", regola, qUtf8Printable(ingresso));
    std::abort();
}

#define VERIFICA(condizione, ingresso)                                                                       \
    do {                                                                                                     \
        if (!(condizione))                                                                                   \
            Violazione(#condizione, ingresso);                                                               \
    } while (false)
