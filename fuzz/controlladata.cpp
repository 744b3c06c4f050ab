// ControllaData: the text comes back as a valid "dd/MM/yyyy" date (checked again without change)
// or exactly as typed, with the message whenever something was typed.
#include "FuzzComune.h"

#include "archive/Module1.h"

#include <QRegularExpression>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, size_t dimensione)
{
    MessaggiMuti& muti = messaggiMuti();
    const QString ingresso = TestoDaByte(dati, dimensione);
    QString testo = ingresso;
    const QString risultato = Module1::ControllaData(testo);
    VERIFICA(risultato == testo, ingresso);

    static const QRegularExpression forma(QStringLiteral("^\\d\\d/\\d\\d/\\d\\d\\d\\d$"));
    const QDate data = Module1::LeggiData(risultato);
    if (data.isValid()) {
        VERIFICA(forma.match(risultato).hasMatch(), ingresso);
        VERIFICA(Module1::FormattaData(data) == risultato, ingresso);
        VERIFICA(muti.messaggi == 0, ingresso);
        QString ancora = risultato;
        Module1::ControllaData(ancora);
        VERIFICA(ancora == risultato, ingresso);
    } else {
        VERIFICA(risultato == ingresso, ingresso);
        VERIFICA(muti.messaggi == (ingresso.isEmpty() ? 0 : 1), ingresso);
    }
    return 0;
}
