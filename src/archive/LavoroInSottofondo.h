#pragma once

#include <QObject>
#include <QString>

#include <atomic>
#include <functional>

class QThread;

// Whole-file work (a backup, a full check) on a thread of its own, so the window that started it
// keeps working. The work uses connections of its own and reports its progress through the
// function it is given, whose answer tells it whether to go on; it fails by throwing
// ErroreArchivio and then leaves nothing half done behind. Destroying the object, or the program
// ending, stops the work and waits until it has cleaned up.
class LavoroInSottofondo : public QObject
{
    Q_OBJECT

public:
    // Progress 0-100; false: stop as soon as possible.
    using Avanzamento = std::function<bool(int percento)>;
    using Lavoro = std::function<void(const Avanzamento&)>;

    explicit LavoroInSottofondo(Lavoro lavoro, QObject* parent = nullptr);
    ~LavoroInSottofondo() override;

    void avvia();
    // Asks the work to stop and waits until it has.
    void annulla();
    // Waits for the end without letting window events run (command-line use).
    void attendi();

    bool avviato() const { return m_thread != nullptr; }
    bool inCorso() const;
    bool concluso() const { return m_concluso.load(); }
    bool riuscito() const { return concluso() && m_numeroErrore == 0; }
    bool annullato() const;
    // The failure's number and Italian description (0 and "" when it ran to its end).
    int numeroErrore() const { return m_numeroErrore; }
    const QString& descrizioneErrore() const { return m_descrizioneErrore; }
    int percento() const { return m_percento.load(); }
    bool annullamentoRichiesto() const { return m_annulla.load(); }

    // Called on the work's thread at every progress report: tests hold the work there.
    void impostaSosta(std::function<void()> sosta) { m_sosta = std::move(sosta); }

signals:
    void avanzamento(int percento);
    // Once, on the thread that owns the object, when the work has ended in any way.
    void terminato(bool riuscito);

private:
    void esegui();
    void chiudi();

    Lavoro m_lavoro;
    std::function<void()> m_sosta;
    QThread* m_thread = nullptr;
    std::atomic<bool> m_annulla { false };
    std::atomic<bool> m_concluso { false };
    std::atomic<int> m_percento { 0 };
    bool m_segnalato = false;
    int m_numeroErrore = 0;
    QString m_descrizioneErrore;
};

// Starts `lavoro` (not started yet) and waits for its end: through the services' wait (a progress
// window with `testo` and "Annulla"), else just waiting, with events still running.
void AttendiLavoro(LavoroInSottofondo& lavoro, const QString& testo);
