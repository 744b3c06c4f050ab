#include "LavoroInSottofondo.h"

#include "platform/Servizi.h"

#include <QEventLoop>

#include "archive/ErroreArchivio.h"

#include <QMutex>
#include <QSet>
#include <QThread>

#include <cstdlib>

namespace {

// The works running, so that a program ending with exit() stops them before the process goes.
QMutex g_muteAttivi;
QSet<LavoroInSottofondo*> g_attivi;

void fermaTutti()
{
    QList<LavoroInSottofondo*> attivi;
    {
        const QMutexLocker blocco(&g_muteAttivi);
        attivi = g_attivi.values();
    }
    for (LavoroInSottofondo* l : attivi)
        l->annulla();
}

} // namespace

LavoroInSottofondo::LavoroInSottofondo(Lavoro lavoro, QObject* parent)
    : QObject(parent)
    , m_lavoro(std::move(lavoro))
{ }

LavoroInSottofondo::~LavoroInSottofondo()
{
    annulla();
    delete m_thread;
}

void LavoroInSottofondo::avvia()
{
    if (m_thread)
        return;
    static const bool registrato = [] {
        std::atexit(fermaTutti);
        return true;
    }();
    Q_UNUSED(registrato);
    {
        const QMutexLocker blocco(&g_muteAttivi);
        g_attivi.insert(this);
    }
    m_thread = QThread::create([this] { esegui(); });
    connect(m_thread, &QThread::finished, this, &LavoroInSottofondo::chiudi);
    m_thread->start(QThread::LowPriority);
}

void LavoroInSottofondo::esegui()
{
    const Avanzamento passo = [this](int percento) {
        if (m_percento.exchange(percento) != percento)
            emit avanzamento(percento);
        if (m_sosta)
            m_sosta();
        return !m_annulla.load();
    };
    try {
        if (m_annulla.load())
            throw ErroreArchivio(CodiciErrore::Annullato, QStringLiteral("Operazione annullata."));
        m_lavoro(passo);
    } catch (const ErroreArchivio& e) {
        m_numeroErrore = e.numero();
        m_descrizioneErrore = e.descrizione();
    } catch (const std::exception& e) {
        m_numeroErrore = CodiciErrore::Generico;
        m_descrizioneErrore = QString::fromLocal8Bit(e.what());
    }
    m_concluso.store(true);
}

void LavoroInSottofondo::chiudi()
{
    {
        const QMutexLocker blocco(&g_muteAttivi);
        g_attivi.remove(this);
    }
    if (m_segnalato)
        return;
    m_segnalato = true;
    emit terminato(riuscito());
}

void LavoroInSottofondo::annulla()
{
    if (!m_thread)
        return;
    m_annulla.store(true);
    attendi();
}

void LavoroInSottofondo::attendi()
{
    if (!m_thread || m_thread == QThread::currentThread())
        return;
    m_thread->wait();
    const QMutexLocker blocco(&g_muteAttivi);
    g_attivi.remove(this);
}

bool LavoroInSottofondo::inCorso() const
{
    return m_thread && !m_concluso.load();
}

bool LavoroInSottofondo::annullato() const
{
    return concluso() && m_numeroErrore == CodiciErrore::Annullato;
}

void AttendiLavoro(LavoroInSottofondo& lavoro, const QString& testo)
{
    if (servizi().attendiLavoro) {
        servizi().attendiLavoro(lavoro, testo);
        return;
    }
    QEventLoop ciclo;
    QObject::connect(&lavoro, &LavoroInSottofondo::terminato, &ciclo, &QEventLoop::quit);
    lavoro.avvia();
    ciclo.exec();
}
