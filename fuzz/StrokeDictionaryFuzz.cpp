// The stroke dictionary over arbitrary bs.dat bytes, driven by an arbitrary
// sequence of queries, page steps, cursor moves, GetWordCode walks, closes,
// reopens and file replacements. Besides crashes it checks every answer
// against the reference model's matches, the pages stepping through them
// PageSize at a time.

#include "CBHWordLib.h"
#include "StrokeModel.h"
#include "FuzzSupport.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QtEndian>

#include <algorithm>
#include <vector>

namespace {

// The dictionary as the model sees it: the records mapped now, and the
// matches, page and flags of the last query while the model can follow it.
struct Model {
    QByteArray records; // bytes of the whole records mapped; empty when closed
    bool valid = false; // false once something outside the model happened
    std::vector<uint32_t> matches;
    qsizetype page = 0;
    bool eof = true;
    bool bof = true;

    qsizetype count() const { return records.size() / 12; }
    uint16_t charOf(qsizetype record) const
    {
        return qFromLittleEndian<uint16_t>(records.constData() + record * 12 + 10);
    }
    void query(const QString& code)
    {
        StrokeModel model(records.constData(), size_t(count()));
        model.Query(std::u16string_view(reinterpret_cast<const char16_t*>(code.utf16()), size_t(code.size())));
        matches = model.AllMatches();
        page = 0;
        eof = matches.empty();
        bof = true;
    }
};

// Mostly stroke digits and the wildcards around them, sometimes any
// characters, which the model reads by the same rule.
QString makeCode(FuzzedDataProvider& in)
{
    static const char16_t digits[] = u"01234567";
    const int length = in.ConsumeIntegralInRange(0, 30);
    const bool wild = in.ConsumeIntegralInRange(0, 15) == 0;
    QString code;
    for (int i = 0; i < length; ++i)
        code += wild ? QChar(in.ConsumeIntegral<uint16_t>()) : QChar(digits[in.ConsumeIntegralInRange(0, 7)]);
    return code;
}

void checkPage(CBHWordLib& lib, const Model& m)
{
    // Shown as the keyboard shows it: PageFirst, then RecValue and Next.
    lib.PageFirst();
    const qsizetype first = m.page * lib.PageSize;
    for (int k = 0; k < lib.PageSize; ++k) {
        // The first candidate must lie among the matches, the others as far
        // as there are matches.
        const bool more = first + k < qsizetype(m.matches.size());
        FUZZ_CHECK(k == 0 ? more : lib.Next() == more, "Next at candidate " + std::to_string(k));
        if (!more)
            break;
        FUZZ_CHECK(lib.RecValue() == QString(QChar(m.charOf(m.matches[first + k]))),
                   "candidate " + std::to_string(k) + " of the page");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    const std::vector<char> initial = in.ConsumeBytes<char>(in.ConsumeIntegralInRange<size_t>(0, 1 << 16));
    QByteArray file(initial.data(), qsizetype(initial.size()));
    const QString path = FuzzWrite(QStringLiteral("bs.dat"), file);

    CBHWordLib lib(path);
    lib.PageSize = in.ConsumeIntegralInRange(-1, 12);
    Model m;
    bool open = false;

    for (int step = 0; step < 400 && in.remaining_bytes() > 0; ++step) {
        switch (in.ConsumeIntegralInRange(0, 11)) {
        case 0: {
            const QString code = makeCode(in);
            const bool found = lib.Query(code);
            m.query(code);
            m.valid = lib.PageSize > 0;
            if (m.valid) {
                FUZZ_CHECK(found == !m.matches.empty(), "Query result");
                if (found)
                    checkPage(lib, m);
            }
            break;
        }
        case 1: {
            const bool moved = lib.NextPage();
            if (m.valid) {
                const bool expected = !m.eof && (m.page + 1) * lib.PageSize < qsizetype(m.matches.size());
                m.page += expected;
                m.bof = m.bof && !expected;
                m.eof = !expected;
                FUZZ_CHECK(moved == expected, "NextPage result");
                if (!m.matches.empty())
                    checkPage(lib, m);
            }
            break;
        }
        case 2: {
            const bool moved = lib.PriorPage();
            if (m.valid) {
                const bool expected = !m.bof && m.page > 0;
                m.eof = m.eof && m.bof;
                m.page -= expected;
                m.bof = m.bof || m.page == 0;
                FUZZ_CHECK(moved == expected, "PriorPage result");
                if (!m.matches.empty())
                    checkPage(lib, m);
            }
            break;
        }
        case 3: {
            int index = in.ConsumeIntegralInRange(-2, 70000);
            const int asked = index;
            const uint16_t code = lib.GetWordCode(index);
            if (m.valid && !m.matches.empty() && asked >= 0) {
                // The first match at or after the position, or the end.
                const qsizetype first = m.matches.front();
                const auto hit = std::lower_bound(m.matches.begin(), m.matches.end(), first + asked);
                const bool none = hit == m.matches.end();
                FUZZ_CHECK(code == (none ? 0 : m.charOf(*hit)) && index == int((none ? m.count() : *hit) - first),
                           "GetWordCode(" + std::to_string(asked) + ")");
            } else if (m.valid) {
                FUZZ_CHECK(code == 0 && index == asked, "GetWordCode without a match");
            }
            break;
        }
        case 4:
            lib.PageFirst();
            break;
        case 5:
            lib.Next();
            break;
        case 6:
            lib.RecValue();
            break;
        case 7:
            lib.Reset();
            m.matches.clear();
            m.eof = m.bof = true;
            FUZZ_CHECK(lib.Eof() && lib.Bof(), "flags after Reset");
            break;
        case 8:
            lib.OpenFile();
            if (!open) {
                // Mapped only when the file is not empty.
                m.records = file.left(file.size() / 12 * 12);
                open = !file.isEmpty();
            }
            m.valid = false;
            break;
        case 9:
            lib.CloseFile();
            open = false;
            m.records.clear();
            m.valid = false;
            break;
        case 10:
            // Replaced while closed (the keyboard closes it on every hide).
            if (!open) {
                const std::vector<char> bytes = in.ConsumeBytes<char>(in.ConsumeIntegralInRange<size_t>(0, 4096));
                file = QByteArray(bytes.data(), qsizetype(bytes.size()));
                FuzzWrite(QStringLiteral("bs.dat"), file);
            }
            break;
        case 11:
            lib.PageSize = in.ConsumeIntegralInRange(-1, 12);
            m.valid = false;
            break;
        }
        FUZZ_CHECK(!m.valid || (lib.Eof() == m.eof && lib.Bof() == m.bof), "Eof and Bof");
    }
    return 0;
}
