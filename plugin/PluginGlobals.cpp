#include "PluginGlobals.h"

const void* ZKbCmdSendKeyEvent_Destroy = nullptr;
