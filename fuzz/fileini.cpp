// The profile-file reader on any bytes: a value is at most 255 characters and one line, and a
// value written by the writer's rules is found again.
#include "FuzzComune.h"

#include "platform/FileIni.h"

#include <QByteArray>
#include <QList>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, size_t dimensione)
{
    const QByteArray contenuto(reinterpret_cast<const char*>(dati), qsizetype(dimensione));
    // The section and key asked for come from the input too: the first two lines.
    const QList<QByteArray> righe = contenuto.split('\n');
    const QString sezione = QString::fromUtf8(righe.value(0)).trimmed();
    const QString chiave = QString::fromUtf8(righe.value(1)).trimmed();
    const QString valore = FileIni::LeggiDaTesto(contenuto, sezione, chiave);
    VERIFICA(valore.size() <= 255, valore);
    VERIFICA(!valore.contains(QLatin1Char('\n')) && !valore.contains(QLatin1Char('\r')), valore);
    VERIFICA(FileIni::LeggiDaTesto(contenuto, QStringLiteral("Database"), QStringLiteral("Percorso")).size()
            <= 255,
        valore);

    // The third line as a value stored under a plain section and key: read back as written
    // (blanks at the ends and one pair of enclosing quotes are not part of a value).
    QString scritto = QString::fromUtf8(righe.value(2)).trimmed();
    scritto.remove(QLatin1Char('\r'));
    const QByteArray file = "[Prova]\nChiave=" + scritto.toUtf8() + "\n[Altra]\nChiave=no\n";
    QString atteso = scritto;
    if (atteso.size() >= 2
        && ((atteso.startsWith(QLatin1Char('"')) && atteso.endsWith(QLatin1Char('"')))
            || (atteso.startsWith(QLatin1Char('\'')) && atteso.endsWith(QLatin1Char('\'')))))
        atteso = atteso.mid(1, atteso.size() - 2);
    const QString letto = FileIni::LeggiDaTesto(file, QStringLiteral("prova"), QStringLiteral("CHIAVE"));
    // Bytes that are not UTF-8 are read as Latin-1, so only a clean UTF-8 value compares.
    if (QString::fromUtf8(scritto.toUtf8()) == scritto && !scritto.contains(QChar(0xFEFF)))
        VERIFICA(letto == atteso.trimmed().left(255) || letto == atteso.left(255), scritto);
    return 0;
}
