#include "Finestre.h"

namespace Finestre {

namespace {
std::function<void()>& principale()
{
    static std::function<void()> f;
    return f;
}
std::function<void()>& selezione()
{
    static std::function<void()> f;
    return f;
}
} // namespace

void ImpostaApriPrincipale(std::function<void()> apri)
{
    principale() = std::move(apri);
}

void ApriPrincipale()
{
    if (principale())
        principale()();
}

void ImpostaApriSelezione(std::function<void()> apri)
{
    selezione() = std::move(apri);
}

void ApriSelezione()
{
    if (selezione())
        selezione()();
}

} // namespace Finestre
