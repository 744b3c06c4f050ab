#include "ConversioniJet.h"

#include <QDate>
#include <QStringDecoder>
#include <QTime>

#include <cmath>

namespace ConversioniJet {

namespace {

// Jet's own limits: the days from 1 January 100 to 31 December 9999.
constexpr double PrimoGiorno = -657434.0;
constexpr double DopoUltimoGiorno = 2958466.0;

// The bytes 80-9F of code page 1252; the five it leaves out stay the control characters they
// are in Latin-1, as Windows reads them.
constexpr char16_t Cp1252Alti[32] = { 0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6,
    0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178 };

QString testo1252(QByteArrayView byte)
{
    QString r(byte.size(), Qt::Uninitialized);
    QChar* d = r.data();
    for (const char c : byte) {
        const auto b = static_cast<unsigned char>(c);
        *d++ = QChar(b >= 0x80 && b < 0xA0 ? Cp1252Alti[b - 0x80] : char16_t(b));
    }
    return r;
}

QString utf16(QByteArrayView byte)
{
    const qsizetype n = byte.size() / 2; // an odd last byte is no character
    QString r(n, Qt::Uninitialized);
    QChar* d = r.data();
    for (qsizetype i = 0; i < n; ++i)
        d[i] = QChar(char16_t(
            static_cast<unsigned char>(byte[2 * i]) | (static_cast<unsigned char>(byte[2 * i + 1]) << 8)));
    return r;
}

QString compresso(QByteArrayView byte)
{
    QString r;
    r.reserve(byte.size());
    bool unByte = true;
    for (qsizetype i = 0; i < byte.size();) {
        const auto b = static_cast<unsigned char>(byte[i]);
        if (b == 0) {
            unByte = !unByte;
            ++i;
        } else if (unByte) {
            r.append(QChar(char16_t(b)));
            ++i;
        } else if (i + 1 < byte.size()) {
            r.append(QChar(char16_t(b | (static_cast<unsigned char>(byte[i + 1]) << 8))));
            i += 2;
        } else {
            break;
        }
    }
    return r;
}

QByteArray nomeCodifica(int codePagina)
{
    return "windows-" + QByteArray::number(codePagina);
}

} // namespace

QString Data(double giorni)
{
    if (!std::isfinite(giorni) || giorni >= DopoUltimoGiorno)
        return {};
    double intero = std::trunc(giorni);
    if (intero < PrimoGiorno)
        return {};
    qint64 secondi = std::llround(std::fabs(giorni - intero) * 86400.0);
    if (secondi >= 86400) { // rounded up to the next midnight
        secondi -= 86400;
        intero += 1;
    }
    const QDate giorno = QDate(1899, 12, 30).addDays(qint64(intero));
    if (!giorno.isValid() || giorno.year() > 9999)
        return {};
    const QString d = giorno.toString(QStringLiteral("yyyy-MM-dd"));
    if (secondi == 0)
        return d;
    return d + QLatin1Char(' ') + QTime(0, 0).addSecs(int(secondi)).toString(QStringLiteral("HH:mm:ss"));
}

QString Testo(QByteArrayView byte, bool jet4, int codePagina)
{
    if (jet4) {
        if (byte.size() >= 2 && static_cast<unsigned char>(byte[0]) == 0xFF
            && static_cast<unsigned char>(byte[1]) == 0xFE)
            return compresso(byte.sliced(2));
        return utf16(byte);
    }
    if (codePagina == 0 || codePagina == 1252)
        return testo1252(byte);
    QStringDecoder decodifica(nomeCodifica(codePagina).constData());
    if (!decodifica.isValid())
        return testo1252(byte);
    return decodifica(byte);
}

bool CodePaginaNota(int codePagina)
{
    return codePagina == 0 || codePagina == 1252
        || QStringDecoder(nomeCodifica(codePagina).constData()).isValid();
}

} // namespace ConversioniJet
