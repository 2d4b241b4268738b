#pragma once

// The class identity (word 0) of the host's command objects, captured from the
// first settings command the host sends. Every key command the input widget
// builds carries it. Null until captured.
extern const void* ZKbCmdSendKeyEvent_Destroy;
