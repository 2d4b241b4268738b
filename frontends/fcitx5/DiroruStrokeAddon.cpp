// The addon library's entry point, kept out of the engine's archive so that
// tests link the engine without it.
#include "DiroruStrokeEngine.h"

FCITX_ADDON_FACTORY(DiroruStrokeFactory);
