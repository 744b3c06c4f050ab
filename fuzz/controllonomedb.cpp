// ControlloNomeDbOk: a name it accepts has only the allowed characters and at least one letter or
// digit; a name it refuses for a character says which one, at most once.
#include "FuzzComune.h"

#include "archive/Percorsi.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, size_t dimensione)
{
    MessaggiMuti& muti = messaggiMuti();
    const QString nome = TestoDaByte(dati, dimensione);
    const bool ok = Percorsi::ControlloNomeDbOk(nome);

    static const QString ammessi = QStringLiteral("_- ()");
    bool soloAmmessi = true;
    bool unaLetteraOCifra = false;
    for (QChar c : nome) {
        if (c.isLetterOrNumber())
            unaLetteraOCifra = true;
        else if (!ammessi.contains(c))
            soloAmmessi = false;
    }
    VERIFICA(muti.messaggi <= 1, nome);
    if (ok) {
        VERIFICA(muti.messaggi == 0, nome);
        VERIFICA(unaLetteraOCifra, nome);
        for (QChar c : nome)
            VERIFICA(!c.isSurrogate() && (c.isLetterOrNumber() || ammessi.contains(c)), nome);
    } else if (muti.messaggi == 1) {
        VERIFICA(muti.ultimo.startsWith(QStringLiteral("Il Carattere ")), nome);
        VERIFICA(muti.ultimo.endsWith(QStringLiteral(" non è ammesso")), nome);
    } else {
        VERIFICA(!unaLetteraOCifra || !soloAmmessi, nome);
    }
    return 0;
}
