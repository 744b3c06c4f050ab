#pragma once

// The automatic backup at the main window's load, when switched on in the settings.
void EseguiSalvataggioAutomatico();
