#pragma once

#include <QFlags>
#include <QString>

// Every message, question, input box and file or folder pick goes through one door, so
// tests can script the answers and no window blocks a headless run. The buttons and icons are
// this door's own (their values match the system dialog's, which the real one passes on).
class Messaggi
{
public:
    enum Pulsante : unsigned {
        NoButton = 0,
        Ok = 0x00000400,
        Yes = 0x00004000,
        No = 0x00010000,
        Abort = 0x00040000,
        Retry = 0x00080000,
        Ignore = 0x00100000,
        Cancel = 0x00400000,
    };
    Q_DECLARE_FLAGS(Pulsanti, Pulsante)
    using Risposta = Pulsante;
    enum Icona { NoIcon = 0, Information = 1, Warning = 2, Critical = 3, Question = 4 };

    virtual ~Messaggi() = default;

    virtual Risposta Messaggio(const QString& testo, Pulsanti pulsanti = Ok, Icona icona = NoIcon,
        const QString& titolo = {}, Risposta predefinito = NoButton)
        = 0;
    // The text typed, or "" when the user cancels (as an input box always did).
    virtual QString InputBox(
        const QString& richiesta, const QString& titolo = {}, const QString& predefinito = {})
        = 0;
    // The chosen file, or "" on cancel. `cartella` may end with a file name, which is proposed.
    virtual QString ApriFile(const QString& titolo, const QString& cartella, const QString& filtro) = 0;
    // The chosen file to write, or "" on cancel; `filtroScelto` gets the line of `filtro` chosen.
    virtual QString SalvaFile(const QString& titolo, const QString& percorsoProposto, const QString& filtro,
        QString* filtroScelto = nullptr)
        = 0;
    // The chosen folder without a trailing separator, or "" on cancel.
    virtual QString ScegliCartella(const QString& titolo, const QString& cartellaIniziale) = 0;
    // A short beep for refused keystrokes.
    virtual void Beep() = 0;

    static QString TitoloPredefinito();
};
Q_DECLARE_OPERATORS_FOR_FLAGS(Messaggi::Pulsanti)

// Without a display (command-line jobs): texts go to the error stream, questions take the safe
// answer (the default button, else Cancel, else No, else the first), every pick is cancelled.
class MessaggiTerminale : public Messaggi
{
public:
    Risposta Messaggio(const QString& testo, Pulsanti pulsanti, Icona icona, const QString& titolo,
        Risposta predefinito) override;
    QString InputBox(const QString& richiesta, const QString& titolo, const QString& predefinito) override;
    QString ApriFile(const QString& titolo, const QString& cartella, const QString& filtro) override;
    QString SalvaFile(const QString& titolo, const QString& percorsoProposto, const QString& filtro,
        QString* filtroScelto = nullptr) override;
    QString ScegliCartella(const QString& titolo, const QString& cartellaIniziale) override;
    void Beep() override { }
};

// The implementation in use: the services' one, else MessaggiTerminale.
Messaggi& messaggi();
// Installs `m` (not owned) in the services; nullptr goes back to the terminal one.
void impostaMessaggi(Messaggi* m);
