#include "Module1.h"

#include "archive/Sessione.h"

#include "archive/Archivio.h"
#include "archive/GestioneErrore.h"
#include "platform/Messaggi.h"
#include "platform/Piattaforma.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlRecord>
#include <QStringList>
#include <QThread>

#include <cmath>
#include <cstdlib>

namespace Module1 {

namespace {
const char* const NomiMesi[] = { "Gennaio", "Febbraio", "Marzo", "Aprile", "Maggio", "Giugno", "Luglio",
    "Agosto", "Settembre", "Ottobre", "Novembre", "Dicembre" };

bool soloCifre(const QString& t)
{
    if (t.isEmpty())
        return false;
    for (QChar c : t)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}

// Fills a "#" mask from the right with the digits of the number, leading zeros dropped, the way
// a numeric format mask does: 010124 with "##/##/##" gives "1/01/24".
QString applicaMaschera(const QString& cifre, const QString& maschera)
{
    QString numero = cifre;
    while (numero.size() > 1 && numero.startsWith(QLatin1Char('0')))
        numero.remove(0, 1);
    if (numero == QLatin1String("0"))
        numero.clear();
    QString risultato;
    qsizetype i = numero.size() - 1;
    int j = int(maschera.size()) - 1;
    for (; j >= 0 && i >= 0; --j) {
        const QChar m = maschera.at(j);
        if (m == QLatin1Char('#'))
            risultato.prepend(numero.at(i--));
        else
            risultato.prepend(m);
    }
    // Separators left of the first digit are not written.
    return risultato;
}
} // namespace

int NumeroMese(const QString& nome)
{
    const QString minuscolo = nome.toLower();
    for (int i = 0; i < 12; ++i)
        if (minuscolo == QString::fromLatin1(NomiMesi[i]).toLower())
            return i + 1;
    return 0;
}

QString NomeMese(int numero)
{
    if (numero < 1 || numero > 12)
        return {};
    return QString::fromLatin1(NomiMesi[numero - 1]);
}

QString NomeMese(const QString& numero)
{
    bool ok = false;
    const int n = numero.trimmed().toInt(&ok);
    return ok ? NomeMese(n) : QString();
}

QString NomeGiorno(int numero)
{
    switch (numero) {
    case 1:
        return QStringLiteral("Domenica");
    case 2:
        return QStringLiteral("Lunedì");
    case 3:
        return QStringLiteral("Martedì");
    case 4:
        return QStringLiteral("Mercoledì");
    case 5:
        return QStringLiteral("Giovedì");
    case 6:
        return QStringLiteral("Venerdì");
    case 7:
        return QStringLiteral("Sabato");
    default:
        return {};
    }
}

int NumeroGiornoSettimana(const QDate& data)
{
    return data.dayOfWeek() % 7 + 1;
}

QDate LeggiData(const QString& testo)
{
    const QString t = testo.trimmed();
    if (t.isEmpty() || t.size() > 10)
        return {};
    QChar separatore;
    for (QChar c : t) {
        if (c == QLatin1Char('/') || c == QLatin1Char('-') || c == QLatin1Char('.')) {
            separatore = c;
            break;
        }
    }
    if (separatore.isNull())
        return {};
    const QStringList parti = t.split(separatore);
    if (parti.size() != 3)
        return {};
    for (const QString& p : parti)
        if (!soloCifre(p) || p.size() > 4)
            return {};
    if (parti.at(0).size() > 2 || parti.at(1).size() > 2)
        return {};
    const int giorno = parti.at(0).toInt();
    const int mese = parti.at(1).toInt();
    int anno = parti.at(2).toInt();
    // Two-digit years fall in 1930..2029, as the system's date window reads them.
    if (parti.at(2).size() <= 2)
        anno += anno < 30 ? 2000 : 1900;
    else if (anno < 100)
        return {};
    return QDate(anno, mese, giorno);
}

QString FormattaData(const QDate& data)
{
    if (!data.isValid())
        return {};
    return QStringLiteral("%1/%2/%3")
        .arg(data.day(), 2, 10, QLatin1Char('0'))
        .arg(data.month(), 2, 10, QLatin1Char('0'))
        .arg(data.year(), 4, 10, QLatin1Char('0'));
}

QString FormattaNumero(double valore)
{
    if (!std::isfinite(valore))
        return QStringLiteral("0");
    QString t = QString::number(valore, 'f', 10);
    if (t.contains(QLatin1Char('.'))) {
        while (t.endsWith(QLatin1Char('0')))
            t.chop(1);
        if (t.endsWith(QLatin1Char('.')))
            t.chop(1);
    }
    if (t == QLatin1String("-0"))
        t = QStringLiteral("0");
    t.replace(QLatin1Char('.'), QLatin1Char(','));
    return t;
}

QString ControllaData(QString& testo)
{
    const QString digitato = testo;
    if (!LeggiData(testo).isValid()) {
        if (testo.size() == 6 && soloCifre(testo))
            testo = applicaMaschera(testo, QStringLiteral("##/##/##"));
        else if (testo.size() == 8 && soloCifre(testo))
            testo = applicaMaschera(testo, QStringLiteral("##/##/####"));
    }
    const QDate data = LeggiData(testo);
    if (data.isValid()) {
        testo = FormattaData(data);
        return testo;
    }
    // A half-masked text ("99/99/99", or "2" from "000002") is neither what was typed nor a date:
    // the user gets back what they typed to correct.
    testo = digitato;
    if (!testo.isEmpty())
        messaggi().Messaggio(QStringLiteral("La data non è corretta"), Messaggi::Ok, Messaggi::Critical,
            QStringLiteral("DATA"));
    return testo;
}

QString DuplicaApici(const QString& testo)
{
    QString r;
    r.reserve(testo.size() + 4);
    for (QChar c : testo) {
        r.append(c);
        if (c == QLatin1Char('\''))
            r.append(c);
    }
    return r;
}

double ValoreNumerico(const QString& testo)
{
    bool negativo = false;
    bool virgola = false;
    QString tenuto;
    for (QChar c : testo) {
        if (c == QLatin1Char('-')) {
            negativo = !negativo;
        } else if (c == QLatin1Char(',')) {
            if (!virgola) {
                virgola = true;
                tenuto.append(QLatin1Char('.'));
            }
        } else if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            tenuto.append(c);
        }
    }
    if (tenuto.isEmpty() || tenuto == QLatin1String("."))
        return 0.0;
    const QByteArray latino = tenuto.toLatin1();
    const double valore = std::strtod(latino.constData(), nullptr);
    // Hundreds of digits overflow to infinity, which no field, cast or total can take: no number.
    if (!std::isfinite(valore))
        return 0.0;
    return negativo ? -valore : valore;
}

QString SostituisciTesto(const QString& testo, const QString& cerca, const QString& sostituisci)
{
    if (testo.size() < cerca.size() || cerca.isEmpty())
        return testo;
    const qsizetype pos = testo.indexOf(cerca, 0, Qt::CaseInsensitive);
    if (pos < 0)
        return testo;
    return testo.left(pos) + sostituisci + testo.mid(pos + cerca.size());
}

void Pausa(double secondi)
{
    // An elapsed-time clock, not seconds since midnight: a wait across midnight must end too.
    QElapsedTimer orologio;
    orologio.start();
    const qint64 durata = qint64(std::max(0.0, secondi) * 1000.0);
    do {
        if (QCoreApplication::instance())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (orologio.elapsed() < durata)
            QThread::msleep(1);
    } while (orologio.elapsed() < durata);
}

void CaricaConfigurazione(Sessione& sessione)
{
    auto flag = [](const QVariant& v) {
        const int n = v.toInt();
        return (n == -1 || n == 1) ? QString::number(n) : QString();
    };
    EseguiConAttesa([&] {
        Archivio db(sessione.PercorsoArchivio);
        QSqlQuery q = db.esegui(QStringLiteral("select * from configurazioni "));
        if (!q.next())
            return;
        const QString backup = q.value(QStringLiteral("PercorsoBackup")).toString();
        sessione.CartellaBackup = backup.isEmpty() ? Piattaforma::CartellaBackupPredefinita() : backup;
        sessione.VisualizzaLogoStampa = flag(q.value(QStringLiteral("VisualizzaLogo")));
        sessione.VisualizzaIntestazioneStampa = flag(q.value(QStringLiteral("VisualizzaIntestazione")));
    });
}

} // namespace Module1
