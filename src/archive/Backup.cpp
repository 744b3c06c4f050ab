#include "Backup.h"

// Placeholder until the start-up work lands.
void EseguiSalvataggioAutomatico() {}
