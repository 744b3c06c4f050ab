#pragma once

#include <functional>

// The windows of different folders reach each other through these hooks, so the start-up code
// does not depend on the diary and the tests can watch the hand-over.
namespace Finestre {

// Shows the main window for PercorsoArchivio (registered by the program at start).
void ImpostaApriPrincipale(std::function<void()> apri);
void ApriPrincipale();

// Shows the archive selection window again (after "Disconnetti").
void ImpostaApriSelezione(std::function<void()> apri);
void ApriSelezione();

} // namespace Finestre
