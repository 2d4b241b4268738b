// The whole input method as a host drives it: the component from
// ucm_instantiate, its panel shown, then an arbitrary sequence of presses,
// moves and releases at arbitrary points, backspace-repeat timer ticks,
// hides and shows, settings commands and resizes, across both keyboards. The
// data pack is small and generated here, the same for every run. Checked
// inside: every key command is one the panel may send, and word.dat keeps
// its size and is written only in whole records of its index, each holding
// a character that was typed.

#include "FuzzSupport.h"
#include "Gbk.h"
#include "IM_Stroke_Plugin.h"
#include "PanelTaps.h"
#include "TestFiles.h"
#include "WordDatCheck.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QCoreApplication>
#include <QSet>
#include <QTimerEvent>
#include <QWidget>
#include <QtEndian>

#include <cstring>
#include <string>

namespace {

constexpr int CharacterCount = 160;

// A deterministic pack in FuzzDir(): CharacterCount characters with stroke
// sequences of 1 to 25 strokes (so every first stroke gives several pages
// and the longest codes are reachable), association lists of 0 to 24
// followers with shipped (even) weights, a symbol file with four tables and
// keyboard images. Returns word.idx and the shipped word.dat.
AssociationFiles makePack()
{
    const auto character = [](uint32_t i) { return uint16_t(0x4E00 + 97 * i); };
    uint32_t seed = 12345;
    auto random = [&seed](uint32_t n) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % n;
    };
    QByteArray bs;
    for (int i = 0; i < CharacterCount; ++i) {
        const int strokes = random(8) == 0 ? 25 : 1 + int(random(12));
        std::string digits;
        for (int p = 0; p < strokes; ++p)
            digits += char('1' + random(5));
        bs += strokeRecord(digits.c_str(), character(i));
    }
    AssociationFiles lists;
    for (int i = 0; i < CharacterCount; ++i) { // ascending, as the index must be
        const int count = int(random(25));
        lists.addEntry(character(i), uint16_t(count), uint32_t(lists.data.size()));
        for (int k = 0; k < count; ++k)
            lists.addRecord({character(random(CharacterCount)), uint16_t(2 * (count - k))});
    }
    FuzzWrite(QStringLiteral("bs.dat"), bs);
    FuzzWrite(QStringLiteral("word.idx"), lists.index);
    FuzzWrite(QStringLiteral("Symbols.txt"),
              toGbk(QStringLiteral("，。、；：？！…—·《》（）\n\nabcdefghijklmnopqrstuvwxyz\nABCDEFGHIJKLMNOPQRSTUVWXYZ\n"
                                   "0123456789+-*/=%\n\nαβγ\nΑΒΓ\n；“”、…：，。？！\n0x000000\n0xFFFFFF\n")));
    // Qt reads an image by its contents, whatever the name says.
    for (const char* name : {"InputW_Stroke_Entry.gif", "InputW_Stroke_Entry_Ext.gif"})
        keyboardImage().save(FuzzDir() + QLatin1String(name), "PNG");
    FuzzWrite(QStringLiteral("tarvin.cfg"), "[BH]\nInstallDir=" + FuzzDir().toUtf8() + "\n");
    return lists;
}

AssociationFiles Pack;

const char HostTag = 0;

struct Service : ZKbServiceInterface {
    int executeCmd(ZCmd<ZKB_MGRCMD_T>* cmd) override
    {
        ZKbCmdSendKeyEvent key;
        std::memcpy(&key, cmd, sizeof key);
        FUZZ_CHECK(key.classIdentity == &HostTag && key.code == ZKB_MGRCMD_SEND_KEY && key.value == 240,
                   "a key command in the host's layout");
        FUZZ_CHECK(key.unicode != 0 && key.unicode <= 0xFFFF, "a key command carries a character");
        FUZZ_CHECK(key.unicode != 8 || key.keyCode == ZKB_KEY_BACKSPACE, "backspace key code");
        typed.insert(uint16_t(key.unicode));
        return 1;
    }
    QSet<uint16_t> typed;
};

// A 24-byte command: room for any command the component reads or writes.
QWidget* settingCmd(ZInputMethodInterface* im, uint32_t code, uint32_t argument)
{
    ZKbCmdGetWidget cmd{&HostTag, ZKB_MGRCMD_T(code), argument, nullptr};
    return im->settingCmd(reinterpret_cast<ZCmd<ZKB_MGRCMD_T>*>(&cmd)) ? cmd.widget : nullptr;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    FuzzInitGui();
    qputenv("IM_SETTING_DIR", FuzzDir().toUtf8());
    Pack = makePack();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    FuzzWrite(QStringLiteral("word.dat"), Pack.data); // every run learns from the same file

    Service service;
    QUnknownInterface* unknown = ucm_instantiate();
    FUZZ_CHECK(unknown != nullptr, "ucm_instantiate");
    const auto query = [unknown](const QUuid& id) {
        QUnknownInterface* iface = nullptr;
        unknown->queryInterface(id, &iface);
        return iface;
    };
    auto* im = static_cast<ZInputMethodInterface*>(query(IID_ZInputMethodInterface));
    auto* factory = static_cast<ZInputMethodFactory*>(query(IID_ZInputMethodFactory));
    auto* library = static_cast<QLibraryInterface*>(query(IID_QLibrary));
    unknown->addRef();
    factory->registerService(&service);
    im->activate(ZKbOwner(), QPoint());
    QWidget* panel = settingCmd(im, ZKB_MGRCMD_GET_WIDGET, 0);
    FUZZ_CHECK(panel != nullptr, "the panel");
    panel->show();

    for (int step = 0; step < 300 && in.remaining_bytes() > 0; ++step) {
        const int action = in.ConsumeIntegralInRange(0, 12);
        if (action <= 4) { // a whole tap on a key, the common case
            tapKeys(panel, {in.ConsumeIntegralInRange(0, 19)});
        } else if (action <= 7) {
            const QEvent::Type types[] = {QEvent::MouseButtonPress, QEvent::MouseMove, QEvent::MouseButtonRelease};
            const int x = in.ConsumeIntegralInRange(-50, 300);
            sendMouse(panel, types[action - 5], QPoint(x, in.ConsumeIntegralInRange(-50, 200)));
        } else if (action == 8) { // a tick of whichever timer is running, or of none
            const int id = in.ConsumeIntegralInRange(0, 3);
            QTimerEvent tick(id == 0 ? in.ConsumeIntegral<int>() : id);
            QCoreApplication::sendEvent(panel, &tick);
        } else if (action == 9) {
            panel->isVisible() ? void(im->hide()) : panel->show();
        } else if (action == 10) {
            const uint32_t codes[] = {ZKB_MGRCMD_GET_WIDGET, ZKB_MGRCMD_RESET, 2001, ZKB_MGRCMD_SEND_KEY};
            const uint32_t code = in.ConsumeBool() ? in.PickValueInArray(codes) : in.ConsumeIntegral<uint32_t>();
            settingCmd(im, code, in.ConsumeIntegralInRange(0, 2));
        } else if (action == 11) {
            QCoreApplication::processEvents();
        } else {
            const int width = in.ConsumeIntegralInRange(0, 400);
            panel->resize(width, in.ConsumeIntegralInRange(0, 300));
        }
    }
    im->hide();
    library->cleanup();
    FUZZ_CHECK(unknown->release() == 0, "the component is released");

    const QByteArray after = FuzzRead(FuzzDir() + QStringLiteral("word.dat"));
    const std::string violation = CheckWordDatWrites(Pack.index, Pack.data, after);
    FUZZ_CHECK(violation.empty(), violation);
    for (qsizetype at = 0; at + 4 <= after.size(); at += 4) {
        const uint16_t c = qFromLittleEndian<uint16_t>(after.constData() + at);
        FUZZ_CHECK(c == qFromLittleEndian<uint16_t>(Pack.data.constData() + at) || service.typed.contains(c),
                   "a learned character that was never typed");
    }
    return 0;
}
