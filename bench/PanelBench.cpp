// Timings of the input panel on the data pack, set against the time to
// stream the same bs.dat once, measured in the same run:
//
//  - per stroke, the dictionary's side of a keystroke with an association
//    list loaded: the query, the first page and the promoted candidates,
//    found by the index search (what the keyboard runs) and by walking the
//    matches (the plain reading, for comparison);
//  - per tap, end to end: press and release sent to the input widget of the
//    plug-in library, loaded with dlopen as a host loads it, up to the
//    cells painted (offscreen platform), at scale 1 and at scale 3;
//  - start-up: dlopen alone and dlopen + instantiate + activate + show +
//    first paint, in children forked from a host-like Qt process that has
//    never loaded the library, against a fork that does nothing; and the
//    same start without dlopen, repeated in this process;
//  - memory: resident set of a fresh host process after typing a few
//    hundred characters through the panel.
//
//   panel_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
//
// It runs on Qt's offscreen platform whatever QT_QPA_PLATFORM says.
// The summary at the end gives each median and its ratio to both streams.
// The pack is copied to a temporary directory first: choices are learned
// into word.dat.
#include "BenchSupport.h"
#include "CBHKBD.h"
#include "CBHWordLib.h"
#include "CIMEWidget.h"
#include "CWordTable.h"
#include "ImHostAbi.h"
#include "KeyboardGlobals.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QLabel>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QWidget>
#include <QtEndian>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <dlfcn.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

const char* const PackFiles[] = {"bs.dat", "word.idx", "word.dat", "Symbols.txt",
                                 "InputW_Stroke_Entry.gif", "InputW_Stroke_Entry_Ext.gif"};

using KeyGrid::KeyLine;
using KeyGrid::KeyNext;
using KeyGrid::KeySwitch;
using KeyGrid::StrokeKey;

// ---------------------------------------------------------------------------
// The data pack, copied, and the settings that point the plug-in at it.

struct TPack {
    QTemporaryDir Data;
    QTemporaryDir Settings;
    bool Ok = false;

    TPack()
    {
        Ok = Data.isValid() && Settings.isValid();
        for (const char* name : PackFiles)
            Ok = Ok && QFile::copy(QStringLiteral(DIRORU_PACK_DIR "/") + name, Data.filePath(name));
        QFile cfg(Settings.filePath("tarvin.cfg"));
        Ok = Ok && cfg.open(QIODevice::WriteOnly)
            && cfg.write("[BH]\nInstallDir=" + QDir(Data.path()).absolutePath().toUtf8() + "/\n") > 0;
        cfg.close();
        qputenv("IM_SETTING_DIR", Settings.path().toLocal8Bit());
    }
    QString Dir() const { return QDir(Data.path()).absolutePath() + "/"; }
};

TPack& Pack()
{
    static TPack* pack = new TPack;
    return *pack;
}

// ---------------------------------------------------------------------------
// Per stroke: a stroke keyboard of this program (not the plug-in's) on the
// pack, used through the dictionary calls a stroke makes, without drawing.

class TQuietOwner : public CIMEWidget
{
public:
    void onShiftKBD(CKBD*) override {}
    void onSelect(CKBD*, const QString&) override {}
    void onBackSpace(CKBD*) override {}
};

struct TStrokeFixture {
    TQuietOwner Owner;
    std::unique_ptr<CBHKBD> Kbd;
    std::vector<TCode> Codes;
    std::map<std::string, std::vector<TWordItem>> Lists;

    TStrokeFixture()
    {
        AppPath = Pack().Dir();
        Kbd = std::make_unique<CBHKBD>(&Owner, QStringLiteral("none.gif"));
        Kbd->onShow();
        if (Kbd->WordLib->RecordCount == 0)
            std::abort();
        Codes = ChooseCodes(*Kbd->WordLib);
        // Association lists of four frequent characters, and a worst case
        // for a walk: 64 followers that are the file's last characters, so
        // that the wildcard's walk meets them only at the end.
        const std::pair<const char*, char16_t> lists[] = {{"de", u'的'}, {"wo", u'我'}, {"zhong", u'中'}, {"yi", u'一'}};
        for (auto [name, ch] : lists) {
            if (!Kbd->WordTable->Query(ch))
                std::abort();
            Lists[name].assign(Kbd->WordTable->WordList, Kbd->WordTable->WordList + Kbd->WordTable->WordCount);
        }
        std::vector<TWordItem>& last = Lists["last64"];
        for (uint32_t i = Kbd->WordLib->RecordCount; i-- > 0 && last.size() < 64;)
            last.push_back({qFromLittleEndian(Kbd->WordLib->Records[i].Char), 2, 0});
    }

    void Load(const std::string& list)
    {
        CWordTable& t = *Kbd->WordTable;
        const std::vector<TWordItem>& items = Lists.at(list);
        t.ClearWords();
        t.WordList = static_cast<TWordItem*>(std::malloc(items.size() * sizeof(TWordItem)));
        std::memcpy(t.WordList, items.data(), items.size() * sizeof(TWordItem));
        t.WordCount = int(items.size());
    }
};

TStrokeFixture& Strokes()
{
    static TStrokeFixture* fixture = new TStrokeFixture;
    return *fixture;
}

// The dictionary's side of one stroke: the query, the first page as
// ShowRecords reads it, and the promoted candidates.
enum TPromotion { NoPromotion, ByIndex, ByWalk };

int Stroke(CBHKBD& kbd, const QString& code, TPromotion how)
{
    CBHWordLib& lib = *kbd.WordLib;
    if (!ReadFirstPage(lib, code))
        return -1;
    uint16_t found[2] = {0, 0};
    if (how == ByIndex)
        return kbd.FindPromoted(found) + found[0];
    if (how == ByWalk)
        return kbd.FindPromotedByWalk(found) + found[0];
    int index = 0;
    return lib.GetMatchCode(PageSize, index); // where the search starts
}

void BM_Stroke(benchmark::State& state, QString code, std::string list, TPromotion how)
{
    TStrokeFixture& f = Strokes();
    f.Load(list);
    for (auto _ : state)
        benchmark::DoNotOptimize(Stroke(*f.Kbd, code, how));
    uint16_t found[2] = {0, 0};
    Stroke(*f.Kbd, code, NoPromotion);
    state.counters["promoted"] = f.Kbd->FindPromoted(found);
}

// The promoted search alone, on a query whose first page is shown.
void BM_PromotedOnly(benchmark::State& state, QString code, std::string list)
{
    TStrokeFixture& f = Strokes();
    f.Load(list);
    Stroke(*f.Kbd, code, NoPromotion);
    uint16_t found[2] = {0, 0};
    for (auto _ : state)
        benchmark::DoNotOptimize(f.Kbd->FindPromoted(found));
}

// The first stroke after the panel is shown: the file mapped again, then
// the query and first page of stroke 一 ("query"); the same with the
// promoted search, which first builds the index by character ("promoted");
// and, to tell the index from the page faults of the new mapping that its
// pass takes, the query followed by one wide read of the file ("touch").
enum TAfterShow { AfterShowQuery, AfterShowPromoted, AfterShowTouch };

void BM_FirstStrokeAfterShow(benchmark::State& state, TAfterShow what)
{
    TStrokeFixture& f = Strokes();
    f.Load("de");
    CBHWordLib& lib = *f.Kbd->WordLib;
    for (auto _ : state) {
        lib.CloseFile();
        lib.OpenFile();
        benchmark::DoNotOptimize(Stroke(*f.Kbd, QStringLiteral("1"), what == AfterShowPromoted ? ByIndex : NoPromotion));
        if (what == AfterShowTouch)
            benchmark::DoNotOptimize(StreamWide(lib.File->Memory, lib.File->Size));
    }
}

// ---------------------------------------------------------------------------
// The plug-in library, loaded once with dlopen, and a host around it.

struct TService : ZKbServiceInterface {
    int executeCmd(ZCmd<ZKB_MGRCMD_T>*) override
    {
        ++Commands;
        return 1;
    }
    int Commands = 0;
};

const char HostTag = 0;

class THost
{
public:
    static void* Library()
    {
        static void* handle = dlopen(DIRORU_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL);
        return handle;
    }

    // Instantiates, activates and shows the component's panel.
    bool Start()
    {
        auto instantiate = reinterpret_cast<UcmInstantiateFn>(dlsym(Library(), UCM_INSTANTIATE_SYMBOL));
        if (!instantiate || !(m_unknown = instantiate()))
            return false;
        m_unknown->addRef();
        QUnknownInterface* iface = nullptr;
        if (m_unknown->queryInterface(IID_ZInputMethodFactory, &iface) != QRS_SUCCESS)
            return false;
        auto* factory = static_cast<ZInputMethodFactory*>(iface);
        if (m_unknown->queryInterface(IID_QLibrary, &iface) != QRS_SUCCESS)
            return false;
        m_library = static_cast<QLibraryInterface*>(iface);
        m_library->init();
        factory->registerService(&Service);
        QList<ZInputMethodInterface*> methods;
        factory->registerInputMethods(&methods);
        if (methods.isEmpty() || !(m_im = methods.first()) || !m_im->activate(ZKbOwner(), QPoint()))
            return false;
        ZKbCmdGetWidget request{&HostTag, ZKB_MGRCMD_GET_WIDGET, 0, nullptr};
        if (!m_im->settingCmd(reinterpret_cast<ZCmd<ZKB_MGRCMD_T>*>(&request)) || !request.widget)
            return false;
        ZKbCmdSetScale scale{&HostTag, ZKB_MGRCMD_SET_SCALE, uint32_t(Hundredths)};
        if (Hundredths != 100 && !m_im->settingCmd(reinterpret_cast<ZCmd<ZKB_MGRCMD_T>*>(&scale)))
            return false;
        Panel = request.widget;
        Panel->installEventFilter(&m_paintCounter);
        Panel->show();
        QCoreApplication::processEvents(); // the first paint
        return true;
    }

    void Stop()
    {
        if (m_im)
            m_im->hide();
        if (m_library)
            m_library->cleanup();
        if (m_unknown)
            m_unknown->release();
        m_unknown = nullptr;
        m_library = nullptr;
        m_im = nullptr;
        Panel = nullptr;
    }

    // A press and a release on key, then the paint they scheduled.
    void Tap(int key)
    {
        const QPointF at = QRectF(CKBD::keyRect(key)).center() * (Hundredths / 100.0);
        QMouseEvent press(QEvent::MouseButtonPress, at, Panel->mapToGlobal(at), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(Panel, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, at, Panel->mapToGlobal(at), Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(Panel, &release);
        QCoreApplication::processEvents();
    }
    void Type(const std::string& code)
    {
        for (char d : code)
            Tap(StrokeKey(d));
    }
    QVariantMap State()
    {
        QVariantMap state;
        QMetaObject::invokeMethod(Panel, "panelState", Qt::DirectConnection, Q_RETURN_ARG(QVariantMap, state));
        return state;
    }
    QStringList Cells() { return State().value(QStringLiteral("cells")).toStringList(); }
    // A tap on the line area empties the typed code; with the line area off
    // the key is a candidate cell, and nothing is tapped.
    void ClearLine()
    {
        if (State().value(QStringLiteral("lineArea")).toBool())
            Tap(KeyLine);
    }
    // Types ch by its strokes and chooses it: from the first page, a
    // promoted cell or a later page. False when it is not offered.
    bool Enter(QChar ch, const std::string& code)
    {
        ClearLine(); // a code left from before starts again
        Type(code);
        for (int page = 0; page < 40; ++page) {
            // Keys 1 to 3 are the line area, whatever cells they hide.
            const QStringList cells = Cells();
            for (int cell : {0, 4, 5, 6, 7, 8, 9}) {
                if (cell < cells.size() && cells[cell] == QString(ch)) {
                    Tap(cell);
                    return true;
                }
            }
            Tap(KeyNext);
        }
        return false;
    }

    TService Service;
    int Hundredths = 100; // the panel's scale, set before Start
    QWidget* Panel = nullptr;
    int Paints = 0; // paint events the panel has had

private:
    class TPaintCounter : public QObject
    {
    public:
        explicit TPaintCounter(int& count) : m_count(count) {}
        bool eventFilter(QObject*, QEvent* event) override
        {
            m_count += event->type() == QEvent::Paint;
            return false;
        }

    private:
        int& m_count;
    };
    TPaintCounter m_paintCounter{Paints};
    QUnknownInterface* m_unknown = nullptr;
    QLibraryInterface* m_library = nullptr;
    ZInputMethodInterface* m_im = nullptr;
};

THost& Host(int hundredths = 100)
{
    static std::map<int, THost*> hosts;
    THost*& host = hosts[hundredths];
    if (!host) {
        host = new THost;
        host->Hundredths = hundredths;
        if (!host->Start())
            std::abort();
    }
    return *host;
}

// The strokes of each character's first record in bs.dat.
std::vector<std::string> CodesOf(const QString& text)
{
    CBHWordLib lib(QStringLiteral(DIRORU_PACK_DIR "/bs.dat"));
    lib.OpenFile();
    std::vector<std::string> codes;
    for (QChar ch : text) {
        codes.emplace_back();
        for (uint32_t i = 0; i < lib.RecordCount && codes.back().empty(); ++i)
            if (qFromLittleEndian(lib.Records[i].Char) == ch.unicode())
                codes.back() = StrokesOf(lib.Records[i]);
    }
    return codes;
}

// A timed tap, counting the paint events it brings (1: the cells drawn on
// the canvas reach the panel in one paint).
void TimedTap(THost& host, int key, int64_t& paints)
{
    const int before = host.Paints;
    host.Tap(key);
    paints += host.Paints - before;
}

void ReportPaints(benchmark::State& state, int64_t paints)
{
    state.counters["paints"] = benchmark::Counter(double(paints), benchmark::Counter::kAvgIterations);
}

// Leaves the panel in stroke input after 的 was chosen (its association
// list loaded), with strokes typed.
void TypeAfterDe(THost& host, const std::string& strokes)
{
    static const std::string de = CodesOf(QStringLiteral("的")).front();
    host.Enter(u'的', de);
    host.Type(strokes);
}

// The last stroke of code, with the previous ones typed before the clock.
void BM_TapStroke(benchmark::State& state, std::string code, int hundredths)
{
    THost& host = Host(hundredths);
    TypeAfterDe(host, "");
    const int key = StrokeKey(code.back());
    int64_t paints = 0;
    for (auto _ : state) {
        state.PauseTiming();
        host.ClearLine();
        host.Type(code.substr(0, code.size() - 1));
        state.ResumeTiming();
        TimedTap(host, key, paints);
    }
    ReportPaints(state, paints);
}

// Choosing the first candidate of stroke 一: the key command, the learned
// weight written, the association page loaded and drawn.
void BM_TapChoose(benchmark::State& state)
{
    THost& host = Host();
    int64_t paints = 0;
    for (auto _ : state) {
        state.PauseTiming();
        host.Tap(StrokeKey('1'));
        state.ResumeTiming();
        TimedTap(host, 5, paints);
    }
    ReportPaints(state, paints);
}

// The next page of the wildcard's candidates.
void BM_TapNextPage(benchmark::State& state)
{
    THost& host = Host();
    TypeAfterDe(host, "7");
    int pages = 0;
    int64_t paints = 0;
    for (auto _ : state) {
        if (++pages == 2000) { // before the last page
            state.PauseTiming();
            host.ClearLine();
            host.Type("7");
            pages = 0;
            state.ResumeTiming();
        }
        TimedTap(host, KeyNext, paints);
    }
    ReportPaints(state, paints);
}

// The next table of the symbol keyboard (the tables go round).
void BM_TapSymbolPage(benchmark::State& state)
{
    THost& host = Host();
    host.Tap(KeySwitch);
    int64_t paints = 0;
    for (auto _ : state)
        TimedTap(host, KeyNext, paints);
    ReportPaints(state, paints);
    host.Tap(KeySwitch);
}

// ---------------------------------------------------------------------------
// Start-up and memory.

// A number from /proc/self/status, e.g. "VmRSS:" (KiB) or "Threads:".
double StatusField(const char* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return NAN;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(int(std::strlen(field))).trimmed().split(' ').first().toDouble();
    return NAN;
}

// Runs this program again with --child=mode and waits for it; its
// standard output goes to *out when out is given. True when it exited 0.
bool SpawnSelf(const std::string& mode, std::string* out)
{
    static const std::string self = QCoreApplication::applicationFilePath().toStdString();
    std::string arg = "--child=" + mode;
    char* argv[] = {const_cast<char*>(self.c_str()), arg.data(), nullptr};
    int fds[2] = {-1, -1};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (out) {
        if (pipe(fds) != 0)
            return false;
        posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
    }
    pid_t pid = 0;
    const bool spawned = posix_spawn(&pid, self.c_str(), &actions, nullptr, argv, environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    if (out) {
        close(fds[1]);
        char buffer[256];
        for (ssize_t n; spawned && (n = read(fds[0], buffer, sizeof buffer)) > 0;)
            out->append(buffer, size_t(n));
        close(fds[0]);
    }
    int status = 0;
    return spawned && waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Start-up measured in children of a host-like process: this program
// started again as a "zygote" that makes a QApplication and shows a label
// of Chinese text, as a host does before any input panel, and has never
// loaded the plug-in. For each request it forks a child that does one
// thing and exits without running a destructor: "exit" nothing (the cost
// of the fork and the round trip), "dlopen" loads the library, "start"
// loads it, instantiates, activates, shows and paints the panel.
struct TZygote {
    pid_t Pid = -1;
    int To = -1;   // requests: one byte each, the mode's first letter
    int From = -1; // answers: one byte each, 0 when the child succeeded
    ~TZygote()
    {
        if (To >= 0) {
            close(To); // the zygote leaves at the end of its input
            close(From);
            int status = 0;
            waitpid(Pid, &status, 0);
        }
    }
};

bool SpawnZygote(TZygote& z)
{
    const std::string self = QCoreApplication::applicationFilePath().toStdString();
    char arg[] = "--zygote";
    char* argv[] = {const_cast<char*>(self.c_str()), arg, nullptr};
    int to[2], from[2];
    if (pipe(to) != 0 || pipe(from) != 0)
        return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, to[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, from[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, to[1]);
    posix_spawn_file_actions_addclose(&actions, from[0]);
    const bool spawned = posix_spawn(&z.Pid, self.c_str(), &actions, nullptr, argv, environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    close(to[0]);
    close(from[1]);
    z.To = to[1];
    z.From = from[0];
    char ready = 1;
    return spawned && read(z.From, &ready, 1) == 1 && ready == 0;
}

int RunZygote(int argc, char** argv)
{
    QApplication app(argc, argv);
    QLabel label(QStringLiteral("中文输入"));
    QFont font(QStringLiteral("WenQuanYi Micro Hei"));
    font.setPixelSize(20);
    label.setFont(font);
    label.show();
    QCoreApplication::processEvents();
    char answer = StatusField("Threads:") == 1 ? 0 : 1; // a fork of threads could deadlock
    if (write(STDOUT_FILENO, &answer, 1) != 1 || answer != 0)
        return 1;
    for (char mode; read(STDIN_FILENO, &mode, 1) == 1;) {
        const pid_t pid = fork();
        if (pid == 0) {
            if (mode == 'e')
                _exit(0);
            if (mode == 'd')
                _exit(THost::Library() ? 0 : 1);
            THost host;
            _exit(host.Start() ? 0 : 1);
        }
        int status = 0;
        answer = pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 0 : 1;
        if (write(STDOUT_FILENO, &answer, 1) != 1)
            return 1;
    }
    return 0;
}

void BM_Fork(benchmark::State& state, std::string mode)
{
    static TZygote zygote;
    if (zygote.Pid < 0 && !SpawnZygote(zygote)) {
        state.SkipWithError("the zygote did not start");
        return;
    }
    for (auto _ : state) {
        char answer = 1;
        if (write(zygote.To, mode.data(), 1) != 1 || read(zygote.From, &answer, 1) != 1 || answer != 0) {
            state.SkipWithError("the child failed");
            return;
        }
    }
}

// In this process, with the library loaded: instantiate, activate, show
// and paint the panel; the release afterwards is not timed.
void BM_StartUp(benchmark::State& state, int hundredths)
{
    THost::Library();
    for (auto _ : state) {
        THost host;
        host.Hundredths = hundredths;
        if (!host.Start()) {
            state.SkipWithError("start failed");
            return;
        }
        state.PauseTiming();
        host.Stop();
        state.ResumeTiming();
    }
}

const QString SessionText = QStringLiteral(
    "我们的生活中有很多美好的事情值得去发现每天早上起来看到太阳从东方升起心里就充满了希望"
    "学习是一件快乐的事情只要用心去做就一定会有收获老师和同学们在一起度过了许多难忘的时光"
    "这个城市的春天来得很早路边的花都开了人们走在街上脸上带着笑容孩子们在公园里玩耍老人们"
    "坐在树下聊天我喜欢在周末的时候去图书馆看书那里很安静可以让人忘记一切烦恼的事情中国是"
    "一个历史悠久的国家有着灿烂的文化和美丽的山河我们应该好好学习将来为国家的发展贡献自己"
    "的力量工作之余也要注意身体健康多参加体育运动保持良好的心情朋友之间要互相帮助共同进步"
    "今天天气很好我们一起去山上看风景大家都很高兴一路上说说笑笑不知不觉就到了山顶站在高处"
    "向远方望去只见群山连绵白云在山间飘动让人觉得心胸开阔回家的路上我们又去看望了老朋友");

// The child of BM_TypingSession: a host that starts the panel and types
// SessionText through it; prints the characters entered and the resident
// set (KiB) after the start, after the typing, and at its peak.
int RunSession()
{
    const std::vector<std::string> codes = CodesOf(SessionText);
    THost host;
    if (!host.Start())
        return 1;
    const double before = StatusField("VmRSS:");
    int entered = 0;
    for (qsizetype i = 0; i < SessionText.size(); ++i)
        entered += host.Enter(SessionText.at(i), codes[size_t(i)]);
    std::printf("%d %.0f %.0f %.0f\n", entered, before, StatusField("VmRSS:"), StatusField("VmHWM:"));
    std::fflush(stdout);
    host.Stop();
    return 0;
}

// Resident memory after a typing session, in a fresh host process so that
// nothing of this program counts.
void BM_TypingSession(benchmark::State& state)
{
    double values[4] = {0, 0, 0, 0};
    for (auto _ : state) {
        std::string out;
        if (!SpawnSelf("session", &out)
            || std::sscanf(out.c_str(), "%lf %lf %lf %lf", &values[0], &values[1], &values[2], &values[3]) != 4) {
            state.SkipWithError("the session failed");
            return;
        }
    }
    state.counters["chars"] = values[0];
    state.counters["rss_start_KiB"] = values[1];
    state.counters["rss_after_KiB"] = values[2];
    state.counters["hwm_KiB"] = values[3];
}

// This program started again with --child=session: a fresh host process
// for BM_TypingSession.
int RunChild(const char* mode)
{
    if (std::strcmp(mode, "session") != 0)
        return 2;
    int argc = 1;
    char name[] = "panel_bench";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    return RunSession();
}

// ---------------------------------------------------------------------------

std::string Name(const char* family, const TCode& c, const std::string& list)
{
    return std::string(family) + "/" + c.Label + "/" + c.Code + (list.empty() ? "" : "/" + list);
}

void PrintTable(const TSummaryReporter& r, const char* title, const std::vector<std::string>& names,
                double words, double wide, double target, bool real = false)
{
    std::printf("\n%s\n%-34s %13s %9s %9s\n", title, "", "time", "words", "wide");
    for (const std::string& name : names) {
        const double ns = real ? r.RealNanoseconds(name) : r.Nanoseconds(name);
        const std::string label = name.substr(name.find('/') + 1);
        PrintRatioLine(label.c_str(), ns, words, wide, target);
    }
}

} // namespace

int main(int argc, char** argv)
{
    // The offscreen platform warns on every show that it cannot raise a window.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], "--child=", 8) == 0)
            return RunChild(argv[i] + 8);
        else if (std::strcmp(argv[i], "--zygote") == 0)
            return RunZygote(argc, argv);

    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!Pack().Ok) {
        std::fprintf(stderr, "the data pack is missing in %s: build the diroru_pack target\n", DIRORU_PACK_DIR);
        return 1;
    }
    QApplication app(argc, argv);
    __BHTable = QStringLiteral("空一丨丿丶乛空？");
    __DefaultWords = QStringLiteral("；“”、…：，。？！");
    TStrokeFixture& f = Strokes();
    const CFileMapped& bs = *f.Kbd->WordLib->File;
    RegisterStreams(bs.Memory, bs.Size);
    const std::vector<std::string> forks{"BM_Fork/exit", "BM_Fork/dlopen", "BM_Fork/start"};
    for (const std::string& name : forks)
        benchmark::RegisterBenchmark(name.c_str(), BM_Fork, name.substr(name.find('/') + 1))
            ->UseRealTime()
            ->Unit(benchmark::kMillisecond);

    std::vector<std::string> query, stroke, walk, only;
    for (const TCode& c : f.Codes) {
        const QString code = QString::fromStdString(c.Code);
        query.push_back(Name("BM_QueryPage", c, ""));
        benchmark::RegisterBenchmark(query.back().c_str(), BM_Stroke, code, std::string("de"), NoPromotion);
        std::vector<std::string> lists{"de"};
        if (c.Code.size() == 1)
            lists = {"de", "wo", "zhong", "yi", "last64"};
        for (const std::string& list : lists) {
            stroke.push_back(Name("BM_StrokePromoted", c, list));
            benchmark::RegisterBenchmark(stroke.back().c_str(), BM_Stroke, code, list, ByIndex);
            walk.push_back(Name("BM_StrokeWalk", c, list));
            benchmark::RegisterBenchmark(walk.back().c_str(), BM_Stroke, code, list, ByWalk);
            only.push_back(Name("BM_PromotedOnly", c, list));
            benchmark::RegisterBenchmark(only.back().c_str(), BM_PromotedOnly, code, list);
        }
    }
    std::vector<std::string> show;
    for (auto [name, what] : {std::pair{"query", AfterShowQuery}, {"touch", AfterShowTouch},
                              {"promoted", AfterShowPromoted}}) {
        show.push_back(std::string("BM_FirstStrokeAfterShow/") + name);
        benchmark::RegisterBenchmark(show.back().c_str(), BM_FirstStrokeAfterShow, what);
    }

    // Taps: the stroke taps of codes of 1, 4 and 12 strokes and the wildcard.
    std::vector<std::string> taps;
    for (const TCode& c : f.Codes) {
        if (c.Label != "1str" && c.Label != "4str" && c.Label != "12str" && c.Label != "wildcard")
            continue;
        taps.push_back(Name("BM_TapStroke", c, ""));
        benchmark::RegisterBenchmark(taps.back().c_str(), BM_TapStroke, c.Code, 100)->UseRealTime();
        // At three times the size: 720 x 432 pixels to draw, text at that resolution.
        taps.push_back(Name("BM_TapStroke", c, "") + "/scale3");
        benchmark::RegisterBenchmark(taps.back().c_str(), BM_TapStroke, c.Code, 300)->UseRealTime();
    }
    for (auto [name, fn] : {std::pair{"BM_TapChoose", BM_TapChoose}, {"BM_TapNextPage", BM_TapNextPage},
                            {"BM_TapSymbolPage", BM_TapSymbolPage}}) {
        taps.push_back(name);
        benchmark::RegisterBenchmark(name, fn)->UseRealTime();
    }
    benchmark::RegisterBenchmark("BM_StartUp", BM_StartUp, 100)->UseRealTime()->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_StartUp/scale3", BM_StartUp, 300)->UseRealTime()->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_TypingSession", BM_TypingSession)
        ->UseRealTime()
        ->Iterations(1)
        ->Unit(benchmark::kMillisecond);

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    TSummaryReporter report;
    benchmark::RunSpecifiedBenchmarks(&report);
    benchmark::Shutdown();

    const double words = report.Nanoseconds("BM_StreamMapping/words");
    const double wide = report.Nanoseconds("BM_StreamMapping/wide");
    if (words <= 0 || wide <= 0)
        return 0;
    std::printf("\nStream once over the pack's bs.dat (%u bytes, %u records): words %.1f us, wide %.1f us CPU\n",
                bs.Size, f.Kbd->WordLib->RecordCount, words / 1000, wide / 1000);
    std::printf("Ratios: to the word stream, to the wide stream (the hardware limit)\n");
    PrintTable(report, "Query and first page (CPU)", query, words, wide, 2);
    PrintTable(report, "Query, first page and promoted search by index, the keyboard's stroke (CPU)", stroke,
               words, wide, 3);
    PrintTable(report, "The same with the promoted search by walking the matches (CPU)", walk, words, wide, 0);
    PrintTable(report, "Promoted search alone, on a shown page (CPU)", only, words, wide, 0);
    PrintTable(report, "First stroke after the panel is shown (CPU)", show, words, wide, 0);
    PrintTable(report, "Taps, end to end through the plug-in (wall)", taps, words, wide, 0, true);
    std::printf("\nStart-up (wall), in a child forked from a host-like Qt process:\n");
    const double forkMs = report.RealNanoseconds(forks[0]) / 1e6;
    for (const std::string& name : forks) {
        const double ms = report.RealNanoseconds(name) / 1e6;
        if (ms > 0)
            std::printf("  %-24s %8.2f ms  (%+.2f ms over the fork alone)\n", name.c_str(), ms, ms - forkMs);
    }
    for (const char* name : {"BM_StartUp", "BM_StartUp/scale3"}) {
        if (const double ms = report.RealNanoseconds(name) / 1e6; ms > 0)
            std::printf("  %-24s %8.2f ms  instantiate + activate + show + first paint, in process\n", name, ms);
    }
    const double rss = report.Counter("BM_TypingSession", "rss_after_KiB");
    if (!std::isnan(rss))
        std::printf("\nMemory of a host process after typing %.0f characters: VmRSS %.1f MiB "
                    "(%.1f MiB once started), peak VmHWM %.1f MiB\n",
                    report.Counter("BM_TypingSession", "chars"), rss / 1024,
                    report.Counter("BM_TypingSession", "rss_start_KiB") / 1024,
                    report.Counter("BM_TypingSession", "hwm_KiB") / 1024);
    return 0;
}
