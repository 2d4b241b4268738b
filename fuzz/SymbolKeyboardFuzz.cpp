// The symbol keyboard over arbitrary Symbols.txt bytes, tapped with an
// arbitrary sequence of table, shift, caps lock, paging and candidate keys,
// with pointer moves, held keys and repaints in between. Checked inside:
// every cell shows at most one character and every choice sends exactly one.

#include "CSymKBD.h"
#include "FuzzSupport.h"
#include "PanelTaps.h"
#include "RecordingOwner.h"

#include <fuzzer/FuzzedDataProvider.h>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    FuzzInitGui();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    const std::vector<char> text = in.ConsumeBytes<char>(in.ConsumeIntegralInRange<size_t>(0, 4096));
    FuzzWrite(QStringLiteral("Symbols.txt"), QByteArray(text.data(), qsizetype(text.size())));
    AppPath = FuzzDir();
    // A new owner per input, which also restores the globals that the
    // previous input's file may have replaced.
    RecordingOwner owner;
    CSymKBD kbd(&owner, QStringLiteral("none.gif"));
    owner.Keyboard = &kbd;
    kbd.paintEvent(nullptr);

    for (int step = 0; step < 200 && in.remaining_bytes() > 0; ++step) {
        const int action = in.ConsumeIntegralInRange(0, 5);
        if (action <= 2) { // a whole tap, the common case, on any key including row 4
            tapKeys(&owner, {in.ConsumeIntegralInRange(0, 24)});
        } else if (action == 3) {
            const QEvent::Type types[] = {QEvent::MouseButtonPress, QEvent::MouseMove, QEvent::MouseButtonRelease};
            const QEvent::Type type = in.PickValueInArray(types);
            const int x = in.ConsumeIntegralInRange(-300, 600);
            sendMouse(&owner, type, QPoint(x, in.ConsumeIntegralInRange(-300, 600)));
        } else if (action == 4) {
            kbd.paintEvent(nullptr);
        } else {
            kbd.Reset(in.ConsumeBool());
        }
        for (const QString& word : kbd.Words)
            FUZZ_CHECK(word.size() <= 1, "a cell shows more than one character");
        FUZZ_CHECK(kbd.CurTable != nullptr, "no current table");
    }
    for (const QString& choice : owner.Selected)
        FUZZ_CHECK(choice.size() == 1, "a choice sends one character");
    owner.Keyboard = nullptr;
    return 0;
}
