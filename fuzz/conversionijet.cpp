// The conversions of an old archive's values, on any bytes a damaged file can hold: a date comes
// back in the archive's ISO form and reads back as the same moment (to the second), or as no
// date exactly when it lies outside Jet's years; a text never reads past its bytes and
// uncompressed UTF-16 or code page 1252 keep one character per code unit or byte.
#include "FuzzComune.h"

#include "archive/ConversioniJet.h"

#include <QDateTime>
#include <QRegularExpression>

#include <cmath>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, size_t dimensione)
{
    const QByteArrayView byte(dati, qsizetype(dimensione));
    const QString ingresso = QString::fromLatin1(byte.toByteArray().toHex());

    unsigned char otto[8] = {};
    std::memcpy(otto, dati, std::min<size_t>(8, dimensione));
    double giorni = 0;
    std::memcpy(&giorni, otto, 8);
    const QString data = ConversioniJet::Data(giorni);
    const bool finito = std::isfinite(giorni);
    if (!finito || std::trunc(giorni) < -657434.0 || giorni >= 2958466.0)
        VERIFICA(data.isNull(), ingresso);
    else if (giorni <= 2958465.9999)
        VERIFICA(!data.isNull(), ingresso);
    if (!data.isNull()) {
        static const QRegularExpression forma(
            QStringLiteral("^\\d{4}-\\d\\d-\\d\\d( \\d\\d:\\d\\d:\\d\\d)?$"));
        VERIFICA(forma.match(data).hasMatch(), ingresso);
        const QDateTime letto
            = QDateTime::fromString(data.size() == 10 ? data + QStringLiteral(" 00:00:00") : data,
                QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        VERIFICA(letto.isValid(), ingresso);
        // The time counts forward from the start of its day, also before 1899.
        const double giorno = double(QDate(1899, 12, 30).daysTo(letto.date()));
        const double letti = giorno + letto.time().msecsSinceStartOfDay() / 86400000.0;
        const double scritti = std::trunc(giorni) + std::fabs(giorni - std::trunc(giorni));
        VERIFICA(std::fabs(letti - scritti) <= 0.5 / 86400 + 1e-6 / 86400 * std::fabs(giorni), ingresso);
    }

    const QString jet4 = ConversioniJet::Testo(byte, true);
    VERIFICA(jet4.size() <= byte.size(), ingresso);
    const bool compresso = dimensione >= 2 && dati[0] == 0xFF && dati[1] == 0xFE;
    if (!compresso) {
        VERIFICA(jet4.size() == byte.size() / 2, ingresso);
        for (qsizetype i = 0; i < jet4.size(); ++i)
            VERIFICA(jet4.at(i).unicode() == (dati[2 * i] | (dati[2 * i + 1] << 8)), ingresso);
    }
    const QString jet3 = ConversioniJet::Testo(byte, false, 1252);
    VERIFICA(jet3.size() == byte.size(), ingresso);
    for (qsizetype i = 0; i < jet3.size(); ++i)
        VERIFICA(dati[i] >= 0x80 ? jet3.at(i).unicode() >= 0x80 : jet3.at(i).unicode() == dati[i], ingresso);
    return 0;
}
