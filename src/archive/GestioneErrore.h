#pragma once

#include <QString>

#include <functional>

namespace Module1 {

bool ErroreOccupato(int numero);

// The shared error routine: yes = repeat the failed step, no = go on with the next one.
// A damaged archive is said (once per user action) and the step skipped.
// A missing table of `archivio` is created first. Its counters are servizi().errori.
bool GestioneErrore(int numero, const QString& descrizione, const QString& archivio = {});

} // namespace Module1

// Runs one archive step under GestioneErrore, repeating it while the routine answers yes.
// True when the step ran to its end; false when it was skipped.
bool EseguiPasso(const std::function<void()>& passo);

// The simpler lock handling of the settings and creation code: a busy archive shows the wait
// window and the step is repeated at once, without counting; any other error skips the step.
// True when the step ran to its end. The last error skipped is kept for the caller.
bool EseguiConAttesa(
    const std::function<void()>& passo, int* numeroErrore = nullptr, QString* descrizioneErrore = nullptr);
