#pragma once

// The interfaces between an input-method manager (the host) and the
// DiroruDIV plug-in library. A host includes this header alone.
//
// Binary contract, LP64 Linux, little-endian:
//  - Interfaces are pure abstract classes without data or virtual
//    destructors; their virtual slots are in exactly the order declared here.
//  - The library exports `extern "C" QUnknownInterface* ucm_instantiate()`;
//    its SONAME is libDiroruDIV.so.1.
//  - Command objects start with a pointer-sized class identity (a tag of the
//    host's that the plug-in copies and never dereferences) followed by a
//    32-bit command code; every later word is 32-bit except the widget
//    pointer of the widget request and the window pointer of the window
//    request. The layouts are pinned below.

#include <QList>
#include <QPixmap>
#include <QPoint>
#include <QString>
#include <QUuid>

#include <cstddef>
#include <cstdint>

class QWidget;
class QWindow;

// Result codes of queryInterface.
constexpr uint32_t QRS_SUCCESS = 0;
constexpr uint32_t QE_NOINTERFACE = 0x80000001u;

constexpr QUuid IID_QUnknown(0x1d8518cd, 0xe8f5, 0x4366, 0x99, 0xe8, 0x87, 0x9f, 0xd7, 0xe4, 0x82, 0xde);
constexpr QUuid IID_ZInputMethodInterface(0x637a8a14, 0xaf98, 0x41ce, 0x9c, 0x0e, 0x2b, 0xd1, 0x6e, 0xcd, 0xa8, 0xc7);
constexpr QUuid IID_ZInputMethodFactory(0x637a8a14, 0xaf98, 0x41da, 0x9c, 0x0e, 0x2b, 0xd1, 0x6e, 0xcd, 0xa8, 0xc7);
constexpr QUuid IID_QLibrary(0xd16111d4, 0xe1e7, 0x4c47, 0x85, 0x99, 0x24, 0x48, 0x3d, 0xae, 0x2e, 0x07);

// Manager command codes.
enum ZKB_MGRCMD_T : uint32_t {
    ZKB_MGRCMD_GET_WIDGET = 0,   // host asks for the input widget
    ZKB_MGRCMD_SEND_KEY = 2,     // plug-in sends one key to the keyboard service
    ZKB_MGRCMD_RESET = 1008,     // host resets the input state
    ZKB_MGRCMD_SET_LEARNING = 2001,  // host turns learning off or on (extension, below)
    ZKB_MGRCMD_GET_WINDOW = 2002,    // host without widgets asks for the panel window (extension)
    ZKB_MGRCMD_SET_SCALE = 2003,     // host sizes the panel (extension)
    ZKB_MGRCMD_PANEL_ACTION = 2004,  // host passes a hardware key's effect (extension)
};

// Every command begins with these two words.
template <typename Code>
struct ZCmd {
    const void* classIdentity;
    Code code;
};

// Code 0: the plug-in writes its input widget's address into `widget`.
struct ZKbCmdGetWidget {
    const void* classIdentity;
    ZKB_MGRCMD_T code;
    uint32_t reserved;
    QWidget* widget;
};

// Code 2: one key, built by the plug-in for the duration of executeCmd.
struct ZKbCmdSendKeyEvent {
    const void* classIdentity;
    ZKB_MGRCMD_T code;
    uint32_t unicode;      // 16-bit character widened with zeros
    uint32_t keyCode;      // 0, or 0x1003 for the backspace key
    uint32_t reserved;     // always 0
    bool flag;             // always false
    uint8_t unset[3];
    uint32_t value;        // always 240
};

// Code 2001, an extension of this library's: the host says whether what is
// typed from now on may be learned. With learning off the keyboards still
// show association candidates but record no choice into word.dat, and a
// character chosen while learning was off never becomes the lead of a
// learned pair once it is on again. Learning is on until a host turns it
// off. Hosts that predate the extension never send it; the component answers
// true for 0 (off) and 1 (on), and false for any other value, as it answers
// every code it does not know.
struct ZKbCmdSetLearning {
    const void* classIdentity;
    ZKB_MGRCMD_T code;
    uint32_t learning;     // 0 off, 1 on
};

// Code 2002, an extension: for hosts that run without widgets (a
// QGuiApplication). activate() then creates no widget, code 0 answers false,
// and this command writes the panel's window (a QWindow showing the same
// keyboards) into `window`; false when the component made a widget instead.
// The host shows, hides, sizes and places the window; hiding it closes the
// data files as hiding the widget does.
struct ZKbCmdGetWindow {
    const void* classIdentity;
    ZKB_MGRCMD_T code;
    uint32_t reserved;
    QWindow* window;
};

// Code 2003, an extension: the panel's size as a multiple of 240 x 144, in
// hundredths (100 is the size every host got before; 25 to 1000 accepted,
// false otherwise). The widget's size hint and the window's size follow; the
// keyboards' layout and behaviour do not change.
struct ZKbCmdSetScale {
    const void* classIdentity;
    ZKB_MGRCMD_T code;
    uint32_t hundredths;
};

// Code 2004, an extension: what a hardware key does to the panel, as the
// host's key mapping decided. The plug-in performs `action` with `argument`
// and writes back what the panel then shows: `strokes` typed and the number
// of `candidates` the digits 1, 2, ... choose. ZKB_PANEL_QUERY only reads
// them. False for an unknown action or argument.
enum ZKB_PANEL_ACTION : uint32_t {
    ZKB_PANEL_QUERY = 0,
    ZKB_PANEL_STROKE = 1,     // argument: '1'..'5' for the five strokes, '7' the wildcard
    ZKB_PANEL_CHOOSE = 2,     // argument: 0-based index among the numbered candidates
    ZKB_PANEL_PRIOR = 3,
    ZKB_PANEL_NEXT = 4,
    ZKB_PANEL_BACKSPACE = 5,  // a stroke off the line, else a backspace to the host
    ZKB_PANEL_CLEAR = 6,      // forgets the strokes or the association list
    ZKB_PANEL_KEY_MODE = 7,   // argument: one of the three modes below, shown on the panel
    ZKB_PANEL_KEYBOARD = 8,   // argument: a symbol table 0..3 to show, or -1 for the stroke keyboard
};
enum ZKB_PANEL_KEY_MODE_T : uint32_t {
    ZKB_PANEL_KEYS_OFF = 0,      // pointer only: no numbers on the cells
    ZKB_PANEL_KEYS_STROKES = 1,  // keys enter strokes: candidates numbered
    ZKB_PANEL_KEYS_PASSING = 2,  // keys go to the application
};
struct ZKbCmdPanelAction {
    const void* classIdentity;
    ZKB_MGRCMD_T code;
    uint32_t action;
    int32_t argument;
    uint32_t strokes;      // out
    uint32_t candidates;   // out
    uint32_t reserved;
};

// The key code that accompanies character 8 for a backspace.
constexpr uint32_t ZKB_KEY_BACKSPACE = 0x1003;
constexpr uint32_t ZKB_SEND_KEY_VALUE = 240;

static_assert(sizeof(void*) == 8, "the host ABI is defined for LP64");
static_assert(sizeof(ZCmd<ZKB_MGRCMD_T>) == 16, "command header");
static_assert(offsetof(ZCmd<ZKB_MGRCMD_T>, code) == 8, "command code at byte 8");
static_assert(offsetof(ZKbCmdGetWidget, code) == 8, "command code at byte 8");
static_assert(offsetof(ZKbCmdGetWidget, widget) == 16, "widget pointer at bytes 16-23");
static_assert(sizeof(ZKbCmdGetWidget) == 24, "widget request is 24 bytes");
static_assert(offsetof(ZKbCmdSetLearning, learning) == 12, "learning flag at bytes 12-15");
static_assert(sizeof(ZKbCmdSetLearning) == 16, "learning command is 16 bytes");
static_assert(offsetof(ZKbCmdGetWindow, window) == 16, "window pointer at bytes 16-23");
static_assert(sizeof(ZKbCmdGetWindow) == 24, "window request is 24 bytes");
static_assert(offsetof(ZKbCmdSetScale, hundredths) == 12, "scale at bytes 12-15");
static_assert(sizeof(ZKbCmdSetScale) == 16, "scale command is 16 bytes");
static_assert(offsetof(ZKbCmdPanelAction, action) == 12, "action at bytes 12-15");
static_assert(offsetof(ZKbCmdPanelAction, argument) == 16, "argument at bytes 16-19");
static_assert(offsetof(ZKbCmdPanelAction, strokes) == 20, "strokes at bytes 20-23");
static_assert(offsetof(ZKbCmdPanelAction, candidates) == 24, "candidates at bytes 24-27");
static_assert(sizeof(ZKbCmdPanelAction) == 32, "panel action is 32 bytes");
static_assert(offsetof(ZKbCmdSendKeyEvent, code) == 8, "command code at byte 8");
static_assert(offsetof(ZKbCmdSendKeyEvent, unicode) == 12, "character at bytes 12-15");
static_assert(offsetof(ZKbCmdSendKeyEvent, keyCode) == 16, "key code at bytes 16-19");
static_assert(offsetof(ZKbCmdSendKeyEvent, reserved) == 20, "zero at bytes 20-23");
static_assert(offsetof(ZKbCmdSendKeyEvent, flag) == 24, "false at byte 24");
static_assert(offsetof(ZKbCmdSendKeyEvent, value) == 28, "240 at bytes 28-31");
static_assert(sizeof(ZKbCmdSendKeyEvent) == 32, "key command is 32 bytes");

// Passed to activate; carries nothing.
class ZKbOwner
{
};

class QUnknownInterface
{
public:
    virtual uint32_t queryInterface(const QUuid& id, QUnknownInterface** iface) = 0;
    virtual unsigned long addRef() = 0;
    virtual unsigned long release() = 0;
};

class ZInputMethodInterface : public QUnknownInterface
{
public:
    virtual bool activate(const ZKbOwner& owner, QPoint point) = 0;
    virtual bool hide() = 0;
    virtual QUuid id() = 0;
    virtual QString name() = 0;
    virtual QPixmap icon() = 0;
    virtual bool keyEventFilter(int unicode, int keyCode, int modifiers, bool isPress, bool autoRepeat) = 0;
    virtual bool settingCmd(ZCmd<ZKB_MGRCMD_T>* cmd) = 0;
};

class ZKbServiceInterface
{
public:
    // Receives each key command; the result is not used.
    virtual int executeCmd(ZCmd<ZKB_MGRCMD_T>* cmd) = 0;
};

class ZInputMethodFactory : public QUnknownInterface
{
public:
    virtual bool executeMgrCmd(ZCmd<ZKB_MGRCMD_T>* cmd) = 0;
    virtual void registerService(ZKbServiceInterface* service) = 0;
    virtual void registerInputMethods(QList<ZInputMethodInterface*>* list) = 0;
    virtual QString description() = 0;
};

class QLibraryInterface : public QUnknownInterface
{
public:
    virtual bool init() = 0;
    virtual void cleanup() = 0;
    virtual bool canUnload() const = 0;
};

// A platform widget extension; the input widget overrides sendPackage.
class QPTF
{
public:
    virtual int sendPackage() = 0;
};

// The library's entry point, looked up by name with dlsym.
extern "C" {
typedef QUnknownInterface* (*UcmInstantiateFn)();
}
constexpr const char* UCM_INSTANTIATE_SYMBOL = "ucm_instantiate";
